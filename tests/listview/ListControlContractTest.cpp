// The recording control stands in for the real list control in the extension's unit tests. One
// typed suite runs the same calls against both, so the stand-in cannot drift from what the real
// control answers.
#include "platform/listcontrol/ListControl.h"
#include "tests/listview/RecordingListControl.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace vantor {
namespace {

using namespace lc;

template <class Control>
class ListControlContract : public ::testing::Test {
protected:
    Control control;

    int AddColumn(int at, const char* heading)
    {
        LVCOLUMNA column;
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(heading);
        column.cx = 50;
        return control.InsertColumn(at, column);
    }
    int AddItem(int at, const char* text, LPARAM data)
    {
        LVITEMA item;
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = at;
        item.pszText = const_cast<char*>(text);
        item.lParam = data;
        return control.InsertItem(item);
    }
    void SetText(int item, int column, const char* text)
    {
        LVITEMA descriptor;
        descriptor.iSubItem = column;
        descriptor.pszText = const_cast<char*>(text);
        control.SetItemText(item, descriptor);
    }
    std::string Text(int item, int column, int capacity = 64)
    {
        std::vector<char> buffer(static_cast<std::size_t>(capacity) + 1, '#');
        LVITEMA descriptor;
        descriptor.iSubItem = column;
        descriptor.pszText = buffer.data();
        descriptor.cchTextMax = capacity;
        const int copied = control.GetItemText(item, descriptor);
        EXPECT_EQ(static_cast<int>(std::string(buffer.data()).size()), copied);
        return buffer.data();
    }
    std::vector<LPARAM> DataInOrder()
    {
        std::vector<LPARAM> data;
        for (int i = 0; i < control.GetItemCount(); ++i) {
            LVITEMA item;
            item.mask = LVIF_PARAM;
            item.iItem = i;
            EXPECT_TRUE(control.GetItem(item));
            data.push_back(item.lParam);
        }
        return data;
    }
    std::vector<int> Order()
    {
        std::vector<int> order(static_cast<std::size_t>(control.GetColumnCount()));
        EXPECT_TRUE(control.GetColumnOrderArray(order));
        return order;
    }
};

using Controls = ::testing::Types<test::RecordingListControl, ListControl>;
TYPED_TEST_SUITE(ListControlContract, Controls);

TYPED_TEST(ListControlContract, ItemsColumnsAndTextsAnswerAlike)
{
    auto& list = this->control;
    ASSERT_EQ(this->AddColumn(0, "A"), 0);
    ASSERT_EQ(this->AddColumn(5, "B"), 1) << "a column index past the end appends";
    EXPECT_EQ(this->AddItem(0, "one", 10), 0);
    EXPECT_EQ(this->AddItem(99, "three", 30), 1) << "an item index past the end appends";
    EXPECT_EQ(this->AddItem(1, "two", 20), 1);
    this->SetText(1, 1, "second");
    EXPECT_EQ(this->DataInOrder(), (std::vector<LPARAM>{10, 20, 30}));
    EXPECT_EQ(this->Text(1, 1), "second");
    EXPECT_EQ(this->Text(2, 0, 3), "th") << "cut to the capacity less one";
    EXPECT_EQ(this->Text(7, 0), "") << "no such item";

    // A new first column keeps the items' own texts in column 0 and moves the sub-items along.
    ASSERT_EQ(this->AddColumn(0, "New"), 0);
    EXPECT_EQ(this->Text(1, 0), "two");
    EXPECT_EQ(this->Text(1, 2), "second");
    EXPECT_EQ(this->Text(1, 1), "");

    const std::array<int, 3> reordered = {2, 0, 1};
    EXPECT_TRUE(list.SetColumnOrderArray(reordered));
    EXPECT_EQ(this->Order(), (std::vector<int>{2, 0, 1}));
    for (const std::vector<int>& bad : {std::vector<int>{0, 0, 1}, std::vector<int>{0, 1}, std::vector<int>{0, 1, 3}})
        EXPECT_FALSE(list.SetColumnOrderArray(bad)) << bad.size();
    EXPECT_EQ(this->Order(), (std::vector<int>{2, 0, 1})) << "a refused order changes nothing";
    EXPECT_TRUE(list.DeleteColumn(0));
    EXPECT_EQ(this->Order(), (std::vector<int>{1, 0})) << "later columns close up in the order";
    EXPECT_FALSE(list.DeleteColumn(2));
}

TYPED_TEST(ListControlContract, SelectionFindSortMoveAndDeleteAnswerAlike)
{
    auto& list = this->control;
    ASSERT_EQ(this->AddColumn(0, "A"), 0);
    for (const LPARAM data : {40, 10, 30, 20})
        this->AddItem(list.GetItemCount(), "x", data);

    EXPECT_TRUE(list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_TRUE(list.SetItemState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(list.GetSelectedCount(), 2);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(list.GetNextItem(1, LVNI_SELECTED), 3);
    EXPECT_EQ(list.GetNextItem(3, LVNI_SELECTED), -1);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 3);
    EXPECT_FALSE(list.SetItemState(9, LVIS_SELECTED, LVIS_SELECTED));

    struct FindRow {
        int start;
        unsigned flags;
        LPARAM data;
        int found;
    };
    for (const FindRow& row :
         {FindRow{-1, LVFI_PARAM, 30, 2}, FindRow{2, LVFI_PARAM, 30, -1}, FindRow{2, LVFI_PARAM | LVFI_WRAP, 30, 2},
          FindRow{3, LVFI_PARAM | LVFI_WRAP, 40, 0}, FindRow{-1, LVFI_PARAM, 99, -1}}) {
        LVFINDINFOA find;
        find.flags = row.flags;
        find.lParam = row.data;
        EXPECT_EQ(list.FindItem(row.start, find), row.found) << row.start << " " << row.data;
    }

    const PFNLVCOMPARE ascending = [](LPARAM a, LPARAM b, LPARAM) { return a < b ? -1 : (a > b ? 1 : 0); };
    EXPECT_TRUE(list.SortItems(ascending, 0));
    EXPECT_EQ(this->DataInOrder(), (std::vector<LPARAM>{10, 20, 30, 40}));
    EXPECT_EQ(list.GetItemState(0, LVIS_SELECTED), LVIS_SELECTED) << "the state travels with its item";
    EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);

    EXPECT_TRUE(list.MoveItem(0, 3));
    EXPECT_EQ(this->DataInOrder(), (std::vector<LPARAM>{20, 30, 40, 10}));
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_FALSE(list.DeleteItem(3));
    EXPECT_EQ(list.GetSelectedCount(), 1) << "the deleted item's selection goes with it";
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetSelectedCount(), 0);
}

}  // namespace
}  // namespace vantor
