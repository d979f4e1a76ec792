#include "listview/CListBase.h"

#include "platform/listcontrol/TextBytes.h"
#include "platform/listcontrol/WrappedFind.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace vantor {

using namespace vantor::lc;

// ---- Copies of caller descriptors ------------------------------------------------------------

void CListBase::TakeText(const char* text, CELL& cell)
{
    cell.text = {};
    if (text == nullptr) {
        cell.textKind = TEXT_KIND::None;
    } else if (text == LPSTR_TEXTCALLBACK) {
        cell.textKind = TEXT_KIND::Callback;
    } else {
        cell.textKind = TEXT_KIND::Owned;
        cell.text = text;
    }
}

char* CListBase::TextForControl(const CELL& cell, bool sortStyle)
{
    if (cell.textKind == TEXT_KIND::None) {
        return nullptr;
    }
    if (cell.textKind == TEXT_KIND::Owned && sortStyle) {
        // NUL-terminated: the caller's text or a stored one. The control copies it at once.
        return const_cast<char*>(cell.text.data());
    }
    return LPSTR_TEXTCALLBACK;
}

CListBase::CELL CListBase::CopyCell(const lc::LVITEMA& d)
{
    CELL cell;
    cell.mask = d.mask;
    if ((d.mask & LVIF_IMAGE) != 0) {
        cell.image = d.iImage;
    }
    if ((d.mask & LVIF_INDENT) != 0) {
        cell.indent = d.iIndent;
    }
    if ((d.mask & LVIF_PARAM) != 0) {
        cell.lParam = d.lParam;
    }
    if ((d.mask & LVIF_STATE) != 0) {
        cell.state = d.state & d.stateMask;
        cell.stateMask = d.stateMask;
    }
    if ((d.mask & LVIF_TEXT) != 0) {
        TakeText(d.pszText, cell);
    }
    return cell;
}

lc::LVITEMA CListBase::ItemOf(const CELL& cell, int item, int subItem)
{
    LVITEMA d;
    d.mask = cell.mask;
    d.iItem = item;
    d.iSubItem = subItem;
    d.state = cell.state;
    d.stateMask = cell.stateMask;
    d.iImage = cell.image;
    d.lParam = cell.lParam;
    d.iIndent = cell.indent;
    return d;
}

std::optional<CListBase::CELL> CListBase::CellOf(const ROW_DATA* record, int column)
{
    return record != nullptr ? record->cells.Read(column) : std::nullopt;
}

// ---- Construction ----------------------------------------------------------------------------

CListBase::CListBase(lc::ListControlApi& list)
    : m_list(&list)
{ }

CListBase::~CListBase() = default;

// ---- Item messages ---------------------------------------------------------------------------

lc::LPARAM CListBase::ItemDataOf(const ROW_DATA& record)
{
    // The one place a record becomes an item-data value: a handle, never an address.
    return record.itemData;
}

CListBase::ROW_DATA* CListBase::RecordOf(int item) const
{
    LVITEMA query;
    query.mask = LVIF_PARAM;
    query.iItem = item;
    query.iSubItem = 0;
    if (item < 0 || !m_list->GetItem(query)) {
        return nullptr;
    }
    return RecordFromItemData(query.lParam);
}

lc::LPARAM CListBase::GetItemData(int item) const
{
    lc::LVITEMA descriptor;
    descriptor.mask = lc::LVIF_PARAM;
    descriptor.iItem = item;
    descriptor.iSubItem = 0;
    return m_list->GetItem(descriptor) ? UserDataOf(descriptor.lParam) : 0;
}

lc::LPARAM CListBase::UserDataOf(lc::LPARAM itemData) const
{
    const ROW_DATA* record = RecordFromItemData(itemData);
    return record != nullptr ? record->userData : itemData;
}

bool CListBase::HasSortStyle() const
{
    return (m_list->GetStyle() & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) != 0;
}

int CListBase::InsertItem(const lc::LVITEMA& item)
{
    if (item.iItem < 0) {
        return -1;
    }
    ROW_DATA* record = NewRecord();
    if (record == nullptr) {
        return -1;
    }
    if ((item.mask & LVIF_PARAM) != 0) {
        record->userData = item.lParam;
    }
    // The record is in place before the control sees the item, so a display-text request
    // made during the insertion already finds the text.
    const CELL first = CopyCell(item);
    record->cells.Set(0, first);
    LVITEMA forControl = ItemOf(first, item.iItem, 0);
    forControl.mask |= LVIF_PARAM;
    forControl.lParam = ItemDataOf(*record);
    if ((item.mask & LVIF_TEXT) != 0) {
        forControl.pszText = TextForControl(first, HasSortStyle());
    }
    const lc::LPARAM itemData = forControl.lParam;

    const int index = m_list->InsertItem(forControl);
    if (index < 0) {
        FreeRecord(itemData);
        return -1;
    }
    return index;
}

bool CListBase::SetItem(const lc::LVITEMA& item)
{
    const int column = item.iSubItem;
    if (!IsValidColumn(column) || item.iItem < 0) {
        return false;
    }
    const CELL copy = CopyCell(item);
    const bool visible = m_columns.At(column).visible;
    bool result = true;
    const bool askControl =
        (visible && (item.mask & ~LVIF_PARAM) != 0) || (column == 0 && (item.mask & LVIF_STATE) != 0);
    if (askControl) {
        LVITEMA forControl = ItemOf(copy, item.iItem, column);
        forControl.mask &= ~LVIF_PARAM;  // the control's item data stays the record
        if (visible) {
            if ((forControl.mask & LVIF_TEXT) != 0) {
                forControl.pszText = TextForControl(copy, HasSortStyle());
            }
        } else {
            forControl.mask &= LVIF_STATE;  // hidden column 0: only the item's state
        }
        if (forControl.mask != 0) {
            forControl.iSubItem = ToControlColumn(column);
            if (!m_list->SetItem(forControl)) {
                return false;
            }
        }
    }

    ROW_DATA* record = RecordOf(item.iItem);
    if (record == nullptr) {
        return result;
    }
    if ((item.mask & LVIF_PARAM) != 0) {
        record->userData = item.lParam;
    }
    std::optional<CELL> cell = record->cells.Read(column);
    if (!cell) {
        record->cells.Set(column, copy);  // duplicates the text
        return result;
    }
    if ((item.mask & LVIF_IMAGE) != 0) {
        cell->image = item.iImage;
    }
    if ((item.mask & LVIF_INDENT) != 0) {
        cell->indent = item.iIndent;
    }
    if ((item.mask & LVIF_TEXT) != 0) {
        cell->textKind = copy.textKind;
        cell->text = copy.text;
    }
    cell->mask |= item.mask;
    record->cells.Set(column, *cell);
    return result;
}

bool CListBase::SetItemText(int item, const lc::LVITEMA& descriptor)
{
    const int column = descriptor.iSubItem;
    if (!IsValidColumn(column) || item < 0) {
        return false;
    }
    CELL text;
    TakeText(descriptor.pszText, text);
    bool result = true;
    if (m_columns.At(column).visible) {
        LVITEMA forControl;
        forControl.mask = LVIF_TEXT;
        forControl.iItem = item;
        forControl.iSubItem = ToControlColumn(column);
        forControl.pszText = TextForControl(text, HasSortStyle());
        if (!m_list->SetItemText(item, forControl)) {
            return false;
        }
    }
    ROW_DATA* record = RecordOf(item);
    if (record == nullptr) {
        return result;
    }
    CELL cell = record->cells.Read(column).value_or(CELL{});
    cell.mask |= LVIF_TEXT;
    cell.textKind = text.textKind;
    cell.text = text.text;
    record->cells.Set(column, cell);  // duplicates the text
    return result;
}

bool CListBase::GetItem(lc::LVITEMA& item) const
{
    const int column = item.iSubItem;
    const unsigned mask = item.mask;
    if (!IsValidColumn(column) || item.iItem < 0) {
        return false;
    }
    const lc::LPARAM callerParam = item.lParam;
    const bool visible = m_columns.At(column).visible;
    if (visible) {
        item.iSubItem = ToControlColumn(column);
    } else {
        // The control has no such column: ask it only for what belongs to the item, and for
        // the record when the cell is needed.
        if ((mask & ~LVIF_STATE) != 0) {
            item.mask |= LVIF_PARAM;
        }
        item.mask &= LVIF_PARAM | LVIF_STATE;
        item.iSubItem = 0;
    }
    const bool askedForRecord = (item.mask & LVIF_PARAM) != 0;
    const bool answer = m_list->GetItem(item);
    const lc::LPARAM itemData = item.lParam;
    item.mask = mask;
    item.iSubItem = column;
    item.lParam = callerParam;
    if (!answer) {
        return false;
    }
    if (visible && mask == LVIF_STATE) {
        return answer;
    }
    const ROW_DATA* record = askedForRecord ? RecordFromItemData(itemData) : nullptr;
    if ((mask & LVIF_PARAM) != 0) {
        item.lParam = record != nullptr ? record->userData : itemData;
    }
    if (visible) {
        return true;
    }
    const CELL cell = CellOf(record, column).value_or(CELL{});  // absent fields are zero
    if ((mask & LVIF_IMAGE) != 0) {
        item.iImage = cell.image;
    }
    if ((mask & LVIF_INDENT) != 0) {
        item.iIndent = cell.indent;
    }
    if ((mask & LVIF_TEXT) != 0) {
        lc::CopyTextToBuffer(cell.text, item.pszText, item.cchTextMax);
    }
    return true;
}

int CListBase::GetItemText(int item, lc::LVITEMA& descriptor) const
{
    const int column = descriptor.iSubItem;
    if (!IsValidColumn(column) || item < 0) {
        lc::CopyTextToBuffer({}, descriptor.pszText, descriptor.cchTextMax);
        return 0;
    }
    if (m_columns.At(column).visible) {
        descriptor.iSubItem = ToControlColumn(column);
        const int copied = m_list->GetItemText(item, descriptor);
        descriptor.iSubItem = column;
        return copied;
    }
    const std::optional<CELL> cell = CellOf(RecordOf(item), column);
    return lc::CopyTextToBuffer(cell ? cell->text : std::string_view(), descriptor.pszText, descriptor.cchTextMax);
}

bool CListBase::DeleteItem(int item)
{
    if (item < 0) {
        return false;
    }
    ROW_DATA* record = RecordOf(item);
    if (record == nullptr) {
        return false;
    }
    const lc::LPARAM itemData = ItemDataOf(*record);
    if (!m_list->DeleteItem(item)) {
        return false;
    }
    FreeRecord(itemData);  // frees every cell with its text
    return true;
}

bool CListBase::DeleteAllItems()
{
    bool result = true;
    // Item by item, last to first, so the owner hears of every deletion.
    for (int item = m_list->GetItemCount() - 1; item >= 0; --item) {
        const ROW_DATA* record = RecordOf(item);
        // The handle is taken first: the owner hears of the deletion before it returns.
        const lc::LPARAM itemData = record != nullptr ? ItemDataOf(*record) : 0;
        const bool deleted = m_list->DeleteItem(item);
        if (record != nullptr && deleted) {
            FreeRecord(itemData);
        } else {
            result = false;
        }
    }
    return result;
}

int CListBase::FindItem(int start, const lc::LVFINDINFOA& find) const
{
    if ((find.flags & LVFI_PARAM) == 0) {
        return m_list->FindItem(start, find);
    }
    const int count = m_list->GetItemCount();
    const auto matches = [&](int item) {
        const ROW_DATA* record = RecordOf(item);
        return record != nullptr && record->userData == find.lParam;
    };
    return lc::FindWrapped(start, count, (find.flags & LVFI_WRAP) != 0, matches);
}

// ---- Sorting ---------------------------------------------------------------------------------

int CListBase::SortTrampoline(lc::LPARAM itemData1, lc::LPARAM itemData2, lc::LPARAM extension)
{
    const auto* self = reinterpret_cast<const CListBase*>(extension);
    if (self == nullptr || self->m_sortCompare == nullptr) {
        return 0;
    }
    return self->m_sortCompare(self->UserDataOf(itemData1), self->UserDataOf(itemData2), self->m_sortData);
}

bool CListBase::SortItems(lc::PFNLVCOMPARE compare, lc::LPARAM sortData)
{
    // No function to call, or a compare function that tries to sort again: refused.
    if (compare == nullptr || m_sortCompare != nullptr) {
        return false;
    }
    m_sortCompare = compare;
    m_sortData = sortData;
    const bool answer = m_list->SortItems(&CListBase::SortTrampoline, reinterpret_cast<lc::LPARAM>(this));
    m_sortCompare = nullptr;
    m_sortData = 0;
    return answer;
}

lc::ImageList* CListBase::SetImageList(lc::ImageList* images, int which)
{
    lc::ImageList* previous = m_list->SetImageList(images, which);
    if (which == LVSIL_SMALL && images != nullptr) {
        // The header draws its own sort markers and takes no item images: if the control handed
        // it the small icons, take them back.
        m_list->SetHeaderImageList(nullptr);
    }
    return previous;
}

// ---- Styles ----------------------------------------------------------------------------------

unsigned CListBase::SetExtendedStyle(unsigned mask, unsigned style)
{
    const unsigned bits = mask == 0 ? ~0u : mask;
    const unsigned previous = m_extStyle;
    m_extStyle = (m_extStyle & ~bits) | (style & bits);
    if (IsOwnerDrawn()) {
        return SetOwnerDrawnExtendedStyle(mask, style, previous);
    }
    return m_list->SetExtendedStyle(mask, style);
}

// ---- Focus -----------------------------------------------------------------------------------

void CListBase::OnSetFocus()
{
    const int first = m_list->GetNextItem(-1, LVNI_SELECTED);
    if (first >= 0) {
        m_list->SetItemState(first, LVIS_FOCUSED, LVIS_FOCUSED);
    }
}

void CListBase::OnKillFocus()
{
    const int first = m_list->GetNextItem(-1, LVNI_SELECTED);
    if (first >= 0) {
        m_list->SetItemState(first, 0, LVIS_FOCUSED);
    }
}

// ---- Display text ----------------------------------------------------------------------------

void CListBase::ForwardGetDispInfo(lc::NMLVDISPINFOA& /*info*/) { }

void CListBase::ForwardToParent(lc::NMLVDISPINFOA& info)
{
    // The owner sees its own item data, not the record.
    const lc::LPARAM itemData = info.item.lParam;
    info.item.lParam = UserDataOf(itemData);
    ForwardGetDispInfo(info);
    info.item.lParam = itemData;
}

void CListBase::OnGetDispInfo(lc::NMLVDISPINFOA& info)
{
    if (m_inDispInfo) {
        ForwardToParent(info);  // a request made while one is being answered
        return;
    }
    m_inDispInfo = true;
    const int controlColumn = info.item.iSubItem;
    const int column = ToLogicalColumn(controlColumn);
    info.item.iSubItem = column;
    if ((m_list->GetStyle() & LVS_OWNERDATA) == 0 && (info.item.mask & LVIF_TEXT) != 0 && column >= 0) {
        ROW_DATA* record = RecordFromItemData(info.item.lParam);
        const std::optional<CELL> cell = CellOf(record, column);
        if (cell && (cell->mask & LVIF_TEXT) != 0 && cell->textKind == TEXT_KIND::Owned) {
            // Stored with its terminator in the record, which stays as it is meanwhile; the
            // control copies it at once and never writes through it.
            info.item.pszText = const_cast<char*>(cell->text.data());
            info.item.iSubItem = controlColumn;
            m_inDispInfo = false;
            return;
        }
    }
    ForwardToParent(info);
    info.item.iSubItem = controlColumn;
    m_inDispInfo = false;
}

}  // namespace vantor
