#pragma once

#include "platform/listcontrol/ListControl.h"

#include <string>
#include <vector>

namespace vantor::lc::test {

// Inserts `count` columns "C0".."Cn-1" of `width` pixels at the end.
inline void AddColumns(ListControl& list, int count, int width = 80)
{
    for (int i = 0; i < count; ++i) {
        std::string text = "C" + std::to_string(i);
        LVCOLUMNA column;
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text.data();
        column.cx = width;
        column.fmt = LVCFMT_LEFT;
        list.InsertColumn(list.GetColumnCount(), column);
    }
}

// Inserts an item with a first-column text and item data; returns its index.
inline int AddItem(ListControl& list, int index, std::string text, LPARAM data = 0)
{
    LVITEMA item;
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = text.data();
    item.lParam = data;
    return list.InsertItem(item);
}

inline bool SetText(ListControl& list, int item, int column, std::string text)
{
    LVITEMA descriptor;
    descriptor.iSubItem = column;
    descriptor.pszText = text.data();
    return list.SetItemText(item, descriptor);
}

// A cell's text as bytes, read through GetItemText with a roomy buffer.
inline std::string TextOf(const ListControl& list, int item, int column)
{
    char buffer[256] = {};
    LVITEMA descriptor;
    descriptor.iSubItem = column;
    descriptor.pszText = buffer;
    descriptor.cchTextMax = static_cast<int>(sizeof buffer);
    const int length = list.GetItemText(item, descriptor);
    return std::string(buffer, static_cast<std::size_t>(length));
}

inline LPARAM DataOf(const ListControl& list, int item)
{
    LVITEMA descriptor;
    descriptor.mask = LVIF_PARAM;
    descriptor.iItem = item;
    return list.GetItem(descriptor) ? descriptor.lParam : -1;
}

// First-column texts of all items, in item order.
inline std::vector<std::string> FirstColumn(const ListControl& list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetItemCount(); ++i)
        texts.push_back(TextOf(list, i, 0));
    return texts;
}

inline std::vector<int> OrderOf(const ListControl& list)
{
    std::vector<int> order(static_cast<std::size_t>(list.GetColumnCount()));
    list.GetColumnOrderArray(order);
    return order;
}

}  // namespace vantor::lc::test
