#pragma once

#include <QAbstractTableModel>

#include <vector>

namespace vantor::lc {

class ListControl;

// Qt's view of the list control: rows are the items, columns the control columns. It holds
// nothing itself; the control changes its contents and announces each change through the
// methods below, which wrap the model's protected begin/end calls.
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

    void BeginInsertItems(int first, int last) { beginInsertRows(QModelIndex(), first, last); }
    void EndInsertItems() { endInsertRows(); }
    void BeginRemoveItems(int first, int last) { beginRemoveRows(QModelIndex(), first, last); }
    void EndRemoveItems() { endRemoveRows(); }
    bool BeginMoveItem(int from, int to);
    void EndMoveItem() { endMoveRows(); }
    void BeginInsertColumn(int column) { beginInsertColumns(QModelIndex(), column, column); }
    void EndInsertColumn() { endInsertColumns(); }
    void BeginRemoveColumn(int column) { beginRemoveColumns(QModelIndex(), column, column); }
    void EndRemoveColumn() { endRemoveColumns(); }

    // Reorders the rows: `apply` performs the reordering of the control's items; entry i of
    // `permutation` is the old row of the item that goes to row i. Persistent indexes follow.
    template <class Apply>
    void ReorderItems(const std::vector<int>& permutation, Apply apply);

    void ItemChanged(int item);
    void AllItemsChanged();
    void HeaderChanged(int firstColumn, int lastColumn);

private:
    void BeginReorder() { emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint); }
    void EndReorder(const std::vector<int>& permutation);

    const ListControl& m_control;
};

template <class Apply>
void ListControlModel::ReorderItems(const std::vector<int>& permutation, Apply apply)
{
    BeginReorder();
    apply();
    EndReorder(permutation);
}

}  // namespace vantor::lc
