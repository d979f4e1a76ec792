#include "platform/listcontrol/ListDetailsView.h"

#include "platform/listcontrol/ImageList.h"
#include "platform/listcontrol/ListCellLayout.h"
#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControlData.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace vantor::lc {

ListDetailsView::ListDetailsView(const ListControl& control, QWidget* parent)
    : QTreeView(parent)
    , m_control(control)
{ }

void ListDetailsView::keyPressEvent(QKeyEvent* event)
{
    PassKey(WM_KEYDOWN, event, [this, event] { QTreeView::keyPressEvent(event); });
}

void ListDetailsView::mousePressEvent(QMouseEvent* event)
{
    PassMouse(WM_LBUTTONDOWN, event, [this, event] { QTreeView::mousePressEvent(event); });
}

void ListDetailsView::mouseDoubleClickEvent(QMouseEvent* event)
{
    PassMouse(WM_LBUTTONDBLCLK, event, [this, event] { QTreeView::mouseDoubleClickEvent(event); });
}

QColor ListDetailsView::BackgroundColor() const
{
    const QColor& chosen = m_control.Data().appearance.bkColor;
    return chosen.isValid() ? chosen : palette().color(QPalette::Base);
}

void ListDetailsView::paintEvent(QPaintEvent* event)
{
    ListControlListener* listener = m_control.Listener();
    const QRect clip = event->rect();
    {
        QPainter painter(viewport());
        if (listener == nullptr || !listener->OnEraseBackground(painter, clip))
            painter.fillRect(clip, BackgroundColor());
    }
    m_paintAnswer = CDRF_DODEFAULT;
    m_rowAnswer = CDRF_DODEFAULT;
    if (listener != nullptr) {
        QPainter painter(viewport());
        NMLVCUSTOMDRAW draw;
        draw.dwDrawStage = CDDS_PREPAINT;
        draw.painter = &painter;
        draw.rc = clip;
        draw.clrText = palette().color(QPalette::Text);
        draw.clrTextBk = BackgroundColor();
        m_paintAnswer = listener->OnCustomDraw(draw);
    }
    QTreeView::paintEvent(event);
    m_rowAnswer = CDRF_DODEFAULT;

    const unsigned extStyle = m_control.Data().appearance.extStyle;
    if ((extStyle & LVS_EX_GRIDLINES) != 0) {
        QPainter painter(viewport());
        DrawGridLines(painter, clip);
    }
    if (listener != nullptr && (m_paintAnswer & CDRF_NOTIFYPOSTPAINT) != 0) {
        QPainter painter(viewport());
        NMLVCUSTOMDRAW draw;
        draw.dwDrawStage = CDDS_POSTPAINT;
        draw.painter = &painter;
        draw.rc = clip;
        listener->OnCustomDraw(draw);
    }
}

void ListDetailsView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const ListControlData& contents = m_control.Data();
    const int item = m_control.ItemOfViewRow(index.row());
    if (!contents.IsItem(item))
        return;
    const QHeaderView* head = header();
    const QRect row(-head->offset(), option.rect.top(), head->length(), option.rect.height());
    if (DrawOwnerDrawnRow(*painter, item, row))
        return;

    ListControlListener* listener = m_control.Listener();
    const bool itemNotifications = listener != nullptr && (m_paintAnswer & CDRF_NOTIFYITEMDRAW) != 0;
    unsigned answer = CDRF_DODEFAULT;
    NMLVCUSTOMDRAW draw;
    if (itemNotifications) {
        draw.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.painter = painter;
        draw.rc = row;
        draw.dwItemSpec = item;
        draw.uItemState = contents.Item(item).state;
        draw.lItemlParam = contents.Item(item).data;
        draw.clrText = palette().color(QPalette::Text);
        draw.clrTextBk = BackgroundColor();
        painter->save();
        answer = listener->OnCustomDraw(draw);
        painter->restore();
    }
    // The listener may have changed the list; paint only what is still there.
    if ((answer & CDRF_SKIPDEFAULT) == 0 && contents.IsItem(item)) {
        m_rowAnswer = answer;
        QTreeView::drawRow(painter, option, index);
        m_rowAnswer = CDRF_DODEFAULT;
        if (hasFocus() && contents.FocusedItem() == item)
            DrawFocusFrame(*painter, item, row);
    }
    if (itemNotifications && (answer & CDRF_NOTIFYPOSTPAINT) != 0 && contents.IsItem(item)) {
        draw.dwDrawStage = CDDS_ITEMPOSTPAINT;
        draw.rc = row;
        draw.uItemState = contents.Item(item).state;
        painter->save();
        listener->OnCustomDraw(draw);
        painter->restore();
    }
}

void ListDetailsView::DrawFocusFrame(QPainter& painter, int item, const QRect& row) const
{
    const ListControlData& contents = m_control.Data();
    QRect frame = row;
    if ((contents.appearance.extStyle & LVS_EX_FULLROWSELECT) == 0 && contents.ColumnCount() > 0) {
        const QHeaderView* head = header();
        const QRect cell(head->sectionViewportPosition(0), row.top(), head->sectionSize(0), row.height());
        const ImageList* small = contents.appearance.smallImages;
        const ImageList* state = contents.appearance.stateImages;
        frame = LayOutFirstCell(cell, contents.Item(item).indent, small ? small->ImageSize() : QSize(),
                                state ? state->ImageSize() : QSize())
                    .label;
    }
    if (frame.width() <= 1 || frame.height() <= 1)
        return;
    painter.save();
    const bool selected = (contents.Item(item).state & LVIS_SELECTED) != 0;
    QPen pen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.restore();
}

void ListDetailsView::DrawGridLines(QPainter& painter, const QRect& clip) const
{
    const QHeaderView* head = header();
    const int rowHeight = m_control.RowHeight();
    const QRect area = viewport()->rect();
    // The lines are one pixel wide and run straight, so each is filled as a rectangle (both
    // ends included, as a pen draws them): a pen line is stroked pixel by pixel.
    const QColor colour = palette().color(QPalette::Midlight);
    // Vertical lines at the right edge of every column, over the whole height.
    for (int visual = 0; visual < head->count(); ++visual) {
        const int section = head->logicalIndex(visual);
        const int x = head->sectionViewportPosition(section) + head->sectionSize(section) - 1;
        if (x >= clip.left() && x <= clip.right())
            painter.fillRect(QRect(QPoint(x, clip.top()), QPoint(x, clip.bottom())), colour);
    }
    // Horizontal lines under every row, continued with the row height below the last item.
    if (rowHeight <= 0)
        return;
    const int right = std::min(clip.right(), head->length() - head->offset() - 1);
    if (right < clip.left())
        return;
    const int first = std::max(0, clip.top() / rowHeight);
    for (int y = first * rowHeight + rowHeight - 1; y <= std::min(clip.bottom(), area.bottom()); y += rowHeight) {
        if (y >= clip.top())
            painter.fillRect(QRect(QPoint(clip.left(), y), QPoint(right, y)), colour);
    }
}

void ListDetailsView::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    viewport()->update();
    emit focusChanged(true);
}

void ListDetailsView::focusOutEvent(QFocusEvent* event)
{
    QTreeView::focusOutEvent(event);
    viewport()->update();
    emit focusChanged(false);
}

}  // namespace vantor::lc
