#pragma once

#include "listview/ColumnTable.h"
#include "listview/RecordTable.h"
#include "platform/listcontrol/ListControlApi.h"
#include "platform/listcontrol/ListControlListener.h"
#include "platform/listcontrol/ListTypes.h"

#include <QByteArray>
#include <QColor>
#include <QCursor>
#include <QPalette>
#include <QRect>
#include <QtGlobal>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QPainter;

namespace vantor {

namespace lc {
class ImageList;
}

// The extension that stands between every caller and the report-style list control. Callers
// speak in logical columns (every column they inserted, hidden ones included, in insertion
// order) and in their own item-data values; the extension keeps a table of all columns, lets
// hideable columns leave the control and come back, keeps a record of every item's cells so a
// hidden column's texts survive, keeps the sort key on its column, shows the sort marker in
// the header, dispatches sorts to the caller's compare function with the caller's item data,
// and restores a saved column layout. For a list the control paints itself it also shades the
// sorted column (the empty area through the background erase, the cells through custom draw),
// repaints the first column's icon area when that column has been dragged away from the left
// edge in full-row mode, and hands the focus state to the first selected item.
//
// One method per control message; each forwards to the control (which never calls back into
// these methods) after translating columns, item data and texts. Failure answers follow the
// control: 0 / false / -1 for a bad index or a refused request, and a refusal leaves the
// extension's tables as they were.
//
// The extension has no widget of its own: it is the control's listener, and `CListViewEx` joins
// it with the real control. Single-threaded (the user-interface thread).
// The column table and the item records are kept by ColumnTable and RecordTable.
class CListBase : public lc::ListControlListener {
    Q_DISABLE_COPY_MOVE(CListBase)

public:
    // `list` is the control every message goes to; it must outlive the extension.
    explicit CListBase(lc::ListControlApi& list);
    ~CListBase() override;

    // ---- Index spaces -------------------------------------------------------------------------
    // Logical column shown at a control column; -1 when there is none.
    int ToLogicalColumn(int controlColumn) const { return m_columns.ToLogicalColumn(controlColumn); }
    // Number of visible columns before a logical column (its control column when it is visible).
    int ToControlColumn(int logicalColumn) const { return m_columns.ToControlColumn(logicalColumn); }
    // Number of visible columns whose logical order is below `logicalOrder`.
    int ToControlOrder(int logicalOrder) const { return m_columns.ToControlOrder(logicalOrder); }
    // Logical order of a display position of the control's header; -1 when there is none.
    int ToLogicalOrder(int controlOrder) const { return m_columns.ToLogicalOrder(controlOrder); }
    // Gives one column a new logical order, shifting the columns in between. Indexes or orders
    // outside the table change nothing.
    void MoveColumnOrder(int column, int newOrder) { m_columns.MoveOrder(column, newOrder); }
    // Hides or shows a hideable column; other columns, and a column already in the requested
    // state, are left alone.
    void SetColumnVisible(int column, bool visible);
    // Marks a column hideable (counted once in the hideable count).
    void AllowColumnHiding(int column) { m_columns.AllowHiding(column); }
    // The display order of the visible columns is kept twice, by logical order in the column
    // table and by the control; true when the two agree.
    bool ColumnOrderMirrorHolds() const;

    // ---- Column table queries -----------------------------------------------------------------
    int GetColumnCount() const { return m_columns.Count(); }  // logical columns
    bool IsColumnVisible(int column) const { return IsValidColumn(column) && m_columns.At(column).visible; }
    bool IsColumnHideable(int column) const { return IsValidColumn(column) && m_columns.At(column).hideable; }
    int ColumnOrder(int column) const
    {  // logical order, -1 for a bad index
        return IsValidColumn(column) ? m_columns.At(column).order : -1;
    }
    // The heading the column was given (empty when it has none or the index is bad).
    std::string ColumnHeading(int column) const;
    int HideableCount() const { return m_columns.HideableCount(); }
    int SortKey() const { return m_sortKey; }
    bool IsSortArrowShown() const { return m_showSortArrow; }
    bool IsSortedColumnShaded() const { return m_shadeSortedColumn; }
    // Number of item records the extension holds (one per item inserted through it).
    int RecordCount() const { return m_records.LiveCount(); }

    // ---- Column messages (logical columns) ----------------------------------------------------
    int InsertColumn(int column, const lc::LVCOLUMNA& descriptor);  // control column or -1
    bool DeleteColumn(int column);
    bool GetColumn(int column, lc::LVCOLUMNA& descriptor) const;
    bool SetColumn(int column, const lc::LVCOLUMNA& descriptor);
    int GetColumnWidth(int column) const;  // 0 for a hidden column or a bad index
    bool SetColumnWidth(int column, int width);
    // Entry i = logical column at logical order i; returns the number of entries filled.
    int GetColumnOrderArray(std::span<int> order) const;
    // Logical columns in display order; more entries than columns are ignored.
    bool SetColumnOrderArray(std::span<const int> order);

    // ---- Item messages (item data is the caller's own; sub-items are logical columns) --------
    int InsertItem(const lc::LVITEMA& item);  // index or -1
    bool SetItem(const lc::LVITEMA& item);
    bool SetItemText(int item, const lc::LVITEMA& descriptor);
    bool GetItem(lc::LVITEMA& item) const;
    int GetItemText(int item, lc::LVITEMA& descriptor) const;  // characters copied
    bool DeleteItem(int item);
    bool DeleteAllItems();  // true when every item was deleted
    // Moves an item to another index; its cells, state, item data and record go with it.
    bool MoveItem(int from, int to) { return m_list->MoveItem(from, to); }
    // The caller's item data of an item; 0 for a bad index.
    lc::LPARAM GetItemData(int item) const;
    int FindItem(int start, const lc::LVFINDINFOA& find) const;
    // The compare function sees only the item-data values the caller gave.
    bool SortItems(lc::PFNLVCOMPARE compare, lc::LPARAM sortData);
    lc::ImageList* SetImageList(lc::ImageList* images, int which);

    // Messages the extension does not translate, offered here so callers need only one object.
    int GetItemCount() const { return m_list->GetItemCount(); }
    int GetSelectedCount() const { return m_list->GetSelectedCount(); }
    int GetNextItem(int start, unsigned flags) const { return m_list->GetNextItem(start, flags); }
    bool SetItemState(int item, unsigned state, unsigned stateMask)
    {
        return m_list->SetItemState(item, state, stateMask);
    }
    unsigned GetItemState(int item, unsigned stateMask) const { return m_list->GetItemState(item, stateMask); }

    // ---- Colours ------------------------------------------------------------------------------
    // Changes the list's background; the tint of a shaded column follows. False when the
    // control refused the colour.
    bool SetBkColor(const QColor& color);
    QColor GetBkColor() const { return m_list->GetBkColor(); }

    // ---- Styles -------------------------------------------------------------------------------
    // The control's window style (list type, auto arrange, ...).
    void ModifyStyle(unsigned remove, unsigned add) { m_list->ModifyStyle(remove, add); }
    // Mask 0 stands for every bit. Returns the control's previous extended style.
    unsigned SetExtendedStyle(unsigned mask, unsigned style);
    // The extended style as set through the extension (the control is not asked).
    unsigned GetExtendedStyle() const { return m_extStyle; }
    // Mirrors the alignment of the column that became control column 0 into the header (only
    // for full-row selection or owner-drawn lists, where the header's first item shows it).
    void SetFirstColumnAlign(int fmt);

    // ---- Sort key, header marker, shading flag, saved layout ----------------------------------
    void ShowSortArrow(bool on);
    // 0 unsorted, +k ascending and -k descending on logical column k-1.
    void SetSortKey(int key);
    // Rewrites the header format of every visible column: its alignment, its text and, on the
    // sorted column only while the arrow is on, the up or down marker.
    void RefreshSortArrow();
    // Shades the sorted column with a tint of the background. Switching to the current state
    // does nothing (no repaint); a screen of 8 bits per pixel or fewer refuses shading.
    void ShadeSortedColumn(bool on);
    QColor ShadeColor() const { return m_shadeColor; }
    // Restores visibility, widths, display order and sort key from a saved block. A block not
    // written for this list (size or count) is ignored and true returned; a block with an
    // impossible sort key or orders (out of range or repeated) is refused with false before
    // anything changes.
    bool ApplyColumnLayout(std::span<const std::uint8_t> block);
    bool ApplyColumnLayout(const QByteArray& block);

    // ---- Shading and custom drawing ----------------------------------------------------------
    // Horizontal extent of the sorted column's band in list-area coordinates (`right` one past
    // the last pixel), while shading is on and the sorted column is shown; taken from the
    // header item, never from the rows.
    struct SHADED_BAND {
        int left = 0;
        int right = 0;
    };
    std::optional<SHADED_BAND> SortedColumnBand() const;
    // Repaints the empty strips above the first row and below the last one, where the band
    // is drawn by the background erase.
    void RepaintSortedColumn();
    // Cell rectangle of a control column; `area` is LVIR_BOUNDS, LVIR_ICON or LVIR_LABEL. For
    // control column 0 the bounds are that column's own cell (the control answers the whole
    // row), the icon is cut at the cell's right edge.
    bool CellRect(int item, int controlColumn, int area, QRect& rect) const;
    // Area of the first column's state image: from the cell's left edge (plus the measured gap)
    // to the icon.
    bool StateIconRect(int item, QRect& rect);
    int FirstColumnAlign() const { return m_firstColumnAlign; }
    int IconGap() const { return m_iconGap; }

    // ---- Notifications from the control -------------------------------------------------------
    // Background erase of the list area: with the sorted column shaded, paints the clip
    // rectangle in the background colour with the band in the tint (at most three fills) and
    // answers true; false lets the control erase.
    bool OnEraseBackground(QPainter& painter, const QRect& clip) override;
    // Custom-draw stages: asks for item and cell notifications, gives the sorted column's cells
    // the tint, and after the first column's cell repaints its icon area.
    unsigned OnCustomDraw(lc::NMLVCUSTOMDRAW& draw) override;
    void OnHScroll() override;
    void OnHeaderEndTrack(int column) override;
    void OnHeaderItemChanged(int column) override;
    // The focus state follows the first selected item in and out.
    void OnSetFocus() override;
    void OnKillFocus() override;
    // The system colours changed: the shading state is applied again, which recomputes the tint
    // (and ends shading on a screen that now has 8 bits per pixel or fewer).
    void OnSysColorChange() override;
    // Display-text request for a cell the control holds as a callback text. Answers with the
    // stored text, or hands the request to ForwardGetDispInfo.
    void OnGetDispInfo(lc::NMLVDISPINFOA& info) override;
    // The extension's own reaction to a header click: the notification's sub-item becomes the
    // logical column, the sort key flips (same column) or becomes that column ascending, and
    // the header is refreshed. The extension does not sort.
    void ReactToColumnClick(lc::NMLISTVIEW& info);

    // The caller's item data behind a value the control holds as item data (the value itself
    // when it is not one of the extension's records).
    lc::LPARAM UserDataOf(lc::LPARAM itemData) const;

    // ---- Owner-drawn mode (a report list with LVS_OWNERDRAWFIXED) ------------------------------
    // The extension paints every item, tracks the hot item with a hand cursor, toggles check
    // boxes on a click on the state image, refines hit tests, and can keep the icons and the
    // label in the leftmost column while column 0 is dragged elsewhere (pinned icons).
    bool IsOwnerDrawn() const;
    // Only for owner-drawn lists; off by default.
    void SetPinIconsLeft(bool on) { m_pinIconsLeft = on; }
    bool PinIconsLeft() const { return m_pinIconsLeft; }
    int HotItem() const { return m_hotItem; }
    // Item under a point of the list area, with the part hit (LVHT_*); -1 when none.
    int HitTest(lc::LVHITTESTINFO& info) { return m_list->HitTest(info); }
    void OnDrawItem(lc::DRAWITEMSTRUCT& draw) override;
    bool OnInputMessage(const lc::LISTINPUT& input, lc::ControlHandling& control) override;
    void OnHitTest(lc::LVHITTESTINFO& info) override;
    void OnHeaderDividerDblClick(int column) override;

protected:
    // Asserts (in debug builds) that ColumnOrderMirrorHolds; a saved layout being applied is
    // checked once it is complete.
    void CheckColumnMirror() const;
    // ---- Painters of owner-drawn items; an owner may replace them ----
    // The item's small icon (`item.iImage`) at the rectangle's top-left.
    virtual void DrawSmallIcon(QPainter& painter, const lc::LVITEMA& item, const QRect& rect);
    // The item's state image (bits 12-15 of `item.state`, 0 for none) in the rectangle.
    virtual void DrawStateIcon(QPainter& painter, const lc::LVITEMA& item, const QRect& rect);
    // A cell's text (`cell.pszText`, `cell.iSubItem` its logical column) on one line, vertically
    // centred and aligned after the column's format, with an ellipsis when it does not fit.
    virtual void DrawCellText(QPainter& painter, const lc::LVITEMA& cell, const lc::LVCOLUMNA& column,
                              const QRect& rect);
    // Shows a cursor over the list. Default: nothing (the extension has no widget).
    virtual void SetListCursor(const QCursor& cursor);

    // The column table's entries and the item records (see ColumnTable and RecordTable).
    using COLUMN_DESCRIPTION = ColumnTable::COLUMN_DESCRIPTION;
    using COLUMN_DATA = ColumnTable::COLUMN_DATA;
    using CELL = RecordTable::CELL;
    using TEXT_KIND = RecordTable::TEXT_KIND;
    using ROW_DATA = RecordTable::ROW_DATA;

    // Hook for display-text requests the extension cannot answer (the owner's parent role).
    // The sub-item is the logical column and the item data the caller's own. Default: nothing.
    virtual void ForwardGetDispInfo(lc::NMLVDISPINFOA& info);
    // Draws one image of an image list, clipped to `clip` from its top-left, blended 50 % for a
    // selected item in a focused list. The extension has no image painting of its own: the
    // window class joining it with the control draws. Default: nothing.
    virtual void DrawListImage(QPainter& painter, const lc::ImageList& images, int index, const QPoint& topLeft,
                               const QSize& clip, bool blend50);
    // A colour of the system scheme the list is shown with (highlight, button face). Default:
    // the application palette's active colours.
    virtual QColor SystemColor(QPalette::ColorRole role) const;

    lc::ListControlApi* m_list;  // never owned
    ColumnTable m_columns;
    bool m_applyingLayout = false;  // orders are half applied until the layout is complete
    bool m_inDispInfo = false;
    bool m_showSortArrow = false;
    lc::PFNLVCOMPARE m_sortCompare = nullptr;  // valid during one sort
    lc::LPARAM m_sortData = 0;
    bool m_shadeSortedColumn = false;
    QColor m_shadeColor;  // tint, computed whenever shading is switched on
    unsigned m_extStyle = 0;
    int m_firstColumnAlign = 0;    // LVCFMT_LEFT, LVCFMT_RIGHT or LVCFMT_CENTER
    int m_hotItem = -1;            // tracked only by lists with an activation style
    QColor m_hotColor{0, 0, 128};  // hot items; the window class gives the scheme's own colour
    int m_iconGap = 4;             // pixels between the first column's left edge and the state image
    bool m_iconGapKnown = false;
    bool m_pinIconsLeft = false;      // icons and label in the first displayed column (owner-drawn)
    bool m_ctrlDown = false;          // Ctrl held while icons are pinned and column 0 is moved
    std::optional<QCursor> m_cursor;  // shown over the list (owner-drawn hot tracking)
    std::optional<QCursor> m_arrowCursor;
    std::optional<QCursor> m_handCursor;

private:
    // Written only through the extension's own operations (SetSortKey, the column click, column
    // insertion and deletion), which keep it and the header's arrow in step.
    int m_sortKey = 0;
    // Copies a text into a caller buffer of `capacity` bytes: at most capacity - 1 bytes and a
    // terminator. Returns the number of bytes copied. Nothing is written without a buffer.
    static COLUMN_DESCRIPTION CopyColumnDescriptor(const lc::LVCOLUMNA& descriptor);
    // The descriptor as the control receives it; points into `description`, valid while it lives.
    static lc::LVCOLUMNA ForControl(COLUMN_DESCRIPTION& description);
    // Stored-cell copy of a caller's item descriptor: fields whose mask bit is absent are zeroed,
    // the state is cut to its mask, the callback marker is kept as such. An owned text still
    // points to the caller's; the record duplicates it when the cell is stored.
    static CELL CopyCell(const lc::LVITEMA& item);
    // The stored cell of a logical column; none when the record has none.
    static std::optional<CELL> CellOf(const ROW_DATA* record, int column);
    // The text part of a stored cell for a caller's text (null, the marker, or a text).
    static void TakeText(const char* text, CELL& cell);
    // The descriptor of a stored cell, without its text.
    static lc::LVITEMA ItemOf(const CELL& cell, int item, int subItem);
    // The text the control is given for a visible cell: the callback marker, or the real text
    // in a list the control sorts by its texts.
    static char* TextForControl(const CELL& cell, bool sortStyle);
    static int SortTrampoline(lc::LPARAM itemData1, lc::LPARAM itemData2, lc::LPARAM extension);
    static lc::LPARAM ItemDataOf(const ROW_DATA& record);
    static int SortedColumnOfKey(int key);  // -1 for 0

    bool IsValidColumn(int column) const { return m_columns.IsValid(column); }
    bool HasSortStyle() const;
    // The live record a handle names; null for any other value (a stale handle, a foreign value).
    ROW_DATA* RecordFromItemData(lc::LPARAM itemData) const { return m_records.RecordFromItemData(itemData); }
    // A fresh record in a free slot (null when the table is full); FreeRecord gives it back.
    ROW_DATA* NewRecord() { return m_records.NewRecord(); }
    void FreeRecord(lc::LPARAM itemData) { m_records.FreeRecord(itemData); }
    // Reads an item's record through the control's own item data.
    ROW_DATA* RecordOf(int item) const;
    void ResendCells(int column);
    // Whether a control column shows the sorted column while shading is on.
    bool IsShadedControlColumn(int controlColumn) const;
    void InvalidateStrip(const QRect& strip);
    void RepaintIconArea(const lc::NMLVCUSTOMDRAW& draw);
    QColor IconAreaColor(int item, unsigned state, bool focused, bool atLeftEdge) const;
    void ForwardToParent(lc::NMLVDISPINFOA& info);

    // ---- Owner-drawn mode (CListBaseOwnerDraw.cpp, CListBaseOwnerInput.cpp) ----
    // An item read for painting: its text lives in `text`, which item.pszText points into.
    struct PAINT_ITEM {
        lc::LVITEMA item;
        std::vector<char> text;
    };
    bool ReadPaintItem(int item, int controlSubItem, PAINT_ITEM& read) const;
    void DrawOwnerItem(QPainter& painter, int item);
    // Control columns in display order (empty when the control cannot tell).
    std::vector<int> DisplayOrder() const;
    bool IsColumn0Moved() const;
    // Moves column 0's icon or label rectangle into the first displayed column while icons are
    // pinned and column 0 is moved; other rectangles are left as they are.
    bool PinRect(int item, int area, QRect& rect) const;
    // The cell the first column's images sit in: column 0's, or the first displayed column's
    // while icons are pinned.
    bool IconCellBounds(int item, QRect& rect) const;
    void TrackHotItem(const QPoint& point);
    void InvalidateItem(int item);
    bool ToggleCheckAt(const QPoint& point);
    bool OnPinnedKey(const lc::LISTINPUT& input);
    void LoadCursors();
    unsigned SetOwnerDrawnExtendedStyle(unsigned mask, unsigned style, unsigned previous);
    // Width that fits a control column's widest text with the label's margins.
    int FittedWidth(int controlColumn, bool labelMargins);
    std::string ControlText(int item, int controlColumn) const;

    // Mutable: records are reached from const queries and changed by the messages that own them.
    mutable RecordTable m_records;
};

}  // namespace vantor
