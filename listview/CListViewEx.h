#pragma once

#include "listview/CListBase.h"

#include <QWidget>

#include <memory>

class QMenu;

namespace vantor {

namespace lc {
class ListControl;
}

// The list window: a report-style list control filling the widget, joined with the extension
// that stands in front of it. Callers use the extension's methods (logical columns, their own
// item data). The extension is the control's listener and answers display-text requests and
// the painting protocol itself; this class adds the notifications that need a widget or an
// owner: the header's column menu (hide and show columns), header drags, column clicks (the
// extension's own reaction unless an owner replaces OnColumnClick), item deletions, and focus
// lent to a pop-up menu.
class CListViewEx : public QWidget, public CListBase {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CListViewEx)

public:
    explicit CListViewEx(QWidget* parent = nullptr);
    // Deletes every item first, so no record outlives the control. By then a subclass's part is
    // gone: a subclass that must hear of these deletions deletes the items in its own destructor.
    ~CListViewEx() override;

    // The control itself, for geometry and painting. Item and column messages must go through
    // the extension, never straight to the control.
    lc::ListControl& Control() const { return *m_control; }

    // The header's column menu, built fresh: one checkable entry per logical column, in logical
    // order, checked while the column is visible, disabled when it is not hideable; choosing an
    // entry shows or hides its column. Null while no column is hideable.
    std::unique_ptr<QMenu> CreateHeaderMenu();

    // ---- Notifications from the control (the rest are the extension's own) ----
    // Default: the extension's reaction (sort key flipped or moved, header refreshed).
    void OnColumnClick(const lc::NMLISTVIEW& info) override;
    void OnHeaderContextMenu(const QPoint& globalPos) override;
    void OnHeaderEndDrag(int column, int newOrder) override;
    void OnItemDeleted(int item, lc::LPARAM itemData) final;
    // A pop-up menu takes the keyboard only for a while: the focus state stays where it was.
    void OnSetFocus() override;
    void OnKillFocus() override;

protected:
    // An item is being deleted; `userData` is the item data the caller gave. Default: nothing.
    virtual void OnDeleteItem(int item, lc::LPARAM userData);
    void DrawListImage(QPainter& painter, const lc::ImageList& images, int index, const QPoint& topLeft,
                       const QSize& clip, bool blend50) override;
    // The colours the control paints its selection with.
    QColor SystemColor(QPalette::ColorRole role) const override;
    void SetListCursor(const QCursor& cursor) override;

private:
    static lc::ListControl& CreateControl(QWidget* owner);

    lc::ListControl* m_control;  // child widget, owned by this widget
    bool m_focusLentToPopup = false;
};

}  // namespace vantor
