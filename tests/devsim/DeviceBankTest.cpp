#include "tools/devsim/DeviceBank.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <functional>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace vantor::devsim {
namespace {

using Bytes = std::vector<std::uint8_t>;

SimDevice Device(const char* name, Ipv4Bytes ip, MacBytes mac, const char* password)
{
    SimDevice device;
    device.name = QByteArray(name);
    device.ip = ip;
    device.mask = {255, 255, 255, 0};
    device.gateway = {192, 168, 1, 1};
    device.mac = mac;
    device.password = QByteArray(password);
    return device;
}

std::vector<SimDevice> Devices()
{
    return {
        Device("A", {192, 168, 1, 10}, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01}, "secret"),
        Device("B", {192, 168, 1, 11}, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x02}, ""),
        Device("C", {192, 168, 1, 12}, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x03}, "12345678"),
    };
}

// A command datagram written out byte by byte: signature, opcode, then the fields at their
// offsets (ip 4, mask 8, mac 12, gateway 35, password 42).
Bytes Command(char opcode, Ipv4Bytes ip, Ipv4Bytes mask, MacBytes mac, Ipv4Bytes gateway, const char* password)
{
    Bytes bytes(52, 0);
    bytes[0] = 'K';
    bytes[1] = 'W';
    bytes[2] = 'Z';
    bytes[3] = static_cast<std::uint8_t>(opcode);
    std::copy(ip.begin(), ip.end(), bytes.begin() + 4);
    std::copy(mask.begin(), mask.end(), bytes.begin() + 8);
    std::copy(mac.begin(), mac.end(), bytes.begin() + 12);
    std::copy(gateway.begin(), gateway.end(), bytes.begin() + 35);
    for (std::size_t i = 0; password[i] != '\0' && i < 8; ++i)
        bytes[42 + i] = static_cast<std::uint8_t>(password[i]);
    return bytes;
}

Bytes Discovery()
{
    Bytes bytes(52, 0);
    bytes[0] = 'K';
    bytes[1] = 'W';
    bytes[2] = 'Z';
    bytes[3] = '9';
    return bytes;
}

constexpr MacBytes kMacA{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01};
constexpr MacBytes kMacB{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x02};
constexpr MacBytes kMacC{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x03};
constexpr MacBytes kNewMac{0x00, 0x1B, 0x2B, 0x3C, 0x4D, 0x01};
constexpr Ipv4Bytes kIp77{192, 168, 1, 77};
constexpr Ipv4Bytes kIp78{192, 168, 1, 78};
constexpr Ipv4Bytes kIp79{192, 168, 1, 79};
constexpr Ipv4Bytes kMask16{255, 255, 0, 0};
constexpr Ipv4Bytes kGw254{192, 168, 1, 254};
constexpr Ipv4Bytes kNoAddress{0, 0, 0, 0};

struct CommandCase {
    const char* label;
    Bytes datagram;
    DeviceBank::Verdict verdict;
    const char* result;                                   // the summary's result word
    std::function<void(std::vector<SimDevice>&)> change;  // expected state change, if any
};

class DeviceBankCommands : public ::testing::TestWithParam<CommandCase> { };

TEST_P(DeviceBankCommands, ChangeExactlyWhatTheyAddress)
{
    const CommandCase& row = GetParam();
    DeviceBank bank(Devices());
    std::vector<SimDevice> expected = Devices();
    if (row.change)
        row.change(expected);

    const DeviceBank::Outcome outcome = bank.Handle(row.datagram, 1000);

    EXPECT_EQ(outcome.verdict, row.verdict);
    EXPECT_TRUE(outcome.summary.endsWith(QStringLiteral("result=") + QLatin1String(row.result)))
        << outcome.summary.toStdString();
    EXPECT_TRUE(outcome.responders.empty());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(bank.Device(i), expected[i]) << "device " << i;
    EXPECT_EQ(outcome.changes.isEmpty(), !row.change);
}

const Ipv4Bytes kIp{192, 168, 1, 10};
const Ipv4Bytes kMask{255, 255, 255, 0};
const Ipv4Bytes kGw{192, 168, 1, 1};

INSTANTIATE_TEST_SUITE_P(
    Table, DeviceBankCommands,
    ::testing::Values(
        CommandCase{"set_ip", Command(':', {192, 168, 1, 77}, kMask, kMacA, kGw, "secret"),
                    DeviceBank::Verdict::Applied, "applied", [](auto& d) { d[0].ip = kIp77; }},
        CommandCase{"set_mask_leaves_ip_and_gateway",
                    Command(';', {1, 1, 1, 1}, {255, 255, 0, 0}, kMacA, {9, 9, 9, 9}, "secret"),
                    DeviceBank::Verdict::Applied, "applied", [](auto& d) { d[0].mask = kMask16; }},
        CommandCase{"set_gateway", Command('>', kIp, kMask, kMacA, {192, 168, 1, 254}, "secret"),
                    DeviceBank::Verdict::Applied, "applied", [](auto& d) { d[0].gateway = kGw254; }},
        CommandCase{"set_gateway_to_zero", Command('>', kIp, kMask, kMacA, {0, 0, 0, 0}, "secret"),
                    DeviceBank::Verdict::Applied, "applied", [](auto& d) { d[0].gateway = kNoAddress; }},
        CommandCase{"set_mac_addressed_by_ip", Command('<', kIp, {0, 0, 0, 0}, kNewMac, {0, 0, 0, 0}, "secret"),
                    DeviceBank::Verdict::Applied, "applied", [](auto& d) { d[0].mac = kNewMac; }},
        CommandCase{"set_mac_with_unknown_ip",
                    Command('<', {192, 168, 1, 99}, {0, 0, 0, 0}, kMacA, {0, 0, 0, 0}, "secret"),
                    DeviceBank::Verdict::Ignored, "no-such-device", nullptr},
        CommandCase{"set_mac_wrong_password", Command('<', kIp, {0, 0, 0, 0}, kNewMac, {0, 0, 0, 0}, "Secret"),
                    DeviceBank::Verdict::Ignored, "wrong-password", nullptr},
        CommandCase{"set_ip_wrong_password", Command(':', {192, 168, 1, 77}, kMask, kMacA, kGw, "secrex"),
                    DeviceBank::Verdict::Ignored, "wrong-password", nullptr},
        CommandCase{"set_ip_password_prefix", Command(':', {192, 168, 1, 77}, kMask, kMacA, kGw, "secre"),
                    DeviceBank::Verdict::Ignored, "wrong-password", nullptr},
        CommandCase{"set_ip_empty_password_for_protected", Command(':', {192, 168, 1, 77}, kMask, kMacA, kGw, ""),
                    DeviceBank::Verdict::Ignored, "wrong-password", nullptr},
        CommandCase{"set_ip_unknown_mac",
                    Command(':', {192, 168, 1, 77}, kMask, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x09}, kGw, "secret"),
                    DeviceBank::Verdict::Ignored, "no-such-device", nullptr},
        CommandCase{"set_ip_empty_password_device", Command(':', {192, 168, 1, 78}, kMask, kMacB, kGw, ""),
                    DeviceBank::Verdict::Applied, "applied", [](auto& d) { d[1].ip = kIp78; }},
        CommandCase{"set_ip_eight_character_password", Command(':', {192, 168, 1, 79}, kMask, kMacC, kGw, "12345678"),
                    DeviceBank::Verdict::Applied, "applied", [](auto& d) { d[2].ip = kIp79; }},
        CommandCase{"soft_reset_changes_no_field",
                    Command('=', {0, 0, 0, 0}, {0, 0, 0, 0}, kMacA, {0, 0, 0, 0}, "secret"),
                    DeviceBank::Verdict::Applied, "applied", [](auto&) { /* no field changes */ }},
        CommandCase{"firmware_update_wrong_password",
                    Command('?', {0, 0, 0, 0}, {0, 0, 0, 0}, kMacA, {0, 0, 0, 0}, "nope"), DeviceBank::Verdict::Ignored,
                    "wrong-password", nullptr},
        CommandCase{"unknown_opcode", Command('@', {192, 168, 1, 77}, kMask, kMacA, kGw, "secret"),
                    DeviceBank::Verdict::Ignored, "ignored reason=opcode", nullptr},
        CommandCase{"opcode_below_discovery", Command('8', {192, 168, 1, 77}, kMask, kMacA, kGw, "secret"),
                    DeviceBank::Verdict::Ignored, "ignored reason=opcode", nullptr}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(DeviceBank, SummaryDecodesTheCommandFields)
{
    DeviceBank bank(Devices());
    const auto outcome = bank.Handle(Command(':', {192, 168, 1, 77}, kMask, kMacA, kGw, "secret"), 0);
    EXPECT_EQ(outcome.summary, QStringLiteral("op=3A set-ip mac=00-1A-2B-3C-4D-01 ip=192.168.1.77 mask=255.255.255.0 "
                                              "gw=192.168.1.1 pw=secret applied=1 result=applied"));
    ASSERT_EQ(outcome.changes.size(), 1);
    EXPECT_EQ(outcome.changes[0], QStringLiteral("dev=1 name=\"A\" ip 192.168.1.10 -> 192.168.1.77"));
}

TEST(DeviceBank, DiscoveryIsAnsweredByEveryDeviceAndNeedsOnlyTheHeader)
{
    DeviceBank bank(Devices());
    const auto outcome = bank.Handle(Discovery(), 0);
    EXPECT_EQ(outcome.verdict, DeviceBank::Verdict::Discovery);
    EXPECT_EQ(outcome.responders, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(outcome.summary, QStringLiteral("op=39 discovery answering=1,2,3 silent=none result=answered"));

    Bytes withJunk = Discovery();
    withJunk[20] = 0x55;
    withJunk[51] = 0xFF;
    EXPECT_EQ(bank.Handle(withJunk, 0).responders.size(), 3u);
}

TEST(DeviceBank, SetMacChangesEveryDeviceAtThatAddress)
{
    std::vector<SimDevice> devices = Devices();
    devices[2].ip = devices[0].ip;
    devices[2].password = devices[0].password;
    DeviceBank bank(devices);
    const auto outcome = bank.Handle(Command('<', kIp, {0, 0, 0, 0}, kNewMac, {0, 0, 0, 0}, "secret"), 0);
    EXPECT_EQ(bank.Device(0).mac, kNewMac);
    EXPECT_EQ(bank.Device(1).mac, kMacB);
    EXPECT_EQ(bank.Device(2).mac, kNewMac);
    EXPECT_TRUE(outcome.summary.contains(QLatin1String("applied=1,3"))) << outcome.summary.toStdString();
}

TEST(DeviceBank, ResetSilencesTheDeviceForTheRebootTime)
{
    DeviceBank bank(Devices());
    bank.SetRebootMs(3000);
    const auto reset = bank.Handle(Command('=', {0, 0, 0, 0}, {0, 0, 0, 0}, kMacB, {0, 0, 0, 0}, ""), 10000);
    ASSERT_EQ(reset.verdict, DeviceBank::Verdict::Applied);
    ASSERT_EQ(reset.silenced.size(), 1u);
    EXPECT_EQ(reset.silenced[0], (std::pair<std::size_t, qint64>{1, 3000}));
    EXPECT_EQ(reset.changes, QStringList{QStringLiteral("dev=2 name=\"B\" soft-reset silent-ms=3000")});

    EXPECT_EQ(bank.Handle(Discovery(), 10000).responders, (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(bank.Handle(Discovery(), 12999).responders, (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(bank.SilentRemainingMs(1, 12999), 1);
    EXPECT_TRUE(bank.Handle(Discovery(), 12999).summary.contains(QLatin1String("silent=2")));
    EXPECT_EQ(bank.Handle(Discovery(), 13000).responders, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_FALSE(bank.IsSilent(1, 13000));
}

TEST(DeviceBank, SilentDeviceIgnoresCommands)
{
    DeviceBank bank(Devices());
    bank.SetFirmwareMs(5000);
    bank.Handle(Command('?', {0, 0, 0, 0}, {0, 0, 0, 0}, kMacA, {0, 0, 0, 0}, "secret"), 0);
    const auto during = bank.Handle(Command(':', {192, 168, 1, 77}, kMask, kMacA, kGw, "secret"), 4999);
    EXPECT_EQ(during.verdict, DeviceBank::Verdict::Ignored);
    EXPECT_TRUE(during.summary.endsWith(QLatin1String("silent=1 result=silent"))) << during.summary.toStdString();
    EXPECT_EQ(bank.Device(0).ip, kIp);

    const auto after = bank.Handle(Command(':', {192, 168, 1, 77}, kMask, kMacA, kGw, "secret"), 5000);
    EXPECT_EQ(after.verdict, DeviceBank::Verdict::Applied);
    EXPECT_EQ(bank.Device(0).ip, (Ipv4Bytes{192, 168, 1, 77}));
}

TEST(DeviceBank, ZeroRebootTimeLeavesTheDeviceAnswering)
{
    DeviceBank bank(Devices());
    bank.SetRebootMs(0);
    bank.Handle(Command('=', {0, 0, 0, 0}, {0, 0, 0, 0}, kMacA, {0, 0, 0, 0}, "secret"), 100);
    EXPECT_EQ(bank.Handle(Discovery(), 100).responders.size(), 3u);
}

TEST(DeviceBank, EveryTruncationAndExtensionIsIgnored)
{
    const Bytes valid = Command(':', {192, 168, 1, 77}, kMask, kMacA, kGw, "secret");
    for (std::size_t size = 0; size <= 60; ++size) {
        if (size == valid.size())
            continue;
        Bytes datagram(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(std::min(size, valid.size())));
        datagram.resize(size, 0);
        DeviceBank bank(Devices());
        const auto outcome = bank.Handle(datagram, 0);
        EXPECT_EQ(outcome.verdict, DeviceBank::Verdict::Ignored) << size;
        EXPECT_EQ(outcome.summary, QStringLiteral("result=ignored reason=size")) << size;
        EXPECT_EQ(bank.Device(0), Devices()[0]) << size;
    }
    Bytes discovery51 = Discovery();
    discovery51.pop_back();
    DeviceBank bank(Devices());
    EXPECT_TRUE(bank.Handle(discovery51, 0).responders.empty());
}

TEST(DeviceBank, WrongSignatureIsIgnoredEvenWithAValidCommandBehindIt)
{
    for (const char* signature : {"KWY", "kwz", "\0WZ", "ZWK"}) {
        Bytes datagram = Command(':', {192, 168, 1, 77}, kMask, kMacA, kGw, "secret");
        std::copy(signature, signature + 3, datagram.begin());
        DeviceBank bank(Devices());
        const auto outcome = bank.Handle(datagram, 0);
        EXPECT_EQ(outcome.summary, QStringLiteral("result=ignored reason=signature"));
        EXPECT_EQ(bank.Device(0).ip, kIp);
    }
}

TEST(DeviceBank, RandomGarbageNeverChangesAnything)
{
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<int> size(0, 200);
    std::uniform_int_distribution<int> byte(0, 255);
    DeviceBank bank(Devices());
    for (int round = 0; round < 2000; ++round) {
        Bytes datagram(static_cast<std::size_t>(size(random)));
        for (auto& b : datagram)
            b = static_cast<std::uint8_t>(byte(random));
        if (!datagram.empty())
            datagram[0] = 'X';  // never the signature
        const auto outcome = bank.Handle(datagram, round);
        ASSERT_EQ(outcome.verdict, DeviceBank::Verdict::Ignored);
    }
    for (std::size_t i = 0; i < bank.size(); ++i)
        EXPECT_EQ(bank.Device(i), Devices()[i]);
}

}  // namespace
}  // namespace vantor::devsim
