// The list as a screen reader sees it: one accessible object per cell, kept while the cell is
// there and let go with its row, so emptying and filling the list again and again, as each
// search does, leaves no cell objects behind.

#include "ListFixtures.h"

#include "platform/listcontrol/ListControl.h"
#include "tests/support/RowNotices.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QTreeView>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace vantor::lc {
namespace {

using test::AddColumns;
using test::AddItem;

constexpr int kColumns = 6;
constexpr int kRows = 60;

class ListAccessibility : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.resize(640, 400);
        AddColumns(list, kColumns, 90);
        list.show();
        QCoreApplication::processEvents();
    }

    // Fills the list as a search does: rows come one by one and reach the views in batches,
    // a batch of rows put in between the rows already there (the list is sorted: a layout
    // change), a batch of rows appended (an insertion), and another in-between batch.
    void Fill()
    {
        for (int i = 0; i < kRows; ++i) {
            const bool appended = i >= kRows / 2 && i < kRows * 3 / 4;
            const int at = appended ? list.GetItemCount() : (i * 7) % (list.GetItemCount() + 1);
            AddItem(list, at, "device " + std::to_string(i), i);
            for (int column = 1; column < kColumns; ++column)
                test::SetText(list, at, column, std::to_string(i) + "." + std::to_string(column));
            if (i + 1 == kRows / 2 || i + 1 == kRows * 3 / 4)
                WaitForNotice();
        }
        WaitForNotice();
        QCoreApplication::processEvents();
    }

    void WaitForNotice() { ASSERT_TRUE(vantor::test::WaitForRowNotice(list.Model())); }

    // Reads every cell through the details view's accessible table, as a screen reader walking
    // the list does; the ids of the cells' accessible objects.
    std::vector<QAccessible::Id> ReadAllCells()
    {
        std::vector<QAccessible::Id> ids;
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list.DetailsView());
        EXPECT_NE(table, nullptr);
        if (table == nullptr || table->tableInterface() == nullptr)
            return ids;
        QAccessibleTableInterface* cells = table->tableInterface();
        EXPECT_EQ(cells->rowCount(), kRows);
        for (int row = 0; row < cells->rowCount(); ++row) {
            for (int column = 0; column < cells->columnCount(); ++column) {
                QAccessibleInterface* cell = cells->cellAt(row, column);
                EXPECT_NE(cell, nullptr) << row << "," << column;
                if (cell != nullptr) {
                    EXPECT_FALSE(cell->text(QAccessible::Name).isEmpty());
                    ids.push_back(QAccessible::uniqueId(cell));
                }
            }
        }
        return ids;
    }

    static int StillAlive(const std::vector<QAccessible::Id>& ids)
    {
        int alive = 0;
        for (const QAccessible::Id id : ids)
            alive += QAccessible::accessibleInterface(id) != nullptr ? 1 : 0;
        return alive;
    }

    ListControl list;
};

TEST_F(ListAccessibility, CellObjectsDoNotPileUpOverRepeatedRefreshes)
{
    Fill();
    std::vector<QAccessible::Id> round = ReadAllCells();
    ASSERT_EQ(round.size(), static_cast<std::size_t>(kRows * kColumns));
    EXPECT_EQ(ReadAllCells(), round) << "reading a cell again answers with the same object";
    std::vector<QAccessible::Id> everySeen = round;
    for (int refresh = 1; refresh <= 50; ++refresh) {
        ASSERT_TRUE(list.DeleteAllItems());
        QCoreApplication::processEvents();
        ASSERT_EQ(StillAlive(round), 0) << "refresh " << refresh << ": the removed rows' cells are let go";
        Fill();
        round = ReadAllCells();
        everySeen.insert(everySeen.end(), round.begin(), round.end());
    }
    EXPECT_EQ(StillAlive(everySeen), kRows * kColumns);
}

TEST_F(ListAccessibility, ACellFollowsItsRowAndGoesWithIt)
{
    Fill();
    QAccessibleTableInterface* cells = QAccessible::queryAccessibleInterface(list.DetailsView())->tableInterface();
    ASSERT_NE(cells, nullptr);
    QAccessibleInterface* doomed = cells->cellAt(10, 2);
    QAccessibleInterface* below = cells->cellAt(20, 1);
    ASSERT_NE(doomed, nullptr);
    ASSERT_NE(below, nullptr);
    const QAccessible::Id doomedId = QAccessible::uniqueId(doomed);
    const QString belowText = below->text(QAccessible::Name);

    ASSERT_TRUE(list.DeleteItem(10));
    EXPECT_EQ(QAccessible::accessibleInterface(doomedId), nullptr);
    EXPECT_EQ(cells->cellAt(19, 1), below) << "the cell moved up with its row";
    EXPECT_EQ(below->tableCellInterface()->rowIndex(), 19);
    EXPECT_EQ(below->text(QAccessible::Name), belowText);

    AddItem(list, 0, "first", 1000);
    WaitForNotice();
    EXPECT_EQ(cells->cellAt(20, 1), below) << "and down again below a row put in front";
    EXPECT_EQ(cells->rowCount(), kRows);
}

TEST_F(ListAccessibility, HeadingsPlacesAndSelectionGoThroughTheTable)
{
    Fill();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list.DetailsView());
    QAccessibleTableInterface* cells = table->tableInterface();
    EXPECT_EQ(table->childCount(), (kRows + 1) * kColumns) << "a row of headings, then the rows";
    QAccessibleInterface* heading = table->child(3);
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(heading->text(QAccessible::Name), QStringLiteral("C3"));

    QAccessibleInterface* cell = cells->cellAt(5, 3);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), QString::fromStdString(test::TextOf(list, 5, 3)));
    EXPECT_EQ(table->indexOfChild(cell), 6 * kColumns + 3);
    EXPECT_EQ(cell->tableCellInterface()->columnHeaderCells(), QList<QAccessibleInterface*>{heading})
        << "the heading object is the table's own, not a new one";
    EXPECT_EQ(table->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);

    cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents();
    EXPECT_TRUE(cell->state().selected);
    EXPECT_EQ(cells->selectedRows(), QList<int>{5});
    EXPECT_NE(list.GetItemState(5, LVIS_SELECTED), 0u) << "the control's item follows";
    cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents();
    EXPECT_FALSE(cell->state().selected);
    EXPECT_EQ(list.GetItemState(5, LVIS_SELECTED), 0u);
}

TEST_F(ListAccessibility, AResetReportedByQtDeletesTheCells)
{
    Fill();
    const std::vector<QAccessible::Id> before = ReadAllCells();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list.DetailsView());
    QAccessibleTableModelChangeEvent reset(list.DetailsView(), QAccessibleTableModelChangeEvent::ModelReset);
    table->tableInterface()->modelChange(&reset);
    EXPECT_EQ(StillAlive(before), 0);
    const std::vector<QAccessible::Id> after = ReadAllCells();
    EXPECT_EQ(StillAlive(after), kRows * kColumns);
}

}  // namespace
}  // namespace vantor::lc
