// A flat tree view as screen readers see it: a table whose first row of children are the column
// headings and whose other children are the cells, row by row, numbered as Qt's item views
// number them in their accessibility events. Qt's own tree makes a new cell object on every
// question about a cell (Qt 6.4), or forgets the cell objects of removed rows without deleting
// them (later versions); here each cell object is made once, kept while its cell exists and
// deleted when its row goes.

#include "platform/FlatTreeAccessibility.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTreeView>

#include <unordered_map>
#include <utility>
#include <vector>

namespace vantor {

namespace {

QAccessibleInterface* AccessibleOf(QTreeView* view)
{
    return view != nullptr ? QAccessible::queryAccessibleInterface(view) : nullptr;
}

// A child of the table: a heading or a cell, with no children of its own and no object.
class FlatTreeLeaf : public QAccessibleInterface {
public:
    explicit FlatTreeLeaf(QTreeView* view)
        : m_view(view)
    { }

    const QTreeView* View() const { return m_view; }

    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return AccessibleOf(m_view); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override { }

protected:
    QPointer<QTreeView> m_view;
};

// A column heading: the section of the view's header.
class FlatTreeHeading final : public FlatTreeLeaf {
public:
    FlatTreeHeading(QTreeView* view, int section)
        : FlatTreeLeaf(view)
        , m_section(section)
    { }

    int Section() const { return m_section; }

    bool isValid() const override
    {
        return m_view != nullptr && m_view->model() != nullptr && m_section < m_view->model()->columnCount();
    }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !isValid())
            return {};
        const QAbstractItemModel* model = m_view->model();
        const QString spoken = model->headerData(m_section, Qt::Horizontal, Qt::AccessibleTextRole).toString();
        return spoken.isEmpty() ? model->headerData(m_section, Qt::Horizontal).toString() : spoken;
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QHeaderView* header = m_view->header();
        const QPoint topLeft = header->mapToGlobal(QPoint(header->sectionViewportPosition(m_section), 0));
        return {topLeft, QSize(header->sectionSize(m_section), header->height())};
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            state.invalid = true;
        else if (m_view->header()->isHidden() || m_view->header()->isSectionHidden(m_section))
            state.invisible = true;
        return state;
    }

private:
    int m_section;
};

// A cell of a row. It follows its cell through insertions, removals and reordering (the index
// is persistent) and is invalid once its row is gone.
class FlatTreeCell final : public FlatTreeLeaf,
                           public QAccessibleTableCellInterface,
                           public QAccessibleActionInterface {
public:
    FlatTreeCell(QTreeView* view, const QModelIndex& index)
        : FlatTreeLeaf(view)
        , m_index(index)
    { }

    const QPersistentModelIndex& Index() const { return m_index; }

    bool isValid() const override { return m_view != nullptr && m_index.isValid(); }
    // The role Qt gives the cells of a tree view, which screen readers already know here.
    QAccessible::Role role() const override { return QAccessible::TreeItem; }

    QString text(QAccessible::Text kind) const override
    {
        if (!isValid())
            return {};
        switch (kind) {
        case QAccessible::Name: {
            const QString spoken = m_index.data(Qt::AccessibleTextRole).toString();
            return spoken.isEmpty() ? m_index.data(Qt::DisplayRole).toString() : spoken;
        }
        case QAccessible::Description:
            return m_index.data(Qt::AccessibleDescriptionRole).toString();
        default:
            return {};
        }
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect shown = m_view->visualRect(m_index);
        if (shown.isNull())
            return {};
        return {m_view->viewport()->mapToGlobal(shown.topLeft()), shown.size()};
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const QRect viewport(m_view->viewport()->mapToGlobal(QPoint(0, 0)), m_view->viewport()->size());
        if (!viewport.intersects(rect()))
            state.invisible = true;
        const QItemSelectionModel* selection = m_view->selectionModel();
        if (selection != nullptr) {
            state.selected = selection->isSelected(m_index);
            state.focused = selection->currentIndex() == m_index;
        }
        if ((m_index.flags() & Qt::ItemIsSelectable) != 0) {
            state.selectable = true;
            state.focusable = true;
            state.multiSelectable = m_view->selectionMode() == QAbstractItemView::MultiSelection;
            state.extSelectable = m_view->selectionMode() == QAbstractItemView::ExtendedSelection;
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override
    {
        return isValid() && m_view->selectionModel() != nullptr && m_view->selectionModel()->isSelected(m_index);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        QAccessibleInterface* list = parent();
        QAccessibleInterface* heading = list != nullptr && isValid() ? list->child(m_index.column()) : nullptr;
        return heading != nullptr ? QList<QAccessibleInterface*>{heading} : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_index.column(); }
    int rowIndex() const override { return m_index.row(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    QStringList actionNames() const override { return {toggleAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& action) override
    {
        QAccessibleInterface* list = parent();
        if (action != toggleAction() || list == nullptr || list->tableInterface() == nullptr || !isValid())
            return;
        if (isSelected())
            list->tableInterface()->unselectRow(m_index.row());
        else
            list->tableInterface()->selectRow(m_index.row());
    }

private:
    QPersistentModelIndex m_index;
};

class FlatTreeTable final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit FlatTreeTable(QTreeView* view)
        : QAccessibleWidget(view, QAccessible::Tree)
    {
        // Qt reports model changes to modelChange only while a screen reader is listening,
        // and not every change on every version; the model's own signals come always.
        QAbstractItemModel* model = view->model();
        if (model == nullptr)
            return;
        const auto refile = [this] { Refile(); };
        m_modelSignals = {
            QObject::connect(model, &QAbstractItemModel::rowsInserted, view, refile),
            QObject::connect(model, &QAbstractItemModel::rowsRemoved, view, refile),
            QObject::connect(model, &QAbstractItemModel::rowsMoved, view, refile),
            QObject::connect(model, &QAbstractItemModel::columnsInserted, view, refile),
            QObject::connect(model, &QAbstractItemModel::columnsRemoved, view, refile),
            QObject::connect(model, &QAbstractItemModel::columnsMoved, view, refile),
            QObject::connect(model, &QAbstractItemModel::layoutChanged, view, refile),
            QObject::connect(model, &QAbstractItemModel::modelReset, view, refile),
        };
    }

    ~FlatTreeTable() override
    {
        for (const QMetaObject::Connection& connection : m_modelSignals)
            QObject::disconnect(connection);
        ForgetChildren();
    }

    FlatTreeTable(const FlatTreeTable&) = delete;
    FlatTreeTable& operator=(const FlatTreeTable&) = delete;

    // -- QAccessibleInterface

    int childCount() const override
    {
        const int columns = columnCount();
        return columns == 0 ? 0 : (rowCount() + 1) * columns;
    }

    QAccessibleInterface* child(int logical) const override
    {
        if (logical < 0 || logical >= childCount())
            return nullptr;
        if (QAccessibleInterface* known = Known(logical))
            return known;
        QAccessibleInterface* made = Make(logical);
        if (made != nullptr)
            m_children[logical] = QAccessible::registerAccessibleInterface(made);
        return made;
    }

    int indexOfChild(const QAccessibleInterface* child) const override { return LogicalIndexOf(child); }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QTreeView* view = View();
        if (view == nullptr)
            return nullptr;
        return child(LogicalIndexOf(view->indexAt(view->viewport()->mapFromGlobal(QPoint(x, y)))));
    }

    QAccessibleInterface* focusChild() const override
    {
        const QTreeView* view = View();
        return view != nullptr ? child(LogicalIndexOf(view->currentIndex())) : nullptr;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // -- QAccessibleTableInterface

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }

    QAccessibleInterface* cellAt(int row, int column) const override
    {
        const QAbstractItemModel* model = Model();
        return model != nullptr ? child(LogicalIndexOf(model->index(row, column))) : nullptr;
    }

    int columnCount() const override { return Model() != nullptr ? Model()->columnCount() : 0; }
    int rowCount() const override { return Model() != nullptr ? Model()->rowCount() : 0; }
    QString columnDescription(int column) const override
    {
        return Model() != nullptr ? Model()->headerData(column, Qt::Horizontal).toString() : QString();
    }
    QString rowDescription(int) const override { return {}; }

    int selectedCellCount() const override
    {
        return Selection() != nullptr ? static_cast<int>(Selection()->selectedIndexes().size()) : 0;
    }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        if (Selection() == nullptr)
            return cells;
        for (const QModelIndex& index : Selection()->selectedIndexes()) {
            if (QAccessibleInterface* cell = child(LogicalIndexOf(index)))
                cells.append(cell);
        }
        return cells;
    }
    int selectedColumnCount() const override { return static_cast<int>(selectedColumns().size()); }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    QList<int> selectedColumns() const override
    {
        QList<int> columns;
        if (Selection() != nullptr) {
            for (const QModelIndex& index : Selection()->selectedColumns())
                columns.append(index.column());
        }
        return columns;
    }
    QList<int> selectedRows() const override
    {
        QList<int> rows;
        if (Selection() != nullptr) {
            for (const QModelIndex& index : Selection()->selectedRows())
                rows.append(index.row());
        }
        return rows;
    }
    bool isColumnSelected(int column) const override
    {
        return Selection() != nullptr && Selection()->isColumnSelected(column, QModelIndex());
    }
    bool isRowSelected(int row) const override
    {
        return Selection() != nullptr && Selection()->isRowSelected(row, QModelIndex());
    }

    bool selectRow(int row) override
    {
        const QTreeView* view = View();
        if (view == nullptr || Selection() == nullptr || view->selectionMode() == QAbstractItemView::NoSelection)
            return false;
        const QModelIndex index = Model()->index(row, 0);
        if (!index.isValid())
            return false;
        const bool single = view->selectionMode() == QAbstractItemView::SingleSelection;
        Selection()->select(index, (single ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Select) |
                                       QItemSelectionModel::Rows);
        return true;
    }
    bool unselectRow(int row) override
    {
        if (Selection() == nullptr)
            return false;
        const QModelIndex index = Model()->index(row, 0);
        if (!index.isValid())
            return false;
        Selection()->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        return true;
    }
    // The list selects whole rows only.
    bool selectColumn(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    // Qt's item view reports each change of its model here (while a screen reader listens):
    // the cells of rows that went are deleted, the others are filed under where they are now.
    void modelChange(QAccessibleTableModelChangeEvent* event) override
    {
        switch (event->modelChangeType()) {
        case QAccessibleTableModelChangeEvent::ModelReset:
            ForgetChildren();
            break;
        case QAccessibleTableModelChangeEvent::DataChanged:
            break;
        default:
            Refile();
            break;
        }
    }

private:
    QTreeView* View() const { return qobject_cast<QTreeView*>(object()); }
    QAbstractItemModel* Model() const { return View() != nullptr ? View()->model() : nullptr; }
    QItemSelectionModel* Selection() const { return View() != nullptr ? View()->selectionModel() : nullptr; }

    // Headings come first, then the cells row by row, as in the views' accessibility events.
    int LogicalIndexOf(const QModelIndex& index) const
    {
        if (!index.isValid() || index.model() != Model())
            return -1;
        return (index.row() + 1) * columnCount() + index.column();
    }

    // Where one of this table's children is now; -1 for anything else, or a cell whose row is
    // gone.
    int LogicalIndexOf(const QAccessibleInterface* child) const
    {
        if (const auto* cell = dynamic_cast<const FlatTreeCell*>(child))
            return cell->View() == View() ? LogicalIndexOf(QModelIndex(cell->Index())) : -1;
        if (const auto* heading = dynamic_cast<const FlatTreeHeading*>(child))
            return heading->View() == View() && heading->isValid() ? heading->Section() : -1;
        return -1;
    }

    // The child made earlier for this place, if it is still there (a change the view did not
    // report may have moved it: then all are filed again first).
    QAccessibleInterface* Known(int logical) const
    {
        auto known = m_children.find(logical);
        if (known == m_children.end())
            return nullptr;
        QAccessibleInterface* child = QAccessible::accessibleInterface(known->second);
        if (child != nullptr && LogicalIndexOf(child) == logical)
            return child;
        Refile();
        known = m_children.find(logical);
        return known != m_children.end() ? QAccessible::accessibleInterface(known->second) : nullptr;
    }

    QAccessibleInterface* Make(int logical) const
    {
        QTreeView* view = View();
        const int columns = columnCount();
        if (view == nullptr || columns == 0)
            return nullptr;
        if (logical < columns)
            return new FlatTreeHeading(view, logical);
        const QModelIndex index = Model()->index(logical / columns - 1, logical % columns);
        return index.isValid() ? new FlatTreeCell(view, index) : nullptr;
    }

    // Deletes the children whose cells are gone and files the others under their places now.
    void Refile() const
    {
        std::unordered_map<int, QAccessible::Id> now;
        for (const auto& [logical, id] : m_children) {
            const QAccessibleInterface* child = QAccessible::accessibleInterface(id);
            if (child == nullptr)
                continue;
            const int place = LogicalIndexOf(child);
            if (place < 0 || !now.emplace(place, id).second)
                QAccessible::deleteAccessibleInterface(id);
        }
        m_children = std::move(now);
    }

    void ForgetChildren() const
    {
        for (const auto& [logical, id] : m_children)
            QAccessible::deleteAccessibleInterface(id);
        m_children.clear();
    }

    std::vector<QMetaObject::Connection> m_modelSignals;
    // The children made so far by place (mutable: made when first asked for, which Qt's
    // interface asks for through const methods).
    mutable std::unordered_map<int, QAccessible::Id> m_children;
};

// Marks the views that asked for the table (a dynamic property: the factory is a plain function).
constexpr char kFlatTreeMark[] = "vantorFlatTreeAccessibility";

QAccessibleInterface* MakeFlatTreeAccessible(const QString& /*className*/, QObject* object)
{
    auto* view = qobject_cast<QTreeView*>(object);
    return view != nullptr && view->property(kFlatTreeMark).toBool() ? new FlatTreeTable(view) : nullptr;
}

}  // namespace

void UseFlatTreeAccessibility(QTreeView& view)
{
    view.setProperty(kFlatTreeMark, true);
    QAccessible::installFactory(&MakeFlatTreeAccessible);  // once: Qt ignores a repeat
}

}  // namespace vantor
