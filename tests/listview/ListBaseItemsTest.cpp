// Item records: insertion, changes, reads, texts, deletion, finding and the display-text answer.

#include "tests/listview/ListBaseFixture.h"

#include <cstdint>
#include <cstring>

namespace vantor::test {
namespace {

using namespace vantor::lc;

class ListBaseItems : public ListBaseFixture { };

LVITEMA ParamItem(int item, LPARAM data)
{
    LVITEMA d;
    d.mask = LVIF_PARAM;
    d.iItem = item;
    d.lParam = data;
    return d;
}

TEST_F(ListBaseItems, ItemDataIsTheCallersWhileTheControlHoldsTheRecord)
{
    AddColumns(2);
    LVITEMA d = TextItem(0, 0, "dev");
    d.mask |= LVIF_PARAM;
    d.lParam = 0x1234;
    ASSERT_EQ(list.InsertItem(d), 0);

    const LPARAM held = control.items[0].lParam;
    EXPECT_NE(held, 0x1234);
    EXPECT_EQ(list.UserDataOf(held), 0x1234);
    EXPECT_EQ(control.CallsOf("InsertItem").at(0).mask & LVIF_PARAM, LVIF_PARAM);

    LVITEMA back;
    back.mask = LVIF_PARAM;
    back.iItem = 0;
    EXPECT_TRUE(list.GetItem(back));
    EXPECT_EQ(back.lParam, 0x1234);

    LVFINDINFOA find;
    find.flags = LVFI_PARAM;
    find.lParam = 0x1234;
    EXPECT_EQ(list.FindItem(-1, find), 0);
    find.lParam = 0x1235;
    EXPECT_EQ(list.FindItem(-1, find), -1);

    // New item data through SetItem: the control is not asked, the record changes.
    control.ClearCalls();
    EXPECT_TRUE(list.SetItem(ParamItem(0, 0x777)));
    EXPECT_EQ(control.CountOf("SetItem"), 0);
    EXPECT_EQ(control.items[0].lParam, held);
    EXPECT_TRUE(list.GetItem(back));
    EXPECT_EQ(back.lParam, 0x777);
}

TEST_F(ListBaseItems, WithoutASortStyleTheControlGetsTheCallbackMarker)
{
    AddColumns(3);
    AddRows(1);
    LVITEMA d = TextItem(0, 2, "changed");
    ASSERT_TRUE(list.SetItem(d));
    for (const ControlCall& call : control.calls) {
        if (call.op == "InsertItem" || call.op == "SetItem" || call.op == "SetItemText") {
            EXPECT_TRUE(call.textIsCallback) << call.op;
        }
    }
    // The control asks for each text when it paints.
    EXPECT_EQ(control.ShownText(0, 0), "r0c0");
    EXPECT_EQ(control.ShownText(0, 1), "r0c1");
    EXPECT_EQ(control.ShownText(0, 2), "changed");
}

TEST_F(ListBaseItems, WithASortStyleTheControlGetsTheRealTexts)
{
    control.style |= LVS_SORTASCENDING;
    AddColumns(3);
    AddRows(1);
    ASSERT_TRUE(list.SetItem(TextItem(0, 2, "changed")));
    EXPECT_EQ(control.CallsOf("InsertItem").at(0).text, "r0c0");
    EXPECT_EQ(control.CallsOf("SetItemText").at(0).text, "r0c1");
    EXPECT_FALSE(control.CallsOf("SetItemText").at(0).textIsCallback);
    EXPECT_EQ(control.CallsOf("SetItem").at(0).text, "changed");
    EXPECT_EQ(control.items[0].cells[1].kind, RecordingListControl::Cell::Kind::Text);
}

TEST_F(ListBaseItems, ACallersOwnCallbackMarkerGoesToTheParent)
{
    AddColumns(3);
    AddRows(2);
    ASSERT_TRUE(list.SetItemText(1, TextItem(1, 2, LPSTR_TEXTCALLBACK)));
    list.SetColumnVisible(1, false);
    list.parentAnswer = "from parent";
    EXPECT_EQ(control.ShownText(1, 1), "from parent");  // control column 1 = logical 2
    ASSERT_EQ(list.forwarded.size(), 1u);
    EXPECT_EQ(list.forwarded[0].item, 1);
    EXPECT_EQ(list.forwarded[0].subItem, 2);    // the logical column
    EXPECT_EQ(list.forwarded[0].lParam, 1001);  // the caller's item data
    EXPECT_EQ(Text(1, 1), "r1c1");
    // A hidden cell holding the marker has no text of its own to give.
    list.SetColumnVisible(2, false);
    list.AllowColumnHiding(2);
    EXPECT_EQ(Text(1, 2), "");
}

// A parent that reads a text while its own answer is being given.
class ReentrantListBase final : public CListBase {
public:
    using CListBase::CListBase;
    int parentCalls = 0;
    std::string innerText = "unset";

protected:
    void ForwardGetDispInfo(NMLVDISPINFOA& info) override
    {
        if (++parentCalls == 1) {
            NMLVDISPINFOA inner;
            inner.item.mask = LVIF_TEXT;
            inner.item.iSubItem = 0;
            inner.item.lParam = control->items[0].lParam;
            OnGetDispInfo(inner);  // would be answered "r0c0" if it were handled here
            innerText = inner.item.pszText != nullptr ? inner.item.pszText : "";
        }
        (void)info;
    }

public:
    RecordingListControl* control = nullptr;
};

TEST(ListBaseDispInfo, RequestsMadeWhileAnsweringGoStraightToTheParent)
{
    RecordingListControl control;
    ReentrantListBase list(control);
    list.control = &control;
    ASSERT_EQ(list.InsertColumn(0, ColumnDescriptor("C0", 10)), 0);
    ASSERT_EQ(list.InsertColumn(1, ColumnDescriptor("C1", 10)), 1);
    ASSERT_EQ(list.InsertItem(TextItem(0, 0, "r0c0")), 0);
    ASSERT_TRUE(list.SetItemText(0, TextItem(0, 1, LPSTR_TEXTCALLBACK)));

    NMLVDISPINFOA outer;
    outer.item.mask = LVIF_TEXT;
    outer.item.iSubItem = 1;
    outer.item.lParam = control.items[0].lParam;
    list.OnGetDispInfo(outer);
    EXPECT_EQ(list.parentCalls, 2);  // the nested request went to the parent as well
    EXPECT_EQ(list.innerText, "");
    EXPECT_EQ(outer.item.iSubItem, 1);  // the control column is given back
    EXPECT_EQ(outer.item.lParam, control.items[0].lParam);

    // Afterwards requests are answered again.
    NMLVDISPINFOA later;
    later.item.mask = LVIF_TEXT;
    later.item.iSubItem = 0;
    later.item.lParam = control.items[0].lParam;
    list.OnGetDispInfo(later);
    ASSERT_NE(later.item.pszText, nullptr);
    EXPECT_STREQ(later.item.pszText, "r0c0");
}

TEST_F(ListBaseItems, ALongTextIsCutToTheBufferLessOne)
{
    AddColumns(3);
    AddRows(1);
    ASSERT_TRUE(list.SetItemText(0, TextItem(0, 2, "0123456789")));
    for (const bool hidden : {false, true}) {
        if (hidden) {
            list.SetColumnVisible(2, false);
        }
        char buffer[8];
        std::memset(buffer, 'X', sizeof buffer);
        LVITEMA d;
        d.iSubItem = 2;
        d.pszText = buffer;
        d.cchTextMax = 5;
        EXPECT_EQ(list.GetItemText(0, d), 4) << "hidden " << hidden;
        EXPECT_STREQ(buffer, "0123");
        EXPECT_EQ(buffer[5], 'X');
        EXPECT_EQ(d.iSubItem, 2);

        std::memset(buffer, 'X', sizeof buffer);
        LVITEMA g;
        g.mask = LVIF_TEXT;
        g.iItem = 0;
        g.iSubItem = 2;
        g.pszText = buffer;
        g.cchTextMax = 3;
        EXPECT_TRUE(list.GetItem(g));
        EXPECT_STREQ(buffer, "01");
        EXPECT_EQ(buffer[3], 'X');
        EXPECT_EQ(g.mask, LVIF_TEXT);
        EXPECT_EQ(g.iSubItem, 2);
        EXPECT_EQ(Text(0, 2, 11), "0123456789");
    }
}

TEST_F(ListBaseItems, HiddenColumnReadsComeFromTheRecord)
{
    AddColumns(3);
    AddRows(2);
    LVITEMA d;
    d.mask = LVIF_IMAGE | LVIF_INDENT;
    d.iItem = 1;
    d.iSubItem = 2;
    d.iImage = 4;
    d.iIndent = 2;
    ASSERT_TRUE(list.SetItem(d));
    ASSERT_TRUE(list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED));
    list.SetColumnVisible(2, false);
    control.ClearCalls();

    char buffer[16] = {};
    LVITEMA g;
    g.mask = LVIF_IMAGE | LVIF_INDENT | LVIF_TEXT | LVIF_STATE;
    g.stateMask = LVIS_SELECTED;
    g.iItem = 1;
    g.iSubItem = 2;
    g.pszText = buffer;
    g.cchTextMax = sizeof buffer;
    g.lParam = 55;
    EXPECT_TRUE(list.GetItem(g));
    EXPECT_EQ(g.iImage, 4);
    EXPECT_EQ(g.iIndent, 2);
    EXPECT_STREQ(buffer, "r1c2");
    EXPECT_EQ(g.state, LVIS_SELECTED);
    EXPECT_EQ(g.lParam, 55);  // not asked for, left alone
    // The control was asked for the item's own part only.
    const ControlCall asked = control.CallsOf("GetItem").at(0);
    EXPECT_EQ(asked.subItem, 0);
    EXPECT_EQ(asked.mask, LVIF_PARAM | LVIF_STATE);

    // A cell never given an image answers 0.
    g.iItem = 0;
    g.mask = LVIF_IMAGE;
    g.iImage = 9;
    EXPECT_TRUE(list.GetItem(g));
    EXPECT_EQ(g.iImage, 0);
}

TEST_F(ListBaseItems, StateOfAHiddenFirstColumnStillReachesTheItem)
{
    AddColumns(3);
    list.AllowColumnHiding(0);
    AddRows(1);
    list.SetColumnVisible(0, false);
    control.ClearCalls();
    LVITEMA d = TextItem(0, 0, "new name");
    d.mask |= LVIF_STATE;
    d.state = LVIS_SELECTED;
    d.stateMask = LVIS_SELECTED;
    EXPECT_TRUE(list.SetItem(d));
    const ControlCall call = control.CallsOf("SetItem").at(0);
    EXPECT_EQ(call.mask, LVIF_STATE);
    EXPECT_EQ(call.subItem, 0);
    EXPECT_EQ(control.items[0].state, LVIS_SELECTED);
    EXPECT_EQ(Text(0, 0), "new name");
}

TEST_F(ListBaseItems, ShowingTheFirstColumnAgainKeepsCurrentItemDataAndState)
{
    AddColumns(2);
    list.AllowColumnHiding(0);
    LVITEMA d = TextItem(0, 0, "row");
    d.mask |= LVIF_PARAM | LVIF_STATE;
    d.lParam = 1;
    d.state = LVIS_SELECTED;
    d.stateMask = LVIS_SELECTED;
    ASSERT_EQ(list.InsertItem(d), 0);
    ASSERT_TRUE(list.SetItem(ParamItem(0, 2)));
    ASSERT_TRUE(list.SetItemState(0, 0, LVIS_SELECTED));
    list.SetColumnVisible(0, false);
    list.SetColumnVisible(0, true);
    LVITEMA g;
    g.mask = LVIF_PARAM | LVIF_STATE;
    g.stateMask = LVIS_SELECTED;
    g.iItem = 0;
    ASSERT_TRUE(list.GetItem(g));
    EXPECT_EQ(g.lParam, 2);
    EXPECT_EQ(g.state, 0u);
    EXPECT_EQ(control.ShownText(0, 0), "row");
}

TEST_F(ListBaseItems, BadArgumentsAnswerZero)
{
    AddColumns(2);
    AddRows(1);
    control.ClearCalls();
    EXPECT_EQ(list.InsertItem(TextItem(-1, 0, "x")), -1);
    EXPECT_FALSE(list.SetItem(TextItem(0, 2, "x")));
    EXPECT_FALSE(list.SetItem(TextItem(-1, 0, "x")));
    EXPECT_FALSE(list.SetItemText(0, TextItem(0, -1, "x")));
    EXPECT_FALSE(list.SetItemText(-2, TextItem(0, 1, "x")));
    LVITEMA g;
    g.mask = LVIF_PARAM;
    g.iSubItem = 5;
    EXPECT_FALSE(list.GetItem(g));
    g.iSubItem = 0;
    g.iItem = -1;
    EXPECT_FALSE(list.GetItem(g));
    char buffer[4] = {'a', 'b', 'c', 0};
    LVITEMA t;
    t.iSubItem = 9;
    t.pszText = buffer;
    t.cchTextMax = sizeof buffer;
    EXPECT_EQ(list.GetItemText(0, t), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(list.DeleteItem(-1));
    EXPECT_FALSE(list.DeleteItem(1));
    EXPECT_TRUE(control.CallsOf("InsertItem").empty());
    EXPECT_TRUE(control.CallsOf("SetItem").empty());
    EXPECT_TRUE(control.CallsOf("SetItemText").empty());
    EXPECT_EQ(list.RecordCount(), 1);
}

TEST_F(ListBaseItems, RefusalsFreeWhatWasMadeAndKeepRecordsUnchanged)
{
    AddColumns(2);
    AddRows(1);
    control.refuse = {"InsertItem", "SetItem", "SetItemText", "DeleteItem"};
    EXPECT_EQ(list.InsertItem(TextItem(1, 0, "x")), -1);
    EXPECT_EQ(list.RecordCount(), 1);
    EXPECT_FALSE(list.SetItem(TextItem(0, 1, "x")));
    EXPECT_FALSE(list.SetItemText(0, TextItem(0, 1, "y")));
    EXPECT_FALSE(list.DeleteItem(0));
    EXPECT_EQ(list.RecordCount(), 1);
    control.refuse.clear();
    EXPECT_EQ(control.ShownText(0, 1), "r0c1");
    // A hidden column's change needs no control and still reaches the record.
    list.SetColumnVisible(1, false);
    control.refuse = {"SetItem"};
    EXPECT_TRUE(list.SetItem(TextItem(0, 1, "z")));
    EXPECT_EQ(Text(0, 1), "z");
}

TEST_F(ListBaseItems, AnItemTheExtensionDidNotInsertHasNoRecord)
{
    AddColumns(2);
    AddRows(1);
    LVITEMA foreign = TextItem(1, 0, "foreign");
    foreign.mask |= LVIF_PARAM;
    foreign.lParam = 42;
    ASSERT_EQ(control.InsertItem(foreign), 1);  // behind the extension's back
    list.SetColumnVisible(1, false);
    EXPECT_EQ(Text(1, 1), "");
    EXPECT_FALSE(list.DeleteItem(1));
    LVITEMA g;
    g.mask = LVIF_PARAM;
    g.iItem = 1;
    EXPECT_TRUE(list.GetItem(g));
    EXPECT_EQ(g.lParam, 42);
    EXPECT_EQ(list.UserDataOf(42), 42);
    EXPECT_TRUE(list.SetItemText(1, TextItem(1, 1, "kept nowhere")));
    EXPECT_FALSE(list.DeleteAllItems());  // the foreign item was deleted, but had no record
    EXPECT_EQ(control.GetItemCount(), 0);
    EXPECT_EQ(list.RecordCount(), 0);
}

TEST_F(ListBaseItems, DeletingAllOfFiveDeletesEachFromLastToFirst)
{
    AddColumns(2);
    AddRows(5);
    std::vector<std::pair<int, LPARAM>> deletions;
    control.itemDeleted = [&](int item, LPARAM data) { deletions.emplace_back(item, list.UserDataOf(data)); };
    control.ClearCalls();
    EXPECT_TRUE(list.DeleteAllItems());
    std::vector<int> order;
    for (const ControlCall& call : control.CallsOf("DeleteItem")) {
        order.push_back(call.index);
    }
    EXPECT_EQ(order, (std::vector<int>{4, 3, 2, 1, 0}));
    EXPECT_EQ(control.CountOf("DeleteAllItems"), 0);
    // Each deletion was heard while the record still answered with the caller's data.
    EXPECT_EQ(deletions, (std::vector<std::pair<int, LPARAM>>{{4, 1004}, {3, 1003}, {2, 1002}, {1, 1001}, {0, 1000}}));
    EXPECT_EQ(list.RecordCount(), 0);
    EXPECT_TRUE(list.DeleteAllItems());  // an empty list
}

TEST_F(ListBaseItems, DeletingAllStopsNowhereButReportsARefusal)
{
    AddColumns(1);
    AddRows(3);
    control.refuse = {"DeleteItem"};
    EXPECT_FALSE(list.DeleteAllItems());
    EXPECT_EQ(list.RecordCount(), 3);
    EXPECT_EQ(control.CountOf("DeleteItem"), 3);
}

TEST_F(ListBaseItems, DeletingOneItemFreesItsRecord)
{
    AddColumns(2);
    AddRows(3);
    EXPECT_TRUE(list.DeleteItem(1));
    EXPECT_EQ(list.RecordCount(), 2);
    EXPECT_EQ(control.ShownText(1, 1), "r2c1");
    LVITEMA g;
    g.mask = LVIF_PARAM;
    g.iItem = 1;
    EXPECT_TRUE(list.GetItem(g));
    EXPECT_EQ(g.lParam, 1002);
}

TEST_F(ListBaseItems, ADeletedItemsHandleNamesNoRecordOnceItsSlotIsReused)
{
    AddColumns(2);
    AddRows(2);
    const LPARAM stale = control.items[1].lParam;
    ASSERT_TRUE(list.DeleteItem(1));
    LVITEMA d = TextItem(1, 0, "again");
    d.mask |= LVIF_PARAM;
    d.lParam = 0x55;
    ASSERT_EQ(list.InsertItem(d), 1);
    const LPARAM fresh = control.items[1].lParam;
    EXPECT_NE(fresh, stale);
    EXPECT_EQ(list.UserDataOf(fresh), 0x55);
    EXPECT_EQ(list.UserDataOf(stale), stale);  // a foreign value, not the new record

    // Values next to a live handle (mark bit, generation, index) are foreign too.
    const auto bits = static_cast<std::uint64_t>(fresh);
    for (const std::uint64_t near :
         {bits ^ (std::uint64_t{1} << 63), bits + (std::uint64_t{1} << 32), bits - (std::uint64_t{1} << 32),
          bits + 1000, std::uint64_t{1}, ~std::uint64_t{0}}) {
        const auto value = static_cast<LPARAM>(near);
        EXPECT_EQ(list.UserDataOf(value), value) << std::hex << near;
    }

    // An item inserted behind the extension's back with the stale handle has no record.
    LVITEMA foreign = TextItem(2, 0, "foreign");
    foreign.mask |= LVIF_PARAM;
    foreign.lParam = stale;
    ASSERT_EQ(control.InsertItem(foreign), 2);
    list.SetColumnVisible(1, false);
    EXPECT_EQ(Text(2, 1), "");
    EXPECT_FALSE(list.DeleteItem(2));
    EXPECT_EQ(list.RecordCount(), 2);
    EXPECT_EQ(Text(0, 1), "r0c1");
}

TEST_F(ListBaseItems, FindingByItemDataWrapsAroundTheStart)
{
    AddColumns(1);
    AddRows(10);
    const auto searched = [&](int start, LPARAM data, unsigned flags) {
        control.ClearCalls();
        LVFINDINFOA find;
        find.flags = LVFI_PARAM | flags;
        find.lParam = data;
        const int found = list.FindItem(start, find);
        std::vector<int> items;
        for (const ControlCall& call : control.CallsOf("GetItem")) {
            items.push_back(call.index);
        }
        EXPECT_EQ(control.CountOf("FindItem"), 0);  // the control's item data is the record
        return std::make_pair(found, items);
    };
    const auto [none, visited] = searched(3, 9999, LVFI_WRAP);
    EXPECT_EQ(none, -1);
    EXPECT_EQ(visited, (std::vector<int>{4, 5, 6, 7, 8, 9, 0, 1, 2, 3}));

    EXPECT_EQ(searched(3, 1002, LVFI_WRAP).first, 2);
    EXPECT_EQ(searched(3, 1003, LVFI_WRAP).first, 3);  // the start itself, last
    EXPECT_EQ(searched(3, 1002, 0).first, -1);
    EXPECT_EQ(searched(3, 1007, 0).first, 7);
    EXPECT_EQ(searched(-1, 1000, LVFI_WRAP).first, 0);
    EXPECT_EQ(searched(9, 1000, 0).first, -1);
    EXPECT_EQ(searched(50, 1000, LVFI_WRAP).first, 0);
}

TEST_F(ListBaseItems, FindingByTextIsTheControlsJob)
{
    AddColumns(1);
    AddRows(3);
    LVFINDINFOA find;
    find.flags = LVFI_STRING | LVFI_WRAP;
    find.psz = "r1c0";
    EXPECT_EQ(list.FindItem(2, find), 1);
    EXPECT_EQ(control.CountOf("FindItem"), 1);
}

TEST_F(ListBaseItems, FirstSetOfACellStoresItAndInsertedColumnsMakeEmptySlots)
{
    AddColumns(2);
    LVITEMA d;
    d.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    d.iItem = 0;
    d.pszText = In("row");
    d.iImage = 2;
    d.lParam = 7;
    ASSERT_EQ(list.InsertItem(d), 0);
    EXPECT_EQ(control.items[0].cells[0].image, 2);
    ASSERT_EQ(list.InsertColumn(0, ColumnDescriptor("New", 20)), 0);
    list.AllowColumnHiding(0);
    list.AllowColumnHiding(1);
    list.SetColumnVisible(0, false);
    EXPECT_EQ(Text(0, 0), "");
    list.SetColumnVisible(1, false);
    EXPECT_EQ(Text(0, 1), "row");
    LVITEMA g;
    g.mask = LVIF_IMAGE | LVIF_PARAM;
    g.iItem = 0;
    g.iSubItem = 1;
    EXPECT_TRUE(list.GetItem(g));
    EXPECT_EQ(g.iImage, 2);
    EXPECT_EQ(g.lParam, 7);
}

}  // namespace
}  // namespace vantor::test
