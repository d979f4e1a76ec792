#pragma once

#include "platform/listcontrol/BlockArray.h"
#include "platform/listcontrol/ListCells.h"
#include "platform/listcontrol/ListTypes.h"
#include "platform/listcontrol/WrappedFind.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::lc {

class ImageList;

// Styles, colours and image lists: what the painting code reads.
struct ListAppearance {
    unsigned style = LVS_REPORT;
    unsigned extStyle = 0;
    ImageList* normalImages = nullptr;  // not owned
    ImageList* smallImages = nullptr;
    ImageList* stateImages = nullptr;
    ImageList* headerImages = nullptr;
    QColor bkColor;  // invalid: the palette's base colour
};

// One control column: its descriptor and header item.
struct ListColumn {
    int fmt = LVCFMT_LEFT;  // column format (cell alignment)
    int width = 0;
    std::string text;            // bytes, shown by the header
    int image = 0;               // column / header item image
    int headerFmt = HDF_STRING;  // header item format: alignment, sort marker, image flags
};

// One item: its cells by control column (see ListCells; a column without a stored cell reads
// as empty), state bits, item data, image and indent of the first column.
struct ListItem {
    LPARAM data = 0;
    ListCells cells;
    unsigned state = 0;
    int image = 0;
    int indent = 0;
};
// A large list holds one per row, a block of them at a time.
static_assert(sizeof(ListItem) <= 32, "keep ListItem small: it is stored once per row");

// Columns, display order and items of the list control, with the bookkeeping that needs no
// widget: cells moving with column insertion and deletion, the display-order permutation,
// state bits with the selected count and the single focused item, sorting and searching.
// Indexes are checked by the caller (ListControl) unless a method says otherwise. The items are
// held in blocks, so inserting, removing or moving one item does not shift every later item:
// a list that grows one row at a time to tens of thousands of rows stays cheap per row.
class ListControlData final {
public:
    ListAppearance appearance;

    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    int ItemCount() const { return static_cast<int>(m_items.size()); }
    bool IsColumn(int column) const { return column >= 0 && column < ColumnCount(); }
    bool IsItem(int item) const { return item >= 0 && item < ItemCount(); }

    // ---- Columns ----
    const ListColumn& Column(int column) const { return m_columns[static_cast<std::size_t>(column)]; }
    ListColumn& Column(int column) { return m_columns[static_cast<std::size_t>(column)]; }
    // Inserts a column at index `column` (0..count) shown at display `position` (0..count);
    // every item gets an empty cell at that column.
    void InsertColumn(int column, int position, ListColumn descriptor);
    // Removes a column, its display position and its cell in every item.
    void DeleteColumn(int column);
    // Entry i = column shown at display position i; always a permutation of 0..count-1.
    const std::vector<int>& Order() const { return m_order; }
    int DisplayPosition(int column) const;
    // Moves a column to a display position (clamped to 0..count-1).
    void MoveColumnTo(int column, int position);
    // Replaces the display order; refused (false, nothing changed) unless `order` is a
    // permutation of 0..count-1.
    bool SetOrder(std::span<const int> order);
    static bool IsPermutation(std::span<const int> order, int count);

    // ---- Items ----
    const ListItem& Item(int item) const { return m_items[static_cast<std::size_t>(item)]; }
    ListItem& Item(int item) { return m_items[static_cast<std::size_t>(item)]; }
    // The cell at a column (>= 0); an empty cell when the item stores none there.
    ListCell Cell(int item, int column) const { return Item(item).cells.Get(column); }
    // Sets a cell's text, or makes it a callback cell (`text` then unused); its image stays.
    void SetCellText(int item, int column, std::string_view text, bool callback)
    {
        Item(item).cells.SetText(column, text, callback);
    }
    // Gives a cell (a sub-item) an image.
    void SetCellImage(int item, int column, int image) { Item(item).cells.SetImage(column, image); }
    // Inserts at `index` (clamped to 0..count); returns the index used.
    int InsertItem(int index, ListItem item);
    ListItem TakeItem(int item);
    std::vector<ListItem> TakeAllItems();
    void MoveItem(int from, int to);
    // Position at which an item with first-column text `text` keeps the list sorted (after
    // items that compare equal). Callback texts count as empty.
    int SortedPosition(std::string_view text, bool descending) const;
    // Stable order of the items under `compare`: entry i = old index of the item that goes to i.
    std::vector<int> SortPermutation(PFNLVCOMPARE compare, LPARAM sortData) const;
    // Reorders the items: entry i of `permutation` = old index of the item that goes to i.
    void ApplyPermutation(const std::vector<int>& permutation);

    // ---- State ----
    unsigned State(int item) const { return Item(item).state; }
    // Sets the bits of `mask` to those of `state` for one item. Only one item can be focused:
    // focusing one unfocuses the previous one. Returns true when any item changed.
    bool ChangeState(int item, unsigned state, unsigned mask);
    int SelectedCount() const { return m_selectedCount; }
    int FocusedItem() const { return m_focusedItem; }
    // Next item after `start` (-1: from the first) with all bits of `flags` (LVNI_SELECTED,
    // LVNI_FOCUSED); LVNI_ALL gives the next item. -1 when none.
    int NextItem(int start, unsigned flags) const;

    // Search order of a find: items start+1 .. last, then with `wrap` 0 .. start. Returns
    // the first item for which `matches(item)` holds, else -1.
    template <class Predicate>
    int Find(int start, bool wrap, Predicate matches) const;

private:
    void RecountAfterRemoval(const ListItem& removed, int index);

    std::vector<ListColumn> m_columns;
    std::vector<int> m_order;
    // Blocks of 128: an insertion moves a quarter of the items a block of 512 would (their
    // cells are not in the cache when rows arrive in random order), while the table of block
    // starts stays small enough to search and shift at once.
    BlockArray<ListItem, 128> m_items;
    int m_selectedCount = 0;
    int m_focusedItem = -1;
};

template <class Predicate>
int ListControlData::Find(int start, bool wrap, Predicate matches) const
{
    return FindWrapped(start, ItemCount(), wrap, matches);
}

}  // namespace vantor::lc
