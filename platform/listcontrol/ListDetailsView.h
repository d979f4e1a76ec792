#pragma once

#include "platform/listcontrol/ListTypes.h"

#include <QTreeView>

#include <functional>

namespace vantor::lc {

class ListControl;

// The details (report) type of the list: a flat tree view whose rows are the items. Its
// viewport paint runs the control's painting protocol: background erase (the listener first,
// else the background colour), then the custom-draw stages around each row (cells are drawn
// by ListCellDelegate), then grid lines.
class ListDetailsView final : public QTreeView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListDetailsView)

public:
    ListDetailsView(const ListControl& control, QWidget* parent);

    // The list's background colour: the one set on the control, else the palette's base.
    QColor BackgroundColor() const;
    // Whether the row being painted asked for per-cell custom-draw notifications.
    bool CellNotificationsWanted() const { return (m_rowAnswer & CDRF_NOTIFYSUBITEMDRAW) != 0; }
    // Width that fits the texts (and icons) of a column's shown rows.
    int ContentsWidth(int column) const { return sizeHintForColumn(column); }
    // Lays the rows out again before the next paint or row query (not now).
    void ScheduleLayout() { scheduleDelayedItemsLayout(); }

signals:
    void focusChanged(bool focused);

protected:
    void paintEvent(QPaintEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Owner-drawn lists (ListControlOwnerDraw.cpp): the listener paints the whole row. False
    // when the list is not owner-drawn.
    bool DrawOwnerDrawnRow(QPainter& painter, int item, const QRect& row) const;
    // Hands a mouse or key message to the listener before the view acts on it.
    void PassMouse(unsigned message, QMouseEvent* event, std::function<void()> handling);
    void PassKey(unsigned message, QKeyEvent* event, std::function<void()> handling);
    void DrawGridLines(QPainter& painter, const QRect& clip) const;
    void DrawFocusFrame(QPainter& painter, int item, const QRect& row) const;

    const ListControl& m_control;
    unsigned m_paintAnswer = CDRF_DODEFAULT;
    // Answer for the row being painted; drawRow is const in Qt's interface.
    mutable unsigned m_rowAnswer = CDRF_DODEFAULT;
};

}  // namespace vantor::lc
