// Sorted-column shading and the first column's icon area on the real control, checked on the
// pixels of the rendered list (the PNGs are kept in the build's shots folder for a look by eye).

#include "listview/CListViewEx.h"
#include "platform/listcontrol/ImageList.h"
#include "platform/listcontrol/ListControl.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vantor {
namespace {

using namespace vantor::lc;

const QColor kWhite(255, 255, 255);
const QColor kTint(247, 247, 247);
const QColor kHighlight(0, 0, 200);
const QColor kButtonFace(200, 180, 160);
const QColor kIconRed(255, 0, 0);
const QColor kIconGreen(0, 255, 0);

char* In(const char* text)
{
    return const_cast<char*>(text);
}

QPixmap Solid(const QColor& color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return pixmap;
}

// A white list with a fixed selection scheme: columns "C0".."C3" 100 pixels wide, grid lines,
// full-row selection, header drag; short texts at the left of every cell.
class ShadedList : public ::testing::Test {
protected:
    void SetUp() override
    {
        QPalette scheme = view.palette();
        scheme.setColor(QPalette::Base, kWhite);
        scheme.setColor(QPalette::Highlight, kHighlight);
        scheme.setColor(QPalette::HighlightedText, kWhite);
        scheme.setColor(QPalette::Button, kButtonFace);
        view.setPalette(scheme);
        view.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
        ASSERT_TRUE(view.SetBkColor(kWhite));
        for (int c = 0; c < 4; ++c) {
            const std::string heading = "C" + std::to_string(c);
            LVCOLUMNA d;
            d.mask = LVCF_TEXT | LVCF_WIDTH;
            d.pszText = In(heading.c_str());
            d.cx = 100;
            ASSERT_EQ(view.InsertColumn(c, d), c);
            if (c > 0) {
                view.AllowColumnHiding(c);
            }
        }
        view.resize(520, 260);
    }

    void AddRows(int rows, const std::vector<int>& images = {})
    {
        for (int r = 0; r < rows; ++r) {
            const std::string text = "r" + std::to_string(r);
            LVITEMA item;
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = r;
            item.pszText = In(text.c_str());
            item.iImage = static_cast<std::size_t>(r) < images.size() ? images[static_cast<std::size_t>(r)] : 0;
            ASSERT_EQ(view.InsertItem(item), r);
            for (int c = 1; c < view.GetColumnCount(); ++c) {
                LVITEMA sub;
                sub.iSubItem = c;
                sub.pszText = In("x");
                view.SetItemText(r, sub);
            }
        }
    }

    void Shade(int sortKey)
    {
        view.SetSortKey(sortKey);
        view.ShowSortArrow(true);
        view.ShadeSortedColumn(true);
    }

    QWidget* Viewport() const { return view.Control().DetailsView()->viewport(); }

    // The list area as shown, in its own coordinates (origin just below the header).
    QImage Shot(const QString& name)
    {
        QApplication::processEvents();
        const QImage image = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString dir = QStringLiteral(VANTOR_SHOT_DIR);
        QDir().mkpath(dir);
        image.save(dir + "/" + name);
        const QPoint origin = Viewport()->mapTo(&view, QPoint(0, 0));
        return image.copy(QRect(origin, Viewport()->size()));
    }

    // Columns where the control draws vertical grid lines (last pixel of every column).
    std::set<int> GridColumns() const
    {
        std::set<int> xs;
        const QHeaderView* header = view.Control().Header();
        for (int section = 0; section < header->count(); ++section) {
            xs.insert(header->sectionViewportPosition(section) + header->sectionSize(section) - 1);
        }
        return xs;
    }

    // Band of a control column in list-area coordinates: [left, right).
    std::pair<int, int> ExpectedBand(int controlColumn) const
    {
        QRect item;
        EXPECT_TRUE(view.Control().GetHeaderItemRect(controlColumn, item));
        const int scroll = view.Control().HorizontalScrollPosition();
        return {item.x() - scroll, item.x() + item.width() - scroll};
    }

    // Checks one pixel line in the middle of an empty row slot below the rows: the band's
    // colour exactly under [left, right), white everywhere else (grid lines excepted).
    void ExpectBandLine(const QImage& area, int y, std::pair<int, int> band) const
    {
        const std::set<int> grid = GridColumns();
        int wrong = 0;
        for (int x = 0; x < area.width(); ++x) {
            if (grid.count(x) != 0) {
                continue;
            }
            const QColor expected = (x >= band.first && x < band.second) ? kTint : kWhite;
            if (QColor(area.pixel(x, y)) != expected && ++wrong <= 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << QColor(area.pixel(x, y)).name().toStdString()
                              << ", expected " << expected.name().toStdString();
            }
        }
        EXPECT_EQ(wrong, 0) << "at y = " << y;
    }

    // Middle lines of the empty row slots below `rows` rows.
    std::vector<int> EmptySlotLines(int rows, int height) const
    {
        const int rowHeight = view.Control().RowHeight();
        std::vector<int> lines;
        for (int y = rows * rowHeight + rowHeight / 2; y < height; y += rowHeight) {
            lines.push_back(y);
        }
        return lines;
    }

    void GiveFocus()
    {
        view.show();
        view.activateWindow();
        view.Control().DetailsView()->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.Control().HasFocus(); }, 2000));
    }

    // Shows the list in an active window whose keyboard focus is elsewhere.
    void TakeFocusAway()
    {
        view.show();
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        view.Control().DetailsView()->clearFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !view.Control().HasFocus(); }, 2000));
    }

    CListViewEx view;
};

QColor At(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// ---- The band --------------------------------------------------------------------------------

TEST_F(ShadedList, TheBandLiesExactlyUnderTheSortedHeaderItem)
{
    AddRows(3);
    Shade(2);
    view.show();
    const QImage area = Shot("shade-key2.png");
    const auto band = ExpectedBand(1);
    ASSERT_EQ(band, (std::pair{100, 200}));
    const std::vector<int> lines = EmptySlotLines(3, area.height());
    ASSERT_GE(lines.size(), 3u);
    for (const int y : lines) {
        ExpectBandLine(area, y, band);
    }
    // The rows' sorted cells carry the tint too (right of their short texts), the others not.
    const int rowHeight = view.Control().RowHeight();
    for (int r = 0; r < 3; ++r) {
        const int y = r * rowHeight + rowHeight / 2;
        EXPECT_EQ(At(area, 196, y), kTint) << r;
        EXPECT_EQ(At(area, 296, y), kWhite) << r;
        EXPECT_EQ(At(area, 96, y), kWhite) << r;
    }
}

TEST_F(ShadedList, WithColumn1HiddenKey3ShadesTheHeaderItemOfLogicalColumn2)
{
    AddRows(2);
    view.SetColumnVisible(1, false);
    Shade(3);
    view.show();
    const QImage area = Shot("shade-hidden1-key3.png");
    const auto band = ExpectedBand(view.ToControlColumn(2));
    ASSERT_EQ(band, (std::pair{100, 200}));
    EXPECT_EQ(view.Control().Header()->model()->headerData(1, Qt::Horizontal).toString(), "C2");
    for (const int y : EmptySlotLines(2, area.height())) {
        ExpectBandLine(area, y, band);
    }
    const int y = view.Control().RowHeight() / 2;
    EXPECT_EQ(At(area, 196, y), kTint);
    EXPECT_EQ(At(area, 296, y), kWhite);
}

TEST_F(ShadedList, ShadingOffLeavesTheListWhite)
{
    AddRows(2);
    view.SetSortKey(2);
    view.show();
    const QImage area = Shot("shade-off.png");
    for (const int y : EmptySlotLines(2, area.height())) {
        ExpectBandLine(area, y, {0, 0});
    }
}

TEST_F(ShadedList, TheBandMovesWithTheHeaderWhenScrolled)
{
    AddRows(2);
    Shade(3);  // logical column 2: 200..300 unscrolled
    view.resize(260, 220);
    view.show();
    QApplication::processEvents();
    QScrollBar* bar = view.Control().DetailsView()->horizontalScrollBar();
    ASSERT_GE(bar->maximum(), 130);
    bar->setValue(130);
    const QImage area = Shot("shade-scrolled.png");
    const auto band = ExpectedBand(2);
    ASSERT_EQ(band, (std::pair{70, 170}));
    // The header item shows at the same place.
    const QHeaderView* header = view.Control().Header();
    EXPECT_EQ(header->sectionViewportPosition(2), band.first);
    for (const int y : EmptySlotLines(2, area.height())) {
        ExpectBandLine(area, y, band);
    }
}

TEST_F(ShadedList, ANewBackgroundGivesANewTint)
{
    AddRows(1);
    Shade(2);
    view.show();
    ASSERT_TRUE(view.SetBkColor(QColor(100, 150, 200)));
    const QImage area = Shot("shade-coloured.png");
    const int y = EmptySlotLines(1, area.height()).front();
    EXPECT_EQ(At(area, 150, y), QColor(110, 165, 220));
    EXPECT_EQ(At(area, 50, y), QColor(100, 150, 200));
    EXPECT_EQ(At(area, 250, y), QColor(100, 150, 200));
}

TEST_F(ShadedList, APaletteChangeRecomputesTheTint)
{
    AddRows(1);
    view.show();
    Shade(2);
    // The list shows the scheme's base colour once no colour of its own is set.
    view.Control().SetBkColor(QColor());
    QPalette scheme = view.palette();
    scheme.setColor(QPalette::Base, QColor(100, 150, 200));
    view.setPalette(scheme);
    EXPECT_EQ(view.ShadeColor(), QColor(110, 165, 220));
    const QImage area = Shot("shade-palette.png");
    EXPECT_EQ(At(area, 150, EmptySlotLines(1, area.height()).front()), QColor(110, 165, 220));
}

// ---- The first column moved away from the left edge -----------------------------------------

class MovedFirstColumn : public ShadedList {
protected:
    void SetUp() override
    {
        ShadedList::SetUp();
        small.Add(Solid(kIconRed));
        small.Add(Solid(kIconGreen));
        view.SetImageList(&small, LVSIL_SMALL);
        AddRows(3, {1, 0, 1});
        ASSERT_TRUE(view.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED));
        ASSERT_TRUE(view.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED));
    }

    // Drags column 0 behind column 1, as a header drag does.
    void MoveFirstColumn()
    {
        QHeaderView* header = view.Control().Header();
        header->moveSection(header->visualIndex(0), 1);
        ASSERT_EQ(view.ColumnOrder(0), 1);
    }

    // Label rectangle of an item's first cell and the middle line of its row.
    QRect Label(int item) const
    {
        QRect label;
        EXPECT_TRUE(view.Control().GetItemRect(item, label, LVIR_LABEL));
        return label;
    }

    ImageList small{QSize(16, 16)};
};

TEST_F(MovedFirstColumn, FocusedListShowsTheIconAreaInTheHighlight)
{
    MoveFirstColumn();
    GiveFocus();
    const QImage area = Shot("moved-first-focused.png");
    const int x0 = view.Control().Header()->sectionViewportPosition(0);
    ASSERT_EQ(x0, 100);
    // Item 0 (image 1): the gap before the icon in the highlight, the icon drawn blended.
    const QRect label0 = Label(0);
    const int y0 = label0.center().y();
    ASSERT_GT(label0.left(), x0 + 16);
    EXPECT_EQ(At(area, x0, y0), kHighlight);
    EXPECT_EQ(At(area, x0 + 1, y0), kHighlight);
    const QColor icon = At(area, x0 + 9, y0);
    EXPECT_NE(icon, kHighlight);
    EXPECT_NE(icon, kIconGreen);  // blended with the highlight
    EXPECT_GT(icon.green(), 64);
    // Item 1 (image 0): no icon at all, the whole area in the highlight.
    const int y1 = Label(1).center().y();
    for (int x = x0; x < Label(1).left(); ++x) {
        EXPECT_EQ(At(area, x, y1), kHighlight) << x;
    }
    // Item 2 is not selected: plain background left of its label, its icon unblended.
    const int y2 = Label(2).center().y();
    EXPECT_EQ(At(area, x0, y2), kWhite);
    EXPECT_EQ(At(area, x0 + 9, y2), kIconGreen);
}

TEST_F(MovedFirstColumn, UnfocusedListWithShowSelectionAlwaysUsesTheButtonFace)
{
    view.Control().ModifyStyle(0, LVS_SHOWSELALWAYS);
    MoveFirstColumn();
    TakeFocusAway();
    const QImage area = Shot("moved-first-unfocused-showsel.png");
    const int x0 = view.Control().Header()->sectionViewportPosition(0);
    const int y0 = Label(0).center().y();
    EXPECT_EQ(At(area, x0, y0), kButtonFace);
    EXPECT_EQ(At(area, x0 + 9, y0), kIconGreen);  // not blended without the focus
    const int y1 = Label(1).center().y();
    for (int x = x0; x < Label(1).left(); ++x) {
        EXPECT_EQ(At(area, x, y1), kButtonFace) << x;
    }
}

TEST_F(MovedFirstColumn, UnfocusedListWithoutShowSelectionAlwaysIsPlain)
{
    MoveFirstColumn();
    TakeFocusAway();
    const QImage area = Shot("moved-first-unfocused.png");
    const int x0 = view.Control().Header()->sectionViewportPosition(0);
    const int y1 = Label(1).center().y();
    for (int x = x0; x < Label(1).left(); ++x) {
        EXPECT_EQ(At(area, x, y1), kWhite) << x;
    }
}

TEST_F(MovedFirstColumn, AtTheLeftEdgeTheIconAreaKeepsThePlainColour)
{
    Shade(1);  // the first column is the sorted one: its plain colour is the tint
    GiveFocus();
    const QImage area = Shot("first-at-left-focused.png");
    const int y0 = Label(0).center().y();
    EXPECT_EQ(At(area, 0, y0), kTint);
    EXPECT_EQ(At(area, 1, y0), kTint);
    // The selection shows from the label on.
    EXPECT_EQ(At(area, Label(0).right() - 3, y0), kHighlight);
    const int y1 = Label(1).center().y();
    for (int x = 0; x < Label(1).left(); ++x) {
        EXPECT_EQ(At(area, x, y1), kTint) << x;
    }
}

// ---- Focus -----------------------------------------------------------------------------------

TEST_F(ShadedList, FocusGoesToTheFirstSelectedItemAndLeavesIt)
{
    AddRows(7);
    view.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    view.SetItemState(5, LVIS_SELECTED, LVIS_SELECTED);
    GiveFocus();
    EXPECT_EQ(view.GetNextItem(-1, LVNI_FOCUSED), 3);
    TakeFocusAway();
    EXPECT_EQ(view.GetNextItem(-1, LVNI_FOCUSED), -1);
    EXPECT_EQ(view.GetSelectedCount(), 2);
}

TEST_F(ShadedList, APopUpMenuLeavesTheFocusStateAlone)
{
    AddRows(7);
    view.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    view.SetItemState(5, LVIS_SELECTED, LVIS_SELECTED);
    GiveFocus();
    ASSERT_TRUE(view.SetItemState(5, LVIS_FOCUSED, LVIS_FOCUSED));  // the user moved on to item 5
    QMenu menu;
    menu.addAction(QStringLiteral("Entry"));
    menu.popup(view.mapToGlobal(QPoint(20, 20)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == &menu; }, 2000));
    EXPECT_EQ(view.GetNextItem(-1, LVNI_FOCUSED), 5);
    menu.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Control().HasFocus(); }, 2000));
    EXPECT_EQ(view.GetNextItem(-1, LVNI_FOCUSED), 5);
}

}  // namespace
}  // namespace vantor
