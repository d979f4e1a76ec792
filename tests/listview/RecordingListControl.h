#pragma once

#include "platform/listcontrol/ListControlApi.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace vantor::test {

// One call the control received, with the arguments that matter to the tests.
struct ControlCall {
    std::string op;
    int index = -1;    // column or item
    int subItem = -1;  // sub-item (item calls), new width / order (column calls)
    unsigned mask = 0;
    bool hasText = false;  // a text pointer was given (not null)
    bool textIsCallback = false;
    std::string text;  // the text given, when real
    lc::LPARAM lParam = 0;
    int value = 0;           // fmt, width, state, ...
    std::vector<int> array;  // order arrays
    QRect rect;              // invalidated rectangles

    static ControlCall Make(std::string name)
    {
        ControlCall call;
        call.op = std::move(name);
        return call;
    }
    ControlCall& SetIndex(int v)
    {
        index = v;
        return *this;
    }
    ControlCall& SetSubItem(int v)
    {
        subItem = v;
        return *this;
    }
    ControlCall& SetMask(unsigned v)
    {
        mask = v;
        return *this;
    }
    ControlCall& SetLParam(lc::LPARAM v)
    {
        lParam = v;
        return *this;
    }
    ControlCall& SetValue(int v)
    {
        value = v;
        return *this;
    }
    ControlCall& SetArray(std::vector<int> v)
    {
        array = std::move(v);
        return *this;
    }
    ControlCall& SetRect(const QRect& v)
    {
        rect = v;
        return *this;
    }
};

// A small in-memory report-style list control that logs every call it receives. It answers
// like the platform control: bad indexes and refused requests give -1 / 0 / false and change
// nothing. `refuse` makes named operations fail. Texts held as the callback marker are asked
// for through `dispInfo` whenever they are read, as a painting control would.
//
// Inserting a column at control column 0 keeps each item's own text (and image) in column 0 and
// shifts only the sub-item texts, as the platform control does: the column that was first must
// be given its texts again by whoever inserted the new first column.
class RecordingListControl final : public lc::ListControlApi {
public:
    struct Cell {
        enum class Kind { None, Callback, Text } kind = Kind::None;
        std::string text;
        int image = 0;
        int indent = 0;
    };
    struct Item {
        lc::LPARAM lParam = 0;
        unsigned state = 0;
        std::vector<Cell> cells;  // by control column
    };
    struct Column {
        int fmt = 0;
        int width = 0;
        int image = 0;
        std::string text;
        int headerFmt = 0;
    };

    // ---- ListControlApi ----
    int InsertColumn(int column, const lc::LVCOLUMNA& descriptor) override;
    bool DeleteColumn(int column) override;
    bool GetColumn(int column, lc::LVCOLUMNA& descriptor) const override;
    bool SetColumn(int column, const lc::LVCOLUMNA& descriptor) override;
    int GetColumnWidth(int column) const override;
    bool SetColumnWidth(int column, int width) override;
    bool GetColumnOrderArray(std::span<int> order) const override;
    bool SetColumnOrderArray(std::span<const int> order) override;
    int GetColumnCount() const override { return static_cast<int>(columns.size()); }

    bool GetHeaderItem(int column, lc::HDITEMA& item) const override;
    bool SetHeaderItem(int column, const lc::HDITEMA& item) override;
    bool GetHeaderItemRect(int column, QRect& rect) const override;
    void SetHeaderImageList(lc::ImageList* images) override;

    int InsertItem(const lc::LVITEMA& item) override;
    bool SetItem(const lc::LVITEMA& item) override;
    bool SetItemText(int item, const lc::LVITEMA& descriptor) override;
    bool GetItem(lc::LVITEMA& item) const override;
    int GetItemText(int item, lc::LVITEMA& descriptor) const override;
    bool SetItemState(int item, unsigned state, unsigned stateMask) override;
    unsigned GetItemState(int item, unsigned stateMask) const override;
    bool DeleteItem(int item) override;
    bool DeleteAllItems() override;
    int FindItem(int start, const lc::LVFINDINFOA& find) const override;
    int GetItemCount() const override { return static_cast<int>(items.size()); }
    int GetNextItem(int start, unsigned flags) const override;
    int GetSelectedCount() const override;
    bool SortItems(lc::PFNLVCOMPARE compare, lc::LPARAM sortData) override;
    bool MoveItem(int from, int to) override;

    int GetTopIndex() const override { return items.empty() ? -1 : topIndex; }
    bool GetItemRect(int item, QRect& rect, int code) const override;
    bool GetSubItemRect(int item, int column, int code, QRect& rect) const override;
    int GetHotItem() const override { return hotItem; }
    // Hit tests are not modelled: nothing is ever hit.
    int HitTest(lc::LVHITTESTINFO& info) const override
    {
        info.flags = lc::LVHT_NOWHERE;
        info.iItem = -1;
        return -1;
    }
    int GetStringWidth(const char* text) const override
    {
        return text != nullptr ? 6 * static_cast<int>(std::string(text).size()) : 0;
    }
    int HorizontalScrollPosition() const override { return hScroll; }
    QRect ClientRect() const override { return {0, 0, 640, 480}; }
    int HeaderHeight() const override { return 20; }

    unsigned GetStyle() const override { return style; }
    void ModifyStyle(unsigned remove, unsigned add) override;
    unsigned SetExtendedStyle(unsigned mask, unsigned style) override;
    unsigned GetExtendedStyle() const override;
    lc::ImageList* SetImageList(lc::ImageList* images, int which) override;
    lc::ImageList* GetImageList(int which) const override;
    bool SetBkColor(const QColor& color) override;
    QColor GetBkColor() const override { return background; }
    int ColorDepth() const override { return colorDepth; }

    void Invalidate(bool erase) override;
    void InvalidateRect(const QRect& rect, bool erase) override;
    bool HasFocus() const override { return focused; }

    // ---- For the tests ----
    // The text a painting control would show in a cell (asks for callback texts).
    std::string ShownText(int item, int column) const;
    // Every column's heading in display order.
    std::vector<std::string> HeadingsInDisplayOrder() const;
    std::vector<ControlCall> CallsOf(const std::string& op) const;
    int CountOf(const std::string& op) const;
    void ClearCalls() { calls.clear(); }

    std::vector<Column> columns;
    std::vector<int> order;  // display position -> control column
    std::vector<Item> items;
    unsigned style = lc::LVS_REPORT;
    unsigned extendedStyle = 0;
    QColor background = Qt::white;
    lc::ImageList* imageLists[3] = {nullptr, nullptr, nullptr};
    lc::ImageList* headerImages = nullptr;
    int invalidations = 0;
    // Geometry of the list area (client coordinates, origin just below the header): rows of
    // `rowHeight` pixels, the top item starting at `rowsTop`, columns side by side in display
    // order moved left by `hScroll`. The first column's cell holds the state image, then a gap
    // of 2 and the small icon (each only with its image list), then the label.
    int topIndex = 0;
    int rowsTop = 0;
    int rowHeight = 16;
    int hScroll = 0;
    int hotItem = -1;
    int colorDepth = 32;
    bool focused = false;
    std::set<std::string> refuse;
    std::function<void(lc::NMLVDISPINFOA&)> dispInfo;
    std::function<void(int, lc::LPARAM)> itemDeleted;
    mutable std::vector<ControlCall> calls;

private:
    bool Refused(const std::string& op) const { return refuse.count(op) != 0; }
    void Log(ControlCall call) const { calls.push_back(std::move(call)); }
    static void TakeText(Cell& cell, const char* text);
    // Text of a cell as a reader gets it (a callback text is asked for).
    std::string ReadText(int item, int column) const;
    bool ValidItem(int item) const { return item >= 0 && item < GetItemCount(); }
    bool ValidColumn(int column) const { return column >= 0 && column < GetColumnCount(); }
};

// Describes a text pointer for the log.
void DescribeText(ControlCall& call, const char* text);

}  // namespace vantor::test
