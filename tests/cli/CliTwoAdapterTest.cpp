// vantor-cli on a machine with two adapters (tests/cli/two-adapter-lab): the request goes
// through both unless one is named, and a command goes out through the device's own adapter.
#include "tests/cli/CliProcess.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantor::test {
namespace {

const QString kWindow = QStringLiteral("--window=0.3");

class CliTwoAdapters : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!InsidePrivateNamespace() || qEnvironmentVariableIsEmpty("VANTOR_LAB_LOG_B") ||
            !qEnvironmentVariableIsEmpty("VANTOR_LAB_SAME_LAN"))
            GTEST_SKIP() << "runs only inside tests/cli/two-adapter-lab with different devices behind each adapter";
    }

    // A file of the test's own scratch folder; its path.
    QString Write(const QString& name, const QByteArray& contents)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }

    QTemporaryDir m_dir;
};

// The same devices behind both adapters: one network reached twice.
class CliSameLanTwice : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!InsidePrivateNamespace() || qEnvironmentVariableIsEmpty("VANTOR_LAB_SAME_LAN"))
            GTEST_SKIP() << "runs only inside tests/cli/two-adapter-lab with VANTOR_LAB_SAME_LAN set";
    }
};

TEST_F(CliSameLanTwice, DiagnoseSeesEachDeviceOnBothAdapters)
{
    const CliRun run = RunCli({QStringLiteral("diagnose"), kWindow});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    for (const char* line : {"\nok      search ea: 2 devices answered\n", "\nok      search eb: 2 devices answered\n",
                             "\nwarning device 00-1A-2B-3C-4A-01 (Front-1, 192.168.1.20): answered on ea and eb: ",
                             "\nwarning device 00-1A-2B-3C-4A-02 (Front-2, 192.168.1.30): answered on ea and eb: ",
                             "\nverdict: 2 devices answered (ea 2, eb 2); see the warnings above\n"})
        EXPECT_TRUE(run.out.contains(line)) << line << " not in\n" << run.out.toStdString();
}

// The default route leads out of the first adapter only; the search must not depend on it.
TEST_F(CliTwoAdapters, EveryAdapterIsSearchedAndTheConflictAcrossAdaptersFound)
{
    for (const QString& option : {QString(), QStringLiteral("--all-interfaces")}) {
        SCOPED_TRACE(option.toStdString());
        QStringList arguments{QStringLiteral("discover"), QStringLiteral("--json"), kWindow};
        if (!option.isEmpty())
            arguments.append(option);
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QMap<QString, QJsonObject> byName;
        for (const auto& device : JsonDevices(run))
            byName.insert(device.toObject().value(QStringLiteral("device_name")).toString(), device.toObject());
        ASSERT_EQ(byName.keys(), (QStringList{QStringLiteral("Back-1"), QStringLiteral("Back-2"),
                                              QStringLiteral("Front-1"), QStringLiteral("Front-2")}));
        const std::vector<std::tuple<const char*, const char*, bool>> expected = {
            {"Front-1", "ea", true}, {"Front-2", "ea", false}, {"Back-1", "eb", false}, {"Back-2", "eb", true}};
        for (const auto& [name, interface, conflict] : expected) {
            const QJsonObject device = byName.value(QLatin1String(name));
            EXPECT_EQ(device.value(QStringLiteral("interface")).toString(), QLatin1String(interface)) << name;
            EXPECT_EQ(device.value(QStringLiteral("address_conflict")).toBool(), conflict) << name;
        }
        EXPECT_EQ(byName.value(QStringLiteral("Back-2")).value(QStringLiteral("model_code")).toInt(), 32);
        EXPECT_EQ(byName.value(QStringLiteral("Back-1")).value(QStringLiteral("gateway_ip")).toString(),
                  QStringLiteral("10.0.0.1"));
    }
}

TEST_F(CliTwoAdapters, OneNamedInterfaceFindsOnlyWhatIsBehindIt)
{
    const std::vector<std::pair<QString, QStringList>> cases = {
        {QStringLiteral("eb"), {QStringLiteral("Back-1"), QStringLiteral("Back-2")}},
        {QStringLiteral("ea"), {QStringLiteral("Front-1"), QStringLiteral("Front-2")}},
    };
    for (const auto& [interface, names] : cases) {
        const CliRun run = RunCli(
            {QStringLiteral("discover"), QStringLiteral("--csv"), QStringLiteral("--interface"), interface, kWindow});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QList<QByteArray> lines = run.out.trimmed().split('\n');
        ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
        for (int i = 0; i < names.size(); ++i)
            EXPECT_TRUE(lines[i + 1].startsWith(names[i].toUtf8() + ',')) << lines[i + 1].toStdString();
    }
}

TEST_F(CliTwoAdapters, ACommandGoesOutThroughTheAdapterTheDeviceAnsweredOn)
{
    const QString passwordFile = Write(QStringLiteral("pw"), "admin\n");
    const QStringList setIp = {QStringLiteral("set-ip"),
                               QStringLiteral("00-1A-2B-3C-4B-01"),
                               QStringLiteral("--ip"),
                               QStringLiteral("10.0.0.50"),
                               QStringLiteral("--password-file"),
                               passwordFile,
                               kWindow};

    // Searched through the first adapter only, the device is not found, and nothing is sent.
    CliRun run = RunCli(setIp + QStringList{QStringLiteral("--interface"), QStringLiteral("ea")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("no device with MAC 00-1A-2B-3C-4B-01")) << run.err.toStdString();
    EXPECT_TRUE(CommandLines(qEnvironmentVariable("VANTOR_LAB_LOG_B")).isEmpty());

    run = RunCli(setIp + QStringList{QStringLiteral("--wait"), QStringLiteral("--wait-delay=0.2")});
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("through eb")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("confirmed")) << run.out.toStdString();
    const QStringList received = CommandLines(qEnvironmentVariable("VANTOR_LAB_LOG_B"));
    ASSERT_EQ(received.size(), 1) << received.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(received[0].contains(QStringLiteral("set-ip mac=00-1A-2B-3C-4B-01 ip=10.0.0.50")));
    EXPECT_TRUE(received[0].contains(QStringLiteral("result=applied")));
    EXPECT_TRUE(CommandLines(qEnvironmentVariable("VANTOR_LAB_LOG_A")).isEmpty());
}

TEST_F(CliTwoAdapters, CommissionSendsEachDeviceItsPlanThroughItsOwnAdapter)
{
    const QString plan =
        Write(QStringLiteral("plan.csv"), "mac,ip\n00-1A-2B-3C-4B-02,10.62.0.30\n00-1A-2B-3C-4A-02,10.61.0.30\n");
    const QString logA = qEnvironmentVariable("VANTOR_LAB_LOG_A");
    const QString logB = qEnvironmentVariable("VANTOR_LAB_LOG_B");
    const qsizetype beforeA = CommandLines(logA).size();
    const qsizetype beforeB = CommandLines(logB).size();

    // Both devices have no password: the empty one serves the run.
    const CliRun run = RunCli({QStringLiteral("commission"), plan, QStringLiteral("--all-interfaces"),
                               QStringLiteral("--wait-delay=0.2"), QStringLiteral("--csv"), kWindow},
                              {QStringLiteral("VANTOR_PASSWORD=")});
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("00-1A-2B-3C-4B-02,eb,192.168.1.20,255.255.255.0,0.0.0.0,10.62.0.30,"))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("00-1A-2B-3C-4A-02,ea,192.168.1.30,255.255.255.0,192.168.1.1,10.61.0.30,"));
    EXPECT_EQ(run.out.count(",done\r\n"), 2);
    const QStringList receivedA = CommandLines(logA).mid(beforeA);
    const QStringList receivedB = CommandLines(logB).mid(beforeB);
    ASSERT_EQ(receivedA.size(), 1) << receivedA.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(receivedB.size(), 1) << receivedB.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(receivedA[0].contains(QStringLiteral("set-ip mac=00-1A-2B-3C-4A-02 ip=10.61.0.30")));
    EXPECT_TRUE(receivedB[0].contains(QStringLiteral("set-ip mac=00-1A-2B-3C-4B-02 ip=10.62.0.30")));
}

TEST_F(CliTwoAdapters, DiagnoseCountsEachAdapterAndFlagsDevicesOutsideItsSubnet)
{
    CliRun run = RunCli({QStringLiteral("diagnose"), kWindow});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    for (const char* line :
         {"\nok      adapter ea: up, 10.61.0.1/24, can broadcast; searched\n",
          "\nok      search ea: 2 devices answered\n", "\nok      search eb: 2 devices answered\n",
          "\nwarning device 00-1A-2B-3C-4A-01 (Front-1, 192.168.1.20): outside the subnet of ea (10.61.0.1/24): its "
          "web page and commands by IP are not reachable until this PC has an address in 192.168.1.0/24 (sudo ip "
          "addr add ADDRESS/24 dev ea), or the device gets one in 10.61.0.0/24",
          // Back-1's address is whatever the tests before gave it; it stays outside eb's subnet.
          "\nwarning device 00-1A-2B-3C-4B-01 (Back-1, 10.0.0.", "outside the subnet of eb (10.62.0.1/24)",
          "\nverdict: 4 devices answered (ea 2, eb 2); see the warnings above\n"})
        EXPECT_TRUE(run.out.contains(line)) << line << " not in\n" << run.out.toStdString();
    // Devices that share an IP address across the adapters are still two devices.
    EXPECT_FALSE(run.out.contains("answered on ea and eb")) << run.out.toStdString();

    run = RunCli({QStringLiteral("diagnose"), QStringLiteral("--interface"), QStringLiteral("eb"), kWindow});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("\nnote    adapter ea: up, 10.61.0.1/24, can broadcast; not searched (--interface "
                                 "chose another)\n"))
        << run.out.toStdString();
    EXPECT_FALSE(run.out.contains("search ea:"));
    EXPECT_TRUE(run.out.contains("\nverdict: 2 devices answered (eb 2); see the warnings above\n"));
}

}  // namespace
}  // namespace vantor::test

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
