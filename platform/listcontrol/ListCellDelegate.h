#pragma once

#include <QAbstractItemDelegate>

namespace vantor::lc {

class ListControl;
class ListDetailsView;
struct ListItem;
struct NMLVCUSTOMDRAW;

// Paints one cell of the details type: asks the listener for the cell's colours (custom
// draw, when the row asked for cell notifications), fills the cell with the text background
// colour (the highlight when selected), draws the state image and icon, then the text.
class ListCellDelegate final : public QAbstractItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListCellDelegate)

public:
    ListCellDelegate(const ListControl& control, const ListDetailsView& view, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void PaintCell(QPainter& painter, const NMLVCUSTOMDRAW& draw, const ListItem& item, int column) const;

    const ListControl& m_control;
    const ListDetailsView& m_view;
};

}  // namespace vantor::lc
