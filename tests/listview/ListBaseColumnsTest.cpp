// Column table, index spaces, hiding and showing, and the column messages of the extension.

#include "tests/listview/ListBaseFixture.h"

#include <array>

namespace vantor::test {
namespace {

using namespace vantor::lc;

class ListBaseColumns : public ListBaseFixture { };

// ---- Index spaces ----------------------------------------------------------------------------

TEST_F(ListBaseColumns, IndexSpacesSkipHiddenColumns)
{
    AddColumns(6);
    list.SetColumnVisible(1, false);
    list.SetColumnVisible(4, false);
    // Visible logical columns 0, 2, 3, 5 are control columns 0..3.
    const std::array<int, 5> logicalOfControl = {0, 2, 3, 5, -1};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(list.ToLogicalColumn(c), logicalOfControl[c]) << "control column " << c;
    }
    EXPECT_EQ(list.ToLogicalColumn(-1), -1);
    const std::array<int, 7> controlOfLogical = {0, 1, 1, 2, 3, 3, 4};
    for (int l = 0; l < 7; ++l) {
        EXPECT_EQ(list.ToControlColumn(l), controlOfLogical[l]) << "logical column " << l;
    }
    // Display order equals insertion order here, so orders map like columns.
    for (int o = 0; o < 7; ++o) {
        EXPECT_EQ(list.ToControlOrder(o), controlOfLogical[o]) << "logical order " << o;
    }
    for (int o = 0; o < 5; ++o) {
        EXPECT_EQ(list.ToLogicalOrder(o), logicalOfControl[o]) << "control order " << o;
    }
    EXPECT_EQ(list.ToLogicalOrder(-1), -1);
}

TEST_F(ListBaseColumns, LogicalOrderFollowsDisplayPositionsNotIndexes)
{
    AddColumns(4);
    const std::array<int, 4> display = {3, 1, 0, 2};  // logical columns left to right
    ASSERT_TRUE(list.SetColumnOrderArray(display));
    list.SetColumnVisible(1, false);  // hides display position 1
    // Control orders 0, 1, 2 show logical orders 0, 2, 3.
    EXPECT_EQ(list.ToLogicalOrder(0), 0);
    EXPECT_EQ(list.ToLogicalOrder(1), 2);
    EXPECT_EQ(list.ToLogicalOrder(2), 3);
    EXPECT_EQ(list.ToLogicalOrder(3), -1);
    EXPECT_EQ(list.ToControlOrder(3), 2);
}

struct MoveCase {
    const char* name;
    int column;
    int newOrder;
    std::array<int, 5> orders;  // expected logical order of columns 0..4
};

class MoveColumnOrderTest : public ListBaseFixture, public ::testing::WithParamInterface<MoveCase> { };

TEST_P(MoveColumnOrderTest, ShiftsTheColumnsBetween)
{
    AddColumns(5);
    const MoveCase& c = GetParam();
    list.MoveColumnOrder(c.column, c.newOrder);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list.ColumnOrder(i), c.orders[i]) << c.name << ", column " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MoveColumnOrderTest,
    ::testing::Values(MoveCase{"left", 3, 1, {0, 2, 3, 1, 4}}, MoveCase{"right", 1, 3, {0, 3, 1, 2, 4}},
                      MoveCase{"to front", 4, 0, {1, 2, 3, 4, 0}}, MoveCase{"to end", 0, 4, {4, 0, 1, 2, 3}},
                      MoveCase{"same", 2, 2, {0, 1, 2, 3, 4}}, MoveCase{"order out of range", 2, 5, {0, 1, 2, 3, 4}},
                      MoveCase{"negative order", 2, -1, {0, 1, 2, 3, 4}},
                      MoveCase{"bad column", 7, 0, {0, 1, 2, 3, 4}}),
    [](const auto& row) {
        std::string name = row.param.name;
        for (char& ch : name) {
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        }
        return name;
    });

// ---- Hiding and showing ----------------------------------------------------------------------

TEST_F(ListBaseColumns, HidingColumnTwoOfSixLeavesColumnsThreeToFiveAnsweringAsBefore)
{
    AddColumns(6);
    AddRows(3);
    struct Answer {
        int width;
        std::string heading;
        int fmt;
        int subItem;
        int order;
        std::string cell;
    };
    const auto ask = [&](int l) {
        LVCOLUMNA d;
        d.mask = LVCF_FMT | LVCF_SUBITEM | LVCF_ORDER;
        EXPECT_TRUE(list.GetColumn(l, d));
        return Answer{list.GetColumnWidth(l), Heading(l), d.fmt, d.iSubItem, d.iOrder, Text(1, l)};
    };
    std::vector<Answer> before;
    for (int l = 3; l < 6; ++l) {
        before.push_back(ask(l));
    }
    list.SetColumnVisible(2, false);

    ASSERT_EQ(control.CountOf("DeleteColumn"), 1);
    EXPECT_EQ(control.CallsOf("DeleteColumn")[0].index, 2);
    EXPECT_EQ(control.GetColumnCount(), 5);
    for (int l = 3; l < 6; ++l) {
        const Answer now = ask(l);
        const Answer& then = before[static_cast<std::size_t>(l - 3)];
        EXPECT_EQ(now.width, then.width) << "column " << l;
        EXPECT_EQ(now.heading, then.heading) << "column " << l;
        EXPECT_EQ(now.fmt, then.fmt) << "column " << l;
        EXPECT_EQ(now.subItem, l);
        EXPECT_EQ(now.order, then.order) << "column " << l;
        EXPECT_EQ(now.cell, then.cell) << "column " << l;
    }
    // The hidden column: no width from the control, the remembered width from the table.
    EXPECT_EQ(list.GetColumnWidth(2), 0);
    LVCOLUMNA d;
    d.mask = LVCF_WIDTH | LVCF_ORDER | LVCF_SUBITEM | LVCF_FMT | LVCF_IMAGE;
    EXPECT_TRUE(list.GetColumn(2, d));
    EXPECT_EQ(d.cx, 120);
    EXPECT_EQ(d.iOrder, 2);
    EXPECT_EQ(d.iSubItem, 2);
    EXPECT_EQ(d.fmt, LVCFMT_LEFT);
    EXPECT_EQ(d.iImage, -1);  // no image was given
    EXPECT_EQ(Heading(2), "C2");
    EXPECT_EQ(Text(1, 2), "r1c2");  // cells of a hidden column come from the records
}

TEST_F(ListBaseColumns, ShowingAColumnPutsItBackWithItsWidthAndTexts)
{
    AddColumns(6);
    AddRows(3);
    const std::array<int, 6> display = {0, 4, 2, 1, 3, 5};
    ASSERT_TRUE(list.SetColumnOrderArray(display));
    list.SetColumnVisible(2, false);
    list.SetColumnWidth(1, 77);  // a visible column changes while 2 is away
    control.ClearCalls();

    list.SetColumnVisible(2, true);

    ASSERT_EQ(control.CountOf("InsertColumn"), 1);
    const ControlCall insert = control.CallsOf("InsertColumn")[0];
    EXPECT_EQ(insert.index, 2);    // control column
    EXPECT_EQ(insert.subItem, 2);  // control order: after 0 and 4
    EXPECT_EQ(insert.text, "C2");
    EXPECT_EQ(control.HeadingsInDisplayOrder(), (std::vector<std::string>{"C0", "C4", "C2", "C1", "C3", "C5"}));
    EXPECT_EQ(list.GetColumnWidth(2), 120);
    EXPECT_EQ(list.GetColumnWidth(1), 77);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 6; ++c) {
            EXPECT_EQ(control.ShownText(r, list.ToControlColumn(c)), CellName(r, c)) << r << "," << c;
        }
    }
    // The cells were given back last item first.
    const auto sets = control.CallsOf("SetItem");
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[0].index, 2);
    EXPECT_EQ(sets[2].index, 0);
    EXPECT_EQ(sets[0].subItem, 2);
    EXPECT_TRUE(sets[0].textIsCallback);
    EXPECT_EQ(sets[0].mask & (LVIF_PARAM | LVIF_STATE), 0u);
}

TEST_F(ListBaseColumns, ShowingPlacesTheColumnAmongVisibleColumnsOnly)
{
    AddColumns(5);
    list.SetColumnVisible(1, false);
    list.SetColumnVisible(2, false);
    list.SetColumnVisible(2, true);  // logical order 2, but only C0 is shown before it
    EXPECT_EQ(control.CallsOf("InsertColumn").back().subItem, 1);
    EXPECT_EQ(control.HeadingsInDisplayOrder(), (std::vector<std::string>{"C0", "C2", "C3", "C4"}));
    list.SetColumnVisible(1, true);
    EXPECT_EQ(control.HeadingsInDisplayOrder(), (std::vector<std::string>{"C0", "C1", "C2", "C3", "C4"}));
}

TEST_F(ListBaseColumns, TextsSetWhileHiddenAppearWhenShown)
{
    AddColumns(4);
    AddRows(2);
    list.SetColumnVisible(3, false);
    control.ClearCalls();
    ASSERT_TRUE(list.SetItemText(1, TextItem(1, 3, "while hidden")));
    lc::LVITEMA image;
    image.mask = LVIF_IMAGE;
    image.iItem = 0;
    image.iSubItem = 3;
    image.iImage = 5;
    ASSERT_TRUE(list.SetItem(image));
    EXPECT_EQ(control.CountOf("SetItemText"), 0);  // the control has no such column
    EXPECT_EQ(control.CountOf("SetItem"), 0);
    EXPECT_EQ(Text(1, 3), "while hidden");

    list.SetColumnVisible(3, true);
    EXPECT_EQ(control.ShownText(1, 3), "while hidden");
    EXPECT_EQ(control.ShownText(0, 3), "r0c3");
    EXPECT_EQ(control.items[0].cells[3].image, 5);
}

TEST_F(ListBaseColumns, ShowingTheNewFirstColumnRewritesTheFormerFirstColumn)
{
    AddColumns(3);
    list.AllowColumnHiding(0);
    AddRows(2);
    list.SetColumnVisible(0, false);
    ASSERT_EQ(control.HeadingsInDisplayOrder(), (std::vector<std::string>{"C1", "C2"}));
    control.ClearCalls();

    list.SetColumnVisible(0, true);

    // Logical column 1, first before, is control column 1 again and got its cells back.
    std::vector<int> rewrittenItems;
    for (const ControlCall& call : control.CallsOf("SetItem")) {
        if (call.subItem == 1) {
            rewrittenItems.push_back(call.index);
        }
    }
    EXPECT_EQ(rewrittenItems, (std::vector<int>{1, 0}));
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(control.ShownText(r, c), CellName(r, c)) << r << "," << c;
        }
    }
}

TEST_F(ListBaseColumns, OnlyHideableColumnsCanBeHidden)
{
    AddColumns(3);
    EXPECT_EQ(list.HideableCount(), 2);
    list.AllowColumnHiding(1);  // counted once
    EXPECT_EQ(list.HideableCount(), 2);
    list.AllowColumnHiding(9);
    EXPECT_EQ(list.HideableCount(), 2);
    control.ClearCalls();
    list.SetColumnVisible(0, false);  // not hideable
    list.SetColumnVisible(1, true);   // already visible
    list.SetColumnVisible(7, false);  // no such column
    EXPECT_TRUE(control.calls.empty());
    EXPECT_TRUE(list.IsColumnVisible(0));
}

TEST_F(ListBaseColumns, RefusedReinsertionLeavesTheColumnHidden)
{
    AddColumns(3);
    list.SetColumnVisible(2, false);
    control.refuse.insert("InsertColumn");
    list.SetColumnVisible(2, true);
    EXPECT_FALSE(list.IsColumnVisible(2));
    EXPECT_EQ(list.ToControlColumn(3), 2);
    control.refuse.clear();
    list.SetColumnVisible(2, true);
    EXPECT_TRUE(list.IsColumnVisible(2));
    EXPECT_EQ(control.GetColumnCount(), 3);
}

TEST_F(ListBaseColumns, WidthsOfHiddenColumnsAreRememberedNotSent)
{
    AddColumns(3);
    list.SetColumnVisible(1, false);
    control.ClearCalls();
    EXPECT_TRUE(list.SetColumnWidth(1, 55));
    EXPECT_EQ(control.CountOf("SetColumnWidth"), 0);
    EXPECT_EQ(list.GetColumnWidth(1), 0);
    // A width given with the descriptor is not remembered for a hidden column.
    LVCOLUMNA d;
    d.mask = LVCF_WIDTH;
    d.cx = 99;
    EXPECT_TRUE(list.SetColumn(1, d));
    list.SetColumnVisible(1, true);
    EXPECT_EQ(list.GetColumnWidth(1), 55);
    EXPECT_FALSE(list.SetColumnWidth(3, 10));
    EXPECT_FALSE(list.SetColumnWidth(-1, 10));
}

// ---- Insertion and deletion ------------------------------------------------------------------

TEST_F(ListBaseColumns, InsertionAtABadPositionSendsNothing)
{
    AddColumns(2);
    control.ClearCalls();
    EXPECT_EQ(list.InsertColumn(-1, ColumnDescriptor("x", 10)), -1);
    EXPECT_EQ(list.InsertColumn(3, ColumnDescriptor("x", 10)), -1);
    EXPECT_TRUE(control.calls.empty());
    EXPECT_EQ(list.GetColumnCount(), 2);
}

TEST_F(ListBaseColumns, InsertionGoesToTheControlColumnAndMovesCells)
{
    AddColumns(4);
    AddRows(2);
    list.SetColumnVisible(1, false);
    control.ClearCalls();
    LVCOLUMNA d = ColumnDescriptor("New", 60);
    d.mask |= LVCF_SUBITEM;
    d.iSubItem = 9;
    EXPECT_EQ(list.InsertColumn(3, d), 2);
    const ControlCall call = control.CallsOf("InsertColumn").at(0);
    EXPECT_EQ(call.index, 2);
    EXPECT_EQ(call.mask & LVCF_SUBITEM, 0u);
    EXPECT_EQ(call.array.at(0), 60);  // the control gets the width
    EXPECT_EQ(list.ColumnOrder(3), 3);
    EXPECT_EQ(list.ColumnOrder(4), 4);
    EXPECT_EQ(list.ColumnHeading(3), "New");
    // Cells stay with their columns, the hidden one included.
    EXPECT_EQ(Text(1, 1), "r1c1");
    EXPECT_EQ(Text(1, 3), "");
    EXPECT_EQ(Text(1, 4), "r1c3");
    list.SetColumnVisible(1, true);
    EXPECT_EQ(control.ShownText(1, 1), "r1c1");
    EXPECT_EQ(control.ShownText(1, 4), "r1c3");
}

TEST_F(ListBaseColumns, InsertionWithAnOrderTakesThatDisplayPosition)
{
    AddColumns(3);
    list.SetColumnVisible(1, false);
    control.ClearCalls();
    LVCOLUMNA d = ColumnDescriptor("Front", 40);
    d.mask |= LVCF_ORDER;
    d.iOrder = 2;  // logical order 2: after C0 and the hidden C1
    EXPECT_EQ(list.InsertColumn(3, d), 2);
    EXPECT_EQ(control.CallsOf("InsertColumn").at(0).subItem, 1);  // control order
    EXPECT_EQ(list.ColumnOrder(3), 2);
    EXPECT_EQ(list.ColumnOrder(2), 3);
    EXPECT_EQ(control.HeadingsInDisplayOrder(), (std::vector<std::string>{"C0", "Front", "C2"}));
    // An order beyond the end is clamped so the orders stay a permutation.
    d.iOrder = 50;
    EXPECT_EQ(list.InsertColumn(0, d), 0);
    EXPECT_EQ(list.ColumnOrder(0), 4);
}

struct KeyCase {
    const char* name;
    int key;
    bool insert;  // else delete
    int column;
    int expected;
};

class SortKeyFollowsColumn : public ListBaseFixture, public ::testing::WithParamInterface<KeyCase> { };

TEST_P(SortKeyFollowsColumn, OnInsertAndDelete)
{
    AddColumns(5);
    const KeyCase& c = GetParam();
    list.SetSortKey(c.key);
    if (c.insert) {
        ASSERT_GE(list.InsertColumn(c.column, ColumnDescriptor("N", 10)), 0);
    } else {
        ASSERT_TRUE(list.DeleteColumn(c.column));
    }
    EXPECT_EQ(list.SortKey(), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, SortKeyFollowsColumn,
                         ::testing::Values(KeyCase{"insert_at_1_key_minus_2", -2, true, 1, -3},
                                           KeyCase{"insert_at_sorted_column", 3, true, 2, 4},
                                           KeyCase{"insert_after_sorted_column", 2, true, 2, 2},
                                           KeyCase{"insert_at_end", -5, true, 5, -5},
                                           KeyCase{"insert_unsorted", 0, true, 0, 0},
                                           KeyCase{"delete_sorted_column", -2, false, 1, 0},
                                           KeyCase{"delete_just_after_sorted", 2, false, 2, 2},
                                           KeyCase{"delete_before_sorted", -4, false, 1, -3},
                                           KeyCase{"delete_before_sorted_ascending", 3, false, 0, 2}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ListBaseColumns, DeletingAHiddenColumnSendsNothingAndDropsItsCells)
{
    AddColumns(4);
    AddRows(2);
    list.SetColumnVisible(2, false);
    control.ClearCalls();
    EXPECT_TRUE(list.DeleteColumn(2));
    EXPECT_EQ(control.CountOf("DeleteColumn"), 0);
    EXPECT_EQ(list.GetColumnCount(), 3);
    EXPECT_EQ(list.HideableCount(), 2);
    EXPECT_EQ(Text(0, 2), "r0c3");
    EXPECT_EQ(list.ColumnOrder(2), 2);
    EXPECT_FALSE(list.DeleteColumn(3));
    EXPECT_FALSE(list.DeleteColumn(-1));
}

TEST_F(ListBaseColumns, RefusalsLeaveTheTableAsItWas)
{
    AddColumns(3);
    list.SetSortKey(2);
    control.refuse = {"InsertColumn", "DeleteColumn", "SetColumn", "SetColumnOrderArray"};
    EXPECT_EQ(list.InsertColumn(0, ColumnDescriptor("x", 10)), -1);
    EXPECT_FALSE(list.DeleteColumn(1));
    LVCOLUMNA d = ColumnDescriptor("renamed", 10);
    d.mask |= LVCF_ORDER;
    d.iOrder = 0;
    EXPECT_FALSE(list.SetColumn(1, d));
    const std::array<int, 3> display = {2, 1, 0};
    EXPECT_FALSE(list.SetColumnOrderArray(display));
    EXPECT_EQ(list.GetColumnCount(), 3);
    EXPECT_EQ(list.SortKey(), 2);
    EXPECT_EQ(list.ColumnHeading(1), "C1");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list.ColumnOrder(i), i);
    }
    // Hiding a column the control will not delete keeps it visible.
    list.SetColumnVisible(1, false);
    EXPECT_TRUE(list.IsColumnVisible(1));
}

// ---- Changing and reading columns ------------------------------------------------------------

TEST_F(ListBaseColumns, ChangingAHiddenColumnIsStoredAndGoesBackWithIt)
{
    AddColumns(3);
    list.SetColumnVisible(2, false);
    control.ClearCalls();
    LVCOLUMNA d;
    d.mask = LVCF_TEXT | LVCF_FMT | LVCF_IMAGE;
    d.pszText = In("Renamed");
    d.fmt = LVCFMT_RIGHT;
    d.iImage = 3;
    EXPECT_TRUE(list.SetColumn(2, d));
    EXPECT_TRUE(control.calls.empty());
    LVCOLUMNA back;
    back.mask = LVCF_FMT | LVCF_IMAGE;
    EXPECT_TRUE(list.GetColumn(2, back));
    EXPECT_EQ(back.fmt, LVCFMT_RIGHT);
    EXPECT_EQ(back.iImage, 3);
    EXPECT_EQ(Heading(2), "Renamed");
    list.SetColumnVisible(2, true);
    const ControlCall insert = control.CallsOf("InsertColumn").at(0);
    EXPECT_EQ(insert.text, "Renamed");
    EXPECT_EQ(insert.value, LVCFMT_RIGHT);
    EXPECT_EQ(control.columns[2].image, 3);
}

TEST_F(ListBaseColumns, ChangingAVisibleColumnTranslatesColumnAndOrder)
{
    AddColumns(4);
    list.SetColumnVisible(1, false);
    control.ClearCalls();
    LVCOLUMNA d;
    d.mask = LVCF_ORDER | LVCF_TEXT;
    d.pszText = In("Moved");
    d.iOrder = 0;
    EXPECT_TRUE(list.SetColumn(3, d));
    const ControlCall call = control.CallsOf("SetColumn").at(0);
    EXPECT_EQ(call.index, 2);
    EXPECT_EQ(call.subItem, 0);
    EXPECT_EQ(list.ColumnOrder(3), 0);
    EXPECT_EQ(list.ColumnOrder(0), 1);
    EXPECT_EQ(control.HeadingsInDisplayOrder(), (std::vector<std::string>{"Moved", "C0", "C2"}));
}

TEST_F(ListBaseColumns, HiddenHeadingIsCutToTheCallersBuffer)
{
    AddColumns(1);
    ASSERT_EQ(list.InsertColumn(1, ColumnDescriptor("A long heading", 50)), 1);
    list.AllowColumnHiding(1);
    list.SetColumnVisible(1, false);
    char buffer[6];
    std::fill(std::begin(buffer), std::end(buffer), 'X');
    LVCOLUMNA d;
    d.mask = LVCF_TEXT;
    d.pszText = buffer;
    d.cchTextMax = 5;
    EXPECT_TRUE(list.GetColumn(1, d));
    EXPECT_STREQ(buffer, "A lo");
    EXPECT_EQ(buffer[5], 'X');  // nothing beyond the capacity
    d.cchTextMax = 0;
    buffer[0] = 'Q';
    EXPECT_TRUE(list.GetColumn(1, d));
    EXPECT_EQ(buffer[0], 'Q');
}

TEST_F(ListBaseColumns, BadColumnIndexesAnswerZero)
{
    AddColumns(2);
    LVCOLUMNA d;
    d.mask = LVCF_WIDTH;
    EXPECT_FALSE(list.GetColumn(2, d));
    EXPECT_FALSE(list.GetColumn(-1, d));
    EXPECT_FALSE(list.SetColumn(2, d));
    EXPECT_EQ(list.GetColumnWidth(5), 0);
    EXPECT_EQ(list.ColumnOrder(5), -1);
}

// ---- Order arrays ----------------------------------------------------------------------------

TEST_F(ListBaseColumns, OrderArraysSpeakLogicalColumns)
{
    AddColumns(5);
    list.SetColumnVisible(3, false);
    control.ClearCalls();
    const std::array<int, 5> display = {4, 3, 0, 2, 1};
    ASSERT_TRUE(list.SetColumnOrderArray(display));
    // Control columns: logical 4 -> 3, 0 -> 0, 2 -> 2, 1 -> 1; the hidden 3 is left out.
    EXPECT_EQ(control.CallsOf("SetColumnOrderArray").at(0).array, (std::vector<int>{3, 0, 2, 1}));
    std::array<int, 5> back{};
    EXPECT_EQ(list.GetColumnOrderArray(back), 5);
    EXPECT_EQ(back, display);
    std::array<int, 3> shorter{};
    EXPECT_EQ(list.GetColumnOrderArray(shorter), 3);
    EXPECT_EQ(shorter, (std::array<int, 3>{4, 3, 0}));
    EXPECT_EQ(list.GetColumnOrderArray(std::span<int>()), 0);
    // Showing the hidden column puts it at its display position.
    list.SetColumnVisible(3, true);
    EXPECT_EQ(control.HeadingsInDisplayOrder(), (std::vector<std::string>{"C4", "C3", "C0", "C2", "C1"}));
}

TEST_F(ListBaseColumns, AnOrderArrayWithABadColumnChangesNothing)
{
    AddColumns(3);
    control.ClearCalls();
    const std::array<int, 3> bad = {0, 3, 1};
    EXPECT_FALSE(list.SetColumnOrderArray(bad));
    const std::array<int, 3> negative = {0, -1, 1};
    EXPECT_FALSE(list.SetColumnOrderArray(negative));
    EXPECT_FALSE(list.SetColumnOrderArray(std::span<const int>()));
    EXPECT_TRUE(control.calls.empty());
    // More entries than columns: the extra ones are ignored.
    const std::array<int, 5> longer = {2, 1, 0, 9, 9};
    EXPECT_TRUE(list.SetColumnOrderArray(longer));
    EXPECT_EQ(list.ColumnOrder(2), 0);
}

// ---- First column alignment ------------------------------------------------------------------

TEST_F(ListBaseColumns, FirstColumnAlignmentReachesTheHeaderOnlyWithFullRowSelection)
{
    list.SetExtendedStyle(0, LVS_EX_FULLROWSELECT);
    ASSERT_EQ(list.InsertColumn(0, ColumnDescriptor("B", 50)), 0);
    control.ClearCalls();
    ASSERT_EQ(list.InsertColumn(0, ColumnDescriptor("A", 50, LVCFMT_RIGHT)), 0);
    EXPECT_EQ(control.columns[0].headerFmt & HDF_JUSTIFYMASK, HDF_RIGHT);
    const auto sets = control.CallsOf("SetHeaderItem");
    ASSERT_FALSE(sets.empty());
    EXPECT_EQ(sets.back().index, 0);
    EXPECT_EQ(sets.back().value & HDF_JUSTIFYMASK, HDF_RIGHT);

    list.SetExtendedStyle(0, 0);
    control.ClearCalls();
    ASSERT_EQ(list.InsertColumn(0, ColumnDescriptor("Z", 50, LVCFMT_CENTER)), 0);
    EXPECT_EQ(control.CountOf("SetHeaderItem"), 0);
}

}  // namespace
}  // namespace vantor::test
