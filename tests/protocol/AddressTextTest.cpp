#include "protocol/AddressText.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(AddressText, TakesOnlyTheStrictForms)
{
    EXPECT_EQ(ParseIpv4("010.0.0.255"), (Ipv4Bytes{10, 0, 0, 255}));
    for (const char* text : {"1.2.3", "1.2.3.4.", "1.2.3.256", "1.2.3.0004", "1.2.3.-4", "1.2.3.4\n"})
        EXPECT_FALSE(ParseIpv4(text)) << text;
    EXPECT_EQ(ParseMac("0a:1B:2c:3D:4e:5F"), (MacBytes{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
    for (const char* text :
         {"00-1A-2B-3C-4D", "00-1A:2B-3C-4D-5E", "00.1A.2B.3C.4D.5E", "0-01A-2B-3C-4D-5E", "00-1A-2B-3C-4D-5G"})
        EXPECT_FALSE(ParseMac(text)) << text;
}

}  // namespace
}  // namespace vantor
