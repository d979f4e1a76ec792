#include "tools/devsim/DefaultDevices.h"
#include "tools/devsim/SimDevice.h"

#include <algorithm>
#include <array>
#include <set>

#include <gtest/gtest.h>

namespace vantor::devsim {
namespace {

using Bytes = std::array<std::uint8_t, 52>;

TEST(SimDeviceReply, KnownModelWithNameGivesTheGoldenBytes)
{
    SimDevice device;
    device.name = QByteArray("Lab1");
    device.model = 31;
    device.ip = {192, 168, 1, 100};
    device.mask = {255, 255, 255, 0};
    device.gateway = {192, 168, 1, 1};
    device.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01};
    device.version = {0x01, 0x30};
    device.password = QByteArray("secret");  // never part of a reply

    const Bytes expected = {
        0x00, 0x00, 0x00, 0x00,                                                        // 0-3: no signature, no opcode
        0xC0, 0xA8, 0x01, 0x64,                                                        // 4: 192.168.1.100
        0xFF, 0xFF, 0xFF, 0x00,                                                        // 8: 255.255.255.0
        0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01,                                            // 12: MAC
        'L',  'a',  'b',  '1',  0x00, 0x00, 0x00, 0x00,                                // 18: name, NUL-filled to 34
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xA8, 0x01, 0x01,  // 35: gateway 192.168.1.1
        0x01, 0x30,                                                                    // 39, 40: version 1.30
        0x1F,                                                                          // 41: model 31
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                                // 42: no password
        0x00, 0x00,                                                                    // 50: reserved
    };
    EXPECT_EQ(device.Reply().bytes, expected);
}

TEST(SimDeviceReply, SeventeenByteNameFillsTheFieldWithoutTerminator)
{
    SimDevice device;
    device.name = QByteArray("ABCDEFGHIJKLMNOPQ");
    device.model = 32;
    device.ip = {10, 0, 0, 9};
    device.mask = {255, 255, 0, 0};
    device.gateway = {0, 0, 0, 0};
    device.mac = {0x00, 0xFF, 0x2B, 0x3C, 0x4D, 0x05};
    device.version = {0x0A, 0x05};

    const Bytes expected = {
        0x00, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x09, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x2B, 0x3C, 0x4D, 0x05,
        'A',  'B',  'C',  'D',  'E',  'F',  'G',  'H',  'I',  'J',  'K',  'L',  'M',  'N',  'O',  'P',  'Q',  0x00,
        0x00, 0x00, 0x00, 0x0A, 0x05, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    };
    EXPECT_EQ(device.Reply().bytes, expected);
}

TEST(SimDeviceReply, PasswordMatchesOnlyTheZeroPaddedField)
{
    SimDevice device;
    device.password = QByteArray("secret");
    using Field = std::array<std::uint8_t, 8>;
    EXPECT_TRUE(device.AcceptsPassword(Field{'s', 'e', 'c', 'r', 'e', 't', 0, 0}));
    EXPECT_FALSE(device.AcceptsPassword(Field{'s', 'e', 'c', 'r', 'e', 0, 0, 0}));
    EXPECT_FALSE(device.AcceptsPassword(Field{'s', 'e', 'c', 'r', 'e', 't', 0, 'x'}));
    EXPECT_FALSE(device.AcceptsPassword(Field{'S', 'e', 'c', 'r', 'e', 't', 0, 0}));
    EXPECT_FALSE(device.AcceptsPassword(Field{}));

    SimDevice open;
    EXPECT_TRUE(open.AcceptsPassword(Field{}));
    EXPECT_FALSE(open.AcceptsPassword(Field{' ', 0, 0, 0, 0, 0, 0, 0}));

    SimDevice full;
    full.password = QByteArray("12345678");
    EXPECT_TRUE(full.AcceptsPassword(Field{'1', '2', '3', '4', '5', '6', '7', '8'}));
}

TEST(DefaultDevices, CoverTheCasesTheProgramMustShow)
{
    const std::vector<SimDevice> devices = DefaultDevices();
    ASSERT_EQ(devices.size(), 8u);

    std::set<std::uint8_t> models;
    std::set<MacBytes> macs;
    bool emptyNameOn31 = false;
    bool sixteenByteName = false;
    bool zeroGateway = false;
    for (const SimDevice& device : devices) {
        models.insert(device.model);
        macs.insert(device.mac);
        emptyNameOn31 |= device.model == 31 && device.name.isEmpty();
        sixteenByteName |= device.name.size() == 16;
        zeroGateway |= device.gateway == Ipv4Bytes{0, 0, 0, 0};
        EXPECT_LE(device.name.size(), 16) << "every default name keeps its terminator";
    }
    EXPECT_TRUE(models.count(31) && models.count(32));
    EXPECT_TRUE(std::any_of(models.begin(), models.end(), [](std::uint8_t m) { return m != 31 && m != 32; }));
    EXPECT_EQ(macs.size(), devices.size()) << "MACs are distinct";
    EXPECT_TRUE(emptyNameOn31);
    EXPECT_TRUE(sixteenByteName);
    EXPECT_TRUE(zeroGateway);

    // Addresses whose text order differs from their numeric order.
    const auto has = [&](Ipv4Bytes ip) {
        return std::any_of(devices.begin(), devices.end(), [&](const SimDevice& d) { return d.ip == ip; });
    };
    EXPECT_TRUE(has({192, 168, 1, 100}));
    EXPECT_TRUE(has({192, 168, 1, 20}));
    EXPECT_TRUE(has({192, 168, 1, 3}));
    EXPECT_TRUE(has({10, 0, 0, 10}));
    EXPECT_TRUE(has({10, 0, 0, 9}));
}

}  // namespace
}  // namespace vantor::devsim
