#include "commands/CommandDatagrams.h"
#include "commands/BrowserCommand.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantor {
namespace {

using Bytes = std::array<std::uint8_t, 52>;

// "KWZ", the opcode, the given bytes at their offsets, every other byte zero.
Bytes Datagram(Opcode op, std::initializer_list<std::pair<std::size_t, std::uint8_t>> at)
{
    Bytes bytes{'K', 'W', 'Z', static_cast<std::uint8_t>(op)};
    for (const auto& [offset, value] : at)
        bytes.at(offset) = value;
    return bytes;
}

TEST(CellConversion, DottedAddressAndMacTextToBytes)
{
    const std::vector<std::pair<std::string, Ipv4Bytes>> addresses = {
        {"192.168.1.10", {192, 168, 1, 10}},
        {"0.0.0.0", {0, 0, 0, 0}},
        {"", {}},
        {"10.1", {10, 1, 0, 0}},
        {"1.2.3.4.5", {1, 2, 3, 4}},
        {"1..2.3", {1, 2, 3, 0}},
        {".1.2.3.4.", {1, 2, 3, 4}},
        {"a.b. 7.-7", {0, 0, 0, 0}},
        {"12abc.7x.3", {12, 7, 3, 0}},
        {"256.300.1000.1", {0, 44, 232, 1}},
        {"99999999999999999999.1.1.1", {255, 1, 1, 1}},
        {std::string(259, '1') + ".5", {199, 0, 0, 0}},
        {std::string(258, '.') + "7", {7, 0, 0, 0}},
        {std::string(259, '.') + "7", {0, 0, 0, 0}},
    };
    for (const auto& [text, expected] : addresses)
        EXPECT_EQ(DottedAddressToBytes(text), expected) << text.substr(0, 40);

    const std::vector<std::pair<std::string, MacBytes>> macs = {
        {"00-1A-2B-3C-4D-5E", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
        {"00-1a-2b-3c-4d-5e", {0, 26, 43, 60, 77, 94}},
        {"00-FF-2B-3C-4D-5E", {0x00, 0xFF, 0x2B, 0x3C, 0x4D, 0x5E}},
        {"", {}},
        {"00-1A", {0x00, 0x1A, 0, 0, 0, 0}},
        {"1-2-3-4-5-6-7", {1, 2, 3, 4, 5, 6}},
        {"--AB---CD-", {0xAB, 0xCD, 0, 0, 0, 0}},
        {"G1-2G-xyz", {0, 2}},
        {"123-FFFFFFFFFFFFFFFFFFFF1", {0x23, 0xF1, 0, 0, 0, 0}},
        {"00:1A:2B", {}},
        {std::string(259, '-') + "AA", {}},
    };
    for (const auto& [text, expected] : macs)
        EXPECT_EQ(MacTextToBytes(text), expected) << text.substr(0, 40);
}

TEST(PasswordRule, OneLatin1BytePerCharacterAtMostEight)
{
    const std::vector<std::pair<QString, std::optional<std::string>>> table = {
        {QString(), std::string()},
        {QStringLiteral("abcdefgh"), std::string("abcdefgh")},
        {QStringLiteral("abcdefghi"), std::nullopt},
        {QStringLiteral("\u00E9"), std::string("\xE9")},
        {QChar(0xFF) + QString(7, QChar(0xE9)), std::string("\xFF") + std::string(7, '\xE9')},
        {QStringLiteral("\u65E5"), std::nullopt},
        {QStringLiteral("a\u0100"), std::nullopt},
        {QStringLiteral("\U0001F600"), std::nullopt},
        {QString(QChar(0)), std::nullopt},
    };
    for (const auto& [typed, expected] : table)
        EXPECT_EQ(PasswordBytes(typed), expected) << typed.toStdString();
}

TEST(CommandDatagram, SetMacCarriesCurrentIpAndSecondBytePlusOneWithoutCarry)
{
    for (const auto& [mac, second] : {std::pair{"00-1A-2B-3C-4D-5E", 0x1B}, std::pair{"00-FF-2B-3C-4D-5E", 0x00}}) {
        EXPECT_EQ(SetMacDatagram(DottedAddressToBytes("192.168.1.10"), MacTextToBytes(mac)).bytes,
                  Datagram(Opcode::SetMacAddress, {{4, 192},
                                                   {5, 168},
                                                   {6, 1},
                                                   {7, 10},
                                                   {12, 0x00},
                                                   {13, static_cast<std::uint8_t>(second)},
                                                   {14, 0x2B},
                                                   {15, 0x3C},
                                                   {16, 0x4D},
                                                   {17, 0x5E}}));
    }
}

TEST(CommandDatagram, SoftResetAndFirmwareUpdateDifferOnlyInTheOpcode)
{
    const MacBytes mac = MacTextToBytes("00-1A-2B-3C-4D-5E");
    DEVICE_PACKET reset = MacDatagram(Opcode::SoftReset, mac);
    reset.SetPassword(*PasswordBytes(QStringLiteral("pw")));
    EXPECT_EQ(reset.bytes,
              Datagram(Opcode::SoftReset,
                       {{13, 0x1A}, {14, 0x2B}, {15, 0x3C}, {16, 0x4D}, {17, 0x5E}, {42, 'p'}, {43, 'w'}}));
    DEVICE_PACKET update = MacDatagram(Opcode::FirmwareUpdate, mac);
    update.SetPassword("pw");
    EXPECT_EQ(update.bytes[3], 0x3F);
    update.bytes[3] = 0x3D;
    EXPECT_EQ(update, reset);
}

TEST(CommandDatagram, SetAddressCarriesAllThreeValuesTheMacAndUpToEightPasswordBytes)
{
    for (const Opcode op : {Opcode::SetIpAddress, Opcode::SetSubnetMask, Opcode::SetGateway}) {
        DEVICE_PACKET packet =
            SetAddressDatagram(op, {10, 0, 0, 7}, {255, 255, 0, 0}, {10, 0, 0, 1}, {1, 2, 3, 4, 5, 6});
        packet.SetPassword(*PasswordBytes(QStringLiteral("1234567\u00E9")));
        EXPECT_EQ(packet.bytes,
                  Datagram(op, {{4, 10},   {7, 7},    {8, 255},  {9, 255},  {12, 1},   {13, 2},   {14, 3},
                                {15, 4},   {16, 5},   {17, 6},   {35, 10},  {38, 1},   {42, '1'}, {43, '2'},
                                {44, '3'}, {45, '4'}, {46, '5'}, {47, '6'}, {48, '7'}, {49, 0xE9}}));
    }
}

TEST(OpenWebPages, EachAddressIsOneArgumentAndOptionLikeTextIsNeverPassed)
{
    std::vector<QStringList> starts;
    const int started = OpenWebPages(QStringLiteral("browser"), {"10.0.0.1", "-remote", "", "10.0.0.2 --x", "10.0.0.3"},
                                     [&](const QString& program, const QStringList& arguments) {
                                         starts.push_back(QStringList{program} + arguments);
                                         return arguments.front() != QLatin1String("10.0.0.3");  // a failed start
                                     });
    EXPECT_EQ(starts, (std::vector<QStringList>{
                          {"browser", "10.0.0.1"}, {"browser", "10.0.0.2 --x"}, {"browser", "10.0.0.3"}}));
    EXPECT_EQ(started, 2);
}

}  // namespace
}  // namespace vantor
