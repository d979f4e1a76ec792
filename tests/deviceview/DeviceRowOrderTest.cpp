#include "listview/DeviceRowOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace vantor {
namespace {

std::string Record(std::string name, std::string ip, std::string mask = "255.255.255.0",
                   std::string gateway = "0.0.0.0", std::string mac = "00-00-00-00-00-00", std::string version = "1.00")
{
    std::string record;
    for (const auto& field : {name, ip, mask, gateway, mac, version}) {
        record += field;
        record += '\0';
    }
    return record;
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

struct CompareCase {
    const char* label;
    std::string a;
    std::string b;
    int param;
    int expected;  // sign
};

class CompareRowRecordsTest : public ::testing::TestWithParam<CompareCase> { };

TEST_P(CompareRowRecordsTest, GivesTheExpectedOrder)
{
    const CompareCase& c = GetParam();
    EXPECT_EQ(Sign(CompareRowRecords(c.a, c.b, c.param)), c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CompareRowRecordsTest,
    ::testing::Values(
        CompareCase{"ip as text: .100 before .20", Record("a", "192.168.1.100"), Record("a", "192.168.1.20"), 2, -1},
        CompareCase{"ip descending flips", Record("a", "192.168.1.100"), Record("a", "192.168.1.20"), -2, 1},
        CompareCase{"10.0.0.10 before 10.0.0.9", Record("a", "10.0.0.10"), Record("a", "10.0.0.9"), 2, -1},
        CompareCase{"same ip ties on name ascending", Record("b", "10.0.0.1"), Record("a", "10.0.0.1"), 2, 1},
        CompareCase{"same ip ties on name ascending also when descending", Record("b", "10.0.0.1"),
                    Record("a", "10.0.0.1"), -2, 1},
        CompareCase{"mask key with tie-break", Record("a", "1.1.1.1", "255.0.0.0"), Record("b", "1.1.1.2", "255.0.0.0"),
                    3, -1},
        CompareCase{"gateway key", Record("a", "1", "m", "10.0.0.2"), Record("a", "1", "m", "10.0.0.1"), 4, 1},
        CompareCase{"mac key has no tie-break", Record("b", "1", "m", "g", "00-1A"),
                    Record("a", "2", "m", "g", "00-1A"), 5, 0},
        CompareCase{"name key has no tie-break", Record("same", "1"), Record("same", "2"), 1, 0},
        CompareCase{"name is case-sensitive: upper case first", Record("Zed", "1"), Record("abc", "1"), 1, -1},
        CompareCase{"bytes compare unsigned", Record("\xC3\xA9", "1"), Record("z", "1"), 1, 1},
        CompareCase{"key 0 makes everything equal", Record("a", "1"), Record("b", "2"), 0, 0},
        CompareCase{"key 6 (version) compares nothing", Record("a", "1"), Record("b", "2"), 6, 0},
        CompareCase{"key -7 compares nothing", Record("a", "1"), Record("b", "2"), -7, 0},
        CompareCase{"INT_MIN compares nothing", Record("a", "1"), Record("b", "2"), INT_MIN, 0},
        CompareCase{"short record counts missing fields as empty", std::string("x\0", 2), Record("x", "1"), 2, -1}));

TEST(CompareDeviceRowsTest, ReadsRecordsThroughItemData)
{
    const std::string first = Record("n", "192.168.1.100");
    const std::string second = Record("n", "192.168.1.20");
    EXPECT_LT(CompareDeviceRows(RowRecordItemData(first), RowRecordItemData(second), 2), 0);
    EXPECT_GT(CompareDeviceRows(RowRecordItemData(first), RowRecordItemData(second), -2), 0);
    // Back from the item data: the whole record at its own address, up to its sixth field's NUL.
    const std::string_view back = RowRecordFromItemData(RowRecordItemData(first));
    EXPECT_EQ(back.data(), first.data());
    EXPECT_EQ(back.size(), first.size());
}

TEST(CompareDeviceRowsTest, SortingByIpPutsEqualAddressesInNameOrderBothWays)
{
    std::vector<std::string> rows = {Record("c", "10.0.0.1"), Record("a", "10.0.0.2"), Record("b", "10.0.0.1"),
                                     Record("a", "10.0.0.1")};
    for (int param : {2, -2}) {
        std::stable_sort(rows.begin(), rows.end(), [param](const std::string& x, const std::string& y) {
            return CompareRowRecords(x, y, param) < 0;
        });
        std::vector<std::string> names;
        for (const auto& row : rows)
            names.push_back(row.substr(0, 1));
        if (param > 0)
            EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c", "a"}));
        else
            EXPECT_EQ(names, (std::vector<std::string>{"a", "a", "b", "c"}));
    }
}

TEST(SortParamTest, ColumnKeys)
{
    const std::vector<std::pair<int, int>> table = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}, {-1, 1}, {6, 1}};
    for (const auto& [column, key] : table)
        EXPECT_EQ(SortParamKeyForColumn(column), key) << "column " << column;
}

TEST(SortParamTest, ClicksReverseOnlyTheAscendingSameKey)
{
    EXPECT_EQ(SortParamAfterClick(2, 1), -2);  // IP ascending at start: first click descends
    EXPECT_EQ(SortParamAfterClick(-2, 1), 2);  // and the next ascends again
    EXPECT_EQ(SortParamAfterClick(2, 0), 1);   // another column sorts ascending
    EXPECT_EQ(SortParamAfterClick(1, 5), -1);  // Version after name ascending reverses the name order
    EXPECT_EQ(SortParamAfterClick(0, 4), 5);
}

}  // namespace
}  // namespace vantor
