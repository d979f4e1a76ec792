#include "app/CAboutDlg.h"

#include "platform/DialogUnits.h"
#include "resources/Icons.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace vantor {
namespace {

// Layout in dialog units.
constexpr QSize kDialogSize(235, 55);
constexpr QRect kIconRect(11, 17, 20, 20);
constexpr QRect kVersionRect(40, 10, 119, 8);
constexpr QRect kNoticeRect(40, 25, 119, 8);
constexpr QRect kOkRect(178, 7, 50, 16);
constexpr int kDialogPointSize = 9;
// An icon control shows the icon at its own size, whatever the template says.
constexpr int kIconPixels = 32;

QFont DialogFont()
{
    QFont font = QApplication::font();
    font.setPointSize(kDialogPointSize);
    return font;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
    , m_icon(new QLabel(this))
    , m_version(new QLabel(QStringLiteral("Vantor Config v1.30"), this))
    , m_notice(new QLabel(QStringLiteral("Copyright (C) Dorvex"), this))
    , m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setWindowTitle(QStringLiteral("About Vantor Config"));
    setWindowIcon(AppIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(DialogFont());
    const DialogUnits units(font());

    setFixedSize(units.ToPixels(kDialogSize));

    m_icon->setPixmap(AppIcon().pixmap(kIconPixels, kIconPixels));
    const QRect iconRect = units.ToPixels(kIconRect);
    m_icon->setGeometry(QRect(iconRect.topLeft(), QSize(kIconPixels, kIconPixels)));

    for (QLabel* label : {m_version, m_notice}) {
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    m_version->setGeometry(units.ToPixels(kVersionRect));
    m_notice->setGeometry(units.ToPixels(kNoticeRect));

    m_ok->setObjectName(QStringLiteral("IDOK"));
    m_ok->setGeometry(units.ToPixels(kOkRect));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_ok->setFocus();
}

CAboutDlg::~CAboutDlg() = default;

}  // namespace vantor
