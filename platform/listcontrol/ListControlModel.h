#pragma once

#include "platform/listcontrol/RowInsertions.h"

#include <QAbstractTableModel>

#include <vector>

namespace vantor::lc {

class ListControl;

// Qt's view of the list control: rows are the items, columns the control columns. It holds
// nothing itself; the control changes its contents and announces each change through the
// methods below, which wrap the model's protected begin/end calls.
//
// Inserted items are the exception: the control inserts them one by one, and the model tells
// Qt's views of all the items inserted during one turn of the event loop in one notice at the
// end of that turn (one insertion of a range when they were all appended, else one layout
// change), so a burst of thousands of rows costs the views one layout per turn instead of one
// per row. Until then the model shows the rows Qt was last told of. Anything else the model
// announces, and any reader asking the model for rows, has the waiting items announced first,
// so no one sees a row count the views were not told of.
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

    // An item was inserted into the control's contents at `item`; it is announced at the end of
    // the turn (or earlier, see above).
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

private:
    void BeginReorder();
    void EndReorder(const std::vector<int>& permutation);
    // Announces waiting items before a reader sees the contents (const: telling Qt what the
    // contents already hold changes nothing a reader can see of them).
    void AnnounceBeforeReading() const;
    // The control's item shown at a row of Qt's side.
    int ItemOfRow(int row) const;

    const ListControl& m_control;
    // Where each item inserted since the last notice went, in the order they came.
    std::vector<int> m_unannounced;
    bool m_announcePosted = false;
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
