#pragma once

#include "platform/listcontrol/ListControlApi.h"
#include "platform/listcontrol/ListControlListener.h"

#include <QString>
#include <QWidget>

#include <memory>

class QAbstractItemModel;
class QHeaderView;
class QListView;
class QTreeView;

namespace vantor::lc {

class ListControlData;

// The report-style list control: columns, items, selection, styles and image lists, shown
// through Qt's model/view (a tree view for the details type, a list view for the icon types).
// Notifications go to one listener, the window class hosting the control.
//
// Coordinates (item and cell rectangles, the client rectangle, custom-draw and erase
// rectangles, right-click points) are those of the list area: the view's viewport, whose
// origin is just below the header. Header item rectangles are in header coordinates.
//
// The item state bits are the one truth about selection and focus; Qt's selection model
// follows them (programmatic changes reach it from the event loop, or at once before any
// user input is handled).
class ListControl : public QWidget, public ListControlApi {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListControl)

public:
    explicit ListControl(QWidget* parent = nullptr);
    ~ListControl() override;

    // Not owned; may be null. No notification is sent while the control is destroyed.
    void SetListener(ListControlListener* listener);
    ListControlListener* Listener() const;

    // ---- ListControlApi ----
    int InsertColumn(int column, const LVCOLUMNA& descriptor) override;
    bool DeleteColumn(int column) override;
    bool GetColumn(int column, LVCOLUMNA& descriptor) const override;
    bool SetColumn(int column, const LVCOLUMNA& descriptor) override;
    int GetColumnWidth(int column) const override;
    bool SetColumnWidth(int column, int width) override;
    bool GetColumnOrderArray(std::span<int> order) const override;
    bool SetColumnOrderArray(std::span<const int> order) override;
    int GetColumnCount() const override;

    bool GetHeaderItem(int column, HDITEMA& item) const override;
    bool SetHeaderItem(int column, const HDITEMA& item) override;
    bool GetHeaderItemRect(int column, QRect& rect) const override;
    void SetHeaderImageList(ImageList* images) override;

    int InsertItem(const LVITEMA& item) override;
    bool SetItem(const LVITEMA& item) override;
    bool SetItemText(int item, const LVITEMA& descriptor) override;
    bool GetItem(LVITEMA& item) const override;
    int GetItemText(int item, LVITEMA& descriptor) const override;
    bool SetItemState(int item, unsigned state, unsigned stateMask) override;
    unsigned GetItemState(int item, unsigned stateMask) const override;
    bool DeleteItem(int item) override;
    bool DeleteAllItems() override;
    int FindItem(int start, const LVFINDINFOA& find) const override;
    int GetItemCount() const override;
    int GetNextItem(int start, unsigned flags) const override;
    int GetSelectedCount() const override;
    bool SortItems(PFNLVCOMPARE compare, LPARAM sortData) override;
    bool MoveItem(int from, int to) override;

    int GetTopIndex() const override;
    bool GetItemRect(int item, QRect& rect, int code) const override;
    bool GetSubItemRect(int item, int column, int code, QRect& rect) const override;
    int GetHotItem() const override;
    int HitTest(LVHITTESTINFO& info) const override;
    int GetStringWidth(const char* text) const override;
    int HorizontalScrollPosition() const override;
    QRect ClientRect() const override;
    int HeaderHeight() const override;

    unsigned GetStyle() const override;
    void ModifyStyle(unsigned remove, unsigned add) override;
    unsigned SetExtendedStyle(unsigned mask, unsigned style) override;
    unsigned GetExtendedStyle() const override;
    ImageList* SetImageList(ImageList* images, int which) override;
    ImageList* GetImageList(int which) const override;
    bool SetBkColor(const QColor& color) override;
    QColor GetBkColor() const override;
    int ColorDepth() const override;

    void Invalidate(bool erase = true) override;
    void InvalidateRect(const QRect& rect, bool erase = true) override;
    bool HasFocus() const override;

    // ---- Beyond the messages ----
    ImageList* GetHeaderImageList() const;
    // A cell's text as shown (a callback cell is asked from the listener); empty for a bad
    // index.
    QString ItemDisplayText(int item, int column) const;
    // Height of a row in the details type.
    int RowHeight() const;
    // Read-only contents (columns, order, items, styles), for the model and painting code.
    const ListControlData& Data() const;
    // The widgets showing the list, for event routing and tests. The model's rows are the
    // items (see ItemOfViewRow), its columns the control columns; the header's sections are the control columns.
    QTreeView* DetailsView() const;
    QHeaderView* Header() const;
    QListView* IconView() const;
    QAbstractItemModel* Model() const;
    // The item a row of the widgets shows: rows inserted a moment ago reach the widgets with
    // the next notice, until then their rows still show the items they showed.
    int ItemOfViewRow(int row) const;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace vantor::lc
