// The command line's logic without any network: arguments, values, output forms, command plans.
#include "tools/cli/BroadcastInterfaces.h"
#include "tools/cli/CliOptions.h"
#include "tools/cli/CliPassword.h"
#include "tools/cli/CommandPlan.h"
#include "tools/cli/DeviceListing.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace vantor::cli {
namespace {

using Args = std::vector<std::string>;

DEVICE_PACKET Reply(std::string_view name, Ipv4Bytes ip, MacBytes mac, std::uint8_t model = 31)
{
    DEVICE_PACKET reply;
    reply.SetNameField(name);
    reply.SetIpAddress(ip);
    reply.SetSubnetMask({255, 255, 255, 0});
    reply.SetGateway({192, 168, 1, 1});
    reply.SetMacAddress(mac);
    reply.SetVersion(1, 0x30);
    reply.SetModelCode(model);
    return reply;
}

std::string Hex(const DEVICE_PACKET& packet)
{
    return QByteArray(reinterpret_cast<const char*>(packet.bytes.data()), 52).toHex().toStdString();
}

TEST(CliOptionsTest, UsageErrorsAreRefusedWithAReason)
{
    struct Case {
        Args args;
        std::string errorPart;
    };
    const std::vector<Case> cases = {
        {{"discover", "--password", "x"}, "never taken on the command line"},
        {{"reset", "00-1A-2B-3C-4D-01", "--password=x"}, "never taken on the command line"},
        {{"set-ip", "00-1A-2B-3C-4D-01", "-p", "x", "--ip", "1.2.3.4"}, "never taken on the command line"},
        {{"frobnicate"}, "unknown command"},
        {{"discover", "--json", "--csv"}, "exclude each other"},
        {{"discover", "--interface", "eth0", "--all-interfaces"}, "exclude each other"},
        {{"discover", "--window", "0"}, "--window"},
        {{"discover", "--window", "-1"}, "--window"},
        {{"discover", "--window", "1e3"}, "--window"},
        {{"discover", "--window"}, "--window needs a number of seconds"},
        {{"discover", "--json=yes"}, "unknown option '--json=yes' for discover"},
        {{"discover", "--bogus=3"}, "unknown option '--bogus=3' for discover"},
        {{"discover", "--wait"}, "unknown option"},
        {{"discover", "extra"}, "takes no argument"},
        {{"reset"}, "exactly one MAC"},
        {{"reset", "00-1A-2B-3C-4D-01", "00-1A-2B-3C-4D-02"}, "exactly one MAC"},
        {{"reset", "00-1A-2B-3C-4D"}, "no MAC address"},
        {{"reset", "00-1A:2B-3C-4D-01"}, "no MAC address"},
        {{"reset", "00-1A-2B-3C-4D-0G"}, "no MAC address"},
        {{"set-ip", "00-1A-2B-3C-4D-01"}, "needs --ip"},
        {{"set-ip", "00-1A-2B-3C-4D-01", "--ip", "1.2.3.256"}, "--ip"},
        {{"set-ip", "00-1A-2B-3C-4D-01", "--ip", "1.2.3"}, "--ip"},
        {{"set-ip", "00-1A-2B-3C-4D-01", "--ip", "1.2.3.4", "--mask", "255.255.255.0.0"}, "--mask"},
        {{"set-mac", "00-1A-2B-3C-4D-01", "--ip", "1.2.3.4"}, "unknown option"},
        {{"reset", "00-1A-2B-3C-4D-01", "--json"}, "unknown option"},
        {{"reset", "00-1A-2B-3C-4D-01", "--password-file"}, "--password-file needs a file name"},
        {{"set-ip", "00-1A-2B-3C-4D-01", "--ip"}, "--ip needs an IPv4 address"},
        {{"help", "nothing"}, "unknown command"},
    };
    for (const Case& c : cases) {
        const ParseResult result = ParseCommandLine(c.args);
        EXPECT_FALSE(result.options.has_value()) << c.args[0] << " " << (c.args.size() > 1 ? c.args[1] : "");
        EXPECT_NE(result.error.find(c.errorPart), std::string::npos) << result.error;
    }
}

TEST(CliOptionsTest, ValidLinesGiveTheirOptions)
{
    ParseResult r = ParseCommandLine({"discover", "--all-interfaces", "--csv", "--window=0.25"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->command, Command::Discover);
    EXPECT_TRUE(r.options->allInterfaces);
    EXPECT_EQ(r.options->format, OutputFormat::Csv);
    EXPECT_EQ(r.options->windowMs, 250);

    r = ParseCommandLine({"set-ip", "00:1a:2b:3c:4d:ff", "--ip", "10.0.0.5", "--gateway=10.0.0.1", "--interface", "eb",
                          "--password-file", "pw", "--wait", "--wait-delay", "1.5"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->command, Command::SetIp);
    EXPECT_EQ(r.options->mac, (MacBytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0xFF}));
    EXPECT_EQ(r.options->ip, (Ipv4Bytes{10, 0, 0, 5}));
    EXPECT_FALSE(r.options->mask.has_value());
    EXPECT_EQ(r.options->gateway, (Ipv4Bytes{10, 0, 0, 1}));
    EXPECT_EQ(r.options->interfaceName, "eb");
    EXPECT_EQ(r.options->passwordFile, "pw");
    EXPECT_TRUE(r.options->wait);
    EXPECT_EQ(r.options->waitDelayMs, 1500);

    // Help wins over everything else on the line, including a missing MAC.
    r = ParseCommandLine({"update-firmware", "--help"});
    ASSERT_TRUE(r.options);
    EXPECT_EQ(r.options->command, Command::Help);
    EXPECT_EQ(r.options->helpFor, Command::UpdateFirmware);
    r = ParseCommandLine({"discover", "--window=2", "-h"});
    ASSERT_TRUE(r.options);
    EXPECT_EQ(r.options->helpFor, Command::Discover);
    // "--" ends the options; what follows is the MAC.
    r = ParseCommandLine({"reset", "--", "00-1A-2B-3C-4D-01"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->mac, (MacBytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01}));
    // A value that starts with a dash is still the option's value.
    r = ParseCommandLine({"discover", "--interface", "-eb"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->interfaceName, "-eb");
    r = ParseCommandLine({"help", "set-ip"});
    ASSERT_TRUE(r.options);
    EXPECT_EQ(r.options->helpFor, Command::SetIp);
    EXPECT_NE(HelpText(Command::SetIp).find("--password-file"), std::string::npos);
    EXPECT_EQ(ParseCommandLine({}).options->command, Command::Help);
}

TEST(CliOptionsTest, SecondsBecomeWholeMilliseconds)
{
    const std::vector<std::pair<std::string, std::optional<int>>> cases = {
        {"5", 5000},          {"0.3", 300},
        {".5", 500},          {"0.0001", 1},
        {"3600", 3600000},    {"3600.5", std::nullopt},
        {"0", std::nullopt},  {"1.2.3", std::nullopt},
        {"", std::nullopt},   {"nan", std::nullopt},
        {"+1", std::nullopt},
    };
    for (const auto& [text, ms] : cases)
        EXPECT_EQ(ParseSecondsToMs(text), ms) << text;
}

TEST(DeviceListingTest, JsonKeepsTheSchemaAndEscapesWhatTheDevicesSend)
{
    std::vector<FoundDevice> devices = {
        FoundDevice::FromReply(Reply("a\"b\\c\x01", {10, 0, 0, 1}, {0, 0x1A, 0, 0, 0, 1}), 3, "eb"),
        FoundDevice::FromReply(Reply("caf\xE9", {10, 0, 0, 1}, {0, 0x1A, 0, 0, 0, 2}, 7), 0, ""),
        FoundDevice::FromReply(Reply("x", {10, 0, 0, 2}, {0, 0x1A, 0, 0, 0, 3}, 32), 3, "eb"),
    };
    MarkAddressConflicts(devices);
    const std::string json = FormatJson(devices);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json;
    EXPECT_EQ(document.object().value(QStringLiteral("schema_version")).toInt(), 1);
    const QJsonArray list = document.object().value(QStringLiteral("devices")).toArray();
    ASSERT_EQ(list.size(), 3);
    const QJsonObject first = list[0].toObject();
    EXPECT_EQ(first.value(QStringLiteral("device_name")).toString(), QStringLiteral("a\"b\\c\x01"));
    EXPECT_EQ(first.value(QStringLiteral("ip_address")).toString(), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(first.value(QStringLiteral("mac")).toString(), QStringLiteral("00-1A-00-00-00-01"));
    EXPECT_EQ(first.value(QStringLiteral("model_code")).toInt(), 31);
    EXPECT_EQ(first.value(QStringLiteral("interface")).toString(), QStringLiteral("eb"));
    EXPECT_TRUE(first.value(QStringLiteral("address_conflict")).toBool());
    // A foreign model shows the stored name; an unknown interface is null.
    const QJsonObject second = list[1].toObject();
    EXPECT_EQ(second.value(QStringLiteral("device_name")).toString(), QStringLiteral("Unknown"));
    EXPECT_TRUE(second.value(QStringLiteral("interface")).isNull());
    EXPECT_TRUE(second.value(QStringLiteral("address_conflict")).toBool());
    EXPECT_FALSE(list[2].toObject().value(QStringLiteral("address_conflict")).toBool());
    // Every device has exactly the schema's fields, with their types.
    const QStringList schema = {"address_conflict", "device_name", "gateway_ip", "interface", "ip_address", "mac",
                                "model_code",       "subnet_mask", "version"};
    for (const auto& device : list) {
        EXPECT_EQ(device.toObject().keys(), schema);
        EXPECT_TRUE(device.toObject().value(QStringLiteral("version")).isString());
        EXPECT_TRUE(device.toObject().value(QStringLiteral("model_code")).isDouble());
    }
    const QJsonObject empty = QJsonDocument::fromJson(QByteArray::fromStdString(FormatJson({}))).object();
    EXPECT_EQ(empty.value(QStringLiteral("schema_version")).toInt(), 1);
    EXPECT_TRUE(empty.value(QStringLiteral("devices")).toArray().isEmpty());
    EXPECT_TRUE(empty.value(QStringLiteral("devices")).isArray());
}

TEST(DeviceListingTest, CsvQuotesAndTableShowsControlsAsEscapes)
{
    std::vector<FoundDevice> devices = {
        FoundDevice::FromReply(Reply("a,\"b\"", {10, 0, 0, 1}, {0, 0x1A, 0, 0, 0, 1}), 2, "va"),
        FoundDevice::FromReply(Reply("\x1b[2Jcaf\xC3\xA9", {10, 0, 0, 2}, {0, 0x1A, 0, 0, 0, 2}), 2, "va"),
    };
    const std::string csv = FormatCsv(devices);
    EXPECT_EQ(csv, "device_name,ip_address,subnet_mask,gateway_ip,mac,version,model_code,interface,address_conflict\r\n"
                   "\"a,\"\"b\"\"\",10.0.0.1,255.255.255.0,192.168.1.1,00-1A-00-00-00-01,1.30,31,va,false\r\n"
                   "\x1b[2Jcaf\xC3\xA9,10.0.0.2,255.255.255.0,192.168.1.1,00-1A-00-00-00-02,1.30,31,va,false\r\n");
    const std::string table = FormatTable(devices);
    EXPECT_EQ(table.find('\x1b'), std::string::npos);
    EXPECT_NE(table.find("\\x1B[2Jcaf\xC3\xA9"), std::string::npos) << table;
    // Every line starts its IP address column at the same character.
    const auto firstLineEnd = table.find('\n');
    EXPECT_EQ(QString::fromStdString(table.substr(0, firstLineEnd)).indexOf(QStringLiteral("IP Address")),
              QString::fromStdString(table.substr(firstLineEnd + 1)).indexOf(QStringLiteral("10.0.0.1")));
}

TEST(CommandPlanTest, SetIpSendsOneDatagramPerChangedValueInTheWindowsOrder)
{
    const FoundDevice row =
        FoundDevice::FromReply(Reply("Lab", {192, 168, 1, 20}, {0, 0x1A, 0x2B, 0x3C, 0x4D, 1}), 0, "");
    struct Case {
        std::optional<Ipv4Bytes> ip, mask, gateway;
        std::vector<std::uint8_t> opcodes;
    };
    const std::vector<Case> cases = {
        {Ipv4Bytes{192, 168, 1, 20}, std::nullopt, std::nullopt, {}},
        {Ipv4Bytes{192, 168, 1, 77}, std::nullopt, std::nullopt, {0x3A}},
        {Ipv4Bytes{192, 168, 1, 20}, Ipv4Bytes{255, 255, 0, 0}, Ipv4Bytes{192, 168, 1, 1}, {0x3B}},
        {Ipv4Bytes{10, 0, 0, 5}, Ipv4Bytes{255, 0, 0, 0}, Ipv4Bytes{10, 0, 0, 1}, {0x3A, 0x3B, 0x3E}},
        {Ipv4Bytes{192, 168, 1, 20}, std::nullopt, Ipv4Bytes{0, 0, 0, 0}, {0x3E}},
    };
    for (const Case& c : cases) {
        CliOptions options;
        options.command = Command::SetIp;
        options.ip = c.ip;
        options.mask = c.mask;
        options.gateway = c.gateway;
        std::vector<std::uint8_t> opcodes;
        for (const PlannedDatagram& planned : PlanCommand(options, row))
            opcodes.push_back(planned.packet.Opcode());
        EXPECT_EQ(opcodes, c.opcodes);
    }
    CliOptions all;
    all.command = Command::SetIp;
    all.ip = Ipv4Bytes{10, 0, 0, 5};
    all.gateway = Ipv4Bytes{10, 0, 0, 1};
    // Each carries all new values: IP 4-7, mask 8-11 (unchanged), MAC 12-17, gateway 35-38.
    const std::string expected = "4b575a3e"
                                 "0a000005"
                                 "ffffff00"
                                 "001a2b3c4d01" +
                                 std::string(34, '0') + "0a000001" + std::string(26, '0');
    EXPECT_EQ(Hex(PlanCommand(all, row).back().packet), expected);
}

TEST(CommandPlanTest, MacCommandsAndTheirConfirmation)
{
    const FoundDevice row =
        FoundDevice::FromReply(Reply("Lab", {192, 168, 1, 20}, {0, 0xFF, 0x2B, 0x3C, 0x4D, 1}), 0, "");
    CliOptions options;
    options.command = Command::SetMac;
    const auto plan = PlanCommand(options, row);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(Hex(plan[0].packet).substr(0, 36), "4b575a3cc0a80114000000000000"
                                                 "2b3c4d01");
    EXPECT_EQ(Hex(plan[0].packet).substr(24, 12), "00002b3c4d01") << "0xFF wraps to 0x00";

    const FoundDevice moved =
        FoundDevice::FromReply(Reply("Lab", {192, 168, 1, 20}, {0, 0x00, 0x2B, 0x3C, 0x4D, 1}), 0, "");
    EXPECT_TRUE(ShowsRequestedState(options, row, {moved}));
    EXPECT_FALSE(ShowsRequestedState(options, row, {row}));

    options.command = Command::Reset;
    EXPECT_EQ(Hex(PlanCommand(options, row)[0].packet).substr(0, 36), "4b575a3d0000000000000000"
                                                                      "00ff2b3c4d01");
    EXPECT_TRUE(ShowsRequestedState(options, row, {moved, row}));
    EXPECT_FALSE(ShowsRequestedState(options, row, {moved}));
    options.command = Command::UpdateFirmware;
    EXPECT_EQ(PlanCommand(options, row)[0].packet.Opcode(), 0x3F);

    options.command = Command::SetIp;
    options.ip = Ipv4Bytes{192, 168, 1, 21};
    const FoundDevice readdressed =
        FoundDevice::FromReply(Reply("Lab", {192, 168, 1, 21}, {0, 0xFF, 0x2B, 0x3C, 0x4D, 1}), 0, "");
    EXPECT_TRUE(ShowsRequestedState(options, row, {readdressed}));
    EXPECT_FALSE(ShowsRequestedState(options, row, {row}));
}

TEST(BroadcastInterfacesTest, EachChoiceTakesOnlyInterfacesThatCanCarryTheRequest)
{
    const std::vector<InterfaceInfo> interfaces = {
        {"lo", 1, true, false, true, true, {}},    {"ea", 2, true, true, false, true, {}},
        {"down", 3, false, true, false, true, {}}, {"noip", 4, true, true, false, false, {}},
        {"eb", 5, true, true, false, true, {}},    {"tun", 6, true, false, false, true, {}},
    };
    CliOptions options;
    PlanResult r;
    // Without --interface the request goes through every usable adapter, as the window sends
    // it; --all-interfaces says the same.
    for (const bool allInterfaces : {false, true}) {
        options.allInterfaces = allInterfaces;
        r = PlanDiscovery(options, interfaces);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.plan.interfaceIndexes, (std::vector<int>{2, 5}));
        EXPECT_EQ(r.plan.acceptOnly, 0);
        r = PlanDiscovery(options, {interfaces[0], interfaces[3]});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.exitCode, kExitNetwork);
    }

    options.allInterfaces = false;
    const std::vector<std::pair<std::string, int>> named = {
        {"eb", 0}, {"nothere", kExitUsage}, {"down", kExitNetwork}, {"noip", kExitNetwork}, {"lo", kExitNetwork}};
    for (const auto& [name, code] : named) {
        options.interfaceName = name;
        r = PlanDiscovery(options, interfaces);
        EXPECT_EQ(r.ok, code == 0) << name;
        EXPECT_EQ(r.exitCode, code) << name;
    }
    options.interfaceName = "eb";
    r = PlanDiscovery(options, interfaces);
    EXPECT_EQ(r.plan.interfaceIndexes, std::vector<int>{5});
    EXPECT_EQ(r.plan.acceptOnly, 5);
}

TEST(CliPasswordTest, PasswordTextFollowsTheWindowsRule)
{
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"secret\n", "secret"},
        {"secret\r\nsecond line", "secret"},
        {"", ""},
        {"\n", ""},
        {"12345678", "12345678"},
        {"123456789", std::nullopt},
        {"caf\xC3\xA9", "caf\xE9"},      // UTF-8 e-acute is the byte 0xE9
        {"caf\xE9", "caf\xE9"},          // Latin-1 stays as it is
        {"\xE2\x82\xAC", std::nullopt},  // the euro sign has no single-byte form
        {"a b", "a b"},
    };
    for (const auto& [text, bytes] : cases) {
        const PasswordResult result = PasswordFromText(text);
        EXPECT_EQ(result.bytes, bytes) << text;
        EXPECT_EQ(result.error.empty(), bytes.has_value());
    }
    EXPECT_FALSE(PasswordFromFile("/nonexistent/password").bytes.has_value());
}

TEST(CliPasswordTest, AFileOthersMayReadWorksWithAWarning)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("pw")).toStdString();
    std::ofstream(path) << "secret\n";
    const std::vector<std::pair<QFileDevice::Permissions, bool>> cases = {
        {QFileDevice::ReadOwner | QFileDevice::WriteOwner, false},
        {QFileDevice::ReadOwner | QFileDevice::ReadGroup, true},
        {QFileDevice::ReadOwner | QFileDevice::ReadOther, true},
        {QFileDevice::ReadOwner | QFileDevice::WriteGroup, false},
    };
    for (const auto& [permissions, warned] : cases) {
        ASSERT_TRUE(QFile::setPermissions(QString::fromStdString(path), permissions));
        const PasswordResult result = PasswordFromFile(path);
        EXPECT_EQ(result.bytes, "secret");
        EXPECT_EQ(!result.warning.empty(), warned) << permissions.toInt();
    }
}

}  // namespace
}  // namespace vantor::cli
