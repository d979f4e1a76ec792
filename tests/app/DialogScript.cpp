#include "tests/app/DialogScript.h"

#include "commands/CInputIPDlg.h"
#include "commands/CInputPasswordDlg.h"
#include "platform/IPAddressCtrl.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace vantor::test {

DialogScript::DialogScript(std::vector<Step> steps)
    : m_steps(std::move(steps))
{
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start();
}

void DialogScript::Poll()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible() || dialog == m_last)
        return;
    // A dialog object may be shown again (one address dialog serves every row): it is a new
    // dialog to answer once it has finished.
    m_last = dialog;
    const auto forget = [this] { m_last = nullptr; };
    QObject::connect(dialog, &QDialog::finished, dialog, forget, Qt::SingleShotConnection);
    m_seen.push_back(QString::fromLatin1(dialog->metaObject()->className()));
    const std::size_t step = m_seen.size() - 1;
    if (step < m_steps.size() && m_steps[step])
        m_steps[step](*dialog);
    else
        dialog->reject();
}

DialogScript::Step DialogScript::Password(const QString& text)
{
    return [text](QDialog& dialog) {
        auto& prompt = dynamic_cast<CInputPasswordDlg&>(dialog);
        QTest::keyClicks(prompt.PasswordEdit(), text);
        QTest::keyClick(prompt.PasswordEdit(), Qt::Key_Return);
    };
}

DialogScript::Step DialogScript::Cancel()
{
    return [](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); };
}

DialogScript::Step DialogScript::Addresses(quint32 ip, quint32 mask, quint32 gateway)
{
    return [=](QDialog& dialog) {
        auto& addresses = dynamic_cast<CInputIPDlg&>(dialog);
        if (ip != 0)
            addresses.IpControl()->SetAddress(ip);
        if (mask != 0)
            addresses.MaskControl()->SetAddress(mask);
        if (gateway != 0)
            addresses.GatewayControl()->SetAddress(gateway);
        QTest::mouseClick(addresses.OkButton(), Qt::LeftButton);
    };
}

}  // namespace vantor::test
