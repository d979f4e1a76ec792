#include "tools/devsim/SimulatorCommandLine.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantor::devsim {
namespace {

QStringList Args(std::initializer_list<const char*> list)
{
    QStringList args{QStringLiteral("vantor-devsim")};
    for (const char* arg : list)
        args << QString::fromUtf8(arg);
    return args;
}

TEST(SimulatorCommandLine, DefaultsAreThoseOfRealDevices)
{
    SimulatorCommandLine commandLine;
    ASSERT_EQ(commandLine.Parse(Args({})), SimulatorCommandLine::Result::Run) << commandLine.ErrorText().toStdString();
    const SimulatorSetup& setup = commandLine.Setup();
    EXPECT_EQ(setup.options.port, 36);
    EXPECT_EQ(setup.options.bindAddress, QHostAddress(QStringLiteral("0.0.0.0")));
    EXPECT_EQ(setup.options.replyAddress, QHostAddress(QStringLiteral("255.255.255.255")));
    EXPECT_EQ(setup.options.replyPort, 4000);
    EXPECT_EQ(setup.options.replySize, 52);
    EXPECT_EQ(setup.options.rebootMs, 3000);
    EXPECT_EQ(setup.options.firmwareMs, 3000);
    EXPECT_EQ(setup.options.lateMs, 0);
    EXPECT_FALSE(setup.options.answerTwice);
    EXPECT_FALSE(setup.options.repeat);
    EXPECT_EQ(setup.devices.size(), 8u);
    EXPECT_TRUE(setup.logPath.isEmpty());
}

TEST(SimulatorCommandLine, ReadsEveryOption)
{
    QTemporaryDir dir;
    const QString devices = dir.filePath(QStringLiteral("d.txt"));
    QFile file(devices);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("name=X ip=1.2.3.4 mac=00-00-00-00-00-01\n");
    file.close();

    SimulatorCommandLine commandLine;
    const QStringList args = Args({"--bind",
                                   "127.0.0.1",
                                   "--port",
                                   "0",
                                   "--reply-address",
                                   "127.0.0.1",
                                   "--reply-port",
                                   "40123",
                                   "--reboot-seconds",
                                   "1.5",
                                   "--firmware-seconds",
                                   "7",
                                   "--answer-twice",
                                   "--reply-size",
                                   "53",
                                   "--late",
                                   "6",
                                   "--repeat",
                                   "--log",
                                   "/tmp/x.log"})
                             << QStringLiteral("--devices") << devices;
    ASSERT_EQ(commandLine.Parse(args), SimulatorCommandLine::Result::Run) << commandLine.ErrorText().toStdString();
    const SimulatorSetup& setup = commandLine.Setup();
    EXPECT_EQ(setup.options.bindAddress, QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(setup.options.port, 0);
    EXPECT_EQ(setup.options.replyAddress, QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(setup.options.replyPort, 40123);
    EXPECT_EQ(setup.options.rebootMs, 1500);
    EXPECT_EQ(setup.options.firmwareMs, 7000);
    EXPECT_TRUE(setup.options.answerTwice);
    EXPECT_EQ(setup.options.replySize, 53);
    EXPECT_EQ(setup.options.lateMs, 6000);
    EXPECT_TRUE(setup.options.repeat);
    EXPECT_EQ(setup.logPath, QStringLiteral("/tmp/x.log"));
    ASSERT_EQ(setup.devices.size(), 1u);
    EXPECT_EQ(setup.devices[0].name, QByteArray("X"));
}

TEST(SimulatorCommandLine, FirmwareTimeFollowsRebootTimeUnlessGiven)
{
    SimulatorCommandLine commandLine;
    ASSERT_EQ(commandLine.Parse(Args({"--reboot-seconds", "10"})), SimulatorCommandLine::Result::Run);
    EXPECT_EQ(commandLine.Setup().options.firmwareMs, 10000);
}

TEST(SimulatorCommandLine, HelpNamesEveryOption)
{
    SimulatorCommandLine commandLine;
    EXPECT_EQ(commandLine.Parse(Args({"--help"})), SimulatorCommandLine::Result::Help);
    const QString help = commandLine.HelpText();
    for (const char* option :
         {"--devices", "--bind", "--port", "--reply-address", "--reply-port", "--reboot-seconds", "--firmware-seconds",
          "--answer-twice", "--reply-size", "--late", "--repeat", "--log", "--list", "name=Lab1", "JSON"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}

class SimulatorCommandLineErrors : public ::testing::TestWithParam<std::vector<const char*>> { };

TEST_P(SimulatorCommandLineErrors, AreReportedNotRun)
{
    QStringList args{QStringLiteral("vantor-devsim")};
    for (const char* arg : GetParam())
        args << QString::fromUtf8(arg);
    SimulatorCommandLine commandLine;
    EXPECT_EQ(commandLine.Parse(args), SimulatorCommandLine::Result::Error);
    EXPECT_FALSE(commandLine.ErrorText().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimulatorCommandLineErrors,
    ::testing::Values(std::vector<const char*>{"--no-such-option"}, std::vector<const char*>{"stray"},
                      std::vector<const char*>{"--port", "65536"}, std::vector<const char*>{"--port", "-1"},
                      std::vector<const char*>{"--port", "x"}, std::vector<const char*>{"--reply-port", "0"},
                      std::vector<const char*>{"--bind", "localhost"}, std::vector<const char*>{"--bind", "::1"},
                      std::vector<const char*>{"--reply-address", "1.2.3"},
                      std::vector<const char*>{"--reply-size", "2000"}, std::vector<const char*>{"--reply-size", "-1"},
                      std::vector<const char*>{"--late", "-1"}, std::vector<const char*>{"--late", "nan"},
                      std::vector<const char*>{"--late", "inf"}, std::vector<const char*>{"--reboot-seconds", "1e9"},
                      std::vector<const char*>{"--firmware-seconds", "soon"}, std::vector<const char*>{"--port"},
                      std::vector<const char*>{"--log", ""},
                      std::vector<const char*>{"--devices", "/nonexistent/devices.txt"}));

}  // namespace
}  // namespace vantor::devsim
