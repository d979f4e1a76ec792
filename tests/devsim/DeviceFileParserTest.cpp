#include "tools/devsim/DeviceFileParser.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantor::devsim {
namespace {

TEST(DeviceFileParser, ReadsTheLineFormatWithEveryKey)
{
    const DeviceFileResult result = DeviceFileParser::Parse(
        "# bench devices\n"
        "name=Lab1 model=31 ip=192.168.1.20 mask=255.255.255.0 gateway=192.168.1.1 "
        "mac=00-1A-2B-3C-4D-01 version=1.30 password=secret delay=250\n"
        "\n"
        "   # indented comment\n"
        "name=\"Hall \\\"B\\\" #2\" model=0x20 ip=10.0.0.9 mac=02:00:5e:10:00:06 version=A.5   # trailing\n");
    ASSERT_TRUE(result.Ok()) << result.error.toStdString();
    ASSERT_EQ(result.devices.size(), 2u);

    const SimDevice& first = result.devices[0];
    EXPECT_EQ(first.name, QByteArray("Lab1"));
    EXPECT_EQ(first.model, 31);
    EXPECT_EQ(first.ip, (Ipv4Bytes{192, 168, 1, 20}));
    EXPECT_EQ(first.mask, (Ipv4Bytes{255, 255, 255, 0}));
    EXPECT_EQ(first.gateway, (Ipv4Bytes{192, 168, 1, 1}));
    EXPECT_EQ(first.mac, (MacBytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01}));
    EXPECT_EQ(first.version, (FirmwareVersion{0x01, 0x30}));
    EXPECT_EQ(first.password, QByteArray("secret"));
    EXPECT_EQ(first.delayMs, 250);

    const SimDevice& second = result.devices[1];
    EXPECT_EQ(second.name, QByteArray("Hall \"B\" #2"));
    EXPECT_EQ(second.model, 32);
    EXPECT_EQ(second.mac, (MacBytes{0x02, 0x00, 0x5E, 0x10, 0x00, 0x06}));
    EXPECT_EQ(second.version, (FirmwareVersion{0x0A, 0x05}));
    // Keys not given take their defaults.
    EXPECT_EQ(second.mask, (Ipv4Bytes{255, 255, 255, 0}));
    EXPECT_EQ(second.gateway, (Ipv4Bytes{0, 0, 0, 0}));
    EXPECT_EQ(second.password, QByteArray());
    EXPECT_EQ(second.delayMs, 0);
}

TEST(DeviceFileParser, ReadsJson)
{
    const DeviceFileResult result = DeviceFileParser::Parse(R"(
        [ {"name": "Lab1", "model": 31, "ip": "192.168.1.20", "mac": "00-1A-2B-3C-4D-01",
           "version": "1.30", "password": "secret", "delay": 40, "gateway": "192.168.1.1"},
          {"name": "", "model": "7", "ip": "10.0.0.10", "mask": "255.0.0.0", "mac": "00-1A-2B-3C-4D-02"} ])");
    ASSERT_TRUE(result.Ok()) << result.error.toStdString();
    ASSERT_EQ(result.devices.size(), 2u);
    EXPECT_EQ(result.devices[0].model, 31);
    EXPECT_EQ(result.devices[0].delayMs, 40);
    EXPECT_EQ(result.devices[0].version, (FirmwareVersion{0x01, 0x30}));
    EXPECT_EQ(result.devices[0].gateway, (Ipv4Bytes{192, 168, 1, 1}));
    EXPECT_EQ(result.devices[1].name, QByteArray());
    EXPECT_EQ(result.devices[1].model, 7);
    EXPECT_EQ(result.devices[1].mask, (Ipv4Bytes{255, 0, 0, 0}));
}

TEST(DeviceFileParser, NameOfSixteenAndSeventeenBytesIsAcceptedEighteenIsNot)
{
    EXPECT_TRUE(DeviceFileParser::Parse("name=Warehouse-Door-7 ip=1.2.3.4 mac=00-00-00-00-00-01").Ok());
    EXPECT_TRUE(DeviceFileParser::Parse("name=Warehouse-Door-17 ip=1.2.3.4 mac=00-00-00-00-00-01").Ok());
    EXPECT_FALSE(DeviceFileParser::Parse("name=Warehouse-Door-170 ip=1.2.3.4 mac=00-00-00-00-00-01").Ok());
}

struct BadFile {
    const char* label;
    const char* content;
    const char* expectedInError;
};

class DeviceFileParserErrors : public ::testing::TestWithParam<BadFile> { };

TEST_P(DeviceFileParserErrors, IsRefusedWithAMessageThatSaysWhere)
{
    const DeviceFileResult result = DeviceFileParser::Parse(GetParam().content);
    EXPECT_FALSE(result.Ok());
    EXPECT_TRUE(result.devices.empty());
    EXPECT_TRUE(result.error.contains(QLatin1String(GetParam().expectedInError)))
        << "error was: " << result.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DeviceFileParserErrors,
    ::testing::Values(
        BadFile{"empty", "", "no devices"}, BadFile{"only_comments", "# nothing\n\n   \n", "no devices"},
        BadFile{"unknown_key", "ip=1.2.3.4 mac=00-00-00-00-00-01 colour=red", "line 1: unknown key 'colour'"},
        BadFile{"repeated_key", "ip=1.2.3.4 ip=1.2.3.5 mac=00-00-00-00-00-01", "given twice"},
        BadFile{"missing_ip", "mac=00-00-00-00-00-01", "missing key 'ip'"},
        BadFile{"missing_mac", "# first\nip=1.2.3.4", "line 2: missing key 'mac'"},
        BadFile{"no_equals", "ip=1.2.3.4 mac=00-00-00-00-00-01 lonely", "expected key=value"},
        BadFile{"empty_key", "=5 ip=1.2.3.4 mac=00-00-00-00-00-01", "without a key"},
        BadFile{"ip_octet_too_big", "ip=1.2.3.256 mac=00-00-00-00-00-01", "ip '1.2.3.256'"},
        BadFile{"ip_three_parts", "ip=1.2.3 mac=00-00-00-00-00-01", "ip '1.2.3'"},
        BadFile{"ip_sign", "ip=1.2.3.+4 mac=00-00-00-00-00-01", "ip '1.2.3.+4'"},
        BadFile{"mask_garbage", "ip=1.2.3.4 mask=x mac=00-00-00-00-00-01", "mask 'x'"},
        BadFile{"mac_short", "ip=1.2.3.4 mac=00-00-00-00-01", "mac '00-00-00-00-01'"},
        BadFile{"mac_mixed_separators", "ip=1.2.3.4 mac=00-00:00-00-00-01", "mac"},
        BadFile{"mac_not_hex", "ip=1.2.3.4 mac=00-00-00-00-00-0G", "mac"},
        BadFile{"model_too_big", "ip=1.2.3.4 mac=00-00-00-00-00-01 model=256", "model '256'"},
        BadFile{"model_negative", "ip=1.2.3.4 mac=00-00-00-00-00-01 model=-1", "model '-1'"},
        BadFile{"version_three_digits", "ip=1.2.3.4 mac=00-00-00-00-00-01 version=1.300", "version '1.300'"},
        BadFile{"version_no_dot", "ip=1.2.3.4 mac=00-00-00-00-00-01 version=130", "version '130'"},
        BadFile{"password_nine_bytes", "ip=1.2.3.4 mac=00-00-00-00-00-01 password=123456789", "password"},
        BadFile{"delay_not_number", "ip=1.2.3.4 mac=00-00-00-00-00-01 delay=soon", "delay 'soon'"},
        BadFile{"delay_too_long", "ip=1.2.3.4 mac=00-00-00-00-00-01 delay=600001", "delay"},
        BadFile{"unterminated_quote", "name=\"Lab ip=1.2.3.4 mac=00-00-00-00-00-01", "no closing quote"},
        BadFile{"stray_quote", "name=La\"b ip=1.2.3.4 mac=00-00-00-00-00-01", "stray quote"},
        BadFile{"second_line_bad", "ip=1.2.3.4 mac=00-00-00-00-00-01\nip=1.2.3.4 mac=zz", "line 2: mac 'zz'"},
        BadFile{"binary", "\x01\x02\xff\xfe=\x80", "line 1"}),
    [](const auto& row) { return std::string(row.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Json, DeviceFileParserErrors,
    ::testing::Values(
        BadFile{"syntax", "[ {\"ip\": \"1.2.3.4\", ", "JSON error"},
        BadFile{"not_object", "[ 5 ]", "device 1: not a JSON object"}, BadFile{"empty_array", "[]", "no devices"},
        BadFile{"bool_value", R"([{"ip":"1.2.3.4","mac":"00-00-00-00-00-01","model":true}])", "'model' must be"},
        BadFile{"fraction", R"([{"ip":"1.2.3.4","mac":"00-00-00-00-00-01","delay":1.5}])", "'delay' must be"},
        BadFile{"version_as_number", R"([{"ip":"1.2.3.4","mac":"00-00-00-00-00-01","version":1.30}])", "version"},
        BadFile{"second_missing_mac", R"([{"ip":"1.2.3.4","mac":"00-00-00-00-00-01"},{"ip":"1.2.3.5"}])",
                "device 2: missing key 'mac'"},
        BadFile{"unknown_key", R"([{"ip":"1.2.3.4","mac":"00-00-00-00-00-01","port":36}])", "unknown key 'port'"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(DeviceFileParser, ParseFileNamesTheFileInItsErrors)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("devices.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("ip=1.2.3.4 mac=00-00-00-00-00-01\nip=nonsense mac=00-00-00-00-00-02\n");
    file.close();

    const DeviceFileResult bad = DeviceFileParser::ParseFile(path);
    EXPECT_TRUE(bad.error.startsWith(path + QStringLiteral(": line 2: ip 'nonsense'"))) << bad.error.toStdString();

    const DeviceFileResult missing = DeviceFileParser::ParseFile(dir.filePath(QStringLiteral("absent.txt")));
    EXPECT_FALSE(missing.Ok());
    EXPECT_TRUE(missing.error.contains(QLatin1String("cannot read")));
}

TEST(DeviceFileParser, ToLineParsesBackToTheSameDevice)
{
    SimDevice device;
    device.name = QByteArray("A \"quoted\" # name");
    device.model = 7;
    device.ip = {10, 0, 0, 9};
    device.mask = {255, 255, 0, 0};
    device.gateway = {10, 0, 0, 1};
    device.mac = {0x00, 0xFF, 0x2B, 0x3C, 0x4D, 0x05};
    device.version = {0x0A, 0x05};
    device.password = QByteArray("pa s\\wd");
    device.delayMs = 125;
    const DeviceFileResult result = DeviceFileParser::Parse(device.ToLine().toUtf8());
    ASSERT_TRUE(result.Ok()) << result.error.toStdString();
    ASSERT_EQ(result.devices.size(), 1u);
    EXPECT_EQ(result.devices[0], device);
}

// Names and passwords holding what looks like a placeholder ("%1".."%9") come back unchanged.
TEST(DeviceFileParser, ToLineKeepsPercentSignsInNamesAndPasswords)
{
    for (const char* text : {"%1", "%7d %s", "100%9", "%2%3", "%%1"}) {
        SCOPED_TRACE(text);
        SimDevice device;
        device.name = QByteArray(text);
        device.password = QByteArray(text).left(8);
        device.mac = {1, 2, 3, 4, 5, 6};
        const DeviceFileResult result = DeviceFileParser::Parse(device.ToLine().toUtf8());
        ASSERT_TRUE(result.Ok()) << result.error.toStdString();
        ASSERT_EQ(result.devices.size(), 1u);
        EXPECT_EQ(result.devices[0], device);
    }
}

// The line format has no way to write a line break, so a JSON file may not put one in a name or
// password either.
TEST(DeviceFileParser, LineBreaksInNamesAndPasswordsAreRefused)
{
    for (const char* json : {R"([{"name": "a\nb", "ip": "1.2.3.4", "mac": "01-02-03-04-05-06"}])",
                             R"([{"password": "\n", "ip": "1.2.3.4", "mac": "01-02-03-04-05-06"}])"}) {
        SCOPED_TRACE(json);
        const DeviceFileResult result = DeviceFileParser::Parse(json);
        EXPECT_FALSE(result.Ok());
        EXPECT_TRUE(result.error.contains(QLatin1String("line break"))) << result.error.toStdString();
    }
    // A carriage return can be written in quotes and stays allowed.
    const DeviceFileResult cr =
        DeviceFileParser::Parse(R"([{"name": "a\rb", "ip": "1.2.3.4", "mac": "01-02-03-04-05-06"}])");
    ASSERT_TRUE(cr.Ok()) << cr.error.toStdString();
    EXPECT_EQ(DeviceFileParser::Parse(cr.devices[0].ToLine().toUtf8()).devices, cr.devices);
}

}  // namespace
}  // namespace vantor::devsim
