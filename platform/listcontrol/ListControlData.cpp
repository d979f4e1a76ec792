#include "platform/listcontrol/ListControlData.h"

#include <algorithm>
#include <numeric>

namespace vantor::lc {

namespace {

std::size_t At(int index)
{
    return static_cast<std::size_t>(index);
}

// Case-insensitive for ASCII letters, bytewise otherwise: the order a sorted list keeps.
int CompareTexts(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto fold = [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return (u >= 'A' && u <= 'Z') ? u + ('a' - 'A') : static_cast<unsigned>(u);
        };
        const unsigned ca = fold(a[i]);
        const unsigned cb = fold(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string_view FirstText(const ListItem& item)
{
    return item.cells.Get(0).text;  // empty for a callback cell
}

}  // namespace

void ListControlData::InsertColumn(int column, int position, ListColumn descriptor)
{
    m_columns.insert(m_columns.begin() + column, std::move(descriptor));
    for (int& entry : m_order) {
        if (entry >= column)
            ++entry;
    }
    m_order.insert(m_order.begin() + position, column);
    // As in the platform control, an item's own text and image stay in column 0 when a column
    // is inserted there; only the sub-items move along.
    const int at = column == 0 ? 1 : column;
    m_items.ForEach([at](ListItem& item) { item.cells.InsertColumn(at); });
}

void ListControlData::DeleteColumn(int column)
{
    m_columns.erase(m_columns.begin() + column);
    m_order.erase(std::find(m_order.begin(), m_order.end(), column));
    for (int& entry : m_order) {
        if (entry > column)
            --entry;
    }
    m_items.ForEach([column](ListItem& item) { item.cells.EraseColumn(column); });
}

int ListControlData::DisplayPosition(int column) const
{
    const auto it = std::find(m_order.begin(), m_order.end(), column);
    return it == m_order.end() ? -1 : static_cast<int>(it - m_order.begin());
}

void ListControlData::MoveColumnTo(int column, int position)
{
    const int from = DisplayPosition(column);
    if (from < 0)
        return;
    position = std::clamp(position, 0, ColumnCount() - 1);
    m_order.erase(m_order.begin() + from);
    m_order.insert(m_order.begin() + position, column);
}

bool ListControlData::IsPermutation(std::span<const int> order, int count)
{
    if (static_cast<int>(order.size()) != count)
        return false;
    std::vector<bool> seen(At(count), false);
    for (const int entry : order) {
        if (entry < 0 || entry >= count || seen[At(entry)])
            return false;
        seen[At(entry)] = true;
    }
    return true;
}

bool ListControlData::SetOrder(std::span<const int> order)
{
    if (!IsPermutation(order, ColumnCount()))
        return false;
    m_order.assign(order.begin(), order.end());
    return true;
}

int ListControlData::InsertItem(int index, ListItem item)
{
    index = std::clamp(index, 0, ItemCount());
    const unsigned state = item.state;
    item.state &= ~(LVIS_SELECTED | LVIS_FOCUSED);
    m_items.insert(At(index), std::move(item));
    if (m_focusedItem >= index)
        ++m_focusedItem;
    ChangeState(index, state, LVIS_SELECTED | LVIS_FOCUSED);
    return index;
}

void ListControlData::RecountAfterRemoval(const ListItem& removed, int index)
{
    if ((removed.state & LVIS_SELECTED) != 0)
        --m_selectedCount;
    if (m_focusedItem == index)
        m_focusedItem = -1;
    else if (m_focusedItem > index)
        --m_focusedItem;
}

ListItem ListControlData::TakeItem(int item)
{
    ListItem removed = m_items.take(At(item));
    RecountAfterRemoval(removed, item);
    return removed;
}

std::vector<ListItem> ListControlData::TakeAllItems()
{
    std::vector<ListItem> all = m_items.release();
    m_selectedCount = 0;
    m_focusedItem = -1;
    return all;
}

void ListControlData::MoveItem(int from, int to)
{
    if (from == to)
        return;
    m_items.insert(At(to), m_items.take(At(from)));
    if (m_focusedItem == from)
        m_focusedItem = to;
    else if (from < to && m_focusedItem > from && m_focusedItem <= to)
        --m_focusedItem;
    else if (to < from && m_focusedItem >= to && m_focusedItem < from)
        ++m_focusedItem;
}

int ListControlData::SortedPosition(std::string_view text, bool descending) const
{
    // Upper bound: an item equal to others goes after them, so insertion is stable.
    int first = 0;
    int count = ItemCount();
    while (count > 0) {
        const int step = count / 2;
        const int c = CompareTexts(text, FirstText(Item(first + step)));
        if (descending ? c > 0 : c < 0) {
            count = step;
        } else {
            first += step + 1;
            count -= step + 1;
        }
    }
    return first;
}

std::vector<int> ListControlData::SortPermutation(PFNLVCOMPARE compare, LPARAM sortData) const
{
    // The item data side by side: the comparisons need nothing else of the items.
    std::vector<LPARAM> itemData;
    itemData.reserve(m_items.size());
    m_items.ForEach([&itemData](const ListItem& item) { itemData.push_back(item.data); });
    std::vector<int> permutation(m_items.size());
    std::iota(permutation.begin(), permutation.end(), 0);
    std::stable_sort(permutation.begin(), permutation.end(),
                     [&](int a, int b) { return compare(itemData[At(a)], itemData[At(b)], sortData) < 0; });
    return permutation;
}

void ListControlData::ApplyPermutation(const std::vector<int>& permutation)
{
    std::vector<ListItem> items = m_items.release();
    std::vector<ListItem> sorted;
    sorted.reserve(items.size());
    int focused = -1;
    for (std::size_t i = 0; i < permutation.size(); ++i) {
        const int old = permutation[i];
        if (old == m_focusedItem)
            focused = static_cast<int>(i);
        sorted.push_back(std::move(items[At(old)]));
    }
    m_items.assign(std::move(sorted));
    m_focusedItem = focused;
}

bool ListControlData::ChangeState(int item, unsigned state, unsigned mask)
{
    ListItem& entry = Item(item);
    const unsigned old = entry.state;
    const unsigned now = (old & ~mask) | (state & mask);
    bool changed = false;
    if ((now & LVIS_FOCUSED) != 0 && m_focusedItem >= 0 && m_focusedItem != item) {
        Item(m_focusedItem).state &= ~LVIS_FOCUSED;
        changed = true;
    }
    if (now == old)
        return changed;
    entry.state = now;
    if ((old ^ now) & LVIS_SELECTED)
        m_selectedCount += (now & LVIS_SELECTED) != 0 ? 1 : -1;
    if ((now & LVIS_FOCUSED) != 0)
        m_focusedItem = item;
    else if (m_focusedItem == item)
        m_focusedItem = -1;
    return true;
}

int ListControlData::NextItem(int start, unsigned flags) const
{
    const unsigned wanted =
        ((flags & LVNI_SELECTED) != 0 ? LVIS_SELECTED : 0u) | ((flags & LVNI_FOCUSED) != 0 ? LVIS_FOCUSED : 0u);
    if (start < -1)
        start = -1;
    if (wanted == LVIS_FOCUSED)
        return m_focusedItem > start ? m_focusedItem : -1;
    if (wanted == LVIS_SELECTED && m_selectedCount == 0)
        return -1;
    for (int i = start + 1; i < ItemCount(); ++i) {
        if ((Item(i).state & wanted) == wanted)
            return i;
    }
    return -1;
}

}  // namespace vantor::lc
