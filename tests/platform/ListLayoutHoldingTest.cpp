// The details view holds back layouts that only take in added rows while its last layout was
// long, and lays out at once for anything else.

#include "ListFixtures.h"

#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListDetailsView.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <string>

namespace vantor::lc {
namespace {

using test::AddColumns;
using test::AddItem;

class ListLayoutHolding : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.resize(320, 240);
        AddColumns(list, 2, 90);
        for (int i = 0; i < 10; ++i)
            AddItem(list, i, "item " + std::to_string(i));
        list.show();
        QCoreApplication::processEvents();
        view = qobject_cast<ListDetailsView*>(list.DetailsView());
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(Shown(9));
    }

    // Whether the view's last layout has the row.
    bool Shown(int row) const { return view->visualRect(view->model()->index(row, 0)).isValid(); }

    void AddRowsAtTheEnd(int count)
    {
        for (int i = 0; i < count; ++i)
            AddItem(list, list.GetItemCount(), "added " + std::to_string(i), list.GetItemCount() + 1);
        QCoreApplication::processEvents();
    }

    ListControl list;
    ListDetailsView* view = nullptr;
};

TEST_F(ListLayoutHolding, ShortLayoutsAreNeverHeld)
{
    AddRowsAtTheEnd(5);
    EXPECT_FALSE(view->IsLayoutHeld());
    EXPECT_TRUE(Shown(14));
}

TEST_F(ListLayoutHolding, AddedRowsWaitForAHeldLayoutWhileTheOthersStayShown)
{
    view->SetLayoutHolding(1'000'000, 0);  // every layout counts as long, and the wait is long
    AddRowsAtTheEnd(5);
    ASSERT_TRUE(view->IsLayoutHeld());
    EXPECT_EQ(list.GetItemCount(), 15);
    EXPECT_TRUE(Shown(9));
    EXPECT_FALSE(Shown(10));
    // Rows added before shown rows push them down: the shown rows are read by position, with
    // their current contents.
    AddItem(list, 0, "first");
    QCoreApplication::processEvents();
    EXPECT_EQ(view->model()->index(0, 0).data().toString(), QStringLiteral("first"));
    EXPECT_TRUE(Shown(9));

    view->LayOutNow();
    EXPECT_FALSE(view->IsLayoutHeld());
    EXPECT_TRUE(Shown(15));
}

TEST_F(ListLayoutHolding, AHeldLayoutComesByItself)
{
    view->SetLayoutHolding(4, 0);
    AddRowsAtTheEnd(5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view->IsLayoutHeld() && Shown(14); }, 5000));
}

TEST_F(ListLayoutHolding, AKeyPressLaysOutAtOnce)
{
    view->SetLayoutHolding(1'000'000, 0);
    AddRowsAtTheEnd(5);
    ASSERT_TRUE(view->IsLayoutHeld());
    view->setFocus();
    QTest::keyClick(view, Qt::Key_End);
    EXPECT_FALSE(view->IsLayoutHeld());
    EXPECT_EQ(view->currentIndex().row(), 14);  // End reaches the rows added last
}

TEST_F(ListLayoutHolding, AMouseClickLaysOutAtOnce)
{
    view->SetLayoutHolding(1'000'000, 0);
    AddRowsAtTheEnd(5);
    ASSERT_TRUE(view->IsLayoutHeld());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(view->IsLayoutHeld());
    EXPECT_TRUE(Shown(14));
}

TEST_F(ListLayoutHolding, OtherChangesAreNeverHeld)
{
    struct Change {
        const char* name;
        void (*apply)(ListControl&);
    };
    const Change changes[] = {
        {"row removed", [](ListControl& l) { l.DeleteItem(0); }},
        {"row moved", [](ListControl& l) { l.MoveItem(l.GetItemCount() - 1, 0); }},
        {"all rows removed", [](ListControl& l) { l.DeleteAllItems(); }},
        {"column added", [](ListControl& l) { AddColumns(l, 1); }},
        {"sorted",
         [](ListControl& l) {
             l.SortItems([](LPARAM a, LPARAM b, LPARAM) { return a < b ? 1 : (a > b ? -1 : 0); }, 0);
         }},
    };
    for (const Change& change : changes) {
        view->SetLayoutHolding(1'000'000, 0);
        AddRowsAtTheEnd(3);
        ASSERT_TRUE(view->IsLayoutHeld()) << change.name;
        change.apply(list);
        QCoreApplication::processEvents();
        EXPECT_FALSE(view->IsLayoutHeld()) << change.name;
        const int count = list.GetItemCount();
        if (count > 0) {
            EXPECT_TRUE(Shown(count - 1)) << change.name;
        }
    }
}

}  // namespace
}  // namespace vantor::lc

namespace vantor::lc {
namespace {

// Header sections are drawn in the header's own font, so they are measured in it too (not in
// bold, as QHeaderView measures): a column fitted to its heading is as wide as the heading
// drawn, not as the heading in bold.
TEST(ListHeaderMeasure, AColumnFittedToItsHeadingFitsTheRegularText)
{
    ListControl list;
    list.resize(900, 200);
    const std::string heading(30, 'W');
    std::string text = heading;
    LVCOLUMNA column;
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = text.data();
    column.cx = 40;
    column.fmt = LVCFMT_LEFT;
    ASSERT_EQ(list.InsertColumn(0, column), 0);
    list.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(list.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER));

    QFont bold = list.DetailsView()->header()->font();
    const QFontMetrics regular(bold);
    bold.setBold(true);
    const QString shown = QString::fromStdString(heading);
    EXPECT_GE(list.GetColumnWidth(0), regular.horizontalAdvance(shown));
    EXPECT_LT(list.GetColumnWidth(0), QFontMetrics(bold).horizontalAdvance(shown));
}

}  // namespace
}  // namespace vantor::lc
