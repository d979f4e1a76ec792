// The first column's icon area repainted after the control drew the cell (colour by selection,
// focus, style and position; images drawn again), and the cell and state-image rectangles, on
// the recording control. Image lists hold pixmaps, so a GUI application is needed.

#include "tests/listview/ListBaseShadeFixture.h"

#include <QGuiApplication>
#include <QPixmap>

#include <memory>
#include <optional>

namespace vantor::test {
namespace {

using namespace vantor::lc;

class GuiEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { m_app = std::make_unique<QGuiApplication>(m_argc, m_argv); }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[20] = "listbase_draw_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const kGui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

QPixmap Solid(QSize size, const QColor& color)
{
    QPixmap pixmap(size);
    pixmap.fill(color);
    return pixmap;
}

// Columns 100, 110 and 120 wide; rows of 16 pixels whose first column shows image 2 of a
// 16 x 16 small image list. Moved: column 0 is displayed second, at x = 110..210.
class ListBaseDraw : public ListBaseShadeFixture {
protected:
    void SetUp() override
    {
        small.Add(Solid(QSize(16, 16), Qt::red));
        small.Add(Solid(QSize(16, 16), Qt::green));
        small.Add(Solid(QSize(16, 16), Qt::blue));
        states.Add(Solid(QSize(16, 16), Qt::yellow));
        states.Add(Solid(QSize(16, 16), Qt::cyan));
        list.SetImageList(&small, LVSIL_SMALL);
        AddColumns(3);
        AddRows(3, 2);
    }

    void MoveFirstColumn()
    {
        const int order[] = {1, 0, 2};
        ASSERT_TRUE(list.SetColumnOrderArray(order));
    }

    // Runs the cell post-paint stage of control column 0 for an item onto `image`.
    void PostPaint(QImage& image, int item)
    {
        QPainter painter(&image);
        NMLVCUSTOMDRAW draw = Stage(CDDS_ITEMPOSTPAINT | CDDS_SUBITEM, item, 0);
        draw.painter = &painter;
        EXPECT_EQ(list.OnCustomDraw(draw), CDRF_DODEFAULT);
    }

    std::vector<ShadeProbe::Drawn> DrawnFrom(const ImageList& images) const
    {
        std::vector<ShadeProbe::Drawn> out;
        for (const ShadeProbe::Drawn& d : list.drawn) {
            if (d.images == &images) {
                out.push_back(d);
            }
        }
        return out;
    }

    ImageList small{QSize(16, 16)};
    ImageList states{QSize(16, 16)};
};

QColor Rgb(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// ---- Colour of the icon area -----------------------------------------------------------------

struct AreaCase {
    const char* name;
    bool moved;
    unsigned extStyle;
    unsigned style;
    bool focused;
    unsigned state;
    bool hot;
    int shadedKey;  // 0: shading off
    QColor colour;
};

class ListBaseDrawArea : public ListBaseDraw, public ::testing::WithParamInterface<AreaCase> { };

TEST_P(ListBaseDrawArea, IsFilledLeftOfTheLabel)
{
    const AreaCase& row = GetParam();
    if (row.moved) {
        MoveFirstColumn();
    }
    list.SetExtendedStyle(0, row.extStyle);
    control.style |= row.style;
    control.focused = row.focused;
    control.items[1].state = row.state;
    control.hotItem = row.hot ? 1 : -1;
    if (row.shadedKey != 0) {
        list.SetSortKey(row.shadedKey);
        list.ShadeSortedColumn(true);
    }
    QImage image = Canvas();
    PostPaint(image, 1);
    // Item 1 spans y = 16..31; the label starts after a 2-pixel gap and the 16-pixel icon.
    const int x0 = row.moved ? 110 : 0;
    EXPECT_EQ(Rgb(image, x0, 16), row.colour);
    EXPECT_EQ(Rgb(image, x0 + 17, 31), row.colour);
    EXPECT_EQ(Rgb(image, x0 + 18, 16), kUntouched);  // the label is the control's
    EXPECT_EQ(Rgb(image, x0, 15), kUntouched);
    EXPECT_EQ(Rgb(image, x0, 32), kUntouched);
    if (row.moved) {
        EXPECT_EQ(Rgb(image, x0 - 1, 16), kUntouched);
    }
}

constexpr unsigned kFullRow = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;

INSTANTIATE_TEST_SUITE_P(
    States, ListBaseDrawArea,
    ::testing::Values(
        AreaCase{"focused_selected", true, kFullRow, 0, true, LVIS_SELECTED, false, 0, kProbeHighlight},
        AreaCase{"unfocused_show_selection_always", true, kFullRow, LVS_SHOWSELALWAYS, false, LVIS_SELECTED, false, 0,
                 kProbeButtonFace},
        AreaCase{"unfocused_selected", true, kFullRow, 0, false, LVIS_SELECTED, false, 0, kWhite},
        AreaCase{"focused_not_selected", true, kFullRow, LVS_SHOWSELALWAYS, true, LVIS_FOCUSED, false, 0, kWhite},
        AreaCase{"at_the_left_edge", false, kFullRow, 0, true, LVIS_SELECTED, false, 0, kWhite},
        AreaCase{"without_full_row", true, LVS_EX_GRIDLINES, 0, true, LVIS_SELECTED, false, 0, kWhite},
        AreaCase{"hot_with_activation", true, kFullRow | LVS_EX_ONECLICKACTIVATE, 0, true, LVIS_SELECTED, true, 0,
                 kProbeHotColor},
        AreaCase{"hot_unfocused_show_always", true, kFullRow | LVS_EX_UNDERLINEHOT, LVS_SHOWSELALWAYS, false,
                 LVIS_SELECTED, true, 0, kProbeButtonFace},
        AreaCase{"hot_without_activation", true, kFullRow, 0, true, LVIS_SELECTED, true, 0, kProbeHighlight},
        AreaCase{"sorted_first_column", true, kFullRow, 0, false, 0, false, 1, kWhiteTint},
        AreaCase{"sorted_first_column_at_the_left_edge", false, kFullRow, 0, true, LVIS_SELECTED, false, -1,
                 kWhiteTint},
        AreaCase{"other_column_sorted", true, kFullRow, 0, false, 0, false, 2, kWhite},
        AreaCase{"sorted_and_selected", true, kFullRow, 0, true, LVIS_SELECTED, false, 1, kProbeHighlight}),
    [](const auto& row) { return std::string(row.param.name); });

// ---- Images drawn again ----------------------------------------------------------------------

TEST_F(ListBaseDraw, TheSmallIconIsDrawnAgainBlendedWhenSelectedInAFocusedList)
{
    MoveFirstColumn();
    list.SetExtendedStyle(0, kFullRow);
    control.items[1].state = LVIS_SELECTED;
    control.focused = true;
    QImage image = Canvas();
    PostPaint(image, 1);
    const auto icons = DrawnFrom(small);
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].index, 2);
    EXPECT_EQ(icons[0].topLeft, QPoint(112, 16));
    EXPECT_EQ(icons[0].clip, QSize(16, 16));
    EXPECT_TRUE(icons[0].blend);

    control.focused = false;
    PostPaint(image, 1);
    ASSERT_EQ(DrawnFrom(small).size(), 2u);
    EXPECT_FALSE(DrawnFrom(small)[1].blend);
}

TEST_F(ListBaseDraw, ImageZeroIsNeverDrawn)
{
    MoveFirstColumn();
    LVITEMA item;
    item.mask = LVIF_IMAGE;
    item.iItem = 1;
    item.iImage = 0;
    ASSERT_TRUE(list.SetItem(item));
    QImage image = Canvas();
    PostPaint(image, 1);
    EXPECT_TRUE(DrawnFrom(small).empty());
    // The area where the icon was is filled all the same.
    EXPECT_EQ(Rgb(image, 120, 24), kWhite);
}

TEST_F(ListBaseDraw, AnImageMissingFromTheListIsNotDrawn)
{
    LVITEMA item;
    item.mask = LVIF_IMAGE;
    item.iItem = 1;
    item.iImage = 3;
    ASSERT_TRUE(list.SetItem(item));
    QImage image = Canvas();
    PostPaint(image, 1);
    EXPECT_TRUE(DrawnFrom(small).empty());
}

struct NarrowCase {
    int width;
    std::optional<QSize> clip;  // unset: no icon drawn
    int filledTo;               // last filled x (from x0 = 110)
};

class ListBaseDrawNarrow : public ListBaseDraw, public ::testing::WithParamInterface<NarrowCase> { };

TEST_P(ListBaseDrawNarrow, ImagesAndFillStayInsideTheColumn)
{
    MoveFirstColumn();
    control.columns[0].width = GetParam().width;
    QImage image = Canvas();
    PostPaint(image, 1);
    const auto icons = DrawnFrom(small);
    ASSERT_EQ(icons.size(), GetParam().clip ? 1u : 0u);
    if (GetParam().clip) {
        EXPECT_EQ(icons[0].clip, *GetParam().clip);
    }
    EXPECT_EQ(Rgb(image, GetParam().filledTo, 20), kWhite);
    EXPECT_EQ(Rgb(image, GetParam().filledTo + 1, 20), kUntouched);
}

INSTANTIATE_TEST_SUITE_P(Widths, ListBaseDrawNarrow,
                         ::testing::Values(NarrowCase{100, QSize(16, 16), 127}, NarrowCase{18, QSize(16, 16), 127},
                                           NarrowCase{10, QSize(8, 16), 119}, NarrowCase{5, QSize(3, 16), 114},
                                           NarrowCase{4, std::nullopt, 113}, NarrowCase{1, std::nullopt, 110}));

TEST_F(ListBaseDraw, TheStateImageIsDrawnAgainInItsArea)
{
    list.SetImageList(&states, LVSIL_STATE);
    MoveFirstColumn();
    control.items[1].state = 0x2000;  // state image 2 = image 1 of the list
    QImage image = Canvas();
    PostPaint(image, 1);
    const auto drawn = DrawnFrom(states);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].index, 1);
    // The cell starts at 110, the icon at 110 + 16 + 2: a gap of 1 between cell and image.
    EXPECT_EQ(drawn[0].topLeft, QPoint(111, 16));
    EXPECT_EQ(drawn[0].clip, QSize(16, 16));
    EXPECT_EQ(list.IconGap(), 1);
    // The fill runs up to the label, after the state image and the icon.
    EXPECT_EQ(Rgb(image, 143, 20), kWhite);
    EXPECT_EQ(Rgb(image, 144, 20), kUntouched);
}

TEST_F(ListBaseDraw, NoStateImageWithoutAStateIndex)
{
    list.SetImageList(&states, LVSIL_STATE);
    QImage image = Canvas();
    PostPaint(image, 1);
    EXPECT_TRUE(DrawnFrom(states).empty());
    ASSERT_EQ(DrawnFrom(small).size(), 1u);
}

// ---- Rectangles ------------------------------------------------------------------------------

struct RectCase {
    const char* name;
    bool moved;
    int scroll;
    int firstWidth;
    int column;
    int area;
    QRect rect;
};

class ListBaseDrawRect : public ListBaseDraw, public ::testing::WithParamInterface<RectCase> { };

TEST_P(ListBaseDrawRect, CellRectangles)
{
    const RectCase& row = GetParam();
    if (row.moved) {
        MoveFirstColumn();
    }
    control.hScroll = row.scroll;
    control.columns[0].width = row.firstWidth;
    QRect rect;
    ASSERT_TRUE(list.CellRect(1, row.column, row.area, rect));
    EXPECT_EQ(rect, row.rect);
}

INSTANTIATE_TEST_SUITE_P(
    Areas, ListBaseDrawRect,
    ::testing::Values(RectCase{"first_bounds", false, 0, 100, 0, LVIR_BOUNDS, QRect(0, 16, 100, 16)},
                      RectCase{"moved_bounds", true, 0, 100, 0, LVIR_BOUNDS, QRect(110, 16, 100, 16)},
                      RectCase{"moved_scrolled_bounds", true, 30, 100, 0, LVIR_BOUNDS, QRect(80, 16, 100, 16)},
                      RectCase{"icon", true, 0, 100, 0, LVIR_ICON, QRect(112, 16, 16, 16)},
                      // The control's label never starts before the icon's end, so a narrow
                      // cell reaches to the label and keeps the whole icon.
                      RectCase{"narrow_bounds", true, 0, 10, 0, LVIR_BOUNDS, QRect(110, 16, 18, 16)},
                      RectCase{"narrow_icon", true, 0, 10, 0, LVIR_ICON, QRect(112, 16, 16, 16)},
                      RectCase{"label", true, 0, 100, 0, LVIR_LABEL, QRect(128, 16, 82, 16)},
                      RectCase{"other_column", true, 0, 100, 2, LVIR_BOUNDS, QRect(210, 16, 120, 16)},
                      RectCase{"other_column_scrolled", false, 30, 100, 1, LVIR_BOUNDS, QRect(70, 16, 110, 16)}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ListBaseDraw, RectanglesOfAMissingItemFail)
{
    QRect rect;
    EXPECT_FALSE(list.CellRect(7, 0, LVIR_BOUNDS, rect));
    EXPECT_FALSE(list.CellRect(7, 0, LVIR_ICON, rect));
    EXPECT_FALSE(list.CellRect(7, 1, LVIR_BOUNDS, rect));
    EXPECT_FALSE(list.CellRect(1, 0, 9, rect));
    EXPECT_FALSE(list.StateIconRect(7, rect));
}

TEST_F(ListBaseDraw, WithoutStateImagesTheGapIsFourPixels)
{
    QRect rect;
    ASSERT_TRUE(list.StateIconRect(1, rect));
    EXPECT_EQ(list.IconGap(), 4);
    // From the cell's left edge plus the gap to just before the icon at x = 2.
    EXPECT_EQ(rect, QRect(4, 16, 0, 16));
}

TEST_F(ListBaseDraw, TheGapIsMeasuredOnce)
{
    list.SetImageList(&states, LVSIL_STATE);
    QRect rect;
    ASSERT_TRUE(list.StateIconRect(1, rect));
    EXPECT_EQ(rect, QRect(1, 16, 16, 16));
    ASSERT_EQ(list.IconGap(), 1);
    ImageList narrow(QSize(8, 8));
    narrow.Add(Solid(QSize(8, 8), Qt::black));
    list.SetImageList(&narrow, LVSIL_STATE);
    ASSERT_TRUE(list.StateIconRect(1, rect));
    EXPECT_EQ(list.IconGap(), 1);
}

}  // namespace
}  // namespace vantor::test
