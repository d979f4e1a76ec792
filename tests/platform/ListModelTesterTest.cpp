// Qt's own model checker watches the list's model through every kind of change the control
// makes; it fails the test on the first broken promise of the model/view contract.
#include "platform/listcontrol/ListControl.h"
#include "tests/platform/ListFixtures.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

namespace vantor::lc {
namespace {

using namespace vantor::lc::test;

int ByDataDescending(LPARAM a, LPARAM b, LPARAM /*sortData*/)
{
    return a < b ? 1 : (a > b ? -1 : 0);
}

TEST(ListModelTester, ModelKeepsItsContractThroughInsertMoveSortAndColumnChanges)
{
    ListControl list;
    QAbstractItemModelTester tester(list.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    AddColumns(list, 3);
    for (int i = 0; i < 6; ++i) {
        const int item = AddItem(list, i, "item " + std::to_string(i), i);
        ASSERT_EQ(item, i);
        SetText(list, item, 2, "cell");
    }
    // Rows inserted between known ones in one turn: announced as one layout change.
    for (const int at : {0, 4, 2})
        AddItem(list, at, "between", 10 + at);
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_TRUE(list.MoveItem(5, 0));
    EXPECT_TRUE(list.MoveItem(1, 4));
    EXPECT_TRUE(list.SortItems(&ByDataDescending, 0));
    const int order[] = {2, 0, 1};
    EXPECT_TRUE(list.SetColumnOrderArray(order));
    EXPECT_TRUE(list.DeleteColumn(1));
    AddColumns(list, 1);
    EXPECT_TRUE(list.DeleteItem(3));
    list.ModifyStyle(LVS_TYPEMASK, LVS_ICON);
    list.ModifyStyle(LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.Model()->rowCount(), 0);
}

}  // namespace
}  // namespace vantor::lc
