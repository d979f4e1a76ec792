// Owner-drawn lists on the real control, checked on the pixels of the rendered list: where the
// highlight and the focus frame lie for each alignment, full-row and pinned icons; check boxes,
// hot tracking and the pinned icons' sizing.

#include "listview/ShadeTint.h"
#include "tests/listview/RecordingListControl.h"
#include "tools/ownerdraw-demo/OwnerDrawDemo.h"

#include "platform/listcontrol/ListControl.h"

#include <QApplication>
#include <QCursor>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace vantor::demo {
namespace {

using namespace vantor::lc;

constexpr int kItem = 3;  // "Bench printer" once sorted by address

// Records which items were painted.
class LoggedList final : public OwnerDrawDemoList {
public:
    using OwnerDrawDemoList::OwnerDrawDemoList;
    void OnDrawItem(DRAWITEMSTRUCT& draw) override
    {
        painted.insert(draw.itemID);
        OwnerDrawDemoList::OnDrawItem(draw);
    }
    std::set<int> painted;
};

QRect Rect(CListBase& list, int item, int area)
{
    QRect rect;
    EXPECT_TRUE(list.CellRect(item, 0, area, rect));
    return rect;
}

std::string Text(CListBase& list, int item, int column)
{
    char buffer[128] = {};
    LVITEMA cell;
    cell.iSubItem = column;
    cell.pszText = buffer;
    cell.cchTextMax = sizeof buffer;
    list.GetItemText(item, cell);
    return buffer;
}

// A text exactly `width` pixels wide in the list's font (two runs of narrow and wide letters).
std::string TextOfWidth(const ListControl& control, int width)
{
    for (const char a : std::string("ilnmx")) {
        for (const char b : std::string("ilnmx")) {
            for (int m = 1; m < 14; ++m) {
                for (int n = 0; n < 14; ++n) {
                    const std::string text =
                        std::string(static_cast<std::size_t>(m), a) + std::string(static_cast<std::size_t>(n), b);
                    if (control.GetStringWidth(text.c_str()) == width) {
                        return text;
                    }
                }
            }
        }
    }
    return {};
}

// First and last x (inclusive) of the pixels of `color` on line y; {-1, -1} for none.
std::pair<int, int> ColorRun(const QImage& image, int y, const QColor& color)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (QColor(image.pixel(x, y)) == color) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    return {first, last};
}

// The dotted focus frame: every other pixel of the rectangle's edges, none just outside.
void ExpectFocusFrame(const QImage& image, const QRect& frame)
{
    int wrong = 0;
    for (int x = frame.left(); x <= frame.right(); ++x) {
        for (int y = frame.top(); y <= frame.bottom(); ++y) {
            const bool edge = x == frame.left() || x == frame.right() || y == frame.top() || y == frame.bottom();
            if (edge && (x + y) % 2 == 0 && QColor(image.pixel(x, y)) != kText) {
                ++wrong;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "frame pixels missing";
    const int y = frame.top() + 2;
    if (frame.left() >= 2) {
        EXPECT_NE(QColor(image.pixel(frame.left() - 2 + (y + frame.left()) % 2, y)), kText);
    }
    EXPECT_NE(QColor(image.pixel(frame.right() + 2 - (y + frame.right()) % 2, y)), kText);
}

enum class Expect { TextArea, FullRow, FocusFrame };

struct PIXEL_CASE {
    const char* name;
    DEMO_SETUP setup;
    Expect expect;
    unsigned state;  // of item kItem
    bool focusList;
    int textWidth;  // > 0: the item's text gets this width and its label 100 pixels
    // Expected highlight (or frame) from the label, its width and the item's text width.
    int (*left)(const QRect& label, int textWidth);
    int (*width)(const QRect& label, int textWidth);
};

DEMO_SETUP ListSetup(bool fullRow, int align, bool pinned = false)
{
    DEMO_SETUP setup;
    setup.fullRow = fullRow;
    setup.firstColumnAlign = align;
    setup.pinIcons = pinned;
    setup.moveFirstColumn = pinned;
    return setup;
}

const PIXEL_CASE kPixelCases[] = {
    {"left_text_width_plus_8", ListSetup(false, LVCFMT_LEFT), Expect::TextArea, LVIS_SELECTED, true, 0,
     [](const QRect& l, int) { return l.x(); }, [](const QRect&, int t) { return t + 8; }},
    {"right_ends_at_label_edge", ListSetup(false, LVCFMT_RIGHT), Expect::TextArea, LVIS_SELECTED, true, 0,
     [](const QRect& l, int t) { return l.x() + l.width() - t - 8; }, [](const QRect&, int t) { return t + 8; }},
    {"centre_width_plus_12", ListSetup(false, LVCFMT_CENTER), Expect::TextArea, LVIS_SELECTED, true, 0,
     [](const QRect& l, int t) { return l.x() + (l.width() - t - 12) / 2; },
     [](const QRect&, int t) { return t + 12; }},
    {"centre_40_in_100_gives_24_and_52", ListSetup(false, LVCFMT_CENTER), Expect::TextArea, LVIS_SELECTED, true, 40,
     [](const QRect& l, int) { return l.x() + 24; }, [](const QRect&, int) { return 52; }},
    {"unfocused_list_shows_button_face", ListSetup(false, LVCFMT_LEFT), Expect::TextArea, LVIS_SELECTED, false, 0,
     [](const QRect& l, int) { return l.x(); }, [](const QRect&, int t) { return t + 8; }},
    {"pinned_highlight_in_leftmost_column", ListSetup(false, LVCFMT_LEFT, true), Expect::TextArea, LVIS_SELECTED, true,
     0, [](const QRect& l, int) { return l.x(); }, [](const QRect&, int t) { return t + 8; }},
    {"full_row_highlights_label_and_cells", ListSetup(true, LVCFMT_LEFT), Expect::FullRow, LVIS_SELECTED, true, 0,
     [](const QRect& l, int) { return l.x(); }, nullptr},
    {"focus_frame_around_text_area", ListSetup(false, LVCFMT_CENTER), Expect::FocusFrame, LVIS_FOCUSED, true, 0,
     [](const QRect& l, int t) { return l.x() + (l.width() - t - 12) / 2; },
     [](const QRect&, int t) { return t + 12; }},
    {"focus_frame_full_row_from_label", ListSetup(true, LVCFMT_LEFT), Expect::FocusFrame, LVIS_FOCUSED, true, 0,
     [](const QRect& l, int) { return l.x(); }, nullptr},
};

class OwnerDrawPixels : public ::testing::TestWithParam<PIXEL_CASE> { };

TEST_P(OwnerDrawPixels, FollowTheRules)
{
    const PIXEL_CASE& c = GetParam();
    OwnerDrawDemoList list(c.setup);
    list.ShowFocused();
    if (!c.focusList) {
        list.Details()->clearFocus();
        QApplication::processEvents();
    }
    ASSERT_EQ(list.Control().HasFocus(), c.focusList);
    if (c.textWidth > 0) {
        const std::string text = TextOfWidth(list.Control(), c.textWidth);
        ASSERT_FALSE(text.empty()) << "no text of that width in this font";
        LVITEMA cell;
        cell.pszText = const_cast<char*>(text.c_str());
        list.SetItemText(kItem, cell);
        list.SetColumnWidth(0, list.GetColumnWidth(0) + 100 - Rect(list, kItem, LVIR_LABEL).width());
    }
    list.SetItemState(kItem, c.state, LVIS_SELECTED | LVIS_FOCUSED);
    const QImage image = list.ListArea();

    const QRect label = Rect(list, kItem, LVIR_LABEL);
    ASSERT_TRUE(c.textWidth == 0 || label.width() == 100);
    const int labelColumn = c.setup.pinIcons ? 1 : 0;  // the column the label sits in
    const int textWidth = list.Control().GetStringWidth(Text(list, kItem, labelColumn).c_str());
    ASSERT_LT(textWidth, label.width() - 8) << "the text must fit its label";
    QRect row;
    ASSERT_TRUE(list.Control().GetItemRect(kItem, row, LVIR_BOUNDS));
    const int left = c.left(label, textWidth);
    const QColor selection = c.focusList ? kHighlight : kButtonFace;

    switch (c.expect) {
    case Expect::TextArea: {
        const auto [first, last] = ColorRun(image, row.top(), selection);
        EXPECT_EQ(first, left);
        EXPECT_EQ(last - first + 1, c.width(label, textWidth));
        break;
    }
    case Expect::FullRow: {
        // The label and every other cell in the selection colour, the icon area left of the
        // label in the background; an unselected row shows the sorted column's tint.
        const auto [first, last] = ColorRun(image, row.top(), selection);
        EXPECT_EQ(first, left);
        EXPECT_EQ(last, row.right());
        EXPECT_EQ(QColor(image.pixel(label.x() - 1, row.top())), kBackground);
        QRect sorted;
        ASSERT_TRUE(list.CellRect(0, 1, LVIR_BOUNDS, sorted));
        EXPECT_EQ(QColor(image.pixel(sorted.right() - 2, sorted.y() + 2)), ShadeTint(kBackground));
        break;
    }
    case Expect::FocusFrame: {
        const int right = c.width != nullptr ? left + c.width(label, textWidth) - 1 : row.right();
        ExpectFocusFrame(image, QRect(QPoint(left, row.top()), QPoint(right, row.bottom())));
        break;
    }
    }
    if (c.setup.pinIcons) {
        // The icons moved with the label into the leftmost column (item 0 is not selected).
        EXPECT_EQ(QColor(image.pixel(Middle(Rect(list, 0, LVIR_ICON)))), kIconRed);
        EXPECT_LT(Rect(list, 0, LVIR_ICON).right(), list.GetColumnWidth(1));
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, OwnerDrawPixels, ::testing::ValuesIn(kPixelCases),
                         [](const auto& param) { return std::string(param.param.name); });

// ---- Behaviour -------------------------------------------------------------------------------

TEST(OwnerDrawList, ClickOnTheCheckBoxTogglesItWithoutSelecting)
{
    OwnerDrawDemoList list(DEMO_SETUP{});
    list.ShowFocused();
    list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    const int item = 2;  // "Unknown", unchecked
    QRect box;
    ASSERT_TRUE(list.StateIconRect(item, box));
    ASSERT_EQ(QColor(list.ListArea().pixel(Middle(box))), kBoxEmpty);

    for (const unsigned expected : {2u, 1u}) {
        SendMouse(*list.Viewport(), QEvent::MouseButtonPress, Middle(box), Qt::LeftButton);
        SendMouse(*list.Viewport(), QEvent::MouseButtonRelease, Middle(box), Qt::LeftButton);
        EXPECT_EQ(list.GetItemState(item, LVIS_STATEIMAGEMASK) >> 12, expected);
        EXPECT_EQ(list.GetSelectedCount(), 1);
        EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
        EXPECT_EQ(QColor(list.ListArea().pixel(Middle(box))), expected == 2 ? kBoxChecked : kBoxEmpty);
    }
}

TEST(OwnerDrawList, HotItemChangeRepaintsExactlyTheOldAndTheNewItem)
{
    LoggedList list(DEMO_SETUP{});
    list.ShowFocused();
    QRect label0;
    QRect label4;
    ASSERT_TRUE(list.CellRect(0, 0, LVIR_LABEL, label0));
    ASSERT_TRUE(list.CellRect(4, 0, LVIR_LABEL, label4));
    SendMouse(*list.Viewport(), QEvent::MouseMove, Middle(label0));
    list.ListArea();
    EXPECT_EQ(list.HotItem(), 0);
    EXPECT_EQ(list.Viewport()->cursor().shape(), Qt::PointingHandCursor);

    list.painted.clear();
    SendMouse(*list.Viewport(), QEvent::MouseMove, Middle(label4));
    QApplication::processEvents();
    EXPECT_EQ(list.HotItem(), 4);
    EXPECT_EQ(list.painted, (std::set<int>{0, 4}));
    const QImage image = list.ListArea();
    // The hot item's text is drawn (underlined) in the hot colour.
    int hotPixels = 0;
    for (int y = label4.top(); y <= label4.bottom(); ++y) {
        hotPixels += ColorRun(image, y, kHot).first >= 0 ? 1 : 0;
    }
    EXPECT_GT(hotPixels, 0);

    SendMouse(*list.Viewport(), QEvent::MouseMove, QPoint(5, list.Viewport()->height() - 3));
    EXPECT_EQ(list.HotItem(), -1);
    EXPECT_EQ(list.Viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST(OwnerDrawList, CtrlNumpadPlusSizesPinnedColumnZeroToItsWidestTextPlus12)
{
    OwnerDrawDemoList list(ListSetup(false, LVCFMT_LEFT, true));
    list.ShowFocused();
    int widest = 0;
    for (int r = 0; r < OwnerDrawDemoList::kRows; ++r) {
        widest = std::max(widest, list.Control().GetStringWidth(OwnerDrawDemoList::DeviceName(r)));
    }
    SendKey(*list.Details(), QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    SendKey(*list.Details(), QEvent::KeyPress, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(list.GetColumnWidth(0), widest + 12);
}

TEST(OwnerDrawList, ActivationStylesStayWithTheExtension)
{
    test::RecordingListControl control;
    control.style = LVS_REPORT | LVS_OWNERDRAWFIXED;
    CListBase list(control);
    // The control gets the style without the activation bits; the answer is the previous copy.
    EXPECT_EQ(list.SetExtendedStyle(0, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE), 0u);
    EXPECT_EQ(control.extendedStyle, LVS_EX_FULLROWSELECT);
    EXPECT_EQ(list.SetExtendedStyle(0, LVS_EX_GRIDLINES), LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    EXPECT_EQ(control.extendedStyle, LVS_EX_GRIDLINES);
    EXPECT_EQ(list.GetExtendedStyle(), LVS_EX_GRIDLINES);
}

}  // namespace
}  // namespace vantor::demo
