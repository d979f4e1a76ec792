// Items and their texts: inserting, changing, reading, finding, sorting, moving and deleting
// items, and the cell texts asked from the listener for callback cells.

#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControl_p.h"

#include "platform/listcontrol/ListControlModel.h"
#include "platform/listcontrol/TextBytes.h"

#include <QAbstractItemView>
#include <QScopedValueRollback>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace vantor::lc {

namespace {

unsigned char FoldAscii(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (FoldAscii(text[i]) != FoldAscii(prefix[i]))
            return false;
    }
    return true;
}

}  // namespace

// ---- Texts -------------------------------------------------------------------------------------

std::string_view ListControl::Private::AskText(int item, int column, char* buffer, int capacity) const
{
    if (!IsWritableBuffer(buffer, capacity))
        return {};
    buffer[0] = '\0';
    if (listener == nullptr || !data.IsItem(item))
        return {};
    NMLVDISPINFOA info;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = item;
    info.item.iSubItem = column;
    info.item.lParam = data.Item(item).data;
    info.item.pszText = buffer;
    info.item.cchTextMax = capacity;
    listener->OnGetDispInfo(info);
    const char* answer = info.item.pszText;
    if (answer == nullptr || answer == LPSTR_TEXTCALLBACK)
        return {};
    const auto limit = static_cast<std::size_t>(capacity) - 1;
    if (answer == buffer) {
        buffer[limit] = '\0';
        return {buffer, std::strlen(buffer)};
    }
    // The listener's own text: copied at once, cut to the buffer.
    const std::size_t length = strnlen(answer, limit);
    std::memmove(buffer, answer, length);
    buffer[length] = '\0';
    return {buffer, length};
}

std::string_view ListControl::Private::CellText(int item, int column, TextScratch& scratch) const
{
    if (!data.IsItem(item))
        return {};
    const ListCell cell = data.Cell(item, column);
    if (!cell.callback)
        return cell.text;
    return AskText(item, column, scratch.data(), kCallbackTextCapacity);
}

int ListControl::Private::CopyCellText(int item, int column, char* buffer, int capacity) const
{
    if (!IsWritableBuffer(buffer, capacity))
        return 0;
    const ListCell cell = data.Cell(item, column);
    if (cell.callback)
        return static_cast<int>(AskText(item, column, buffer, capacity).size());
    return CopyTextToBuffer(cell.text, buffer, capacity);
}

// ---- Items -------------------------------------------------------------------------------------

int ListControl::InsertItem(const LVITEMA& item)
{
    ListControlData& contents = d->data;
    if (item.iItem < 0 || item.iSubItem != 0 || d->sorting)
        return -1;
    ListItem entry;
    if ((item.mask & LVIF_TEXT) != 0)
        entry.cells.SetText(0, InputText(item.pszText), item.pszText == LPSTR_TEXTCALLBACK);
    if ((item.mask & LVIF_IMAGE) != 0)
        entry.image = item.iImage;
    if ((item.mask & LVIF_PARAM) != 0)
        entry.data = item.lParam;
    if ((item.mask & LVIF_INDENT) != 0)
        entry.indent = item.iIndent;
    const unsigned state = (item.mask & LVIF_STATE) != 0 ? (item.state & item.stateMask) : 0u;
    entry.state = state & ~kSelectionBits;

    int index = std::min(item.iItem, contents.ItemCount());
    const unsigned style = contents.appearance.style;
    if ((style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) != 0) {
        const std::string_view text = entry.cells.Get(0).text;
        index = contents.SortedPosition(text, (style & LVS_SORTDESCENDING) != 0);
    }
    index = contents.InsertItem(index, std::move(entry));
    d->model->ItemInserted(index);
    if ((state & kSelectionBits) != 0)
        d->StateChanged(d->ApplyState(index, state, kSelectionBits), kSelectionBits);
    return index;
}

bool ListControl::SetItem(const LVITEMA& item)
{
    ListControlData& contents = d->data;
    const int index = item.iItem;
    const int column = item.iSubItem;
    if (!contents.IsItem(index) || !d->IsSubItem(column))
        return false;
    ListItem& entry = contents.Item(index);
    if ((item.mask & LVIF_TEXT) != 0)
        contents.SetCellText(index, column, InputText(item.pszText), item.pszText == LPSTR_TEXTCALLBACK);
    if ((item.mask & LVIF_IMAGE) != 0) {
        if (column == 0)
            entry.image = item.iImage;
        else
            contents.SetCellImage(index, column, item.iImage);
    }
    // Item data, indent and state belong to the item, set through its first column.
    if (column == 0) {
        if ((item.mask & LVIF_PARAM) != 0)
            entry.data = item.lParam;
        if ((item.mask & LVIF_INDENT) != 0)
            entry.indent = item.iIndent;
    }
    d->model->ItemChanged(index);
    if (column == 0 && (item.mask & LVIF_STATE) != 0)
        d->StateChanged(d->ApplyState(index, item.state, item.stateMask), item.stateMask);
    return true;
}

bool ListControl::SetItemText(int item, const LVITEMA& descriptor)
{
    ListControlData& contents = d->data;
    if (!contents.IsItem(item) || !d->IsSubItem(descriptor.iSubItem))
        return false;
    contents.SetCellText(item, descriptor.iSubItem, InputText(descriptor.pszText),
                         descriptor.pszText == LPSTR_TEXTCALLBACK);
    d->model->ItemChanged(item);
    return true;
}

bool ListControl::GetItem(LVITEMA& item) const
{
    const ListControlData& contents = d->data;
    const int index = item.iItem;
    const int column = item.iSubItem;
    if (!contents.IsItem(index) || !d->IsSubItem(column))
        return false;
    // Read what is needed before the text: a callback text may have the listener change the list.
    const ListItem& entry = contents.Item(index);
    if ((item.mask & LVIF_IMAGE) != 0)
        item.iImage = column == 0 ? entry.image : contents.Cell(index, column).image;
    if ((item.mask & LVIF_PARAM) != 0)
        item.lParam = entry.data;
    if ((item.mask & LVIF_STATE) != 0)
        item.state = entry.state & item.stateMask;
    if ((item.mask & LVIF_INDENT) != 0)
        item.iIndent = entry.indent;
    if ((item.mask & LVIF_TEXT) != 0)
        d->CopyCellText(index, column, item.pszText, item.cchTextMax);
    return true;
}

int ListControl::GetItemText(int item, LVITEMA& descriptor) const
{
    if (!IsWritableBuffer(descriptor.pszText, descriptor.cchTextMax))
        return 0;
    if (!d->data.IsItem(item) || !d->IsSubItem(descriptor.iSubItem)) {
        descriptor.pszText[0] = '\0';
        return 0;
    }
    return d->CopyCellText(item, descriptor.iSubItem, descriptor.pszText, descriptor.cchTextMax);
}

bool ListControl::DeleteItem(int item)
{
    ListControlData& contents = d->data;
    if (!contents.IsItem(item) || d->sorting)
        return false;
    ListItem removed;
    {
        const CounterGuard ignoring(d->ignoreQtSelection);
        d->model->BeginRemoveItems(item, item);
        removed = contents.TakeItem(item);
        d->model->EndRemoveItems();
    }
    if (d->hotItem >= item)
        d->hotItem = -1;
    // Qt hands the current index to a neighbour of a removed current row; focus stays
    // with no item, so Qt's current index is put right.
    if ((removed.state & LVIS_FOCUSED) != 0)
        d->ScheduleSelectionSync();
    if (d->listener != nullptr)
        d->listener->OnItemDeleted(item, removed.data);
    return true;
}

bool ListControl::DeleteAllItems()
{
    ListControlData& contents = d->data;
    if (d->sorting)
        return false;
    const int count = contents.ItemCount();
    std::vector<ListItem> removed;
    if (count > 0) {
        const CounterGuard ignoring(d->ignoreQtSelection);
        d->model->BeginRemoveItems(0, count - 1);
        removed = contents.TakeAllItems();
        d->model->EndRemoveItems();
    }
    d->hotItem = -1;
    d->selectionDirty = false;
    d->selectionTimer.stop();
    if (d->listener != nullptr) {
        for (int i = count - 1; i >= 0; --i)
            d->listener->OnItemDeleted(i, removed[static_cast<std::size_t>(i)].data);
    }
    return true;
}

int ListControl::FindItem(int start, const LVFINDINFOA& find) const
{
    const ListControlData& contents = d->data;
    const bool wrap = (find.flags & LVFI_WRAP) != 0;
    if ((find.flags & LVFI_PARAM) != 0)
        return contents.Find(start, wrap, [&](int i) { return contents.Item(i).data == find.lParam; });
    if ((find.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.psz == nullptr || find.psz == LPSTR_TEXTCALLBACK)
        return -1;
    const std::string_view wanted(find.psz);
    const bool partial = (find.flags & LVFI_PARTIAL) != 0;
    TextScratch scratch;
    return contents.Find(start, wrap, [&](int i) {
        const std::string_view text = d->CellText(i, 0, scratch);
        return StartsWithNoCase(text, wanted) && (partial || text.size() == wanted.size());
    });
}

int ListControl::GetItemCount() const
{
    return d->data.ItemCount();
}

bool ListControl::SortItems(PFNLVCOMPARE compare, LPARAM sortData)
{
    ListControlData& contents = d->data;
    if (compare == nullptr || d->sorting)
        return false;
    {
        // The compare function may read the list; changes to it are refused until the sort is done.
        const QScopedValueRollback<bool> sortingNow(d->sorting, true);
        const std::vector<int> permutation = contents.SortPermutation(compare, sortData);
        const CounterGuard ignoring(d->ignoreQtSelection);
        d->model->ReorderItems(permutation, [&] { contents.ApplyPermutation(permutation); });
    }
    d->hotItem = -1;
    if (contents.SelectedCount() > 0 || contents.FocusedItem() >= 0)
        d->ScheduleSelectionSync();
    d->CurrentView()->viewport()->update();
    return true;
}

bool ListControl::MoveItem(int from, int to)
{
    ListControlData& contents = d->data;
    if (!contents.IsItem(from) || !contents.IsItem(to) || d->sorting)
        return false;
    if (from == to)
        return true;
    bool announced = false;
    {
        const CounterGuard ignoring(d->ignoreQtSelection);
        announced = d->model->BeginMoveItem(from, to);
        contents.MoveItem(from, to);
        if (announced)
            d->model->EndMoveItem();
    }
    if (!announced)
        d->model->AllItemsChanged();
    d->hotItem = -1;
    return true;
}

QString ListControl::ItemDisplayText(int item, int column) const
{
    if (!d->data.IsItem(item) || !d->IsSubItem(column))
        return {};
    TextScratch scratch;
    return DisplayTextFromBytes(d->CellText(item, column, scratch));
}

}  // namespace vantor::lc
