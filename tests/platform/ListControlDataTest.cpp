#include "platform/listcontrol/ListControlData.h"
#include "platform/listcontrol/ListCellLayout.h"
#include "platform/listcontrol/TextBytes.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace vantor::lc {
namespace {

using namespace std::string_literals;

TEST(DisplayTextFromBytes, Utf8WhenValidElseOneCharacterPerByte)
{
    struct Case {
        const char* label;
        std::string bytes;
        std::u16string expected;
    };
    const std::vector<Case> table = {
        {"ascii", "192.168.1.20", u"192.168.1.20"},
        {"utf-8", "Caf\xC3\xA9", u"Caf\u00E9"},
        {"utf-8 full-width", "\xEF\xBC\x81", u"\uFF01"},
        {"byte-order mark kept",
         "\xEF\xBB\xBF"
         "A",
         u"\uFEFFA"},
        {"latin-1 byte", "Caf\xE9", u"Caf\u00E9"},
        {"cut sequence", "ab\xC3", u"ab\u00C3"},
        {"overlong", "\xC0\xAF", u"\u00C0\u00AF"},
        {"embedded NUL", "a\0b"s, u"a\0b"s},
    };
    for (const Case& row : table)
        EXPECT_EQ(DisplayTextFromBytes(row.bytes).toStdU16String(), row.expected) << row.label;
}

TEST(CopyTextToBuffer, CutsToCapacityLessOneAndTerminatesWithoutOverrun)
{
    struct Case {
        int capacity;
        int copied;
        std::string expected;  // buffer contents up to and including the terminator
    };
    // Text "abcdef"; the buffer is larger than any capacity so overruns show as changed bytes.
    const std::vector<Case> table = {
        {0, 0, ""}, {1, 0, "\0"s}, {2, 1, "a\0"s}, {6, 5, "abcde\0"s}, {7, 6, "abcdef\0"s}, {20, 6, "abcdef\0"s},
    };
    for (const Case& row : table) {
        std::array<char, 32> buffer;
        buffer.fill('#');
        EXPECT_EQ(CopyTextToBuffer("abcdef", buffer.data(), row.capacity), row.copied) << row.capacity;
        EXPECT_EQ(std::string(buffer.data(), row.expected.size()), row.expected) << row.capacity;
        for (std::size_t i = row.expected.size(); i < buffer.size(); ++i)
            ASSERT_EQ(buffer[i], '#') << "byte " << i << " written with capacity " << row.capacity;
    }
    EXPECT_EQ(CopyTextToBuffer("abc", nullptr, 10), 0);
    std::array<char, 4> untouched{'x', 'x', 'x', 'x'};
    EXPECT_EQ(CopyTextToBuffer("abc", untouched.data(), -3), 0);
    EXPECT_EQ(untouched[0], 'x');
}

ListItem ItemWithCells(std::vector<std::string> texts, LPARAM data = 0)
{
    ListItem item;
    item.data = data;
    for (std::size_t c = 0; c < texts.size(); ++c)
        item.cells.SetText(static_cast<int>(c), texts[c], false);
    return item;
}

std::vector<std::string> CellsOf(const ListControlData& data, int item)
{
    std::vector<std::string> texts;
    for (int c = 0; c < data.ColumnCount(); ++c)
        texts.push_back(std::string(data.Cell(item, c).text));
    return texts;
}

TEST(ListControlData, ColumnInsertionAndDeletionMoveCellsAndKeepOrderAPermutation)
{
    ListControlData data;
    for (int c = 0; c < 3; ++c)
        data.InsertColumn(c, c, ListColumn{});
    data.InsertItem(0, ItemWithCells({"a0", "a1", "a2"}));
    data.InsertItem(1, ItemWithCells({"b0"}));  // shorter than the column count

    data.InsertColumn(1, 0, ListColumn{});  // new column 1, shown first
    EXPECT_EQ(CellsOf(data, 0), (std::vector<std::string>{"a0", "", "a1", "a2"}));
    EXPECT_EQ(CellsOf(data, 1), (std::vector<std::string>{"b0", "", "", ""}));
    EXPECT_EQ(data.Order(), (std::vector<int>{1, 0, 2, 3}));

    data.DeleteColumn(0);
    EXPECT_EQ(CellsOf(data, 0), (std::vector<std::string>{"", "a1", "a2"}));
    EXPECT_EQ(CellsOf(data, 1), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(data.Order(), (std::vector<int>{0, 1, 2}));

    data.MoveColumnTo(0, 99);  // clamped to the last position
    EXPECT_EQ(data.Order(), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(data.DisplayPosition(0), 2);
}

TEST(ListControlData, OrderMustBeAPermutation)
{
    struct Case {
        const char* label;
        std::vector<int> order;
        bool accepted;
    };
    const std::vector<Case> table = {
        {"identity", {0, 1, 2}, true},      {"reversed", {2, 1, 0}, true},  {"too short", {0, 1}, false},
        {"too long", {0, 1, 2, 3}, false},  {"repeated", {0, 0, 2}, false}, {"negative", {0, -1, 2}, false},
        {"out of range", {0, 1, 3}, false},
    };
    for (const Case& row : table) {
        ListControlData data;
        for (int c = 0; c < 3; ++c)
            data.InsertColumn(c, c, ListColumn{});
        data.MoveColumnTo(2, 0);  // {2, 0, 1}
        const std::vector<int> before = data.Order();
        EXPECT_EQ(data.SetOrder(row.order), row.accepted) << row.label;
        EXPECT_EQ(data.Order(), row.accepted ? row.order : before) << row.label;
    }
}

TEST(ListControlData, FindSearchesAfterStartThenWrapsToStartInclusive)
{
    ListControlData data;
    for (int i = 0; i < 10; ++i)
        data.InsertItem(i, ListItem{});
    std::vector<int> visited;
    EXPECT_EQ(data.Find(3, true,
                        [&](int i) {
                            visited.push_back(i);
                            return false;
                        }),
              -1);
    EXPECT_EQ(visited, (std::vector<int>{4, 5, 6, 7, 8, 9, 0, 1, 2, 3}));

    visited.clear();
    data.Find(3, false, [&](int i) {
        visited.push_back(i);
        return false;
    });
    EXPECT_EQ(visited, (std::vector<int>{4, 5, 6, 7, 8, 9}));

    visited.clear();
    data.Find(-1, true, [&](int i) {
        visited.push_back(i);
        return false;
    });
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(ListControlData, OneFocusedItemAndASelectedCountFollowStateChanges)
{
    ListControlData data;
    for (int i = 0; i < 5; ++i)
        data.InsertItem(i, ListItem{});
    EXPECT_TRUE(data.ChangeState(1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED));
    EXPECT_TRUE(data.ChangeState(3, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED));
    EXPECT_EQ(data.State(1), LVIS_SELECTED);
    EXPECT_EQ(data.FocusedItem(), 3);
    EXPECT_EQ(data.SelectedCount(), 2);
    EXPECT_FALSE(data.ChangeState(3, LVIS_SELECTED, LVIS_SELECTED));  // already so

    data.TakeItem(1);  // a selected item before the focused one
    EXPECT_EQ(data.SelectedCount(), 1);
    EXPECT_EQ(data.FocusedItem(), 2);
    data.MoveItem(2, 0);
    EXPECT_EQ(data.FocusedItem(), 0);
    data.InsertItem(0, ListItem{});
    EXPECT_EQ(data.FocusedItem(), 1);
    EXPECT_EQ(data.NextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(data.NextItem(1, LVNI_SELECTED), -1);
    EXPECT_EQ(data.NextItem(-1, LVNI_FOCUSED | LVNI_SELECTED), 1);
    EXPECT_EQ(data.NextItem(2, LVNI_ALL), 3);
}

TEST(ListControlData, SortIsStableAndSortedInsertionGoesAfterEqualTexts)
{
    ListControlData data;
    const std::vector<LPARAM> keys = {3, 1, 2, 1, 3, 2, 1};
    for (std::size_t i = 0; i < keys.size(); ++i)
        data.InsertItem(static_cast<int>(i), ItemWithCells({std::to_string(i)}, keys[i]));
    // Key in the low bits is compared; equal keys must keep their insertion order.
    const auto byKey = [](LPARAM a, LPARAM b, LPARAM) { return a < b ? -1 : (a > b ? 1 : 0); };
    const std::vector<int> permutation = data.SortPermutation(byKey, 0);
    EXPECT_EQ(permutation, (std::vector<int>{1, 3, 6, 2, 5, 0, 4}));
    data.ApplyPermutation(permutation);
    EXPECT_EQ(data.Cell(0, 0).text, "1");
    EXPECT_EQ(data.Cell(6, 0).text, "4");

    ListControlData sorted;
    for (const char* text : {"apple", "Banana", "cherry"})
        sorted.InsertItem(sorted.ItemCount(), ItemWithCells({text}));
    EXPECT_EQ(sorted.SortedPosition("banana", false), 2);  // after the equal "Banana"
    EXPECT_EQ(sorted.SortedPosition("aardvark", false), 0);
    EXPECT_EQ(sorted.SortedPosition("zebra", false), 3);
}

TEST(LayOutFirstCell, IndentStateImageIconAndLabelFromLeftToRight)
{
    const QRect cell(100, 20, 120, 18);
    struct Case {
        const char* label;
        int indent;
        QSize small;
        QSize state;
        QRect icon;
        QRect labelRect;
    };
    const std::vector<Case> table = {
        {"no images", 0, QSize(), QSize(), QRect(100, 20, 0, 18), QRect(100, 20, 120, 18)},
        {"small icon", 0, QSize(16, 16), QSize(), QRect(102, 21, 16, 16), QRect(118, 20, 102, 18)},
        {"state and icon", 0, QSize(16, 16), QSize(12, 12), QRect(114, 21, 16, 16), QRect(130, 20, 90, 18)},
        {"indent 2", 2, QSize(16, 16), QSize(), QRect(134, 21, 16, 16), QRect(150, 20, 70, 18)},
        {"wider than cell", 9, QSize(16, 16), QSize(), QRect(246, 21, 16, 16), QRect(262, 20, 0, 18)},
    };
    for (const Case& row : table) {
        const FirstCellParts parts = LayOutFirstCell(cell, row.indent, row.small, row.state);
        EXPECT_EQ(parts.icon, row.icon) << row.label;
        EXPECT_EQ(parts.label, row.labelRect) << row.label;
        EXPECT_EQ(parts.state.right() + 1, row.state.isEmpty() ? parts.state.left() : parts.state.left() + 12)
            << row.label;
    }
}

}  // namespace
}  // namespace vantor::lc
