// The control itself: it builds the views over its model, wires their signals to the
// listener and routes events to them. The messages live beside it, one concern a file:
// items (ListControlItems.cpp), item states and Qt's selection (ListControlSelection.cpp),
// columns and the header (ListControlColumns.cpp), rectangles and hit tests
// (ListControlGeometry.cpp), styles, colours and image lists (ListControlStyle.cpp).

#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControl_p.h"

#include "platform/FlatTreeAccessibility.h"
#include "platform/listcontrol/ListCellDelegate.h"
#include "platform/listcontrol/ListControlModel.h"
#include "platform/listcontrol/ListDetailsView.h"
#include "platform/listcontrol/ListHeaderView.h"
#include "platform/listcontrol/ListIconView.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStackedLayout>

namespace vantor::lc {

namespace {

bool IsFocusOrDragEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

}  // namespace

ListControl::ListControl(QWidget* parent)
    : QWidget(parent)
    , d(std::make_unique<Private>(*this))
{
    d->model = new ListControlModel(*this, this);
    d->selection = new QItemSelectionModel(d->model, this);

    d->tree = new ListDetailsView(*this, this);
    UseFlatTreeAccessibility(*d->tree);
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
    // That step covers every pixel it repaints, so the widgets behind the viewport need not
    // paint first: without this, each repaint of the rows also repainted the list's frame and
    // every window below it.
    d->tree->viewport()->setAutoFillBackground(false);
    d->tree->viewport()->setAttribute(Qt::WA_OpaquePaintEvent);

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

    for (QWidget* watched :
         {static_cast<QWidget*>(d->tree), d->tree->viewport(), static_cast<QWidget*>(d->icons), d->icons->viewport()})
        watched->installEventFilter(this);

    d->ConnectSelection();
    d->ConnectHeader();
    connect(d->tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { d->NotifyRightClick(pos); });
    connect(d->icons, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { d->NotifyRightClick(pos); });
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
    for (QObject* sender :
         {static_cast<QObject*>(d->selection), static_cast<QObject*>(d->header), static_cast<QObject*>(d->tree),
          static_cast<QObject*>(d->tree->horizontalScrollBar()), static_cast<QObject*>(d->icons)})
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

int ListControl::ItemOfViewRow(int row) const
{
    return d->model->ItemOfRow(row);
}

void ListControl::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        d->tree->viewport()->update();
}

bool ListControl::eventFilter(QObject* watched, QEvent* event)
{
    // The user acts on the rows as they are: input reaches the views with every item announced
    // to them. Painting and layout go on with the rows the views were told of.
    if (event->isInputEvent() || IsFocusOrDragEvent(event->type()))
        d->model->AnnounceInsertedItems();
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
