// Owner-drawn lists: the extension paints each item (selection, focus and hot colours, the
// sorted column's tint, icons, cell texts) and places the first column's parts, pinned to the
// leftmost column when asked.

#include "listview/CListBase.h"

#include "platform/listcontrol/ImageList.h"
#include "platform/listcontrol/TextBytes.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace vantor {

namespace {

using namespace vantor::lc;

constexpr int kFirstReadCapacity = 128;
// A text is never longer than this; the buffer stops growing there.
constexpr int kMaxReadCapacity = 1 << 16;

int TextLength(const std::vector<char>& text)
{
    const auto* end = static_cast<const char*>(std::memchr(text.data(), '\0', text.size()));
    return end != nullptr ? static_cast<int>(end - text.data()) : static_cast<int>(text.size());
}

// The area highlighted around a label's text without full-row selection, by the alignment.
QRect AlignedTextArea(const QRect& label, int textWidth, int align)
{
    QRect area;
    switch (align & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        area = QRect(label.x() + label.width() - (textWidth + 8), label.y(), textWidth + 8, label.height());
        break;
    case LVCFMT_CENTER:
        area = QRect(label.x() + (label.width() - textWidth - 12) / 2, label.y(), textWidth + 12, label.height());
        break;
    default:
        area = QRect(label.x(), label.y(), textWidth + 8, label.height());
        break;
    }
    return area.intersected(label);
}

// A dotted frame, every other pixel, as focus rectangles are drawn.
void DrawDottedFrame(QPainter& painter, const QRect& frame, const QColor& color)
{
    if (frame.width() <= 0 || frame.height() <= 0) {
        return;
    }
    const int right = frame.x() + frame.width() - 1;
    const int bottom = frame.y() + frame.height() - 1;
    for (int x = frame.x(); x <= right; ++x) {
        for (const int y : {frame.y(), bottom}) {
            if (((x + y) & 1) == 0) {
                painter.fillRect(x, y, 1, 1, color);
            }
        }
    }
    for (int y = frame.y() + 1; y < bottom; ++y) {
        for (const int x : {frame.x(), right}) {
            if (((x + y) & 1) == 0) {
                painter.fillRect(x, y, 1, 1, color);
            }
        }
    }
}

}  // namespace

bool CListBase::IsOwnerDrawn() const
{
    const unsigned style = m_list->GetStyle();
    return (style & LVS_OWNERDRAWFIXED) != 0 && (style & LVS_TYPEMASK) == LVS_REPORT;
}

// ---- Columns and rectangles ------------------------------------------------------------------

std::vector<int> CListBase::DisplayOrder() const
{
    std::vector<int> order(static_cast<std::size_t>(std::max(0, m_list->GetColumnCount())));
    if (!m_list->GetColumnOrderArray(order)) {
        order.clear();
    }
    return order;
}

bool CListBase::IsColumn0Moved() const
{
    HDITEMA header;
    header.mask = HDI_ORDER;
    return m_list->GetHeaderItem(0, header) && header.iOrder > 0;
}

bool CListBase::IconCellBounds(int item, QRect& rect) const
{
    if (IsOwnerDrawn() && m_pinIconsLeft && IsColumn0Moved()) {
        const std::vector<int> order = DisplayOrder();
        return !order.empty() && m_list->GetSubItemRect(item, order.front(), LVIR_BOUNDS, rect);
    }
    return CellRect(item, 0, LVIR_BOUNDS, rect);
}

bool CListBase::PinRect(int item, int area, QRect& rect) const
{
    if (!IsOwnerDrawn() || !m_pinIconsLeft || !IsColumn0Moved()) {
        return true;
    }
    QRect column0;
    QRect first;
    if (!CellRect(item, 0, LVIR_BOUNDS, column0) || !IconCellBounds(item, first)) {
        return false;
    }
    const int left = first.x() + (rect.x() - column0.x());
    const int firstRight = first.x() + first.width();  // one past the last pixel
    // The label reaches the column's right edge; the icon keeps its width but ends inside it.
    const int right = area == LVIR_LABEL ? firstRight : std::min(left + rect.width(), firstRight - 1);
    rect = QRect(left, rect.y(), std::max(0, right - left), rect.height());
    return true;
}

// ---- Reading an item -------------------------------------------------------------------------

bool CListBase::ReadPaintItem(int item, int controlSubItem, PAINT_ITEM& read) const
{
    // Asked of the control itself (callback texts come back through the display-text answer);
    // the buffer doubles while the text fills it.
    for (int capacity = kFirstReadCapacity; capacity <= kMaxReadCapacity; capacity *= 2) {
        read.text.assign(static_cast<std::size_t>(capacity), '\0');
        read.item = LVITEMA{};
        read.item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        read.item.iItem = item;
        read.item.iSubItem = controlSubItem;
        read.item.stateMask = ~0u;
        read.item.pszText = read.text.data();
        read.item.cchTextMax = capacity;
        if (!m_list->GetItem(read.item)) {
            return false;
        }
        if (TextLength(read.text) < capacity - 1) {
            break;
        }
    }
    read.text.back() = '\0';
    read.item.pszText = read.text.data();
    return true;
}

// ---- Painting an item ------------------------------------------------------------------------

void CListBase::OnDrawItem(lc::DRAWITEMSTRUCT& draw)
{
    if (draw.painter != nullptr && draw.itemID >= 0) {
        DrawOwnerItem(*draw.painter, draw.itemID);
    }
}

void CListBase::DrawOwnerItem(QPainter& painter, int i)
{
    PAINT_ITEM first;
    if (!ReadPaintItem(i, 0, first)) {
        return;
    }
    const unsigned state = first.item.state;
    const bool selected = (state & LVIS_SELECTED) != 0;
    const bool focusedItem = (state & LVIS_FOCUSED) != 0;
    const bool listFocused = m_list->HasFocus();
    const bool fullRow = (m_extStyle & LVS_EX_FULLROWSELECT) != 0;
    const bool selectedFocused = selected && listFocused;
    const bool selectedShown = selected && !listFocused && (m_list->GetStyle() & LVS_SHOWSELALWAYS) != 0;
    const bool highlightedItem = selectedFocused || selectedShown;

    QRect row;
    QRect label;
    if (!m_list->GetItemRect(i, row, LVIR_BOUNDS) || !CellRect(i, 0, LVIR_LABEL, label)) {
        return;
    }
    const std::vector<int> order = DisplayOrder();
    QRect focusRect = row;
    if (fullRow && (!IsColumn0Moved() || m_pinIconsLeft) && !order.empty()) {
        focusRect.setLeft(std::min(label.x(), row.x() + m_list->GetColumnWidth(order.front())));
    }

    QColor selection;
    if (selectedFocused) {
        selection = i == m_hotItem ? m_hotColor : SystemColor(QPalette::Highlight);
    } else if (selectedShown) {
        selection = SystemColor(QPalette::Button);
    }
    const bool underline =
        ((m_extStyle & LVS_EX_TWOCLICKACTIVATE) != 0 && selected) ||
        ((m_extStyle & LVS_EX_UNDERLINEHOT) != 0 && (m_extStyle & LVS_EX_ONECLICKACTIVATE) != 0 && i == m_hotItem);

    painter.save();
    if (underline) {
        QFont font = painter.font();
        font.setUnderline(true);
        painter.setFont(font);
    }
    const QFontMetrics metrics = painter.fontMetrics();
    const QColor background = m_list->GetBkColor();
    int cellLeft = row.x();
    for (int p = 0; p < static_cast<int>(order.size()); ++p) {
        const int b = order[static_cast<std::size_t>(p)];
        LVCOLUMNA column;
        column.mask = LVCF_FMT | LVCF_WIDTH;
        if (!m_list->GetColumn(b, column)) {
            break;
        }
        PAINT_ITEM other;
        const bool haveCell = b == 0 || ReadPaintItem(i, b, other);
        const PAINT_ITEM& cellItem = b == 0 ? first : other;
        const QColor cellBack = IsShadedControlColumn(b) ? m_shadeColor : background;
        const QRect cell(cellLeft, row.y(), column.cx, row.height());
        cellLeft += column.cx;

        const bool labelCell = m_pinIconsLeft ? p == 0 : b == 0;
        const QRect textRect = labelCell ? label.adjusted(2, 0, b > 0 ? -6 : -2, 0) : cell.adjusted(6, 0, -6, 0);
        const QString text = haveCell ? DisplayTextFromBytes(cellItem.item.pszText) : QString();
        const int textWidth =
            text.isEmpty() || textRect.width() <= 0 ? 0 : std::min(metrics.horizontalAdvance(text), textRect.width());

        const bool highlightCell = m_pinIconsLeft ? p == 0 : (b == 0 && (p == 0 || !fullRow));
        QRect area;
        if (highlightCell) {
            const int align = m_pinIconsLeft && (b != 0 || p != 0) ? column.fmt : m_firstColumnAlign;
            area = fullRow ? label : AlignedTextArea(label, textWidth, align);
            if (!fullRow) {
                focusRect = area;
            }
        }
        const bool highlighted = highlightedItem && (fullRow || highlightCell);
        if (highlighted && !highlightCell) {
            painter.fillRect(cell, selection);
        } else if (highlighted) {
            painter.fillRect(cell, cellBack);
            painter.fillRect(area, selection);
        } else {
            painter.fillRect(cell, cellBack);
        }

        if (highlighted && selectedFocused) {
            painter.setPen(SystemColor(QPalette::HighlightedText));
        } else if (underline) {
            painter.setPen(m_hotColor);
        } else {
            painter.setPen(SystemColor(QPalette::Text));
        }
        if (labelCell) {
            QRect iconRect;
            if (StateIconRect(i, iconRect)) {
                DrawStateIcon(painter, first.item, iconRect);
            }
            if (CellRect(i, 0, LVIR_ICON, iconRect)) {
                DrawSmallIcon(painter, first.item, iconRect);
            }
        }
        if (haveCell) {
            LVITEMA shown = cellItem.item;
            shown.iSubItem = ToLogicalColumn(b);
            DrawCellText(painter, shown, column, textRect);
        }
    }
    painter.restore();
    if (focusedItem && listFocused) {
        DrawDottedFrame(painter, focusRect, SystemColor(QPalette::Text));
    }
}

// ---- Painters --------------------------------------------------------------------------------

void CListBase::DrawSmallIcon(QPainter& painter, const lc::LVITEMA& item, const QRect& rect)
{
    const ImageList* images = m_list->GetImageList(LVSIL_SMALL);
    if (item.iImage <= 0 || images == nullptr || !images->Contains(item.iImage)) {
        return;
    }
    const QSize image = images->ImageSize();
    const QSize clip(std::min(rect.width() + 1, image.width()), std::min(rect.height() + 1, image.height()));
    const bool blend = (item.state & LVIS_SELECTED) != 0 && m_list->HasFocus();
    DrawListImage(painter, *images, item.iImage, rect.topLeft(), clip, blend);
}

void CListBase::DrawStateIcon(QPainter& painter, const lc::LVITEMA& item, const QRect& rect)
{
    const int index = static_cast<int>((item.state & LVIS_STATEIMAGEMASK) >> 12) - 1;
    const ImageList* images = m_list->GetImageList(LVSIL_STATE);
    if (index < 0 || images == nullptr || !images->Contains(index)) {
        return;
    }
    const QSize image = images->ImageSize();
    const QSize clip(std::min(rect.width() + 1, image.width()), std::min(rect.height() + 1, image.height()));
    const bool blend = (item.state & LVIS_SELECTED) != 0 && m_list->HasFocus();
    // Rows are taller than the images here: the image is centred in the row, as the control
    // centres its own.
    const int top = rect.y() + std::max(0, (rect.height() - image.height()) / 2);
    DrawListImage(painter, *images, index, QPoint(rect.x(), top), clip, blend);
}

void CListBase::DrawCellText(QPainter& painter, const lc::LVITEMA& cell, const lc::LVCOLUMNA& column, const QRect& rect)
{
    const QString text =
        cell.pszText != nullptr && cell.pszText != LPSTR_TEXTCALLBACK ? DisplayTextFromBytes(cell.pszText) : QString();
    if (text.isEmpty() || rect.width() <= 0) {
        return;
    }
    // Widths are measured in whole pixels everywhere (column sizing included): a text whose
    // measure fits is shown whole, although its exact advance may exceed it by a fraction.
    const QFontMetrics metrics = painter.fontMetrics();
    const QString shown =
        metrics.horizontalAdvance(text) <= rect.width() ? text : metrics.elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect,
                     static_cast<int>(lc::HorizontalAlignment(column.fmt) | Qt::AlignVCenter) | Qt::TextSingleLine |
                         Qt::TextDontClip,
                     shown);
}

void CListBase::SetListCursor(const QCursor& /*cursor*/) { }

}  // namespace vantor
