#include "tools/devsim/DatagramLog.h"
#include "tools/devsim/SimulatorText.h"

#include <QTimeZone>

#include <array>

#include <gtest/gtest.h>

namespace vantor::devsim {
namespace {

const QDateTime kTime(QDate(2024, 6, 11), QTime(9, 5, 7, 42), QTimeZone::utc());

TEST(DatagramLog, RxLineStartsWithSizeAndHex)
{
    const std::array<std::uint8_t, 5> bytes{'K', 'W', 'Z', '9', 0x00};
    EXPECT_EQ(
        DatagramLog::RxLine(kTime, QHostAddress(QStringLiteral("10.77.0.1")), 4000, bytes,
                            QStringLiteral("result=ignored reason=size")),
        QStringLiteral("RX 5 4b575a3900 2024-06-11T09:05:07.042Z from=10.77.0.1:4000 result=ignored reason=size"));
}

TEST(DatagramLog, EmptyDatagramKeepsTheFieldCount)
{
    EXPECT_EQ(DatagramLog::RxLine(kTime, QHostAddress::LocalHost, 1, {}, QStringLiteral("x")),
              QStringLiteral("RX 0 - 2024-06-11T09:05:07.042Z from=127.0.0.1:1 x"));
}

TEST(DatagramLog, MappedIpv4SenderIsWrittenDotted)
{
    EXPECT_EQ(DatagramLog::AddressText(QHostAddress(QStringLiteral("::ffff:192.168.1.3"))),
              QStringLiteral("192.168.1.3"));
}

TEST(DatagramLog, TxAndEventLines)
{
    const std::array<std::uint8_t, 2> bytes{0xAB, 0x01};
    EXPECT_EQ(DatagramLog::TxLine(kTime, QHostAddress::Broadcast, 4000, bytes, 2),
              QStringLiteral("TX 2 ab01 2024-06-11T09:05:07.042Z to=255.255.255.255:4000 dev=3"));
    EXPECT_EQ(DatagramLog::EventLine(kTime, QStringLiteral("dev=1 online")),
              QStringLiteral("EV 2024-06-11T09:05:07.042Z dev=1 online"));
}

struct TextCase {
    const char* text;
    bool valid;
};

TEST(AddressText, ParsesAndFormatsAsTheProgramWritesThem)
{
    EXPECT_EQ(FormatIpv4({192, 168, 0, 7}), QStringLiteral("192.168.0.7"));
    EXPECT_EQ(FormatMac({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}), QStringLiteral("00-1A-2B-3C-4D-5E"));
    EXPECT_EQ(FormatVersion({0x01, 0x30}), QStringLiteral("1.30"));
    EXPECT_EQ(FormatVersion({0x0A, 0x05}), QStringLiteral("A.05"));
    EXPECT_EQ(FormatVersion({0x02, 0x00}), QStringLiteral("2.00"));
    EXPECT_EQ(ParseVersion(u"a.05"), (FirmwareVersion{0x0A, 0x05}));
    EXPECT_EQ(ParseMac(u"00:1a:2b:3c:4d:5e"), (MacBytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    EXPECT_EQ(EscapeBytes(std::array<std::uint8_t, 5>{'a', ' ', '\\', 0x00, 0xE9}),
              QStringLiteral("a\\x20\\x5c\\x00\\xe9"));

    for (const TextCase& c : {TextCase{"0.0.0.0", true}, TextCase{"255.255.255.255", true},
                              TextCase{"1.2.3.4.5", false}, TextCase{"1..2.3", false}, TextCase{"1.2.3.4 ", false},
                              TextCase{"0001.2.3.4", false}, TextCase{"", false}, TextCase{"١.2.3.4", false}})
        EXPECT_EQ(ParseIpv4(QString::fromUtf8(c.text)).has_value(), c.valid) << c.text;
}

}  // namespace
}  // namespace vantor::devsim
