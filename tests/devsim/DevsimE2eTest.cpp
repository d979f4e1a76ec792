// The real vantor-devsim binary with its default ports, inside a private network namespace:
// this test plays the program (port 4000, broadcast to 255.255.255.255 port 36). Registered
// only through scripts/netns; it refuses to run where the machine's real interfaces are
// visible.

#include "platform/BroadcastOption.h"

#include <QByteArray>
#include <QFile>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtCore/qtestsupport_core.h>

#include <cstdlib>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 10000;
constexpr quint16 kDevicePort = 36;
constexpr quint16 kProgramPort = 4000;

// scripts/netns leaves only lo and the veth pair va/vb in the namespace.
bool InsidePrivateNamespace()
{
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const QString name = interface.name();
        if (name != QLatin1String("lo") && name != QLatin1String("va") && name != QLatin1String("vb"))
            return false;
    }
    return true;
}

QString SimulatorPath()
{
    const QByteArray dir = qgetenv("VANTOR_BUILD_DIR");
    if (!dir.isEmpty() && QFile::exists(QString::fromLocal8Bit(dir) + QStringLiteral("/vantor-devsim")))
        return QString::fromLocal8Bit(dir) + QStringLiteral("/vantor-devsim");
    return QStringLiteral(VANTOR_DEVSIM_BINARY);
}

QByteArray Discovery()
{
    QByteArray bytes(52, '\0');
    bytes.replace(0, 4, "KWZ9");
    return bytes;
}

QByteArray Command(char opcode, const QByteArray& ip, const QByteArray& mac, const char* password)
{
    QByteArray bytes(52, '\0');
    bytes.replace(0, 3, "KWZ");
    bytes[3] = opcode;
    bytes.replace(4, 4, ip);
    bytes.replace(8, 4, QByteArray::fromHex("ffffff00"));
    bytes.replace(12, 6, mac);
    bytes.replace(35, 4, QByteArray::fromHex("c0a80101"));
    const QByteArray pw(password);
    bytes.replace(42, pw.size(), pw);
    return bytes;
}

QString Ip(const QByteArray& reply)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(static_cast<std::uint8_t>(reply[4]))
        .arg(static_cast<std::uint8_t>(reply[5]))
        .arg(static_cast<std::uint8_t>(reply[6]))
        .arg(static_cast<std::uint8_t>(reply[7]));
}

class DevsimE2e : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!InsidePrivateNamespace())
            GTEST_SKIP() << "not inside scripts/netns: refusing to broadcast on this machine's network";
        ASSERT_TRUE(m_dir.isValid());
    }

    void TearDown() override
    {
        if (m_simulator.state() != QProcess::NotRunning) {
            m_simulator.terminate();
            if (!m_simulator.waitForFinished(kWaitMs))
                m_simulator.kill();
            m_simulator.waitForFinished(kWaitMs);
        }
    }

    QString logPath() const { return m_dir.filePath(QStringLiteral("devsim.log")); }

    QStringList logLines(const QString& prefix) const
    {
        QFile file(logPath());
        QStringList lines;
        if (!file.open(QIODevice::ReadOnly))
            return lines;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith(prefix.toUtf8()))
                lines << QString::fromUtf8(line);
        }
        return lines;
    }

    // Starts the simulator with default ports and waits until it says it is listening.
    void startSimulator(const QStringList& extra = {})
    {
        m_simulator.setProgram(SimulatorPath());
        m_simulator.setArguments(QStringList{QStringLiteral("--log"), logPath()} + extra);
        m_simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_simulator.start();
        ASSERT_TRUE(m_simulator.waitForStarted(kWaitMs)) << SimulatorPath().toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !logLines(QStringLiteral("INFO ")).isEmpty(); }, kWaitMs));
        ASSERT_TRUE(logLines(QStringLiteral("INFO "))
                        .constFirst()
                        .contains(QLatin1String("listening on 0.0.0.0:36 replies-to=255.255.255.255:4000 devices=8")));
    }

    void openProgramSocket()
    {
        ASSERT_TRUE(m_program.bind(QHostAddress::AnyIPv4, kProgramPort, QUdpSocket::DontShareAddress))
            << m_program.errorString().toStdString();
        ASSERT_TRUE(vantor::EnableBroadcastOption(m_program.socketDescriptor()));
    }

    void broadcast(const QByteArray& datagram)
    {
        ASSERT_EQ(m_program.writeDatagram(datagram, QHostAddress::Broadcast, kDevicePort), datagram.size())
            << m_program.errorString().toStdString();
    }

    QList<QByteArray> receive(qsizetype count)
    {
        QList<QByteArray> replies;
        const bool ok = QTest::qWaitFor(
            [&] {
                while (m_program.hasPendingDatagrams())
                    replies << m_program.receiveDatagram().data();
                return replies.size() >= count;
            },
            kWaitMs);
        EXPECT_TRUE(ok) << "got " << replies.size() << " of " << count << " replies";
        return replies;
    }

    QTemporaryDir m_dir;
    QProcess m_simulator;
    QUdpSocket m_program;
};

TEST_F(DevsimE2e, BroadcastDiscoveryAndSetIpOnTheRealPorts)
{
    startSimulator();
    openProgramSocket();

    broadcast(Discovery());
    QList<QByteArray> replies = receive(8);
    ASSERT_EQ(replies.size(), 8);
    QSet<QString> ips;
    for (const QByteArray& reply : std::as_const(replies)) {
        EXPECT_EQ(reply.size(), 52);
        ips.insert(Ip(reply));
    }
    EXPECT_EQ(ips, (QSet<QString>{QStringLiteral("192.168.1.100"), QStringLiteral("192.168.1.20"),
                                  QStringLiteral("192.168.1.3"), QStringLiteral("10.0.0.10"),
                                  QStringLiteral("10.0.0.9"), QStringLiteral("172.16.5.1"),
                                  QStringLiteral("192.168.1.250"), QStringLiteral("192.168.0.7")}));

    // Right password for Lab1 (00-1A-2B-3C-4D-01), wrong one for Gate-East (...-03).
    const QByteArray setIp =
        Command(':', QByteArray::fromHex("c0a80165"), QByteArray::fromHex("001a2b3c4d01"), "secret");
    const QByteArray refused =
        Command(':', QByteArray::fromHex("c0a80166"), QByteArray::fromHex("001a2b3c4d03"), "secret");
    broadcast(setIp);
    broadcast(refused);
    ASSERT_TRUE(QTest::qWaitFor([&] { return logLines(QStringLiteral("RX ")).size() >= 3; }, kWaitMs));

    broadcast(Discovery());
    replies = receive(8);
    ips.clear();
    for (const QByteArray& reply : std::as_const(replies))
        ips.insert(Ip(reply));
    EXPECT_TRUE(ips.contains(QStringLiteral("192.168.1.101")));
    EXPECT_FALSE(ips.contains(QStringLiteral("192.168.1.100")));
    EXPECT_TRUE(ips.contains(QStringLiteral("192.168.1.3")));
    EXPECT_FALSE(ips.contains(QStringLiteral("192.168.1.102")));

    // The log holds every datagram as it crossed the wire, in order.
    ASSERT_TRUE(QTest::qWaitFor([&] { return logLines(QStringLiteral("RX ")).size() >= 4; }, kWaitMs));
    const QStringList rx = logLines(QStringLiteral("RX "));
    ASSERT_EQ(rx.size(), 4);
    const auto starts = [](const QByteArray& datagram) {
        return QStringLiteral("RX 52 ") + QString::fromLatin1(datagram.toHex()) + u' ';
    };
    EXPECT_TRUE(rx[0].startsWith(starts(Discovery())));
    EXPECT_TRUE(rx[1].startsWith(starts(setIp)));
    EXPECT_TRUE(rx[1].endsWith(QLatin1String("applied=1 result=applied"))) << rx[1].toStdString();
    EXPECT_TRUE(rx[2].startsWith(starts(refused)));
    EXPECT_TRUE(rx[2].endsWith(QLatin1String("result=wrong-password"))) << rx[2].toStdString();
    EXPECT_TRUE(rx[3].startsWith(starts(Discovery())));
    for (const QString& line : rx)
        EXPECT_TRUE(line.contains(QStringLiteral(":%1 ").arg(kProgramPort))) << "sender port 4000";
    EXPECT_EQ(logLines(QStringLiteral("TX 52 ")).size(), 16);
    EXPECT_TRUE(logLines(QStringLiteral("EV "))
                    .constFirst()
                    .endsWith(QLatin1String("dev=1 name=\"Lab1\" ip 192.168.1.100 -> 192.168.1.101")));
}

TEST_F(DevsimE2e, SoftResetSilencesTheDevice)
{
    startSimulator({QStringLiteral("--reboot-seconds"), QStringLiteral("600")});
    openProgramSocket();
    const QByteArray reset = Command('=', QByteArray(4, '\0'), QByteArray::fromHex("001a2b3c4d02"), "");
    broadcast(reset);
    broadcast(Discovery());
    EXPECT_EQ(receive(7).size(), 7);
    ASSERT_TRUE(QTest::qWaitFor([&] { return logLines(QStringLiteral("RX ")).size() >= 2; }, kWaitMs));
    const QStringList rx = logLines(QStringLiteral("RX "));
    EXPECT_TRUE(rx[0].endsWith(QLatin1String("applied=2 result=applied"))) << rx[0].toStdString();
    EXPECT_TRUE(rx[1].endsWith(QLatin1String("answering=1,3,4,5,6,7,8 silent=2 result=answered")))
        << rx[1].toStdString();
    EXPECT_EQ(logLines(QStringLiteral("TX ")).size(), 7);
}

struct ExitCase {
    const char* label;
    QStringList arguments;
    const char* deviceFile;  // written to a file given with --devices, when set
    int exitCode;
    const char* inOutput;
};

class DevsimExitCodes : public ::testing::TestWithParam<ExitCase> { };

TEST_P(DevsimExitCodes, BadInputExitsWithAMessage)
{
    if (!InsidePrivateNamespace())
        GTEST_SKIP() << "not inside scripts/netns";
    const ExitCase& row = GetParam();
    QTemporaryDir dir;
    QStringList arguments = row.arguments;
    if (row.deviceFile) {
        QFile file(dir.filePath(QStringLiteral("devices")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(row.deviceFile);
        file.close();
        arguments << QStringLiteral("--devices") << file.fileName();
    }
    QProcess process;
    process.start(SimulatorPath(), arguments);
    ASSERT_TRUE(process.waitForFinished(kWaitMs));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), row.exitCode);
    const QString output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    EXPECT_TRUE(output.contains(QLatin1String(row.inOutput))) << output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, DevsimExitCodes,
    ::testing::Values(
        ExitCase{"help", {QStringLiteral("--help")}, nullptr, 0, "--reply-size"},
        ExitCase{"list", {QStringLiteral("--list")}, nullptr, 0, "name=Lab1 model=31 ip=192.168.1.100"},
        ExitCase{"bad_option", {QStringLiteral("--bogus")}, nullptr, 2, "bogus"},
        ExitCase{"bad_value", {QStringLiteral("--reply-size"), QStringLiteral("big")}, nullptr, 2, "--reply-size"},
        ExitCase{"bad_file", {}, "name=Lab1 ip=1.2.3 mac=00-00-00-00-00-01\n", 2, "line 1: ip '1.2.3'"},
        ExitCase{"bad_json", {}, "[{\"ip\": ", 2, "JSON error"},
        ExitCase{
            "missing_file", {QStringLiteral("--devices"), QStringLiteral("/nonexistent")}, nullptr, 2, "cannot read"}),
    [](const auto& row) { return std::string(row.param.label); });

}  // namespace
