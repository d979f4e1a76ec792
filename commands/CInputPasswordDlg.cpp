#include "commands/CInputPasswordDlg.h"

#include "commands/CommandDatagrams.h"
#include "commands/DialogTemplate.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include <optional>

namespace vantor {
namespace {

// Refuses any edit that would leave a character without a single-byte form or more than eight
// characters, so such a password can be neither typed nor pasted.
class SingleBytePasswordValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override { return vantor::PasswordBytes(input) ? Acceptable : Invalid; }
};

}  // namespace

CInputPasswordDlg::CInputPasswordDlg(QWidget* parent)
    : QDialog(parent)
{
    const DialogUnits units = SetUpCommandDialog(*this, QSize(124, 66));
    m_group = AddGroupBox(*this, units, QStringLiteral("Input Password"), QRect(6, 6, 114, 30));

    m_edit = new QLineEdit(m_group);
    m_edit->setObjectName(QString::number(IDC_PASSWORD));
    m_edit->setAccessibleName(m_group->title());
    m_edit->setGeometry(RectInGroup(units, *m_group, QRect(12, 18, 102, 12)));
    m_edit->setEchoMode(QLineEdit::Password);
    m_edit->setMaxLength(static_cast<int>(kPasswordMaxBytes));
    m_edit->setValidator(new SingleBytePasswordValidator(m_edit));

    const ConfirmCancelButtons buttons = AddConfirmCancel(*this, units, 42);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;

    setTabOrder(m_edit, m_ok);
    setTabOrder(m_ok, m_cancel);
    m_edit->setFocus();
}

CInputPasswordDlg::~CInputPasswordDlg() = default;

QString CInputPasswordDlg::PasswordText() const
{
    return QString::fromLatin1(m_strPassword.data(), static_cast<qsizetype>(m_strPassword.size()));
}

void CInputPasswordDlg::accept()
{
    // Keys and pastes go through the validator; text set on the edit from code does not, and is
    // refused here rather than cut or changed on its way into the datagram.
    std::optional<std::string> bytes = vantor::PasswordBytes(m_edit->text());
    if (!bytes) {
        m_edit->setFocus();
        m_edit->selectAll();
        return;
    }
    m_strPassword = std::move(*bytes);
    QDialog::accept();
}

}  // namespace vantor
