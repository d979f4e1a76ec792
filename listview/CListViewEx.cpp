#include "listview/CListViewEx.h"

#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/TextBytes.h"

#include <QAction>
#include <QMenu>
#include <QVBoxLayout>

namespace vantor {

lc::ListControl& CListViewEx::CreateControl(QWidget* owner) {
    // Made before the extension so the extension can hold it from its first moment; the
    // widget's parent owns it.
    return *new lc::ListControl(owner);
}

CListViewEx::CListViewEx(QWidget* parent)
    : QWidget(parent), CListBase(CreateControl(this)), m_control(static_cast<lc::ListControl*>(m_list)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_control);
    m_control->SetListener(this);
    setFocusProxy(m_control);
}

CListViewEx::~CListViewEx() {
    DeleteAllItems();
    // The control outlives this object's own parts; it must not call back into them.
    m_control->SetListener(nullptr);
}

std::unique_ptr<QMenu> CListViewEx::CreateHeaderMenu() {
    if (m_hideableCount == 0) {
        return nullptr;
    }
    auto menu = std::make_unique<QMenu>();
    for (int column = 0; column < GetColumnCount(); ++column) {
        QAction* action = menu->addAction(lc::DisplayTextFromBytes(ColumnHeading(column)));
        action->setCheckable(true);
        action->setChecked(IsColumnVisible(column));
        action->setEnabled(IsColumnHideable(column));
        connect(action, &QAction::triggered, this, [this, column] {
            // The table may have changed since the menu was built.
            if (column < GetColumnCount()) {
                SetColumnVisible(column, !IsColumnVisible(column));
            }
        });
    }
    return menu;
}

void CListViewEx::OnGetDispInfo(lc::NMLVDISPINFOA& info) { CListBase::OnGetDispInfo(info); }

void CListViewEx::OnColumnClick(const lc::NMLISTVIEW& info) {
    lc::NMLISTVIEW logical = info;
    ReactToColumnClick(logical);
}

void CListViewEx::OnHeaderContextMenu(const QPoint& globalPos) {
    if (std::unique_ptr<QMenu> menu = CreateHeaderMenu()) {
        menu->exec(globalPos);
    }
}

void CListViewEx::OnHeaderEndDrag(int column, int newOrder) {
    if (newOrder >= 0) {
        MoveColumnOrder(ToLogicalColumn(column), ToLogicalOrder(newOrder));
    }
}

void CListViewEx::OnItemDeleted(int item, lc::LPARAM itemData) { OnDeleteItem(item, UserDataOf(itemData)); }

void CListViewEx::OnDeleteItem(int /*item*/, lc::LPARAM /*userData*/) {}

}  // namespace vantor
