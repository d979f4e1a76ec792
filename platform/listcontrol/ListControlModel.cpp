#include "platform/listcontrol/ListControlModel.h"

#include "platform/listcontrol/ImageList.h"
#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControlData.h"
#include "platform/listcontrol/TextBytes.h"

namespace vantor::lc {

namespace {

Qt::Alignment AlignmentOf(int fmt)
{
    switch (fmt & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

ListControlModel::ListControlModel(const ListControl& control, QObject* parent)
    : QAbstractTableModel(parent)
    , m_control(control)
{ }

QModelIndex ListControlModel::index(int row, int column, const QModelIndex& parent) const
{
    const ListControlData& contents = m_control.Data();
    if (parent.isValid() || row < 0 || column < 0 || row >= contents.ItemCount() || column >= contents.ColumnCount())
        return {};
    return createIndex(row, column);
}

int ListControlModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_control.Data().ItemCount();
}

int ListControlModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_control.Data().ColumnCount();
}

QVariant ListControlModel::data(const QModelIndex& index, int role) const
{
    const ListControlData& contents = m_control.Data();
    const int item = index.row();
    const int column = index.column();
    if (!index.isValid() || !contents.IsItem(item) || !contents.IsColumn(column))
        return {};
    const ListAppearance& look = contents.appearance;
    const unsigned type = look.style & LVS_TYPEMASK;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return m_control.ItemDisplayText(item, column);
    case Qt::DecorationRole: {
        const ImageList* images = type == LVS_ICON ? look.normalImages : look.smallImages;
        if (images == nullptr)
            return {};
        if (column == 0)
            return images->Image(contents.Item(item).image);
        const ListCell cell = contents.Cell(item, column);
        if (type == LVS_REPORT && (look.extStyle & LVS_EX_SUBITEMIMAGES) != 0 && cell.hasImage)
            return images->Image(cell.image);
        return {};
    }
    case Qt::TextAlignmentRole:
        if (type != LVS_REPORT)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignHCenter | Qt::AlignTop));
        // The first column is always shown left-aligned, as the platform control does.
        return QVariant::fromValue(column == 0 ? AlignmentOf(LVCFMT_LEFT) : AlignmentOf(contents.Column(column).fmt));
    default:
        return {};
    }
}

QVariant ListControlModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const ListControlData& contents = m_control.Data();
    if (orientation != Qt::Horizontal || !contents.IsColumn(section))
        return {};
    const ListColumn& column = contents.Column(section);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return DisplayTextFromBytes(column.text);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(AlignmentOf(column.headerFmt & HDF_JUSTIFYMASK));
    case Qt::DecorationRole: {
        const ImageList* images = contents.appearance.headerImages;
        if ((column.headerFmt & HDF_IMAGE) == 0 || images == nullptr || !images->Contains(column.image))
            return {};
        return images->Image(column.image);
    }
    default:
        return {};
    }
}

Qt::ItemFlags ListControlModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

bool ListControlModel::BeginMoveItem(int from, int to)
{
    // Qt counts the destination before the move: moving down lands before row to + 1.
    return beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
}

void ListControlModel::EndReorder(const std::vector<int>& permutation)
{
    std::vector<int> newRowOf(permutation.size());
    for (std::size_t i = 0; i < permutation.size(); ++i)
        newRowOf[static_cast<std::size_t>(permutation[i])] = static_cast<int>(i);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from) {
        const int row = index.row();
        if (row >= 0 && row < static_cast<int>(newRowOf.size()))
            to.append(this->index(newRowOf[static_cast<std::size_t>(row)], index.column()));
        else
            to.append(QModelIndex());
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListControlModel::ItemChanged(int item)
{
    const int columns = columnCount();
    if (columns > 0)
        emit dataChanged(index(item, 0), index(item, columns - 1));
}

void ListControlModel::AllItemsChanged()
{
    const int rows = rowCount();
    const int columns = columnCount();
    if (rows > 0 && columns > 0)
        emit dataChanged(index(0, 0), index(rows - 1, columns - 1));
}

void ListControlModel::HeaderChanged(int firstColumn, int lastColumn)
{
    if (firstColumn <= lastColumn)
        emit headerDataChanged(Qt::Horizontal, firstColumn, lastColumn);
}

}  // namespace vantor::lc
