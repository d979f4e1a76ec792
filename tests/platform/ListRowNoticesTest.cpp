// Rows inserted during one turn of the event loop reach Qt's views in one notice at the end of
// the turn (at most one a frame); rows the views knew keep their selection and current item
// wherever the new rows go, and a paint before the notice shows the rows the views know.

#include "ListFixtures.h"
#include "RecordingListener.h"

#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControlModel.h"
#include "tests/support/RowNotices.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTreeView>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor::lc {
namespace {

using test::AddColumns;
using test::AddItem;

class ListRowNotices : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.resize(320, 400);
        AddColumns(list, 2, 90);
        for (int i = 0; i < 10; ++i)
            AddItem(list, i, "known " + std::to_string(i), i);
        list.show();
        QCoreApplication::processEvents();
    }

    // The notice comes at the end of the turn, or a frame after the previous one.
    void WaitForNotice() { ASSERT_TRUE(vantor::test::WaitForRowNotice(list.Model())); }

    bool Shown(int row) const
    {
        QTreeView* view = list.DetailsView();
        return view->visualRect(view->model()->index(row, 0)).isValid();
    }

    ListControl list;
};

TEST_F(ListRowNotices, OneTurnsRowsAreOneNotice)
{
    struct Case {
        const char* name;
        std::vector<int> positions;
        int insertNotices;  // and otherwise one layout change
    };
    const Case cases[] = {
        {"appended", {10, 11, 12, 13}, 1},
        {"after the known rows, in any order", {10, 10, 11, 10}, 1},
        {"at the front", {0, 0, 0}, 0},
        {"scattered", {5, 1, 13, 7, 0}, 0},
    };
    for (const Case& c : cases) {
        while (list.GetItemCount() > 10)
            list.DeleteItem(list.GetItemCount() - 1);
        for (int i = 0; i < 10; ++i)
            ASSERT_EQ(test::DataOf(list, i), i) << c.name;
        QAbstractItemModel* model = list.Model();
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy laidOut(model, &QAbstractItemModel::layoutChanged);
        for (const int at : c.positions)
            AddItem(list, at, "new", 100 + at);
        EXPECT_EQ(inserted.count() + laidOut.count(), 0) << c.name << ": nothing told before the turn ends";
        WaitForNotice();
        EXPECT_EQ(inserted.count(), c.insertNotices) << c.name;
        EXPECT_EQ(laidOut.count(), 1 - c.insertNotices) << c.name;
        EXPECT_EQ(model->rowCount(), list.GetItemCount()) << c.name;
        EXPECT_TRUE(Shown(list.GetItemCount() - 1)) << c.name;
        // Remove the new rows again (by their item data) for the next case.
        for (int i = list.GetItemCount() - 1; i >= 0; --i) {
            if (test::DataOf(list, i) >= 100)
                list.DeleteItem(i);
        }
    }
}

TEST_F(ListRowNotices, KnownRowsKeepSelectionAndCurrentItemThroughAScatteredTurn)
{
    ASSERT_TRUE(list.SetItemState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    ASSERT_TRUE(list.SetItemState(7, LVIS_SELECTED, LVIS_SELECTED));
    QCoreApplication::processEvents();
    for (const int at : {0, 5, 2, 12})
        AddItem(list, at, "new", 100);
    WaitForNotice();
    QItemSelectionModel* selection = list.DetailsView()->selectionModel();
    std::vector<int> qtSelected;
    std::vector<int> itemsSelected;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (selection->isRowSelected(row))
            qtSelected.push_back(static_cast<int>(test::DataOf(list, row)));
        if ((list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0)
            itemsSelected.push_back(static_cast<int>(test::DataOf(list, row)));
    }
    EXPECT_EQ(qtSelected, (std::vector<int>{3, 7}));
    EXPECT_EQ(itemsSelected, (std::vector<int>{3, 7}));
    const int focused = list.GetNextItem(-1, LVNI_FOCUSED);
    EXPECT_EQ(test::DataOf(list, focused), 3);
    EXPECT_EQ(selection->currentIndex().row(), focused);
}

// Reading the model changes nothing: mid-turn every reader sees the rows Qt was told of, each
// row still showing its own item, and the new row comes with the notice.
TEST_F(ListRowNotices, ReadingTheModelMidTurnSeesTheToldRowsAndAnnouncesNothing)
{
    QAbstractItemModel* model = list.Model();
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    AddItem(list, 0, "early", 10);
    EXPECT_EQ(model->rowCount(), 10);
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("known 0"));
    EXPECT_FALSE(model->index(10, 0).isValid());
    EXPECT_EQ(inserted.count(), 0);
    WaitForNotice();
    EXPECT_EQ(model->rowCount(), 11);
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("early"));
}

TEST_F(ListRowNotices, APaintBeforeTheNoticeShowsTheKnownRowsAndAnnouncesNothing)
{
    test::RecordingListener listener;
    list.SetListener(&listener);
    std::vector<LPARAM> painted;
    listener.customDraw = [&painted](NMLVCUSTOMDRAW& draw) -> unsigned {
        if (draw.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (draw.dwDrawStage == CDDS_ITEMPREPAINT)
            painted.push_back(draw.lItemlParam);
        return CDRF_DODEFAULT;
    };
    QAbstractItemModel* model = list.Model();
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy laidOut(model, &QAbstractItemModel::layoutChanged);
    for (const int at : {0, 4, 4, 13})
        AddItem(list, at, "new", 100 + at);

    list.DetailsView()->viewport()->repaint();
    EXPECT_EQ(inserted.count() + laidOut.count(), 0);
    EXPECT_EQ(painted, (std::vector<LPARAM>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

    WaitForNotice();
    painted.clear();
    list.DetailsView()->viewport()->repaint();
    std::vector<LPARAM> items;
    for (int i = 0; i < list.GetItemCount(); ++i)
        items.push_back(test::DataOf(list, i));
    EXPECT_EQ(painted, items);
    EXPECT_EQ(items.size(), 14u);
    list.SetListener(nullptr);
}

}  // namespace
}  // namespace vantor::lc
