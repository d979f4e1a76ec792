// Columns and the header that shows them: the column and header-item messages, and keeping
// the header's sections (widths, display order, sort marker) in step with the columns in both
// directions.

#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControl_p.h"

#include "platform/listcontrol/ListControlModel.h"
#include "platform/listcontrol/ListDetailsView.h"
#include "platform/listcontrol/ListHeaderView.h"
#include "platform/listcontrol/TextBytes.h"

#include <QCursor>

#include <algorithm>
#include <utility>
#include <vector>

namespace vantor::lc {

namespace {

// Header alignment and image flags taken from a column format. The first column's header
// item is always left-aligned, as the platform control keeps it.
int HeaderBitsOf(int columnFmt, bool firstColumn)
{
    const int justify = firstColumn ? HDF_LEFT : (columnFmt & HDF_JUSTIFYMASK);
    return justify | (columnFmt & (HDF_IMAGE | HDF_BITMAP_ON_RIGHT));
}

}  // namespace

// ---- Header ------------------------------------------------------------------------------------

// The user's clicks, drags and resizes of header items, told to the listener.
void ListControl::Private::ConnectHeader()
{
    QObject::connect(header, &QHeaderView::sectionClicked, &q, [this](int section) {
        if (listener != nullptr && data.IsColumn(section)) {
            NMLISTVIEW info;
            info.iItem = -1;
            info.iSubItem = section;
            info.ptAction = header->mapFromGlobal(QCursor::pos());
            listener->OnColumnClick(info);
        }
        SyncSortIndicator();  // a click flips Qt's own marker; the header formats decide
    });
    QObject::connect(header, &QHeaderView::sortIndicatorChanged, &q, [this] {
        if (headerSyncing == 0)
            SyncSortIndicator();
    });
    QObject::connect(header, &QHeaderView::sectionMoved, &q,
                     [this](int section, int, int newVisual) { OnSectionMoved(section, newVisual); });
    QObject::connect(header, &QHeaderView::sectionResized, &q,
                     [this](int section, int, int newSize) { OnSectionResized(section, newSize); });
    QObject::connect(header, &ListHeaderView::mouseReleased, &q, [this] {
        const int column = std::exchange(trackingColumn, -1);
        if (column >= 0 && listener != nullptr && data.IsColumn(column))
            listener->OnHeaderEndTrack(column);
    });
    QObject::connect(header, &QHeaderView::sectionHandleDoubleClicked, &q, [this](int section) {
        if (listener != nullptr && data.IsColumn(section))
            listener->OnHeaderDividerDblClick(section);
    });
    QObject::connect(header, &QWidget::customContextMenuRequested, &q, [this](const QPoint& pos) {
        if (listener != nullptr)
            listener->OnHeaderContextMenu(header->mapToGlobal(pos));
    });
}

// Makes the header show the control's columns: widths, display order, drag permission and
// the one sort marker. Changes made here are not the user's and send no notification.
void ListControl::Private::SyncHeader()
{
    const CounterGuard syncing(headerSyncing);
    const int count = data.ColumnCount();
    if (header->count() == count) {
        for (int column = 0; column < count; ++column) {
            if (header->sectionSize(column) != data.Column(column).width)
                header->resizeSection(column, data.Column(column).width);
        }
        const std::vector<int>& order = data.Order();
        for (int position = 0; position < count; ++position) {
            const int from = header->visualIndex(order[static_cast<std::size_t>(position)]);
            if (from != position)
                header->moveSection(from, position);
        }
    }
    header->setSectionsMovable((data.appearance.extStyle & LVS_EX_HEADERDRAGDROP) != 0);
    SyncSortIndicator();
    CheckHeaderMirror();
}

void ListControl::Private::SyncSortIndicator()
{
    constexpr int kSortBits = HDF_SORTUP | HDF_SORTDOWN;
    int marked = -1;
    if (data.IsColumn(sortMarkColumn) && (data.Column(sortMarkColumn).headerFmt & kSortBits) != 0) {
        marked = sortMarkColumn;
    } else {
        for (int column = 0; column < data.ColumnCount(); ++column) {
            if ((data.Column(column).headerFmt & kSortBits) != 0) {
                marked = column;
                break;
            }
        }
    }
    const CounterGuard syncing(headerSyncing);
    if (marked < 0) {
        header->setSortIndicatorShown(false);
        header->setSortIndicator(-1, Qt::AscendingOrder);
    } else {
        // HDF_SORTUP is an arrow with its apex at the top. QHeaderView draws its ascending
        // order as a down arrow (it hands styles SortDown for Qt::AscendingOrder, Qt 5 and 6),
        // so the up arrow is Qt's descending indicator.
        const bool up = (data.Column(marked).headerFmt & HDF_SORTUP) != 0;
        header->setSortIndicator(marked, up ? Qt::DescendingOrder : Qt::AscendingOrder);
        header->setSortIndicatorShown(true);
    }
}

void ListControl::Private::ApplyWidth(int column, int width)
{
    data.Column(column).width = std::max(0, width);
    SyncHeader();
}

void ListControl::Private::OnSectionResized(int section, int newSize)
{
    if (headerSyncing > 0 || !data.IsColumn(section))
        return;
    data.Column(section).width = newSize;
    CheckHeaderMirror();
    if (header->IsMouseHeld())
        trackingColumn = section;
    if (listener != nullptr)
        listener->OnHeaderItemChanged(section);
}

void ListControl::Private::OnSectionMoved(int section, int newVisual)
{
    if (headerSyncing > 0)
        return;
    std::vector<int> order(static_cast<std::size_t>(header->count()));
    for (int visual = 0; visual < header->count(); ++visual)
        order[static_cast<std::size_t>(visual)] = header->logicalIndex(visual);
    if (!data.SetOrder(order)) {
        SyncHeader();  // the header disagrees with the columns: the control's order wins
        return;
    }
    CheckHeaderMirror();
    tree->viewport()->update();
    if (listener != nullptr)
        listener->OnHeaderEndDrag(section, newVisual);
}

// Column widths and the display order are kept twice, in the columns and in the header's
// sections; every header change, the control's (SyncHeader) or the user's (the two handlers
// above), must leave the copies equal.
void ListControl::Private::CheckHeaderMirror() const
{
#ifndef QT_NO_DEBUG
    const int count = data.ColumnCount();
    Q_ASSERT_X(header->count() == count, "ListControl", "header sections and columns differ in number");
    const std::vector<int>& order = data.Order();
    for (int i = 0; i < count; ++i) {
        Q_ASSERT_X(header->sectionSize(i) == data.Column(i).width, "ListControl",
                   "a header section and its column differ in width");
        Q_ASSERT_X(header->logicalIndex(i) == order[static_cast<std::size_t>(i)], "ListControl",
                   "the header and the columns differ in display order");
    }
#endif
}

// ---- Columns -----------------------------------------------------------------------------------

int ListControl::InsertColumn(int column, const LVCOLUMNA& descriptor)
{
    if (column < 0 || d->sorting)
        return -1;
    ListControlData& contents = d->data;
    const int count = contents.ColumnCount();
    column = std::min(column, count);
    ListColumn entry;
    if ((descriptor.mask & LVCF_FMT) != 0)
        entry.fmt = descriptor.fmt;
    if ((descriptor.mask & LVCF_WIDTH) != 0)
        entry.width = std::max(0, descriptor.cx);
    if ((descriptor.mask & LVCF_TEXT) != 0)
        entry.text = InputText(descriptor.pszText);
    if ((descriptor.mask & LVCF_IMAGE) != 0)
        entry.image = descriptor.iImage;
    entry.headerFmt = HDF_STRING | HeaderBitsOf(entry.fmt, column == 0);
    const int position = (descriptor.mask & LVCF_ORDER) != 0 ? std::clamp(descriptor.iOrder, 0, count) : column;

    {
        const CounterGuard syncing(d->headerSyncing);
        {
            const CounterGuard ignoring(d->ignoreQtSelection);
            d->model->BeginInsertColumn(column);
            contents.InsertColumn(column, position, std::move(entry));
            d->model->EndInsertColumn();
        }
        if (d->sortMarkColumn >= column)
            ++d->sortMarkColumn;
        d->SyncHeader();
    }
    if (contents.SelectedCount() > 0 || contents.FocusedItem() >= 0)
        d->ScheduleSelectionSync();
    return column;
}

bool ListControl::DeleteColumn(int column)
{
    ListControlData& contents = d->data;
    if (!contents.IsColumn(column) || d->sorting)
        return false;
    {
        const CounterGuard syncing(d->headerSyncing);
        {
            const CounterGuard ignoring(d->ignoreQtSelection);
            d->model->BeginRemoveColumn(column);
            contents.DeleteColumn(column);
            d->model->EndRemoveColumn();
        }
        if (d->sortMarkColumn == column)
            d->sortMarkColumn = -1;
        else if (d->sortMarkColumn > column)
            --d->sortMarkColumn;
        if (d->trackingColumn >= column)
            d->trackingColumn = -1;
        d->SyncHeader();
    }
    if (contents.SelectedCount() > 0 || contents.FocusedItem() >= 0)
        d->ScheduleSelectionSync();
    return true;
}

bool ListControl::GetColumn(int column, LVCOLUMNA& descriptor) const
{
    const ListControlData& contents = d->data;
    if (!contents.IsColumn(column))
        return false;
    const ListColumn& entry = contents.Column(column);
    if ((descriptor.mask & LVCF_FMT) != 0)
        descriptor.fmt = entry.fmt;
    if ((descriptor.mask & LVCF_WIDTH) != 0)
        descriptor.cx = entry.width;
    if ((descriptor.mask & LVCF_TEXT) != 0 && IsWritableBuffer(descriptor.pszText, descriptor.cchTextMax))
        CopyTextToBuffer(entry.text, descriptor.pszText, descriptor.cchTextMax);
    if ((descriptor.mask & LVCF_IMAGE) != 0)
        descriptor.iImage = entry.image;
    if ((descriptor.mask & LVCF_ORDER) != 0)
        descriptor.iOrder = contents.DisplayPosition(column);
    if ((descriptor.mask & LVCF_SUBITEM) != 0)
        descriptor.iSubItem = column;
    return true;
}

bool ListControl::SetColumn(int column, const LVCOLUMNA& descriptor)
{
    ListControlData& contents = d->data;
    if (!contents.IsColumn(column))
        return false;
    ListColumn& entry = contents.Column(column);
    if ((descriptor.mask & LVCF_FMT) != 0) {
        entry.fmt = descriptor.fmt;
        entry.headerFmt = (entry.headerFmt & ~(HDF_JUSTIFYMASK | HDF_IMAGE | HDF_BITMAP_ON_RIGHT)) |
                          HeaderBitsOf(descriptor.fmt, column == 0);
    }
    if ((descriptor.mask & LVCF_WIDTH) != 0)
        entry.width = std::max(0, descriptor.cx);
    if ((descriptor.mask & LVCF_TEXT) != 0)
        entry.text = InputText(descriptor.pszText);
    if ((descriptor.mask & LVCF_IMAGE) != 0)
        entry.image = descriptor.iImage;
    if ((descriptor.mask & LVCF_ORDER) != 0)
        contents.MoveColumnTo(column, descriptor.iOrder);
    d->model->HeaderChanged(column, column);
    if ((descriptor.mask & LVCF_FMT) != 0)
        d->tree->viewport()->update();
    d->SyncHeader();
    return true;
}

int ListControl::GetColumnWidth(int column) const
{
    return d->data.IsColumn(column) ? d->data.Column(column).width : 0;
}

bool ListControl::SetColumnWidth(int column, int width)
{
    if (!d->data.IsColumn(column))
        return false;
    if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
        d->model->AnnounceInsertedItems();  // every row is measured, the latest included
        int fitted = d->tree->ContentsWidth(column);
        if (width == LVSCW_AUTOSIZE_USEHEADER)
            fitted = std::max(fitted, d->header->SectionContentsWidth(column));
        width = std::max(0, fitted);
    } else if (width < 0) {
        return false;
    }
    d->ApplyWidth(column, width);
    return true;
}

bool ListControl::GetColumnOrderArray(std::span<int> order) const
{
    const std::vector<int>& current = d->data.Order();
    if (order.size() != current.size())
        return false;
    std::copy(current.begin(), current.end(), order.begin());
    return true;
}

bool ListControl::SetColumnOrderArray(std::span<const int> order)
{
    if (!d->data.SetOrder(order))
        return false;
    d->SyncHeader();
    d->tree->viewport()->update();
    return true;
}

int ListControl::GetColumnCount() const
{
    return d->data.ColumnCount();
}

// ---- Header items ------------------------------------------------------------------------------

bool ListControl::GetHeaderItem(int column, HDITEMA& item) const
{
    const ListControlData& contents = d->data;
    if (!contents.IsColumn(column))
        return false;
    const ListColumn& entry = contents.Column(column);
    if ((item.mask & HDI_WIDTH) != 0)
        item.cxy = entry.width;
    if ((item.mask & HDI_TEXT) != 0 && IsWritableBuffer(item.pszText, item.cchTextMax))
        CopyTextToBuffer(entry.text, item.pszText, item.cchTextMax);
    if ((item.mask & HDI_FORMAT) != 0)
        item.fmt = entry.headerFmt;
    if ((item.mask & HDI_IMAGE) != 0)
        item.iImage = entry.image;
    if ((item.mask & HDI_ORDER) != 0)
        item.iOrder = contents.DisplayPosition(column);
    return true;
}

bool ListControl::SetHeaderItem(int column, const HDITEMA& item)
{
    ListControlData& contents = d->data;
    if (!contents.IsColumn(column))
        return false;
    ListColumn& entry = contents.Column(column);
    if ((item.mask & HDI_WIDTH) != 0)
        entry.width = std::max(0, item.cxy);
    if ((item.mask & HDI_TEXT) != 0)
        entry.text = InputText(item.pszText);
    if ((item.mask & HDI_FORMAT) != 0) {
        entry.headerFmt = item.fmt;
        if ((item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0)
            d->sortMarkColumn = column;
    }
    if ((item.mask & HDI_IMAGE) != 0)
        entry.image = item.iImage;
    if ((item.mask & HDI_ORDER) != 0) {
        contents.MoveColumnTo(column, item.iOrder);
        d->tree->viewport()->update();
    }
    d->model->HeaderChanged(column, column);
    d->SyncHeader();
    return true;
}

bool ListControl::GetHeaderItemRect(int column, QRect& rect) const
{
    if (!d->data.IsColumn(column) || d->header->count() != d->data.ColumnCount())
        return false;
    rect = QRect(d->header->sectionPosition(column), 0, d->header->sectionSize(column), HeaderHeight());
    return true;
}

void ListControl::SetHeaderImageList(ImageList* images)
{
    d->data.appearance.headerImages = images;
    d->model->HeaderChanged(0, d->data.ColumnCount() - 1);
}

ImageList* ListControl::GetHeaderImageList() const
{
    return d->data.appearance.headerImages;
}

}  // namespace vantor::lc
