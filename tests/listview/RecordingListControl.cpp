#include "tests/listview/RecordingListControl.h"

#include "platform/listcontrol/ImageList.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace vantor::test {

using namespace vantor::lc;

namespace {

int CopyOut(const std::string& text, char* buffer, int capacity)
{
    if (buffer == nullptr || capacity <= 0) {
        return 0;
    }
    const auto count = std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity) - 1);
    if (count > 0) {
        std::memcpy(buffer, text.data(), count);
    }
    buffer[count] = '\0';
    return static_cast<int>(count);
}

bool StartsWithNoCase(const std::string& text, const char* prefix, bool whole)
{
    const std::size_t n = std::strlen(prefix);
    if (text.size() < n || (whole && text.size() != n)) {
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

void DescribeText(ControlCall& call, const char* text)
{
    call.hasText = text != nullptr;
    call.textIsCallback = text == LPSTR_TEXTCALLBACK;
    if (call.hasText && !call.textIsCallback) {
        call.text = text;
    }
}

void RecordingListControl::TakeText(Cell& cell, const char* text)
{
    if (text == nullptr) {
        cell.kind = Cell::Kind::None;
        cell.text.clear();
    } else if (text == LPSTR_TEXTCALLBACK) {
        cell.kind = Cell::Kind::Callback;
        cell.text.clear();
    } else {
        cell.kind = Cell::Kind::Text;
        cell.text = text;
    }
}

std::string RecordingListControl::ReadText(int item, int column) const
{
    const Item& it = items[static_cast<std::size_t>(item)];
    if (column < 0 || static_cast<std::size_t>(column) >= it.cells.size()) {
        return {};
    }
    const Cell& cell = it.cells[static_cast<std::size_t>(column)];
    if (cell.kind == Cell::Kind::Text) {
        return cell.text;
    }
    if (cell.kind == Cell::Kind::None || !dispInfo) {
        return {};
    }
    char buffer[260] = {};
    NMLVDISPINFOA info;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = item;
    info.item.iSubItem = column;
    info.item.lParam = it.lParam;
    info.item.pszText = buffer;
    info.item.cchTextMax = static_cast<int>(sizeof buffer);
    dispInfo(info);
    if (info.item.pszText == nullptr || info.item.pszText == LPSTR_TEXTCALLBACK) {
        return {};
    }
    // The answer is either our buffer or a text the control copies at once.
    return info.item.pszText == buffer ? std::string(buffer, strnlen(buffer, sizeof buffer - 1))
                                       : std::string(info.item.pszText);
}

// ---- Columns ---------------------------------------------------------------------------------

int RecordingListControl::InsertColumn(int column, const LVCOLUMNA& d)
{
    ControlCall call = ControlCall::Make("InsertColumn").SetIndex(column).SetMask(d.mask).SetValue(d.fmt);
    if ((d.mask & LVCF_TEXT) != 0) {
        DescribeText(call, d.pszText);
    }
    call.subItem = (d.mask & LVCF_ORDER) != 0 ? d.iOrder : -1;
    call.array = {(d.mask & LVCF_WIDTH) != 0 ? d.cx : -1};
    Log(call);
    if (column < 0 || Refused("InsertColumn")) {
        return -1;
    }
    column = std::min(column, GetColumnCount());
    Column c;
    c.fmt = (d.mask & LVCF_FMT) != 0 ? d.fmt : 0;
    c.width = (d.mask & LVCF_WIDTH) != 0 ? d.cx : 0;
    c.image = (d.mask & LVCF_IMAGE) != 0 ? d.iImage : 0;
    c.text = (d.mask & LVCF_TEXT) != 0 && d.pszText != nullptr ? d.pszText : "";
    c.headerFmt = HDF_STRING | (c.fmt & HDF_JUSTIFYMASK);
    columns.insert(columns.begin() + column, c);
    for (int& o : order) {
        o += o >= column ? 1 : 0;
    }
    int position = column;  // without an order the new column shows at its own index
    if ((d.mask & LVCF_ORDER) != 0) {
        position = std::clamp(d.iOrder, 0, static_cast<int>(order.size()));
    }
    order.insert(order.begin() + position, column);
    for (Item& item : items) {
        // The item's own text stays in column 0; sub-item texts shift.
        const int at = column == 0 ? 1 : column;
        if (static_cast<std::size_t>(at) <= item.cells.size()) {
            item.cells.insert(item.cells.begin() + at, Cell{});
        }
        item.cells.resize(columns.size());
    }
    return column;
}

bool RecordingListControl::DeleteColumn(int column)
{
    Log(ControlCall::Make("DeleteColumn").SetIndex(column));
    if (!ValidColumn(column) || Refused("DeleteColumn")) {
        return false;
    }
    columns.erase(columns.begin() + column);
    order.erase(std::find(order.begin(), order.end(), column));
    for (int& o : order) {
        o -= o > column ? 1 : 0;
    }
    for (Item& item : items) {
        if (static_cast<std::size_t>(column) < item.cells.size()) {
            item.cells.erase(item.cells.begin() + column);
        }
    }
    return true;
}

bool RecordingListControl::GetColumn(int column, LVCOLUMNA& d) const
{
    Log(ControlCall::Make("GetColumn").SetIndex(column).SetMask(d.mask));
    if (!ValidColumn(column) || Refused("GetColumn")) {
        return false;
    }
    const Column& c = columns[static_cast<std::size_t>(column)];
    if ((d.mask & LVCF_FMT) != 0) {
        d.fmt = c.fmt;
    }
    if ((d.mask & LVCF_WIDTH) != 0) {
        d.cx = c.width;
    }
    if ((d.mask & LVCF_TEXT) != 0) {
        CopyOut(c.text, d.pszText, d.cchTextMax);
    }
    if ((d.mask & LVCF_SUBITEM) != 0) {
        d.iSubItem = column;
    }
    if ((d.mask & LVCF_IMAGE) != 0) {
        d.iImage = c.image;
    }
    if ((d.mask & LVCF_ORDER) != 0) {
        d.iOrder = static_cast<int>(std::find(order.begin(), order.end(), column) - order.begin());
    }
    return true;
}

bool RecordingListControl::SetColumn(int column, const LVCOLUMNA& d)
{
    ControlCall call = ControlCall::Make("SetColumn").SetIndex(column).SetMask(d.mask).SetValue(d.fmt);
    if ((d.mask & LVCF_TEXT) != 0) {
        DescribeText(call, d.pszText);
    }
    call.subItem = (d.mask & LVCF_ORDER) != 0 ? d.iOrder : -1;
    Log(call);
    if (!ValidColumn(column) || Refused("SetColumn")) {
        return false;
    }
    Column& c = columns[static_cast<std::size_t>(column)];
    if ((d.mask & LVCF_FMT) != 0) {
        c.fmt = d.fmt;
        c.headerFmt = (c.headerFmt & ~HDF_JUSTIFYMASK) | (d.fmt & HDF_JUSTIFYMASK);
    }
    if ((d.mask & LVCF_WIDTH) != 0) {
        c.width = d.cx;
    }
    if ((d.mask & LVCF_TEXT) != 0 && d.pszText != nullptr) {
        c.text = d.pszText;
    }
    if ((d.mask & LVCF_IMAGE) != 0) {
        c.image = d.iImage;
    }
    if ((d.mask & LVCF_ORDER) != 0) {
        order.erase(std::find(order.begin(), order.end(), column));
        order.insert(order.begin() + std::clamp(d.iOrder, 0, static_cast<int>(order.size())), column);
    }
    return true;
}

int RecordingListControl::GetColumnWidth(int column) const
{
    Log(ControlCall::Make("GetColumnWidth").SetIndex(column));
    return ValidColumn(column) ? columns[static_cast<std::size_t>(column)].width : 0;
}

bool RecordingListControl::SetColumnWidth(int column, int width)
{
    Log(ControlCall::Make("SetColumnWidth").SetIndex(column).SetSubItem(width));
    if (!ValidColumn(column) || Refused("SetColumnWidth")) {
        return false;
    }
    columns[static_cast<std::size_t>(column)].width = width;
    return true;
}

bool RecordingListControl::GetColumnOrderArray(std::span<int> out) const
{
    Log(ControlCall::Make("GetColumnOrderArray").SetIndex(static_cast<int>(out.size())));
    if (out.size() != order.size()) {
        return false;
    }
    std::copy(order.begin(), order.end(), out.begin());
    return true;
}

bool RecordingListControl::SetColumnOrderArray(std::span<const int> in)
{
    Log(ControlCall::Make("SetColumnOrderArray")
            .SetIndex(static_cast<int>(in.size()))
            .SetArray(std::vector<int>(in.begin(), in.end())));
    if (in.size() != order.size() || Refused("SetColumnOrderArray")) {
        return false;
    }
    std::vector<int> sorted(in.begin(), in.end());
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> expected(sorted.size());
    std::iota(expected.begin(), expected.end(), 0);
    if (sorted != expected) {
        return false;
    }
    order.assign(in.begin(), in.end());
    return true;
}

// ---- Header ----------------------------------------------------------------------------------

bool RecordingListControl::GetHeaderItem(int column, HDITEMA& h) const
{
    Log(ControlCall::Make("GetHeaderItem").SetIndex(column).SetMask(h.mask));
    if (!ValidColumn(column)) {
        return false;
    }
    const Column& c = columns[static_cast<std::size_t>(column)];
    if ((h.mask & HDI_FORMAT) != 0) {
        h.fmt = c.headerFmt;
    }
    if ((h.mask & HDI_WIDTH) != 0) {
        h.cxy = c.width;
    }
    if ((h.mask & HDI_TEXT) != 0) {
        CopyOut(c.text, h.pszText, h.cchTextMax);
    }
    if ((h.mask & HDI_ORDER) != 0) {
        h.iOrder = static_cast<int>(std::find(order.begin(), order.end(), column) - order.begin());
    }
    return true;
}

bool RecordingListControl::SetHeaderItem(int column, const HDITEMA& h)
{
    Log(ControlCall::Make("SetHeaderItem").SetIndex(column).SetMask(h.mask).SetValue(h.fmt));
    if (!ValidColumn(column)) {
        return false;
    }
    if ((h.mask & HDI_FORMAT) != 0) {
        columns[static_cast<std::size_t>(column)].headerFmt = h.fmt;
    }
    if ((h.mask & HDI_WIDTH) != 0) {
        columns[static_cast<std::size_t>(column)].width = h.cxy;
    }
    return true;
}

bool RecordingListControl::GetHeaderItemRect(int column, QRect& rect) const
{
    if (!ValidColumn(column)) {
        return false;
    }
    int x = 0;
    for (int c : order) {
        const int width = columns[static_cast<std::size_t>(c)].width;
        if (c == column) {
            rect = QRect(x, 0, width, HeaderHeight());
            return true;
        }
        x += width;
    }
    return false;
}

void RecordingListControl::SetHeaderImageList(ImageList* images)
{
    Log(ControlCall::Make("SetHeaderImageList").SetLParam(images != nullptr ? 1 : 0));
    headerImages = images;
}

// ---- Items -----------------------------------------------------------------------------------

int RecordingListControl::InsertItem(const LVITEMA& d)
{
    ControlCall call =
        ControlCall::Make("InsertItem").SetIndex(d.iItem).SetSubItem(d.iSubItem).SetMask(d.mask).SetLParam(d.lParam);
    if ((d.mask & LVIF_TEXT) != 0) {
        DescribeText(call, d.pszText);
    }
    Log(call);
    if (d.iItem < 0 || Refused("InsertItem")) {
        return -1;
    }
    const int index = std::min(d.iItem, GetItemCount());
    Item item;
    item.cells.resize(std::max<std::size_t>(columns.size(), 1));
    if ((d.mask & LVIF_TEXT) != 0) {
        TakeText(item.cells[0], d.pszText);
    }
    if ((d.mask & LVIF_IMAGE) != 0) {
        item.cells[0].image = d.iImage;
    }
    if ((d.mask & LVIF_PARAM) != 0) {
        item.lParam = d.lParam;
    }
    if ((d.mask & LVIF_STATE) != 0) {
        item.state = d.state & d.stateMask;
    }
    items.insert(items.begin() + index, std::move(item));
    return index;
}

bool RecordingListControl::SetItem(const LVITEMA& d)
{
    ControlCall call = ControlCall::Make("SetItem")
                           .SetIndex(d.iItem)
                           .SetSubItem(d.iSubItem)
                           .SetMask(d.mask)
                           .SetLParam(d.lParam)
                           .SetValue(static_cast<int>(d.state));
    if ((d.mask & LVIF_TEXT) != 0) {
        DescribeText(call, d.pszText);
    }
    Log(call);
    if (!ValidItem(d.iItem) || d.iSubItem < 0 || d.iSubItem >= std::max(GetColumnCount(), 1) || Refused("SetItem")) {
        return false;
    }
    Item& item = items[static_cast<std::size_t>(d.iItem)];
    item.cells.resize(std::max<std::size_t>(columns.size(), 1));
    Cell& cell = item.cells[static_cast<std::size_t>(d.iSubItem)];
    if ((d.mask & LVIF_TEXT) != 0) {
        TakeText(cell, d.pszText);
    }
    if ((d.mask & LVIF_IMAGE) != 0) {
        cell.image = d.iImage;
    }
    if ((d.mask & LVIF_INDENT) != 0) {
        cell.indent = d.iIndent;
    }
    if ((d.mask & LVIF_PARAM) != 0) {
        item.lParam = d.lParam;
    }
    if ((d.mask & LVIF_STATE) != 0) {
        item.state = (item.state & ~d.stateMask) | (d.state & d.stateMask);
    }
    return true;
}

bool RecordingListControl::SetItemText(int index, const LVITEMA& d)
{
    ControlCall call = ControlCall::Make("SetItemText").SetIndex(index).SetSubItem(d.iSubItem);
    DescribeText(call, d.pszText);
    Log(call);
    if (!ValidItem(index) || d.iSubItem < 0 || d.iSubItem >= std::max(GetColumnCount(), 1) || Refused("SetItemText")) {
        return false;
    }
    Item& item = items[static_cast<std::size_t>(index)];
    item.cells.resize(std::max<std::size_t>(columns.size(), 1));
    TakeText(item.cells[static_cast<std::size_t>(d.iSubItem)], d.pszText);
    return true;
}

bool RecordingListControl::GetItem(LVITEMA& d) const
{
    Log(ControlCall::Make("GetItem").SetIndex(d.iItem).SetSubItem(d.iSubItem).SetMask(d.mask));
    if (!ValidItem(d.iItem) || d.iSubItem < 0 || d.iSubItem >= std::max(GetColumnCount(), 1) || Refused("GetItem")) {
        return false;
    }
    const Item& item = items[static_cast<std::size_t>(d.iItem)];
    const auto sub = static_cast<std::size_t>(d.iSubItem);
    if ((d.mask & LVIF_TEXT) != 0) {
        CopyOut(ReadText(d.iItem, d.iSubItem), d.pszText, d.cchTextMax);
    }
    if ((d.mask & LVIF_IMAGE) != 0) {
        d.iImage = sub < item.cells.size() ? item.cells[sub].image : 0;
    }
    if ((d.mask & LVIF_INDENT) != 0) {
        d.iIndent = sub < item.cells.size() ? item.cells[sub].indent : 0;
    }
    if ((d.mask & LVIF_PARAM) != 0) {
        d.lParam = item.lParam;
    }
    if ((d.mask & LVIF_STATE) != 0) {
        d.state = item.state & d.stateMask;
    }
    return true;
}

int RecordingListControl::GetItemText(int index, LVITEMA& d) const
{
    Log(ControlCall::Make("GetItemText").SetIndex(index).SetSubItem(d.iSubItem));
    if (!ValidItem(index) || d.iSubItem < 0 || d.iSubItem >= std::max(GetColumnCount(), 1)) {
        CopyOut({}, d.pszText, d.cchTextMax);
        return 0;
    }
    return CopyOut(ReadText(index, d.iSubItem), d.pszText, d.cchTextMax);
}

bool RecordingListControl::SetItemState(int index, unsigned state, unsigned stateMask)
{
    Log(ControlCall::Make("SetItemState").SetIndex(index).SetMask(stateMask).SetValue(static_cast<int>(state)));
    if (index == -1) {
        for (Item& item : items) {
            item.state = (item.state & ~stateMask) | (state & stateMask);
        }
        return true;
    }
    if (!ValidItem(index)) {
        return false;
    }
    Item& item = items[static_cast<std::size_t>(index)];
    item.state = (item.state & ~stateMask) | (state & stateMask);
    return true;
}

unsigned RecordingListControl::GetItemState(int index, unsigned stateMask) const
{
    return ValidItem(index) ? items[static_cast<std::size_t>(index)].state & stateMask : 0;
}

bool RecordingListControl::DeleteItem(int index)
{
    Log(ControlCall::Make("DeleteItem").SetIndex(index));
    if (!ValidItem(index) || Refused("DeleteItem")) {
        return false;
    }
    const LPARAM data = items[static_cast<std::size_t>(index)].lParam;
    items.erase(items.begin() + index);
    if (itemDeleted) {
        itemDeleted(index, data);
    }
    return true;
}

bool RecordingListControl::DeleteAllItems()
{
    Log(ControlCall::Make("DeleteAllItems"));
    while (!items.empty()) {
        const LPARAM data = items.back().lParam;
        items.pop_back();
        if (itemDeleted) {
            itemDeleted(GetItemCount(), data);
        }
    }
    return true;
}

int RecordingListControl::FindItem(int start, const LVFINDINFOA& find) const
{
    ControlCall call = ControlCall::Make("FindItem").SetIndex(start).SetMask(find.flags).SetLParam(find.lParam);
    DescribeText(call, find.psz);
    Log(call);
    const auto matches = [&](int i) {
        if ((find.flags & LVFI_PARAM) != 0) {
            return items[static_cast<std::size_t>(i)].lParam == find.lParam;
        }
        if ((find.flags & (LVFI_STRING | LVFI_PARTIAL)) != 0 && find.psz != nullptr) {
            return StartsWithNoCase(ReadText(i, 0), find.psz, (find.flags & LVFI_PARTIAL) == 0);
        }
        return false;
    };
    for (int i = std::max(start + 1, 0); i < GetItemCount(); ++i) {
        if (matches(i)) {
            return i;
        }
    }
    if (start >= 0 && (find.flags & LVFI_WRAP) != 0) {
        for (int i = 0; i <= std::min(start, GetItemCount() - 1); ++i) {
            if (matches(i)) {
                return i;
            }
        }
    }
    return -1;
}

int RecordingListControl::GetNextItem(int start, unsigned flags) const
{
    for (int i = std::max(start + 1, 0); i < GetItemCount(); ++i) {
        const unsigned state = items[static_cast<std::size_t>(i)].state;
        const bool selectedOk = (flags & LVNI_SELECTED) == 0 || (state & LVIS_SELECTED) != 0;
        const bool focusedOk = (flags & LVNI_FOCUSED) == 0 || (state & LVIS_FOCUSED) != 0;
        if (selectedOk && focusedOk) {
            return i;
        }
    }
    return -1;
}

int RecordingListControl::GetSelectedCount() const
{
    return static_cast<int>(
        std::count_if(items.begin(), items.end(), [](const Item& i) { return (i.state & LVIS_SELECTED) != 0; }));
}

bool RecordingListControl::SortItems(PFNLVCOMPARE compare, LPARAM sortData)
{
    Log(ControlCall::Make("SortItems").SetLParam(sortData));
    if (compare == nullptr || Refused("SortItems")) {
        return false;
    }
    std::stable_sort(items.begin(), items.end(),
                     [&](const Item& a, const Item& b) { return compare(a.lParam, b.lParam, sortData) < 0; });
    return true;
}

bool RecordingListControl::MoveItem(int from, int to)
{
    Log(ControlCall::Make("MoveItem").SetIndex(from).SetSubItem(to));
    if (!ValidItem(from) || !ValidItem(to)) {
        return false;
    }
    Item item = std::move(items[static_cast<std::size_t>(from)]);
    items.erase(items.begin() + from);
    items.insert(items.begin() + to, std::move(item));
    return true;
}

bool RecordingListControl::GetItemRect(int item, QRect& rect, int code) const
{
    if (!ValidItem(item)) {
        return false;
    }
    const int top = rowsTop + (item - topIndex) * rowHeight;
    int total = 0;
    for (const Column& c : columns) {
        total += c.width;
    }
    QRect first;
    if (code == LVIR_BOUNDS || !GetHeaderItemRect(0, first)) {
        rect = QRect(-hScroll, top, total, rowHeight);
        return true;
    }
    const ImageList* states = imageLists[LVSIL_STATE];
    const ImageList* small = imageLists[LVSIL_SMALL];
    int x = first.left() - hScroll + (states != nullptr ? states->ImageSize().width() : 0);
    QRect icon(x, top, 0, rowHeight);
    if (small != nullptr) {
        icon = QRect(x + 2, top, small->ImageSize().width(), rowHeight);
        x = icon.left() + icon.width();
    }
    const int right = first.left() - hScroll + first.width();
    rect = code == LVIR_ICON ? icon : QRect(x, top, std::max(0, right - x), rowHeight);
    return true;
}

bool RecordingListControl::GetSubItemRect(int item, int column, int code, QRect& rect) const
{
    QRect header;
    if (!ValidItem(item) || !GetHeaderItemRect(column, header)) {
        return false;
    }
    if (column == 0) {
        return GetItemRect(item, rect, code);  // bounds: the whole row
    }
    rect = QRect(header.left() - hScroll, rowsTop + (item - topIndex) * rowHeight, header.width(), rowHeight);
    return true;
}

// ---- Styles, images, painting ----------------------------------------------------------------

void RecordingListControl::ModifyStyle(unsigned remove, unsigned add)
{
    Log(ControlCall::Make("ModifyStyle").SetMask(remove).SetValue(static_cast<int>(add)));
    style = (style & ~remove) | add;
}

unsigned RecordingListControl::SetExtendedStyle(unsigned mask, unsigned value)
{
    Log(ControlCall::Make("SetExtendedStyle").SetMask(mask).SetValue(static_cast<int>(value)));
    const unsigned previous = extendedStyle;
    const unsigned bits = mask == 0 ? ~0u : mask;
    extendedStyle = (extendedStyle & ~bits) | (value & bits);
    return previous;
}

unsigned RecordingListControl::GetExtendedStyle() const
{
    Log(ControlCall::Make("GetExtendedStyle"));
    return extendedStyle;
}

ImageList* RecordingListControl::SetImageList(ImageList* images, int which)
{
    Log(ControlCall::Make("SetImageList").SetIndex(which).SetLParam(images != nullptr ? 1 : 0));
    if (which < 0 || which > 2) {
        return nullptr;
    }
    ImageList* previous = imageLists[which];
    imageLists[which] = images;
    return previous;
}

ImageList* RecordingListControl::GetImageList(int which) const
{
    return which >= 0 && which <= 2 ? imageLists[which] : nullptr;
}

bool RecordingListControl::SetBkColor(const QColor& color)
{
    Log(ControlCall::Make("SetBkColor"));
    if (Refused("SetBkColor")) {
        return false;
    }
    background = color;
    return true;
}

void RecordingListControl::Invalidate(bool /*erase*/)
{
    Log(ControlCall::Make("Invalidate"));
    ++invalidations;
}

void RecordingListControl::InvalidateRect(const QRect& rect, bool /*erase*/)
{
    Log(ControlCall::Make("InvalidateRect").SetRect(rect));
}

// ---- For the tests ---------------------------------------------------------------------------

std::string RecordingListControl::ShownText(int item, int column) const
{
    if (!ValidItem(item) || !ValidColumn(column)) {
        return {};
    }
    return ReadText(item, column);
}

std::vector<std::string> RecordingListControl::HeadingsInDisplayOrder() const
{
    std::vector<std::string> out;
    for (int c : order) {
        out.push_back(columns[static_cast<std::size_t>(c)].text);
    }
    return out;
}

std::vector<ControlCall> RecordingListControl::CallsOf(const std::string& op) const
{
    std::vector<ControlCall> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out), [&](const ControlCall& c) { return c.op == op; });
    return out;
}

int RecordingListControl::CountOf(const std::string& op) const
{
    return static_cast<int>(CallsOf(op).size());
}

}  // namespace vantor::test
