// Answers of the list control's messages: indexes, buffers, texts, searching, sorting, moving,
// columns and their display order, styles, states and deletion notifications.

#include "ListFixtures.h"
#include "RecordingListener.h"

#include "platform/listcontrol/ListControl.h"
#include "tests/support/RowNotices.h"

#include <QAbstractItemModel>
#include <QPersistentModelIndex>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace vantor::lc {
namespace {

using test::AddColumns;
using test::AddItem;
using test::DataOf;
using test::FirstColumn;
using test::OrderOf;
using test::RecordingListener;
using test::SetText;
using test::TextOf;

// A list of three columns and four items "i0".."i3" (item data 100..103), cells "iN:c".
class ListControlApi : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.SetListener(&listener);
        AddColumns(list, 3);
        for (int i = 0; i < 4; ++i) {
            AddItem(list, i, "i" + std::to_string(i), 100 + i);
            for (int c = 1; c < 3; ++c)
                SetText(list, i, c, "i" + std::to_string(i) + ":" + std::to_string(c));
        }
    }

    // Everything a refused request must leave as it was.
    std::string Snapshot() const
    {
        std::string s = std::to_string(list.GetColumnCount()) + "/" + std::to_string(list.GetItemCount()) + "/";
        for (int i = 0; i < list.GetItemCount(); ++i) {
            for (int c = 0; c < list.GetColumnCount(); ++c)
                s += TextOf(list, i, c) + ",";
            s += std::to_string(DataOf(list, i)) + "," + std::to_string(list.GetItemState(i, ~0u)) + ";";
        }
        for (int c = 0; c < list.GetColumnCount(); ++c)
            s += std::to_string(list.GetColumnWidth(c)) + ",";
        for (int o : OrderOf(list))
            s += std::to_string(o);
        return s;
    }

    RecordingListener listener;
    ListControl list;
};

TEST_F(ListControlApi, BadIndexesAreRefusedAndChangeNothing)
{
    struct Case {
        const char* label;
        std::function<int(ListControl&)> call;
        int expected;
    };
    char buffer[16] = "keep";
    const std::vector<Case> table = {
        {"InsertColumn -1", [](ListControl& l) { return l.InsertColumn(-1, LVCOLUMNA{}); }, -1},
        {"DeleteColumn 3", [](ListControl& l) { return int(l.DeleteColumn(3)); }, 0},
        {"DeleteColumn -1", [](ListControl& l) { return int(l.DeleteColumn(-1)); }, 0},
        {"GetColumn 3",
         [](ListControl& l) {
             LVCOLUMNA c;
             c.mask = LVCF_WIDTH;
             return int(l.GetColumn(3, c));
         },
         0},
        {"SetColumn 5",
         [](ListControl& l) {
             LVCOLUMNA c;
             c.mask = LVCF_WIDTH;
             c.cx = 9;
             return int(l.SetColumn(5, c));
         },
         0},
        {"GetColumnWidth -1", [](ListControl& l) { return l.GetColumnWidth(-1); }, 0},
        {"SetColumnWidth 3", [](ListControl& l) { return int(l.SetColumnWidth(3, 50)); }, 0},
        {"SetColumnWidth -7", [](ListControl& l) { return int(l.SetColumnWidth(0, -7)); }, 0},
        {"GetHeaderItem 3",
         [](ListControl& l) {
             HDITEMA h;
             h.mask = HDI_WIDTH;
             return int(l.GetHeaderItem(3, h));
         },
         0},
        {"SetHeaderItem -1",
         [](ListControl& l) {
             HDITEMA h;
             h.mask = HDI_WIDTH;
             return int(l.SetHeaderItem(-1, h));
         },
         0},
        {"GetHeaderItemRect 3",
         [](ListControl& l) {
             QRect r;
             return int(l.GetHeaderItemRect(3, r));
         },
         0},
        {"InsertItem -1",
         [](ListControl& l) {
             LVITEMA i;
             i.iItem = -1;
             return l.InsertItem(i);
         },
         -1},
        {"InsertItem sub-item 1",
         [](ListControl& l) {
             LVITEMA i;
             i.iSubItem = 1;
             return l.InsertItem(i);
         },
         -1},
        {"SetItem item 4",
         [](ListControl& l) {
             LVITEMA i;
             i.mask = LVIF_PARAM;
             i.iItem = 4;
             return int(l.SetItem(i));
         },
         0},
        {"SetItem column 3",
         [](ListControl& l) {
             LVITEMA i;
             i.mask = LVIF_TEXT;
             i.iSubItem = 3;
             return int(l.SetItem(i));
         },
         0},
        {"SetItemText -1",
         [](ListControl& l) {
             LVITEMA i;
             return int(l.SetItemText(-1, i));
         },
         0},
        {"GetItem item 4",
         [](ListControl& l) {
             LVITEMA i;
             i.mask = LVIF_PARAM;
             i.iItem = 4;
             return int(l.GetItem(i));
         },
         0},
        {"GetItem column -1",
         [](ListControl& l) {
             LVITEMA i;
             i.mask = LVIF_PARAM;
             i.iSubItem = -1;
             return int(l.GetItem(i));
         },
         0},
        {"GetItemText item 9",
         [&](ListControl& l) {
             LVITEMA i;
             i.pszText = buffer;
             i.cchTextMax = 16;
             return l.GetItemText(9, i);
         },
         0},
        {"SetItemState 4", [](ListControl& l) { return int(l.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED)); }, 0},
        {"SetItemState -2", [](ListControl& l) { return int(l.SetItemState(-2, LVIS_SELECTED, LVIS_SELECTED)); }, 0},
        {"GetItemState 4", [](ListControl& l) { return int(l.GetItemState(4, ~0u)); }, 0},
        {"DeleteItem 4", [](ListControl& l) { return int(l.DeleteItem(4)); }, 0},
        {"DeleteItem -1", [](ListControl& l) { return int(l.DeleteItem(-1)); }, 0},
        {"MoveItem 0 to 4", [](ListControl& l) { return int(l.MoveItem(0, 4)); }, 0},
        {"MoveItem -1 to 0", [](ListControl& l) { return int(l.MoveItem(-1, 0)); }, 0},
        {"SortItems null", [](ListControl& l) { return int(l.SortItems(nullptr, 0)); }, 0},
        {"GetItemRect 4",
         [](ListControl& l) {
             QRect r;
             return int(l.GetItemRect(4, r, LVIR_BOUNDS));
         },
         0},
        {"GetItemRect code 9",
         [](ListControl& l) {
             QRect r;
             return int(l.GetItemRect(0, r, 9));
         },
         0},
        {"GetSubItemRect column 3",
         [](ListControl& l) {
             QRect r;
             return int(l.GetSubItemRect(0, 3, LVIR_BOUNDS, r));
         },
         0},
        {"GetNextItem after last", [](ListControl& l) { return l.GetNextItem(3, LVNI_ALL); }, -1},
        {"SetImageList slot 7", [](ListControl& l) { return int(l.SetImageList(nullptr, 7) != nullptr); }, 0},
        {"order array too short",
         [](ListControl& l) {
             std::array<int, 2> o{0, 1};
             return int(l.SetColumnOrderArray(o));
         },
         0},
        {"order array repeated",
         [](ListControl& l) {
             std::array<int, 3> o{0, 1, 1};
             return int(l.SetColumnOrderArray(o));
         },
         0},
        {"order array out of range",
         [](ListControl& l) {
             std::array<int, 3> o{0, 1, 3};
             return int(l.SetColumnOrderArray(o));
         },
         0},
        {"get order array wrong size",
         [](const ListControl& l) {
             std::array<int, 4> o{};
             return int(l.GetColumnOrderArray(o));
         },
         0},
    };
    const std::string before = Snapshot();
    for (const Case& row : table) {
        listener.deleted.clear();
        EXPECT_EQ(row.call(list), row.expected) << row.label;
        EXPECT_EQ(Snapshot(), before) << row.label;
        EXPECT_TRUE(listener.deleted.empty()) << row.label;
    }
    EXPECT_STREQ(buffer, "") << "a bad item still leaves a terminated, empty text";
}

TEST_F(ListControlApi, TextReadsCutToTheBufferAndNeverOverrun)
{
    SetText(list, 1, 2, "abcdef");
    LVCOLUMNA rename;
    rename.mask = LVCF_TEXT;
    char heading[] = "Gateway";
    rename.pszText = heading;
    list.SetColumn(2, rename);

    struct Case {
        int capacity;
        std::string expected;  // what lands in the buffer before the terminator
        int result;            // characters copied (GetItemText)
    };
    const std::vector<Case> table = {{0, "", 0},    {1, "", 0},       {2, "a", 1},
                                     {4, "abc", 3}, {7, "abcdef", 6}, {40, "abcdef", 6}};
    for (const Case& row : table) {
        const auto check = [&](const char* what, const std::array<char, 48>& buffer, const std::string& text) {
            const std::size_t cut = row.capacity <= 0 ? 0 : std::min<std::size_t>(text.size(), row.capacity - 1);
            if (row.capacity <= 0) {
                EXPECT_EQ(buffer[0], '#') << what << " wrote into a buffer of capacity 0";
            } else {
                EXPECT_EQ(std::string(buffer.data()), text.substr(0, cut)) << what << " capacity " << row.capacity;
            }
            const std::size_t used = row.capacity <= 0 ? 0 : cut + 1;
            for (std::size_t i = used; i < buffer.size(); ++i)
                ASSERT_EQ(buffer[i], '#') << what << ": byte " << i << " overrun at capacity " << row.capacity;
        };
        std::array<char, 48> buffer;

        buffer.fill('#');
        LVITEMA text;
        text.iSubItem = 2;
        text.pszText = buffer.data();
        text.cchTextMax = row.capacity;
        EXPECT_EQ(list.GetItemText(1, text), row.result);
        check("GetItemText", buffer, "abcdef");

        buffer.fill('#');
        LVITEMA item;
        item.mask = LVIF_TEXT;
        item.iItem = 1;
        item.iSubItem = 2;
        item.pszText = buffer.data();
        item.cchTextMax = row.capacity;
        EXPECT_TRUE(list.GetItem(item));
        check("GetItem", buffer, "abcdef");

        buffer.fill('#');
        LVCOLUMNA column;
        column.mask = LVCF_TEXT;
        column.pszText = buffer.data();
        column.cchTextMax = row.capacity;
        EXPECT_TRUE(list.GetColumn(2, column));
        check("GetColumn", buffer, "Gateway");

        buffer.fill('#');
        HDITEMA header;
        header.mask = HDI_TEXT;
        header.pszText = buffer.data();
        header.cchTextMax = row.capacity;
        EXPECT_TRUE(list.GetHeaderItem(2, header));
        check("GetHeaderItem", buffer, "Gateway");
    }
    // The callback marker is an address, never a buffer to write into.
    LVITEMA marker;
    marker.pszText = LPSTR_TEXTCALLBACK;
    marker.cchTextMax = 64;
    EXPECT_EQ(list.GetItemText(0, marker), 0);
}

TEST_F(ListControlApi, CallbackTextsAreAskedFromTheListener)
{
    LVITEMA callback;
    callback.iSubItem = 1;
    callback.pszText = LPSTR_TEXTCALLBACK;
    ASSERT_TRUE(list.SetItemText(2, callback));

    // Answer into the supplied buffer.
    listener.answerText = [](NMLVDISPINFOA& info) {
        std::snprintf(info.item.pszText, static_cast<std::size_t>(info.item.cchTextMax), "row %d col %d",
                      info.item.iItem, info.item.iSubItem);
    };
    EXPECT_EQ(TextOf(list, 2, 1), "row 2 col 1");
    ASSERT_EQ(listener.dispInfo.size(), 1u);
    EXPECT_EQ(listener.dispInfo[0].item, 2);
    EXPECT_EQ(listener.dispInfo[0].column, 1);
    EXPECT_EQ(listener.dispInfo[0].itemData, 102);
    EXPECT_EQ(list.ItemDisplayText(2, 1), QStringLiteral("row 2 col 1"));
    ASSERT_TRUE(vantor::test::WaitForRowNotice(list.Model()));
    EXPECT_EQ(list.Model()->index(2, 1).data().toString(), QStringLiteral("row 2 col 1"));

    // Answer with the listener's own text: copied, cut to the caller's buffer.
    static char own[] = "from the listener";
    listener.answerText = [](NMLVDISPINFOA& info) { info.item.pszText = own; };
    std::array<char, 9> small;
    small.fill('#');
    LVITEMA read;
    read.iSubItem = 1;
    read.pszText = small.data();
    read.cchTextMax = 5;
    EXPECT_EQ(list.GetItemText(2, read), 4);
    EXPECT_STREQ(small.data(), "from");
    EXPECT_EQ(small[5], '#');

    // No answer, or the marker handed back: an empty text.
    listener.answerText = [](NMLVDISPINFOA& info) { info.item.pszText = LPSTR_TEXTCALLBACK; };
    EXPECT_EQ(TextOf(list, 2, 1), "");
    listener.answerText = nullptr;
    EXPECT_EQ(TextOf(list, 2, 1), "");
    // Stored cells are never asked.
    const std::size_t asked = listener.dispInfo.size();
    EXPECT_EQ(TextOf(list, 2, 2), "i2:2");
    EXPECT_EQ(listener.dispInfo.size(), asked);
}

TEST_F(ListControlApi, FindItemByDataTextAndPrefixWithWrap)
{
    ListControl ten;
    AddColumns(ten, 1);
    // Item data: 5 at items 2 and 7, 9 at item 3 only.
    const std::vector<LPARAM> data = {0, 1, 5, 9, 4, 6, 8, 5, 2, 3};
    const std::vector<std::string> names = {"alpha", "Beta", "gamma", "delta", "beta",
                                            "zeta",  "eta",  "theta", "iota",  "kappa"};
    for (int i = 0; i < 10; ++i)
        AddItem(ten, i, names[static_cast<std::size_t>(i)], data[static_cast<std::size_t>(i)]);

    struct Case {
        const char* label;
        int start;
        unsigned flags;
        LPARAM value;
        const char* text;
        int expected;
    };
    const std::vector<Case> table = {
        {"param after start", 3, LVFI_PARAM, 5, nullptr, 7},
        {"param wraps to before start", 7, LVFI_PARAM | LVFI_WRAP, 5, nullptr, 2},
        {"param no wrap", 7, LVFI_PARAM, 5, nullptr, -1},
        {"param wrap reaches start itself", 3, LVFI_PARAM | LVFI_WRAP, 9, nullptr, 3},
        {"param from the beginning", -1, LVFI_PARAM, 9, nullptr, 3},
        {"param absent", 3, LVFI_PARAM | LVFI_WRAP, 77, nullptr, -1},
        {"string ignores case", -1, LVFI_STRING, 0, "BETA", 1},
        {"string after start", 1, LVFI_STRING, 0, "beta", 4},
        {"string is whole", -1, LVFI_STRING, 0, "bet", -1},
        {"partial prefix", 4, LVFI_PARTIAL | LVFI_STRING, 0, "ka", 9},
        {"partial wraps", 4, LVFI_PARTIAL | LVFI_WRAP, 0, "GAM", 2},
        {"no kind of search", -1, 0, 0, "alpha", -1},
        {"null text", -1, LVFI_STRING, 0, nullptr, -1},
    };
    for (const Case& row : table) {
        LVFINDINFOA find;
        find.flags = row.flags;
        find.lParam = row.value;
        find.psz = row.text;
        EXPECT_EQ(ten.FindItem(row.start, find), row.expected) << row.label;
    }

    // Callback texts are asked in search order: 4..9, then 0..3.
    RecordingListener asked;
    ten.SetListener(&asked);
    for (int i = 0; i < 10; ++i) {
        LVITEMA callback;
        callback.pszText = LPSTR_TEXTCALLBACK;
        ten.SetItemText(i, callback);
    }
    LVFINDINFOA find;
    find.flags = LVFI_STRING | LVFI_WRAP;
    find.psz = "nothing";
    EXPECT_EQ(ten.FindItem(3, find), -1);
    std::vector<int> order;
    for (const auto& request : asked.dispInfo)
        order.push_back(request.item);
    EXPECT_EQ(order, (std::vector<int>{4, 5, 6, 7, 8, 9, 0, 1, 2, 3}));
}

int CompareByTens(LPARAM a, LPARAM b, LPARAM direction)
{
    const LPARAM ka = a / 10;
    const LPARAM kb = b / 10;
    const int result = ka < kb ? -1 : (ka > kb ? 1 : 0);
    return direction < 0 ? -result : result;
}

TEST_F(ListControlApi, SortIsStableAndCarriesCellsStateAndData)
{
    ListControl sorted;
    AddColumns(sorted, 2);
    // Item data: tens digit is the key, the unit digit tells equal keys apart.
    const std::vector<LPARAM> data = {31, 10, 20, 11, 32, 21, 12};
    for (int i = 0; i < 7; ++i) {
        AddItem(sorted, i, "n" + std::to_string(data[static_cast<std::size_t>(i)]), data[static_cast<std::size_t>(i)]);
        SetText(sorted, i, 1, "s" + std::to_string(data[static_cast<std::size_t>(i)]));
    }
    sorted.SetItemState(4, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);  // item 32
    ASSERT_TRUE(vantor::test::WaitForRowNotice(sorted.Model()));
    const QPersistentModelIndex tracked = sorted.Model()->index(4, 1);

    ASSERT_TRUE(sorted.SortItems(CompareByTens, 1));
    std::vector<LPARAM> order;
    for (int i = 0; i < 7; ++i) {
        order.push_back(DataOf(sorted, i));
        EXPECT_EQ(TextOf(sorted, i, 0), "n" + std::to_string(order.back()));
        EXPECT_EQ(TextOf(sorted, i, 1), "s" + std::to_string(order.back()));
    }
    EXPECT_EQ(order, (std::vector<LPARAM>{10, 11, 12, 20, 21, 31, 32}));
    EXPECT_EQ(sorted.GetItemState(6, ~0u), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(sorted.GetNextItem(-1, LVNI_SELECTED), 6);
    EXPECT_EQ(sorted.GetSelectedCount(), 1);
    EXPECT_EQ(tracked.row(), 6);
    EXPECT_EQ(tracked.column(), 1);

    ASSERT_TRUE(sorted.SortItems(CompareByTens, -1));
    order.clear();
    for (int i = 0; i < 7; ++i)
        order.push_back(DataOf(sorted, i));
    EXPECT_EQ(order, (std::vector<LPARAM>{31, 32, 20, 21, 10, 11, 12}));
    EXPECT_EQ(sorted.GetNextItem(-1, LVNI_FOCUSED), 1);
}

TEST_F(ListControlApi, MoveItemKeepsContentsStateAndData)
{
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_TRUE(list.MoveItem(1, 3));
    EXPECT_EQ(FirstColumn(list), (std::vector<std::string>{"i0", "i2", "i3", "i1"}));
    EXPECT_EQ(TextOf(list, 3, 2), "i1:2");
    EXPECT_EQ(DataOf(list, 3), 101);
    EXPECT_EQ(list.GetItemState(3, LVIS_SELECTED), LVIS_SELECTED);
    ASSERT_TRUE(list.MoveItem(3, 0));
    EXPECT_EQ(FirstColumn(list), (std::vector<std::string>{"i1", "i0", "i2", "i3"}));
    EXPECT_EQ(list.Model()->index(0, 0).data().toString(), QStringLiteral("i1"));
    EXPECT_TRUE(list.MoveItem(2, 2));
    EXPECT_EQ(FirstColumn(list), (std::vector<std::string>{"i1", "i0", "i2", "i3"}));
}

TEST_F(ListControlApi, ColumnInsertionAndDeletionMoveCellsAndDisplayOrder)
{
    SetText(list, 0, 1, "a1");
    LVCOLUMNA column;
    column.mask = LVCF_WIDTH | LVCF_ORDER;
    column.cx = 55;
    column.iOrder = 0;
    ASSERT_EQ(list.InsertColumn(1, column), 1);
    EXPECT_EQ(list.GetColumnCount(), 4);
    EXPECT_EQ(TextOf(list, 0, 1), "");
    EXPECT_EQ(TextOf(list, 0, 2), "a1");
    EXPECT_EQ(TextOf(list, 3, 3), "i3:2");
    EXPECT_EQ(OrderOf(list), (std::vector<int>{1, 0, 2, 3}));
    EXPECT_EQ(list.GetColumnWidth(1), 55);

    // Without LVCF_ORDER the display position is the column index; beyond the end clamps.
    column.mask = LVCF_WIDTH;
    EXPECT_EQ(list.InsertColumn(99, column), 4);
    EXPECT_EQ(OrderOf(list), (std::vector<int>{1, 0, 2, 3, 4}));

    ASSERT_TRUE(list.DeleteColumn(0));
    EXPECT_EQ(TextOf(list, 0, 0), "");
    EXPECT_EQ(TextOf(list, 0, 1), "a1");
    EXPECT_EQ(OrderOf(list), (std::vector<int>{0, 1, 2, 3}));

    const std::array<int, 4> reversed{3, 2, 1, 0};
    ASSERT_TRUE(list.SetColumnOrderArray(reversed));
    EXPECT_EQ(OrderOf(list), (std::vector<int>{3, 2, 1, 0}));
    LVCOLUMNA read;
    read.mask = LVCF_ORDER | LVCF_SUBITEM;
    ASSERT_TRUE(list.GetColumn(3, read));
    EXPECT_EQ(read.iOrder, 0);
    EXPECT_EQ(read.iSubItem, 3);
    LVCOLUMNA move;
    move.mask = LVCF_ORDER;
    move.iOrder = 3;
    ASSERT_TRUE(list.SetColumn(3, move));
    EXPECT_EQ(OrderOf(list), (std::vector<int>{2, 1, 0, 3}));
    HDITEMA header;
    header.mask = HDI_ORDER;
    header.iOrder = 0;
    ASSERT_TRUE(list.SetHeaderItem(0, header));
    EXPECT_EQ(OrderOf(list), (std::vector<int>{0, 2, 1, 3}));
}

TEST_F(ListControlApi, ColumnDescriptorRoundTrip)
{
    LVCOLUMNA column;
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_IMAGE;
    column.fmt = LVCFMT_RIGHT;
    column.cx = 95;
    char text[] = "Version";
    column.pszText = text;
    column.iImage = 3;
    ASSERT_EQ(list.InsertColumn(3, column), 3);
    char buffer[32] = {};
    LVCOLUMNA read;
    read.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_IMAGE;
    read.pszText = buffer;
    read.cchTextMax = 32;
    ASSERT_TRUE(list.GetColumn(3, read));
    EXPECT_EQ(read.fmt, LVCFMT_RIGHT);
    EXPECT_EQ(read.cx, 95);
    EXPECT_STREQ(buffer, "Version");
    EXPECT_EQ(read.iImage, 3);
    HDITEMA header;
    header.mask = HDI_FORMAT | HDI_WIDTH;
    ASSERT_TRUE(list.GetHeaderItem(3, header));
    EXPECT_EQ(header.fmt & HDF_JUSTIFYMASK, HDF_RIGHT);
    EXPECT_EQ(header.cxy, 95);
    // The first column's header item stays left-aligned whatever its column format says.
    column.mask = LVCF_FMT;
    column.fmt = LVCFMT_RIGHT;
    ASSERT_TRUE(list.SetColumn(0, column));
    ASSERT_TRUE(list.GetHeaderItem(0, header));
    EXPECT_EQ(header.fmt & HDF_JUSTIFYMASK, HDF_LEFT);

    ASSERT_TRUE(list.SetColumnWidth(1, 140));
    EXPECT_EQ(list.GetColumnWidth(1), 140);
    ASSERT_TRUE(list.SetColumnWidth(1, 0));
    EXPECT_EQ(list.GetColumnWidth(1), 0);
}

TEST_F(ListControlApi, ExtendedStyleMergesUnderTheMask)
{
    struct Case {
        unsigned start;
        unsigned mask;
        unsigned style;
        unsigned after;
    };
    const std::vector<Case> table = {
        {0x00, 0, 0x31, 0x31},                               // mask 0: every bit
        {0x31, 0, 0x01, 0x01},    {0x31, 0x20, 0x00, 0x11},  // only the full-row bit cleared
        {0x01, 0x30, 0x3F, 0x31},                            // bits outside the mask ignored
        {0x10, 0x01, 0x01, 0x11},
    };
    for (const Case& row : table) {
        list.SetExtendedStyle(0, row.start);
        EXPECT_EQ(list.SetExtendedStyle(row.mask, row.style), row.start);
        EXPECT_EQ(list.GetExtendedStyle(), row.after) << std::hex << row.start << " " << row.mask << " " << row.style;
    }
}

TEST_F(ListControlApi, InsertionIsClampedOrSortedByText)
{
    EXPECT_EQ(AddItem(list, 99, "end", 7), 4);
    EXPECT_EQ(TextOf(list, 4, 0), "end");

    struct Case {
        unsigned style;
        std::vector<std::string> expected;
    };
    const std::vector<Case> table = {
        {LVS_SORTASCENDING, {"apple", "Banana", "banana", "cherry"}},
        {LVS_SORTDESCENDING, {"cherry", "Banana", "banana", "apple"}},
    };
    for (const Case& row : table) {
        ListControl sorted;
        sorted.ModifyStyle(0, row.style);
        AddColumns(sorted, 1);
        for (const char* text : {"cherry", "Banana", "apple", "banana"})
            AddItem(sorted, 0, text);
        EXPECT_EQ(FirstColumn(sorted), row.expected);
    }
}

TEST_F(ListControlApi, DeletionsNotifyOncePerItemAndDeleteAllGoesLastToFirst)
{
    ASSERT_TRUE(list.DeleteItem(1));
    ASSERT_EQ(listener.deleted.size(), 1u);
    EXPECT_EQ(listener.deleted[0], (std::pair<int, LPARAM>{1, 101}));
    EXPECT_EQ(FirstColumn(list), (std::vector<std::string>{"i0", "i2", "i3"}));

    listener.deleted.clear();
    ASSERT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(listener.deleted, (std::vector<std::pair<int, LPARAM>>{{2, 103}, {1, 102}, {0, 100}}));
    EXPECT_EQ(list.GetTopIndex(), -1);
    EXPECT_EQ(list.Model()->rowCount(), 0);
    listener.deleted.clear();
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_TRUE(listener.deleted.empty());
}

TEST_F(ListControlApi, ItemStatesSelectionCountAndNextItem)
{
    ASSERT_TRUE(list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    ASSERT_TRUE(list.SetItemState(3, LVIS_SELECTED | LVIS_CUT, LVIS_SELECTED | LVIS_CUT));
    EXPECT_EQ(list.GetSelectedCount(), 2);
    EXPECT_EQ(list.GetItemState(3, ~0u), LVIS_SELECTED | LVIS_CUT);
    EXPECT_EQ(list.GetItemState(3, LVIS_CUT), LVIS_CUT);

    struct Case {
        int start;
        unsigned flags;
        int expected;
    };
    const std::vector<Case> table = {
        {-1, LVNI_SELECTED, 1}, {1, LVNI_SELECTED, 3}, {3, LVNI_SELECTED, -1}, {-1, LVNI_FOCUSED, 1},
        {1, LVNI_FOCUSED, -1},  {-1, LVNI_ALL, 0},     {2, LVNI_ALL, 3},       {-1, LVNI_SELECTED | LVNI_FOCUSED, 1},
    };
    for (const Case& row : table)
        EXPECT_EQ(list.GetNextItem(row.start, row.flags), row.expected) << row.start << " " << row.flags;

    // Focus moves, it is never shared.
    ASSERT_TRUE(list.SetItemState(2, LVIS_FOCUSED, LVIS_FOCUSED));
    EXPECT_EQ(list.GetItemState(1, LVIS_FOCUSED), 0u);
    // -1: every item.
    const int before = listener.stateChanges;
    ASSERT_TRUE(list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(list.GetSelectedCount(), 4);
    EXPECT_EQ(listener.stateChanges, before + 1);
    ASSERT_TRUE(list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), -1);

    // A single-selection list keeps one selected item.
    list.ModifyStyle(0, LVS_SINGLESEL);
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 1);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
}

TEST_F(ListControlApi, ItemDescriptorRoundTrip)
{
    LVITEMA item;
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT;
    item.iItem = 2;
    char text[] = "device";
    item.pszText = text;
    item.iImage = 2;
    item.lParam = 0x1234;
    item.state = LVIS_SELECTED | LVIS_CUT;
    item.stateMask = LVIS_SELECTED;  // only the masked bits are taken
    item.iIndent = 1;
    ASSERT_EQ(list.InsertItem(item), 2);

    char buffer[16] = {};
    LVITEMA read;
    read.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT;
    read.iItem = 2;
    read.pszText = buffer;
    read.cchTextMax = 16;
    read.stateMask = ~0u;
    ASSERT_TRUE(list.GetItem(read));
    EXPECT_STREQ(buffer, "device");
    EXPECT_EQ(read.iImage, 2);
    EXPECT_EQ(read.lParam, 0x1234);
    EXPECT_EQ(read.state, LVIS_SELECTED);
    EXPECT_EQ(read.iIndent, 1);
    EXPECT_EQ(TextOf(list, 3, 0), "i2");  // the old item 2 moved down

    LVITEMA change;
    change.mask = LVIF_TEXT | LVIF_IMAGE;
    change.iItem = 2;
    change.iSubItem = 2;
    char sub[] = "sub";
    change.pszText = sub;
    change.iImage = 5;
    ASSERT_TRUE(list.SetItem(change));
    EXPECT_EQ(TextOf(list, 2, 2), "sub");
    read.mask = LVIF_IMAGE | LVIF_PARAM;
    read.iSubItem = 2;
    ASSERT_TRUE(list.GetItem(read));
    EXPECT_EQ(read.iImage, 5);
    EXPECT_EQ(read.lParam, 0x1234);
}

}  // namespace
}  // namespace vantor::lc
