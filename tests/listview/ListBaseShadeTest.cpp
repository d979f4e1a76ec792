// Sorted-column shading on the recording control: switching it on and off, the tint and what
// changes it, the band the background erase paints, the repaint strips, and the cell colours
// answered through the custom-draw stages.

#include "tests/listview/ListBaseShadeFixture.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace vantor::test {
namespace {

using namespace vantor::lc;

class ListBaseShade : public ListBaseShadeFixture { };

QColor Rgb(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// ---- Switching on and off ------------------------------------------------------------------

TEST_F(ListBaseShade, SwitchingOnTwiceRepaintsOnce)
{
    AddColumns(3);
    control.invalidations = 0;
    list.ShadeSortedColumn(true);
    list.ShadeSortedColumn(true);
    EXPECT_TRUE(list.IsSortedColumnShaded());
    EXPECT_EQ(control.invalidations, 1);
    list.ShadeSortedColumn(false);
    list.ShadeSortedColumn(false);
    EXPECT_FALSE(list.IsSortedColumnShaded());
    EXPECT_EQ(control.invalidations, 2);
}

TEST_F(ListBaseShade, SwitchingOnComputesTheTintFromTheBackground)
{
    control.background = QColor(100, 150, 200);
    list.ShadeSortedColumn(true);
    EXPECT_EQ(list.ShadeColor(), QColor(110, 165, 220));
}

struct DepthCase {
    int bitsPerPixel;
    bool shaded;
};

class ListBaseShadeDepth : public ListBaseShadeFixture, public ::testing::WithParamInterface<DepthCase> { };

TEST_P(ListBaseShadeDepth, PaletteScreensRefuseShading)
{
    control.colorDepth = GetParam().bitsPerPixel;
    control.ClearCalls();
    list.ShadeSortedColumn(true);
    EXPECT_EQ(list.IsSortedColumnShaded(), GetParam().shaded);
    EXPECT_EQ(control.invalidations, GetParam().shaded ? 1 : 0);
    if (!GetParam().shaded) {
        EXPECT_TRUE(control.calls.empty());  // nothing changes, nothing is repainted
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, ListBaseShadeDepth,
                         ::testing::Values(DepthCase{1, false}, DepthCase{4, false}, DepthCase{8, false},
                                           DepthCase{15, true}, DepthCase{16, true}, DepthCase{24, true},
                                           DepthCase{32, true}));

TEST_F(ListBaseShade, ANewBackgroundRecomputesTheTint)
{
    list.ShadeSortedColumn(true);
    ASSERT_EQ(list.ShadeColor(), kWhiteTint);
    control.invalidations = 0;
    EXPECT_TRUE(list.SetBkColor(QColor(235, 10, 0)));
    EXPECT_EQ(control.background, QColor(235, 10, 0));
    EXPECT_TRUE(list.IsSortedColumnShaded());
    EXPECT_EQ(list.ShadeColor(), QColor(255, 11, 0));
    EXPECT_EQ(control.invalidations, 1);
}

TEST_F(ListBaseShade, ANewBackgroundWithoutShadingOnlyReachesTheControl)
{
    EXPECT_TRUE(list.SetBkColor(QColor(100, 150, 200)));
    EXPECT_EQ(control.background, QColor(100, 150, 200));
    EXPECT_FALSE(list.IsSortedColumnShaded());
    EXPECT_EQ(control.invalidations, 0);
    // Switching on later takes the tint from the colour now in force.
    list.ShadeSortedColumn(true);
    EXPECT_EQ(list.ShadeColor(), QColor(110, 165, 220));
}

TEST_F(ListBaseShade, ARefusedBackgroundKeepsTheTint)
{
    list.ShadeSortedColumn(true);
    control.refuse = {"SetBkColor"};
    control.invalidations = 0;
    EXPECT_FALSE(list.SetBkColor(QColor(0, 0, 0)));
    EXPECT_EQ(list.ShadeColor(), kWhiteTint);
    EXPECT_EQ(control.invalidations, 0);
}

TEST_F(ListBaseShade, ASystemColourChangeAppliesTheStateAgain)
{
    list.ShadeSortedColumn(true);
    control.background = QColor(100, 150, 200);  // the scheme changed the list's background
    control.invalidations = 0;
    list.OnSysColorChange();
    EXPECT_TRUE(list.IsSortedColumnShaded());
    EXPECT_EQ(list.ShadeColor(), QColor(110, 165, 220));
    EXPECT_EQ(control.invalidations, 1);
}

TEST_F(ListBaseShade, ASystemColourChangeToAPaletteScreenEndsShading)
{
    list.ShadeSortedColumn(true);
    control.colorDepth = 8;
    list.OnSysColorChange();
    EXPECT_FALSE(list.IsSortedColumnShaded());
    control.colorDepth = 32;
    list.OnSysColorChange();  // off stays off
    EXPECT_FALSE(list.IsSortedColumnShaded());
}

// ---- The band ------------------------------------------------------------------------------

struct BandCase {
    const char* name;
    int sortKey;
    int hiddenColumn;  // -1: none
    int scroll;
    bool shaded;
    std::optional<std::pair<int, int>> band;  // [left, right)
};

class ListBaseShadeBand : public ListBaseShadeFixture, public ::testing::WithParamInterface<BandCase> { };

// Columns 100, 110, 120, 130 wide side by side: logical column 1 spans 100..210, column 2
// 210..330 (100..220 once column 1 is hidden).
TEST_P(ListBaseShadeBand, FollowsTheSortedHeaderItem)
{
    const BandCase& row = GetParam();
    AddColumns(4);
    if (row.hiddenColumn >= 0) {
        list.SetColumnVisible(row.hiddenColumn, false);
    }
    list.SetSortKey(row.sortKey);
    list.ShadeSortedColumn(row.shaded);
    control.hScroll = row.scroll;
    const std::optional<CListBase::SHADED_BAND> band = list.SortedColumnBand();
    ASSERT_EQ(band.has_value(), row.band.has_value());
    if (band) {
        EXPECT_EQ(band->left, row.band->first);
        EXPECT_EQ(band->right, row.band->second);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, ListBaseShadeBand,
                         ::testing::Values(BandCase{"ascending_column_1", 2, -1, 0, true, std::pair{100, 210}},
                                           BandCase{"descending_column_1", -2, -1, 0, true, std::pair{100, 210}},
                                           BandCase{"first_column", 1, -1, 0, true, std::pair{0, 100}},
                                           BandCase{"scrolled", 2, -1, 30, true, std::pair{70, 180}},
                                           BandCase{"column_1_hidden_key_3", 3, 1, 0, true, std::pair{100, 220}},
                                           BandCase{"column_1_hidden_key_minus_4", -4, 1, 0, true, std::pair{220, 350}},
                                           BandCase{"sorted_column_hidden", 3, 2, 0, true, std::nullopt},
                                           BandCase{"unsorted", 0, -1, 0, true, std::nullopt},
                                           BandCase{"key_beyond_the_columns", 9, -1, 0, true, std::nullopt},
                                           BandCase{"shading_off", 2, -1, 0, false, std::nullopt}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ListBaseShade, TheEraseFillsTheClipWithTheBandInTheTint)
{
    AddColumns(4);
    AddRows(3);
    list.SetSortKey(2);
    list.ShadeSortedColumn(true);
    QImage image = Canvas();
    control.ClearCalls();
    {
        QPainter painter(&image);
        EXPECT_TRUE(list.OnEraseBackground(painter, QRect(0, 0, 640, 480)));
    }
    EXPECT_TRUE(control.calls.empty());  // no row is asked: the band comes from the header
    for (const int y : {0, 8, 200, 479}) {
        EXPECT_EQ(Rgb(image, 0, y), kWhite);
        EXPECT_EQ(Rgb(image, 99, y), kWhite);
        EXPECT_EQ(Rgb(image, 100, y), kWhiteTint);
        EXPECT_EQ(Rgb(image, 209, y), kWhiteTint);
        EXPECT_EQ(Rgb(image, 210, y), kWhite);
        EXPECT_EQ(Rgb(image, 639, y), kWhite);
    }
}

TEST_F(ListBaseShade, TheEraseStaysInsideItsClip)
{
    AddColumns(4);
    list.SetSortKey(2);
    list.ShadeSortedColumn(true);
    QImage image = Canvas();
    {
        QPainter painter(&image);
        // Inside the band only, then straddling its right edge.
        EXPECT_TRUE(list.OnEraseBackground(painter, QRect(120, 10, 30, 20)));
        EXPECT_TRUE(list.OnEraseBackground(painter, QRect(200, 100, 20, 5)));
    }
    EXPECT_EQ(Rgb(image, 120, 10), kWhiteTint);
    EXPECT_EQ(Rgb(image, 149, 29), kWhiteTint);
    EXPECT_EQ(Rgb(image, 150, 29), ListBaseShadeFixture::kUntouched);
    EXPECT_EQ(Rgb(image, 120, 30), ListBaseShadeFixture::kUntouched);
    EXPECT_EQ(Rgb(image, 209, 100), kWhiteTint);
    EXPECT_EQ(Rgb(image, 210, 104), kWhite);
    EXPECT_EQ(Rgb(image, 219, 104), kWhite);
    EXPECT_EQ(Rgb(image, 220, 104), ListBaseShadeFixture::kUntouched);
    EXPECT_EQ(Rgb(image, 199, 100), ListBaseShadeFixture::kUntouched);
}

TEST_F(ListBaseShade, TheControlErasesWhenTheBandMissesTheClip)
{
    AddColumns(4);
    list.SetSortKey(2);
    QImage image = Canvas();
    QPainter painter(&image);
    EXPECT_FALSE(list.OnEraseBackground(painter, QRect(0, 0, 640, 480)));  // shading off
    list.ShadeSortedColumn(true);
    EXPECT_FALSE(list.OnEraseBackground(painter, QRect(300, 0, 100, 480)));
    EXPECT_FALSE(list.OnEraseBackground(painter, QRect(0, 0, 100, 480)));
    EXPECT_FALSE(list.OnEraseBackground(painter, QRect()));
    painter.end();
    EXPECT_EQ(Rgb(image, 150, 50), ListBaseShadeFixture::kUntouched);
}

// ---- Repainting the strips around the rows ---------------------------------------------------

struct StripCase {
    const char* name;
    int rows;
    int rowsTop;
    std::vector<QRect> strips;
};

class ListBaseShadeStrips : public ListBaseShadeFixture, public ::testing::WithParamInterface<StripCase> { };

std::vector<QRect> Invalidated(const RecordingListControl& control)
{
    std::vector<QRect> rects;
    for (const ControlCall& call : control.CallsOf("InvalidateRect")) {
        rects.push_back(call.rect);
    }
    return rects;
}

// Rows of 16 pixels in a list area of 640 x 480.
TEST_P(ListBaseShadeStrips, OnlyTheEmptyStripsAreInvalidated)
{
    AddColumns(3);
    AddRows(GetParam().rows);
    list.SetSortKey(2);
    list.ShadeSortedColumn(true);
    control.rowsTop = GetParam().rowsTop;
    control.ClearCalls();
    list.RepaintSortedColumn();
    EXPECT_EQ(Invalidated(control), GetParam().strips);
    EXPECT_EQ(control.CountOf("Invalidate"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ListBaseShadeStrips,
    ::testing::Values(StripCase{"rows_from_the_top", 5, 0, {QRect(0, 80, 640, 400)}},
                      StripCase{"gap_above_the_rows", 5, 6, {QRect(0, 0, 640, 6), QRect(0, 86, 640, 394)}},
                      StripCase{"rows_reach_the_bottom", 35, 0, {}}, StripCase{"rows_exactly_to_the_bottom", 30, 0, {}},
                      StripCase{"gap_and_rows_to_the_bottom", 40, 6, {QRect(0, 0, 640, 6), QRect(0, 0, 640, 6)}},
                      StripCase{"no_rows", 0, 0, {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ListBaseShade, NoStripsWithoutASortKey)
{
    AddColumns(3);
    AddRows(3);
    list.ShadeSortedColumn(true);
    control.ClearCalls();
    list.RepaintSortedColumn();
    EXPECT_EQ(control.CountOf("InvalidateRect"), 0);
}

TEST_F(ListBaseShade, ScrollingAndHeaderTrackingRepaintTheStrips)
{
    AddColumns(3);
    AddRows(3);
    list.SetSortKey(2);
    control.ClearCalls();
    // A horizontal scroll always repaints the strips; header changes only while shading.
    list.OnHScroll();
    EXPECT_EQ(control.CountOf("InvalidateRect"), 1);
    list.OnHeaderEndTrack(1);
    list.OnHeaderItemChanged(1);
    EXPECT_EQ(control.CountOf("InvalidateRect"), 1);
    list.ShadeSortedColumn(true);
    list.OnHeaderEndTrack(1);
    EXPECT_EQ(control.CountOf("InvalidateRect"), 2);
    list.OnHeaderItemChanged(0);
    EXPECT_EQ(control.CountOf("InvalidateRect"), 3);
    EXPECT_EQ(control.CallsOf("InvalidateRect").back().rect, QRect(0, 48, 640, 432));
}

// ---- Custom draw -----------------------------------------------------------------------------

struct DrawCase {
    const char* name;
    bool shaded;
    int sortKey;
    int hiddenColumn;  // -1: none
    unsigned stage;
    int controlColumn;
    unsigned answer;
    std::optional<QColor> textBackground;  // unset: left as the control had it
};

class ListBaseShadeDraw : public ListBaseShadeFixture, public ::testing::WithParamInterface<DrawCase> { };

TEST_P(ListBaseShadeDraw, AnswersEachStage)
{
    const DrawCase& row = GetParam();
    AddColumns(4);
    AddRows(2);
    control.background = QColor(100, 150, 200);
    if (row.hiddenColumn >= 0) {
        list.SetColumnVisible(row.hiddenColumn, false);
    }
    list.SetSortKey(row.sortKey);
    list.ShadeSortedColumn(row.shaded);
    NMLVCUSTOMDRAW draw = Stage(row.stage, 1, row.controlColumn);
    EXPECT_EQ(list.OnCustomDraw(draw), row.answer);
    EXPECT_EQ(draw.clrTextBk, row.textBackground.value_or(QColor(1, 2, 3)));
}

const QColor kBack(100, 150, 200);
const QColor kTint(110, 165, 220);
constexpr unsigned kCell = CDDS_ITEMPREPAINT | CDDS_SUBITEM;

INSTANTIATE_TEST_SUITE_P(
    Stages, ListBaseShadeDraw,
    ::testing::Values(DrawCase{"prepaint", true, 2, -1, CDDS_PREPAINT, 0, CDRF_NOTIFYITEMDRAW, std::nullopt},
                      DrawCase{"item_prepaint", true, 2, -1, CDDS_ITEMPREPAINT, 0, CDRF_NOTIFYSUBITEMDRAW,
                               std::nullopt},
                      DrawCase{"sorted_cell", true, 2, -1, kCell, 1, CDRF_NEWFONT, kTint},
                      DrawCase{"other_cell", true, 2, -1, kCell, 2, CDRF_NEWFONT, kBack},
                      DrawCase{"first_cell", true, 2, -1, kCell, 0, CDRF_NEWFONT | CDRF_NOTIFYPOSTPAINT, kBack},
                      DrawCase{"sorted_first_cell", true, -1, -1, kCell, 0, CDRF_NEWFONT | CDRF_NOTIFYPOSTPAINT, kTint},
                      DrawCase{"hidden_1_key_3_control_1", true, 3, 1, kCell, 1, CDRF_NEWFONT, kTint},
                      DrawCase{"hidden_1_key_3_control_2", true, 3, 1, kCell, 2, CDRF_NEWFONT, kBack},
                      DrawCase{"sorted_column_hidden", true, 2, 1, kCell, 1, CDRF_NEWFONT, kBack},
                      DrawCase{"unsorted", true, 0, -1, kCell, 0, CDRF_NEWFONT | CDRF_NOTIFYPOSTPAINT, kBack},
                      DrawCase{"off_sorted_cell", false, 2, -1, kCell, 1, CDRF_DODEFAULT, std::nullopt},
                      DrawCase{"off_first_cell", false, 2, -1, kCell, 0, CDRF_NOTIFYPOSTPAINT, std::nullopt},
                      DrawCase{"cell_postpaint_other_column", true, 2, -1, CDDS_ITEMPOSTPAINT | CDDS_SUBITEM, 1,
                               CDRF_DODEFAULT, std::nullopt},
                      DrawCase{"item_postpaint", true, 2, -1, CDDS_ITEMPOSTPAINT, 0, CDRF_DODEFAULT, std::nullopt},
                      DrawCase{"postpaint", true, 2, -1, CDDS_POSTPAINT, 0, CDRF_DODEFAULT, std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

// ---- Focus and styles ------------------------------------------------------------------------

TEST_F(ListBaseShade, FocusFollowsTheFirstSelectedItem)
{
    AddColumns(2);
    AddRows(7);
    control.items[3].state = LVIS_SELECTED;
    control.items[5].state = LVIS_SELECTED | LVIS_FOCUSED;
    list.OnKillFocus();
    EXPECT_EQ(control.items[5].state, LVIS_SELECTED | LVIS_FOCUSED);  // only the first one loses it
    list.OnSetFocus();
    EXPECT_EQ(control.items[3].state, LVIS_SELECTED | LVIS_FOCUSED);
    list.OnKillFocus();
    EXPECT_EQ(control.items[3].state, LVIS_SELECTED);
}

TEST_F(ListBaseShade, FocusWithoutSelectionChangesNothing)
{
    AddColumns(2);
    AddRows(4);
    control.items[2].state = LVIS_FOCUSED;
    control.ClearCalls();
    list.OnSetFocus();
    list.OnKillFocus();
    EXPECT_EQ(control.CountOf("SetItemState"), 0);
    EXPECT_EQ(control.items[2].state, LVIS_FOCUSED);
}

struct StyleCase {
    unsigned before;
    unsigned mask;
    unsigned value;
    unsigned after;
};

class ListBaseShadeStyle : public ListBaseShadeFixture, public ::testing::WithParamInterface<StyleCase> { };

TEST_P(ListBaseShadeStyle, PartialMasksMergeUnderTheMask)
{
    const StyleCase& row = GetParam();
    list.SetExtendedStyle(0, row.before);
    EXPECT_EQ(list.SetExtendedStyle(row.mask, row.value), row.before);  // the control's previous style
    control.ClearCalls();
    EXPECT_EQ(list.GetExtendedStyle(), row.after);
    EXPECT_EQ(control.CountOf("GetExtendedStyle"), 0);
    EXPECT_EQ(control.extendedStyle, row.after);
}

INSTANTIATE_TEST_SUITE_P(Masks, ListBaseShadeStyle,
                         ::testing::Values(StyleCase{0x00, 0, 0x31, 0x31}, StyleCase{0x31, 0, 0x04, 0x04},
                                           StyleCase{0x31, 0x21, 0x01, 0x11}, StyleCase{0x31, 0x04, 0x04, 0x35},
                                           StyleCase{0x31, 0x04, 0x00, 0x31}, StyleCase{0x31, 0x30, 0xFF, 0x31}));

struct AlignCase {
    const char* name;
    unsigned extStyle;
    unsigned style;
    int fmt;
    int headerAlign;  // alignment bits of header item 0 afterwards
};

class ListBaseShadeAlign : public ListBaseShadeFixture, public ::testing::WithParamInterface<AlignCase> { };

TEST_P(ListBaseShadeAlign, MirrorsTheFirstColumnsAlignmentIntoTheHeader)
{
    const AlignCase& row = GetParam();
    AddColumns(2);
    control.style |= row.style;
    list.SetExtendedStyle(0, row.extStyle);
    control.columns[0].headerFmt = HDF_STRING | HDF_SORTUP | HDF_LEFT;
    list.SetFirstColumnAlign(row.fmt);
    EXPECT_EQ(list.FirstColumnAlign(), row.fmt);
    EXPECT_EQ(control.columns[0].headerFmt & HDF_JUSTIFYMASK, row.headerAlign);
    EXPECT_EQ(control.columns[0].headerFmt & ~HDF_JUSTIFYMASK, HDF_STRING | HDF_SORTUP);  // other bits kept
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ListBaseShadeAlign,
    ::testing::Values(AlignCase{"full_row_right", LVS_EX_FULLROWSELECT, 0, LVCFMT_RIGHT, HDF_RIGHT},
                      AlignCase{"full_row_centre", LVS_EX_FULLROWSELECT, 0, LVCFMT_CENTER, HDF_CENTER},
                      AlignCase{"owner_drawn_right", 0, LVS_OWNERDRAWFIXED, LVCFMT_RIGHT, HDF_RIGHT},
                      AlignCase{"plain_list_untouched", LVS_EX_GRIDLINES, 0, LVCFMT_RIGHT, HDF_LEFT}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ListBaseShade, AColumnBecomingTheFirstMirrorsItsAlignment)
{
    list.SetExtendedStyle(0, LVS_EX_FULLROWSELECT);
    for (const auto& [heading, fmt] : {std::pair{"A", LVCFMT_CENTER}, std::pair{"B", LVCFMT_LEFT}}) {
        lc::LVCOLUMNA d;
        d.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        d.pszText = In(heading);
        d.fmt = fmt;
        d.cx = 50;
        list.InsertColumn(list.GetColumnCount(), d);
    }
    list.AllowColumnHiding(0);
    list.SetColumnVisible(0, false);
    control.ClearCalls();
    list.SetColumnVisible(0, true);  // "A" is control column 0 again
    EXPECT_EQ(list.FirstColumnAlign(), LVCFMT_CENTER);
    const std::vector<ControlCall> writes = control.CallsOf("SetHeaderItem");
    const bool mirrored = std::any_of(writes.begin(), writes.end(), [](const ControlCall& call) {
        return call.index == 0 && (call.mask & HDI_FORMAT) != 0 && (call.value & HDF_JUSTIFYMASK) == HDF_CENTER;
    });
    EXPECT_TRUE(mirrored);
}

}  // namespace
}  // namespace vantor::test
