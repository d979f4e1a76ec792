#include "platform/listcontrol/ListCellDelegate.h"

#include "platform/listcontrol/ImageList.h"
#include "platform/listcontrol/ListCellLayout.h"
#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControlData.h"
#include "platform/listcontrol/ListDetailsView.h"

#include <QPainter>

namespace vantor::lc {

namespace {

QSize SizeOf(const ImageList* images)
{
    return images != nullptr ? images->ImageSize() : QSize();
}

}  // namespace

ListCellDelegate::ListCellDelegate(const ListControl& control, const ListDetailsView& view, QObject* parent)
    : QAbstractItemDelegate(parent)
    , m_control(control)
    , m_view(view)
{ }

QSize ListCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int margins = 2 * (index.column() == 0 ? kFirstTextMargin : kTextMargin);
    const int textWidth = option.fontMetrics.horizontalAdvance(
        m_control.ItemDisplayText(m_control.ItemOfViewRow(index.row()), index.column()));
    const ImageList* small = m_control.Data().appearance.smallImages;
    const int iconWidth = (index.column() == 0 && small != nullptr) ? small->ImageSize().width() + kIconMargin : 0;
    return {textWidth + margins + iconWidth, m_control.RowHeight()};
}

void ListCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const ListControlData& contents = m_control.Data();
    const int item = m_control.ItemOfViewRow(index.row());
    const int column = index.column();
    if (!contents.IsItem(item) || !contents.IsColumn(column))
        return;

    NMLVCUSTOMDRAW draw;
    draw.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
    draw.painter = painter;
    draw.rc = option.rect;
    draw.dwItemSpec = item;
    draw.uItemState = contents.Item(item).state;
    draw.lItemlParam = contents.Item(item).data;
    draw.clrText = m_view.palette().color(QPalette::Text);
    draw.clrTextBk = m_view.BackgroundColor();
    draw.iSubItem = column;

    ListControlListener* listener = m_control.Listener();
    unsigned answer = CDRF_DODEFAULT;
    if (listener != nullptr && m_view.CellNotificationsWanted()) {
        painter->save();
        answer = listener->OnCustomDraw(draw);
        painter->restore();
        draw.painter = painter;
        draw.rc = option.rect;
    }
    // The listener may have changed the list; paint only what is still there.
    if ((answer & CDRF_SKIPDEFAULT) == 0 && contents.IsItem(item) && contents.IsColumn(column))
        PaintCell(*painter, draw, contents.Item(item), column);
    if (listener != nullptr && (answer & CDRF_NOTIFYPOSTPAINT) != 0) {
        draw.dwDrawStage = CDDS_ITEMPOSTPAINT | CDDS_SUBITEM;
        painter->save();
        listener->OnCustomDraw(draw);
        painter->restore();
    }
}

void ListCellDelegate::PaintCell(QPainter& painter, const NMLVCUSTOMDRAW& draw, const ListItem& item, int column) const
{
    const ListControlData& contents = m_control.Data();
    const ListAppearance& look = contents.appearance;
    const QRect cell = draw.rc;
    const QPalette& palette = m_view.palette();
    const bool listFocused = m_view.hasFocus();
    const bool selected = (item.state & LVIS_SELECTED) != 0;
    // A selection shows in a focused list, or always with LVS_SHOWSELALWAYS (then in the
    // button-face colour).
    const bool showSelection = selected && (listFocused || (look.style & LVS_SHOWSELALWAYS) != 0);
    const bool fullRow = (look.extStyle & LVS_EX_FULLROWSELECT) != 0;
    const QColor selectionBack = palette.color(listFocused ? QPalette::Highlight : QPalette::Button);
    const QColor selectionText = palette.color(listFocused ? QPalette::HighlightedText : QPalette::ButtonText);
    const int row = draw.dwItemSpec;

    painter.fillRect(cell, draw.clrTextBk);
    if (showSelection && fullRow)
        painter.fillRect(cell, selectionBack);

    QRect label = cell;
    int margin = kTextMargin;
    const ImageList* small = look.smallImages;
    const bool blend = selected && listFocused;
    if (column == 0) {
        const ImageList* states = look.stateImages;
        const FirstCellParts parts = LayOutFirstCell(cell, item.indent, SizeOf(small), SizeOf(states));
        const int stateImage = static_cast<int>((item.state & LVIS_STATEIMAGEMASK) >> 12);
        if (states != nullptr && stateImage > 0) {
            const QSize clip(std::min(parts.state.width(), cell.right() - parts.state.left() + 1),
                             parts.state.height());
            const int top = parts.state.top() + (parts.state.height() - states->ImageSize().height()) / 2;
            states->Draw(painter, stateImage - 1, QPoint(parts.state.left(), top), clip, false);
        }
        if (small != nullptr) {
            const QSize clip(std::min(parts.icon.width(), cell.right() - parts.icon.left() + 1), parts.icon.height());
            small->Draw(painter, item.image, parts.icon.topLeft(), clip, blend);
        }
        label = parts.label;
        margin = kFirstTextMargin;
    } else if ((look.extStyle & LVS_EX_SUBITEMIMAGES) != 0 && small != nullptr) {
        const ListCell stored = contents.Cell(row, column);
        if (stored.hasImage) {
            const QRect icon = SubItemIconRect(cell, small->ImageSize());
            const QSize clip(std::min(icon.width(), cell.right() - icon.left() + 1), icon.height());
            small->Draw(painter, stored.image, icon.topLeft(), clip, blend);
            label.setLeft(icon.right() + 1);
        }
    }

    const QString text = m_control.ItemDisplayText(row, column);
    const QRect textRect = label.adjusted(margin, 0, -margin, 0);
    const QFontMetrics& metrics = m_view.fontMetrics();
    const QString shown = metrics.elidedText(text, Qt::ElideRight, std::max(0, textRect.width()));
    if (showSelection && !fullRow && column == 0) {
        // Without full-row selection only the first column's text is highlighted.
        const int width = std::min(label.width(), metrics.horizontalAdvance(shown) + 2 * margin);
        painter.fillRect(QRect(label.left(), label.top(), width, label.height()), selectionBack);
    }
    if (shown.isEmpty())
        return;
    const bool highlighted = showSelection && (fullRow || column == 0);
    painter.setPen(highlighted ? selectionText : draw.clrText);
    const Qt::Alignment align = column == 0 ? Qt::AlignLeft : HorizontalAlignment(contents.Column(column).fmt);
    painter.drawText(textRect, static_cast<int>(align | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
}

}  // namespace vantor::lc
