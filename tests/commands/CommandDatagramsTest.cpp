#include "commands/CommandDatagrams.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantor {
namespace {

using Bytes = std::array<std::uint8_t, 52>;

Bytes BytesWith(std::initializer_list<std::pair<std::size_t, std::uint8_t>> at)
{
    Bytes bytes{};
    for (const auto& [offset, value] : at)
        bytes.at(offset) = value;
    return bytes;
}

TEST(CellConversion, DottedAddressToFourBytes)
{
    const std::vector<std::pair<std::string, Ipv4Bytes>> table = {
        {"192.168.1.10", {192, 168, 1, 10}},
        {"0.0.0.0", {0, 0, 0, 0}},
        {"10.1", {10, 1, 0, 0}},
        {"1.2.3.4.5", {1, 2, 3, 4}},
        {"1..2.3", {1, 2, 3, 0}},
        {".1.2.3.4.", {1, 2, 3, 4}},
        {"a.b. 7.-7", {0, 0, 0, 0}},
        {"12abc.7x.3", {12, 7, 3, 0}},
        {"256.300.1000.1", {0, 44, 232, 1}},
        {"99999999999999999999.1.1.1", {255, 1, 1, 1}},
        {"", {0, 0, 0, 0}},
        {std::string(258, '.') + "7", {7, 0, 0, 0}},
        {std::string(259, '.') + "7", {0, 0, 0, 0}},
        {std::string(259, '1') + ".5", {199, 0, 0, 0}},
    };
    for (const auto& [text, expected] : table) {
        SCOPED_TRACE(text.substr(0, 40));
        EXPECT_EQ(DottedAddressToBytes(text), expected);
    }
}

TEST(CellConversion, MacTextToSixBytes)
{
    const std::vector<std::pair<std::string, MacBytes>> table = {
        {"00-1A-2B-3C-4D-5E", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
        {"00-1a-2b-3c-4d-5e", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
        {"00-FF-2B-3C-4D-5E", {0x00, 0xFF, 0x2B, 0x3C, 0x4D, 0x5E}},
        {"00-1A", {0x00, 0x1A, 0, 0, 0, 0}},
        {"1-2-3-4-5-6-7", {1, 2, 3, 4, 5, 6}},
        {"--AB---CD-", {0xAB, 0xCD, 0, 0, 0, 0}},
        {"G1-2G-xyz", {0x00, 0x02, 0x00, 0, 0, 0}},
        {"123-FFFFFFFFFFFFFFFFFFFF1", {0x23, 0xF1, 0, 0, 0, 0}},
        {"00:1A:2B", {0, 0, 0, 0, 0, 0}},
        {"", {0, 0, 0, 0, 0, 0}},
        {std::string(259, '-') + "AA", {0, 0, 0, 0, 0, 0}},
    };
    for (const auto& [text, expected] : table) {
        SCOPED_TRACE(text.substr(0, 40));
        EXPECT_EQ(MacTextToBytes(text), expected);
    }
}

TEST(PasswordRule, OneLatin1BytePerCharacterAtMostEight)
{
    const std::vector<std::pair<QString, std::optional<std::string>>> table = {
        {QString(), std::string()},
        {QStringLiteral("abcdefgh"), std::string("abcdefgh")},
        {QStringLiteral("abcdefghi"), std::nullopt},
        {QStringLiteral("\u00E9"), std::string("\xE9")},
        {QStringLiteral("\u00FF\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9"), std::string("\xFF\xE9\xE9\xE9\xE9\xE9\xE9\xE9")},
        {QStringLiteral("\u65E5"), std::nullopt},
        {QStringLiteral("a\u0100"), std::nullopt},
        {QStringLiteral("\U0001F600"), std::nullopt},
        {QString(QChar(0)), std::nullopt},
    };
    for (const auto& [typed, expected] : table) {
        SCOPED_TRACE(typed.toStdString());
        EXPECT_EQ(PasswordBytes(typed), expected);
    }
}

TEST(CommandDatagram, SetMacCarriesCurrentIpAndSecondBytePlusOneWithoutCarry)
{
    const Ipv4Bytes ip = DottedAddressToBytes("192.168.1.10");
    EXPECT_EQ(SetMacDatagram(ip, MacTextToBytes("00-1A-2B-3C-4D-5E")).bytes,
              BytesWith({{0, 'K'}, {1, 'W'}, {2, 'Z'}, {3, 0x3C}, {4, 192}, {5, 168}, {6, 1}, {7, 10}, {12, 0x00},
                         {13, 0x1B}, {14, 0x2B}, {15, 0x3C}, {16, 0x4D}, {17, 0x5E}}));
    EXPECT_EQ(SetMacDatagram(ip, MacTextToBytes("00-FF-2B-3C-4D-5E")).bytes,
              BytesWith({{0, 'K'}, {1, 'W'}, {2, 'Z'}, {3, 0x3C}, {4, 192}, {5, 168}, {6, 1}, {7, 10}, {12, 0x00},
                         {13, 0x00}, {14, 0x2B}, {15, 0x3C}, {16, 0x4D}, {17, 0x5E}}));
}

TEST(CommandDatagram, SoftResetAndFirmwareUpdateDifferOnlyInTheOpcode)
{
    const MacBytes mac = MacTextToBytes("00-1A-2B-3C-4D-5E");
    DEVICE_PACKET reset = MacDatagram(Opcode::SoftReset, mac);
    reset.setPassword(*PasswordBytes(QStringLiteral("pw")));
    EXPECT_EQ(reset.bytes, BytesWith({{0, 'K'}, {1, 'W'}, {2, 'Z'}, {3, 0x3D}, {12, 0x00}, {13, 0x1A}, {14, 0x2B},
                                      {15, 0x3C}, {16, 0x4D}, {17, 0x5E}, {42, 'p'}, {43, 'w'}}));
    DEVICE_PACKET update = MacDatagram(Opcode::FirmwareUpdate, mac);
    update.setPassword("pw");
    EXPECT_EQ(update.bytes[3], 0x3F);
    update.bytes[3] = 0x3D;
    EXPECT_EQ(update, reset);
}

TEST(CommandDatagram, SetAddressCarriesAllThreeValuesAndTheMac)
{
    for (const Opcode op : {Opcode::SetIpAddress, Opcode::SetSubnetMask, Opcode::SetGateway}) {
        const DEVICE_PACKET packet =
            SetAddressDatagram(op, {10, 0, 0, 7}, {255, 255, 0, 0}, {10, 0, 0, 1}, {1, 2, 3, 4, 5, 6});
        EXPECT_EQ(packet.bytes, BytesWith({{0, 'K'}, {1, 'W'}, {2, 'Z'}, {3, static_cast<std::uint8_t>(op)}, {4, 10},
                                           {7, 7}, {8, 255}, {9, 255}, {12, 1}, {13, 2}, {14, 3}, {15, 4}, {16, 5},
                                           {17, 6}, {35, 10}, {38, 1}}));
    }
}

TEST(CommandDatagram, PasswordFieldTakesUpToEightBytesAndLeavesTheReservedBytesZero)
{
    DEVICE_PACKET packet = SetAddressDatagram(Opcode::SetGateway, {}, {}, {}, {});
    packet.setPassword(*PasswordBytes(QStringLiteral("12345678")));
    EXPECT_EQ(packet.passwordField(), (std::array<std::uint8_t, 8>{'1', '2', '3', '4', '5', '6', '7', '8'}));
    EXPECT_EQ(packet.bytes[50], 0);
    EXPECT_EQ(packet.bytes[51], 0);
    packet.setPassword(*PasswordBytes(QStringLiteral("\u00E9")));
    EXPECT_EQ(packet.passwordField(), (std::array<std::uint8_t, 8>{0xE9, 0, 0, 0, 0, 0, 0, 0}));
    packet.setPassword(*PasswordBytes(QString()));
    EXPECT_EQ(packet.passwordField(), (std::array<std::uint8_t, 8>{}));
}

}  // namespace
}  // namespace vantor
