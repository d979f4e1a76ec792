#include "platform/listcontrol/ListHeaderView.h"

#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControlData.h"

#include <QFontMetrics>
#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionHeader>

namespace vantor::lc {

ListHeaderView::ListHeaderView(const ListControl& control, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
    , m_control(control)
{ }

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

QSize ListHeaderView::sectionSizeFromContents(int logicalIndex) const
{
    ensurePolished();
    QAbstractItemModel* const headerModel = model();
    if (headerModel == nullptr)
        return {};
    const QVariant sizeHint = headerModel->headerData(logicalIndex, orientation(), Qt::SizeHintRole);
    if (sizeHint.isValid())
        return qvariant_cast<QSize>(sizeHint);
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.section = logicalIndex;
    const QVariant font = headerModel->headerData(logicalIndex, orientation(), Qt::FontRole);
    option.fontMetrics =
        font.isValid() && font.canConvert<QFont>() ? QFontMetrics(qvariant_cast<QFont>(font)) : fontMetrics();
    option.text = headerModel->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    const QVariant decoration = headerModel->headerData(logicalIndex, orientation(), Qt::DecorationRole);
    option.icon = qvariant_cast<QIcon>(decoration);
    if (option.icon.isNull())
        option.icon = qvariant_cast<QPixmap>(decoration);
    if (isSortIndicatorShown())
        option.sortIndicator = QStyleOptionHeader::SortDown;
    return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
}

}  // namespace vantor::lc
