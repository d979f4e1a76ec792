// What an owner of the list needs to paint and steer it itself: owner-drawn rows (the listener
// paints each item of a report list with the owner-draw style), mouse and key messages handed
// to the listener before the details view acts on them, hit tests the listener may refine, and
// text widths in the list's font.

#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControl_p.h"

#include "platform/listcontrol/ListControlModel.h"
#include "platform/listcontrol/ListDetailsView.h"
#include "platform/listcontrol/ListHeaderView.h"
#include "platform/listcontrol/ListIconView.h"
#include "platform/listcontrol/TextBytes.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <string_view>
#include <utility>

namespace vantor::lc {

namespace {

bool IsOwnerDrawnReport(const ListAppearance& look)
{
    return (look.style & LVS_TYPEMASK) == LVS_REPORT && (look.style & LVS_OWNERDRAWFIXED) != 0;
}

int VirtualKeyOf(const QKeyEvent& event)
{
    if (event.key() == Qt::Key_Control)
        return VK_CONTROL;
    if (event.key() == Qt::Key_Plus && (event.modifiers() & Qt::KeypadModifier) != 0)
        return VK_ADD;
    return 0;
}

}  // namespace

// ---- Owner-drawn rows --------------------------------------------------------------------------

bool ListDetailsView::DrawOwnerDrawnRow(QPainter& painter, int item, const QRect& row) const
{
    const ListControlData& contents = m_control.Data();
    if (!IsOwnerDrawnReport(contents.appearance))
        return false;
    ListControlListener* listener = m_control.Listener();
    if (listener == nullptr)
        return true;  // nobody to paint it: the erased background stays
    DRAWITEMSTRUCT draw;
    draw.painter = &painter;
    draw.itemID = item;
    draw.rcItem = row;
    draw.itemData = contents.Item(item).data;
    const unsigned state = contents.Item(item).state;
    if ((state & LVIS_SELECTED) != 0)
        draw.itemState |= ODS_SELECTED;
    if ((state & LVIS_FOCUSED) != 0 && hasFocus())
        draw.itemState |= ODS_FOCUS;
    painter.save();
    painter.setFont(font());
    listener->OnDrawItem(draw);
    painter.restore();
    return true;
}

// ---- Messages through the listener -------------------------------------------------------------

void ListDetailsView::PassMouse(unsigned message, QMouseEvent* event, std::function<void()> handling)
{
    ListControlListener* listener = m_control.Listener();
    const bool left = message == WM_MOUSEMOVE || event->button() == Qt::LeftButton;
    ControlHandling control(std::move(handling));
    if (listener == nullptr || !left) {
        control();
        return;
    }
    LISTINPUT input;
    input.message = message;
    input.point = event->position().toPoint();
    if (!listener->OnInputMessage(input, control) && !control.Done())
        control();
}

void ListDetailsView::PassKey(unsigned message, QKeyEvent* event, std::function<void()> handling)
{
    ListControlListener* listener = m_control.Listener();
    ControlHandling control(std::move(handling));
    if (listener == nullptr) {
        control();
        return;
    }
    LISTINPUT input;
    input.message = message;
    input.virtualKey = VirtualKeyOf(*event);
    input.qtKey = event->key();
    if (!listener->OnInputMessage(input, control) && !control.Done())
        control();
}

void ListDetailsView::mouseMoveEvent(QMouseEvent* event)
{
    PassMouse(WM_MOUSEMOVE, event, [this, event] { QTreeView::mouseMoveEvent(event); });
}

void ListDetailsView::mouseReleaseEvent(QMouseEvent* event)
{
    PassMouse(WM_LBUTTONUP, event, [this, event] { QTreeView::mouseReleaseEvent(event); });
}

void ListDetailsView::keyReleaseEvent(QKeyEvent* event)
{
    PassKey(WM_KEYUP, event, [this, event] { QTreeView::keyReleaseEvent(event); });
}

// ---- Hit tests and text widths -----------------------------------------------------------------

int ListControl::HitTest(LVHITTESTINFO& info) const
{
    info.flags = LVHT_NOWHERE;
    info.iItem = -1;
    info.iSubItem = 0;
    const ListControlData& contents = d->data;
    if (!d->IsDetails()) {
        d->model->AnnounceInsertedItems();  // the icon view's rows are then the items
        const QModelIndex index = d->icons->indexAt(info.pt);
        if (index.isValid()) {
            info.iItem = index.row();
            info.flags = LVHT_ONITEM;
        }
    } else {
        const int height = RowHeight();
        const int x = info.pt.x() + d->header->offset();  // header coordinates
        const int item =
            info.pt.y() >= 0 && height > 0 ? d->tree->verticalScrollBar()->value() + info.pt.y() / height : -1;
        if (contents.IsItem(item) && x >= 0 && x < d->header->length()) {
            info.iSubItem = std::max(0, d->header->logicalIndexAt(info.pt.x()));
            if (IsOwnerDrawnReport(contents.appearance)) {
                // The owner knows its own parts; the control only knows the row.
                info.iItem = item;
                info.flags = LVHT_ONITEM;
            } else {
                const FirstCellParts parts = d->FirstCell(item);
                const bool fullRow = (contents.appearance.extStyle & LVS_EX_FULLROWSELECT) != 0;
                if (parts.state.contains(info.pt))
                    info.flags = LVHT_ONITEMSTATEICON;
                else if (parts.icon.contains(info.pt))
                    info.flags = LVHT_ONITEMICON;
                else if (parts.label.contains(info.pt) || fullRow)
                    info.flags = LVHT_ONITEMLABEL;
                info.iItem = info.flags == LVHT_NOWHERE ? -1 : item;
            }
        }
    }
    if (d->listener != nullptr)
        d->listener->OnHitTest(info);
    return info.iItem;
}

int ListControl::GetStringWidth(const char* text) const
{
    if (text == nullptr || text == LPSTR_TEXTCALLBACK)
        return 0;
    return d->tree->fontMetrics().horizontalAdvance(DisplayTextFromBytes(std::string_view(text)));
}

}  // namespace vantor::lc
