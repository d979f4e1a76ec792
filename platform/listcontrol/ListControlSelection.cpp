// Item states and Qt's selection. The state bits are the one truth about selection and focus:
// the control's own changes reach Qt's selection model from the event loop (or before user
// input is handled), the user's changes in Qt reach the states at once.

#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControl_p.h"

#include "platform/listcontrol/ListControlModel.h"
#include "platform/listcontrol/ListDetailsView.h"
#include "platform/listcontrol/ListIconView.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace vantor::lc {

// ---- Selection ---------------------------------------------------------------------------------

// Qt's selection reaches the item states at once; the states reach Qt from the event loop.
void ListControl::Private::ConnectSelection()
{
    selectionTimer.setSingleShot(true);
    selectionTimer.setInterval(0);
    QObject::connect(&selectionTimer, &QTimer::timeout, &q, [this] { SyncSelection(); });
    QObject::connect(selection, &QItemSelectionModel::selectionChanged, &q,
                     [this](const QItemSelection& selected, const QItemSelection& deselected) {
                         OnQtSelectionChanged(selected, deselected);
                     });
    QObject::connect(selection, &QItemSelectionModel::currentChanged, &q,
                     [this](const QModelIndex& current, const QModelIndex&) { OnQtCurrentChanged(current); });
}

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
    model->AnnounceInsertedItems();  // the ranges below are built on every item
    selectionDirty = false;
    selectionTimer.stop();
    const CounterGuard ignoring(ignoreQtSelection);
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
}

void ListControl::Private::OnQtSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (ignoreQtSelection > 0 || model->IsAnnouncing())
        return;
    bool changed = false;
    for (const QItemSelectionRange& range : deselected) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            const int item = model->ItemOfRow(row);
            if (data.IsItem(item))
                changed = data.ChangeState(item, 0, LVIS_SELECTED) || changed;
        }
    }
    for (const QItemSelectionRange& range : selected) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            const int item = model->ItemOfRow(row);
            if (data.IsItem(item))
                changed = data.ChangeState(item, LVIS_SELECTED, LVIS_SELECTED) || changed;
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
    if (ignoreQtSelection > 0 || model->IsAnnouncing())
        return;
    bool changed = false;
    const int item = current.isValid() ? model->ItemOfRow(current.row()) : -1;
    if (data.IsItem(item))
        changed = data.ChangeState(item, LVIS_FOCUSED, LVIS_FOCUSED);
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

// ---- State messages ----------------------------------------------------------------------------

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

int ListControl::GetNextItem(int start, unsigned flags) const
{
    return d->data.NextItem(start, flags);
}

int ListControl::GetSelectedCount() const
{
    return d->data.SelectedCount();
}

}  // namespace vantor::lc
