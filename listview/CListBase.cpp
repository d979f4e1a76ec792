#include "listview/CListBase.h"

#include "listview/ColumnLayout.h"
#include "listview/ShadeTint.h"
#include "platform/listcontrol/ImageList.h"

#include <QGuiApplication>
#include <QPainter>

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

constexpr int kPaletteDepth = 8;  // bits per pixel of a palette screen
constexpr int kMaxIconGap = 4;

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
    for (RECORD_SLOT& slot : m_slots) {
        std::vector<std::unique_ptr<CELL>>& cells = slot.record.cells;  // empty in a free slot
        if (static_cast<std::size_t>(column) < cells.size()) {
            cells.insert(cells.begin() + column, nullptr);
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
    for (RECORD_SLOT& slot : m_slots) {
        std::vector<std::unique_ptr<CELL>>& cells = slot.record.cells;  // empty in a free slot
        if (static_cast<std::size_t>(column) < cells.size()) {
            cells.erase(cells.begin() + column);
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

namespace {

// A record's handle: the top bit set (no user-space address and no non-negative number has it),
// the slot's generation in the 31 bits below, the slot index in the low 32 bits.
static_assert(sizeof(lc::LPARAM) == sizeof(std::uint64_t), "handles need a 64-bit item data");
constexpr std::uint64_t kHandleMark = std::uint64_t{1} << 63;
constexpr std::uint32_t kGenerationMask = 0x7FFF'FFFFu;
constexpr std::uint64_t kMaxSlots = std::uint64_t{1} << 32;

lc::LPARAM MakeHandle(std::size_t index, std::uint32_t generation) {
    return static_cast<lc::LPARAM>(kHandleMark | (std::uint64_t{generation} << 32) | std::uint64_t{index});
}

}  // namespace

lc::LPARAM CListBase::ItemDataOf(const ROW_DATA& record) {
    // The one place a record becomes an item-data value: a handle, never an address.
    return record.itemData;
}

CListBase::ROW_DATA* CListBase::RecordFromItemData(lc::LPARAM itemData) const {
    const auto handle = static_cast<std::uint64_t>(itemData);
    if ((handle & kHandleMark) == 0) {
        return nullptr;
    }
    const std::uint64_t index = handle & 0xFFFF'FFFFu;
    if (index >= m_slots.size()) {
        return nullptr;
    }
    RECORD_SLOT& slot = m_slots[static_cast<std::size_t>(index)];
    const auto generation = static_cast<std::uint32_t>(handle >> 32) & kGenerationMask;
    return slot.live && slot.generation == generation ? &slot.record : nullptr;
}

CListBase::ROW_DATA* CListBase::NewRecord() {
    std::size_t index = 0;
    if (!m_freeSlots.empty()) {
        index = m_freeSlots.back();
        m_freeSlots.pop_back();
    } else if (m_slots.size() < kMaxSlots) {
        index = m_slots.size();
        m_slots.emplace_back();
    } else {
        return nullptr;
    }
    RECORD_SLOT& slot = m_slots[index];
    slot.live = true;
    slot.record.itemData = MakeHandle(index, slot.generation);
    ++m_liveRecords;
    return &slot.record;
}

void CListBase::FreeRecord(lc::LPARAM itemData) {
    ROW_DATA* record = RecordFromItemData(itemData);
    if (record == nullptr) {
        return;
    }
    const auto index = static_cast<std::uint32_t>(static_cast<std::uint64_t>(itemData) & 0xFFFF'FFFFu);
    RECORD_SLOT& slot = m_slots[index];
    slot.live = false;
    slot.generation = (slot.generation & kGenerationMask) == kGenerationMask ? 1 : slot.generation + 1;
    slot.record = ROW_DATA();  // frees every cell with its text
    m_freeSlots.push_back(index);
    --m_liveRecords;
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

lc::LPARAM CListBase::GetItemData(int item) const {
    lc::LVITEMA descriptor;
    descriptor.mask = lc::LVIF_PARAM;
    descriptor.iItem = item;
    descriptor.iSubItem = 0;
    return m_list->GetItem(descriptor) ? UserDataOf(descriptor.lParam) : 0;
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
    ROW_DATA* record = NewRecord();
    if (record == nullptr) {
        return -1;
    }
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

    const int index = m_list->InsertItem(forControl);
    if (index < 0) {
        FreeRecord(itemData);
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
    FreeRecord(itemData);  // frees every cell with its text
    return true;
}

bool CListBase::DeleteAllItems() {
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

// ---- Colours, shading and custom drawing -----------------------------------------------------

bool CListBase::SetBkColor(const QColor& color) {
    if (!m_list->SetBkColor(color)) {
        return false;
    }
    if (m_shadeSortedColumn) {
        m_shadeSortedColumn = false;  // switched on again: the tint follows the new background
        ShadeSortedColumn(true);
    }
    return true;
}

void CListBase::ShadeSortedColumn(bool on) {
    if (on == m_shadeSortedColumn) {
        return;
    }
    if (on) {
        // A palette screen has no room for a tint that close to the background.
        if (m_list->ColorDepth() <= kPaletteDepth) {
            return;
        }
        m_shadeColor = ShadeTint(m_list->GetBkColor());
    }
    m_shadeSortedColumn = on;
    m_list->Invalidate(true);
}

bool CListBase::IsShadedControlColumn(int controlColumn) const {
    const int sorted = SortedColumnOfKey(m_sortKey);
    return m_shadeSortedColumn && IsColumnVisible(sorted) && ToControlColumn(sorted) == controlColumn;
}

std::optional<CListBase::SHADED_BAND> CListBase::SortedColumnBand() const {
    const int sorted = SortedColumnOfKey(m_sortKey);
    if (!m_shadeSortedColumn || !IsColumnVisible(sorted)) {
        return std::nullopt;
    }
    QRect header;
    if (!m_list->GetHeaderItemRect(ToControlColumn(sorted), header)) {
        return std::nullopt;
    }
    const int scroll = m_list->HorizontalScrollPosition();
    return SHADED_BAND{header.x() - scroll, header.x() + header.width() - scroll};
}

bool CListBase::OnEraseBackground(QPainter& painter, const QRect& clip) {
    const std::optional<SHADED_BAND> band = SortedColumnBand();
    if (!band || clip.isEmpty()) {
        return false;
    }
    const int clipLeft = clip.x();
    const int clipRight = clip.x() + clip.width();  // one past the last pixel
    const int bandLeft = std::max(band->left, clipLeft);
    const int bandRight = std::min(band->right, clipRight);
    if (bandLeft >= bandRight) {
        return false;  // the band is outside the clip: the control erases as usual
    }
    // Three fills at most, whatever the number of rows.
    const QColor background = m_list->GetBkColor();
    if (bandLeft > clipLeft) {
        painter.fillRect(QRect(clipLeft, clip.y(), bandLeft - clipLeft, clip.height()), background);
    }
    painter.fillRect(QRect(bandLeft, clip.y(), bandRight - bandLeft, clip.height()), m_shadeColor);
    if (clipRight > bandRight) {
        painter.fillRect(QRect(bandRight, clip.y(), clipRight - bandRight, clip.height()), background);
    }
    return true;
}

void CListBase::InvalidateStrip(const QRect& strip) {
    if (strip.width() > 0 && strip.height() > 0) {
        m_list->InvalidateRect(strip, true);
    }
}

void CListBase::RepaintSortedColumn() {
    const int top = m_list->GetTopIndex();
    if (top < 0 || m_sortKey == 0) {
        return;
    }
    // The rows are repainted by the control; only the empty strips around them show the band
    // drawn by the erase. The list area's top edge is the header's bottom edge.
    const QRect client = m_list->ClientRect();
    QRect topRow;
    if (!m_list->GetItemRect(top, topRow, LVIR_BOUNDS)) {
        return;
    }
    const QRect above(client.x(), client.y(), client.width(), topRow.y() - client.y());
    InvalidateStrip(above);
    const int clientBottom = client.y() + client.height();
    QRect lastRow;
    if (m_list->GetItemRect(m_list->GetItemCount() - 1, lastRow, LVIR_BOUNDS) &&
        lastRow.y() + lastRow.height() < clientBottom) {
        const int below = lastRow.y() + lastRow.height();
        InvalidateStrip(QRect(client.x(), below, client.width(), clientBottom - below));
    } else {
        InvalidateStrip(above);
    }
}

unsigned CListBase::OnCustomDraw(lc::NMLVCUSTOMDRAW& draw) {
    switch (draw.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        unsigned answer = CDRF_DODEFAULT;
        if (m_shadeSortedColumn) {
            draw.clrTextBk = IsShadedControlColumn(draw.iSubItem) ? m_shadeColor : m_list->GetBkColor();
            answer = CDRF_NEWFONT;
        }
        if (draw.iSubItem == 0) {
            answer |= CDRF_NOTIFYPOSTPAINT;  // the icon area is repainted afterwards
        }
        return answer;
    }
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM:
        if (draw.iSubItem == 0) {
            RepaintIconArea(draw);
        }
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

QColor CListBase::IconAreaColor(int item, unsigned state, bool focused, bool atLeftEdge) const {
    const QColor plain = IsShadedControlColumn(0) ? m_shadeColor : m_list->GetBkColor();
    if (atLeftEdge || (m_extStyle & LVS_EX_FULLROWSELECT) == 0) {
        return plain;
    }
    constexpr unsigned kActivation = LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE | LVS_EX_UNDERLINEHOT;
    const bool selected = (state & LVIS_SELECTED) != 0;
    if (selected && focused && (m_extStyle & kActivation) != 0 && m_list->GetHotItem() == item) {
        return m_hotColor;
    }
    if (selected && focused) {
        return SystemColor(QPalette::Highlight);
    }
    if (selected && (m_list->GetStyle() & LVS_SHOWSELALWAYS) != 0) {
        return SystemColor(QPalette::Button);
    }
    return plain;
}

void CListBase::RepaintIconArea(const lc::NMLVCUSTOMDRAW& draw) {
    if (draw.painter == nullptr) {
        return;
    }
    QPainter& painter = *draw.painter;
    const int item = draw.dwItemSpec;
    QRect firstHeader;
    if (!m_list->GetHeaderItemRect(0, firstHeader)) {
        return;
    }
    const int width = firstHeader.width();
    const int x0 = firstHeader.x() - m_list->HorizontalScrollPosition();
    const bool atLeftEdge = firstHeader.x() == 0;

    const bool focused = m_list->HasFocus();
    QRect label;
    if (!m_list->GetItemRect(item, label, LVIR_LABEL)) {
        return;
    }
    LVITEMA info;
    info.mask = LVIF_IMAGE | LVIF_STATE;
    info.iItem = item;
    info.iSubItem = ToLogicalColumn(0);
    info.stateMask = LVIS_STATEIMAGEMASK | LVIS_SELECTED | LVIS_FOCUSED;
    if (info.iSubItem < 0 || !GetItem(info)) {
        return;
    }

    // The icon area never reaches beyond the column, even when the icons do.
    const int fillRight = std::min(label.x(), x0 + width);
    if (fillRight > x0) {
        painter.fillRect(QRect(x0, label.y(), fillRight - x0, label.height()),
                         IconAreaColor(item, info.state, focused, atLeftEdge));
    }
    if (width <= m_iconGap) {
        return;  // too narrow to show any image
    }
    const bool blend = (info.state & LVIS_SELECTED) != 0 && focused;

    const int stateImage = static_cast<int>((info.state & LVIS_STATEIMAGEMASK) >> 12);
    const lc::ImageList* states = m_list->GetImageList(LVSIL_STATE);
    QRect stateArea;
    if (stateImage != 0 && states != nullptr && states->Contains(stateImage - 1) && StateIconRect(item, stateArea)) {
        const QSize image = states->ImageSize();
        // Rows may be taller than the images; the control centres its images in the row.
        const int top = stateArea.y() + std::max(0, (stateArea.height() - image.height()) / 2);
        const QSize clip(std::min(stateArea.width(), image.width()), std::min(stateArea.height(), image.height()));
        DrawListImage(painter, *states, stateImage - 1, QPoint(stateArea.x(), top), clip, blend);
    }

    // Image 0 is never drawn here.
    const lc::ImageList* small = m_list->GetImageList(LVSIL_SMALL);
    QRect icon;
    if (info.iImage > 0 && small != nullptr && small->Contains(info.iImage) && m_list->GetItemRect(item, icon, LVIR_ICON)) {
        const int offset = icon.x() - x0;
        if (offset < width) {
            const QSize image = small->ImageSize();
            const QSize clip(std::min(width - offset, image.width()), std::min(icon.height(), image.height()));
            DrawListImage(painter, *small, info.iImage, icon.topLeft(), clip, blend);
        }
    }
}

void CListBase::DrawListImage(QPainter& /*painter*/, const lc::ImageList& /*images*/, int /*index*/,
                              const QPoint& /*topLeft*/, const QSize& /*clip*/, bool /*blend50*/) {}

QColor CListBase::SystemColor(QPalette::ColorRole role) const {
    if (qGuiApp == nullptr) {
        // No application, no scheme: the classic colours.
        return role == QPalette::Highlight ? QColor(0, 0, 128) : QColor(192, 192, 192);
    }
    return QGuiApplication::palette().color(QPalette::Active, role);
}

bool CListBase::CellRect(int item, int controlColumn, int area, QRect& rect) const {
    if (controlColumn != 0) {
        return m_list->GetSubItemRect(item, controlColumn, area, rect);
    }
    if (area == LVIR_LABEL) {
        return m_list->GetItemRect(item, rect, LVIR_LABEL);
    }
    if (area == LVIR_ICON) {
        QRect icon;
        QRect bounds;
        if (!m_list->GetItemRect(item, icon, LVIR_ICON) || !CellRect(item, 0, LVIR_BOUNDS, bounds)) {
            return false;
        }
        const int right = std::min(icon.x() + icon.width(), bounds.x() + bounds.width());
        icon.setWidth(std::max(0, right - icon.x()));
        rect = icon;
        return true;
    }
    if (area != LVIR_BOUNDS) {
        return false;
    }
    // The control answers the whole row for column 0: narrow it to the column's own cell.
    QRect bounds;
    QRect label;
    if (!m_list->GetSubItemRect(item, 0, LVIR_BOUNDS, bounds) || !m_list->GetItemRect(item, label, LVIR_LABEL)) {
        return false;
    }
    int left = bounds.x();
    const int right = label.x() + label.width();
    HDITEMA header;
    header.mask = HDI_ORDER;
    if (m_list->GetHeaderItem(0, header) && header.iOrder > 0) {
        std::vector<int> order(static_cast<std::size_t>(std::max(0, m_list->GetColumnCount())));
        QRect before;
        if (header.iOrder <= static_cast<int>(order.size()) && m_list->GetColumnOrderArray(order) &&
            m_list->GetSubItemRect(item, order[static_cast<std::size_t>(header.iOrder - 1)], LVIR_BOUNDS, before)) {
            left = before.x() + before.width();
        }
    }
    rect = QRect(left, bounds.y(), std::max(0, right - left), bounds.height());
    return true;
}

bool CListBase::StateIconRect(int item, QRect& rect) {
    QRect cell;
    QRect icon;
    if (!CellRect(item, 0, LVIR_BOUNDS, cell) || !CellRect(item, 0, LVIR_ICON, icon)) {
        return false;
    }
    int left = cell.x();
    int right = icon.x() - (icon.isEmpty() ? 0 : 1);  // one past the last pixel
    if (!m_iconGapKnown) {
        const lc::ImageList* states = m_list->GetImageList(LVSIL_STATE);
        m_iconGap = states != nullptr && states->Contains(0)
                        ? std::clamp(right - left - states->ImageSize().width(), 0, kMaxIconGap)
                        : kMaxIconGap;
        m_iconGapKnown = true;
    }
    left += m_iconGap;
    right = std::min(right, cell.x() + cell.width() - 1);
    rect = QRect(left, cell.y(), std::max(0, right - left), cell.height());
    return true;
}

void CListBase::OnHScroll() { RepaintSortedColumn(); }

void CListBase::OnHeaderEndTrack(int /*column*/) {
    if (m_shadeSortedColumn) {
        RepaintSortedColumn();
    }
}

void CListBase::OnHeaderItemChanged(int /*column*/) {
    if (m_shadeSortedColumn) {
        RepaintSortedColumn();
    }
}

void CListBase::OnSetFocus() {
    const int first = m_list->GetNextItem(-1, LVNI_SELECTED);
    if (first >= 0) {
        m_list->SetItemState(first, LVIS_FOCUSED, LVIS_FOCUSED);
    }
}

void CListBase::OnKillFocus() {
    const int first = m_list->GetNextItem(-1, LVNI_SELECTED);
    if (first >= 0) {
        m_list->SetItemState(first, 0, LVIS_FOCUSED);
    }
}

void CListBase::OnSysColorChange() {
    const bool on = m_shadeSortedColumn;
    m_shadeSortedColumn = !on;  // so the current state is applied again, tint and repaint
    ShadeSortedColumn(on);
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
