// Owner-drawn lists and the mouse and keys: hot tracking with the hand cursor, check boxes
// toggled on their image, hit tests refined from the extension's own rectangles, the pinned
// icons' column sizing, and the extended style (the control never tracks hot items itself).

#include "listview/CListBase.h"

#include <algorithm>
#include <utility>

namespace vantor {

namespace {

using namespace vantor::lc;

constexpr unsigned kActivationStyles = LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE | LVS_EX_UNDERLINEHOT;
constexpr int kMaxTextCapacity = 1 << 16;

}  // namespace

// ---- Messages on their way to the control ----------------------------------------------------

bool CListBase::OnInputMessage(const lc::LISTINPUT& input, lc::ControlHandling& control)
{
    const bool ownerDrawn = IsOwnerDrawn();
    switch (input.message) {
    case WM_MOUSEMOVE:
        control();
        TrackHotItem(input.point);
        return true;
    case WM_LBUTTONDOWN:
        if (ownerDrawn && m_cursor) {
            SetListCursor(*m_cursor);
        }
        if (!ownerDrawn || !ToggleCheckAt(input.point)) {
            control();
        }
        TrackHotItem(input.point);
        return true;
    case WM_LBUTTONDBLCLK:
        return ownerDrawn && ToggleCheckAt(input.point);
    case WM_LBUTTONUP:
        if (ownerDrawn && m_cursor) {
            SetListCursor(*m_cursor);
        }
        return false;
    case WM_KEYDOWN:
    case WM_KEYUP:
        return ownerDrawn && OnPinnedKey(input);
    default:
        return false;
    }
}

// ---- Hit tests -------------------------------------------------------------------------------

void CListBase::OnHitTest(lc::LVHITTESTINFO& info)
{
    // The control reports only the row of an owner-drawn item; its parts are the extension's.
    if (!IsOwnerDrawn() || info.iItem < 0 || info.flags != LVHT_ONITEM) {
        return;
    }
    const int item = info.iItem;
    const QPoint& pt = info.pt;
    QRect rect;
    if (CellRect(item, 0, LVIR_LABEL, rect) && rect.contains(pt)) {
        info.flags = LVHT_ONITEMLABEL;
    } else if (CellRect(item, 0, LVIR_ICON, rect) && rect.contains(pt)) {
        info.flags = LVHT_ONITEMICON;
    } else if (StateIconRect(item, rect) && rect.contains(pt)) {
        info.flags = LVHT_ONITEMSTATEICON;
    } else if (m_list->GetItemRect(item, rect, LVIR_BOUNDS) && rect.contains(pt)) {
        // The gap before the state image belongs to no item part.
        if (pt.x() - rect.x() < m_iconGap && pt.x() >= 0) {
            info.flags = LVHT_NOWHERE;
        }
    } else {
        info.flags = LVHT_NOWHERE;
    }
}

// ---- Hot tracking and clicks -----------------------------------------------------------------

void CListBase::InvalidateItem(int item)
{
    QRect bounds;
    if (item >= 0 && m_list->GetItemRect(item, bounds, LVIR_BOUNDS)) {
        m_list->InvalidateRect(bounds, false);
    }
}

void CListBase::TrackHotItem(const QPoint& point)
{
    if ((m_extStyle & kActivationStyles) == 0) {
        return;
    }
    LVHITTESTINFO hit;
    hit.pt = point;
    const int item = HitTest(hit);
    int hot = -1;
    if (item >= 0 && (hit.flags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL)) != 0) {
        const bool selected = (m_list->GetItemState(item, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        if ((m_extStyle & LVS_EX_ONECLICKACTIVATE) != 0 || ((m_extStyle & LVS_EX_TWOCLICKACTIVATE) != 0 && selected)) {
            hot = item;
        }
    }
    if (!IsOwnerDrawn()) {
        m_hotItem = hot;
        return;
    }
    LoadCursors();
    m_cursor = hot >= 0 ? m_handCursor : m_arrowCursor;
    if (hot != m_hotItem) {
        InvalidateItem(m_hotItem);
        m_hotItem = hot;
        InvalidateItem(m_hotItem);
    }
    SetListCursor(*m_cursor);
}

bool CListBase::ToggleCheckAt(const QPoint& point)
{
    if ((m_extStyle & LVS_EX_CHECKBOXES) == 0) {
        return false;
    }
    LVHITTESTINFO hit;
    hit.pt = point;
    const int item = HitTest(hit);
    if (item < 0 || hit.flags != LVHT_ONITEMSTATEICON) {
        return false;
    }
    // State image 1 is the empty box, 2 the checked one.
    const unsigned image = (m_list->GetItemState(item, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12;
    const unsigned inverted = image == 1 ? 2u : 1u;
    m_list->SetItemState(item, inverted << 12, LVIS_STATEIMAGEMASK);
    return true;
}

// ---- Pinned icons: keys and column sizing ----------------------------------------------------

bool CListBase::OnPinnedKey(const lc::LISTINPUT& input)
{
    if (!m_pinIconsLeft || !IsColumn0Moved()) {
        return false;
    }
    if (input.virtualKey == VK_CONTROL) {
        m_ctrlDown = input.message == WM_KEYDOWN;
        return m_ctrlDown;  // the press stays here, the release goes on to the control
    }
    if (input.message != WM_KEYDOWN || input.virtualKey != VK_ADD || !m_ctrlDown) {
        return false;
    }
    // Sized here rather than by the control, which knows nothing of the pinned label.
    const std::vector<int> order = DisplayOrder();
    std::vector<int> widths(order.size(), LVSCW_AUTOSIZE);
    for (std::size_t p = 0; p < order.size(); ++p) {
        if (order[p] == 0 || p == 0) {
            widths[p] = FittedWidth(order[p], order[p] == 0);
        }
    }
    for (std::size_t p = 0; p < order.size(); ++p) {
        m_list->SetColumnWidth(order[p], widths[p]);
    }
    return true;
}

void CListBase::OnHeaderDividerDblClick(int column)
{
    if (!IsOwnerDrawn() || !m_pinIconsLeft || !IsColumn0Moved()) {
        return;
    }
    const std::vector<int> order = DisplayOrder();
    const bool firstShown = !order.empty() && order.front() == column;
    if ((firstShown && column != 0) || (column == 0 && !firstShown)) {
        m_list->SetColumnWidth(column, FittedWidth(column, ToLogicalColumn(column) == 0));
    }
}

std::string CListBase::ControlText(int item, int controlColumn) const
{
    std::vector<char> buffer;
    for (int capacity = 128; capacity <= kMaxTextCapacity; capacity *= 2) {
        buffer.assign(static_cast<std::size_t>(capacity), '\0');
        LVITEMA descriptor;
        descriptor.iSubItem = controlColumn;
        descriptor.pszText = buffer.data();
        descriptor.cchTextMax = capacity;
        if (m_list->GetItemText(item, descriptor) < capacity - 1) {
            break;
        }
    }
    buffer.back() = '\0';
    return std::string(buffer.data());
}

int CListBase::FittedWidth(int controlColumn, bool labelMargins)
{
    int widest = 0;
    for (int item = 0; item < m_list->GetItemCount(); ++item) {
        widest = std::max(widest, m_list->GetStringWidth(ControlText(item, controlColumn).c_str()));
    }
    if (labelMargins) {
        return widest + 6 + 6;
    }
    // Room for the pinned icons before the label: the label's offset in its cell (item 0).
    int offset = 0;
    QRect label;
    QRect cell;
    if (m_list->GetItemCount() > 0 && CellRect(0, 0, LVIR_LABEL, label) && IconCellBounds(0, cell)) {
        offset = std::max(0, label.x() - cell.x());
    }
    return widest + offset + 2 + 6;
}

// ---- Extended style --------------------------------------------------------------------------

void CListBase::LoadCursors()
{
    if (!m_arrowCursor) {
        m_arrowCursor = QCursor(Qt::ArrowCursor);
    }
    if (!m_handCursor) {
        m_handCursor = QCursor(Qt::PointingHandCursor);
    }
}

unsigned CListBase::SetOwnerDrawnExtendedStyle(unsigned mask, unsigned style, unsigned previous)
{
    const unsigned bits = mask == 0 ? ~0u : mask;
    if ((bits & kActivationStyles) == 0) {
        m_cursor.reset();
        return m_list->SetExtendedStyle(mask, style);
    }
    if ((style & bits & kActivationStyles) != 0) {
        LoadCursors();
    } else {
        // Hot tracking ends: no hand cursor and no hot item are left behind.
        m_cursor.reset();
        InvalidateItem(std::exchange(m_hotItem, -1));
    }
    // The control never tracks hot items of an owner-drawn list: the extension does.
    m_list->SetExtendedStyle(0, m_extStyle & ~kActivationStyles);
    return previous;
}

}  // namespace vantor
