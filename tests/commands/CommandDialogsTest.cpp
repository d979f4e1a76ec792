#include "commands/CInputIPDlg.h"
#include "commands/CInputPasswordDlg.h"
#include "commands/CommandDatagrams.h"
#include "platform/IPAddressCtrl.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace vantor {
namespace {

bool ShowActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Sends each character to whichever widget has the focus at that moment, as a keyboard does.
void Type(const QString& text)
{
    for (const QChar c : text) {
        const auto key = c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), key, QString(c), Qt::NoModifier);
    }
}

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// The four field texts joined by dots.
QString Dotted(const CIPAddressCtrl& control)
{
    QStringList texts;
    for (int index = 0; index < CIPAddressCtrl::kFieldCount; ++index)
        texts << control.Field(index)->text();
    return texts.join(QLatin1Char('.'));
}

// An IP-address control between two other tab stops.
struct ControlHost {
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    CIPAddressCtrl* control = new CIPAddressCtrl(&window);
    QPushButton* after = new QPushButton(&window);
};

TEST(IPAddressCtrl, TypedTextMovesThroughTheFields)
{
    // Typed text, the fields it leaves, the address they read.
    const std::vector<std::tuple<QString, QString, quint32>> table = {
        {"192.168.1.10", "192.168.1.10", 0xC0A8010Au},
        {"256.26.5", "255.26.5.", 0xFF1A0500u},
        {"300", "30.0..", 0x1E000000u},
        {"1..2", "1.2..", 0x01020000u},
        {"1x2.7", "12.7..", 0x0C070000u},
    };
    for (const auto& [typed, fields, address] : table) {
        ControlHost host;
        ASSERT_TRUE(ShowActive(host.window));
        host.control->setFocus(Qt::TabFocusReason);
        Type(typed);
        EXPECT_EQ(Dotted(*host.control), fields);
        EXPECT_EQ(host.control->GetAddress(), address) << typed.toStdString();
    }
}

TEST(IPAddressCtrl, EditingKeysCrossFieldEdgesAndTabLeavesAsOneStop)
{
    ControlHost host;
    ASSERT_TRUE(ShowActive(host.window));
    const CIPAddressCtrl& control = *host.control;
    host.before->setFocus();
    // Each step: text to type or a key to press, then the widget expected to have the focus.
    const std::vector<std::tuple<QString, Qt::Key, Qt::KeyboardModifiers, QWidget*>> steps = {
        {{}, Qt::Key_Tab, {}, control.Field(0)},
        {"1.2", {}, {}, control.Field(1)},
        {{}, Qt::Key_Backspace, {}, control.Field(1)},
        {{}, Qt::Key_Backspace, {}, control.Field(0)},
        {"5", {}, {}, control.Field(0)},
        {{}, Qt::Key_Right, {}, control.Field(1)},
        {{}, Qt::Key_Right, {}, control.Field(2)},
        {{}, Qt::Key_Tab, Qt::ShiftModifier, host.before},
        {{}, Qt::Key_Tab, {}, control.Field(0)},
        {{}, Qt::Key_Right, {}, control.Field(0)},
        {{}, Qt::Key_Right, {}, control.Field(1)},
        {{}, Qt::Key_Left, {}, control.Field(0)},
        {{}, Qt::Key_Tab, {}, host.after},
        {{}, Qt::Key_Tab, Qt::ShiftModifier, control.Field(0)},
    };
    for (std::size_t step = 0; step < steps.size(); ++step) {
        SCOPED_TRACE(step);
        const auto& [typed, key, modifiers, focus] = steps[step];
        typed.isEmpty() ? Press(key, modifiers) : Type(typed);
        EXPECT_EQ(QApplication::focusWidget(), focus);
    }
    EXPECT_EQ(Dotted(control), QStringLiteral("15..."));
}

TEST(IPAddressCtrl, AddressRoundTripsAndFieldsAreNamedForScreenReaders)
{
    CIPAddressCtrl control;
    EXPECT_TRUE(control.IsBlank());
    for (const quint32 address : {0u, 0xC0A8010Au, 0xFFFFFFFFu, 0x01020304u}) {
        control.SetAddress(address);
        EXPECT_EQ(control.GetAddress(), address);
    }
    EXPECT_EQ(Dotted(control), QStringLiteral("1.2.3.4"));
    control.Field(2)->clear();
    EXPECT_EQ(control.GetAddress(), 0x01020004u);
    control.ClearAddress();
    EXPECT_TRUE(control.IsBlank());
    control.SetAccessibleNames(QStringLiteral("Input IP Address"));
    EXPECT_EQ(control.accessibleName(), QStringLiteral("Input IP Address"));
    EXPECT_EQ(control.Field(2)->accessibleName(), QStringLiteral("Input IP Address, group 3 of 4"));
}

TEST(CInputPasswordDlg, KeepsEightSingleByteCharactersEnterConfirmsEscCancels)
{
    const std::vector<std::tuple<QString, Qt::Key, int, QString>> table = {
        {QString(), Qt::Key_Return, QDialog::Accepted, QString()},
        {QStringLiteral("abcdefghi"), Qt::Key_Return, QDialog::Accepted, QStringLiteral("abcdefgh")},
        {QStringLiteral("a\u65E5b\u00E9"), Qt::Key_Return, QDialog::Accepted, QStringLiteral("ab\u00E9")},
        {QStringLiteral("abc"), Qt::Key_Escape, QDialog::Rejected, QString()},
    };
    for (const auto& [typed, key, result, kept] : table) {
        SCOPED_TRACE(typed.toStdString());
        CInputPasswordDlg dialog;
        dialog.open();
        ASSERT_TRUE(ShowActive(dialog));
        EXPECT_EQ(QApplication::focusWidget(), dialog.PasswordEdit());
        Type(typed);
        Press(key);
        EXPECT_EQ(dialog.result(), result);
        EXPECT_EQ(dialog.PasswordText(), kept);
        EXPECT_EQ(dialog.PasswordBytes(), kept.toLatin1().toStdString());
    }
}

TEST(CommandDialogs, TabOrderFollowsTheTemplates)
{
    const auto expectTabOrder = [](QDialog& dialog, std::initializer_list<QWidget*> order) {
        dialog.open();
        ASSERT_TRUE(ShowActive(dialog));
        for (QWidget* expected : order) {
            EXPECT_EQ(QApplication::focusWidget(), expected);
            Press(Qt::Key_Tab);
        }
    };
    CInputPasswordDlg password;
    EXPECT_EQ(password.PasswordEdit()->echoMode(), QLineEdit::Password);
    expectTabOrder(password, {password.PasswordEdit(), password.OkButton(), password.CancelButton()});
    CInputIPDlg address;
    expectTabOrder(address, {address.IpControl()->Field(0), address.MaskControl()->Field(0),
                             address.GatewayControl()->Field(0), address.OkButton(), address.CancelButton()});
    address.MaskControl()->Field(2)->setFocus();
    Press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), address.IpControl()->Field(0));
}

TEST(CInputIPDlg, OpensWithEachRowsValuesAndFlagsOnlyChangedOnes)
{
    // The row's three cells, what the operator leaves in the three controls ("" fields read 0),
    // and the change flags that follow.
    struct Row {
        const char* current[3];
        const char* entered[3];
        bool changed[3];
    };
    const char* const ip = "192.168.1.10";
    const char* const mask = "255.255.255.0";
    const char* const gw = "192.168.1.1";
    const std::vector<Row> table = {
        {{"10.0.0.7", "255.0.0.0", "10.0.0.1"}, {"10.0.0.8", "255.255.0.0", "10.0.0.2"}, {true, true, true}},
        {{ip, mask, gw}, {ip, mask, gw}, {}},
        {{ip, mask, gw}, {ip, "255.255.0.0", gw}, {false, true, false}},
        {{ip, mask, gw}, {ip, mask, "192.168.1."}, {false, false, true}},
        {{ip, mask, "0.0.0.0"}, {ip, mask, "0.0.0.0"}, {}},
    };
    CInputIPDlg dialog;  // one dialog serves every row, as in a command
    for (const Row& row : table) {
        SCOPED_TRACE(std::string(row.current[0]) + " " + row.entered[0]);
        dialog.SetCurrentTexts(row.current[0], row.current[1], row.current[2]);
        dialog.open();
        ASSERT_TRUE(ShowActive(dialog));
        EXPECT_FALSE(dialog.IpChanged() || dialog.MaskChanged() || dialog.GatewayChanged());
        const std::array controls = {dialog.IpControl(), dialog.MaskControl(), dialog.GatewayControl()};
        for (std::size_t i = 0; i < controls.size(); ++i) {
            EXPECT_EQ(Dotted(*controls[i]), QString::fromLatin1(row.current[i]));
            const QStringList fields = QString::fromLatin1(row.entered[i]).split(QLatin1Char('.'));
            for (int field = 0; field < CIPAddressCtrl::kFieldCount; ++field)
                controls[i]->Field(field)->setText(fields.value(field));
        }
        Press(Qt::Key_Return);
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ((std::array{dialog.IpChanged(), dialog.MaskChanged(), dialog.GatewayChanged()}),
                  (std::array{row.changed[0], row.changed[1], row.changed[2]}));
        EXPECT_EQ((std::array{dialog.NewIp(), dialog.NewMask(), dialog.NewGateway()}),
                  (std::array{DottedAddressToBytes(row.entered[0]), DottedAddressToBytes(row.entered[1]),
                              DottedAddressToBytes(row.entered[2])}));
    }
}

}  // namespace
}  // namespace vantor
