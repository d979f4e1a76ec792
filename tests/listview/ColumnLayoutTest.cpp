// The saved column layout block: byte layout, refusal of blocks not meant for the list, checks.

#include "listview/ColumnLayout.h"

#include <gtest/gtest.h>

#include <random>

namespace vantor {
namespace {

// Two columns, key -2: column 0 shown, 120 px, order 1; column 1 hidden, 0x12345 px, order 0.
const std::vector<std::uint8_t> kTwoColumns = {
    0x02, 0x00, 0x00, 0x00,        // count 2
    0xFE, 0xFF, 0xFF, 0xFF,        // key -2
    0x01, 0x78, 0x00, 0x00, 0x00,  // shown, width 120
    0x01, 0x00, 0x00, 0x00,        // order 1
    0x00, 0x45, 0x23, 0x01, 0x00,  // hidden, width 0x12345
    0x00, 0x00, 0x00, 0x00,        // order 0
};

TEST(ColumnLayout, ReadsTheFieldsLittleEndian)
{
    const auto layout = ColumnLayout::Parse(kTwoColumns, 2);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->sortKey, -2);
    ASSERT_EQ(layout->columns.size(), 2u);
    EXPECT_EQ(layout->columns[0], (ColumnLayout::Column{true, 120, 1}));
    EXPECT_EQ(layout->columns[1], (ColumnLayout::Column{false, 0x12345, 0}));
    EXPECT_EQ(layout->Check(), ColumnLayout::Problem::None);
}

TEST(ColumnLayout, EncodingReproducesTheBlockByteForByte)
{
    ColumnLayout layout;
    layout.sortKey = -2;
    layout.columns = {{true, 120, 1}, {false, 0x12345, 0}};
    EXPECT_EQ(layout.Encode(), kTwoColumns);
    EXPECT_EQ(ColumnLayout::Parse(layout.Encode(), 2), layout);
}

TEST(ColumnLayout, AnyVisibleByteOtherThanZeroMeansShown)
{
    std::vector<std::uint8_t> block = kTwoColumns;
    block[8] = 0x80;
    block[17] = 0xFF;
    const auto layout = ColumnLayout::Parse(block, 2);
    ASSERT_TRUE(layout.has_value());
    EXPECT_TRUE(layout->columns[0].visible);
    EXPECT_TRUE(layout->columns[1].visible);
}

TEST(ColumnLayout, EveryShorterOrLongerBlockIsNotForThisList)
{
    for (std::size_t size = 0; size < kTwoColumns.size(); ++size) {
        const std::span<const std::uint8_t> prefix(kTwoColumns.data(), size);
        EXPECT_FALSE(ColumnLayout::Parse(prefix, 2).has_value()) << "size " << size;
    }
    std::vector<std::uint8_t> longer = kTwoColumns;
    longer.push_back(0);
    EXPECT_FALSE(ColumnLayout::Parse(longer, 2).has_value());
}

TEST(ColumnLayout, CountMustMatchTheList)
{
    EXPECT_FALSE(ColumnLayout::Parse(kTwoColumns, 3).has_value());
    EXPECT_FALSE(ColumnLayout::Parse(kTwoColumns, 0).has_value());
    EXPECT_FALSE(ColumnLayout::Parse(kTwoColumns, -1).has_value());
    std::vector<std::uint8_t> block = kTwoColumns;
    block[0] = 3;  // right size for two columns, but says three
    EXPECT_FALSE(ColumnLayout::Parse(block, 2).has_value());
    EXPECT_FALSE(ColumnLayout::Parse(std::span<const std::uint8_t>(), 1).has_value());
    EXPECT_EQ(ColumnLayout::BlockSize(6), 62u);
    EXPECT_EQ(ColumnLayout::BlockSize(-4), 0u);
}

struct CheckCase {
    const char* name;
    std::int32_t key;
    std::vector<std::int32_t> orders;
    ColumnLayout::Problem problem;
};

class ColumnLayoutCheck : public ::testing::TestWithParam<CheckCase> { };

TEST_P(ColumnLayoutCheck, FindsWhatMakesItUnusable)
{
    const CheckCase& c = GetParam();
    ColumnLayout layout;
    layout.sortKey = c.key;
    for (const std::int32_t order : c.orders) {
        layout.columns.push_back({true, 50, order});
    }
    EXPECT_EQ(layout.Check(), c.problem) << c.name;
}

using P = ColumnLayout::Problem;
INSTANTIATE_TEST_SUITE_P(Table, ColumnLayoutCheck,
                         ::testing::Values(CheckCase{"valid", 3, {2, 0, 1}, P::None},
                                           CheckCase{"key_minus_n", -3, {0, 1, 2}, P::None},
                                           CheckCase{"key_above_n", 4, {0, 1, 2}, P::SortKeyOutOfRange},
                                           CheckCase{"key_below_minus_n", -4, {0, 1, 2}, P::SortKeyOutOfRange},
                                           CheckCase{"key_int_min", INT32_MIN, {0, 1, 2}, P::SortKeyOutOfRange},
                                           CheckCase{"order_n", 0, {0, 3, 1}, P::OrderOutOfRange},
                                           CheckCase{"order_negative", 0, {0, -1, 1}, P::OrderOutOfRange},
                                           CheckCase{"order_repeated", 0, {1, 0, 1}, P::OrderRepeated}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ColumnLayout, RandomBlocksOfTheRightSizeParseWithoutHarm)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        const int n = 1 + round % 8;
        std::vector<std::uint8_t> block(ColumnLayout::BlockSize(n));
        for (auto& b : block) {
            b = static_cast<std::uint8_t>(byte(random));
        }
        block[0] = static_cast<std::uint8_t>(n);
        block[1] = block[2] = block[3] = 0;
        const auto layout = ColumnLayout::Parse(block, n);
        ASSERT_TRUE(layout.has_value());
        ASSERT_EQ(layout->columns.size(), static_cast<std::size_t>(n));
        (void)layout->Check();
        EXPECT_EQ(layout->Encode().size(), block.size());
    }
}

}  // namespace
}  // namespace vantor
