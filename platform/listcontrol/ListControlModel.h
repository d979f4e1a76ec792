#pragma once

#include "platform/listcontrol/RowInsertions.h"

#include <QAbstractTableModel>
#include <QBasicTimer>
#include <QElapsedTimer>

#include <vector>

namespace vantor::lc {

class ListControl;

// Qt's view of the list control: rows are the items, columns the control columns. It holds
// nothing itself; the control changes its contents and announces each change through the
// methods below, which wrap the model's protected begin/end calls.
//
// Inserted items are the exception: the control inserts them one by one, and the model tells
// Qt's views of the items inserted since its last notice in one notice (one insertion of a range
// when they were all appended, else one layout change), at the end of the turn and at most once
// a frame, so a stream of thousands of rows costs the views one layout and one paint per frame
// instead of one per row. Until then every reader (the views, accessibility, anyone asking)
// sees the rows it was last told of, each row still showing the item it showed (ItemOfRow):
// reading the model never changes it. Anything else the model announces, and the user's input
// to the views, have the waiting items announced first.
class ListControlModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListControlModel)

public:
    explicit ListControlModel(const ListControl& control, QObject* parent = nullptr);

    // Answered from the control's counts directly: the details view asks for every row's index
    // each time it lays the rows out, and the base class would ask rowCount and columnCount
    // through virtual calls for each.
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // An item was inserted into the control's contents at `item`; it is announced with the next
    // notice (see above).
    void ItemInserted(int item);
    // Announces the items inserted since the last notice; nothing when there are none.
    void AnnounceInsertedItems();
    bool HasUnannouncedItems() const { return !m_unannounced.empty(); }
    // True while inserted items are being announced: what Qt's views do with their selection
    // then only follows rows that moved.
    bool IsAnnouncing() const { return m_inAnnouncement; }

    void BeginRemoveItems(int first, int last);
    void EndRemoveItems() { endRemoveRows(); }
    bool BeginMoveItem(int from, int to);
    void EndMoveItem() { endMoveRows(); }
    void BeginInsertColumn(int column);
    void EndInsertColumn() { endInsertColumns(); }
    void BeginRemoveColumn(int column);
    void EndRemoveColumn() { endRemoveColumns(); }

    // Reorders the rows: `apply` performs the reordering of the control's items; entry i of
    // `permutation` is the old row of the item that goes to row i. Persistent indexes follow.
    template <class Apply>
    void ReorderItems(const std::vector<int>& permutation, Apply apply);

    void ItemChanged(int item);
    void AllItemsChanged();
    void HeaderChanged(int firstColumn, int lastColumn);

    // The control's item shown at a row of Qt's side: the same number unless items wait to be
    // announced.
    int ItemOfRow(int row) const;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    // Notices come at most this often (a frame), so layouts and paints follow the display, not
    // the rows.
    static constexpr qint64 kNoticeIntervalMs = 16;

    void BeginReorder();
    void EndReorder(const std::vector<int>& permutation);

    const ListControl& m_control;
    // Where each item inserted since the last notice went, in the order they came.
    std::vector<int> m_unannounced;
    bool m_announcePosted = false;
    QBasicTimer m_noticeTimer;
    QElapsedTimer m_sinceNotice;
    // Where the rows Qt knows are among the items while items wait (mutable: worked out when a
    // reader first asks, from what m_unannounced already says).
    mutable RowInsertions m_waiting;
    mutable bool m_waitingMapped = false;
    // While a notice is being given: Qt's side still sees the rows it knew (the insertions not
    // counted), mapped to the control's items by m_announcing.
    bool m_showingOldRows = false;
    bool m_inAnnouncement = false;
    RowInsertions m_announcing;
};

template <class Apply>
void ListControlModel::ReorderItems(const std::vector<int>& permutation, Apply apply)
{
    BeginReorder();
    apply();
    EndReorder(permutation);
}

}  // namespace vantor::lc
