// The search cycle without any widget: endpoint on loopback, short injected windows.
#include "protocol/DeviceSearch.h"
#include "tests/support/LoopbackDevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkInterface>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace vantor {
namespace {

using test::MakeReply;

constexpr int kWaitMs = 5000;

class DeviceSearchTest : public ::testing::Test {
protected:
    DeviceSearchTest()
    {
        DeviceSearch::Handlers handlers;
        handlers.reply = [this](const DEVICE_PACKET& reply, int interfaceIndex) {
            m_onlineAtReply.push_back(m_search->Online());
            m_replies.push_back(reply);
            m_interfaces.push_back(interfaceIndex);
        };
        handlers.portOpenFailed = [this] { ++m_portFailures; };
        m_addresses = test::LoopbackAddresses(m_device.Port());
        m_search = std::make_unique<DeviceSearch>(std::move(handlers), m_addresses);
    }

    // Sends replies and waits until the search has handed them all on.
    void Answer(std::initializer_list<std::uint8_t> numbers)
    {
        const std::size_t expected = m_replies.size() + numbers.size();
        for (const std::uint8_t n : numbers)
            m_device.Send(MakeReply(n), m_addresses.localPort);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_replies.size() >= expected; }, kWaitMs));
    }

    int m_argc = 1;
    char m_name[20] = "device_search_test";
    char* m_argv[2] = {m_name, nullptr};
    QCoreApplication m_app{m_argc, m_argv};
    test::LoopbackDevice m_device;
    EndpointAddresses m_addresses;
    std::unique_ptr<DeviceSearch> m_search;
    std::vector<DEVICE_PACKET> m_replies;
    std::vector<int> m_onlineAtReply;
    std::vector<int> m_interfaces;
    int m_portFailures = 0;
};

TEST_F(DeviceSearchTest, WindowsGoOnWhileNewDevicesAnswerAndTheFirstQuietOneEndsTheSearch)
{
    m_search->SetSearchWindowMs(150);
    ASSERT_TRUE(m_search->Start());
    EXPECT_EQ(m_device.TakeReceived(), std::vector<QByteArray>{test::ExpectedDiscoveryRequest()});
    Answer({1, 2});
    m_device.Send(MakeReply(1), m_addresses.localPort);  // a repeat on this opening is no reply
    Answer({3});
    EXPECT_EQ(m_onlineAtReply, (std::vector<int>{1, 2, 3})) << "the count includes the reply it is handed with";
    // Read one at a time or many per system call, each reply says which interface it came in on.
    const int loopback = QNetworkInterface::interfaceIndexFromName(QStringLiteral("lo"));
    EXPECT_EQ(m_interfaces, std::vector<int>(3, loopback));
    // The real timer: the window with replies renews, the next quiet one closes the endpoint.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_search->IsOpen(); }, kWaitMs));
    EXPECT_FALSE(m_search->IsTimerRunning(DeviceSearch::kSearchWindowTimer));
    EXPECT_FALSE(m_search->Replied());
    EXPECT_EQ(m_search->Online(), 3);
    EXPECT_TRUE(m_device.TakeReceived().empty()) << "the request is never repeated within a search";
}

TEST_F(DeviceSearchTest, APreciseWindowIsNeverCutShort)
{
    constexpr int kWindowMs = 300;
    m_search->SetSearchWindowMs(kWindowMs);
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer elapsed;
        elapsed.start();
        ASSERT_TRUE(m_search->Start());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !m_search->IsOpen(); }, kWaitMs));
        EXPECT_GE(elapsed.elapsed(), kWindowMs) << "run " << run;
    }
}

TEST_F(DeviceSearchTest, ACommandOpeningLeavesTheCountersAloneAndForgetsEarlierReplies)
{
    ASSERT_TRUE(m_search->Start());
    Answer({1, 2});
    ASSERT_TRUE(m_search->ReopenForCommand());
    EXPECT_EQ(m_search->Online(), 2);
    EXPECT_TRUE(m_search->Replied());
    EXPECT_TRUE(m_search->IsTimerRunning(DeviceSearch::kSearchWindowTimer)) << "a command leaves the window alone";
    Answer({1});  // taken again after the new opening
    EXPECT_EQ(m_search->Online(), 3);

    QUdpSocket holder;
    m_search->OnTimer(DeviceSearch::kSearchWindowTimer);  // renewed for the replies
    m_search->OnTimer(DeviceSearch::kSearchWindowTimer);  // then over: the endpoint closes
    ASSERT_TRUE(holder.bind(m_addresses.bindAddress, m_addresses.localPort, QUdpSocket::DontShareAddress));
    EXPECT_FALSE(m_search->ReopenForCommand());
    EXPECT_FALSE(m_search->Start());
    EXPECT_EQ(m_portFailures, 2);
    EXPECT_FALSE(m_search->IsOpen());
    EXPECT_FALSE(m_search->IsTimerRunning(DeviceSearch::kSearchWindowTimer));
    EXPECT_EQ(m_search->Online(), 0) << "a search resets the count even when its opening fails";
}

TEST_F(DeviceSearchTest, AQuietWindowDuringACommandClosesTheEndpointOnlyOnceTheCommandIsDone)
{
    ASSERT_TRUE(m_search->Start());
    {
        const DeviceSearch::CommandHold hold(*m_search);
        ASSERT_TRUE(m_search->ReopenForCommand());
        m_search->OnTimer(DeviceSearch::kSearchWindowTimer);  // no new device: the search is over
        EXPECT_FALSE(m_search->IsTimerRunning(DeviceSearch::kSearchWindowTimer));
        ASSERT_TRUE(m_search->IsOpen()) << "the command's datagram must still go out";
        DEVICE_PACKET command = DEVICE_PACKET::Request(Opcode::SoftReset);
        m_search->Send(command);
        EXPECT_EQ(m_device.TakeReceived().back(), QByteArray(reinterpret_cast<const char*>(command.bytes.data()), 52));
    }
    EXPECT_FALSE(m_search->IsOpen());

    // A window that ends before the command opens the endpoint leaves the command's opening open.
    ASSERT_TRUE(m_search->Start());
    {
        const DeviceSearch::CommandHold hold(*m_search);
        m_search->OnTimer(DeviceSearch::kSearchWindowTimer);
        ASSERT_TRUE(m_search->ReopenForCommand());
    }
    EXPECT_TRUE(m_search->IsOpen());
}

// What the command line asks of the search: its own sending, each reply's interface, the end.
TEST(DeviceSearchHooksTest, RepliesCarryTheirInterfaceAndTheEndIsAnnounced)
{
    int argc = 1;
    char name[] = "device_search_hooks";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    test::LoopbackDevice device;
    const EndpointAddresses addresses = test::LoopbackAddresses(device.Port());
    std::vector<int> interfaces;
    int ended = 0;
    int sendings = 0;
    DeviceSearch::Handlers handlers;
    handlers.replyFrom = [&](const DEVICE_PACKET&, const ReplyOrigin& origin) {
        interfaces.push_back(origin.interfaceIndex);
        EXPECT_EQ(origin.sender, QHostAddress(QHostAddress::LocalHost));
    };
    handlers.searchEnded = [&] { ++ended; };
    handlers.sendDiscovery = [&](CListSocket& endpoint) {
        ++sendings;
        QString error;
        EXPECT_TRUE(endpoint.SendThrough(DEVICE_PACKET::Discovery(), 0, &error)) << error.toStdString();
        EXPECT_TRUE(endpoint.SendThrough(DEVICE_PACKET::Discovery(), 0, &error)) << error.toStdString();
    };
    DeviceSearch search(std::move(handlers), addresses);
    search.SetSearchWindowMs(100);
    ASSERT_TRUE(search.Start());
    EXPECT_EQ(sendings, 1);
    EXPECT_EQ(device.TakeReceived(), (std::vector<QByteArray>(2, test::ExpectedDiscoveryRequest())));
    device.Send(MakeReply(1), addresses.localPort);
    device.Send(MakeReply(1), addresses.localPort);
    device.Send(MakeReply(2), addresses.localPort);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended == 1; }, kWaitMs));
    EXPECT_FALSE(search.IsOpen());
    const int loopback = QNetworkInterface::interfaceIndexFromName(QStringLiteral("lo"));
    EXPECT_EQ(interfaces, (std::vector<int>{loopback, loopback})) << "one per distinct reply, from lo";
}

// An adapter that can carry a limited broadcast, or one with a single flag flipped.
enum Flip { kNone, kDown, kNoBroadcast, kLoopback, kNoIpv4 };
InterfaceInfo Adapter(int index, Flip flip = kNone)
{
    InterfaceInfo adapter{"eth" + std::to_string(index), index, true, true, false, true, {}};
    adapter.up = flip != kDown;
    adapter.canBroadcast = flip != kNoBroadcast;
    adapter.loopback = flip == kLoopback;
    adapter.hasIpv4 = flip != kNoIpv4;
    return adapter;
}

TEST(BroadcastInterfacesTest, OnlyUpBroadcastCapableNonLoopbackAdaptersWithIpv4CarryTheBroadcast)
{
    const struct {
        Flip flip;
        bool carries;
    } cases[] = {{kNone, true}, {kDown, false}, {kNoBroadcast, false}, {kLoopback, false}, {kNoIpv4, false}};
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(CanCarryBroadcast(Adapter(2, cases[i].flip)), cases[i].carries) << "case " << i;
    EXPECT_EQ(BroadcastInterfaceIndexes({Adapter(7), Adapter(1, kLoopback), Adapter(3), Adapter(4, kDown), Adapter(2),
                                         Adapter(5, kNoIpv4), Adapter(6, kNoBroadcast)}),
              (std::vector<int>{7, 3, 2}))
        << "the order given is kept";
    EXPECT_TRUE(BroadcastInterfaceIndexes({}).empty());
}

// Towards the limited broadcast, bound to loopback; the datagrams go to a recorder, never to a
// real interface, whatever the code under test decides.
EndpointAddresses LoopboundBroadcast()
{
    EndpointAddresses addresses;
    addresses.bindAddress = QHostAddress(QHostAddress::LocalHost);
    addresses.localPort = 0;
    return addresses;
}

// With no interface able to carry the request (none listed, or every send failed), the operator
// is told once and the search is over at once.
TEST(DeviceSearchHooksTest, NoInterfaceForTheBroadcastEndsTheSearchAndSaysSoOnce)
{
    int argc = 1;
    char name[] = "device_search_hooks";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const struct {
        std::vector<InterfaceInfo> machine;
        std::vector<int> tried;
    } cases[] = {
        {{}, {}},
        {{Adapter(2, kLoopback), Adapter(3, kDown), Adapter(4, kNoIpv4), Adapter(5, kNoBroadcast)}, {}},
        {{Adapter(2), Adapter(3)}, {2, 3}},  // the recorder fails every send
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.machine.size());
        int told = 0;
        int ended = 0;
        std::vector<int> tried;
        DeviceSearch::Handlers handlers;
        handlers.noInterface = [&] { ++told; };
        handlers.searchEnded = [&] { ++ended; };
        DeviceSearch search(std::move(handlers), LoopboundBroadcast());
        search.SetInterfaceSource([&c] { return c.machine; });
        search.SetDatagramSender([&tried](const DEVICE_PACKET& packet, int interfaceIndex) {
            EXPECT_EQ(packet.bytes, DEVICE_PACKET::Discovery().bytes);
            tried.push_back(interfaceIndex);
            return false;
        });
        EXPECT_TRUE(search.Start());
        EXPECT_EQ(tried, c.tried);
        EXPECT_EQ(told, 1);
        EXPECT_EQ(ended, 1);
        EXPECT_FALSE(search.IsOpen());
        EXPECT_FALSE(search.IsTimerRunning(DeviceSearch::kSearchWindowTimer));
    }
}

// A command leaves through the adapter its device's reply came in on while that can carry the
// broadcast, else through every one that can, else (0) wherever the routing table sends it.
TEST(DeviceSearchHooksTest, ACommandLeavesThroughItsDevicesAdapterWhileThatCanCarryIt)
{
    int argc = 1;
    char name[] = "device_search_hooks";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const std::vector<InterfaceInfo> machine = {Adapter(1, kLoopback), Adapter(2), Adapter(3), Adapter(4, kDown)};
    const struct {
        int replyInterface;
        std::vector<InterfaceInfo> machine;
        std::vector<int> sentThrough;
    } cases[] = {
        {3, machine, {3}},
        {2, machine, {2}},
        {4, machine, {2, 3}},                                    // listed, but down
        {5, machine, {2, 3}},                                    // unplugged
        {1, machine, {2, 3}},                                    // loopback
        {0, machine, {2, 3}},                                    // not known
        {2, {Adapter(1, kLoopback), Adapter(2, kNoIpv4)}, {0}},  // none can carry it
        {0, {}, {0}},                                            // none listed
    };
    const DEVICE_PACKET command = DEVICE_PACKET::Request(Opcode::SoftReset);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        std::vector<int> sent;
        DeviceSearch search(DeviceSearch::Handlers{}, LoopboundBroadcast());
        search.SetInterfaceSource([&machine = cases[i].machine] { return machine; });
        search.SetDatagramSender([&](const DEVICE_PACKET& packet, int interfaceIndex) {
            EXPECT_EQ(packet.bytes, command.bytes);
            sent.push_back(interfaceIndex);
            return true;
        });
        ASSERT_TRUE(search.ReopenForCommand());
        search.Send(command, cases[i].replyInterface);
        EXPECT_EQ(sent, cases[i].sentThrough);
    }
}

TEST(DeviceSearchHooksTest, AFailedOpeningSaysWhy)
{
    int argc = 1;
    char name[] = "device_search_hooks";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress(QHostAddress::LocalHost), 0, QUdpSocket::DontShareAddress));
    EndpointAddresses addresses = test::LoopbackAddresses(test::FreeLoopbackPort());
    addresses.localPort = holder.localPort();
    DeviceSearch search(DeviceSearch::Handlers{}, addresses);
    EXPECT_FALSE(search.Start());
    EXPECT_EQ(search.Endpoint().OpenError(), QAbstractSocket::AddressInUseError);
    QString error;
    EXPECT_FALSE(search.Endpoint().SendThrough(DEVICE_PACKET::Discovery(), 0, &error));
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace vantor
