// The device view's rows: records and identities, texts, and keeping the rows in order.
#include "listview/CDorvexView.h"

#include "listview/DeviceRowOrder.h"
#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControlData.h"
#include "platform/listcontrol/TextBytes.h"
#include "protocol/DeviceRow.h"
#include "resources/Icons.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vantor {
namespace {

using namespace vantor::lc;

// A handful of late rows are cheaper to place one by one than to sort everything; many (rows
// that came in while Auto Arrange was off, or in an icon type) are sorted in one go.
constexpr int kMaxRowsPlacedOneByOne = 16;

}  // namespace

void CDorvexView::AppendDeviceRow(const DEVICE_PACKET& reply, int interfaceIndex)
{
    // The record is written in one buffer and copied into the store, where it stays put; its
    // address is the row's item data.
    std::array<char, kRowRecordBufferSize> buffer;
    std::size_t length = WriteRowRecord(reply, buffer);
    std::string longRecord;
    std::string_view built(buffer.data(), std::min(length, buffer.size()));
    if (length > buffer.size()) {
        longRecord = BuildRowRecord(reply);
        built = longRecord;
    }
    const std::optional<RowRecordStore::Entry> entry = m_records.Add(built);
    if (!entry)
        return;
    const lc::LPARAM itemData = entry->itemData;
    m_rowInterfaces.Note(entry->id, interfaceIndex);

    // Each field is followed by a NUL inside the record, so it can be handed over as it is;
    // the list copies the texts.
    const std::string_view fields = entry->record;
    const auto fieldText = [fields](int field) { return const_cast<char*>(RowRecordField(fields, field).data()); };

    // The row joins the end of the list, and the sort policy below puts it in its place. When
    // the list is being kept sorted and every row is in order, that place is known now (the
    // upper bound: where a stable sort would put a row added last), so the row is inserted
    // there at once; the list ends up exactly as after appending and sorting.
    const int count = GetItemCount();
    const bool insertInPlace = KeepsRowsSorted() && m_ordered.OrdersAll(m_nSortParam, count);
    int position = count;
    const OrderedRowKeys::Key key = OrderedRowKeys::MakeKey(fields, m_nSortParam, itemData);
    if (insertInPlace)
        position = m_ordered.UpperBound(key, [&](lc::LPARAM other) { return CompareWithRecordOf(fields, other); });
    LVITEMA item;
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = position;
    item.iSubItem = 0;
    item.pszText = fieldText(0);
    item.iImage = RowIconIndex(reply.ModelCode());
    item.lParam = itemData;
    const int row = InsertItem(item);
    if (row < 0) {
        m_records.Remove(itemData);  // the record goes with the refused row
        return;
    }
    if (insertInPlace) {
        if (row == position)
            m_ordered.Insert(row, key);
        else
            m_ordered.Clear();  // not where it was meant to go: the next sort is a full one
    }

    for (int column = 1; column < kRowFieldCount; ++column) {
        LVITEMA cell;
        cell.iSubItem = column;
        cell.pszText = fieldText(column);
        SetItemText(row, cell);
    }
    ApplySortPolicy();
}

void CDorvexView::OnDeleteItem(int item, lc::LPARAM userData)
{
    // Removing a row keeps the others in order; the row's key goes with it.
    m_ordered.Remove(item, userData);
    m_records.Remove(userData);
    if (m_records.Count() == 0)
        m_rowInterfaces.Clear();
}

std::optional<std::string_view> CDorvexView::RecordAt(int row) const
{
    // Item data is looked up, never followed as an address.
    const std::optional<RowRecordStore::Entry> entry = m_records.Find(GetItemData(row));
    return entry ? std::optional(entry->record) : std::nullopt;
}

CDorvexView::RowId CDorvexView::RowIdAt(int row) const
{
    const std::optional<RowRecordStore::Entry> entry = m_records.Find(GetItemData(row));
    return entry ? entry->id : kNoRow;
}

int CDorvexView::FindRow(RowId id) const
{
    const std::optional<RowRecordStore::Entry> entry = m_records.FindId(id);
    if (!entry)
        return -1;  // the row is gone; its identity is never given again
    LVFINDINFOA find;
    find.flags = LVFI_PARAM;
    find.lParam = entry->itemData;
    return FindItem(-1, find);
}

std::vector<CDorvexView::RowId> CDorvexView::SelectedRowIds() const
{
    std::vector<RowId> ids;
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED)) {
        if (const RowId id = RowIdAt(row); id != kNoRow)
            ids.push_back(id);
    }
    return ids;
}

std::optional<std::string> CDorvexView::CellBytes(RowId id, int column) const
{
    if (column < 0 || column >= kRowFieldCount)
        return std::nullopt;
    const std::optional<RowRecordStore::Entry> entry = m_records.FindId(id);
    if (!entry)
        return std::nullopt;
    return std::string(RowRecordField(entry->record, column));
}

int CDorvexView::ReplyInterface(RowId id) const
{
    return m_records.FindId(id) ? m_rowInterfaces.Of(id) : 0;
}

QString CDorvexView::GetItemText(int row, int column) const
{
    return DisplayTextFromBytes(GetItemTextBytes(row, column));
}

std::string CDorvexView::GetItemTextBytes(int row, int column) const
{
    const std::optional<std::string_view> record = RecordAt(row);
    if (!record || column < 0 || column >= kRowFieldCount)
        return {};
    return std::string(RowRecordField(*record, column));
}

std::string CDorvexView::GetItemRecord(int row) const
{
    const std::optional<std::string_view> record = RecordAt(row);
    return record ? std::string(*record) : std::string();
}

// ---- Sorting ------------------------------------------------------------------------------------

void CDorvexView::SortAllRows()
{
    ++m_fullSortCount;
    if (!SortItems(&CompareDeviceRows, m_nSortParam)) {
        m_ordered.Clear();
        return;
    }
    const int count = GetItemCount();
    std::vector<OrderedRowKeys::Key> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        const std::optional<std::string_view> record = RecordAt(row);
        if (!record)
            break;  // a row without a record: only the rows before it are known in order
        keys.push_back(OrderedRowKeys::MakeKey(*record, m_nSortParam, RowRecordItemData(*record)));
    }
    m_ordered.Assign(m_nSortParam, std::move(keys));
}

int CDorvexView::CompareWithRecordOf(std::string_view record, lc::LPARAM otherItemData) const
{
    // The item data comes from the ordered keys; it is looked up, never followed blindly.
    const std::optional<RowRecordStore::Entry> other = m_records.Find(otherItemData);
    return other ? CompareRowRecords(record, other->record, m_nSortParam) : 0;
}

void CDorvexView::KeepRowsSorted()
{
    const int count = GetItemCount();
    const bool orderedPartFits = m_ordered.OrderedBy() == m_nSortParam && m_ordered.Count() <= count;
    if (!orderedPartFits || count - m_ordered.Count() > kMaxRowsPlacedOneByOne) {
        SortAllRows();
        return;
    }
    // Each late row goes after every ordered row that does not compare greater (upper bound),
    // which is where a stable sort would put it. Moving an item keeps its contents and item
    // data; the extension finds its records by item data, not by position.
    while (m_ordered.Count() < count) {
        const int late = m_ordered.Count();
        const std::optional<std::string_view> added = RecordAt(late);
        if (!added) {
            SortAllRows();
            return;
        }
        const OrderedRowKeys::Key key = OrderedRowKeys::MakeKey(*added, m_nSortParam, RowRecordItemData(*added));
        const int place =
            m_ordered.UpperBound(key, [&](lc::LPARAM other) { return CompareWithRecordOf(*added, other); });
        if (place != late && !MoveItem(late, place)) {
            SortAllRows();
            return;
        }
        m_ordered.Insert(place, key);
    }
}

bool CDorvexView::KeepsRowsSorted() const
{
    return m_bAutoArrange == 1 && m_nViewMode == kDetails;
}

void CDorvexView::ApplySortPolicy()
{
    if (KeepsRowsSorted()) {
        // Already showing: the header need not be rewritten for every new row.
        if (!IsSortArrowShown())
            ShowSortArrow(true);
        ShadeSortedColumn(true);
        KeepRowsSorted();
    } else {
        ShowSortArrow(false);
        ShadeSortedColumn(false);
    }
}

void CDorvexView::OnColumnClick(const lc::NMLISTVIEW& info)
{
    // The header's key: the same column again reverses it, another column sorts ascending.
    lc::NMLISTVIEW logical = info;
    ReactToColumnClick(logical);
    const int column = logical.iSubItem;
    if (column < 0)
        return;  // no column there: nothing to sort by

    m_nSortParam = SortParamAfterClick(m_nSortParam, column);
    ShowSortArrow(true);
    ShadeSortedColumn(true);
    SortAllRows();
}

}  // namespace vantor
