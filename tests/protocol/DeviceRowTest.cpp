#include "protocol/DeviceRow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace vantor {
namespace {

using namespace std::string_literals;

struct ReplyFields {
    std::uint8_t model = 31;
    std::string nameBytes;  // written to offset 18; 17 bytes leave no terminator
    Ipv4Bytes ip{192, 168, 0, 7};
    Ipv4Bytes mask{255, 255, 255, 0};
    Ipv4Bytes gateway{192, 168, 0, 1};
    MacBytes mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    std::uint8_t major = 1;
    std::uint8_t minor = 0x30;
};

// A reply as a device sends it, written byte by byte at the protocol offsets.
DEVICE_PACKET MakeReply(const ReplyFields& f)
{
    DEVICE_PACKET reply;
    reply.bytes[0] = 'K';
    reply.bytes[1] = 'W';
    reply.bytes[2] = 'Z';
    reply.bytes[3] = '9';
    std::copy(f.ip.begin(), f.ip.end(), reply.bytes.begin() + 4);
    std::copy(f.mask.begin(), f.mask.end(), reply.bytes.begin() + 8);
    std::copy(f.mac.begin(), f.mac.end(), reply.bytes.begin() + 12);
    std::copy_n(f.nameBytes.begin(), std::min<std::size_t>(f.nameBytes.size(), 17), reply.bytes.begin() + 18);
    std::copy(f.gateway.begin(), f.gateway.end(), reply.bytes.begin() + 35);
    reply.bytes[39] = f.major;
    reply.bytes[40] = f.minor;
    reply.bytes[41] = f.model;
    return reply;
}

struct RowCase {
    const char* label;
    ReplyFields reply;
    std::array<std::string, 6> fields;
    int icon;
};

ReplyFields With(std::uint8_t model, std::string name)
{
    ReplyFields f;
    f.model = model;
    f.nameBytes = std::move(name);
    return f;
}

std::vector<RowCase> RowCases()
{
    const std::string ip = "192.168.0.7", mask = "255.255.255.0", gw = "192.168.0.1";
    const std::string mac = "00-1A-2B-3C-4D-5E";
    std::vector<RowCase> cases = {
        {"model 31 named Lab", With(31, "Lab"), {"Lab", ip, mask, gw, mac, "1.30"}, 2},
        {"model 31 byte 18 NUL", With(31, "\0Zed"s), {"Marven", ip, mask, gw, mac, "1.30"}, 2},
        {"model 32 byte 18 NUL", With(32, ""), {"Orvik", ip, mask, gw, mac, "1.30"}, 2},
        {"model 32 16-byte name", With(32, "ABCDEFGHIJKLMNOP"), {"ABCDEFGHIJKLMNOP", ip, mask, gw, mac, "1.30"}, 2},
        {"model 32 17 bytes without NUL", With(32, "ABCDEFGHIJKLMNOPQ"), {"Orvik", ip, mask, gw, mac, "1.30"}, 2},
        {"model 31 17 bytes without NUL", With(31, "ABCDEFGHIJKLMNOPQ"), {"Marven", ip, mask, gw, mac, "1.30"}, 2},
        {"model 0 named Lab", With(0, "Lab"), {"Unknown", ip, mask, "0.0.0.0", mac, "0.00"}, 1},
        {"model 33 named Lab", With(33, "Lab"), {"Unknown", ip, mask, "0.0.0.0", mac, "0.00"}, 1},
        {"model 30 unnamed", With(30, ""), {"Unknown", ip, mask, "0.0.0.0", mac, "0.00"}, 1},
        {"model 255 named Lab", With(255, "Lab"), {"Unknown", ip, mask, "0.0.0.0", mac, "0.00"}, 1},
        {"percent name", With(31, "%d%s%n"), {"%d%s%n", ip, mask, gw, mac, "1.30"}, 2},
        {"comma name stays whole", With(32, "Lab,Bench 2"), {"Lab,Bench 2", ip, mask, gw, mac, "1.30"}, 2},
        {"high bytes kept", With(31, "Caf\xE9"), {"Caf\xE9", ip, mask, gw, mac, "1.30"}, 2},
    };

    RowCase extremes{"extreme addresses", With(31, "X"), {}, 2};
    extremes.reply.ip = {0, 0, 0, 0};
    extremes.reply.mask = {255, 255, 255, 255};
    extremes.reply.gateway = {10, 20, 100, 200};
    extremes.reply.mac = {0xFF, 0xEE, 0x0A, 0x00, 0x09, 0xA0};
    extremes.reply.major = 0x0A;
    extremes.reply.minor = 0x05;
    extremes.fields = {"X", "0.0.0.0", "255.255.255.255", "10.20.100.200", "FF-EE-0A-00-09-A0", "A.05"};
    cases.push_back(extremes);

    RowCase version200{"version 2.00", With(32, "V"), {"V", ip, mask, gw, mac, "2.00"}, 2};
    version200.reply.major = 2;
    version200.reply.minor = 0;
    cases.push_back(version200);

    RowCase versionMax{"version FF.FF", With(32, "V"), {"V", ip, mask, gw, mac, "FF.FF"}, 2};
    versionMax.reply.major = 0xFF;
    versionMax.reply.minor = 0xFF;
    cases.push_back(versionMax);
    return cases;
}

TEST(DeviceRow, RecordFromReply)
{
    for (const RowCase& row : RowCases()) {
        SCOPED_TRACE(row.label);
        const DEVICE_PACKET reply = MakeReply(row.reply);
        const std::string record = BuildRowRecord(reply);

        std::string expected;
        for (const std::string& field : row.fields)
            expected += field + '\0';
        EXPECT_EQ(record, expected);
        for (int n = 0; n < kRowFieldCount; ++n)
            EXPECT_EQ(RowRecordField(record, n), row.fields[static_cast<std::size_t>(n)]) << "field " << n;
        EXPECT_EQ(RowIconIndex(reply.ModelCode()), row.icon);

        // Written into a caller's buffer: the same bytes; a short buffer gets the beginning
        // and the full length, and nothing past its end.
        for (const std::size_t size : {std::size_t{0}, std::size_t{5}, expected.size(), std::size_t{200}}) {
            std::string buffer(size + 1, '#');
            EXPECT_EQ(WriteRowRecord(reply, std::span(buffer.data(), size)), expected.size()) << size;
            const std::size_t written = std::min(size, expected.size());
            EXPECT_EQ(buffer.substr(0, written), expected.substr(0, written)) << size;
            EXPECT_EQ(buffer[size], '#') << size;
        }
    }
}

TEST(DeviceRow, BytesNeverLookedAtDoNotChangeTheRecord)
{
    const DEVICE_PACKET plain = MakeReply(With(31, "Lab"));
    DEVICE_PACKET noisy = plain;
    for (std::size_t i : {0u, 1u, 2u, 3u, 42u, 45u, 49u, 50u, 51u})
        noisy.bytes[i] = 0xA5;
    EXPECT_EQ(BuildRowRecord(noisy), BuildRowRecord(plain));
}

TEST(DeviceRow, RecordFieldPastTheEndIsEmpty)
{
    const std::string record = BuildRowRecord(MakeReply(With(31, "Lab")));
    EXPECT_EQ(RowRecordField(record, 6), "");
    EXPECT_EQ(RowRecordField(record, 100), "");
    EXPECT_EQ(RowRecordField(record, -1), "");
    EXPECT_EQ(RowRecordField("", 0), "");
    EXPECT_EQ(RowRecordField("", 3), "");
    // A last field without its NUL still reads to the end, and nothing beyond.
    EXPECT_EQ(RowRecordField("a\0bc"s, 1), "bc");
    EXPECT_EQ(RowRecordField("a\0bc"s, 2), "");
    EXPECT_EQ(RowRecordField("\0\0x\0"s, 1), "");
    EXPECT_EQ(RowRecordField("\0\0x\0"s, 2), "x");
}

TEST(DeviceRow, IconIndexByModelCode)
{
    for (int code = 0; code < 256; ++code) {
        const int expected = (code == 31 || code == 32) ? 2 : 1;
        EXPECT_EQ(RowIconIndex(static_cast<std::uint8_t>(code)), expected) << code;
    }
}

TEST(DeviceRow, FieldFormats)
{
    EXPECT_EQ(FormatIpv4({192, 168, 0, 7}), "192.168.0.7");
    EXPECT_EQ(FormatIpv4({255, 255, 255, 255}), "255.255.255.255");
    EXPECT_EQ(FormatMac({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}), "00-1A-2B-3C-4D-5E");
    EXPECT_EQ(FormatMac({0xff, 0xab, 0xcd, 0xef, 0x01, 0x10}), "FF-AB-CD-EF-01-10");
    EXPECT_EQ(FormatVersion(1, 0x30), "1.30");
    EXPECT_EQ(FormatVersion(0x0A, 0x05), "A.05");
    EXPECT_EQ(FormatVersion(2, 0), "2.00");
    EXPECT_EQ(FormatVersion(0x10, 0xAB), "10.AB");
}

}  // namespace
}  // namespace vantor
