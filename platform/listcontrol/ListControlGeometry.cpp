// Rectangles and hit tests: rows, cells and their parts in list-area coordinates, the header's
// height, the top item, and which item is under the mouse (hot tracking, right clicks).

#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControl_p.h"

#include "platform/listcontrol/ImageList.h"
#include "platform/listcontrol/ListControlModel.h"
#include "platform/listcontrol/ListDetailsView.h"
#include "platform/listcontrol/ListHeaderView.h"
#include "platform/listcontrol/ListIconView.h"

#include <QScrollBar>

#include <algorithm>

namespace vantor::lc {

namespace {

QSize SizeOf(const ImageList* images)
{
    return images != nullptr ? images->ImageSize() : QSize();
}

}  // namespace

// ---- Hit tests ---------------------------------------------------------------------------------

void ListControl::Private::TrackHot(const QPoint& pos)
{
    if ((data.appearance.extStyle & kHotTrackingStyles) == 0) {
        hotItem = -1;
        return;
    }
    const QModelIndex index = CurrentView()->indexAt(pos);
    const int now = index.isValid() ? index.row() : -1;
    if (now != hotItem) {
        hotItem = now;
        CurrentView()->viewport()->update();
    }
}

void ListControl::Private::NotifyRightClick(const QPoint& pos)
{
    if (listener == nullptr)
        return;
    NMLISTVIEW info;
    const QModelIndex index = CurrentView()->indexAt(pos);
    info.iItem = index.isValid() ? index.row() : -1;
    info.iSubItem = IsDetails() ? header->logicalIndexAt(pos.x()) : 0;
    if (index.isValid())
        info.iSubItem = index.column();
    info.ptAction = pos;
    info.lParam = data.IsItem(info.iItem) ? data.Item(info.iItem).data : 0;
    listener->OnRightClick(info);
}

// ---- Rows and cells ----------------------------------------------------------------------------

// Rows of the details type are uniform and scrolled per item: row i starts
// (i - top) * height below the viewport's top.
QRect ListControl::Private::RowRect(int item) const
{
    const int height = q.RowHeight();
    const int top = tree->verticalScrollBar()->value();
    return {-header->offset(), (item - top) * height, header->length(), height};
}

QRect ListControl::Private::CellRect(int item, int column) const
{
    const QRect row = RowRect(item);
    return {header->sectionViewportPosition(column), row.top(), header->sectionSize(column), row.height()};
}

FirstCellParts ListControl::Private::FirstCell(int item) const
{
    const ListAppearance& look = data.appearance;
    const QRect cell =
        data.ColumnCount() > 0 ? CellRect(item, 0) : QRect(RowRect(item).topLeft(), QSize(0, q.RowHeight()));
    return LayOutFirstCell(cell, data.Item(item).indent, SizeOf(look.smallImages), SizeOf(look.stateImages));
}

// ---- Geometry messages -------------------------------------------------------------------------

int ListControl::RowHeight() const
{
    const ListAppearance& look = d->data.appearance;
    const int textHeight = d->tree->fontMetrics().height() + 4;
    const int iconHeight = look.smallImages != nullptr ? look.smallImages->ImageSize().height() + 2 : 0;
    const int stateHeight = look.stateImages != nullptr ? look.stateImages->ImageSize().height() + 2 : 0;
    return std::max({textHeight, iconHeight, stateHeight});
}

int ListControl::GetTopIndex() const
{
    const int count = d->data.ItemCount();
    if (count == 0)
        return -1;
    if (d->IsDetails())
        return std::clamp(d->tree->verticalScrollBar()->value(), 0, count - 1);
    d->model->AnnounceInsertedItems();  // the icon view's rows are then the items
    const QModelIndex index = d->icons->indexAt(QPoint(1, 1));
    return index.isValid() ? index.row() : 0;
}

bool ListControl::GetItemRect(int item, QRect& rect, int code) const
{
    const ListControlData& contents = d->data;
    if (!contents.IsItem(item) || code < LVIR_BOUNDS || code > LVIR_SELECTBOUNDS)
        return false;
    if (!d->IsDetails()) {
        d->model->AnnounceInsertedItems();  // the icon view's rows are then the items
        rect = d->icons->visualRect(d->model->index(item, 0));
        return true;
    }
    const FirstCellParts parts = d->FirstCell(item);
    switch (code) {
    case LVIR_BOUNDS:
        rect = d->RowRect(item);
        break;
    case LVIR_ICON:
        rect = parts.icon;
        break;
    case LVIR_LABEL:
        rect = parts.label;
        break;
    default:  // LVIR_SELECTBOUNDS
        rect = (contents.appearance.extStyle & LVS_EX_FULLROWSELECT) != 0 ? d->RowRect(item)
                                                                          : parts.icon.united(parts.label);
        break;
    }
    return true;
}

bool ListControl::GetSubItemRect(int item, int column, int code, QRect& rect) const
{
    const ListControlData& contents = d->data;
    if (!d->IsDetails() || !contents.IsItem(item) || !contents.IsColumn(column))
        return false;
    if (column == 0) {
        // As the platform control answers: the first column's bounds are the whole row.
        if (code == LVIR_BOUNDS) {
            rect = d->RowRect(item);
            return true;
        }
        return GetItemRect(item, rect, code);
    }
    const QRect cell = d->CellRect(item, column);
    const ImageList* small = contents.appearance.smallImages;
    const bool images = (contents.appearance.extStyle & LVS_EX_SUBITEMIMAGES) != 0 && small != nullptr;
    const QRect icon =
        images ? SubItemIconRect(cell, small->ImageSize()) : QRect(cell.left(), cell.top(), 0, cell.height());
    switch (code) {
    case LVIR_BOUNDS:
    case LVIR_SELECTBOUNDS:
        rect = cell;
        return true;
    case LVIR_ICON:
        rect = icon;
        return true;
    case LVIR_LABEL:
        rect = images ? QRect(icon.right() + 1, cell.top(), std::max(0, cell.right() - icon.right()), cell.height())
                      : cell;
        return true;
    default:
        return false;
    }
}

int ListControl::GetHotItem() const
{
    return d->hotItem;
}

int ListControl::HorizontalScrollPosition() const
{
    return d->CurrentView()->horizontalScrollBar()->value();
}

QRect ListControl::ClientRect() const
{
    return d->CurrentView()->viewport()->rect();
}

int ListControl::HeaderHeight() const
{
    if (!d->IsDetails() || d->header->isHidden())
        return 0;
    // The height the tree view gives its header when it lays it out.
    const int wanted = std::max(d->header->minimumHeight(), d->header->sizeHint().height());
    return std::min(wanted, d->header->maximumHeight());
}

}  // namespace vantor::lc
