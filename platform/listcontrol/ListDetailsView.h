#pragma once

#include "platform/listcontrol/ListTypes.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QTreeView>

#include <functional>

#include <vector>

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

    // Laying the rows out costs time in proportion to their number, and the view does it after
    // every turn of the event loop in which rows were added. While rows stream in by the
    // thousand that would make each new row cost more the longer the list grows, so in a long
    // list a layout that only has added rows to take in waits until kLayoutSpacing times the
    // last layout's duration has passed since it: laying out then takes a small, fixed share
    // of the time whatever the length. Until then the view shows the rows of its last layout
    // (each with its current contents; rows added later are not shown yet). Any other change
    // (rows removed or moved, columns, a new order, a reset) and every key press or mouse
    // click lays out at once.
    void doItemsLayout() override;
    // Lays the rows out now if a layout is being held back.
    void LayOutNow();
    bool IsLayoutHeld() const { return m_heldLayout.isActive(); }
    // Tunes the holding (for tests): lists shorter than `holdFromRows` are never held.
    void SetLayoutHolding(int spacing, int holdFromRows);

    static constexpr int kLayoutSpacing = 16;
    static constexpr int kHoldLayoutsFromRows = 5000;

    void setModel(QAbstractItemModel* model) override;

signals:
    void focusChanged(bool focused);

protected:
    void paintEvent(QPaintEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void timerEvent(QTimerEvent* event) override;
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
    QBasicTimer m_heldLayout;
    QElapsedTimer m_sinceLayout;  // since the last layout ended
    qint64 m_lastLayoutNs = 0;
    bool m_onlyRowsAdded = false;  // since the last layout, the model only gained rows
    std::vector<QMetaObject::Connection> m_modelChanges;
    int m_layoutSpacing = kLayoutSpacing;
    int m_holdLayoutsFromRows = kHoldLayoutsFromRows;
    unsigned m_paintAnswer = CDRF_DODEFAULT;
    // Answer for the row being painted; drawRow is const in Qt's interface.
    mutable unsigned m_rowAnswer = CDRF_DODEFAULT;
};

}  // namespace vantor::lc
