#include "platform/listcontrol/ListHeaderView.h"

#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControlData.h"

#include <QMouseEvent>
#include <QStyleOptionHeader>

namespace vantor::lc {

ListHeaderView::ListHeaderView(const ListControl& control, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), m_control(control)
{
}

void ListHeaderView::mousePressEvent(QMouseEvent* event)
{
    m_mouseHeld = true;
    QHeaderView::mousePressEvent(event);
}

void ListHeaderView::mouseReleaseEvent(QMouseEvent* event)
{
    QHeaderView::mouseReleaseEvent(event);
    if (event->buttons() == Qt::NoButton) {
        m_mouseHeld = false;
        emit mouseReleased();
    }
}

void ListHeaderView::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    const ListControlData& contents = m_control.Data();
    if (contents.IsColumn(logicalIndex) && (contents.Column(logicalIndex).headerFmt & HDF_BITMAP_ON_RIGHT) != 0)
        option->iconAlignment = Qt::AlignRight | Qt::AlignVCenter;
}

}  // namespace vantor::lc
