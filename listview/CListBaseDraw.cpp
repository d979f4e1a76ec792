#include "listview/CListBase.h"

#include "listview/ShadeTint.h"
#include "platform/listcontrol/ImageList.h"

#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace vantor {

namespace {

using namespace vantor::lc;

constexpr int kPaletteDepth = 8;  // bits per pixel of a palette screen
constexpr int kMaxIconGap = 4;

}  // namespace

// ---- Colours, shading and custom drawing -----------------------------------------------------

bool CListBase::SetBkColor(const QColor& color)
{
    if (!m_list->SetBkColor(color)) {
        return false;
    }
    if (m_shadeSortedColumn) {
        m_shadeSortedColumn = false;  // switched on again: the tint follows the new background
        ShadeSortedColumn(true);
    }
    return true;
}

void CListBase::ShadeSortedColumn(bool on)
{
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

bool CListBase::IsShadedControlColumn(int controlColumn) const
{
    const int sorted = SortedColumnOfKey(m_sortKey);
    return m_shadeSortedColumn && IsColumnVisible(sorted) && ToControlColumn(sorted) == controlColumn;
}

std::optional<CListBase::SHADED_BAND> CListBase::SortedColumnBand() const
{
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

bool CListBase::OnEraseBackground(QPainter& painter, const QRect& clip)
{
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

void CListBase::InvalidateStrip(const QRect& strip)
{
    if (strip.width() > 0 && strip.height() > 0) {
        m_list->InvalidateRect(strip, true);
    }
}

void CListBase::RepaintSortedColumn()
{
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

unsigned CListBase::OnCustomDraw(lc::NMLVCUSTOMDRAW& draw)
{
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

QColor CListBase::IconAreaColor(int item, unsigned state, bool focused, bool atLeftEdge) const
{
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

void CListBase::RepaintIconArea(const lc::NMLVCUSTOMDRAW& draw)
{
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
    if (info.iImage > 0 && small != nullptr && small->Contains(info.iImage) &&
        m_list->GetItemRect(item, icon, LVIR_ICON)) {
        const int offset = icon.x() - x0;
        if (offset < width) {
            const QSize image = small->ImageSize();
            const QSize clip(std::min(width - offset, image.width()), std::min(icon.height(), image.height()));
            DrawListImage(painter, *small, info.iImage, icon.topLeft(), clip, blend);
        }
    }
}

void CListBase::DrawListImage(QPainter& /*painter*/, const lc::ImageList& /*images*/, int /*index*/,
                              const QPoint& /*topLeft*/, const QSize& /*clip*/, bool /*blend50*/)
{ }

QColor CListBase::SystemColor(QPalette::ColorRole role) const
{
    if (qGuiApp == nullptr) {
        // No application, no scheme: the classic colours.
        switch (role) {
        case QPalette::Highlight:
            return {0, 0, 128};
        case QPalette::Text:
            return {0, 0, 0};
        case QPalette::HighlightedText:
            return {255, 255, 255};
        default:
            return {192, 192, 192};
        }
    }
    return QGuiApplication::palette().color(QPalette::Active, role);
}

bool CListBase::CellRect(int item, int controlColumn, int area, QRect& rect) const
{
    if (controlColumn != 0) {
        return m_list->GetSubItemRect(item, controlColumn, area, rect);
    }
    if (area == LVIR_LABEL) {
        return m_list->GetItemRect(item, rect, LVIR_LABEL) && PinRect(item, LVIR_LABEL, rect);
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
        return PinRect(item, LVIR_ICON, rect);
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

bool CListBase::StateIconRect(int item, QRect& rect)
{
    QRect cell;
    QRect icon;
    if (!IconCellBounds(item, cell) || !CellRect(item, 0, LVIR_ICON, icon)) {
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

// ---- Notifications that move or recolour the band ------------------------------------------

void CListBase::OnHScroll()
{
    RepaintSortedColumn();
}

void CListBase::OnHeaderEndTrack(int /*column*/)
{
    if (m_shadeSortedColumn) {
        RepaintSortedColumn();
    }
}

void CListBase::OnHeaderItemChanged(int /*column*/)
{
    if (m_shadeSortedColumn) {
        RepaintSortedColumn();
    }
}

void CListBase::OnSysColorChange()
{
    const bool on = m_shadeSortedColumn;
    m_shadeSortedColumn = !on;  // so the current state is applied again, tint and repaint
    ShadeSortedColumn(on);
}

}  // namespace vantor
