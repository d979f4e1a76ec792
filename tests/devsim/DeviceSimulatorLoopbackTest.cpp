// The simulator in this process on 127.0.0.1 with free ports; a test socket plays the
// program's part. No broadcast, no fixed port.

#include "tools/devsim/DefaultDevices.h"
#include "tools/devsim/DeviceSimulator.h"

#include <QByteArray>
#include <QNetworkDatagram>
#include <QSet>
#include <QStringList>
#include <QUdpSocket>
#include <QtCore/qtestsupport_core.h>

#include <memory>

#include <gtest/gtest.h>

namespace vantor::devsim {
namespace {

constexpr int kWaitMs = 5000;

QByteArray Discovery()
{
    QByteArray bytes(52, '\0');
    bytes.replace(0, 4, "KWZ9");
    return bytes;
}

QByteArray SetIp(const QByteArray& mac, const QByteArray& ip, const char* password)
{
    QByteArray bytes(52, '\0');
    bytes.replace(0, 4, "KWZ:");
    bytes.replace(4, 4, ip);
    bytes.replace(12, 6, mac);
    const QByteArray pw(password);
    bytes.replace(42, pw.size(), pw);
    return bytes;
}

class DeviceSimulatorLoopback : public ::testing::Test {
protected:
    // Starts a simulator that answers to this test's socket.
    void Start(SimulatorOptions options, std::vector<SimDevice> devices = DefaultDevices())
    {
        ASSERT_TRUE(m_program.bind(QHostAddress::LocalHost, 0));
        options.bindAddress = QHostAddress::LocalHost;
        options.port = 0;
        options.replyAddress = QHostAddress::LocalHost;
        options.replyPort = m_program.localPort();
        m_simulator = std::make_unique<DeviceSimulator>(std::move(devices), options);
        QObject::connect(m_simulator.get(), &DeviceSimulator::logLine, [this](const QString& line) { m_log << line; });
        QString error;
        ASSERT_TRUE(m_simulator->Start(&error)) << error.toStdString();
        ASSERT_NE(m_simulator->LocalPort(), 0);
    }

    void send(const QByteArray& datagram)
    {
        ASSERT_EQ(m_program.writeDatagram(datagram, QHostAddress::LocalHost, m_simulator->LocalPort()),
                  datagram.size());
    }

    // Drives the event loop until `count` replies are in (bounded).
    bool receive(qsizetype count)
    {
        return QTest::qWaitFor(
            [&] {
                while (m_program.hasPendingDatagrams())
                    m_replies << m_program.receiveDatagram().data();
                return m_replies.size() >= count;
            },
            kWaitMs);
    }

    // Until the simulator has logged `count` lines starting with `prefix`.
    bool logged(const QString& prefix, qsizetype count)
    {
        return QTest::qWaitFor([&] { return linesStartingWith(prefix).size() >= count; }, kWaitMs);
    }

    QStringList linesStartingWith(const QString& prefix) const
    {
        QStringList lines;
        for (const QString& line : m_log) {
            if (line.startsWith(prefix))
                lines << line;
        }
        return lines;
    }

    QUdpSocket m_program;
    std::unique_ptr<DeviceSimulator> m_simulator;
    QList<QByteArray> m_replies;
    QStringList m_log;
};

TEST_F(DeviceSimulatorLoopback, DiscoveryGetsOneReplyOfEachDefaultDevice)
{
    Start({});
    send(Discovery());
    ASSERT_TRUE(receive(8));
    ASSERT_TRUE(logged(QStringLiteral("TX "), 8));
    EXPECT_FALSE(m_program.hasPendingDatagrams());

    QSet<QByteArray> distinct;
    for (const QByteArray& reply : std::as_const(m_replies)) {
        EXPECT_EQ(reply.size(), 52);
        distinct.insert(reply);
    }
    EXPECT_EQ(distinct.size(), 8);
    // The first default device, byte for byte where it matters.
    const QByteArray lab1 = QByteArray::fromHex("00000000c0a80164ffffff00001a2b3c4d01"
                                                "4c61623100000000000000000000000000"
                                                "c0a80101"
                                                "0130"
                                                "1f"
                                                "00000000000000000000");
    ASSERT_EQ(lab1.size(), 52);
    EXPECT_TRUE(distinct.contains(lab1));

    const QStringList rx = linesStartingWith(QStringLiteral("RX "));
    ASSERT_EQ(rx.size(), 1);
    EXPECT_TRUE(rx[0].startsWith(QStringLiteral("RX 52 4b575a39") + QString(96, u'0') + u' ')) << rx[0].toStdString();
    EXPECT_TRUE(rx[0].contains(QStringLiteral("from=127.0.0.1:%1").arg(m_program.localPort())));
    EXPECT_TRUE(rx[0].endsWith(QLatin1String("answering=1,2,3,4,5,6,7,8 silent=none result=answered")));
}

TEST_F(DeviceSimulatorLoopback, AnswerTwiceSendsEveryReplyTwice)
{
    SimulatorOptions options;
    options.answerTwice = true;
    Start(options);
    send(Discovery());
    ASSERT_TRUE(receive(16));
    ASSERT_TRUE(logged(QStringLiteral("TX "), 16));
    EXPECT_FALSE(m_program.hasPendingDatagrams());
    QMap<QByteArray, int> copies;
    for (const QByteArray& reply : std::as_const(m_replies))
        ++copies[reply];
    EXPECT_EQ(copies.size(), 8);
    for (const int count : std::as_const(copies))
        EXPECT_EQ(count, 2);
}

class DeviceSimulatorReplySize : public DeviceSimulatorLoopback, public ::testing::WithParamInterface<int> { };

TEST_P(DeviceSimulatorReplySize, RepliesAreCutOrPadded)
{
    SimulatorOptions options;
    options.replySize = GetParam();
    Start(options);
    send(Discovery());
    ASSERT_TRUE(receive(8));
    for (const QByteArray& reply : std::as_const(m_replies)) {
        ASSERT_EQ(reply.size(), GetParam());
        if (reply.size() > 52) {
            EXPECT_EQ(reply.mid(52), QByteArray(reply.size() - 52, '\0'));
        }
    }
    // The model code at 41 survives either way.
    EXPECT_EQ(static_cast<std::uint8_t>(m_replies.constFirst().at(41)), 31);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DeviceSimulatorReplySize, ::testing::Values(51, 53));

TEST_F(DeviceSimulatorLoopback, GarbageIsLoggedAndAnsweredByNobody)
{
    Start({});
    const QList<QByteArray> garbage = {
        QByteArray(),                       // empty datagram
        QByteArray("KWZ9"),                 // a discovery cut short
        Discovery() + QByteArray(1, '\0'),  // 53 bytes
        QByteArray(52, '\xff'),
        QByteArray(2000, 'K'),
    };
    for (const QByteArray& datagram : garbage)
        send(datagram);
    send(Discovery());  // still alive afterwards
    ASSERT_TRUE(receive(8));
    ASSERT_TRUE(logged(QStringLiteral("RX "), 6));

    const QStringList rx = linesStartingWith(QStringLiteral("RX "));
    EXPECT_TRUE(rx[0].startsWith(QLatin1String("RX 0 - ")));
    EXPECT_TRUE(rx[0].endsWith(QLatin1String("result=ignored reason=size")));
    EXPECT_TRUE(rx[1].startsWith(QLatin1String("RX 4 4b575a39 ")));
    EXPECT_TRUE(rx[2].startsWith(QLatin1String("RX 53 ")));
    EXPECT_TRUE(rx[3].endsWith(QLatin1String("result=ignored reason=signature")));
    EXPECT_TRUE(rx[4].startsWith(QLatin1String("RX 2000 ")));  // read whole, not cut
    EXPECT_EQ(linesStartingWith(QStringLiteral("TX ")).size(), 8);
    EXPECT_EQ(m_replies.size(), 8);
}

TEST_F(DeviceSimulatorLoopback, SetIpShowsInTheNextDiscovery)
{
    Start({});
    const QByteArray mac = QByteArray::fromHex("001a2b3c4d01");
    send(SetIp(mac, QByteArray::fromHex("c0a80165"), "wrong"));
    send(SetIp(mac, QByteArray::fromHex("c0a80165"), "secret"));
    ASSERT_TRUE(logged(QStringLiteral("EV "), 1));
    send(Discovery());
    ASSERT_TRUE(receive(8));

    const QStringList rx = linesStartingWith(QStringLiteral("RX "));
    ASSERT_GE(rx.size(), 2);
    EXPECT_TRUE(rx[0].endsWith(QLatin1String("wrong-password=1 result=wrong-password"))) << rx[0].toStdString();
    EXPECT_TRUE(rx[1].endsWith(QLatin1String("applied=1 result=applied"))) << rx[1].toStdString();
    EXPECT_TRUE(linesStartingWith(QStringLiteral("EV "))
                    .constFirst()
                    .endsWith(QLatin1String("dev=1 name=\"Lab1\" ip 192.168.1.100 -> 192.168.1.101")));

    int withNewIp = 0;
    int withOldIp = 0;
    for (const QByteArray& reply : std::as_const(m_replies)) {
        withNewIp += reply.mid(4, 4) == QByteArray::fromHex("c0a80165") ? 1 : 0;
        withOldIp += reply.mid(4, 4) == QByteArray::fromHex("c0a80164") ? 1 : 0;
    }
    EXPECT_EQ(withNewIp, 1);
    EXPECT_EQ(withOldIp, 0);
}

TEST_F(DeviceSimulatorLoopback, DeviceDelayHoldsItsReplyBack)
{
    std::vector<SimDevice> devices = DefaultDevices();
    devices.resize(2);
    devices[1].delayMs = 50;
    Start({}, devices);
    send(Discovery());
    // The prompt device answers while the delayed one is still waiting for its timer.
    ASSERT_TRUE(logged(QStringLiteral("TX "), 1));
    EXPECT_EQ(linesStartingWith(QStringLiteral("TX ")).constFirst().right(6), QStringLiteral(" dev=1"));
    ASSERT_TRUE(receive(2));
    EXPECT_EQ(linesStartingWith(QStringLiteral("TX ")).constLast().right(6), QStringLiteral(" dev=2"));
}

TEST_F(DeviceSimulatorLoopback, StartFailsClearlyWhenThePortIsTaken)
{
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::LocalHost, 0, QUdpSocket::DontShareAddress));
    SimulatorOptions options;
    options.bindAddress = QHostAddress::LocalHost;
    options.port = holder.localPort();
    DeviceSimulator simulator(DefaultDevices(), options);
    QString error;
    EXPECT_FALSE(simulator.Start(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("127.0.0.1:%1").arg(holder.localPort()))) << error.toStdString();
}

}  // namespace
}  // namespace vantor::devsim
