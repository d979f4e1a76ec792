// The real program against the device simulator, with the real ports and the limited broadcast.
// Runs only inside the private network namespace made by scripts/netns; anywhere else it skips
// (exit code 77) without sending anything.
#include "app/CDorvexApp.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "platform/IndicatorStatusBar.h"
#include "platform/listcontrol/ListControl.h"
#include "resources/StringTable.h"
#include "tests/app/DialogScript.h"
#include "tests/app/NetworkNamespace.h"
#include "tests/support/WaitUntil.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QNetworkInterface>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <set>
#include <vector>

namespace vantor {
namespace {

using test::RunEventLoopFor;
using test::WaitUntil;

QString DiscoveryHex()
{
    return QStringLiteral("4b575a39") + QString(96, QLatin1Char('0'));
}

// One simulator process with its log.
class Simulator final {
public:
    explicit Simulator(const QStringList& extraArguments)
    {
        m_logPath = m_dir.filePath(QStringLiteral("devsim.log"));
        QStringList arguments = {QStringLiteral("--log"), m_logPath};
        arguments += extraArguments;
        m_process.setProgram(QStringLiteral(VANTOR_DEVSIM_PATH));
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
    }
    ~Simulator()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000))
                m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    bool WaitReady()
    {
        if (!m_process.waitForStarted(5000))
            return false;
        return WaitUntil([this] { return LogText().contains(QLatin1String("listening on")); }, 5000);
    }

    QString LogText() const
    {
        QFile file(m_logPath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll());
    }

    // Every datagram the devices received: size and bytes in hex.
    std::vector<std::pair<int, QString>> Received() const
    {
        std::vector<std::pair<int, QString>> datagrams;
        const QStringList lines = LogText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& line : lines) {
            const QStringList fields = line.split(QLatin1Char(' '));
            if (fields.size() >= 3 && fields[0] == QLatin1String("RX"))
                datagrams.emplace_back(fields[1].toInt(), fields[2]);
        }
        return datagrams;
    }

private:
    QTemporaryDir m_dir;
    QString m_logPath;
    QProcess m_process;
};

QString WriteDeviceFile(QTemporaryDir& dir, const QByteArray& content)
{
    const QString path = dir.filePath(QStringLiteral("devices.txt"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

TEST(EndToEnd, DefaultDevicesAreListedAndEachSearchSendsOneRequest)
{
    Simulator simulator({});
    ASSERT_TRUE(simulator.WaitReady()) << simulator.LogText().toStdString();

    CDorvexApp app;  // the real ports: 4000 here, 36 at the devices, 255.255.255.255
    ASSERT_TRUE(app.InitInstance());
    CDorvexView* view = app.MainFrame()->View();
    ASSERT_TRUE(WaitUntil([&] { return view->GetItemCount() == 8; }, 5000)) << view->GetItemCount();

    std::set<QString> names;
    std::set<QString> addresses;
    for (int row = 0; row < view->GetItemCount(); ++row) {
        names.insert(view->GetItemText(row, 0));
        addresses.insert(view->GetItemText(row, 1));
    }
    for (const char* name : {"Lab1", "Gate-East", "Warehouse-Door-7", "%d %s", "Marven", "Orvik", "Unknown"})
        EXPECT_EQ(names.count(QString::fromLatin1(name)), 1u) << name;
    for (const char* address : {"192.168.1.100", "192.168.1.20", "192.168.1.3", "10.0.0.10", "10.0.0.9", "172.16.5.1",
                                "192.168.1.250", "192.168.0.7"})
        EXPECT_EQ(addresses.count(QString::fromLatin1(address)), 1u) << address;
    EXPECT_EQ(view->Search()->Online(), 8);

    // Refresh: the list empties, one more request, the same eight come back.
    app.MainFrame()->RouteCommand(ids::ID_REFRESH);
    EXPECT_LT(view->GetItemCount(), 8);
    ASSERT_TRUE(WaitUntil([&] { return view->GetItemCount() == 8; }, 5000)) << view->GetItemCount();
    RunEventLoopFor(300);

    const auto received = simulator.Received();
    ASSERT_EQ(received.size(), 2u) << simulator.LogText().toStdString();
    for (const auto& [size, hex] : received) {
        EXPECT_EQ(size, 52);
        EXPECT_EQ(hex, DiscoveryHex());
    }
}

TEST(EndToEnd, DevicesAnsweringTwiceGiveOneRowEach)
{
    Simulator simulator({QStringLiteral("--answer-twice")});
    ASSERT_TRUE(simulator.WaitReady());
    CDorvexApp app;
    ASSERT_TRUE(app.InitInstance());
    CDorvexView* view = app.MainFrame()->View();
    ASSERT_TRUE(WaitUntil([&] { return view->GetItemCount() == 8; }, 5000));
    RunEventLoopFor(500);
    EXPECT_EQ(view->GetItemCount(), 8);
    EXPECT_EQ(simulator.Received().size(), 1u);
}

TEST(EndToEnd, RepliesOfTheWrongSizeAreNoRows)
{
    Simulator simulator({QStringLiteral("--reply-size"), QStringLiteral("53")});
    ASSERT_TRUE(simulator.WaitReady());
    CDorvexApp app;
    ASSERT_TRUE(app.InitInstance());
    CDorvexView* view = app.MainFrame()->View();
    // The simulator logs each reply it sends; wait for all eight, then a little for delivery.
    ASSERT_TRUE(WaitUntil([&] { return simulator.LogText().count(QLatin1String("\nTX 53 ")) == 8; }, 5000))
        << simulator.LogText().toStdString();
    RunEventLoopFor(300);
    EXPECT_EQ(view->GetItemCount(), 0);
    EXPECT_FALSE(view->Search()->Replied());
}

// Devices answering 1 s and 6 s after the request: the first window (to 5 s) has a new row and
// is followed by a second (to 10 s), which has the 6 s row and is followed by a third (to 15 s)
// without one, which ends the search.
TEST(EndToEnd, SearchWindowsFollowEachOtherWhileDevicesKeepAnswering)
{
    QTemporaryDir dir;
    const QString devices = WriteDeviceFile(dir, "name=Early model=31 ip=10.77.0.21 mac=00-1A-2B-00-00-21 delay=1000\n"
                                                 "name=Late model=32 ip=10.77.0.22 mac=00-1A-2B-00-00-22 delay=6000\n");
    Simulator simulator({QStringLiteral("--devices"), devices});
    ASSERT_TRUE(simulator.WaitReady()) << simulator.LogText().toStdString();

    QElapsedTimer clock;
    clock.start();
    CDorvexApp app;
    ASSERT_TRUE(app.InitInstance());
    CDorvexView* view = app.MainFrame()->View();

    ASSERT_TRUE(WaitUntil([&] { return view->GetItemCount() == 1; }, 4000));
    ASSERT_TRUE(WaitUntil([&] { return view->GetItemCount() == 2; }, 8000));
    EXPECT_TRUE(view->Endpoint()->IsOpen()) << "the 6 s device was heard in the second window";

    RunEventLoopFor(static_cast<int>(std::max<qint64>(0, 11000 - clock.elapsed())));
    EXPECT_TRUE(view->Endpoint()->IsOpen()) << "a third window follows the one with the 6 s reply";
    EXPECT_TRUE(view->IsTimerRunning(CDorvexView::kSearchWindowTimer));

    EXPECT_TRUE(WaitUntil([&] { return !view->Endpoint()->IsOpen(); },
                          static_cast<int>(std::max<qint64>(0, 17000 - clock.elapsed()))))
        << "the window without a new row ends the search";
    EXPECT_FALSE(view->IsTimerRunning(CDorvexView::kSearchWindowTimer));
    EXPECT_EQ(view->GetItemCount(), 2);
    EXPECT_EQ(simulator.Received().size(), 1u) << "the request is never repeated within a search";
}

// ---- The device list through a whole search ------------------------------------------------------

std::vector<QString> Names(const CDorvexView& view)
{
    std::vector<QString> names;
    for (int row = 0; row < view.GetItemCount(); ++row)
        names.push_back(view.GetItemText(row, 0));
    return names;
}

// Sort marker of a control column's header item: HDF_SORTUP, HDF_SORTDOWN or 0.
int SortMark(const CDorvexView& view, int controlColumn)
{
    lc::HDITEMA header;
    header.mask = lc::HDI_FORMAT;
    if (!view.Control().GetHeaderItem(controlColumn, header))
        return -1;
    return header.fmt & (lc::HDF_SORTUP | lc::HDF_SORTDOWN);
}

// A click with the mouse on the header item of a control column.
void ClickHeader(const CDorvexView& view, int controlColumn)
{
    QHeaderView* header = view.Control().Header();
    const QPoint centre(header->sectionViewportPosition(controlColumn) + header->sectionSize(controlColumn) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

QString OnlinePane(const CMainFrame& frame)
{
    const IndicatorStatusBar* bar = frame.StatusBar();
    return bar->GetPaneText(bar->CommandToIndex(ids::ID_INDICATOR_ONLINE));
}

// Four devices answering one after another, in an order that is not the list's: by IP address
// text the list reads Alpha (.100), Charlie (.30), then Bravo and Delta, which share .4.
TEST(EndToEnd, RowsAreSortedAsTheyArriveAndHeaderClicksAndAutoArrangeWork)
{
    QTemporaryDir dir;
    const QString devices =
        WriteDeviceFile(dir, "name=Charlie model=31 ip=10.77.0.30 mac=00-1A-2B-00-00-30 version=1.30 delay=0\n"
                             "name=Alpha model=32 ip=10.77.0.100 mac=00-1A-2B-00-00-31 version=2.00 delay=150\n"
                             "name=Delta model=31 ip=10.77.0.4 mac=00-1A-2B-00-00-32 version=1.05 delay=300\n"
                             "name=Bravo model=31 ip=10.77.0.4 mac=00-1A-2B-00-00-33 version=A.01 delay=450\n");
    Simulator simulator({QStringLiteral("--devices"), devices});
    ASSERT_TRUE(simulator.WaitReady()) << simulator.LogText().toStdString();

    CDorvexApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    CDorvexView& view = *frame.View();
    const std::vector<QString> byAddress = {QStringLiteral("Alpha"), QStringLiteral("Charlie"), QStringLiteral("Bravo"),
                                            QStringLiteral("Delta")};

    // The first row brings the arrow (IP address, ascending) and the shading.
    ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() >= 1; }, 5000));
    EXPECT_EQ(SortMark(view, 1), lc::HDF_SORTUP);
    EXPECT_TRUE(view.IsSortedColumnShaded());
    ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() == 4; }, 5000));
    EXPECT_EQ(Names(view), byAddress);
    EXPECT_EQ(OnlinePane(frame), QStringLiteral("Online : 4"));

    // Refresh empties the list and fills it again, in the same order.
    frame.RouteCommand(ids::ID_REFRESH);
    EXPECT_EQ(view.GetItemCount(), 0);
    ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() == 4; }, 5000));
    EXPECT_EQ(Names(view), byAddress);
    EXPECT_EQ(OnlinePane(frame), QStringLiteral("Online : 4"));
    EXPECT_EQ(simulator.Received().size(), 2u);

    // Version sorts by name and carries the arrow; the same header again reverses both.
    ClickHeader(view, 5);
    EXPECT_EQ(SortMark(view, 5), lc::HDF_SORTUP);
    EXPECT_EQ(SortMark(view, 1), 0);
    EXPECT_EQ(Names(view), (std::vector<QString>{QStringLiteral("Alpha"), QStringLiteral("Bravo"),
                                                 QStringLiteral("Charlie"), QStringLiteral("Delta")}));
    ClickHeader(view, 5);
    EXPECT_EQ(SortMark(view, 5), lc::HDF_SORTDOWN);
    EXPECT_EQ(Names(view), (std::vector<QString>{QStringLiteral("Delta"), QStringLiteral("Charlie"),
                                                 QStringLiteral("Bravo"), QStringLiteral("Alpha")}));
    ClickHeader(view, 1);
    EXPECT_EQ(SortMark(view, 1), lc::HDF_SORTUP);
    EXPECT_EQ(Names(view), byAddress);

    // Auto Arrange off: the next search lists the devices as they answer, without arrow or shading.
    frame.RouteCommand(ids::ID_VIEW_AUTOARRANGE);
    frame.RouteCommand(ids::ID_REFRESH);
    ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() >= 1; }, 5000));
    EXPECT_FALSE(view.IsSortArrowShown());
    EXPECT_FALSE(view.IsSortedColumnShaded());
    EXPECT_EQ(SortMark(view, 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() == 4; }, 5000));
    EXPECT_EQ(Names(view), (std::vector<QString>{QStringLiteral("Charlie"), QStringLiteral("Alpha"),
                                                 QStringLiteral("Delta"), QStringLiteral("Bravo")}));
    // A header click still sorts, and shows the arrow again.
    ClickHeader(view, 0);
    EXPECT_EQ(SortMark(view, 0), lc::HDF_SORTUP);
    EXPECT_EQ(Names(view), (std::vector<QString>{QStringLiteral("Alpha"), QStringLiteral("Bravo"),
                                                 QStringLiteral("Charlie"), QStringLiteral("Delta")}));
}

// ---- Device commands against the simulator ----------------------------------------------------

// The command datagrams the devices received (every datagram but the discovery requests).
std::vector<QString> CommandsReceived(const Simulator& simulator)
{
    std::vector<QString> commands;
    for (const auto& [size, hex] : simulator.Received())
        if (hex != DiscoveryHex())
            commands.push_back(hex);
    return commands;
}

// Hex of a command datagram for the one device below: "KWZ", the opcode, the given hex fields
// at their offsets, the password from byte 42, zero everywhere else.
QString CommandHex(char opcode, std::vector<std::pair<int, QByteArray>> fields, const QByteArray& password)
{
    QByteArray bytes(52, '\0');
    bytes.replace(0, 4, QByteArray("KWZ") + opcode);
    for (const auto& [offset, hex] : fields)
        bytes.replace(offset, static_cast<int>(hex.size() / 2), QByteArray::fromHex(hex));
    bytes.replace(42, static_cast<int>(password.size()), password);
    return QString::fromLatin1(bytes.toHex());
}

// Each command through the window with the device's password changes the simulated device as
// the next search shows it, with a wrong one changes nothing; what crossed the wire is checked
// byte for byte.
TEST(EndToEnd, DeviceCommandsChangeTheDeviceWithTheRightPasswordOnly)
{
    QTemporaryDir dir;
    const QString devices = WriteDeviceFile(dir, "name=Target model=31 ip=10.77.0.50 mask=255.255.255.0 "
                                                 "gateway=10.77.0.1 mac=00-1A-2B-3C-4D-50 password=secret\n");
    using Step = test::DialogScript::Step;
    struct Case {
        const char* what;
        int command;
        std::vector<Step> dialogs;
        std::vector<QString> wire;
        std::array<const char*, 4> after;  // IP, mask, gateway, MAC in the next search
    };
    const QByteArray mac = "001a2b3c4d50";
    const std::array<const char*, 4> unchanged = {"10.77.0.50", "255.255.255.0", "10.77.0.1", "00-1A-2B-3C-4D-50"};
    const QByteArray newAddresses[] = {"0a4d0033", "ffff0000", "0a4d00fe"};
    const auto setAddress = [&](char opcode) {
        return CommandHex(opcode, {{4, newAddresses[0]}, {8, newAddresses[1]}, {12, mac}, {35, newAddresses[2]}},
                          "secret");
    };
    const std::vector<Case> cases = {
        {"Modify MAC",
         ids::ID_MODIFY_MAC,
         {test::DialogScript::Password("secret")},
         {CommandHex('<', {{4, "0a4d0032"}, {12, "001b2b3c4d50"}}, "secret")},
         {"10.77.0.50", "255.255.255.0", "10.77.0.1", "00-1B-2B-3C-4D-50"}},
        {"Modify MAC, wrong password",
         ids::ID_MODIFY_MAC,
         {test::DialogScript::Password("wrong")},
         {CommandHex('<', {{4, "0a4d0032"}, {12, "001b2b3c4d50"}}, "wrong")},
         unchanged},
        {"Modify IP",
         ids::ID_MODIFY_IP,
         {test::DialogScript::Addresses(0x0A4D0033, 0xFFFF0000, 0x0A4D00FE), test::DialogScript::Password("secret"),
          test::DialogScript::Password("secret"), test::DialogScript::Password("secret")},
         {setAddress(':'), setAddress(';'), setAddress('>')},
         {"10.77.0.51", "255.255.0.0", "10.77.0.254", "00-1A-2B-3C-4D-50"}},
        {"Soft Reset",
         ids::ID_SOFT_RESET,
         {test::DialogScript::Password("secret")},
         {CommandHex('=', {{12, mac}}, "secret")},
         unchanged},
        {"Update Firmware",
         ids::ID_UPDATE_FIRMWARE,
         {test::DialogScript::Password("secret")},
         {CommandHex('?', {{12, mac}}, "secret")},
         unchanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Simulator simulator(
            {QStringLiteral("--devices"), devices, QStringLiteral("--reboot-seconds"), QStringLiteral("1")});
        ASSERT_TRUE(simulator.WaitReady()) << simulator.LogText().toStdString();
        CDorvexApp app;
        ASSERT_TRUE(app.InitInstance());
        CDorvexView& view = *app.MainFrame()->View();
        ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() == 1; }, 5000));
        view.SetItemState(0, lc::LVIS_SELECTED, lc::LVIS_SELECTED);

        test::DialogScript script(c.dialogs);
        app.MainFrame()->RouteCommand(c.command);
        EXPECT_EQ(script.Answered(), static_cast<int>(c.dialogs.size()));
        EXPECT_EQ(view.GetItemCount(), 0) << "the list is cleared after a command that sent";
        EXPECT_TRUE(view.IsTimerRunning(CDorvexView::kResearchTimer));

        // The re-search lists the device as it now is.
        ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() == 1; }, 9000)) << simulator.LogText().toStdString();
        for (int column = 1; column <= 4; ++column)
            EXPECT_EQ(view.GetItemText(0, column), QString::fromLatin1(c.after[static_cast<std::size_t>(column - 1)]));
        EXPECT_EQ(CommandsReceived(simulator), c.wire);
        // The device obeyed each datagram, or refused the wrong password.
        const bool right =
            c.after != unchanged || c.command == ids::ID_SOFT_RESET || c.command == ids::ID_UPDATE_FIRMWARE;
        EXPECT_EQ(simulator.LogText().count(QLatin1String(right ? "result=applied" : "result=wrong-password")),
                  static_cast<int>(c.wire.size()));
    }
}

}  // namespace
}  // namespace vantor
