#include "listview/CListBase.h"

#include "platform/listcontrol/TextBytes.h"

#include "listview/ColumnLayout.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace vantor {

namespace {

using namespace vantor::lc;

// The key moved one column away from 0 (+k to +(k+1), -k to -(k+1)), saturating.
int KeyAwayFromZero(int key)
{
    if (key > 0) {
        return key == std::numeric_limits<int>::max() ? key : key + 1;
    }
    return key == std::numeric_limits<int>::min() ? key : key - 1;
}

int KeyTowardZero(int key)
{
    return key > 0 ? key - 1 : key + 1;
}

}  // namespace

// ---- Column descriptors ----------------------------------------------------------------------

CListBase::COLUMN_DESCRIPTION CListBase::CopyColumnDescriptor(const lc::LVCOLUMNA& d)
{
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

lc::LVCOLUMNA CListBase::ForControl(COLUMN_DESCRIPTION& description)
{
    LVCOLUMNA d = description.desc;
    d.pszText = description.text ? description.text->data() : nullptr;
    return d;
}

std::string CListBase::ColumnHeading(int column) const
{
    if (!IsValidColumn(column) || !m_columns.At(column).description.text) {
        return {};
    }
    return *m_columns.At(column).description.text;
}

// ---- Hiding and showing ----------------------------------------------------------------------

void CListBase::SetColumnVisible(int column, bool visible)
{
    if (!IsValidColumn(column) || !m_columns.At(column).hideable || m_columns.At(column).visible == visible) {
        return;
    }
    if (!visible) {
        const int k = ToControlColumn(column);
        const int width = GetColumnWidth(column);
        // A column the control keeps must stay visible in the table too.
        if (!m_list->DeleteColumn(k)) {
            return;
        }
        m_columns.At(column).savedWidth = width;
        m_columns.At(column).visible = false;  // the item records keep the column's cells
        CheckColumnMirror();
        return;
    }

    const bool anyVisibleBefore = m_columns.AnyVisible();
    COLUMN_DATA& data = m_columns.At(column);
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
    SetColumnWidth(column, m_columns.At(column).savedWidth & 0xFFFF);
    CheckColumnMirror();
}

void CListBase::ResendCells(int column)
{
    for (int item = m_list->GetItemCount() - 1; item >= 0; --item) {
        const std::optional<CELL> cell = CellOf(RecordOf(item), column);
        if (!cell) {
            continue;
        }
        LVITEMA d = ItemOf(*cell, item, column);
        // Item data and state belong to the item, which the control still holds; resending
        // them from the cell would bring back values that may have changed since.
        d.mask &= ~(LVIF_PARAM | LVIF_STATE);
        if (d.mask == 0) {
            continue;
        }
        // The stored text changes with the cell: SetItem is given a copy.
        std::string text(cell->text);
        if (cell->textKind == TEXT_KIND::Callback) {
            d.pszText = LPSTR_TEXTCALLBACK;
        } else if (cell->textKind == TEXT_KIND::Owned) {
            d.pszText = text.data();
        }
        SetItem(d);  // duplicates the text before it replaces the cell's
    }
}

bool CListBase::ColumnOrderMirrorHolds() const
{
    std::vector<int> expected;
    for (const int column : m_columns.ColumnsByOrder()) {
        if (column >= 0 && m_columns.At(column).visible) {
            expected.push_back(ToControlColumn(column));
        }
    }
    std::vector<int> shown(static_cast<std::size_t>(std::max(0, m_list->GetColumnCount())));
    return shown.size() == expected.size() && (shown.empty() || m_list->GetColumnOrderArray(shown)) &&
           shown == expected;
}

// Every column operation of the extension must leave the two copies of the order equal.
void CListBase::CheckColumnMirror() const
{
    Q_ASSERT_X(m_applyingLayout || ColumnOrderMirrorHolds(), "CListBase",
               "the column table and the control differ in display order");
}

// ---- Column messages -------------------------------------------------------------------------

int CListBase::InsertColumn(int column, const lc::LVCOLUMNA& descriptor)
{
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
    m_columns.Insert(column, std::move(data));

    if (SortedColumnOfKey(m_sortKey) >= column) {
        m_sortKey = KeyAwayFromZero(m_sortKey);
    }
    m_records.InsertColumn(column);
    CheckColumnMirror();
    return answer;
}

bool CListBase::DeleteColumn(int column)
{
    if (!IsValidColumn(column)) {
        return false;
    }
    if (m_columns.At(column).visible && !m_list->DeleteColumn(ToControlColumn(column))) {
        return false;
    }
    m_columns.Erase(column);

    const int sorted = SortedColumnOfKey(m_sortKey);
    if (sorted == column) {
        m_sortKey = 0;
    } else if (column < sorted) {
        m_sortKey = KeyTowardZero(m_sortKey);
    }
    m_records.DeleteColumn(column);
    CheckColumnMirror();
    return true;
}

bool CListBase::GetColumn(int column, lc::LVCOLUMNA& descriptor) const
{
    if (!IsValidColumn(column)) {
        return false;
    }
    const COLUMN_DATA& data = m_columns.At(column);
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
        lc::CopyTextToBuffer(data.description.text.value_or(std::string()), descriptor.pszText, descriptor.cchTextMax);
    }
    if ((mask & LVCF_WIDTH) != 0) {
        descriptor.cx = data.savedWidth;
    }
    return true;
}

bool CListBase::SetColumn(int column, const lc::LVCOLUMNA& descriptor)
{
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
    COLUMN_DATA& data = m_columns.At(column);
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

int CListBase::GetColumnWidth(int column) const
{
    if (!IsValidColumn(column) || !m_columns.At(column).visible) {
        return 0;
    }
    return m_list->GetColumnWidth(ToControlColumn(column));
}

bool CListBase::SetColumnWidth(int column, int width)
{
    if (!IsValidColumn(column)) {
        return false;
    }
    if (!m_columns.At(column).visible) {
        m_columns.At(column).savedWidth = width;
        return true;
    }
    return m_list->SetColumnWidth(ToControlColumn(column), width);
}

int CListBase::GetColumnOrderArray(std::span<int> order) const
{
    if (order.empty()) {
        return 0;
    }
    const int n = GetColumnCount();
    const std::vector<int> columnAt = m_columns.ColumnsByOrder();
    const int count = static_cast<int>(std::min<std::size_t>(order.size(), static_cast<std::size_t>(n)));
    for (int i = 0; i < count; ++i) {
        order[i] = columnAt[i];
    }
    return count;
}

bool CListBase::SetColumnOrderArray(std::span<const int> order)
{
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
        if (m_columns.At(column).visible) {
            controlOrder.push_back(ToControlColumn(column));
        }
    }
    if (!m_list->SetColumnOrderArray(controlOrder)) {
        return false;
    }
    for (int j = 0; j < count; ++j) {
        MoveColumnOrder(order[j], j);
    }
    CheckColumnMirror();
    return true;
}

// ---- First column's alignment ----------------------------------------------------------------

void CListBase::SetFirstColumnAlign(int fmt)
{
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

int CListBase::SortedColumnOfKey(int key)
{
    if (key > 0) {
        return key - 1;
    }
    if (key < 0) {
        return -(key + 1);
    }
    return -1;
}

void CListBase::ShowSortArrow(bool on)
{
    // The header paints its own up and down markers, so no arrow pictures are needed.
    m_showSortArrow = on;
    RefreshSortArrow();
}

void CListBase::SetSortKey(int key)
{
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

void CListBase::RefreshSortArrow()
{
    const int sorted = SortedColumnOfKey(m_sortKey);
    for (int i = GetColumnCount() - 1; i >= 0; --i) {
        if (!m_columns.At(i).visible) {
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

void CListBase::ReactToColumnClick(lc::NMLISTVIEW& info)
{
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

bool CListBase::ApplyColumnLayout(std::span<const std::uint8_t> block)
{
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
    {
        const QScopedValueRollback applying(m_applyingLayout, true);
        for (int i = 0; i < n; ++i) {
            const ColumnLayout::Column& saved = layout->columns[static_cast<std::size_t>(i)];
            if (saved.visible != m_columns.At(i).visible && (m_columns.At(i).hideable || !m_columns.At(i).visible)) {
                SetColumnVisible(i, saved.visible);
            }
            SetColumnWidth(i, saved.width & 0xFFFF);
            m_columns.At(i).order = saved.order;
        }
    }
    // The orders were checked to be a permutation, so every display position has its column.
    SetColumnOrderArray(m_columns.ColumnsByOrder());
    return true;
}

bool CListBase::ApplyColumnLayout(const QByteArray& block)
{
    return ApplyColumnLayout(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(block.constData()),
                                                           static_cast<std::size_t>(block.size())));
}

}  // namespace vantor
