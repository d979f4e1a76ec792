#pragma once

#include "platform/listcontrol/ListTypes.h"

#include <QColor>
#include <QPoint>
#include <QRect>

#include <span>

namespace vantor::lc {

class ImageList;

// The report-style list control as the list extension sees it: one method per control message,
// typed arguments, control columns (the columns actually present) everywhere. Answers follow
// the platform control: -1 / 0 / false for a bad index or a refused request, and a refused
// request changes nothing.
//
// `ListControl` is the real control (shown through Qt's model/view); tests use a recording fake.
class ListControlApi {
public:
    virtual ~ListControlApi() = default;

    // ---- Columns (LVM_*COLUMN*) ----
    virtual int InsertColumn(int column, const LVCOLUMNA& descriptor) = 0;  // new index or -1
    virtual bool DeleteColumn(int column) = 0;
    virtual bool GetColumn(int column, LVCOLUMNA& descriptor) const = 0;
    virtual bool SetColumn(int column, const LVCOLUMNA& descriptor) = 0;
    virtual int GetColumnWidth(int column) const = 0;  // 0 for a bad index
    virtual bool SetColumnWidth(int column, int width) = 0;
    // Entry i = control column shown at display position i. Fails when the count differs
    // from the number of columns.
    virtual bool GetColumnOrderArray(std::span<int> order) const = 0;
    virtual bool SetColumnOrderArray(std::span<const int> order) = 0;
    virtual int GetColumnCount() const = 0;

    // ---- Header items (HDM_*) ----
    virtual bool GetHeaderItem(int column, HDITEMA& item) const = 0;
    virtual bool SetHeaderItem(int column, const HDITEMA& item) = 0;
    // Rectangle of the header item in header coordinates (unscrolled: the first displayed
    // item starts at x = 0).
    virtual bool GetHeaderItemRect(int column, QRect& rect) const = 0;
    virtual void SetHeaderImageList(ImageList* images) = 0;

    // ---- Items (LVM_*ITEM*) ----
    virtual int InsertItem(const LVITEMA& item) = 0;  // new index or -1
    virtual bool SetItem(const LVITEMA& item) = 0;
    virtual bool SetItemText(int item, const LVITEMA& descriptor) = 0;
    virtual bool GetItem(LVITEMA& item) const = 0;
    virtual int GetItemText(int item, LVITEMA& descriptor) const = 0;             // characters copied
    virtual bool SetItemState(int item, unsigned state, unsigned stateMask) = 0;  // -1: every item
    virtual unsigned GetItemState(int item, unsigned stateMask) const = 0;
    virtual bool DeleteItem(int item) = 0;
    virtual bool DeleteAllItems() = 0;
    virtual int FindItem(int start, const LVFINDINFOA& find) const = 0;
    virtual int GetItemCount() const = 0;
    virtual int GetNextItem(int start, unsigned flags) const = 0;
    virtual int GetSelectedCount() const = 0;
    // Stable sort with the caller's compare function over the items' item-data values.
    virtual bool SortItems(PFNLVCOMPARE compare, LPARAM sortData) = 0;
    // Moves one item to another index, keeping its contents, state and item data (used to keep
    // a sorted list sorted without a full sort).
    virtual bool MoveItem(int from, int to) = 0;

    // ---- Geometry (client coordinates of the list area) ----
    virtual int GetTopIndex() const = 0;  // -1 when there is no item
    virtual bool GetItemRect(int item, QRect& rect, int code) const = 0;
    virtual bool GetSubItemRect(int item, int column, int code, QRect& rect) const = 0;
    virtual int GetHotItem() const = 0;
    // Item under info.pt with the part hit (LVHT_*); -1 when none. The control's listener
    // refines the answer (owner-drawn lists know their own parts).
    virtual int HitTest(LVHITTESTINFO& info) const = 0;
    // Width in pixels of a text drawn in the list's font.
    virtual int GetStringWidth(const char* text) const = 0;
    virtual int HorizontalScrollPosition() const = 0;
    virtual QRect ClientRect() const = 0;
    virtual int HeaderHeight() const = 0;

    // ---- Styles, colours, images ----
    virtual unsigned GetStyle() const = 0;
    virtual void ModifyStyle(unsigned remove, unsigned add) = 0;
    // Returns the previous extended style; bits outside the mask keep their value (mask 0: all).
    virtual unsigned SetExtendedStyle(unsigned mask, unsigned style) = 0;
    virtual unsigned GetExtendedStyle() const = 0;
    virtual ImageList* SetImageList(ImageList* images, int which) = 0;  // previous list
    virtual ImageList* GetImageList(int which) const = 0;
    virtual bool SetBkColor(const QColor& color) = 0;
    virtual QColor GetBkColor() const = 0;
    virtual int ColorDepth() const = 0;  // bits per pixel of the screen showing the list

    // ---- Painting and focus ----
    virtual void Invalidate(bool erase = true) = 0;
    virtual void InvalidateRect(const QRect& rect, bool erase = true) = 0;
    virtual bool HasFocus() const = 0;
};

}  // namespace vantor::lc
