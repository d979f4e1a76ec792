// vantor-cli against vantor-devsim inside a private network namespace (scripts/netns), on the
// real ports: output forms, the conflict mark, exit codes, password sources, device commands.
#include "tests/cli/CliProcess.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace vantor::test {
namespace {

const QString kWindow = QStringLiteral("--window=0.3");
const QString kLab1 = QStringLiteral("00-1A-2B-3C-4D-01");

// Lab1 and Lab2 share an IP address; Lab3 has none of the known models.
constexpr const char* kDevices =
    "name=Lab1 model=31 ip=192.168.1.20 mask=255.255.255.0 gateway=192.168.1.1 mac=00-1A-2B-3C-4D-01 "
    "version=1.30 password=secret\n"
    "name=Lab2 model=32 ip=192.168.1.20 mac=00-1A-2B-3C-4D-02 version=2.05 password=admin\n"
    "name=Lab3 model=7 ip=10.0.0.9 mac=00-FF-2B-3C-4D-03\n";

class CliEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!InsidePrivateNamespace())
            GTEST_SKIP() << "runs only inside a private network namespace (scripts/netns)";
        ASSERT_TRUE(m_dir.isValid());
        m_log = m_dir.filePath(QStringLiteral("devsim.log"));
        m_passwordFile = Write(QStringLiteral("pw"), "secret\n");
    }
    void TearDown() override
    {
        if (m_simulator.state() != QProcess::NotRunning) {
            m_simulator.terminate();
            if (!m_simulator.waitForFinished(5000))
                m_simulator.kill();
            m_simulator.waitForFinished();
        }
    }

    QString Write(const QString& name, const QByteArray& contents)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }

    void StartSimulator(const QByteArray& deviceLines = kDevices)
    {
        const QString devices = Write(QStringLiteral("devices.txt"), deviceLines);
        m_simulator.start(BuildPath("vantor-devsim"),
                          {QStringLiteral("--devices"), devices, QStringLiteral("--log"), m_log,
                           QStringLiteral("--reboot-seconds"), QStringLiteral("0.3")});
        ASSERT_TRUE(m_simulator.waitForStarted());
        for (int i = 0; i < 200; ++i) {
            QFile log(m_log);
            if (log.open(QIODevice::ReadOnly) && log.readAll().contains("listening"))
                return;
            QThread::msleep(25);
        }
        FAIL() << "the simulator did not start";
    }

    QTemporaryDir m_dir;
    QString m_log;
    QString m_passwordFile;
    QProcess m_simulator;
};

TEST_F(CliEndToEnd, DiscoveryListsEveryDeviceInEachFormWithTheConflictMarked)
{
    StartSimulator();
    CliRun run = RunCli({QStringLiteral("discover"), QStringLiteral("--json"), kWindow});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonArray devices = JsonDevices(run);
    ASSERT_EQ(devices.size(), 3);
    const QStringList keys = {
        QStringLiteral("device_name"), QStringLiteral("ip_address"), QStringLiteral("subnet_mask"),
        QStringLiteral("gateway_ip"),  QStringLiteral("mac"),        QStringLiteral("version"),
        QStringLiteral("model_code"),  QStringLiteral("interface"),  QStringLiteral("address_conflict")};
    for (const auto& device : devices) {
        QStringList sortedKeys = keys;
        sortedKeys.sort();
        EXPECT_EQ(device.toObject().keys(), sortedKeys);
        EXPECT_TRUE(device.toObject().value(QStringLiteral("model_code")).isDouble());
        EXPECT_TRUE(device.toObject().value(QStringLiteral("address_conflict")).isBool());
    }
    EXPECT_EQ(Values(devices, "device_name"),
              (QStringList{QStringLiteral("Lab1"), QStringLiteral("Lab2"), QStringLiteral("Unknown")}));
    EXPECT_EQ(Values(devices, "interface"),
              (QStringList{QStringLiteral("va"), QStringLiteral("va"), QStringLiteral("va")}));
    EXPECT_EQ(Values(devices, "version"),
              (QStringList{QStringLiteral("1.30"), QStringLiteral("2.05"), QStringLiteral("0.00")}));
    const std::vector<bool> conflicts = {true, true, false};
    for (int i = 0; i < devices.size(); ++i)
        EXPECT_EQ(devices[i].toObject().value(QStringLiteral("address_conflict")).toBool(),
                  conflicts[static_cast<std::size_t>(i)]);

    run = RunCli({QStringLiteral("discover"), QStringLiteral("--csv"), QStringLiteral("--all-interfaces"), kWindow});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("device_name,ip_address,subnet_mask,gateway_ip,mac,version,model_code,interface,"
                                   "address_conflict\r\n"));
    EXPECT_TRUE(run.out.contains("Unknown,10.0.0.9,255.255.255.0,0.0.0.0,00-FF-2B-3C-4D-03,0.00,7,va,false\r\n"));

    run = RunCli({QStringLiteral("discover"), kWindow});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.startsWith("Device Name  IP Address"));
    EXPECT_EQ(run.out.count("CONFLICT"), 2);
}

TEST_F(CliEndToEnd, ExitCodesSayWhatWentWrong)
{
    // Nobody answers.
    CliRun run = RunCli({QStringLiteral("discover"), QStringLiteral("--json"), kWindow});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(JsonDevices(run).size(), 0);
    // Usage errors, before anything is sent.
    EXPECT_EQ(RunCli({QStringLiteral("discover"), QStringLiteral("--bogus")}).exitCode, 2);
    EXPECT_EQ(RunCli({QStringLiteral("reset"), QStringLiteral("nomac")}).exitCode, 2);
    EXPECT_EQ(RunCli({QStringLiteral("discover"), QStringLiteral("--interface"), QStringLiteral("nothere")}).exitCode,
              2);
    // An interface without an IPv4 address cannot carry the request.
    EXPECT_EQ(RunCli({QStringLiteral("discover"), QStringLiteral("--interface"), QStringLiteral("vb")}).exitCode, 4);
    // Port 4000 held by another program: the window's own message.
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress(QHostAddress::AnyIPv4), 4000, QUdpSocket::DontShareAddress));
    run = RunCli({QStringLiteral("discover"), kWindow});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains("Socket port '4000' Open fail \xEF\xBC\x81")) << run.err.toStdString();
    run = RunCli({QStringLiteral("reset"), kLab1, QStringLiteral("--password-file"), m_passwordFile, kWindow});
    EXPECT_EQ(run.exitCode, 3);
    run = RunCli({QStringLiteral("commission"),
                  Write(QStringLiteral("plan.csv"), "mac,ip\n" + kLab1.toUtf8() + ",10.77.0.5\n"),
                  QStringLiteral("--dry-run"), kWindow});
    EXPECT_EQ(run.exitCode, 3);
}

TEST_F(CliEndToEnd, SetIpSendsEachChangedValueAndWaitConfirmsIt)
{
    StartSimulator();
    const CliRun run =
        RunCli({QStringLiteral("set-ip"), kLab1, QStringLiteral("--ip"), QStringLiteral("192.168.1.77"),
                QStringLiteral("--mask"), QStringLiteral("255.255.0.0"), QStringLiteral("--password-file"),
                m_passwordFile, QStringLiteral("--wait"), QStringLiteral("--wait-delay=0.2"), kWindow});
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const QStringList received = CommandLines(m_log);
    ASSERT_EQ(received.size(), 2) << received.join(QLatin1Char('\n')).toStdString();
    // The gateway is unchanged, so only the address and the mask go, in that order, each with
    // all three values and the password.
    const QString values =
        QStringLiteral("mac=00-1A-2B-3C-4D-01 ip=192.168.1.77 mask=255.255.0.0 gw=192.168.1.1 pw=secret");
    EXPECT_TRUE(received[0].contains(QStringLiteral("op=3A set-ip ") + values)) << received[0].toStdString();
    EXPECT_TRUE(received[1].contains(QStringLiteral("op=3B set-mask ") + values)) << received[1].toStdString();
    EXPECT_TRUE(run.out.contains("confirmed"));
}

TEST_F(CliEndToEnd, AWrongPasswordIsNotConfirmedAndThePasswordIsNeverInTheProcessList)
{
    StartSimulator();
    QProcess cli;
    StartCli(cli,
             {QStringLiteral("set-mac"), kLab1, QStringLiteral("--wait"), QStringLiteral("--wait-delay=0.2"),
              QStringLiteral("--window=0.5")},
             {QStringLiteral("VANTOR_PASSWORD=wrongpw")});
    ASSERT_TRUE(cli.waitForStarted());
    QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(cli.processId()));
    ASSERT_TRUE(commandLine.open(QIODevice::ReadOnly));
    const QByteArray arguments = commandLine.readAll();
    EXPECT_TRUE(arguments.contains("set-mac"));
    EXPECT_FALSE(arguments.contains("wrongpw"));
    const CliRun run = FinishCli(cli);
    EXPECT_EQ(run.exitCode, 1) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("not confirmed"));
    const QStringList received = CommandLines(m_log);
    ASSERT_EQ(received.size(), 1);
    EXPECT_TRUE(received[0].contains(QStringLiteral("pw=wrongpw "))) << received[0].toStdString();
    EXPECT_TRUE(received[0].endsWith(QStringLiteral("result=wrong-password"))) << received[0].toStdString();
}

TEST_F(CliEndToEnd, DeviceCommandsReachTheirDeviceAndWaitSeesItBack)
{
    StartSimulator();
    const QString lab2 = QStringLiteral("00-1A-2B-3C-4D-02");
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{QStringLiteral("reset"), lab2}, QStringLiteral("op=3D soft-reset mac=00-1A-2B-3C-4D-02 pw=admin applied=2")},
        {{QStringLiteral("update-firmware"), lab2},
         QStringLiteral("op=3F firmware-update mac=00-1A-2B-3C-4D-02 pw=admin applied=2")},
        {{QStringLiteral("set-mac"), lab2},
         QStringLiteral("op=3C set-mac ip=192.168.1.20 new-mac=00-1B-2B-3C-4D-02 pw=admin")},
    };
    for (const auto& [args, logged] : cases) {
        const int before = static_cast<int>(CommandLines(m_log).size());
        const CliRun run =
            RunCli(args + QStringList{QStringLiteral("--wait"), QStringLiteral("--wait-delay=0.6"), kWindow},
                   {QStringLiteral("VANTOR_PASSWORD=admin")});
        EXPECT_EQ(run.exitCode, 0) << args[0].toStdString() << run.out.toStdString() << run.err.toStdString();
        const QStringList received = CommandLines(m_log);
        ASSERT_EQ(received.size(), before + 1) << args[0].toStdString();
        EXPECT_TRUE(received.last().contains(logged)) << received.last().toStdString();
    }
    // The device has a new MAC now: the old one answers no more.
    const CliRun run = RunCli({QStringLiteral("reset"), lab2, kWindow}, {QStringLiteral("VANTOR_PASSWORD=admin")});
    EXPECT_EQ(run.exitCode, 1);
}

TEST_F(CliEndToEnd, ThePromptReadsThePasswordWithoutEchoingIt)
{
    StartSimulator();
    // script(1) gives the program a terminal of its own and passes our input to it.
    QProcess cli;
    StartCli(cli,
             {QStringLiteral("-qec"),
              BuildPath("vantor-cli") + QStringLiteral(" reset ") + kLab1 + QLatin1Char(' ') + kWindow,
              QStringLiteral("/dev/null")},
             {}, QStringLiteral("script"));
    QByteArray shown;
    while (!shown.contains("Device password: ") && cli.waitForReadyRead(10000))
        shown += cli.readAllStandardOutput();
    ASSERT_TRUE(shown.contains("Device password: ")) << shown.toStdString();
    cli.write("secret\n");
    const CliRun run = FinishCli(cli);
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_FALSE((shown + run.out).contains("secret")) << "the typed password is not echoed";
    const QStringList received = AwaitCommandLines(m_log, 1);
    ASSERT_EQ(received.size(), 1);
    EXPECT_TRUE(received[0].contains(QStringLiteral("soft-reset mac=00-1A-2B-3C-4D-01 pw=secret applied=1")));
}

TEST_F(CliEndToEnd, WithoutATerminalOrAPasswordSourceNothingIsSent)
{
    StartSimulator();
    // setsid: a session without a controlling terminal, so there is nobody to ask.
    QProcess cli;
    StartCli(cli, {BuildPath("vantor-cli"), QStringLiteral("reset"), kLab1, kWindow}, {}, QStringLiteral("setsid"));
    const CliRun run = FinishCli(cli);
    EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("VANTOR_PASSWORD"));
    EXPECT_TRUE(CommandLines(m_log).isEmpty());
}

// Eight devices fresh from the factory at one address, and one more at 10.77.0.30 that no plan
// names.
QByteArray FactoryBatch()
{
    QByteArray lines;
    for (int i = 1; i <= 8; ++i)
        lines +=
            "name=New model=31 ip=192.168.1.254 mac=00-1A-2B-3C-4E-0" + QByteArray::number(i) + " password=secret\n";
    return lines + "name=Old model=31 ip=10.77.0.30 mac=00-1A-2B-3C-4E-99 password=secret\n";
}

QByteArray BatchPlan(int firstHost)
{
    QByteArray plan = "# bench 3\nmac,ip,mask,gateway\n";
    for (int i = 1; i <= 8; ++i)
        plan += "00-1A-2B-3C-4E-0" + QByteArray::number(i) + ",10.77.0." + QByteArray::number(firstHost + i) +
                ",,10.77.0.1\n";
    return plan;
}

TEST_F(CliEndToEnd, CommissionGivesEachDeviceOfTheBatchItsPlannedAddress)
{
    StartSimulator(FactoryBatch());
    const QString record = Write(QStringLiteral("record.csv"), "");
    const CliRun run = RunCli({QStringLiteral("commission"), Write(QStringLiteral("plan.csv"), BatchPlan(20)),
                               QStringLiteral("--password-file"), m_passwordFile, QStringLiteral("--record"), record,
                               QStringLiteral("--wait-delay=0.2"), QStringLiteral("--json"), kWindow});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("3/8 00-1A-2B-3C-4E-03 ")) << run.err.toStdString();
    EXPECT_EQ(Values(JsonDevices(run), "outcome"), QStringList(8, QStringLiteral("done")));

    // Two datagrams a device, the address first, each through the adapter it answered on.
    const QStringList received = CommandLines(m_log);
    ASSERT_EQ(received.size(), 16) << received.join(QLatin1Char('\n')).toStdString();
    for (int i = 0; i < 8; ++i) {
        const QString values =
            QStringLiteral("mac=00-1A-2B-3C-4E-0%1 ip=10.77.0.%2 mask=255.255.255.0 gw=10.77.0.1 pw=secret")
                .arg(i + 1)
                .arg(21 + i);
        EXPECT_TRUE(received[2 * i].contains(QStringLiteral("op=3A set-ip ") + values))
            << received[2 * i].toStdString();
        EXPECT_TRUE(received[2 * i + 1].contains(QStringLiteral("op=3E set-gateway ") + values))
            << received[2 * i + 1].toStdString();
        EXPECT_TRUE(received[2 * i].contains(QStringLiteral("from=10.77.0.1:4000")));
    }
    const CliRun again = RunCli({QStringLiteral("discover"), QStringLiteral("--json"), kWindow});
    QStringList addresses = Values(JsonDevices(again), "ip_address");
    addresses.sort();
    EXPECT_EQ(addresses,
              (QStringList{QStringLiteral("10.77.0.21"), QStringLiteral("10.77.0.22"), QStringLiteral("10.77.0.23"),
                           QStringLiteral("10.77.0.24"), QStringLiteral("10.77.0.25"), QStringLiteral("10.77.0.26"),
                           QStringLiteral("10.77.0.27"), QStringLiteral("10.77.0.28"), QStringLiteral("10.77.0.30")}));

    // The record: a header (the file was empty) and one line per device.
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 10);
    EXPECT_TRUE(lines[0].startsWith("time,mac,old_ip_address,"));
    EXPECT_TRUE(lines[1].contains(",00-1A-2B-3C-4E-01,192.168.1.254,255.255.255.0,0.0.0.0,10.77.0.21,255.255.255.0,"
                                  "10.77.0.1,va,done\r"))
        << lines[1].toStdString();
    EXPECT_TRUE(QDateTime::fromString(QString::fromLatin1(lines[1].left(25)), Qt::ISODate).isValid());

    // A second run that changes nothing appends to the record and writes no second header.
    const CliRun unchanged = RunCli({QStringLiteral("commission"), Write(QStringLiteral("plan.csv"), BatchPlan(20)),
                                     QStringLiteral("--record"), record, kWindow});
    EXPECT_EQ(unchanged.exitCode, 0) << unchanged.err.toStdString();
    EXPECT_EQ(unchanged.out.count("unchanged"), 8);
    file.seek(0);
    const QByteArray all = file.readAll();
    EXPECT_EQ(all.count("time,mac,"), 1);
    EXPECT_EQ(all.count(",unchanged\r\n"), 8);
    EXPECT_EQ(CommandLines(m_log).size(), 16);
}

TEST_F(CliEndToEnd, FirstIpNumbersTheDevicesSkippingAnAddressInUse)
{
    StartSimulator(FactoryBatch());
    const CliRun run = RunCli({QStringLiteral("commission"), QStringLiteral("--first-ip"), QStringLiteral("10.77.0.29"),
                               QStringLiteral("--count"), QStringLiteral("3"), QStringLiteral("--password-file"),
                               m_passwordFile, QStringLiteral("--wait-delay=0.2"), QStringLiteral("--csv"), kWindow});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("00-1A-2B-3C-4E-01,va,192.168.1.254,255.255.255.0,0.0.0.0,10.77.0.29,"));
    EXPECT_TRUE(run.out.contains("00-1A-2B-3C-4E-02,va,192.168.1.254,255.255.255.0,0.0.0.0,10.77.0.31,"));
    EXPECT_TRUE(run.out.contains("00-1A-2B-3C-4E-03,va,192.168.1.254,255.255.255.0,0.0.0.0,10.77.0.32,"));
    EXPECT_EQ(CommandLines(m_log).size(), 3);
}

TEST_F(CliEndToEnd, ARefusedPlanOrADryRunSendsNothingAndLeavesTheRecord)
{
    StartSimulator(FactoryBatch());
    const QByteArray before = "time,mac\r\nearlier,line\r\n";
    const QString record = Write(QStringLiteral("record.csv"), before);
    const QString clash = Write(QStringLiteral("clash.csv"), "mac,ip\n00-1A-2B-3C-4E-01,10.77.0.30\n"
                                                             "00-1A-2B-3C-4E-02,10.77.0.40\n"
                                                             "00-1A-2B-3C-4E-03,10.77.0.40\n"
                                                             "00-1A-2B-3C-4E-04,10.77.0.1\n");
    CliRun run = RunCli({QStringLiteral("commission"), clash, QStringLiteral("--password-file"), m_passwordFile,
                         QStringLiteral("--record"), record, kWindow});
    EXPECT_EQ(run.exitCode, 2);
    for (const char* problem :
         {"line 2: 10.77.0.30 is in use by 00-1A-2B-3C-4E-99", "line 4: the IP address 10.77.0.40",
          "line 5: 10.77.0.1 is this PC's own address", "nothing was sent"})
        EXPECT_TRUE(run.err.contains(problem)) << problem << "\n" << run.err.toStdString();

    // A warning refuses the plan only under --strict.
    const QString outside = Write(QStringLiteral("outside.csv"), "mac,ip\n00-1A-2B-3C-4E-01,192.168.9.5\n");
    run = RunCli({QStringLiteral("commission"), outside, QStringLiteral("--strict"), QStringLiteral("--password-file"),
                  m_passwordFile, kWindow});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("add an address of 192.168.9.0/24 to va")) << run.err.toStdString();

    run = RunCli({QStringLiteral("commission"), Write(QStringLiteral("plan.csv"), BatchPlan(20)),
                  QStringLiteral("--dry-run"), QStringLiteral("--record"), record, kWindow});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count("would change"), 8);
    EXPECT_TRUE(run.out.contains("192.168.1.254  255.255.255.0  0.0.0.0      10.77.0.21")) << run.out.toStdString();
    EXPECT_TRUE(CommandLines(m_log).isEmpty());

    // A run stopped after sending and before its checking search writes nothing to the record.
    QProcess cli;
    cli.setReadChannel(QProcess::StandardError);
    StartCli(cli, {QStringLiteral("commission"), Write(QStringLiteral("plan.csv"), BatchPlan(40)),
                   QStringLiteral("--password-file"), m_passwordFile, QStringLiteral("--record"), record,
                   QStringLiteral("--wait-delay=60"), kWindow});
    QByteArray progress;
    while (progress.count("sent through va\n") < 8 && cli.waitForReadyRead(20000))
        progress += cli.readAllStandardError();
    ASSERT_EQ(progress.count("sent through va\n"), 8) << progress.toStdString();
    cli.terminate();
    cli.waitForFinished();
    EXPECT_EQ(AwaitCommandLines(m_log, 16).size(), 16);
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

TEST_F(CliEndToEnd, DiagnoseNamesTheProgramHoldingThePort)
{
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress(QHostAddress::AnyIPv4), 4000, QUdpSocket::DontShareAddress));
    const CliRun run = RunCli({QStringLiteral("diagnose"), kWindow});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    const QString out = QString::fromUtf8(run.out);
    const QString held =
        QStringLiteral("\nproblem port 4000: held by process %1 (cli_e2e_test), so no search can listen")
            .arg(QCoreApplication::applicationPid());
    EXPECT_TRUE(out.contains(held)) << run.out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\nok      adapter va: up, 10.77.0.1/24, can broadcast; searched\n")));
    EXPECT_TRUE(out.contains(QStringLiteral("\nproblem search va: failed: Socket port '4000' Open fail")));
    EXPECT_TRUE(
        out.endsWith(QStringLiteral("\nverdict: no device answered; start with the problem of port 4000 above\n")));
}

TEST_F(CliEndToEnd, DiagnoseWithoutAnyUsableAdapterSaysSoFirst)
{
    // A namespace of its own inside this one: loopback only, and down.
    QProcess cli;
    StartCli(cli, {QStringLiteral("-n"), BuildPath("vantor-cli"), QStringLiteral("diagnose"), kWindow}, {},
             QStringLiteral("unshare"));
    const CliRun run = FinishCli(cli);
    if (run.err.contains("unshare:"))
        GTEST_SKIP() << "no nested namespace here: " << run.err.toStdString();
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("problem adapters: none can carry the search")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("\nnote    adapter lo: loopback; not searched"));
    EXPECT_FALSE(run.out.contains("search lo"));
    EXPECT_TRUE(run.out.endsWith("\nverdict: no device answered; start with the problem of adapters above\n"));
}

}  // namespace
}  // namespace vantor::test

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
