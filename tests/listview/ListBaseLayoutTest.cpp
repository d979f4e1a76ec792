// Restoring a saved column layout through the extension.

#include "listview/ColumnLayout.h"
#include "tests/listview/ListBaseFixture.h"

#include <random>

namespace vantor::test {
namespace {

using namespace vantor::lc;

class ListBaseLayout : public ListBaseFixture {
protected:
    struct Snapshot {
        std::vector<bool> visible;
        std::vector<int> widths;  // remembered or control width
        std::vector<int> orders;
        int key = 0;
        std::vector<std::string> headings;  // the control's, in display order
        int controlCalls = 0;

        bool operator==(const Snapshot&) const = default;
    };

    Snapshot Take()
    {
        Snapshot s;
        for (int i = 0; i < list.GetColumnCount(); ++i) {
            s.visible.push_back(list.IsColumnVisible(i));
            LVCOLUMNA d;
            d.mask = LVCF_WIDTH;
            EXPECT_TRUE(list.GetColumn(i, d));
            s.widths.push_back(d.cx);
            s.orders.push_back(list.ColumnOrder(i));
        }
        s.key = list.SortKey();
        s.headings = control.HeadingsInDisplayOrder();
        return s;
    }

    // Counts only the calls that change something.
    int Changes() const
    {
        int n = 0;
        for (const ControlCall& call : control.calls) {
            n += call.op.rfind("Get", 0) == 0 ? 0 : 1;
        }
        return n;
    }

    // A block for the six standard columns.
    static ColumnLayout SixColumns()
    {
        ColumnLayout layout;
        layout.sortKey = -4;
        layout.columns = {{true, 150, 0},          {false, 90, 3}, {true, 60, 1},
                          {true, 0x10000 + 70, 2}, {false, 40, 5}, {true, 55, 4}};
        return layout;
    }
};

TEST_F(ListBaseLayout, AnExactBlockRestoresVisibilityWidthsOrderAndKey)
{
    AddColumns(6);
    AddRows(2);
    list.ShowSortArrow(true);
    ASSERT_TRUE(list.ApplyColumnLayout(SixColumns().Encode()));

    EXPECT_EQ(list.SortKey(), -4);
    const std::vector<bool> visible = {true, false, true, true, false, true};
    const std::vector<int> widths = {150, 90, 60, 70, 40, 55};  // low 16 bits only
    const std::vector<int> orders = {0, 3, 1, 2, 5, 4};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(list.IsColumnVisible(i), visible[static_cast<std::size_t>(i)]) << i;
        LVCOLUMNA d;
        d.mask = LVCF_WIDTH;
        ASSERT_TRUE(list.GetColumn(i, d));
        EXPECT_EQ(d.cx, widths[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(list.ColumnOrder(i), orders[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(control.HeadingsInDisplayOrder(), (std::vector<std::string>{"C0", "C2", "C3", "C5"}));
    EXPECT_EQ(control.columns[2].headerFmt & HDF_SORTDOWN, HDF_SORTDOWN);  // logical 3
    // Showing a column later puts it where the block said.
    list.SetColumnVisible(1, true);
    EXPECT_EQ(control.HeadingsInDisplayOrder(), (std::vector<std::string>{"C0", "C2", "C3", "C1", "C5"}));
    EXPECT_EQ(list.GetColumnWidth(1), 90);
    EXPECT_EQ(control.ShownText(1, list.ToControlColumn(1)), "r1c1");
}

TEST_F(ListBaseLayout, BlocksNotWrittenForThisListAreIgnored)
{
    AddColumns(6);
    const Snapshot before = Take();
    control.ClearCalls();
    std::vector<std::uint8_t> block = SixColumns().Encode();
    block.push_back(0);  // one byte more
    EXPECT_TRUE(list.ApplyColumnLayout(block));
    block.resize(block.size() - 2);  // one byte less
    EXPECT_TRUE(list.ApplyColumnLayout(block));
    EXPECT_TRUE(list.ApplyColumnLayout(std::span<const std::uint8_t>()));
    ColumnLayout five = SixColumns();
    five.columns.pop_back();
    five.sortKey = 0;
    EXPECT_TRUE(list.ApplyColumnLayout(five.Encode()));
    EXPECT_TRUE(list.ApplyColumnLayout(QByteArray("garbage")));
    EXPECT_EQ(Changes(), 0);
    EXPECT_EQ(Take(), before);
}

TEST_F(ListBaseLayout, AListWithoutColumnsIgnoresEveryBlock)
{
    ColumnLayout none;
    EXPECT_TRUE(list.ApplyColumnLayout(none.Encode()));
    EXPECT_TRUE(control.calls.empty());
}

struct BadCase {
    const char* name;
    int key;
    std::vector<int> orders;
};

class RefusedLayout : public ListBaseLayout, public ::testing::WithParamInterface<BadCase> { };

TEST_P(RefusedLayout, ChangesNothing)
{
    AddColumns(6);
    list.SetSortKey(2);
    const Snapshot before = Take();
    control.ClearCalls();
    ColumnLayout layout = SixColumns();
    layout.sortKey = GetParam().key;
    for (std::size_t i = 0; i < layout.columns.size(); ++i) {
        layout.columns[i].order = GetParam().orders[i];
    }
    EXPECT_FALSE(list.ApplyColumnLayout(layout.Encode())) << GetParam().name;
    EXPECT_EQ(Changes(), 0);
    EXPECT_EQ(Take(), before);
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedLayout,
                         ::testing::Values(BadCase{"key_seven", 7, {0, 1, 2, 3, 4, 5}},
                                           BadCase{"key_minus_seven", -7, {0, 1, 2, 3, 4, 5}},
                                           BadCase{"repeated_order", 1, {0, 1, 2, 2, 4, 5}},
                                           BadCase{"repeated_order_leaves_last_empty", 1, {0, 1, 0, 3, 2, 4}},
                                           BadCase{"order_six", 1, {0, 1, 2, 3, 4, 6}},
                                           BadCase{"negative_order", 1, {-1, 0, 1, 2, 3, 4}}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ListBaseLayout, ColumnsThatAreNotHideableStayVisible)
{
    AddColumns(3);
    ColumnLayout layout;
    layout.columns = {{false, 80, 0}, {false, 81, 1}, {true, 82, 2}};
    ASSERT_TRUE(list.ApplyColumnLayout(layout.Encode()));
    EXPECT_TRUE(list.IsColumnVisible(0));  // column 0 is not hideable
    EXPECT_FALSE(list.IsColumnVisible(1));
    EXPECT_EQ(list.GetColumnWidth(0), 80);
}

TEST_F(ListBaseLayout, RandomBlocksNeverLeaveTheTableBroken)
{
    AddColumns(6);
    AddRows(3);
    std::mt19937 random(777);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> small(-1, 6);
    for (int round = 0; round < 500; ++round) {
        std::vector<std::uint8_t> block(ColumnLayout::BlockSize(6));
        for (auto& b : block) {
            b = static_cast<std::uint8_t>(byte(random));
        }
        block[0] = 6;
        block[1] = block[2] = block[3] = 0;
        if (round % 2 == 0) {  // make half of them plausible so they get applied
            ColumnLayout layout = *ColumnLayout::Parse(block, 6);
            layout.sortKey = small(random);
            std::vector<int> orders = {0, 1, 2, 3, 4, 5};
            std::shuffle(orders.begin(), orders.end(), random);
            for (std::size_t i = 0; i < 6; ++i) {
                layout.columns[i].order = orders[i];
            }
            block = layout.Encode();
        }
        (void)list.ApplyColumnLayout(block);
        // The orders are a permutation, and the control shows exactly the visible columns in
        // the order the table says.
        std::array<int, 6> order{};
        ASSERT_EQ(list.GetColumnOrderArray(order), 6);
        std::array<int, 6> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ(sorted, (std::array<int, 6>{0, 1, 2, 3, 4, 5}));
        std::vector<std::string> shown;
        for (const int column : order) {
            if (list.IsColumnVisible(column)) {
                shown.push_back("C" + std::to_string(column));
            }
        }
        ASSERT_EQ(control.HeadingsInDisplayOrder(), shown) << "round " << round;
        for (int c = 0; c < control.GetColumnCount(); ++c) {
            ASSERT_EQ(control.ShownText(2, c), CellName(2, list.ToLogicalColumn(c))) << "round " << round;
        }
    }
}

}  // namespace
}  // namespace vantor::test
