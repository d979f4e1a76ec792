#include "listview/CListBase.h"

#include "listview/ColumnLayout.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

namespace vantor {

namespace {

using namespace vantor::lc;

// Copies a text into a caller buffer of `capacity` bytes: at most capacity - 1 bytes and a
// terminator. Returns the number of bytes copied. Nothing is written without a buffer.
int CopyToBuffer(std::string_view text, char* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) {
        return 0;
    }
    const std::size_t room = static_cast<std::size_t>(capacity) - 1;
    const std::size_t count = std::min(text.size(), room);
    if (count > 0) {  // an empty view may have no storage at all
        std::memcpy(buffer, text.data(), count);
    }
    buffer[count] = '\0';
    return static_cast<int>(count);
}

// The key moved one column away from 0 (+k to +(k+1), -k to -(k+1)), saturating.
int KeyAwayFromZero(int key) {
    if (key > 0) {
        return key == std::numeric_limits<int>::max() ? key : key + 1;
    }
    return key == std::numeric_limits<int>::min() ? key : key - 1;
}

int KeyTowardZero(int key) { return key > 0 ? key - 1 : key + 1; }

}  // namespace

// ---- Copies of caller descriptors ------------------------------------------------------------

CListBase::COLUMN_DESCRIPTION CListBase::CopyColumnDescriptor(const lc::LVCOLUMNA& d) {
    COLUMN_DESCRIPTION copy;
    copy.desc.mask = d.mask;
    copy.desc.fmt = (d.mask & LVCF_FMT) != 0 ? d.fmt : 0;
    copy.desc.cx = (d.mask & LVCF_WIDTH) != 0 ? d.cx : 0;
    copy.desc.iImage = (d.mask & LVCF_IMAGE) != 0 ? d.iImage : 0;
    copy.desc.iOrder = (d.mask & LVCF_ORDER) != 0 ? d.iOrder : 0;
    copy.desc.iSubItem = (d.mask & LVCF_SUBITEM) != 0 ? d.iSubItem : 0;
    copy.desc.pszText = nullptr;
    copy.desc.cchTextMax = 0;
    if ((d.mask & LVCF_TEXT) != 0 && d.pszText != nullptr) {
        copy.text = std::string(d.pszText);
    }
    return copy;
}

lc::LVCOLUMNA CListBase::ForControl(COLUMN_DESCRIPTION& description) {
    LVCOLUMNA d = description.desc;
    d.pszText = description.text ? description.text->data() : nullptr;
    return d;
}

CListBase::CELL_TEXT CListBase::DuplicateText(const char* text) {
    if (text == nullptr) {
        return std::monostate{};
    }
    if (text == LPSTR_TEXTCALLBACK) {
        return CALLBACK_TEXT{};
    }
    return std::string(text);
}

char* CListBase::TextForControl(CELL_TEXT& text, bool sortStyle) {
    if (std::holds_alternative<std::monostate>(text)) {
        return nullptr;
    }
    if (auto* owned = std::get_if<std::string>(&text); owned != nullptr && sortStyle) {
        return owned->data();
    }
    return LPSTR_TEXTCALLBACK;
}

std::unique_ptr<CListBase::CELL> CListBase::CopyCell(const lc::LVITEMA& d) {
    auto cell = std::make_unique<CELL>();
    cell->item = d;
    if ((d.mask & LVIF_IMAGE) == 0) {
        cell->item.iImage = 0;
    }
    if ((d.mask & LVIF_INDENT) == 0) {
        cell->item.iIndent = 0;
    }
    if ((d.mask & LVIF_PARAM) == 0) {
        cell->item.lParam = 0;
    }
    if ((d.mask & LVIF_STATE) != 0) {
        cell->item.state &= d.stateMask;
    } else {
        cell->item.state = 0;
        cell->item.stateMask = 0;
    }
    if ((d.mask & LVIF_TEXT) != 0) {
        cell->text = DuplicateText(d.pszText);
    }
    cell->item.pszText = nullptr;
    cell->item.iSubItem = 0;
    cell->item.cchTextMax = 0;
    return cell;
}

// ---- Construction ----------------------------------------------------------------------------

CListBase::CListBase(lc::ListControlApi& list) : m_list(&list) {}

CListBase::~CListBase() = default;

// ---- Index spaces ----------------------------------------------------------------------------

bool CListBase::IsValidColumn(int column) const {
    return column >= 0 && column < GetColumnCount();
}

int CListBase::GetColumnCount() const { return static_cast<int>(m_columns.size()); }

int CListBase::ToLogicalColumn(int controlColumn) const {
    int target = controlColumn;
    for (int i = 0; i < GetColumnCount(); ++i) {
        if (!m_columns[i].visible) {
            ++target;
        } else if (i == target) {
            return i;
        }
    }
    return -1;
}

int CListBase::ToControlColumn(int logicalColumn) const {
    const int end = std::min(logicalColumn, GetColumnCount());
    int count = 0;
    for (int i = 0; i < end; ++i) {
        count += m_columns[i].visible ? 1 : 0;
    }
    return count;
}

int CListBase::ToControlOrder(int logicalOrder) const {
    int count = 0;
    for (const COLUMN_DATA& column : m_columns) {
        count += column.visible && column.order < logicalOrder ? 1 : 0;
    }
    return count;
}

int CListBase::ToLogicalOrder(int controlOrder) const {
    if (controlOrder < 0) {
        return -1;
    }
    const int n = GetColumnCount();
    std::vector<int> columnAt(static_cast<std::size_t>(n), -1);
    for (int i = 0; i < n; ++i) {
        const int order = m_columns[i].order;
        if (order >= 0 && order < n) {
            columnAt[order] = i;
        }
    }
    int target = controlOrder;
    for (int p = 0; p < n; ++p) {
        const int column = columnAt[p];
        if (column < 0) {
            continue;
        }
        if (!m_columns[column].visible) {
            ++target;
        } else if (p == target) {
            return p;
        }
    }
    return -1;
}

void CListBase::MoveColumnOrder(int column, int newOrder) {
    if (!IsValidColumn(column) || newOrder < 0 || newOrder >= GetColumnCount()) {
        return;
    }
    const int old = m_columns[column].order;
    if (newOrder < old) {
        for (COLUMN_DATA& c : m_columns) {
            if (c.order >= newOrder && c.order < old) {
                ++c.order;
            }
        }
    } else if (newOrder > old) {
        for (COLUMN_DATA& c : m_columns) {
            if (c.order > old && c.order <= newOrder) {
                --c.order;
            }
        }
    }
    m_columns[column].order = newOrder;
}

void CListBase::AllowColumnHiding(int column) {
    if (IsValidColumn(column) && !m_columns[column].hideable) {
        m_columns[column].hideable = true;
        ++m_hideableCount;
    }
}

bool CListBase::IsColumnVisible(int column) const { return IsValidColumn(column) && m_columns[column].visible; }

bool CListBase::IsColumnHideable(int column) const { return IsValidColumn(column) && m_columns[column].hideable; }

int CListBase::ColumnOrder(int column) const { return IsValidColumn(column) ? m_columns[column].order : -1; }

std::string CListBase::ColumnHeading(int column) const {
    if (!IsValidColumn(column) || !m_columns[column].description.text) {
        return {};
    }
    return *m_columns[column].description.text;
}

// ---- Hiding and showing ----------------------------------------------------------------------

void CListBase::SetColumnVisible(int column, bool visible) {
    if (!IsValidColumn(column) || !m_columns[column].hideable || m_columns[column].visible == visible) {
        return;
    }
    if (!visible) {
        const int k = ToControlColumn(column);
        const int width = GetColumnWidth(column);
        // A column the control keeps must stay visible in the table too.
        if (!m_list->DeleteColumn(k)) {
            return;
        }
        m_columns[column].savedWidth = width;
        m_columns[column].visible = false;  // the item records keep the column's cells
        return;
    }

    const bool anyVisibleBefore =
        std::any_of(m_columns.begin(), m_columns.end(), [](const COLUMN_DATA& c) { return c.visible; });
    COLUMN_DATA& data = m_columns[column];
    data.visible = true;
    const int k = ToControlColumn(column);

    COLUMN_DESCRIPTION copy = data.description;
    copy.desc.mask |= LVCF_ORDER;
    copy.desc.iOrder = ToControlOrder(data.order);
    if (m_list->InsertColumn(k, ForControl(copy)) == -1) {
        data.visible = false;  // keep the table in step with the control
        return;
    }
    if (k == 0) {
        SetFirstColumnAlign(data.description.desc.fmt);
    }
    if (SortedColumnOfKey(m_sortKey) == column) {
        RefreshSortArrow();
    }
    if ((m_list->GetStyle() & LVS_OWNERDATA) == 0) {
        ResendCells(column);
        // The column that was first is now control column 1 and its texts must be given again.
        if (k == 0 && anyVisibleBefore) {
            const int former = ToLogicalColumn(1);
            if (former >= 0) {
                ResendCells(former);
            }
        }
    }
    SetColumnWidth(column, m_columns[column].savedWidth & 0xFFFF);
}

void CListBase::ResendCells(int column) {
    for (int item = m_list->GetItemCount() - 1; item >= 0; --item) {
        ROW_DATA* record = RecordOf(item);
        if (record == nullptr || static_cast<std::size_t>(column) >= record->cells.size() ||
            !record->cells[column]) {
            continue;
        }
        CELL& cell = *record->cells[column];
        cell.item.iItem = item;
        cell.item.iSubItem = column;
        LVITEMA d = cell.item;
        // Item data and state belong to the item, which the control still holds; resending
        // them from the cell would bring back values that may have changed since.
        d.mask &= ~(LVIF_PARAM | LVIF_STATE);
        if (d.mask == 0) {
            continue;
        }
        if (std::holds_alternative<CALLBACK_TEXT>(cell.text)) {
            d.pszText = LPSTR_TEXTCALLBACK;
        } else if (auto* text = std::get_if<std::string>(&cell.text)) {
            d.pszText = text->data();
        }
        SetItem(d);  // duplicates the text before it replaces the cell's
    }
}

// ---- Column messages -------------------------------------------------------------------------

int CListBase::InsertColumn(int column, const lc::LVCOLUMNA& descriptor) {
    const int n = GetColumnCount();
    if (column < 0 || column > n) {
        return -1;
    }
    COLUMN_DESCRIPTION copy = CopyColumnDescriptor(descriptor);
    copy.desc.mask &= ~LVCF_SUBITEM;
    copy.desc.iSubItem = 0;
    // The orders must stay a permutation, so a requested order beyond the ends is clamped.
    const bool hasOrder = (descriptor.mask & LVCF_ORDER) != 0;
    const int order = hasOrder ? std::clamp(descriptor.iOrder, 0, n) : column;
    if (hasOrder) {
        copy.desc.iOrder = ToControlOrder(order);
    }
    const int answer = m_list->InsertColumn(ToControlColumn(column), ForControl(copy));
    if (answer == -1) {
        return -1;
    }
    if (column == 0) {
        SetFirstColumnAlign(copy.desc.fmt);
    }

    COLUMN_DATA data;
    data.order = order;
    data.description = std::move(copy);
    data.description.desc.mask |= LVCF_WIDTH;
    data.description.desc.cx = 0;  // widths live in savedWidth while hidden
    for (COLUMN_DATA& c : m_columns) {
        if (c.order >= order) {
            ++c.order;
        }
    }
    m_columns.insert(m_columns.begin() + column, std::move(data));

    if (SortedColumnOfKey(m_sortKey) >= column) {
        m_sortKey = KeyAwayFromZero(m_sortKey);
    }
    for (auto& [itemData, record] : m_records) {
        if (static_cast<std::size_t>(column) < record->cells.size()) {
            record->cells.insert(record->cells.begin() + column, nullptr);
        }
    }
    return answer;
}

bool CListBase::DeleteColumn(int column) {
    if (!IsValidColumn(column)) {
        return false;
    }
    if (m_columns[column].visible && !m_list->DeleteColumn(ToControlColumn(column))) {
        return false;
    }
    const int order = m_columns[column].order;
    for (COLUMN_DATA& c : m_columns) {
        if (c.order > order) {
            --c.order;
        }
    }
    if (m_columns[column].hideable) {
        --m_hideableCount;  // the count stays the number of hideable columns in the table
    }
    m_columns.erase(m_columns.begin() + column);

    const int sorted = SortedColumnOfKey(m_sortKey);
    if (sorted == column) {
        m_sortKey = 0;
    } else if (column < sorted) {
        m_sortKey = KeyTowardZero(m_sortKey);
    }
    for (auto& [itemData, record] : m_records) {
        if (static_cast<std::size_t>(column) < record->cells.size()) {
            record->cells.erase(record->cells.begin() + column);
        }
    }
    return true;
}

bool CListBase::GetColumn(int column, lc::LVCOLUMNA& descriptor) const {
    if (!IsValidColumn(column)) {
        return false;
    }
    const COLUMN_DATA& data = m_columns[column];
    const unsigned mask = descriptor.mask;
    if (data.visible) {
        if (!m_list->GetColumn(ToControlColumn(column), descriptor)) {
            return false;
        }
        descriptor.mask = mask;
        if ((mask & LVCF_ORDER) != 0) {
            descriptor.iOrder = data.order;
        }
        if ((mask & LVCF_SUBITEM) != 0) {
            descriptor.iSubItem = column;
        }
        return true;
    }
    const LVCOLUMNA& stored = data.description.desc;
    if ((mask & LVCF_FMT) != 0) {
        descriptor.fmt = (stored.mask & LVCF_FMT) != 0 ? stored.fmt : 0;
    }
    if ((mask & LVCF_IMAGE) != 0) {
        descriptor.iImage = (stored.mask & LVCF_IMAGE) != 0 ? stored.iImage : -1;
    }
    if ((mask & LVCF_ORDER) != 0) {
        descriptor.iOrder = data.order;
    }
    if ((mask & LVCF_SUBITEM) != 0) {
        descriptor.iSubItem = column;
    }
    if ((mask & LVCF_TEXT) != 0) {
        CopyToBuffer(data.description.text.value_or(std::string()), descriptor.pszText, descriptor.cchTextMax);
    }
    if ((mask & LVCF_WIDTH) != 0) {
        descriptor.cx = data.savedWidth;
    }
    return true;
}

bool CListBase::SetColumn(int column, const lc::LVCOLUMNA& descriptor) {
    if (!IsValidColumn(column)) {
        return false;
    }
    COLUMN_DESCRIPTION copy = CopyColumnDescriptor(descriptor);
    copy.desc.mask &= ~LVCF_SUBITEM;
    copy.desc.iSubItem = 0;
    const bool hasOrder = (descriptor.mask & LVCF_ORDER) != 0;
    const int order = hasOrder ? std::clamp(descriptor.iOrder, 0, GetColumnCount() - 1) : 0;
    if (hasOrder) {
        copy.desc.iOrder = ToControlOrder(order);
    }
    COLUMN_DATA& data = m_columns[column];
    if (data.visible && !m_list->SetColumn(ToControlColumn(column), ForControl(copy))) {
        return false;
    }
    // A width given here is not remembered for a hidden column: only SetColumnWidth does that.
    LVCOLUMNA& stored = data.description.desc;
    if ((copy.desc.mask & LVCF_FMT) != 0) {
        stored.fmt = copy.desc.fmt;
    }
    if ((copy.desc.mask & LVCF_IMAGE) != 0) {
        stored.iImage = copy.desc.iImage;
    }
    if ((copy.desc.mask & LVCF_TEXT) != 0 && copy.text) {
        data.description.text = std::move(copy.text);
    }
    stored.mask |= copy.desc.mask;
    if (hasOrder) {
        MoveColumnOrder(column, order);
    }
    return true;
}

int CListBase::GetColumnWidth(int column) const {
    if (!IsValidColumn(column) || !m_columns[column].visible) {
        return 0;
    }
    return m_list->GetColumnWidth(ToControlColumn(column));
}

bool CListBase::SetColumnWidth(int column, int width) {
    if (!IsValidColumn(column)) {
        return false;
    }
    if (!m_columns[column].visible) {
        m_columns[column].savedWidth = width;
        return true;
    }
    return m_list->SetColumnWidth(ToControlColumn(column), width);
}

int CListBase::GetColumnOrderArray(std::span<int> order) const {
    if (order.empty()) {
        return 0;
    }
    const int n = GetColumnCount();
    std::vector<int> columnAt(static_cast<std::size_t>(n), -1);
    for (int i = 0; i < n; ++i) {
        if (m_columns[i].order >= 0 && m_columns[i].order < n) {
            columnAt[m_columns[i].order] = i;
        }
    }
    const int count = static_cast<int>(std::min<std::size_t>(order.size(), static_cast<std::size_t>(n)));
    for (int i = 0; i < count; ++i) {
        order[i] = columnAt[i];
    }
    return count;
}

bool CListBase::SetColumnOrderArray(std::span<const int> order) {
    const int n = GetColumnCount();
    const int count = static_cast<int>(std::min<std::size_t>(order.size(), static_cast<std::size_t>(n)));
    if (count < 1) {
        return false;
    }
    std::vector<int> controlOrder;
    controlOrder.reserve(static_cast<std::size_t>(count));
    for (int j = 0; j < count; ++j) {
        const int column = order[j];
        if (!IsValidColumn(column)) {
            return false;
        }
        if (m_columns[column].visible) {
            controlOrder.push_back(ToControlColumn(column));
        }
    }
    if (!m_list->SetColumnOrderArray(controlOrder)) {
        return false;
    }
    for (int j = 0; j < count; ++j) {
        MoveColumnOrder(order[j], j);
    }
    return true;
}

// ---- Item records ----------------------------------------------------------------------------

lc::LPARAM CListBase::ItemDataOf(const ROW_DATA& record) {
    // The one place a record becomes an item-data value. The way back is a lookup in
    // m_records, so a value the control returns is never trusted as an address.
    return reinterpret_cast<lc::LPARAM>(&record);
}

CListBase::ROW_DATA* CListBase::RecordFromItemData(lc::LPARAM itemData) const {
    const auto found = m_records.find(itemData);
    return found == m_records.end() ? nullptr : found->second.get();
}

CListBase::ROW_DATA* CListBase::RecordOf(int item) const {
    LVITEMA query;
    query.mask = LVIF_PARAM;
    query.iItem = item;
    query.iSubItem = 0;
    if (item < 0 || !m_list->GetItem(query)) {
        return nullptr;
    }
    return RecordFromItemData(query.lParam);
}

lc::LPARAM CListBase::UserDataOf(lc::LPARAM itemData) const {
    const ROW_DATA* record = RecordFromItemData(itemData);
    return record != nullptr ? record->userData : itemData;
}

bool CListBase::HasSortStyle() const {
    return (m_list->GetStyle() & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) != 0;
}

int CListBase::InsertItem(const lc::LVITEMA& item) {
    if (item.iItem < 0) {
        return -1;
    }
    auto record = std::make_unique<ROW_DATA>();
    if ((item.mask & LVIF_PARAM) != 0) {
        record->userData = item.lParam;
    }
    auto cell = CopyCell(item);
    LVITEMA forControl = cell->item;
    forControl.mask |= LVIF_PARAM;
    forControl.lParam = ItemDataOf(*record);
    if ((item.mask & LVIF_TEXT) != 0) {
        forControl.pszText = TextForControl(cell->text, HasSortStyle());
    }
    // The record is in place before the control sees the item, so a display-text request
    // made during the insertion already finds the text.
    CELL* first = cell.get();
    record->cells.push_back(std::move(cell));
    const lc::LPARAM itemData = forControl.lParam;
    m_records.emplace(itemData, std::move(record));

    const int index = m_list->InsertItem(forControl);
    if (index < 0) {
        m_records.erase(itemData);
        return -1;
    }
    first->item.iItem = index;
    return index;
}

bool CListBase::SetItem(const lc::LVITEMA& item) {
    const int column = item.iSubItem;
    if (!IsValidColumn(column) || item.iItem < 0) {
        return false;
    }
    auto copy = CopyCell(item);
    const bool visible = m_columns[column].visible;
    bool result = true;
    const bool askControl =
        (visible && (item.mask & ~LVIF_PARAM) != 0) || (column == 0 && (item.mask & LVIF_STATE) != 0);
    if (askControl) {
        LVITEMA forControl = copy->item;
        forControl.mask &= ~LVIF_PARAM;  // the control's item data stays the record
        if (visible) {
            if ((forControl.mask & LVIF_TEXT) != 0) {
                forControl.pszText = TextForControl(copy->text, HasSortStyle());
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
    const auto slot = static_cast<std::size_t>(column);
    if (slot < record->cells.size() && record->cells[slot]) {
        CELL& cell = *record->cells[slot];
        if ((item.mask & LVIF_IMAGE) != 0) {
            cell.item.iImage = item.iImage;
        }
        if ((item.mask & LVIF_INDENT) != 0) {
            cell.item.iIndent = item.iIndent;
        }
        if ((item.mask & LVIF_TEXT) != 0) {
            cell.text = std::move(copy->text);
        }
        cell.item.mask |= item.mask;
    } else {
        copy->item.mask = item.mask;
        copy->item.iSubItem = column;
        if (record->cells.size() <= slot) {
            record->cells.resize(slot + 1);
        }
        record->cells[slot] = std::move(copy);
    }
    return result;
}

bool CListBase::SetItemText(int item, const lc::LVITEMA& descriptor) {
    const int column = descriptor.iSubItem;
    if (!IsValidColumn(column) || item < 0) {
        return false;
    }
    CELL_TEXT text = DuplicateText(descriptor.pszText);
    bool result = true;
    if (m_columns[column].visible) {
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
    const auto slot = static_cast<std::size_t>(column);
    if (slot < record->cells.size() && record->cells[slot]) {
        CELL& cell = *record->cells[slot];
        cell.text = std::move(text);
        cell.item.mask |= LVIF_TEXT;
    } else {
        auto cell = std::make_unique<CELL>();
        cell->item.mask = LVIF_TEXT;
        cell->item.iItem = item;
        cell->item.iSubItem = column;
        cell->text = std::move(text);
        if (record->cells.size() <= slot) {
            record->cells.resize(slot + 1);
        }
        record->cells[slot] = std::move(cell);
    }
    return result;
}

bool CListBase::GetItem(lc::LVITEMA& item) const {
    const int column = item.iSubItem;
    const unsigned mask = item.mask;
    if (!IsValidColumn(column) || item.iItem < 0) {
        return false;
    }
    const lc::LPARAM callerParam = item.lParam;
    const bool visible = m_columns[column].visible;
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
    const CELL* cell = nullptr;
    if (record != nullptr && static_cast<std::size_t>(column) < record->cells.size()) {
        cell = record->cells[column].get();
    }
    if ((mask & LVIF_IMAGE) != 0) {
        item.iImage = cell != nullptr && (cell->item.mask & LVIF_IMAGE) != 0 ? cell->item.iImage : 0;
    }
    if ((mask & LVIF_INDENT) != 0) {
        item.iIndent = cell != nullptr && (cell->item.mask & LVIF_INDENT) != 0 ? cell->item.iIndent : 0;
    }
    if ((mask & LVIF_TEXT) != 0) {
        const std::string* text = cell != nullptr ? std::get_if<std::string>(&cell->text) : nullptr;
        CopyToBuffer(text != nullptr ? std::string_view(*text) : std::string_view(), item.pszText,
                     item.cchTextMax);
    }
    return true;
}

int CListBase::GetItemText(int item, lc::LVITEMA& descriptor) const {
    const int column = descriptor.iSubItem;
    if (!IsValidColumn(column) || item < 0) {
        CopyToBuffer({}, descriptor.pszText, descriptor.cchTextMax);
        return 0;
    }
    if (m_columns[column].visible) {
        descriptor.iSubItem = ToControlColumn(column);
        const int copied = m_list->GetItemText(item, descriptor);
        descriptor.iSubItem = column;
        return copied;
    }
    const ROW_DATA* record = RecordOf(item);
    const CELL* cell = nullptr;
    if (record != nullptr && static_cast<std::size_t>(column) < record->cells.size()) {
        cell = record->cells[column].get();
    }
    const std::string* text = cell != nullptr ? std::get_if<std::string>(&cell->text) : nullptr;
    return CopyToBuffer(text != nullptr ? std::string_view(*text) : std::string_view(), descriptor.pszText,
                        descriptor.cchTextMax);
}

bool CListBase::DeleteItem(int item) {
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
    m_records.erase(itemData);  // frees every cell with its text
    return true;
}

bool CListBase::DeleteAllItems() {
    bool result = true;
    // Item by item, last to first, so the owner hears of every deletion.
    for (int item = m_list->GetItemCount() - 1; item >= 0; --item) {
        const ROW_DATA* record = RecordOf(item);
        const bool deleted = m_list->DeleteItem(item);
        if (record != nullptr && deleted) {
            m_records.erase(ItemDataOf(*record));
        } else {
            result = false;
        }
    }
    return result;
}

int CListBase::FindItem(int start, const lc::LVFINDINFOA& find) const {
    if ((find.flags & LVFI_PARAM) == 0) {
        return m_list->FindItem(start, find);
    }
    const int count = m_list->GetItemCount();
    const auto matches = [&](int item) {
        const ROW_DATA* record = RecordOf(item);
        return record != nullptr && record->userData == find.lParam;
    };
    const int first = start < 0 ? 0 : (start >= count ? count : start + 1);
    for (int item = first; item < count; ++item) {
        if (matches(item)) {
            return item;
        }
    }
    if (start >= 0 && (find.flags & LVFI_WRAP) != 0) {
        const int last = std::min(start, count - 1);
        for (int item = 0; item <= last; ++item) {
            if (matches(item)) {
                return item;
            }
        }
    }
    return -1;
}

// ---- Sorting ---------------------------------------------------------------------------------

int CListBase::SortTrampoline(lc::LPARAM itemData1, lc::LPARAM itemData2, lc::LPARAM extension) {
    const auto* self = reinterpret_cast<const CListBase*>(extension);
    if (self == nullptr || self->m_sortCompare == nullptr) {
        return 0;
    }
    return self->m_sortCompare(self->UserDataOf(itemData1), self->UserDataOf(itemData2), self->m_sortData);
}

bool CListBase::SortItems(lc::PFNLVCOMPARE compare, lc::LPARAM sortData) {
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

lc::ImageList* CListBase::SetImageList(lc::ImageList* images, int which) {
    lc::ImageList* previous = m_list->SetImageList(images, which);
    if (which == LVSIL_SMALL && images != nullptr) {
        // The header draws its own sort markers and takes no item images: if the control handed
        // it the small icons, take them back.
        m_list->SetHeaderImageList(nullptr);
    }
    return previous;
}

// ---- Styles ----------------------------------------------------------------------------------

unsigned CListBase::SetExtendedStyle(unsigned mask, unsigned style) {
    const unsigned bits = mask == 0 ? ~0u : mask;
    m_extStyle = (m_extStyle & ~bits) | (style & bits);
    return m_list->SetExtendedStyle(mask, style);
}

void CListBase::SetFirstColumnAlign(int fmt) {
    m_firstColumnAlign = fmt & LVCFMT_JUSTIFYMASK;
    if ((m_list->GetStyle() & LVS_OWNERDRAWFIXED) == 0 && (m_extStyle & LVS_EX_FULLROWSELECT) == 0) {
        return;
    }
    HDITEMA header;
    header.mask = HDI_FORMAT;
    if (!m_list->GetHeaderItem(0, header)) {
        return;
    }
    HDITEMA update;
    update.mask = HDI_FORMAT;
    update.fmt = (header.fmt & ~HDF_JUSTIFYMASK) | (fmt & HDF_JUSTIFYMASK);
    m_list->SetHeaderItem(0, update);
}

// ---- Sort key and header marker --------------------------------------------------------------

int CListBase::SortedColumnOfKey(int key) {
    if (key > 0) {
        return key - 1;
    }
    if (key < 0) {
        return -(key + 1);
    }
    return -1;
}

void CListBase::ShowSortArrow(bool on) {
    // The header paints its own up and down markers, so no arrow pictures are needed.
    m_showSortArrow = on;
    RefreshSortArrow();
}

void CListBase::SetSortKey(int key) {
    if (key == m_sortKey) {
        return;
    }
    const int previous = m_sortKey;
    m_sortKey = key;
    RefreshSortArrow();
    if (SortedColumnOfKey(previous) != SortedColumnOfKey(key)) {
        m_list->Invalidate(true);
    }
}

void CListBase::RefreshSortArrow() {
    const int sorted = SortedColumnOfKey(m_sortKey);
    for (int i = GetColumnCount() - 1; i >= 0; --i) {
        if (!m_columns[i].visible) {
            continue;
        }
        const int k = ToControlColumn(i);
        HDITEMA header;
        header.mask = HDI_FORMAT;
        if (!m_list->GetHeaderItem(k, header)) {
            continue;
        }
        int fmt = (header.fmt & HDF_JUSTIFYMASK) | HDF_STRING;
        if (m_showSortArrow && i == sorted) {
            fmt |= m_sortKey > 0 ? HDF_SORTUP : HDF_SORTDOWN;
        }
        HDITEMA update;
        update.mask = HDI_FORMAT;
        update.fmt = fmt;
        m_list->SetHeaderItem(k, update);
    }
}

void CListBase::ShadeSortedColumn(bool on) {
    if (on == m_shadeSortedColumn) {
        return;
    }
    m_shadeSortedColumn = on;
    m_list->Invalidate(true);
}

void CListBase::ReactToColumnClick(lc::NMLISTVIEW& info) {
    info.iSubItem = ToLogicalColumn(info.iSubItem);
    if (info.iSubItem < 0) {
        return;  // no column there: the key stays
    }
    if (SortedColumnOfKey(m_sortKey) == info.iSubItem) {
        m_sortKey = -m_sortKey;
    } else {
        m_sortKey = info.iSubItem + 1;
    }
    RefreshSortArrow();
}

// ---- Saved layout ----------------------------------------------------------------------------

bool CListBase::ApplyColumnLayout(std::span<const std::uint8_t> block) {
    const int n = GetColumnCount();
    const std::optional<ColumnLayout> layout = ColumnLayout::Parse(block, n);
    if (!layout) {
        return true;  // not written for this list: ignored
    }
    // Everything that can make the block unusable is checked before anything changes; a block
    // whose orders leave a display position empty is refused like an impossible sort key.
    if (layout->Check() != ColumnLayout::Problem::None) {
        return false;
    }
    SetSortKey(layout->sortKey);
    for (int i = 0; i < n; ++i) {
        const ColumnLayout::Column& saved = layout->columns[static_cast<std::size_t>(i)];
        if (saved.visible != m_columns[i].visible && (m_columns[i].hideable || !m_columns[i].visible)) {
            SetColumnVisible(i, saved.visible);
        }
        SetColumnWidth(i, saved.width & 0xFFFF);
        m_columns[i].order = saved.order;
    }
    std::vector<int> columnAt(static_cast<std::size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        columnAt[m_columns[i].order] = i;
    }
    SetColumnOrderArray(columnAt);
    return true;
}

bool CListBase::ApplyColumnLayout(const QByteArray& block) {
    return ApplyColumnLayout(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(block.constData()),
                                      static_cast<std::size_t>(block.size())));
}

// ---- Display text ----------------------------------------------------------------------------

void CListBase::ForwardGetDispInfo(lc::NMLVDISPINFOA& /*info*/) {}

void CListBase::ForwardToParent(lc::NMLVDISPINFOA& info) {
    // The owner sees its own item data, not the record.
    const lc::LPARAM itemData = info.item.lParam;
    info.item.lParam = UserDataOf(itemData);
    ForwardGetDispInfo(info);
    info.item.lParam = itemData;
}

void CListBase::OnGetDispInfo(lc::NMLVDISPINFOA& info) {
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
        CELL* cell = nullptr;
        if (record != nullptr && static_cast<std::size_t>(column) < record->cells.size()) {
            cell = record->cells[column].get();
        }
        if (cell != nullptr && (cell->item.mask & LVIF_TEXT) != 0) {
            if (auto* text = std::get_if<std::string>(&cell->text)) {
                info.item.pszText = text->data();  // the control copies it at once
                info.item.iSubItem = controlColumn;
                m_inDispInfo = false;
                return;
            }
        }
    }
    ForwardToParent(info);
    info.item.iSubItem = controlColumn;
    m_inDispInfo = false;
}

}  // namespace vantor
