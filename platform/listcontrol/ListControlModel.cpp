#include "platform/listcontrol/ListControlModel.h"

#include "platform/listcontrol/ImageList.h"
#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControlData.h"
#include "platform/listcontrol/TextBytes.h"

#include <QScopedValueRollback>
#include <QTimerEvent>

#include <utility>

namespace vantor::lc {

namespace {

// A cell or heading: the column format's horizontal alignment, centred vertically.
Qt::Alignment AlignmentOf(int fmt)
{
    return HorizontalAlignment(fmt) | Qt::AlignVCenter;
}

}  // namespace

ListControlModel::ListControlModel(const ListControl& control, QObject* parent)
    : QAbstractTableModel(parent)
    , m_control(control)
{ }

QModelIndex ListControlModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= m_control.Data().ColumnCount())
        return {};
    return createIndex(row, column);
}

int ListControlModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    const int items = m_control.Data().ItemCount();
    return items - (m_showingOldRows ? m_announcing.Count() : static_cast<int>(m_unannounced.size()));
}

int ListControlModel::ItemOfRow(int row) const
{
    if (m_showingOldRows)
        return m_announcing.NewRowOf(row);
    if (m_unannounced.empty())
        return row;
    if (!m_waitingMapped) {
        m_waiting = RowInsertions(m_unannounced, m_control.Data().ItemCount());
        m_waitingMapped = true;
    }
    return m_waiting.NewRowOf(row);
}

void ListControlModel::ItemInserted(int item)
{
    m_unannounced.push_back(item);
    m_waitingMapped = false;
    if (m_announcePosted || m_noticeTimer.isActive())
        return;
    const qint64 sinceNotice = m_sinceNotice.isValid() ? m_sinceNotice.elapsed() : kNoticeIntervalMs;
    if (sinceNotice < kNoticeIntervalMs) {
        m_noticeTimer.start(static_cast<int>(kNoticeIntervalMs - sinceNotice), Qt::PreciseTimer, this);
        return;
    }
    // Posted, so it runs once the work of this turn (a whole slice of replies) is done.
    m_announcePosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_announcePosted = false;
            AnnounceInsertedItems();
        },
        Qt::QueuedConnection);
}

void ListControlModel::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_noticeTimer.timerId()) {
        QAbstractTableModel::timerEvent(event);
        return;
    }
    m_noticeTimer.stop();
    AnnounceInsertedItems();
}

void ListControlModel::AnnounceInsertedItems()
{
    if (m_unannounced.empty() || m_inAnnouncement)
        return;
    const QScopedValueRollback<bool> announcing(m_inAnnouncement, true);
    m_noticeTimer.stop();
    m_sinceNotice.start();
    const std::vector<int> inserted = std::exchange(m_unannounced, {});
    m_waitingMapped = false;
    m_waiting = RowInsertions();
    const int items = m_control.Data().ItemCount();
    const int rowsBefore = items - static_cast<int>(inserted.size());
    m_announcing = RowInsertions(inserted, items);
    if (m_announcing.EarlierRowsStay()) {
        m_showingOldRows = true;
        beginInsertRows(QModelIndex(), rowsBefore, items - 1);
        m_showingOldRows = false;
        endInsertRows();
    } else {
        // Rows went in between the known ones: the known rows move, so their persistent
        // indexes (selection, current item) are moved to where those rows are now.
        m_showingOldRows = true;
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList from = persistentIndexList();
        m_showingOldRows = false;
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& index : from) {
            const int row = index.row();
            to.append(row >= 0 && row < rowsBefore ? createIndex(m_announcing.NewRowOf(row), index.column())
                                                   : QModelIndex());
        }
        changePersistentIndexList(from, to);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    m_announcing = RowInsertions();
}

void ListControlModel::BeginRemoveItems(int first, int last)
{
    AnnounceInsertedItems();
    beginRemoveRows(QModelIndex(), first, last);
}

void ListControlModel::BeginInsertColumn(int column)
{
    AnnounceInsertedItems();
    beginInsertColumns(QModelIndex(), column, column);
}

void ListControlModel::BeginRemoveColumn(int column)
{
    AnnounceInsertedItems();
    beginRemoveColumns(QModelIndex(), column, column);
}

void ListControlModel::BeginReorder()
{
    AnnounceInsertedItems();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ListControlModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_control.Data().ColumnCount();
}

QVariant ListControlModel::data(const QModelIndex& index, int role) const
{
    const ListControlData& contents = m_control.Data();
    const int item = ItemOfRow(index.row());
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
    AnnounceInsertedItems();
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
    // While items wait to be announced, the notice repaints every row anyway.
    if (!m_unannounced.empty())
        return;
    const int columns = columnCount();
    if (columns > 0)
        emit dataChanged(index(item, 0), index(item, columns - 1));
}

void ListControlModel::AllItemsChanged()
{
    AnnounceInsertedItems();
    const int rows = rowCount();
    const int columns = columnCount();
    if (rows > 0 && columns > 0)
        emit dataChanged(index(0, 0), index(rows - 1, columns - 1));
}

void ListControlModel::HeaderChanged(int firstColumn, int lastColumn)
{
    AnnounceInsertedItems();
    if (firstColumn <= lastColumn)
        emit headerDataChanged(Qt::Horizontal, firstColumn, lastColumn);
}

}  // namespace vantor::lc
