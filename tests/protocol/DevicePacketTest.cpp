#include "protocol/DevicePacket.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace vantor {
namespace {

using Bytes = std::array<std::uint8_t, 52>;

// A 52-byte array with the given bytes written at their offsets, every other byte zero.
Bytes BytesWith(std::initializer_list<std::pair<std::size_t, std::uint8_t>> at)
{
    Bytes bytes{};
    for (const auto& [offset, value] : at)
        bytes.at(offset) = value;
    return bytes;
}

TEST(DevicePacket, IsExactly52Bytes)
{
    EXPECT_EQ(sizeof(DEVICE_PACKET), 52u);
    EXPECT_EQ(DEVICE_PACKET{}.bytes, Bytes{});
}

TEST(DevicePacket, DiscoveryRequestIsSignatureOpcodeNineAnd48Zeros)
{
    const Bytes expected = BytesWith({{0, 'K'}, {1, 'W'}, {2, 'Z'}, {3, '9'}});
    EXPECT_EQ(DEVICE_PACKET::Discovery().bytes, expected);
    EXPECT_EQ(DEVICE_PACKET::Discovery().Opcode(), 0x39);
}

TEST(DevicePacket, RequestCarriesEachOpcodeInByteThree)
{
    const std::vector<std::pair<Opcode, char>> table = {
        {Opcode::Discovery, '9'},      {Opcode::SetIpAddress, ':'}, {Opcode::SetSubnetMask, ';'},
        {Opcode::SetMacAddress, '<'},  {Opcode::SoftReset, '='},    {Opcode::SetGateway, '>'},
        {Opcode::FirmwareUpdate, '?'},
    };
    for (const auto& [opcode, character] : table) {
        SCOPED_TRACE(character);
        const Bytes expected = BytesWith({{0, 'K'}, {1, 'W'}, {2, 'Z'}, {3, static_cast<std::uint8_t>(character)}});
        EXPECT_EQ(DEVICE_PACKET::Request(opcode).bytes, expected);
    }
}

TEST(DevicePacket, SettersWriteOnlyTheirOwnBytes)
{
    struct Row {
        const char* name;
        void (*set)(DEVICE_PACKET&);
        Bytes expected;
    };
    static constexpr Ipv4Bytes kIp{192, 168, 0, 7};
    static constexpr Ipv4Bytes kMask{255, 255, 255, 0};
    static constexpr MacBytes kMac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    static constexpr Ipv4Bytes kGateway{10, 0, 0, 254};
    const std::vector<Row> table = {
        {"ip", [](DEVICE_PACKET& p) { p.SetIpAddress(kIp); }, BytesWith({{4, 192}, {5, 168}, {6, 0}, {7, 7}})},
        {"mask", [](DEVICE_PACKET& p) { p.SetSubnetMask(kMask); }, BytesWith({{8, 255}, {9, 255}, {10, 255}, {11, 0}})},
        {"mac", [](DEVICE_PACKET& p) { p.SetMacAddress(kMac); },
         BytesWith({{13, 0x1A}, {14, 0x2B}, {15, 0x3C}, {16, 0x4D}, {17, 0x5E}})},
        {"gateway", [](DEVICE_PACKET& p) { p.SetGateway(kGateway); }, BytesWith({{35, 10}, {38, 254}})},
        {"version", [](DEVICE_PACKET& p) { p.SetVersion(1, 0x30); }, BytesWith({{39, 1}, {40, 0x30}})},
        {"model", [](DEVICE_PACKET& p) { p.SetModelCode(32); }, BytesWith({{41, 32}})},
        {"name", [](DEVICE_PACKET& p) { p.SetNameField("Lab"); }, BytesWith({{18, 'L'}, {19, 'a'}, {20, 'b'}})},
        {"password", [](DEVICE_PACKET& p) { p.SetPassword("pw"); }, BytesWith({{42, 'p'}, {43, 'w'}})},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        DEVICE_PACKET packet;
        row.set(packet);
        EXPECT_EQ(packet.bytes, row.expected);
    }
}

TEST(DevicePacket, GettersReadTheirOffsets)
{
    DEVICE_PACKET packet;
    for (std::size_t i = 0; i < packet.bytes.size(); ++i)
        packet.bytes[i] = static_cast<std::uint8_t>(i + 100);
    EXPECT_EQ(packet.Opcode(), 103);
    EXPECT_EQ(packet.IpAddress(), (Ipv4Bytes{104, 105, 106, 107}));
    EXPECT_EQ(packet.SubnetMask(), (Ipv4Bytes{108, 109, 110, 111}));
    EXPECT_EQ(packet.MacAddress(), (MacBytes{112, 113, 114, 115, 116, 117}));
    EXPECT_EQ(packet.NameField().front(), 118);
    EXPECT_EQ(packet.NameField().back(), 134);
    EXPECT_EQ(packet.Gateway(), (Ipv4Bytes{135, 136, 137, 138}));
    EXPECT_EQ(packet.VersionMajor(), 139);
    EXPECT_EQ(packet.VersionMinor(), 140);
    EXPECT_EQ(packet.ModelCode(), 141);
    EXPECT_EQ(packet.passwordField(), (std::array<std::uint8_t, 8>{142, 143, 144, 145, 146, 147, 148, 149}));
}

TEST(DevicePacket, PasswordFieldRules)
{
    struct Row {
        const char* typed;
        std::array<std::uint8_t, 8> field;
    };
    const std::vector<Row> table = {
        {"", {}},
        {"ab", {'a', 'b', 0, 0, 0, 0, 0, 0}},
        {"12345678", {'1', '2', '3', '4', '5', '6', '7', '8'}},      // no terminator
        {"123456789XYZ", {'1', '2', '3', '4', '5', '6', '7', '8'}},  // cut to the field
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.typed);
        DEVICE_PACKET packet = DEVICE_PACKET::Request(Opcode::SoftReset);
        packet.SetPassword("ZZZZZZZZ");  // a shorter password must not leave old bytes behind
        packet.SetPassword(row.typed);
        EXPECT_EQ(packet.passwordField(), row.field);
        EXPECT_EQ(packet.bytes[50], 0);
        EXPECT_EQ(packet.bytes[51], 0);
        EXPECT_EQ(packet.bytes[41], 0);
    }
}

TEST(DevicePacket, NameFieldKeepsAtMost17BytesAndClearsTheRest)
{
    DEVICE_PACKET packet;
    packet.SetNameField("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(packet.bytes[18], 'A');
    EXPECT_EQ(packet.bytes[34], 'Q');
    EXPECT_EQ(packet.bytes[35], 0);  // the gateway is not touched
    packet.SetNameField("Lab");
    EXPECT_EQ(packet.bytes[20], 'b');
    for (std::size_t i = 21; i <= 34; ++i)
        EXPECT_EQ(packet.bytes[i], 0) << i;
}

TEST(DevicePacket, FromBytesTakesExactly52)
{
    std::vector<std::uint8_t> data(53);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i + 1);

    DEVICE_PACKET out;
    out.bytes.fill(0xEE);
    EXPECT_FALSE(DEVICE_PACKET::FromBytes(std::span(data).first(51), out));
    EXPECT_FALSE(DEVICE_PACKET::FromBytes(std::span(data), out));
    EXPECT_FALSE(DEVICE_PACKET::FromBytes({}, out));
    Bytes untouched;
    untouched.fill(0xEE);
    EXPECT_EQ(out.bytes, untouched);

    ASSERT_TRUE(DEVICE_PACKET::FromBytes(std::span(data).first(52), out));
    EXPECT_EQ(out.bytes[0], 1);
    EXPECT_EQ(out.bytes[51], 52);
}

}  // namespace
}  // namespace vantor
