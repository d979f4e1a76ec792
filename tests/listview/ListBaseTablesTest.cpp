// The column table and the record table on their own, without a control.

#include "listview/ColumnTable.h"
#include "listview/RecordTable.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vantor::test {
namespace {

TEST(ColumnTable, IndexSpacesFollowVisibilityAndOrder)
{
    ColumnTable table;
    for (int i = 0; i < 5; ++i) {
        ColumnTable::COLUMN_DATA data;
        data.order = i;
        table.Insert(i, data);
    }
    table.At(1).visible = false;
    table.At(3).visible = false;
    table.MoveOrder(4, 0);  // display order 4 0 1 2 3, of which 4 0 2 are shown
    ASSERT_EQ(table.ColumnsByOrder(), (std::vector<int>{4, 0, 1, 2, 3}));
    struct Row {
        int logicalColumn, controlColumn, controlOrder, logicalOrder;
    };
    // Row i: the four mappings applied to i.
    const Row rows[] = {{0, 0, 0, 0}, {2, 1, 1, 1}, {4, 1, 2, 3}, {-1, 2, 2, -1}, {-1, 2, 3, -1}, {-1, 3, 3, -1}};
    for (int i = 0; i < 6; ++i) {
        const Row& row = rows[i];
        EXPECT_EQ(table.ToLogicalColumn(i), row.logicalColumn) << i;
        EXPECT_EQ(table.ToControlColumn(i), row.controlColumn) << i;
        EXPECT_EQ(table.ToControlOrder(i), row.controlOrder) << i;
        EXPECT_EQ(table.ToLogicalOrder(i), row.logicalOrder) << i;
    }

    table.AllowHiding(0);
    table.AllowHiding(0);
    EXPECT_EQ(table.HideableCount(), 1);
    table.Erase(0);  // the orders close up behind it
    EXPECT_EQ(table.HideableCount(), 0);
    EXPECT_EQ(table.ColumnsByOrder(), (std::vector<int>{3, 0, 1, 2}));
}

TEST(RecordTable, HandlesNameOneLiveRecordOnly)
{
    RecordTable records;
    RecordTable::ROW_DATA* first = records.NewRecord();
    ASSERT_NE(first, nullptr);
    const lc::LPARAM handle = first->itemData;
    EXPECT_LT(handle, 0);  // the top bit: never a caller's number or address
    EXPECT_EQ(records.RecordFromItemData(handle), first);

    records.FreeRecord(handle);
    RecordTable::ROW_DATA* again = records.NewRecord();
    EXPECT_EQ(again, first);  // the slot is reused under a new generation
    for (const lc::LPARAM stranger : {lc::LPARAM{0}, lc::LPARAM{1000}, handle, again->itemData + 1}) {
        EXPECT_EQ(records.RecordFromItemData(stranger), nullptr) << stranger;
    }
    records.FreeRecord(handle);  // stale: ignored
    EXPECT_EQ(records.LiveCount(), 1);

    again->cells.resize(2);
    again->cells[1] = RecordTable::CELL{};
    records.InsertColumn(0);
    EXPECT_TRUE(again->cells.size() == 3 && again->cells[2].has_value());
    records.DeleteColumn(1);
    EXPECT_TRUE(again->cells.size() == 2 && again->cells[1].has_value());
}

}  // namespace
}  // namespace vantor::test
