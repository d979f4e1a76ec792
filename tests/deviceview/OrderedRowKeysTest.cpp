// The compact keys that find a new row's place: placing rows one by one with them must give
// exactly the order of a stable sort with the full comparison, for every sort parameter.
#include "listview/OrderedRowKeys.h"
#include "listview/DeviceRowOrder.h"
#include "protocol/DeviceRow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

namespace vantor {
namespace {

std::string Record(const std::vector<std::string>& fields)
{
    std::string record;
    for (const std::string& field : fields) {
        record += field;
        record += '\0';
    }
    return record;
}

// Fields that agree in long prefixes (so keys are often equal and the full comparison must
// decide), differ only after byte 16, hold bytes above 0x7F, or are empty.
std::string RandomField(std::mt19937& random)
{
    static const std::vector<std::string> stems = {
        "",
        "10.0.0.",
        "10.0.0.1",
        "192.168.100.",
        "255.255.255.",
        "AA-BB-CC-DD-EE-",
        "sixteen-bytes-nm",
        "sixteen-bytes-nm-and-more",
        "\xC3\xA9t\xC3\xA9",
        "\xFF\xFE",
        "Z",
    };
    std::string field = stems[random() % stems.size()];
    const unsigned tail = random() % 4;
    for (unsigned i = 0; i < tail; ++i)
        field += static_cast<char>('0' + random() % 3);
    return field;
}

std::vector<std::string> RandomRecords(std::mt19937& random, int count)
{
    std::vector<std::string> records;
    for (int i = 0; i < count; ++i) {
        std::vector<std::string> fields;
        for (int f = 0; f < 6; ++f)
            fields.push_back(RandomField(random));
        records.push_back(Record(fields));
    }
    return records;
}

TEST(OrderedRowKeys, PlacingRowsOneByOneGivesTheStableSortOrder)
{
    std::mt19937 random(2024);
    for (const int param : {1, 2, 3, 4, 5, -1, -2, -3, -4, -5, 0, 6, -6, INT_MIN, INT_MAX}) {
        const std::vector<std::string> records = RandomRecords(random, 400);
        OrderedRowKeys keys;
        keys.Assign(param, {});
        std::vector<int> placed;  // record numbers in row order
        for (int n = 0; n < static_cast<int>(records.size()); ++n) {
            const auto itemData = static_cast<lc::LPARAM>(n);
            const OrderedRowKeys::Key key =
                OrderedRowKeys::MakeKey(records[static_cast<std::size_t>(n)], param, itemData);
            const int row = keys.UpperBound(key, [&](lc::LPARAM other) {
                return CompareRowRecords(records[static_cast<std::size_t>(n)], records[static_cast<std::size_t>(other)],
                                         param);
            });
            keys.Insert(row, key);
            placed.insert(placed.begin() + row, n);
        }
        std::vector<int> sorted(records.size());
        for (std::size_t i = 0; i < sorted.size(); ++i)
            sorted[i] = static_cast<int>(i);
        std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) {
            return CompareRowRecords(records[static_cast<std::size_t>(a)], records[static_cast<std::size_t>(b)],
                                     param) < 0;
        });
        EXPECT_EQ(placed, sorted) << "parameter " << param;
        ASSERT_EQ(keys.Count(), static_cast<int>(records.size()));
        for (int row = 0; row < keys.Count(); ++row)
            ASSERT_EQ(keys.At(row).itemData, placed[static_cast<std::size_t>(row)]) << param;
    }
}

TEST(OrderedRowKeys, DifferentKeysOrderAsTheFieldsDo)
{
    std::mt19937 random(7);
    const std::vector<std::string> records = RandomRecords(random, 300);
    for (const int field : {0, 1, 2, 3, 4}) {
        const int param = field + 1;
        for (std::size_t a = 0; a < records.size(); a += 3) {
            for (std::size_t b = 1; b < records.size(); b += 5) {
                const OrderedRowKeys::Key ka = OrderedRowKeys::MakeKey(records[a], param, 0);
                const OrderedRowKeys::Key kb = OrderedRowKeys::MakeKey(records[b], param, 0);
                if (ka.high == kb.high && ka.low == kb.low)
                    continue;
                const int byKey = (ka.high != kb.high) ? (ka.high < kb.high ? -1 : 1) : (ka.low < kb.low ? -1 : 1);
                const int byField = RowRecordField(records[a], field).compare(RowRecordField(records[b], field));
                ASSERT_EQ(byKey, byField < 0 ? -1 : 1) << field << " " << a << " " << b;
            }
        }
    }
}

TEST(OrderedRowKeys, RemovingKeepsTheRestOrRefusesAStrangeRow)
{
    OrderedRowKeys keys;
    std::vector<OrderedRowKeys::Key> initial;
    for (int n = 0; n < 5; ++n)
        initial.push_back(OrderedRowKeys::MakeKey(Record({"n", "10.0.0." + std::to_string(n)}), 2, 100 + n));
    keys.Assign(2, initial);
    ASSERT_TRUE(keys.OrdersAll(2, 5));

    EXPECT_TRUE(keys.Remove(9, 555));  // after the ordered part: nothing to do
    EXPECT_EQ(keys.Count(), 5);
    EXPECT_TRUE(keys.Remove(1, 101));
    EXPECT_EQ(keys.Count(), 4);
    EXPECT_EQ(keys.At(1).itemData, 102);
    EXPECT_FALSE(keys.OrdersAll(2, 5));
    EXPECT_TRUE(keys.OrdersAll(2, 4));

    // The row named is not the one whose key is there: nothing is known in order any more.
    EXPECT_FALSE(keys.Remove(0, 999));
    EXPECT_EQ(keys.Count(), 0);
    EXPECT_FALSE(keys.OrderedBy().has_value());
}

TEST(OrderedRowKeys, InsertingWithoutAnOrderOrOutOfRangeForgetsTheOrder)
{
    OrderedRowKeys keys;
    const OrderedRowKeys::Key key = OrderedRowKeys::MakeKey(Record({"a", "1"}), 1, 1);
    keys.Insert(0, key);  // no order known
    EXPECT_EQ(keys.Count(), 0);
    keys.Assign(1, {key});
    keys.Insert(3, key);  // beyond the end
    EXPECT_FALSE(keys.OrderedBy().has_value());
    EXPECT_EQ(keys.Count(), 0);
    keys.Assign(1, {key});
    keys.Insert(-1, key);
    EXPECT_FALSE(keys.OrderedBy().has_value());
}

}  // namespace
}  // namespace vantor
