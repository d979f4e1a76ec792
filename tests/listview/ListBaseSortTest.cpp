// Sort dispatch, sort key, header markers, column clicks and the style copies.

#include "tests/listview/ListBaseFixture.h"

#include "platform/listcontrol/ImageList.h"

#include <algorithm>

namespace vantor::test {
namespace {

using namespace vantor::lc;

class ListBaseSort : public ListBaseFixture { };

struct SeenPairs {
    std::vector<LPARAM> values;
    LPARAM data = 0;
};

int CompareDescending(LPARAM a, LPARAM b, LPARAM sortData)
{
    auto* seen = reinterpret_cast<SeenPairs*>(sortData);
    seen->values.push_back(a);
    seen->values.push_back(b);
    return a > b ? -1 : (a < b ? 1 : 0);
}

TEST_F(ListBaseSort, TheCompareFunctionSeesOnlyTheCallersItemData)
{
    AddColumns(2);
    AddRows(6);
    SeenPairs seen;
    ASSERT_TRUE(list.SortItems(&CompareDescending, reinterpret_cast<LPARAM>(&seen)));
    ASSERT_FALSE(seen.values.empty());
    for (const LPARAM value : seen.values) {
        EXPECT_GE(value, 1000);
        EXPECT_LE(value, 1005);
    }
    // The control sorted with the extension's function and data, not the caller's.
    EXPECT_NE(control.CallsOf("SortItems").at(0).lParam, reinterpret_cast<LPARAM>(&seen));
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(control.ShownText(r, 1), CellName(5 - r, 1));
    }
    LVITEMA g;
    g.mask = LVIF_PARAM;
    g.iItem = 0;
    ASSERT_TRUE(list.GetItem(g));
    EXPECT_EQ(g.lParam, 1005);
}

TEST_F(ListBaseSort, SortingWithoutAFunctionOrRefusedAnswersFalse)
{
    AddColumns(1);
    AddRows(2);
    EXPECT_FALSE(list.SortItems(nullptr, 0));
    EXPECT_EQ(control.CountOf("SortItems"), 0);
    control.refuse = {"SortItems"};
    SeenPairs seen;
    EXPECT_FALSE(list.SortItems(&CompareDescending, reinterpret_cast<LPARAM>(&seen)));
    control.refuse.clear();
    EXPECT_TRUE(list.SortItems(&CompareDescending, reinterpret_cast<LPARAM>(&seen)));  // usable again
}

// Header format of every control column, in control order.
std::vector<int> HeaderFormats(const RecordingListControl& control)
{
    std::vector<int> out;
    for (const auto& column : control.columns) {
        out.push_back(column.headerFmt);
    }
    return out;
}

TEST_F(ListBaseSort, OnlyTheSortedColumnCarriesTheMarkerAndAlignmentsStay)
{
    ASSERT_EQ(list.InsertColumn(0, ColumnDescriptor("A", 50, LVCFMT_LEFT)), 0);
    ASSERT_EQ(list.InsertColumn(1, ColumnDescriptor("B", 50, LVCFMT_CENTER)), 1);
    ASSERT_EQ(list.InsertColumn(2, ColumnDescriptor("C", 50, LVCFMT_RIGHT)), 2);
    ASSERT_EQ(list.InsertColumn(3, ColumnDescriptor("D", 50, LVCFMT_RIGHT)), 3);
    control.columns[1].headerFmt |= HDF_IMAGE;  // stray bits are cleared
    list.SetSortKey(-3);
    list.ShowSortArrow(true);
    EXPECT_EQ(HeaderFormats(control),
              (std::vector<int>{HDF_STRING | HDF_LEFT, HDF_STRING | HDF_CENTER, HDF_STRING | HDF_RIGHT | HDF_SORTDOWN,
                                HDF_STRING | HDF_RIGHT}));
    list.SetSortKey(2);
    EXPECT_EQ(HeaderFormats(control), (std::vector<int>{HDF_STRING | HDF_LEFT, HDF_STRING | HDF_CENTER | HDF_SORTUP,
                                                        HDF_STRING | HDF_RIGHT, HDF_STRING | HDF_RIGHT}));
    list.ShowSortArrow(false);
    EXPECT_EQ(HeaderFormats(control), (std::vector<int>{HDF_STRING | HDF_LEFT, HDF_STRING | HDF_CENTER,
                                                        HDF_STRING | HDF_RIGHT, HDF_STRING | HDF_RIGHT}));
}

TEST_F(ListBaseSort, TheMarkerFollowsHiddenColumnsToTheRightHeaderItem)
{
    AddColumns(4);
    list.ShowSortArrow(true);
    list.SetSortKey(3);  // logical column 2
    list.SetColumnVisible(1, false);
    list.RefreshSortArrow();
    EXPECT_EQ(control.columns[1].headerFmt & (HDF_SORTUP | HDF_SORTDOWN), HDF_SORTUP);
    // Hiding and showing the sorted column itself brings the marker back with it.
    list.SetColumnVisible(2, false);
    for (const auto& column : control.columns) {
        EXPECT_EQ(column.headerFmt & (HDF_SORTUP | HDF_SORTDOWN), 0);
    }
    list.SetColumnVisible(2, true);
    EXPECT_EQ(control.columns[1].headerFmt & HDF_SORTUP, HDF_SORTUP);
}

TEST_F(ListBaseSort, SetSortKeyRepaintsOnlyWhenTheColumnChanges)
{
    AddColumns(3);
    control.invalidations = 0;
    list.SetSortKey(2);
    EXPECT_EQ(control.invalidations, 1);
    list.SetSortKey(-2);  // same column, other direction
    EXPECT_EQ(control.invalidations, 1);
    EXPECT_EQ(list.SortKey(), -2);
    control.ClearCalls();
    list.SetSortKey(-2);  // unchanged: nothing at all
    EXPECT_TRUE(control.calls.empty());
    list.SetSortKey(0);
    EXPECT_EQ(control.invalidations, 2);
}

struct ClickCase {
    const char* name;
    int keyBefore;
    int controlColumn;
    int logicalColumn;
    int keyAfter;
};

class ColumnClick : public ListBaseFixture, public ::testing::WithParamInterface<ClickCase> { };

TEST_P(ColumnClick, FlipsOrSetsTheKey)
{
    AddColumns(5);
    list.SetColumnVisible(1, false);  // control columns 0..3 = logical 0, 2, 3, 4
    const ClickCase& c = GetParam();
    list.SetSortKey(c.keyBefore);
    list.ShowSortArrow(true);
    NMLISTVIEW info;
    info.iSubItem = c.controlColumn;
    list.ReactToColumnClick(info);
    EXPECT_EQ(info.iSubItem, c.logicalColumn);
    EXPECT_EQ(list.SortKey(), c.keyAfter);
    if (c.logicalColumn >= 0) {
        const int marker = c.keyAfter > 0 ? HDF_SORTUP : HDF_SORTDOWN;
        EXPECT_EQ(control.columns[static_cast<std::size_t>(c.controlColumn)].headerFmt & marker, marker);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ColumnClick,
                         ::testing::Values(ClickCase{"same_column_flips", 3, 1, 2, -3},
                                           ClickCase{"same_column_flips_back", -3, 1, 2, 3},
                                           ClickCase{"other_column_ascending", -3, 3, 4, 5},
                                           ClickCase{"from_unsorted", 0, 0, 0, 1},
                                           ClickCase{"no_such_column", 2, 7, -1, 2}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ListBaseSort, ShadingFlagIsStoredAndRepaintsOnlyOnChange)
{
    AddColumns(2);
    control.invalidations = 0;
    list.ShadeSortedColumn(true);
    list.ShadeSortedColumn(true);
    EXPECT_TRUE(list.IsSortedColumnShaded());
    EXPECT_EQ(control.invalidations, 1);
    list.ShadeSortedColumn(false);
    EXPECT_EQ(control.invalidations, 2);
}

TEST_F(ListBaseSort, ExtendedStyleCopyIsAnsweredWithoutTheControl)
{
    control.extendedStyle = 0x100;
    EXPECT_EQ(list.SetExtendedStyle(0, 0x31), 0x100u);  // the control's previous style
    control.ClearCalls();
    EXPECT_EQ(list.GetExtendedStyle(), 0x31u);
    EXPECT_TRUE(control.calls.empty());
    EXPECT_EQ(control.extendedStyle, 0x31u);
    // A partial mask changes only the bits under it.
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    EXPECT_EQ(list.GetExtendedStyle(), LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(control.extendedStyle, list.GetExtendedStyle());
}

TEST_F(ListBaseSort, SmallImagesLeaveTheHeaderWithoutImages)
{
    ImageList list16(QSize(16, 16));
    ImageList* images = &list16;
    EXPECT_EQ(list.SetImageList(images, LVSIL_NORMAL), nullptr);
    EXPECT_EQ(control.CountOf("SetHeaderImageList"), 0);
    EXPECT_EQ(list.SetImageList(images, LVSIL_SMALL), nullptr);
    ASSERT_EQ(control.CountOf("SetHeaderImageList"), 1);
    EXPECT_EQ(control.headerImages, nullptr);
    EXPECT_EQ(control.imageLists[LVSIL_SMALL], images);
    EXPECT_EQ(list.SetImageList(nullptr, LVSIL_SMALL), images);
    EXPECT_EQ(control.CountOf("SetHeaderImageList"), 1);
}

}  // namespace
}  // namespace vantor::test
