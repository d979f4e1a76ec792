#include "platform/listcontrol/ListControl.h"

#include "platform/listcontrol/ImageList.h"
#include "platform/listcontrol/ListCellDelegate.h"
#include "platform/listcontrol/ListCellLayout.h"
#include "platform/listcontrol/ListControlData.h"
#include "platform/listcontrol/ListControlModel.h"
#include "platform/listcontrol/ListDetailsView.h"
#include "platform/listcontrol/ListHeaderView.h"
#include "platform/listcontrol/ListIconView.h"
#include "platform/listcontrol/TextBytes.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStackedLayout>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>

namespace vantor::lc {

namespace {

constexpr unsigned kSelectionBits = LVIS_SELECTED | LVIS_FOCUSED;
constexpr unsigned kHotTrackingStyles =
    LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE | LVS_EX_UNDERLINEHOT;
// Room for a text supplied through the display-text request when the control itself needs
// it (painting, searching); longer answers are cut.
constexpr int kCallbackTextCapacity = 1024;

using TextScratch = std::array<char, kCallbackTextCapacity>;

// A caller's output buffer: never the callback marker, which is an address, not storage.
bool IsWritableBuffer(const char* buffer, int capacity)
{
    return buffer != nullptr && buffer != LPSTR_TEXTCALLBACK && capacity > 0;
}

// An input text: null and the marker (where a real text is required) read as empty.
std::string InputText(const char* text)
{
    if (text == nullptr || text == LPSTR_TEXTCALLBACK)
        return {};
    return std::string(text);
}

unsigned char FoldAscii(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (FoldAscii(text[i]) != FoldAscii(prefix[i]))
            return false;
    }
    return true;
}

// Header alignment and image flags taken from a column format. The first column's header
// item is always left-aligned, as the platform control keeps it.
int HeaderBitsOf(int columnFmt, bool firstColumn)
{
    const int justify = firstColumn ? HDF_LEFT : (columnFmt & HDF_JUSTIFYMASK);
    return justify | (columnFmt & (HDF_IMAGE | HDF_BITMAP_ON_RIGHT));
}

QSize SizeOf(const ImageList* images)
{
    return images != nullptr ? images->ImageSize() : QSize();
}

}  // namespace

// ------------------------------------------------------------------------------------------------
struct ListControl::Private {
    explicit Private(ListControl& owner) : q(owner) {}

    // ---- Texts ----
    std::string_view AskText(int item, int column, char* buffer, int capacity) const;
    std::string_view CellText(int item, int column, TextScratch& scratch) const;
    int CopyCellText(int item, int column, char* buffer, int capacity) const;
    bool IsSubItem(int column) const { return column == 0 || data.IsColumn(column); }

    // ---- Selection: item states are the truth, Qt's selection model follows ----
    void ScheduleSelectionSync();
    void SyncSelection();
    void OnQtSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void OnQtCurrentChanged(const QModelIndex& current);
    bool ApplyState(int item, unsigned state, unsigned mask);
    void StateChanged(bool changed, unsigned mask);

    // ---- Header ----
    void SyncHeader();
    void SyncSortIndicator();
    void ApplyWidth(int column, int width);
    void OnSectionResized(int section, int newSize);
    void OnSectionMoved(int section, int newVisual);

    // ---- Styles ----
    void ApplyStyle();
    void ApplyExtendedStyle();
    void ApplyImageLists();
    QAbstractItemView* CurrentView() const;
    bool IsDetails() const { return (data.appearance.style & LVS_TYPEMASK) == LVS_REPORT; }
    void TrackHot(const QPoint& pos);
    void NotifyRightClick(const QPoint& pos);
    QRect RowRect(int item) const;
    QRect CellRect(int item, int column) const;
    FirstCellParts FirstCell(int item) const;

    ListControl& q;
    ListControlData data;
    ListControlListener* listener = nullptr;
    ListControlModel* model = nullptr;
    QItemSelectionModel* selection = nullptr;
    ListDetailsView* tree = nullptr;
    ListHeaderView* header = nullptr;
    ListCellDelegate* delegate = nullptr;
    ListIconView* icons = nullptr;
    QStackedLayout* stack = nullptr;
    QTimer selectionTimer;
    bool selectionDirty = false;
    int ignoreQtSelection = 0;  // >0 while the control itself changes Qt's selection or rows
    int headerSyncing = 0;      // >0 while the control itself changes the header
    bool sorting = false;
    int hotItem = -1;
    int sortMarkColumn = -1;   // column whose header format last received a sort marker
    int trackingColumn = -1;   // column being resized by the user
};

// ---- Texts -------------------------------------------------------------------------------------

std::string_view ListControl::Private::AskText(int item, int column, char* buffer, int capacity) const
{
    if (!IsWritableBuffer(buffer, capacity))
        return {};
    buffer[0] = '\0';
    if (listener == nullptr || !data.IsItem(item))
        return {};
    NMLVDISPINFOA info;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = item;
    info.item.iSubItem = column;
    info.item.lParam = data.Item(item).data;
    info.item.pszText = buffer;
    info.item.cchTextMax = capacity;
    listener->OnGetDispInfo(info);
    const char* answer = info.item.pszText;
    if (answer == nullptr || answer == LPSTR_TEXTCALLBACK)
        return {};
    const auto limit = static_cast<std::size_t>(capacity) - 1;
    if (answer == buffer) {
        buffer[limit] = '\0';
        return {buffer, std::strlen(buffer)};
    }
    // The listener's own text: copied at once, cut to the buffer.
    const std::size_t length = strnlen(answer, limit);
    std::memmove(buffer, answer, length);
    buffer[length] = '\0';
    return {buffer, length};
}

std::string_view ListControl::Private::CellText(int item, int column, TextScratch& scratch) const
{
    if (!data.IsItem(item))
        return {};
    const ListCell* cell = data.Cell(item, column);
    if (cell == nullptr)
        return {};
    if (!cell->callback)
        return cell->text;
    return AskText(item, column, scratch.data(), kCallbackTextCapacity);
}

int ListControl::Private::CopyCellText(int item, int column, char* buffer, int capacity) const
{
    if (!IsWritableBuffer(buffer, capacity))
        return 0;
    const ListCell* cell = data.Cell(item, column);
    if (cell == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    if (cell->callback)
        return static_cast<int>(AskText(item, column, buffer, capacity).size());
    return CopyTextToBuffer(cell->text, buffer, capacity);
}

// ---- Selection ---------------------------------------------------------------------------------

void ListControl::Private::ScheduleSelectionSync()
{
    selectionDirty = true;
    if (!selectionTimer.isActive())
        selectionTimer.start();
}

// Rebuilds Qt's selection and current index from the item states in one call: one range per
// run of selected items, so a change of many items costs one pass, not one Qt call each.
void ListControl::Private::SyncSelection()
{
    if (!selectionDirty)
        return;
    selectionDirty = false;
    selectionTimer.stop();
    ++ignoreQtSelection;
    // Giving an item the focus does not scroll the list; only the user's moves do.
    const bool treeScrolls = tree->hasAutoScroll();
    const bool iconsScroll = icons->hasAutoScroll();
    tree->setAutoScroll(false);
    icons->setAutoScroll(false);
    const int columns = data.ColumnCount();
    if (columns == 0) {
        selection->clear();
    } else {
        QItemSelection wanted;
        const int count = data.ItemCount();
        for (int i = 0; i < count && data.SelectedCount() > 0;) {
            if ((data.State(i) & LVIS_SELECTED) == 0) {
                ++i;
                continue;
            }
            int last = i;
            while (last + 1 < count && (data.State(last + 1) & LVIS_SELECTED) != 0)
                ++last;
            wanted.append(QItemSelectionRange(model->index(i, 0), model->index(last, columns - 1)));
            i = last + 1;
        }
        selection->select(wanted, QItemSelectionModel::ClearAndSelect);
        const int focused = data.FocusedItem();
        if (focused >= 0)
            selection->setCurrentIndex(model->index(focused, 0), QItemSelectionModel::NoUpdate);
        else if (selection->currentIndex().isValid())
            selection->clearCurrentIndex();
    }
    tree->setAutoScroll(treeScrolls);
    icons->setAutoScroll(iconsScroll);
    --ignoreQtSelection;
}

void ListControl::Private::OnQtSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (ignoreQtSelection > 0)
        return;
    bool changed = false;
    for (const QItemSelectionRange& range : deselected) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (data.IsItem(row))
                changed = data.ChangeState(row, 0, LVIS_SELECTED) || changed;
        }
    }
    for (const QItemSelectionRange& range : selected) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (data.IsItem(row))
                changed = data.ChangeState(row, LVIS_SELECTED, LVIS_SELECTED) || changed;
        }
    }
    if (changed) {
        CurrentView()->viewport()->update();
        if (listener != nullptr)
            listener->OnItemStateChanged();
    }
}

void ListControl::Private::OnQtCurrentChanged(const QModelIndex& current)
{
    if (ignoreQtSelection > 0)
        return;
    bool changed = false;
    if (current.isValid() && data.IsItem(current.row()))
        changed = data.ChangeState(current.row(), LVIS_FOCUSED, LVIS_FOCUSED);
    else if (data.FocusedItem() >= 0)
        changed = data.ChangeState(data.FocusedItem(), 0, LVIS_FOCUSED);
    if (changed) {
        CurrentView()->viewport()->update();
        if (listener != nullptr)
            listener->OnItemStateChanged();
    }
}

bool ListControl::Private::ApplyState(int item, unsigned state, unsigned mask)
{
    bool changed = false;
    // A single-selection list keeps at most one item selected.
    if ((data.appearance.style & LVS_SINGLESEL) != 0 && (state & mask & LVIS_SELECTED) != 0) {
        for (int i = 0; i < data.ItemCount() && data.SelectedCount() > 0; ++i) {
            if (i != item && (data.State(i) & LVIS_SELECTED) != 0)
                changed = data.ChangeState(i, 0, LVIS_SELECTED) || changed;
        }
    }
    return data.ChangeState(item, state, mask) || changed;
}

void ListControl::Private::StateChanged(bool changed, unsigned mask)
{
    if (!changed)
        return;
    if ((mask & kSelectionBits) != 0)
        ScheduleSelectionSync();
    CurrentView()->viewport()->update();
    if (listener != nullptr)
        listener->OnItemStateChanged();
}

// ---- Header ------------------------------------------------------------------------------------

// Makes the header show the control's columns: widths, display order, drag permission and
// the one sort marker. Changes made here are not the user's and send no notification.
void ListControl::Private::SyncHeader()
{
    ++headerSyncing;
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
    --headerSyncing;
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
    ++headerSyncing;
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
    --headerSyncing;
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
    tree->viewport()->update();
    if (listener != nullptr)
        listener->OnHeaderEndDrag(section, newVisual);
}

// ---- Styles ------------------------------------------------------------------------------------

QAbstractItemView* ListControl::Private::CurrentView() const
{
    return IsDetails() ? static_cast<QAbstractItemView*>(tree) : static_cast<QAbstractItemView*>(icons);
}

void ListControl::Private::ApplyStyle()
{
    const unsigned style = data.appearance.style;
    const auto mode = (style & LVS_SINGLESEL) != 0 ? QAbstractItemView::SingleSelection
                                                   : QAbstractItemView::ExtendedSelection;
    tree->setSelectionMode(mode);
    icons->setSelectionMode(mode);
    switch (style & LVS_TYPEMASK) {
    case LVS_ICON:
        icons->setViewMode(QListView::IconMode);
        icons->setFlow(QListView::LeftToRight);
        break;
    case LVS_SMALLICON:
        icons->setViewMode(QListView::ListMode);
        icons->setFlow(QListView::LeftToRight);
        break;
    case LVS_LIST:
        icons->setViewMode(QListView::ListMode);
        icons->setFlow(QListView::TopToBottom);
        break;
    default:
        break;
    }
    icons->setWrapping((style & LVS_TYPEMASK) != LVS_REPORT);
    icons->setMovement(QListView::Static);
    icons->setResizeMode(QListView::Adjust);
    ApplyImageLists();
    QWidget* shown = CurrentView();
    const bool hadFocus = q.focusProxy() != nullptr && q.focusProxy()->hasFocus();
    if (stack->currentWidget() != shown) {
        stack->setCurrentWidget(shown);
        q.setFocusProxy(shown);
        if (hadFocus)
            shown->setFocus();
    }
    shown->update();
    CurrentView()->viewport()->update();
}

void ListControl::Private::ApplyExtendedStyle()
{
    const unsigned extStyle = data.appearance.extStyle;
    header->setSectionsMovable((extStyle & LVS_EX_HEADERDRAGDROP) != 0);
    if ((extStyle & kHotTrackingStyles) == 0)
        hotItem = -1;
    tree->viewport()->update();
    icons->viewport()->update();
}

void ListControl::Private::ApplyImageLists()
{
    const ListAppearance& look = data.appearance;
    const ImageList* iconImages =
        (look.style & LVS_TYPEMASK) == LVS_ICON ? look.normalImages : look.smallImages;
    const QSize fallback = (look.style & LVS_TYPEMASK) == LVS_ICON ? QSize(32, 32) : QSize(16, 16);
    const QSize iconSize = iconImages != nullptr ? iconImages->ImageSize() : fallback;
    icons->setIconSize(iconSize);
    if ((look.style & LVS_TYPEMASK) == LVS_ICON) {
        // Large icons sit in a grid with room for two lines of label below each.
        const int line = icons->fontMetrics().height();
        icons->setWordWrap(true);
        icons->setGridSize(QSize(std::max(iconSize.width() + 44, 76), iconSize.height() + 2 * line + 10));
    } else {
        icons->setWordWrap(false);
        icons->setGridSize(QSize());
    }
    if (look.smallImages != nullptr)
        tree->setIconSize(look.smallImages->ImageSize());
}

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
    const QRect cell = data.ColumnCount() > 0 ? CellRect(item, 0) : QRect(RowRect(item).topLeft(), QSize(0, q.RowHeight()));
    return LayOutFirstCell(cell, data.Item(item).indent, SizeOf(look.smallImages), SizeOf(look.stateImages));
}

// ------------------------------------------------------------------------------------------------

ListControl::ListControl(QWidget* parent) : QWidget(parent), d(std::make_unique<Private>(*this))
{
    d->model = new ListControlModel(*this, this);
    d->selection = new QItemSelectionModel(d->model, this);

    d->tree = new ListDetailsView(*this, this);
    d->header = new ListHeaderView(*this, d->tree);
    d->tree->setHeader(d->header);
    d->tree->setModel(d->model);
    d->tree->setSelectionModel(d->selection);
    d->delegate = new ListCellDelegate(*this, *d->tree, d->tree);
    d->tree->setItemDelegate(d->delegate);
    d->tree->setRootIsDecorated(false);
    d->tree->setIndentation(0);
    d->tree->setItemsExpandable(false);
    d->tree->setExpandsOnDoubleClick(false);
    d->tree->setUniformRowHeights(true);
    d->tree->setAllColumnsShowFocus(false);
    d->tree->setSortingEnabled(false);
    d->tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    d->tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    d->tree->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    d->tree->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    d->tree->setContextMenuPolicy(Qt::CustomContextMenu);
    d->tree->setMouseTracking(true);
    // The viewport is painted by the erase step of the paint protocol, not by Qt's autofill.
    d->tree->viewport()->setAutoFillBackground(false);

    d->header->setStretchLastSection(false);
    d->header->setCascadingSectionResizes(false);
    d->header->setSectionResizeMode(QHeaderView::Interactive);
    d->header->setMinimumSectionSize(0);
    d->header->setSectionsClickable(true);
    d->header->setSectionsMovable(false);
    d->header->setHighlightSections(false);
    d->header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    d->header->setSortIndicatorShown(false);
    d->header->setContextMenuPolicy(Qt::CustomContextMenu);

    d->icons = new ListIconView(this);
    d->icons->setModel(d->model);
    d->icons->setSelectionModel(d->selection);
    d->icons->setSelectionBehavior(QAbstractItemView::SelectRows);
    d->icons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    d->icons->setContextMenuPolicy(Qt::CustomContextMenu);
    d->icons->setMouseTracking(true);

    d->stack = new QStackedLayout(this);
    d->stack->setContentsMargins(0, 0, 0, 0);
    d->stack->addWidget(d->tree);
    d->stack->addWidget(d->icons);
    d->stack->setCurrentWidget(d->tree);
    setFocusProxy(d->tree);

    for (QWidget* watched : {static_cast<QWidget*>(d->tree), d->tree->viewport(),
                             static_cast<QWidget*>(d->icons), d->icons->viewport()})
        watched->installEventFilter(this);

    d->selectionTimer.setSingleShot(true);
    d->selectionTimer.setInterval(0);
    connect(&d->selectionTimer, &QTimer::timeout, this, [this] { d->SyncSelection(); });
    connect(d->selection, &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                d->OnQtSelectionChanged(selected, deselected);
            });
    connect(d->selection, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) { d->OnQtCurrentChanged(current); });

    connect(d->header, &QHeaderView::sectionClicked, this, [this](int section) {
        if (d->listener != nullptr && d->data.IsColumn(section)) {
            NMLISTVIEW info;
            info.iItem = -1;
            info.iSubItem = section;
            info.ptAction = d->header->mapFromGlobal(QCursor::pos());
            d->listener->OnColumnClick(info);
        }
        d->SyncSortIndicator();  // a click flips Qt's own marker; the header formats decide
    });
    connect(d->header, &QHeaderView::sortIndicatorChanged, this, [this] {
        if (d->headerSyncing == 0)
            d->SyncSortIndicator();
    });
    connect(d->header, &QHeaderView::sectionMoved, this,
            [this](int section, int, int newVisual) { d->OnSectionMoved(section, newVisual); });
    connect(d->header, &QHeaderView::sectionResized, this,
            [this](int section, int, int newSize) { d->OnSectionResized(section, newSize); });
    connect(d->header, &ListHeaderView::mouseReleased, this, [this] {
        const int column = std::exchange(d->trackingColumn, -1);
        if (column >= 0 && d->listener != nullptr && d->data.IsColumn(column))
            d->listener->OnHeaderEndTrack(column);
    });
    connect(d->header, &QHeaderView::sectionHandleDoubleClicked, this, [this](int section) {
        if (d->listener != nullptr && d->data.IsColumn(section))
            d->listener->OnHeaderDividerDblClick(section);
    });
    connect(d->header, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (d->listener != nullptr)
            d->listener->OnHeaderContextMenu(d->header->mapToGlobal(pos));
    });
    connect(d->tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) { d->NotifyRightClick(pos); });
    connect(d->icons, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) { d->NotifyRightClick(pos); });
    connect(d->tree->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (d->listener != nullptr)
            d->listener->OnHScroll();
    });
    auto focusChanged = [this](bool focused) {
        if (d->listener == nullptr)
            return;
        if (focused)
            d->listener->OnSetFocus();
        else
            d->listener->OnKillFocus();
    };
    connect(d->tree, &ListDetailsView::focusChanged, this, focusChanged);
    connect(d->icons, &ListIconView::focusChanged, this, focusChanged);

    d->ApplyStyle();
    d->ApplyExtendedStyle();
}

ListControl::~ListControl()
{
    // The views and the model go first, while the state their signals reach still exists;
    // no notification is sent from here on.
    d->listener = nullptr;
    d->selectionTimer.stop();
    for (QObject* watched : {static_cast<QObject*>(d->tree), static_cast<QObject*>(d->tree->viewport()),
                             static_cast<QObject*>(d->icons), static_cast<QObject*>(d->icons->viewport())})
        watched->removeEventFilter(this);
    for (QObject* sender : {static_cast<QObject*>(d->selection), static_cast<QObject*>(d->header),
                            static_cast<QObject*>(d->tree), static_cast<QObject*>(d->tree->horizontalScrollBar()),
                            static_cast<QObject*>(d->icons)})
        QObject::disconnect(sender, nullptr, this, nullptr);
    delete d->icons;
    delete d->tree;
    delete d->selection;
    delete d->model;
}

void ListControl::SetListener(ListControlListener* listener)
{
    d->listener = listener;
}

ListControlListener* ListControl::Listener() const
{
    return d->listener;
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

    ++d->headerSyncing;
    ++d->ignoreQtSelection;
    d->model->BeginInsertColumn(column);
    contents.InsertColumn(column, position, std::move(entry));
    d->model->EndInsertColumn();
    --d->ignoreQtSelection;
    if (d->sortMarkColumn >= column)
        ++d->sortMarkColumn;
    d->SyncHeader();
    --d->headerSyncing;
    if (contents.SelectedCount() > 0 || contents.FocusedItem() >= 0)
        d->ScheduleSelectionSync();
    return column;
}

bool ListControl::DeleteColumn(int column)
{
    ListControlData& contents = d->data;
    if (!contents.IsColumn(column) || d->sorting)
        return false;
    ++d->headerSyncing;
    ++d->ignoreQtSelection;
    d->model->BeginRemoveColumn(column);
    contents.DeleteColumn(column);
    d->model->EndRemoveColumn();
    --d->ignoreQtSelection;
    if (d->sortMarkColumn == column)
        d->sortMarkColumn = -1;
    else if (d->sortMarkColumn > column)
        --d->sortMarkColumn;
    if (d->trackingColumn >= column)
        d->trackingColumn = -1;
    d->SyncHeader();
    --d->headerSyncing;
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
        entry.headerFmt = (entry.headerFmt & ~(HDF_JUSTIFYMASK | HDF_IMAGE | HDF_BITMAP_ON_RIGHT))
                          | HeaderBitsOf(descriptor.fmt, column == 0);
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
        d->tree->LayOutNow();  // the rows measured are those laid out
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

// ---- Items -------------------------------------------------------------------------------------

int ListControl::InsertItem(const LVITEMA& item)
{
    ListControlData& contents = d->data;
    if (item.iItem < 0 || item.iSubItem != 0 || d->sorting)
        return -1;
    ListItem entry;
    if ((item.mask & LVIF_TEXT) != 0) {
        ListCell& cell = entry.cells.emplace_back();
        cell.callback = item.pszText == LPSTR_TEXTCALLBACK;
        cell.text = InputText(item.pszText);
    }
    if ((item.mask & LVIF_IMAGE) != 0)
        entry.image = item.iImage;
    if ((item.mask & LVIF_PARAM) != 0)
        entry.data = item.lParam;
    if ((item.mask & LVIF_INDENT) != 0)
        entry.indent = item.iIndent;
    const unsigned state = (item.mask & LVIF_STATE) != 0 ? (item.state & item.stateMask) : 0u;
    entry.state = state & ~kSelectionBits;

    int index = std::min(item.iItem, contents.ItemCount());
    const unsigned style = contents.appearance.style;
    if ((style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) != 0) {
        const std::string_view text = entry.cells.empty() ? std::string_view() : entry.cells.front().text;
        index = contents.SortedPosition(text, (style & LVS_SORTDESCENDING) != 0);
    }
    ++d->ignoreQtSelection;
    d->model->BeginInsertItems(index, index);
    index = contents.InsertItem(index, std::move(entry));
    d->model->EndInsertItems();
    --d->ignoreQtSelection;
    if ((state & kSelectionBits) != 0)
        d->StateChanged(d->ApplyState(index, state, kSelectionBits), kSelectionBits);
    return index;
}

bool ListControl::SetItem(const LVITEMA& item)
{
    ListControlData& contents = d->data;
    const int index = item.iItem;
    const int column = item.iSubItem;
    if (!contents.IsItem(index) || !d->IsSubItem(column))
        return false;
    ListItem& entry = contents.Item(index);
    if ((item.mask & LVIF_TEXT) != 0) {
        ListCell& cell = contents.CellForWrite(index, column);
        cell.callback = item.pszText == LPSTR_TEXTCALLBACK;
        cell.text = InputText(item.pszText);
    }
    if ((item.mask & LVIF_IMAGE) != 0) {
        if (column == 0) {
            entry.image = item.iImage;
        } else {
            ListCell& cell = contents.CellForWrite(index, column);
            cell.image = item.iImage;
            cell.hasImage = true;
        }
    }
    // Item data, indent and state belong to the item, set through its first column.
    if (column == 0) {
        if ((item.mask & LVIF_PARAM) != 0)
            entry.data = item.lParam;
        if ((item.mask & LVIF_INDENT) != 0)
            entry.indent = item.iIndent;
    }
    d->model->ItemChanged(index);
    if (column == 0 && (item.mask & LVIF_STATE) != 0)
        d->StateChanged(d->ApplyState(index, item.state, item.stateMask), item.stateMask);
    return true;
}

bool ListControl::SetItemText(int item, const LVITEMA& descriptor)
{
    ListControlData& contents = d->data;
    if (!contents.IsItem(item) || !d->IsSubItem(descriptor.iSubItem))
        return false;
    ListCell& cell = contents.CellForWrite(item, descriptor.iSubItem);
    cell.callback = descriptor.pszText == LPSTR_TEXTCALLBACK;
    cell.text = InputText(descriptor.pszText);
    d->model->ItemChanged(item);
    return true;
}

bool ListControl::GetItem(LVITEMA& item) const
{
    const ListControlData& contents = d->data;
    const int index = item.iItem;
    const int column = item.iSubItem;
    if (!contents.IsItem(index) || !d->IsSubItem(column))
        return false;
    // Read what is needed before the text: a callback text may have the listener change the list.
    const ListItem& entry = contents.Item(index);
    const ListCell* cell = contents.Cell(index, column);
    if ((item.mask & LVIF_IMAGE) != 0)
        item.iImage = column == 0 ? entry.image : (cell != nullptr ? cell->image : 0);
    if ((item.mask & LVIF_PARAM) != 0)
        item.lParam = entry.data;
    if ((item.mask & LVIF_STATE) != 0)
        item.state = entry.state & item.stateMask;
    if ((item.mask & LVIF_INDENT) != 0)
        item.iIndent = entry.indent;
    if ((item.mask & LVIF_TEXT) != 0)
        d->CopyCellText(index, column, item.pszText, item.cchTextMax);
    return true;
}

int ListControl::GetItemText(int item, LVITEMA& descriptor) const
{
    if (!IsWritableBuffer(descriptor.pszText, descriptor.cchTextMax))
        return 0;
    if (!d->data.IsItem(item) || !d->IsSubItem(descriptor.iSubItem)) {
        descriptor.pszText[0] = '\0';
        return 0;
    }
    return d->CopyCellText(item, descriptor.iSubItem, descriptor.pszText, descriptor.cchTextMax);
}

bool ListControl::SetItemState(int item, unsigned state, unsigned stateMask)
{
    ListControlData& contents = d->data;
    if (item == -1) {
        // Every item; focus cannot be given to all of them, only taken.
        unsigned mask = stateMask;
        if ((state & stateMask & LVIS_FOCUSED) != 0)
            mask &= ~LVIS_FOCUSED;
        bool changed = false;
        for (int i = 0; i < contents.ItemCount(); ++i)
            changed = contents.ChangeState(i, state, mask) || changed;
        d->StateChanged(changed, mask);
        return true;
    }
    if (!contents.IsItem(item))
        return false;
    d->StateChanged(d->ApplyState(item, state, stateMask), stateMask);
    return true;
}

unsigned ListControl::GetItemState(int item, unsigned stateMask) const
{
    return d->data.IsItem(item) ? (d->data.State(item) & stateMask) : 0u;
}

bool ListControl::DeleteItem(int item)
{
    ListControlData& contents = d->data;
    if (!contents.IsItem(item) || d->sorting)
        return false;
    ++d->ignoreQtSelection;
    d->model->BeginRemoveItems(item, item);
    const ListItem removed = contents.TakeItem(item);
    d->model->EndRemoveItems();
    --d->ignoreQtSelection;
    if (d->hotItem >= item)
        d->hotItem = -1;
    // Qt hands the current index to a neighbour of a removed current row; focus stays
    // with no item, so Qt's current index is put right.
    if ((removed.state & LVIS_FOCUSED) != 0)
        d->ScheduleSelectionSync();
    if (d->listener != nullptr)
        d->listener->OnItemDeleted(item, removed.data);
    return true;
}

bool ListControl::DeleteAllItems()
{
    ListControlData& contents = d->data;
    if (d->sorting)
        return false;
    const int count = contents.ItemCount();
    std::vector<ListItem> removed;
    if (count > 0) {
        ++d->ignoreQtSelection;
        d->model->BeginRemoveItems(0, count - 1);
        removed = contents.TakeAllItems();
        d->model->EndRemoveItems();
        --d->ignoreQtSelection;
    }
    d->hotItem = -1;
    d->selectionDirty = false;
    d->selectionTimer.stop();
    if (d->listener != nullptr) {
        for (int i = count - 1; i >= 0; --i)
            d->listener->OnItemDeleted(i, removed[static_cast<std::size_t>(i)].data);
    }
    return true;
}

int ListControl::FindItem(int start, const LVFINDINFOA& find) const
{
    const ListControlData& contents = d->data;
    const bool wrap = (find.flags & LVFI_WRAP) != 0;
    if ((find.flags & LVFI_PARAM) != 0)
        return contents.Find(start, wrap, [&](int i) { return contents.Item(i).data == find.lParam; });
    if ((find.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.psz == nullptr || find.psz == LPSTR_TEXTCALLBACK)
        return -1;
    const std::string_view wanted(find.psz);
    const bool partial = (find.flags & LVFI_PARTIAL) != 0;
    TextScratch scratch;
    return contents.Find(start, wrap, [&](int i) {
        const std::string_view text = d->CellText(i, 0, scratch);
        return StartsWithNoCase(text, wanted) && (partial || text.size() == wanted.size());
    });
}

int ListControl::GetItemCount() const
{
    return d->data.ItemCount();
}

int ListControl::GetNextItem(int start, unsigned flags) const
{
    return d->data.NextItem(start, flags);
}

int ListControl::GetSelectedCount() const
{
    return d->data.SelectedCount();
}

bool ListControl::SortItems(PFNLVCOMPARE compare, LPARAM sortData)
{
    ListControlData& contents = d->data;
    if (compare == nullptr || d->sorting)
        return false;
    // The compare function may read the list; changes to it are refused until the sort is done.
    d->sorting = true;
    const std::vector<int> permutation = contents.SortPermutation(compare, sortData);
    ++d->ignoreQtSelection;
    d->model->ReorderItems(permutation, [&] { contents.ApplyPermutation(permutation); });
    --d->ignoreQtSelection;
    d->sorting = false;
    d->hotItem = -1;
    if (contents.SelectedCount() > 0 || contents.FocusedItem() >= 0)
        d->ScheduleSelectionSync();
    d->CurrentView()->viewport()->update();
    return true;
}

bool ListControl::MoveItem(int from, int to)
{
    ListControlData& contents = d->data;
    if (!contents.IsItem(from) || !contents.IsItem(to) || d->sorting)
        return false;
    if (from == to)
        return true;
    ++d->ignoreQtSelection;
    const bool announced = d->model->BeginMoveItem(from, to);
    contents.MoveItem(from, to);
    if (announced)
        d->model->EndMoveItem();
    --d->ignoreQtSelection;
    if (!announced)
        d->model->AllItemsChanged();
    d->hotItem = -1;
    return true;
}

QString ListControl::ItemDisplayText(int item, int column) const
{
    if (!d->data.IsItem(item) || !d->IsSubItem(column))
        return {};
    TextScratch scratch;
    return DisplayTextFromBytes(d->CellText(item, column, scratch));
}

// ---- Geometry ----------------------------------------------------------------------------------

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
    const QModelIndex index = d->icons->indexAt(QPoint(1, 1));
    return index.isValid() ? index.row() : 0;
}

bool ListControl::GetItemRect(int item, QRect& rect, int code) const
{
    const ListControlData& contents = d->data;
    if (!contents.IsItem(item) || code < LVIR_BOUNDS || code > LVIR_SELECTBOUNDS)
        return false;
    if (!d->IsDetails()) {
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
    const QRect icon = images ? SubItemIconRect(cell, small->ImageSize()) : QRect(cell.left(), cell.top(), 0, cell.height());
    switch (code) {
    case LVIR_BOUNDS:
    case LVIR_SELECTBOUNDS:
        rect = cell;
        return true;
    case LVIR_ICON:
        rect = icon;
        return true;
    case LVIR_LABEL:
        rect = images ? QRect(icon.right() + 1, cell.top(), std::max(0, cell.right() - icon.right()), cell.height()) : cell;
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

// ---- Styles, colours, images -------------------------------------------------------------------

unsigned ListControl::GetStyle() const
{
    return d->data.appearance.style;
}

void ListControl::ModifyStyle(unsigned remove, unsigned add)
{
    unsigned& style = d->data.appearance.style;
    const unsigned old = style;
    style = (style & ~remove) | add;
    if (style == old)
        return;
    d->ApplyStyle();
    if (((old ^ style) & LVS_TYPEMASK) != 0)
        d->model->AllItemsChanged();  // decorations and alignment depend on the type
    // A single-selection list keeps only the first selected item.
    if ((style & LVS_SINGLESEL) != 0 && d->data.SelectedCount() > 1) {
        const int first = d->data.NextItem(-1, LVNI_SELECTED);
        d->StateChanged(d->ApplyState(first, LVIS_SELECTED, LVIS_SELECTED), LVIS_SELECTED);
    }
}

unsigned ListControl::SetExtendedStyle(unsigned mask, unsigned style)
{
    unsigned& extStyle = d->data.appearance.extStyle;
    const unsigned previous = extStyle;
    if (mask == 0)
        mask = ~0u;
    extStyle = (previous & ~mask) | (style & mask);
    if (extStyle != previous) {
        d->ApplyExtendedStyle();
        if (((previous ^ extStyle) & LVS_EX_SUBITEMIMAGES) != 0)
            d->model->AllItemsChanged();
    }
    return previous;
}

unsigned ListControl::GetExtendedStyle() const
{
    return d->data.appearance.extStyle;
}

ImageList* ListControl::SetImageList(ImageList* images, int which)
{
    ListAppearance& look = d->data.appearance;
    ImageList** slot = nullptr;
    switch (which) {
    case LVSIL_NORMAL:
        slot = &look.normalImages;
        break;
    case LVSIL_SMALL:
        slot = &look.smallImages;
        break;
    case LVSIL_STATE:
        slot = &look.stateImages;
        break;
    default:
        return nullptr;
    }
    ImageList* previous = std::exchange(*slot, images);
    if (previous != images) {
        d->ApplyImageLists();
        // Row heights follow the image sizes; the tree view measures its first row again at its
        // next layout, which it does before it paints or answers for a row.
        d->tree->ScheduleLayout();
        d->model->AllItemsChanged();
    }
    return previous;
}

ImageList* ListControl::GetImageList(int which) const
{
    const ListAppearance& look = d->data.appearance;
    switch (which) {
    case LVSIL_NORMAL:
        return look.normalImages;
    case LVSIL_SMALL:
        return look.smallImages;
    case LVSIL_STATE:
        return look.stateImages;
    default:
        return nullptr;
    }
}

bool ListControl::SetBkColor(const QColor& color)
{
    d->data.appearance.bkColor = color;
    QPalette palette = d->icons->palette();
    palette.setColor(QPalette::Base, GetBkColor());
    d->icons->setPalette(palette);
    d->tree->viewport()->update();
    return true;
}

QColor ListControl::GetBkColor() const
{
    return d->tree->BackgroundColor();
}

int ListControl::ColorDepth() const
{
    const QScreen* shown = screen();
    if (shown == nullptr)
        shown = QGuiApplication::primaryScreen();
    return shown != nullptr ? shown->depth() : 0;
}

// ---- Painting and focus ------------------------------------------------------------------------

void ListControl::Invalidate(bool /*erase*/)
{
    // Every repaint of the list area erases first.
    d->CurrentView()->viewport()->update();
}

void ListControl::InvalidateRect(const QRect& rect, bool /*erase*/)
{
    d->CurrentView()->viewport()->update(rect);
}

bool ListControl::HasFocus() const
{
    return d->CurrentView()->hasFocus();
}

// ---- Beyond the messages -----------------------------------------------------------------------

const ListControlData& ListControl::Data() const
{
    return d->data;
}

QTreeView* ListControl::DetailsView() const
{
    return d->tree;
}

QHeaderView* ListControl::Header() const
{
    return d->header;
}

QListView* ListControl::IconView() const
{
    return d->icons;
}

QAbstractItemModel* ListControl::Model() const
{
    return d->model;
}

void ListControl::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        d->tree->viewport()->update();
}

bool ListControl::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::FocusIn:
        // Qt's selection must agree with the item states before it acts on user input.
        d->SyncSelection();
        break;
    case QEvent::MouseMove:
        if (watched == d->CurrentView()->viewport())
            d->TrackHot(static_cast<QMouseEvent*>(event)->position().toPoint());
        break;
    case QEvent::PaletteChange:
        // The list's colours are the details view's: the listener hears of a new palette once
        // that view has taken it (the control itself is told before its children are).
        if (watched == d->tree && d->listener != nullptr)
            d->listener->OnSysColorChange();
        break;
    case QEvent::Leave:
        if (watched == d->CurrentView()->viewport() && d->hotItem != -1) {
            d->hotItem = -1;
            d->CurrentView()->viewport()->update();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vantor::lc
