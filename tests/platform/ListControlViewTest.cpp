// The list control on screen: selection in both directions, header interaction, geometry,
// the painting protocol (erase, custom draw) and routing of focus, palette and scrolling.

#include "ListFixtures.h"
#include "RecordingListener.h"

#include "platform/listcontrol/ImageList.h"
#include "platform/listcontrol/ListControl.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFocusEvent>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor::lc {
namespace {

// QHeaderView draws its descending order as an arrow with the apex at the top.
constexpr Qt::SortOrder kUpArrow = Qt::DescendingOrder;
constexpr Qt::SortOrder kDownArrow = Qt::AscendingOrder;

using test::AddColumns;
using test::AddItem;
using test::OrderOf;
using test::RecordingListener;
using test::SetText;

class ListControlView : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.SetListener(&listener);
        list.resize(420, 240);
        list.SetExtendedStyle(0, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
        AddColumns(list, 4, 90);
        for (int i = 0; i < 6; ++i) {
            AddItem(list, i, "item " + std::to_string(i), 100 + i);
            SetText(list, i, 1, "cell " + std::to_string(i));
        }
        list.show();
        // Let the views lay themselves out.
        QCoreApplication::processEvents();
    }

    QTreeView* Tree() const { return list.DetailsView(); }
    QWidget* Viewport() const { return list.DetailsView()->viewport(); }
    QItemSelectionModel* Selection() const { return list.DetailsView()->selectionModel(); }
    bool QtSelected(int row) const { return Selection()->isRowSelected(row, QModelIndex()); }

    // Colour of a viewport pixel in a grab of the whole control.
    QColor PixelAt(const QPoint& viewportPoint)
    {
        const QImage image = list.grab().toImage();
        return image.pixelColor(Viewport()->mapTo(&list, viewportPoint));
    }

    RecordingListener listener;
    ListControl list;
};

TEST_F(ListControlView, ProgrammaticStatesReachQtSelectionFromTheEventLoop)
{
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
    QCoreApplication::processEvents();
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(QtSelected(row), row == 1 || row == 2 || row == 4) << row;
    EXPECT_EQ(Selection()->currentIndex().row(), 2);

    list.SetItemState(2, 0, LVIS_SELECTED);
    QCoreApplication::processEvents();
    EXPECT_FALSE(QtSelected(2));
    EXPECT_TRUE(QtSelected(1));
    EXPECT_EQ(list.GetSelectedCount(), 2) << "syncing Qt's selection must not feed back into the states";
}

TEST_F(ListControlView, UserSelectionUpdatesItemStatesAndNotifies)
{
    const int before = listener.stateChanges;
    // What the view does for the user: select rows and make one current.
    Selection()->select(QItemSelection(list.Model()->index(1, 0), list.Model()->index(3, 3)),
                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Selection()->setCurrentIndex(list.Model()->index(3, 0), QItemSelectionModel::NoUpdate);
    EXPECT_EQ(list.GetSelectedCount(), 3);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 3);
    EXPECT_GT(listener.stateChanges, before);

    Selection()->select(list.Model()->index(2, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), 0u);
    EXPECT_EQ(list.GetSelectedCount(), 2);
}

TEST_F(ListControlView, MouseClickSelectsAndAPendingStateIsAppliedFirst)
{
    QRect row;
    ASSERT_TRUE(list.GetItemRect(4, row, LVIR_BOUNDS));
    // Item 1 is selected by the program and not yet seen by Qt; a ctrl-click adds item 4.
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(40, row.center().y()));
    EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(list.GetItemState(4, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list.GetSelectedCount(), 2);

    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, row.center().y()));
    EXPECT_EQ(list.GetSelectedCount(), 1);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 4);
}

TEST_F(ListControlView, HeaderDragUpdatesTheOrderAndReportsTheNewPosition)
{
    QHeaderView* header = list.Header();
    header->moveSection(0, 2);  // as a user's drag ends: column 0 to display position 2
    EXPECT_EQ(OrderOf(list), (std::vector<int>{1, 2, 0, 3}));
    ASSERT_EQ(listener.endDrags.size(), 1u);
    EXPECT_EQ(listener.endDrags[0], (std::pair<int, int>{0, 2}));

    // The control's own order changes are not drags.
    const std::array<int, 4> order{3, 2, 1, 0};
    list.SetColumnOrderArray(order);
    EXPECT_EQ(listener.endDrags.size(), 1u);
    for (int visual = 0; visual < 4; ++visual)
        EXPECT_EQ(header->logicalIndex(visual), order[static_cast<std::size_t>(visual)]);
    EXPECT_TRUE(header->sectionsMovable());
    list.SetExtendedStyle(LVS_EX_HEADERDRAGDROP, 0);
    EXPECT_FALSE(header->sectionsMovable());
}

TEST_F(ListControlView, HeaderClickReportsTheControlColumn)
{
    const std::array<int, 4> order{2, 0, 1, 3};
    list.SetColumnOrderArray(order);
    QHeaderView* header = list.Header();
    const QPoint first(header->sectionViewportPosition(2) + 20, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    ASSERT_EQ(listener.columnClicks, (std::vector<int>{2}));
    EXPECT_FALSE(header->isSortIndicatorShown()) << "a click alone sets no sort marker";
}

TEST_F(ListControlView, SortMarkerOnlyOnTheColumnWhoseFormatCarriesOne)
{
    QHeaderView* header = list.Header();
    HDITEMA item;
    item.mask = HDI_FORMAT;
    item.fmt = HDF_STRING | HDF_RIGHT | HDF_SORTUP;
    ASSERT_TRUE(list.SetHeaderItem(2, item));
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), 2);
    EXPECT_EQ(header->sortIndicatorOrder(), kUpArrow);
    const auto alignment = [&](int section) {
        return list.Model()->headerData(section, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
               Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(alignment(2), Qt::AlignRight);
    EXPECT_EQ(alignment(1), Qt::AlignLeft);

    // The marker moves: column 2 keeps its alignment without the marker, column 1 descends.
    item.fmt = HDF_STRING | HDF_RIGHT;
    ASSERT_TRUE(list.SetHeaderItem(2, item));
    item.fmt = HDF_STRING | HDF_SORTDOWN;
    ASSERT_TRUE(list.SetHeaderItem(1, item));
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), kDownArrow);
    EXPECT_EQ(alignment(2), Qt::AlignRight);

    // A click does not move Qt's marker on its own: the header formats decide.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(3) + 10, header->height() / 2));
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), kDownArrow);

    item.fmt = HDF_STRING;
    ASSERT_TRUE(list.SetHeaderItem(1, item));
    EXPECT_FALSE(header->isSortIndicatorShown());
}

TEST_F(ListControlView, UserResizeUpdatesTheWidthAndEndsTracking)
{
    QHeaderView* header = list.Header();
    QWidget* target = header->viewport();
    const int divider = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
    const int y = header->height() / 2;
    const auto send = [&](QEvent::Type type, int x, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(x, y), target->mapToGlobal(QPointF(x, y)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    send(QEvent::MouseButtonPress, divider, Qt::LeftButton);
    send(QEvent::MouseMove, divider + 20, Qt::LeftButton);
    send(QEvent::MouseMove, divider + 30, Qt::LeftButton);
    EXPECT_EQ(list.GetColumnWidth(1), 120);
    EXPECT_FALSE(listener.itemChanges.empty());
    EXPECT_EQ(listener.itemChanges.back(), 1);
    EXPECT_TRUE(listener.endTracks.empty());
    send(QEvent::MouseButtonRelease, divider + 30, Qt::NoButton);
    EXPECT_EQ(listener.endTracks, (std::vector<int>{1}));

    // The control's own width changes are not the user's.
    listener.itemChanges.clear();
    list.SetColumnWidth(2, 33);
    EXPECT_EQ(header->sectionSize(2), 33);
    EXPECT_TRUE(listener.itemChanges.empty());
}

TEST_F(ListControlView, HeaderContextMenuRightClickAndDividerDoubleClick)
{
    QHeaderView* header = list.Header();
    QContextMenuEvent onHeader(QContextMenuEvent::Mouse, QPoint(30, 5), header->mapToGlobal(QPoint(30, 5)));
    QApplication::sendEvent(header->viewport(), &onHeader);
    ASSERT_EQ(listener.headerMenus.size(), 1u);
    EXPECT_EQ(listener.headerMenus[0], header->mapToGlobal(QPoint(30, 5)));

    QRect cell;
    ASSERT_TRUE(list.GetSubItemRect(3, 1, LVIR_BOUNDS, cell));
    QContextMenuEvent onList(QContextMenuEvent::Mouse, cell.center(), Viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(Viewport(), &onList);
    ASSERT_EQ(listener.rightClicks.size(), 1u);
    EXPECT_EQ(listener.rightClicks[0].iItem, 3);
    EXPECT_EQ(listener.rightClicks[0].iSubItem, 1);
    EXPECT_EQ(listener.rightClicks[0].lParam, 103);
    EXPECT_EQ(listener.rightClicks[0].ptAction, cell.center());
    EXPECT_TRUE(listener.headerMenus.size() == 1u) << "a right click in the list is not a header menu";

    const int divider = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(divider, header->height() / 2));
    EXPECT_EQ(listener.dividerDblClicks, (std::vector<int>{0}));
}

TEST_F(ListControlView, GeometryMatchesWhatTheViewShows)
{
    const QTreeView* tree = Tree();
    const QAbstractItemModel* model = list.Model();
    const std::array<int, 4> order{1, 0, 2, 3};
    list.SetColumnOrderArray(order);
    for (int item = 0; item < 6; ++item) {
        QRect bounds;
        ASSERT_TRUE(list.GetItemRect(item, bounds, LVIR_BOUNDS));
        const QRect shown = tree->visualRect(model->index(item, 2));
        EXPECT_EQ(bounds.top(), shown.top()) << item;
        EXPECT_EQ(bounds.height(), shown.height()) << item;
        EXPECT_EQ(bounds.left(), 0);
        EXPECT_EQ(bounds.width(), 4 * 90);

        QRect cell;
        ASSERT_TRUE(list.GetSubItemRect(item, 2, LVIR_BOUNDS, cell));
        EXPECT_EQ(cell, shown) << item;
        ASSERT_TRUE(list.GetSubItemRect(item, 0, LVIR_BOUNDS, cell));
        EXPECT_EQ(cell, bounds) << "the first column answers with the whole row";
        QRect label;
        ASSERT_TRUE(list.GetItemRect(item, label, LVIR_LABEL));
        EXPECT_EQ(label, tree->visualRect(model->index(item, 0))) << "no image list: the label is the cell";
    }
    QRect headerItem;
    ASSERT_TRUE(list.GetHeaderItemRect(0, headerItem));
    EXPECT_EQ(headerItem, QRect(90, 0, 90, list.HeaderHeight()));
    EXPECT_EQ(list.HeaderHeight(), list.Header()->height());
    EXPECT_EQ(list.GetTopIndex(), 0);
    EXPECT_EQ(list.ClientRect(), Viewport()->rect());
    EXPECT_EQ(list.GetHotItem(), -1);
    EXPECT_GT(list.ColorDepth(), 8);

    // With a small image list the icon sits at the start of the first column's cell.
    ImageList small(QSize(16, 16));
    QPixmap square(16, 16);
    square.fill(Qt::darkGreen);
    small.Add(square);
    list.SetImageList(&small, LVSIL_SMALL);
    QRect icon;
    QRect label;
    ASSERT_TRUE(list.GetItemRect(0, icon, LVIR_ICON));
    ASSERT_TRUE(list.GetItemRect(0, label, LVIR_LABEL));
    const QRect first = tree->visualRect(model->index(0, 0));
    EXPECT_EQ(icon.size(), QSize(16, 16));
    EXPECT_EQ(icon.left(), first.left() + 2);
    EXPECT_EQ(label.left(), icon.right() + 1);
    EXPECT_EQ(label.right(), first.right());
    EXPECT_GE(list.RowHeight(), 18);
    list.SetImageList(nullptr, LVSIL_SMALL);
}

TEST_F(ListControlView, GridLinesRunAlongColumnEdgesAndUnderEveryRow)
{
    list.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    const QRgb line = Tree()->palette().color(QPalette::Midlight).rgb();
    const QRgb background = Tree()->palette().color(QPalette::Base).rgb();
    ASSERT_NE(line, background);
    const int rowHeight = list.RowHeight();
    const QImage image = list.grab().toImage();
    const auto at = [&](int x, int y) { return image.pixel(Viewport()->mapTo(&list, QPoint(x, y))); };
    // Four 90-pixel columns: one-pixel lines at x = 89, 179, 269, 359 from top to bottom, both
    // over the items and in the empty area below them.
    const int below = Viewport()->height() - 2;
    for (const int x : {89, 179, 269, 359}) {
        EXPECT_EQ(at(x, 3), line) << x;
        EXPECT_EQ(at(x, below), line) << x;
        EXPECT_EQ(at(x + 1, below), background) << x;
    }
    // Horizontal lines under every row, continued below the last item, across the columns only.
    for (int row = 0; row < 8; ++row) {
        const int y = row * rowHeight + rowHeight - 1;
        EXPECT_EQ(at(0, y), line) << row;
        EXPECT_EQ(at(300, y), line) << row;
        EXPECT_EQ(at(370, y), background) << row;  // right of the last column
    }
    EXPECT_EQ(at(370, 9 * rowHeight - 2), background);
}

TEST_F(ListControlView, TopIndexAndRowsFollowVerticalScrolling)
{
    for (int i = 6; i < 60; ++i)
        AddItem(list, i, "more " + std::to_string(i));
    QCoreApplication::processEvents();
    // Focusing an item far down does not scroll the list.
    list.SetItemState(50, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.GetTopIndex(), 0);

    Tree()->scrollTo(list.Model()->index(40, 0), QAbstractItemView::PositionAtTop);
    const int top = list.GetTopIndex();
    EXPECT_EQ(top, Tree()->indexAt(QPoint(5, 1)).row());
    EXPECT_GT(top, 0);
    QRect first;
    ASSERT_TRUE(list.GetItemRect(top, first, LVIR_BOUNDS));
    EXPECT_EQ(first.top(), 0);
    QRect above;
    ASSERT_TRUE(list.GetItemRect(top - 1, above, LVIR_BOUNDS));
    EXPECT_EQ(above.bottom(), -1);
}

TEST_F(ListControlView, HorizontalScrollMovesCellsButNotHeaderItemRectangles)
{
    list.SetColumnWidth(3, 600);
    QCoreApplication::processEvents();
    QScrollBar* bar = Tree()->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 50);
    QRect before;
    ASSERT_TRUE(list.GetSubItemRect(0, 2, LVIR_BOUNDS, before));
    bar->setValue(50);
    EXPECT_EQ(list.HorizontalScrollPosition(), 50);
    EXPECT_EQ(listener.hScrolls, 1);
    QRect after;
    ASSERT_TRUE(list.GetSubItemRect(0, 2, LVIR_BOUNDS, after));
    EXPECT_EQ(after, before.translated(-50, 0));
    QRect headerItem;
    ASSERT_TRUE(list.GetHeaderItemRect(2, headerItem));
    EXPECT_EQ(headerItem.left(), 180);
}

TEST_F(ListControlView, CustomDrawColoursOneColumnsCells)
{
    const QColor tint(200, 40, 40);
    listener.customDraw = [&](NMLVCUSTOMDRAW& draw) -> unsigned {
        if (draw.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (draw.dwDrawStage == CDDS_ITEMPREPAINT)
            return CDRF_NOTIFYSUBITEMDRAW;
        if (draw.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
            if (draw.iSubItem == 2)
                draw.clrTextBk = tint;
            return CDRF_NEWFONT | (draw.iSubItem == 0 ? CDRF_NOTIFYPOSTPAINT : 0u);
        }
        return CDRF_DODEFAULT;
    };
    listener.recordDraws = true;
    list.SetBkColor(QColor(255, 255, 255));

    QRect cell;
    ASSERT_TRUE(list.GetSubItemRect(1, 2, LVIR_BOUNDS, cell));
    const QPoint inside(cell.right() - 4, cell.center().y());
    EXPECT_EQ(PixelAt(inside), tint);
    ASSERT_TRUE(list.GetSubItemRect(1, 1, LVIR_BOUNDS, cell));
    EXPECT_EQ(PixelAt(QPoint(cell.right() - 4, cell.center().y())), QColor(255, 255, 255));

    bool prepaint = false;
    bool itemPrepaint = false;
    bool postPaintOfFirstColumn = false;
    bool postPaintElsewhere = false;
    for (const auto& call : listener.draws) {
        prepaint = prepaint || call.stage == CDDS_PREPAINT;
        itemPrepaint = itemPrepaint || (call.stage == CDDS_ITEMPREPAINT && call.item == 1);
        if (call.stage == (CDDS_ITEMPOSTPAINT | CDDS_SUBITEM)) {
            EXPECT_TRUE(call.painterValid);
            (call.column == 0 ? postPaintOfFirstColumn : postPaintElsewhere) = true;
        }
    }
    EXPECT_TRUE(prepaint);
    EXPECT_TRUE(itemPrepaint);
    EXPECT_TRUE(postPaintOfFirstColumn);
    EXPECT_FALSE(postPaintElsewhere);

    // Without the item-draw answer no item or cell is asked.
    listener.draws.clear();
    listener.customDraw = nullptr;
    list.grab();
    for (const auto& call : listener.draws)
        EXPECT_EQ(call.stage, CDDS_PREPAINT);
}

TEST_F(ListControlView, EraseGoesToTheListenerFirstElseTheBackgroundColour)
{
    QRect last;
    ASSERT_TRUE(list.GetItemRect(5, last, LVIR_BOUNDS));
    const QPoint below(20, last.bottom() + 15);
    ASSERT_LT(below.y(), Viewport()->height());

    list.SetBkColor(QColor(10, 120, 10));
    EXPECT_EQ(list.GetBkColor(), QColor(10, 120, 10));
    EXPECT_EQ(PixelAt(below), QColor(10, 120, 10));
    EXPECT_GT(listener.erases, 0);

    listener.eraseColor = QColor(20, 20, 160);
    EXPECT_EQ(PixelAt(below), QColor(20, 20, 160));
    // Rows are painted over the erased background with the background colour.
    QRect cell;
    ASSERT_TRUE(list.GetSubItemRect(0, 3, LVIR_BOUNDS, cell));
    EXPECT_EQ(PixelAt(QPoint(cell.right() - 3, cell.center().y())), QColor(10, 120, 10));
}

TEST_F(ListControlView, FocusPaletteAndTypeChangesAreRouted)
{
    const int ins = listener.focusIns;
    const int outs = listener.focusOuts;
    QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(Tree(), &in);
    EXPECT_EQ(listener.focusIns, ins + 1);
    EXPECT_EQ(listener.focusOuts, outs);
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(Tree(), &out);
    EXPECT_EQ(listener.focusOuts, outs + 1);

    QPalette palette = list.palette();
    palette.setColor(QPalette::Base, QColor(250, 250, 200));
    list.setPalette(palette);
    EXPECT_GE(listener.colorChanges, 1);
    EXPECT_EQ(list.GetBkColor(), QColor(250, 250, 200)) << "no colour set: the palette's base";

    list.ModifyStyle(LVS_TYPEMASK, LVS_ICON);
    QCoreApplication::processEvents();
    EXPECT_TRUE(list.IconView()->isVisible());
    EXPECT_FALSE(Tree()->isVisible());
    EXPECT_EQ(list.IconView()->viewMode(), QListView::IconMode);
    EXPECT_EQ(list.ClientRect(), list.IconView()->viewport()->rect());
    EXPECT_EQ(list.HeaderHeight(), 0);
    QRect bounds;
    EXPECT_TRUE(list.GetItemRect(0, bounds, LVIR_BOUNDS));
    EXPECT_FALSE(list.GetSubItemRect(0, 1, LVIR_BOUNDS, bounds));
    list.ModifyStyle(LVS_TYPEMASK, LVS_SMALLICON);
    EXPECT_EQ(list.IconView()->viewMode(), QListView::ListMode);
    list.ModifyStyle(LVS_TYPEMASK, LVS_REPORT);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Tree()->isVisible());
}

TEST_F(ListControlView, AccessibleTextAndDecorationComeFromTheModel)
{
    ImageList small(QSize(16, 16));
    QPixmap square(16, 16);
    square.fill(Qt::blue);
    small.Add(square);
    small.Add(square);
    list.SetImageList(&small, LVSIL_SMALL);
    LVITEMA image;
    image.mask = LVIF_IMAGE;
    image.iItem = 2;
    image.iImage = 1;
    list.SetItem(image);
    const QModelIndex cell = list.Model()->index(2, 1);
    EXPECT_EQ(cell.data(Qt::AccessibleTextRole).toString(), QStringLiteral("cell 2"));
    EXPECT_FALSE(list.Model()->index(2, 0).data(Qt::DecorationRole).value<QPixmap>().isNull());
    EXPECT_FALSE(cell.data(Qt::DecorationRole).isValid());
    EXPECT_EQ(list.Model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("C1"));
    list.SetImageList(nullptr, LVSIL_SMALL);
}

TEST_F(ListControlView, HeaderImagesAndAutoSizedWidths)
{
    ImageList headerImages(QSize(16, 16));
    QPixmap square(16, 16);
    square.fill(Qt::red);
    headerImages.Add(square);
    list.SetHeaderImageList(&headerImages);
    HDITEMA item;
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt = HDF_STRING | HDF_IMAGE;
    item.iImage = 0;
    ASSERT_TRUE(list.SetHeaderItem(3, item));
    EXPECT_FALSE(list.Model()->headerData(3, Qt::Horizontal, Qt::DecorationRole).value<QPixmap>().isNull());
    EXPECT_FALSE(list.Model()->headerData(2, Qt::Horizontal, Qt::DecorationRole).isValid());
    item.iImage = 5;  // not in the list
    ASSERT_TRUE(list.SetHeaderItem(3, item));
    EXPECT_FALSE(list.Model()->headerData(3, Qt::Horizontal, Qt::DecorationRole).isValid());
    list.SetHeaderImageList(nullptr);

    SetText(list, 2, 1, "a much longer cell text than the others");
    ASSERT_TRUE(list.SetColumnWidth(1, LVSCW_AUTOSIZE));
    const int fitted = list.GetColumnWidth(1);
    EXPECT_GE(fitted,
              Tree()->fontMetrics().horizontalAdvance(QStringLiteral("a much longer cell text than the others")));
    EXPECT_EQ(list.Header()->sectionSize(1), fitted);
    ASSERT_TRUE(list.SetColumnWidth(3, LVSCW_AUTOSIZE_USEHEADER));
    EXPECT_GE(list.GetColumnWidth(3), list.Header()->fontMetrics().horizontalAdvance(QStringLiteral("C3")));
}

// Draws a small device picture of our own for the demo rows.
QPixmap DevicePicture(const QColor& body)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(body);
    painter.setPen(body.darker(160));
    painter.drawRoundedRect(QRectF(1.5, 3.5, 13, 9), 2, 2);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(4.5, 6.5, 3, 3));
    painter.setBrush(QColor(60, 200, 60));
    painter.drawEllipse(QRectF(10, 7, 2.5, 2.5));
    return picture;
}

TEST(ListControlDemo, RendersADeviceListToPng)
{
    RecordingListener listener;
    ListControl list;
    list.SetListener(&listener);
    list.resize(720, 220);
    list.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    ImageList small(QSize(16, 16));
    small.Add(DevicePicture(QColor(70, 110, 190)));
    small.Add(DevicePicture(QColor(190, 120, 40)));
    list.SetImageList(&small, LVSIL_SMALL);

    const std::vector<std::pair<const char*, int>> columns = {{"Device Name", 120}, {"IP Address", 120},
                                                              {"Subnet Mask", 120}, {"Gateway IP", 120},
                                                              {"MAC", 130},         {"Version", 95}};
    for (const auto& [name, width] : columns) {
        std::string text = name;
        LVCOLUMNA column;
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text.data();
        column.cx = width;
        column.fmt = std::string(name) == "Version" ? LVCFMT_RIGHT : LVCFMT_LEFT;
        list.InsertColumn(list.GetColumnCount(), column);
    }
    const std::vector<std::vector<std::string>> rows = {
        {"Lab printer", "192.168.1.20", "255.255.255.0", "192.168.1.1", "00-0A-5C-11-22-33", "1.30"},
        {"Hall switch", "192.168.1.21", "255.255.255.0", "192.168.1.1", "00-0A-5C-11-22-34", "1.28"},
        {"Caf\xC3\xA9 phone", "192.168.1.35", "255.255.255.0", "192.168.1.1", "00-0A-5C-11-22-35", "2.01"},
        {"Unknown", "10.0.0.7", "255.0.0.0", "10.0.0.1", "00-0A-5C-11-22-36", "0.99"},
    };
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int item = AddItem(list, static_cast<int>(r), rows[r][0], static_cast<LPARAM>(r));
        LVITEMA image;
        image.mask = LVIF_IMAGE;
        image.iItem = item;
        image.iImage = r == 3 ? 1 : 0;
        list.SetItem(image);
        for (int c = 1; c < 6; ++c)
            SetText(list, item, c, rows[r][static_cast<std::size_t>(c)]);
    }
    HDITEMA marker;
    marker.mask = HDI_FORMAT;
    marker.fmt = HDF_STRING | HDF_SORTUP;
    list.SetHeaderItem(1, marker);
    const QColor shade(247, 247, 247);
    listener.customDraw = [&](NMLVCUSTOMDRAW& draw) -> unsigned {
        if (draw.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (draw.dwDrawStage == CDDS_ITEMPREPAINT)
            return CDRF_NOTIFYSUBITEMDRAW;
        if (draw.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM) && draw.iSubItem == 1)
            draw.clrTextBk = shade;
        return CDRF_DODEFAULT;
    };
    list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.ModifyStyle(0, LVS_SHOWSELALWAYS);
    list.show();
    QCoreApplication::processEvents();

    const QString directory = QStringLiteral(VANTOR_SHOTS_DIR);
    ASSERT_TRUE(QDir().mkpath(directory));
    const QString path = directory + QStringLiteral("/listcontrol_demo.png");
    const QImage image = list.grab().toImage();
    ASSERT_TRUE(image.save(path));
    EXPECT_FALSE(QImage(path).isNull());

    QRect cell;
    ASSERT_TRUE(list.GetSubItemRect(2, 1, LVIR_BOUNDS, cell));
    const QPoint point = list.DetailsView()->viewport()->mapTo(&list, QPoint(cell.right() - 3, cell.top() + 3));
    EXPECT_EQ(image.pixelColor(point), shade);

    // The same list as large icons.
    ImageList large(QSize(32, 32));
    large.Add(DevicePicture(QColor(70, 110, 190)));
    large.Add(DevicePicture(QColor(190, 120, 40)));
    list.SetImageList(&large, LVSIL_NORMAL);
    list.ModifyStyle(LVS_TYPEMASK, LVS_ICON);
    QCoreApplication::processEvents();
    const QString iconsPath = directory + QStringLiteral("/listcontrol_demo_icons.png");
    ASSERT_TRUE(list.grab().save(iconsPath));
    QRect tile;
    ASSERT_TRUE(list.GetItemRect(3, tile, LVIR_BOUNDS));
    EXPECT_FALSE(tile.isEmpty());
}

}  // namespace
}  // namespace vantor::lc
