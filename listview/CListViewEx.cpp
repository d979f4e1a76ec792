#include "listview/CListViewEx.h"

#include "platform/listcontrol/ImageList.h"
#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/TextBytes.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QTreeView>
#include <QVBoxLayout>

#include <utility>

namespace vantor {

lc::ListControl& CListViewEx::CreateControl(QWidget* owner)
{
    // Made before the extension so the extension can hold it from its first moment; the
    // widget's parent owns it.
    return *new lc::ListControl(owner);
}

CListViewEx::CListViewEx(QWidget* parent)
    : QWidget(parent)
    , CListBase(CreateControl(this))
    , m_control(static_cast<lc::ListControl*>(m_list))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_control);
    m_control->SetListener(this);
    setFocusProxy(m_control);
    // The scheme's hot-tracking colour (links and hot items share it).
    m_hotColor = m_control->DetailsView()->palette().color(QPalette::Active, QPalette::Link);
}

CListViewEx::~CListViewEx()
{
    DeleteAllItems();
    // The control outlives this object's own parts; it must not call back into them.
    m_control->SetListener(nullptr);
}

std::unique_ptr<QMenu> CListViewEx::CreateHeaderMenu()
{
    if (HideableCount() == 0) {
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

void CListViewEx::OnColumnClick(const lc::NMLISTVIEW& info)
{
    lc::NMLISTVIEW logical = info;
    ReactToColumnClick(logical);
}

void CListViewEx::OnHeaderContextMenu(const QPoint& globalPos)
{
    if (std::unique_ptr<QMenu> menu = CreateHeaderMenu()) {
        menu->exec(globalPos);
    }
}

void CListViewEx::OnHeaderEndDrag(int column, int newOrder)
{
    if (newOrder >= 0) {
        MoveColumnOrder(ToLogicalColumn(column), ToLogicalOrder(newOrder));
    }
    CheckColumnMirror();
}

void CListViewEx::OnItemDeleted(int item, lc::LPARAM itemData)
{
    OnDeleteItem(item, UserDataOf(itemData));
}

void CListViewEx::OnDeleteItem(int /*item*/, lc::LPARAM /*userData*/) { }

void CListViewEx::OnSetFocus()
{
    if (std::exchange(m_focusLentToPopup, false)) {
        return;  // back from a pop-up menu
    }
    CListBase::OnSetFocus();
}

void CListViewEx::OnKillFocus()
{
    if (QApplication::activePopupWidget() != nullptr) {
        m_focusLentToPopup = true;
        return;
    }
    CListBase::OnKillFocus();
}

void CListViewEx::DrawListImage(QPainter& painter, const lc::ImageList& images, int index, const QPoint& topLeft,
                                const QSize& clip, bool blend50)
{
    images.Draw(painter, index, topLeft, clip, blend50);
}

QColor CListViewEx::SystemColor(QPalette::ColorRole role) const
{
    return m_control->DetailsView()->palette().color(role);
}

void CListViewEx::SetListCursor(const QCursor& cursor)
{
    m_control->DetailsView()->viewport()->setCursor(cursor);
}

}  // namespace vantor
