#include "protocol/CListSocket.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace vantor {
namespace {

constexpr int kWaitMs = 5000;

QByteArray Bytes(const DEVICE_PACKET& packet)
{
    return QByteArray(reinterpret_cast<const char*>(packet.bytes.data()), static_cast<qsizetype>(packet.bytes.size()));
}

// A distinct reply for each number.
DEVICE_PACKET Reply(int number)
{
    DEVICE_PACKET reply = DEVICE_PACKET::Discovery();
    reply.SetIpAddress({10, static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 8),
                        static_cast<std::uint8_t>(number)});
    reply.SetNameField("Lab");
    reply.SetModelCode(31);
    return reply;
}

// Waits without running Qt's event loop until the socket has a datagram queued, so that a test
// can close the endpoint while a datagram is known to be waiting on it.
bool DatagramWaitingOn(const QUdpSocket& socket)
{
    pollfd entry{static_cast<int>(socket.socketDescriptor()), POLLIN, 0};
    return ::poll(&entry, 1, kWaitMs) == 1 && (entry.revents & POLLIN) != 0;
}

class CListSocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The device side: it sends the replies and receives what the endpoint sends.
        ASSERT_TRUE(m_device.bind(QHostAddress(QHostAddress::LocalHost), 0, QUdpSocket::DontShareAddress));
        m_endpoint = MakeEndpoint(0);
        ASSERT_TRUE(m_endpoint->Create());
        ASSERT_NE(m_endpoint->LocalPort(), 0);
    }

    std::unique_ptr<CListSocket> MakeEndpoint(std::uint16_t localPort)
    {
        EndpointAddresses addresses;
        addresses.bindAddress = QHostAddress(QHostAddress::LocalHost);
        addresses.localPort = localPort;
        addresses.destination = QHostAddress(QHostAddress::LocalHost);
        addresses.devicePort = m_device.localPort();
        return std::make_unique<CListSocket>(
            [this](const DEVICE_PACKET& reply, int) {
                m_replies.push_back(reply);
                if (m_onReply)
                    m_onReply(reply);
            },
            addresses);
    }

    void Deliver(const QByteArray& datagram)
    {
        ASSERT_EQ(m_device.writeDatagram(datagram, QHostAddress(QHostAddress::LocalHost), m_endpoint->LocalPort()),
                  datagram.size());
    }
    void Deliver(const DEVICE_PACKET& packet) { Deliver(Bytes(packet)); }

    bool WaitForReplies(std::size_t count)
    {
        return QTest::qWaitFor([&] { return m_replies.size() >= count; }, kWaitMs);
    }

    // The endpoint's socket, to watch its notifications and its queue.
    QUdpSocket* EndpointSocket() const { return m_endpoint->findChild<QUdpSocket*>(); }

    int m_argc = 1;
    char m_name[24] = "protocol_list_socket";
    char* m_argv[2] = {m_name, nullptr};
    QCoreApplication m_app{m_argc, m_argv};
    QUdpSocket m_device;
    std::vector<DEVICE_PACKET> m_replies;
    std::function<void(const DEVICE_PACKET&)> m_onReply;
    std::unique_ptr<CListSocket> m_endpoint;
};

TEST_F(CListSocketTest, DatagramsOfOtherSizesAreDroppedWhole)
{
    const DEVICE_PACKET dropped = Reply(1);
    const DEVICE_PACKET sentinel = Reply(2);
    const QByteArray full = Bytes(dropped);
    Deliver(full.left(51));
    Deliver(full + 'x');  // its first 52 bytes must never be taken as a reply
    Deliver(QByteArray());
    Deliver(full.repeated(20));
    Deliver(sentinel);  // sent last, so it is read after all of the above

    ASSERT_TRUE(WaitForReplies(1));
    ASSERT_EQ(m_replies.size(), 1u);
    EXPECT_EQ(m_replies[0], sentinel);
    EXPECT_EQ(m_endpoint->ReplyMemorySize(), 1u);
}

TEST_F(CListSocketTest, SameReplyTwiceGivesOneReplyPerOpening)
{
    const DEVICE_PACKET a = Reply(1);
    const DEVICE_PACKET b = Reply(2);
    Deliver(a);
    Deliver(a);
    Deliver(b);
    ASSERT_TRUE(WaitForReplies(2));
    Deliver(a);
    Deliver(b);
    Deliver(Reply(3));
    ASSERT_TRUE(WaitForReplies(3));
    EXPECT_EQ(m_replies, (std::vector<DEVICE_PACKET>{a, b, Reply(3)}));
    EXPECT_EQ(m_endpoint->ReplyMemorySize(), 3u);

    const std::uint16_t port = m_endpoint->LocalPort();
    m_endpoint->Close();
    EXPECT_FALSE(m_endpoint->IsOpen());
    ASSERT_TRUE(m_endpoint->Create());
    EXPECT_EQ(m_endpoint->LocalPort(), port);
    EXPECT_EQ(m_endpoint->ReplyMemorySize(), 0u);

    Deliver(a);
    Deliver(a);
    Deliver(b);
    ASSERT_TRUE(WaitForReplies(5));
    Deliver(Reply(4));
    ASSERT_TRUE(WaitForReplies(6));
    EXPECT_EQ(m_replies, (std::vector<DEVICE_PACKET>{a, b, Reply(3), a, b, Reply(4)}));
}

TEST_F(CListSocketTest, RepliesDifferingInAnyByteAreAllAccepted)
{
    std::vector<DEVICE_PACKET> sent;
    for (std::size_t byte : {std::size_t{3}, std::size_t{0}, std::size_t{50}, std::size_t{51}}) {
        DEVICE_PACKET variant = Reply(7);
        variant.bytes[byte] ^= 0x5A;
        sent.push_back(variant);
    }
    sent.push_back(Reply(7));
    for (const DEVICE_PACKET& packet : sent)
        Deliver(packet);
    ASSERT_TRUE(WaitForReplies(sent.size()));
    EXPECT_EQ(m_replies, sent);
}

TEST_F(CListSocketTest, ReplyWithoutSignatureIsAccepted)
{
    DEVICE_PACKET foreign;
    foreign.bytes.fill(0xFF);
    foreign.bytes[0] = 'X';
    foreign.bytes[1] = 'Y';
    foreign.bytes[2] = 'Z';
    const DEVICE_PACKET discovery = DEVICE_PACKET::Discovery();  // a request echoed back
    Deliver(foreign);
    Deliver(discovery);
    ASSERT_TRUE(WaitForReplies(2));
    EXPECT_EQ(m_replies, (std::vector<DEVICE_PACKET>{foreign, discovery}));
}

TEST_F(CListSocketTest, NoHandlerStillMarksReplied)
{
    m_endpoint = std::make_unique<CListSocket>(nullptr, EndpointAddresses{QHostAddress(QHostAddress::LocalHost), 0,
                                                                          QHostAddress(QHostAddress::LocalHost),
                                                                          m_device.localPort()});
    ASSERT_TRUE(m_endpoint->Create());
    Deliver(Reply(1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_endpoint->ReplyMemorySize() == 1u; }, kWaitMs));
}

TEST_F(CListSocketTest, CreateFailsWhileAnotherSocketHoldsThePort)
{
    const std::vector<QAbstractSocket::BindMode> holderModes = {
        QUdpSocket::DefaultForPlatform, QUdpSocket::ShareAddress, QUdpSocket::DontShareAddress,
        QUdpSocket::ReuseAddressHint, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint};
    for (const auto mode : holderModes) {
        SCOPED_TRACE(static_cast<int>(mode));
        QUdpSocket holder;
        ASSERT_TRUE(holder.bind(QHostAddress(QHostAddress::LocalHost), 0, mode));
        const std::uint16_t port = holder.localPort();
        auto endpoint = MakeEndpoint(port);
        EXPECT_FALSE(endpoint->Create());
        EXPECT_FALSE(endpoint->IsOpen());
        endpoint->SendTo(Reply(1));  // closed: nothing happens

        holder.close();
        EXPECT_TRUE(endpoint->Create());
        EXPECT_TRUE(endpoint->IsOpen());
        EXPECT_EQ(endpoint->LocalPort(), port);
    }
}

TEST_F(CListSocketTest, SecondEndpointOnTheSamePortFails)
{
    auto second = MakeEndpoint(m_endpoint->LocalPort());
    EXPECT_FALSE(second->Create());
    m_endpoint->Close();
    EXPECT_TRUE(second->Create());
    EXPECT_FALSE(m_endpoint->Create());
}

TEST_F(CListSocketTest, DestructionReleasesThePort)
{
    const std::uint16_t port = m_endpoint->LocalPort();
    m_endpoint.reset();
    QUdpSocket probe;
    EXPECT_TRUE(probe.bind(QHostAddress(QHostAddress::LocalHost), port, QUdpSocket::DontShareAddress));
}

TEST_F(CListSocketTest, SendToDeliversExactly52BytesToTheDevicePort)
{
    m_endpoint->EnableBroadcast();
    DEVICE_PACKET command = DEVICE_PACKET::Request(Opcode::SoftReset);
    command.SetPassword("secret");
    m_endpoint->SendTo(DEVICE_PACKET::Discovery());
    m_endpoint->SendTo(command);

    for (const DEVICE_PACKET& expected : {DEVICE_PACKET::Discovery(), command}) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_device.hasPendingDatagrams(); }, kWaitMs));
        EXPECT_EQ(m_device.pendingDatagramSize(), 52);
        QByteArray received(100, '\0');
        QHostAddress from;
        quint16 fromPort = 0;
        const qint64 size = m_device.readDatagram(received.data(), received.size(), &from, &fromPort);
        ASSERT_EQ(size, 52);
        received.resize(52);
        EXPECT_EQ(received, Bytes(expected));
        EXPECT_EQ(fromPort, m_endpoint->LocalPort());
        EXPECT_EQ(from, QHostAddress(QHostAddress::LocalHost));
    }
}

TEST_F(CListSocketTest, SendToWhileClosedSendsNothing)
{
    m_endpoint->Close();
    m_endpoint->SendTo(Reply(1));
    ASSERT_TRUE(m_endpoint->Create());
    m_endpoint->SendTo(Reply(2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_device.hasPendingDatagrams(); }, kWaitMs));
    QByteArray received(52, '\0');
    ASSERT_EQ(m_device.readDatagram(received.data(), received.size()), 52);
    EXPECT_EQ(received, Bytes(Reply(2)));
}

TEST_F(CListSocketTest, DatagramWaitingAtCloseIsNeverDelivered)
{
    Deliver(Reply(1));
    ASSERT_TRUE(DatagramWaitingOn(*EndpointSocket()));
    m_endpoint->Close();
    ASSERT_TRUE(m_endpoint->Create());
    Deliver(Reply(2));
    ASSERT_TRUE(WaitForReplies(1));
    Deliver(Reply(3));
    ASSERT_TRUE(WaitForReplies(2));
    EXPECT_EQ(m_replies, (std::vector<DEVICE_PACKET>{Reply(2), Reply(3)}));
}

TEST_F(CListSocketTest, BurstOfDistinctRepliesAllArrive)
{
    constexpr int kTotal = 2000;
    constexpr int kChunk = 100;  // well inside the default receive buffer, so nothing is lost
    QSignalSpy notifications(EndpointSocket(), &QUdpSocket::readyRead);
    std::vector<DEVICE_PACKET> sent;
    for (int first = 0; first < kTotal; first += kChunk) {
        for (int i = first; i < first + kChunk; ++i) {
            sent.push_back(Reply(i));
            Deliver(sent.back());
        }
        ASSERT_TRUE(WaitForReplies(sent.size())) << "after " << sent.size();
    }
    EXPECT_EQ(m_replies, sent);
    EXPECT_EQ(m_endpoint->ReplyMemorySize(), static_cast<std::size_t>(kTotal));
    // Each notification drains everything waiting; one read per notification would take one
    // notification per datagram.
    EXPECT_LT(notifications.count(), kTotal / 2);
}

TEST_F(CListSocketTest, LargeBurstIsHandedOnASliceAtATimeInOrder)
{
    // Loopback delivery is immediate, so the whole burst waits on the socket before the endpoint
    // reads any of it; 400 small datagrams fit the system's default receive buffer. Each reply
    // takes the handler at least kReplyCost, so a slice can hold no more replies than fit the
    // turn's budget (and one more, the one that crosses it).
    constexpr int kDistinct = 400;
    constexpr auto kReplyCost = std::chrono::microseconds(200);
    constexpr int kMostPerSlice =
        static_cast<int>(CListSocket::kTurnBudgetNs / std::chrono::nanoseconds(kReplyCost).count()) + 1;
    int inSlice = 0;
    int largestSlice = 0;
    int slices = 0;
    m_onReply = [&](const DEVICE_PACKET&) {
        if (inSlice == 0) {
            ++slices;
            // Runs once control is back in the event loop, i.e. when this slice has ended.
            const auto endSlice = [&] { inSlice = 0; };
            QMetaObject::invokeMethod(&m_device, endSlice, Qt::QueuedConnection);
        }
        largestSlice = std::max(largestSlice, ++inSlice);
        std::this_thread::sleep_for(kReplyCost);
    };
    std::vector<DEVICE_PACKET> expected;
    for (int i = 0; i < kDistinct; ++i) {
        Deliver(Reply(i));
        expected.push_back(Reply(i));
        if (i == 300) {
            Deliver(Reply(7));                         // a repeat: dropped
            Deliver(Bytes(Reply(1000)).append('\0'));  // 53 bytes: dropped
        }
    }
    ASSERT_TRUE(WaitForReplies(expected.size()));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_replies, expected);
    EXPECT_LE(largestSlice, kMostPerSlice);
    EXPECT_GE(slices, kDistinct / kMostPerSlice);
}

TEST_F(CListSocketTest, ClosingBetweenSlicesDropsTheRestOfTheBurst)
{
    constexpr int kDistinct = 400;
    std::size_t firstSlice = 0;
    m_onReply = [&](const DEVICE_PACKET&) {
        if (m_replies.size() == 1) {
            // Close once control is back in the event loop, with the rest of the burst read
            // from the socket but not handed on yet.
            QMetaObject::invokeMethod(
                &m_device,
                [&] {
                    firstSlice = m_replies.size();
                    m_endpoint->Close();
                },
                Qt::QueuedConnection);
        }
        // Slow replies: the burst needs many slices.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    for (int i = 0; i < kDistinct; ++i)
        Deliver(Reply(i));
    ASSERT_TRUE(WaitForReplies(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_endpoint->IsOpen(); }, kWaitMs));
    QTest::qWait(50);
    ASSERT_GE(firstSlice, 1U);
    ASSERT_LT(firstSlice, static_cast<std::size_t>(kDistinct));
    EXPECT_EQ(m_replies.size(), firstSlice);

    // The next opening starts empty: a reply of the dropped part arrives as new.
    m_onReply = nullptr;
    ASSERT_TRUE(m_endpoint->Create());
    Deliver(Reply(kDistinct - 1));
    ASSERT_TRUE(WaitForReplies(firstSlice + 1));
    EXPECT_EQ(m_replies.back(), Reply(kDistinct - 1));
}

TEST_F(CListSocketTest, HandlerClosingDuringBurstStopsDelivery)
{
    // Qt is not built with the sanitizers, so a socket deleted inside its own readyRead would go
    // unnoticed there; check directly that it outlives the notification and goes afterwards.
    const QPointer<QUdpSocket> socket = EndpointSocket();
    bool aliveAfterClose = false;
    m_onReply = [&](const DEVICE_PACKET&) {
        if (m_replies.size() == 10) {
            m_endpoint->Close();
            aliveAfterClose = !socket.isNull();
        }
    };
    for (int i = 0; i < 100; ++i)
        Deliver(Reply(i));
    ASSERT_TRUE(WaitForReplies(10));
    EXPECT_FALSE(m_endpoint->IsOpen());
    EXPECT_TRUE(aliveAfterClose) << "the socket was deleted inside its own notification";
    EXPECT_TRUE(QTest::qWaitFor([&] { return socket.isNull(); }, kWaitMs)) << "the closed socket was never freed";

    m_onReply = nullptr;
    ASSERT_TRUE(m_endpoint->Create());
    Deliver(Reply(0));  // accepted again: a new opening has an empty memory
    ASSERT_TRUE(WaitForReplies(11));
    ASSERT_EQ(m_replies.size(), 11u);
    EXPECT_EQ(m_replies[9], Reply(9));
    EXPECT_EQ(m_replies[10], Reply(0));
}

TEST_F(CListSocketTest, HandlerReopeningDuringBurstStartsAFreshOpening)
{
    int reopenings = 0;
    m_onReply = [&](const DEVICE_PACKET&) {
        if (m_replies.size() == 5) {
            ++reopenings;
            m_endpoint->Close();
            ASSERT_TRUE(m_endpoint->Create());
        }
    };
    for (int i = 0; i < 50; ++i)
        Deliver(Reply(i));
    ASSERT_TRUE(WaitForReplies(5));
    EXPECT_TRUE(m_endpoint->IsOpen());
    EXPECT_EQ(m_endpoint->ReplyMemorySize(), 0u);

    Deliver(Reply(4));  // already seen, but on the previous opening
    Deliver(Reply(4));
    Deliver(Reply(100));
    ASSERT_TRUE(WaitForReplies(7));
    EXPECT_EQ(reopenings, 1);
    ASSERT_EQ(m_replies.size(), 7u);
    EXPECT_EQ(m_replies[5], Reply(4));
    EXPECT_EQ(m_replies[6], Reply(100));
}

TEST_F(CListSocketTest, HandlerDestroyingStateWhileBurstContinues)
{
    // The handler opens and closes the endpoint over and over while datagrams keep arriving.
    m_onReply = [this](const DEVICE_PACKET&) {
        m_endpoint->Close();
        m_endpoint->Create();
    };
    for (int round = 0; round < 20; ++round) {
        for (int i = 0; i < 10; ++i)
            Deliver(Reply(i));
        ASSERT_TRUE(WaitForReplies(static_cast<std::size_t>(round + 1)));
    }
    EXPECT_TRUE(m_endpoint->IsOpen());
}

}  // namespace
}  // namespace vantor
