// The device commands through the real window on loopback ports: the dialogs they open, the
// datagrams that go out byte for byte, the follow-up, and the rows they reach.
#include "app/CDorvexDoc.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "resources/StringTable.h"
#include "tests/app/DialogScript.h"
#include "tests/app/ModalCloser.h"
#include "tests/support/LoopbackDevice.h"
#include "tests/support/WaitUntil.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <memory>
#include <utility>

namespace vantor {
namespace {

using test::DialogScript;
using test::MakeReply;

constexpr int kModifyIp = ids::ID_MODIFY_IP;
constexpr int kModifyMac = ids::ID_MODIFY_MAC;
constexpr int kSoftReset = ids::ID_SOFT_RESET;
constexpr int kUpdateFirmware = ids::ID_UPDATE_FIRMWARE;

// A command datagram written out by offset: "KWZ", the opcode, the given fields, zero elsewhere.
QByteArray Datagram(char opcode, std::initializer_list<std::pair<int, QByteArray>> fields, const QByteArray& password)
{
    QByteArray bytes(52, '\0');
    bytes.replace(0, 4, QByteArray("KWZ") + opcode);
    for (const auto& [offset, value] : fields)
        bytes.replace(offset, value.size(), value);
    bytes.replace(42, password.size(), password);
    return bytes;
}
QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}
QByteArray Ip(int a, int b, int c, int d)
{
    return Bytes({a, b, c, d});
}
QByteArray Mac(int second, int last)
{
    return Bytes({0x00, second, 0x2B, 0x3C, 0x4D, last});
}

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_addresses = test::LoopbackAddresses(m_device.Port());
        m_frame = std::make_unique<CMainFrame>(m_document, nullptr, m_addresses);
        ASSERT_EQ(m_frame->OnCreate(), 0);
        m_view = m_frame->View();
        m_view->SetCommandTiming({300, 600, 50});
        // Devices 192.168.1.3, .5 and .7 (MAC 00-1A-2B-3C-4D-03 ...); rows sort by IP text.
        for (const std::uint8_t n : {std::uint8_t{5}, std::uint8_t{3}, std::uint8_t{7}})
            m_device.Send(MakeReply(n), m_addresses.localPort);
        ASSERT_TRUE(test::WaitUntil([&] { return m_view->GetItemCount() == 3; }));
        m_device.TakeReceived();
    }
    void Select(std::initializer_list<int> rows)
    {
        for (const int row : rows)
            m_view->SetItemState(row, lc::LVIS_SELECTED, lc::LVIS_SELECTED);
    }
    // Runs a command with its dialogs answered in turn; what the devices received.
    std::vector<QByteArray> Run(int command, std::vector<DialogScript::Step> steps, int expectedDialogs)
    {
        DialogScript script(std::move(steps));
        m_frame->RouteCommand(command);
        EXPECT_EQ(script.Answered(), expectedDialogs);
        return m_device.TakeReceived();
    }

    test::LoopbackDevice m_device;
    EndpointAddresses m_addresses;
    CDorvexDoc m_document;
    std::unique_ptr<CMainFrame> m_frame;
    CDorvexView* m_view = nullptr;
};

TEST_F(CommandsTest, EachSelectedRowGetsOneDatagramAfterItsPromptAndTheListIsSearchedAgain)
{
    struct Case {
        int command;
        char opcode;
        bool newMacAndIp;
    };
    for (const Case& c :
         {Case{kModifyMac, '<', true}, Case{kSoftReset, '=', false}, Case{kUpdateFirmware, '?', false}}) {
        SCOPED_TRACE(c.opcode);
        SetUp();
        Select({0, 2});  // 192.168.1.3 and 192.168.1.7
        const std::vector<QByteArray> sent =
            Run(c.command, {DialogScript::Password("secret"), DialogScript::Password("12345678")}, 2);
        const auto expected = [&](int n, const QByteArray& password) {
            return c.newMacAndIp ? Datagram(c.opcode, {{4, Ip(192, 168, 1, n)}, {12, Mac(0x1B, n)}}, password)
                                 : Datagram(c.opcode, {{12, Mac(0x1A, n)}}, password);
        };
        EXPECT_EQ(sent, (std::vector<QByteArray>{expected(3, "secret"), expected(7, "12345678")}));
        EXPECT_EQ(m_view->GetItemCount(), 0) << "cleared after the hold";
        EXPECT_TRUE(m_view->IsTimerRunning(CDorvexView::kResearchTimer));
        ASSERT_TRUE(test::WaitUntil([&] { return !m_view->IsTimerRunning(CDorvexView::kResearchTimer); }));
        EXPECT_EQ(m_device.TakeReceived(), std::vector<QByteArray>{test::ExpectedDiscoveryRequest()});
    }
}

TEST_F(CommandsTest, ModifyIpSendsOneDatagramPerChangedValueInTheOrderIpMaskGateway)
{
    Select({0, 1});
    // The search window ends while the first prompt is open: the endpoint that Modify IP opened
    // before its prompts must still carry the datagrams.
    const auto windowEndsThenEmptyPassword = [&](QDialog& prompt) {
        m_view->OnTimer(CDorvexView::kSearchWindowTimer);
        m_view->OnTimer(CDorvexView::kSearchWindowTimer);
        DialogScript::Password("")(prompt);
    };
    const std::vector<QByteArray> sent = Run(
        kModifyIp,
        {DialogScript::Addresses(0x0A000003),  // row .3: the IP address only
         windowEndsThenEmptyPassword, DialogScript::Addresses(0x0A000005, 0xFFFF0000, 0x0A000001),  // row .5: all three
         DialogScript::Password("a"), DialogScript::Cancel(), DialogScript::Password("c")},
        6);
    const auto setAddress = [](char opcode, int n, const QByteArray& ip, const QByteArray& mask,
                               const QByteArray& gateway, const QByteArray& password) {
        return Datagram(opcode, {{4, ip}, {8, mask}, {12, Mac(0x1A, n)}, {35, gateway}}, password);
    };
    EXPECT_EQ(sent, (std::vector<QByteArray>{
                        setAddress(':', 3, Ip(10, 0, 0, 3), Ip(255, 255, 255, 0), Ip(192, 168, 1, 1), ""),
                        setAddress(':', 5, Ip(10, 0, 0, 5), Ip(255, 255, 0, 0), Ip(10, 0, 0, 1), "a"),
                        setAddress('>', 5, Ip(10, 0, 0, 5), Ip(255, 255, 0, 0), Ip(10, 0, 0, 1), "c")}));
    EXPECT_EQ(m_view->GetItemCount(), 0);
    EXPECT_TRUE(m_view->IsTimerRunning(CDorvexView::kResearchTimer));
}

// A change of one value other than the IP address sends that value's command alone: a mix-up of
// which value changed would be invisible when the IP address or all three change.
TEST_F(CommandsTest, ModifyIpWithOnlyTheMaskOrOnlyTheGatewayChangedSendsThatCommandAlone)
{
    struct Case {
        DialogScript::Step addresses;
        char opcode;
        QByteArray mask;
        QByteArray gateway;
    };
    const std::vector<Case> cases = {
        {DialogScript::Addresses(0, 0xFFFF0000), ';', Ip(255, 255, 0, 0), Ip(192, 168, 1, 1)},
        {DialogScript::Addresses(0, 0, 0xC0A801FE), '>', Ip(255, 255, 255, 0), Ip(192, 168, 1, 254)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opcode);
        SetUp();
        Select({0});  // 192.168.1.3
        const std::vector<QByteArray> sent = Run(kModifyIp, {c.addresses, DialogScript::Password("p")}, 2);
        EXPECT_EQ(sent,
                  std::vector<QByteArray>{Datagram(
                      c.opcode, {{4, Ip(192, 168, 1, 3)}, {8, c.mask}, {12, Mac(0x1A, 3)}, {35, c.gateway}}, "p")});
    }
}

TEST_F(CommandsTest, EveryPromptCancelledSendsNothingAndLeavesListAndSearchAlone)
{
    Select({0, 1});
    for (const int command : {kModifyMac, kSoftReset, kUpdateFirmware})
        EXPECT_TRUE(Run(command, {DialogScript::Cancel(), DialogScript::Cancel()}, 2).empty()) << command;
    // Modify IP: a cancelled address dialog, and one confirmed without a change.
    EXPECT_TRUE(Run(kModifyIp, {DialogScript::Cancel(), DialogScript::Addresses(0)}, 2).empty());
    EXPECT_EQ(m_view->GetItemCount(), 3);
    EXPECT_FALSE(m_view->IsTimerRunning(CDorvexView::kResearchTimer));
}

TEST_F(CommandsTest, PortHeldByAnotherProgramShowsTheMessageOncePerRowAndSendsNothing)
{
    m_view->OnTimer(CDorvexView::kSearchWindowTimer);  // renewed for the replies
    m_view->OnTimer(CDorvexView::kSearchWindowTimer);  // then over: the port is free
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(m_addresses.bindAddress, m_addresses.localPort, QUdpSocket::DontShareAddress));
    Select({0, 2});
    QStringList messages;
    const auto message = [&](QDialog& box) {
        messages << static_cast<QMessageBox&>(box).text();
        box.accept();
    };
    EXPECT_TRUE(
        Run(kSoftReset, {DialogScript::Password("x"), message, DialogScript::Password("y"), message}, 4).empty());
    EXPECT_EQ(messages, QStringList(2, QStringLiteral("Socket port '4000' Open fail ！")));
    EXPECT_EQ(m_view->GetItemCount(), 3);
    EXPECT_FALSE(m_view->IsTimerRunning(CDorvexView::kResearchTimer));
}

TEST_F(CommandsTest, TheWalkReachesTheRowsSelectedAtItsStartWhateverHappensWhileAPromptIsOpen)
{
    Select({1, 2});  // .5 and .7
    // While the first prompt is open a new device sorts in before both, and the search window
    // ends; at the second prompt the list is emptied and refilled by a new search.
    const std::vector<QByteArray> sent = Run(kSoftReset,
                                             {[&](QDialog& prompt) {
                                                  m_device.Send(MakeReply(1), m_addresses.localPort);
                                                  test::WaitUntil([&] { return m_view->GetItemCount() == 4; });
                                                  m_view->OnTimer(CDorvexView::kSearchWindowTimer);
                                                  m_view->OnTimer(CDorvexView::kSearchWindowTimer);
                                                  prompt.accept();
                                              },
                                              DialogScript::Password("p")},
                                             2);
    EXPECT_EQ(sent, (std::vector<QByteArray>{Datagram('=', {{12, Mac(0x1A, 5)}}, ""),
                                             Datagram('=', {{12, Mac(0x1A, 7)}}, "p")}));

    SetUp();
    Select({0, 1});
    const std::vector<QByteArray> afterRefresh = Run(kSoftReset, {[&](QDialog& prompt) {
                                                         m_frame->RouteCommand(ids::ID_REFRESH);
                                                         m_device.Send(MakeReply(5), m_addresses.localPort);
                                                         test::WaitUntil([&] { return m_view->GetItemCount() == 1; });
                                                         prompt.accept();
                                                     }},
                                                     1);
    ASSERT_EQ(afterRefresh.size(), 2u) << "the discovery request and one datagram: the second row is gone";
    EXPECT_EQ(afterRefresh[1], Datagram('=', {{12, Mac(0x1A, 3)}}, ""));
}

TEST_F(CommandsTest, TwoCommandsInARowGiveOneSearchTimedFromTheLaterOne)
{
    Select({0});
    Run(kSoftReset, {DialogScript::Password("")}, 1);
    test::RunEventLoopFor(400);
    m_device.Send(MakeReply(9), m_addresses.localPort);  // a device answers meanwhile
    ASSERT_TRUE(test::WaitUntil([&] { return m_view->GetItemCount() == 1; }));
    Select({0});
    // Started before the later command restarts the timer, so a busy machine can only make
    // the measured time longer.
    QElapsedTimer sinceLater;
    sinceLater.start();
    Run(kModifyMac, {DialogScript::Password("")}, 1);
    ASSERT_TRUE(test::WaitUntil([&] { return !m_device.TakeReceived().empty(); }, 3000));
    // The earlier command's timer alone would have fired about 150 ms from here.
    EXPECT_GE(sinceLater.elapsed(), 600 - 50) << "timer 2 restarted by the later command";
    test::RunEventLoopFor(700);
    EXPECT_TRUE(m_device.TakeReceived().empty()) << "exactly one search";
}

TEST_F(CommandsTest, WebBrowserStartsTheBrowserOncePerSelectedRowWithTheBareAddress)
{
    QTemporaryDir home;
    const QString recorded = home.filePath(QStringLiteral("arguments.txt"));
    const QString browser = home.filePath(QStringLiteral("stand-in-browser"));
    {
        QFile script(browser);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" >> '" + recorded.toUtf8() + "'\n");
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Nothing of this machine's desktop is asked: the stand-in is the only browser there is.
    const std::array names = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS",
                              "XDG_DATA_DIRS",   "PATH",          "BROWSER"};
    std::vector<QByteArray> saved;
    for (const char* name : names) {
        saved.push_back(qgetenv(name));
        qputenv(name, home.path().toUtf8());
    }
    const auto restore = qScopeGuard([&] {
        for (std::size_t i = 0; i < names.size(); ++i)
            qputenv(names[i], saved[i]);
    });
    std::vector<QStringList> starts;
    m_view->SetProgramLauncher([&](const QString& program, const QStringList& arguments) {
        starts.push_back(QStringList{program} + arguments);
        return StartDetached(program, arguments);
    });
    m_view->SetColumnVisible(1, false);  // the address is read from its logical column all the same
    Select({2, 0});
    test::ModalCloser noDialog(nullptr);

    qunsetenv("BROWSER");
    m_frame->RouteCommand(ids::ID_WEB_BROWSER);
    EXPECT_TRUE(starts.empty()) << "no browser found: nothing is started";

    qputenv("BROWSER", browser.toUtf8());
    m_frame->RouteCommand(ids::ID_WEB_BROWSER);
    EXPECT_EQ(starts, (std::vector<QStringList>{{browser, QStringLiteral("192.168.1.3")},
                                                {browser, QStringLiteral("192.168.1.7")}}));
    ASSERT_TRUE(test::WaitUntil([&] {
        QFile file(recorded);
        return file.open(QIODevice::ReadOnly) && file.readAll().count('\n') == 2;
    }));
    QFile file(recorded);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.sort();
    EXPECT_EQ(lines, QStringList({QStringLiteral("1|192.168.1.3"), QStringLiteral("1|192.168.1.7")}));

    EXPECT_EQ(noDialog.Seen(), 0) << "every failure is silent";
    EXPECT_EQ(m_view->GetItemCount(), 3);
    EXPECT_TRUE(m_device.TakeReceived().empty()) << "the web page sends nothing to the devices";
}

}  // namespace
}  // namespace vantor
