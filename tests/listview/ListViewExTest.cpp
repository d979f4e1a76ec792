// CListViewEx on the real list control: header menu, header drag, column clicks, display
// texts and destruction.

#include "listview/CListViewEx.h"
#include "platform/listcontrol/ListControl.h"
#include "tests/support/RowNotices.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>

namespace vantor {
namespace {

// QHeaderView draws its descending order as an arrow with the apex at the top.
constexpr Qt::SortOrder kUpArrow = Qt::DescendingOrder;
constexpr Qt::SortOrder kDownArrow = Qt::AscendingOrder;

using namespace vantor::lc;

char* In(const char* text)
{
    return const_cast<char*>(text);
}

std::string Cell(int row, int column)
{
    return "r" + std::to_string(row) + "c" + std::to_string(column);
}

// Columns "C0".."C<n-1>" (all but the first hideable) and rows of texts Cell(row, column) with
// item data 100 + row.
void Fill(CListViewEx& view, int columns, int rows)
{
    view.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    for (int c = 0; c < columns; ++c) {
        const std::string heading = "C" + std::to_string(c);
        LVCOLUMNA d;
        d.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        d.pszText = In(heading.c_str());
        d.cx = 80;
        ASSERT_EQ(view.InsertColumn(c, d), c);
        if (c > 0) {
            view.AllowColumnHiding(c);
        }
    }
    for (int r = 0; r < rows; ++r) {
        const std::string first = Cell(r, 0);
        LVITEMA item;
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = r;
        item.pszText = In(first.c_str());
        item.lParam = 100 + r;
        ASSERT_EQ(view.InsertItem(item), r);
        for (int c = 1; c < columns; ++c) {
            const std::string text = Cell(r, c);
            LVITEMA sub;
            sub.iSubItem = c;
            sub.pszText = In(text.c_str());
            ASSERT_TRUE(view.SetItemText(r, sub));
        }
    }
}

// Headings as the header shows them, left to right.
std::vector<std::string> HeaderTexts(const CListViewEx& view)
{
    QHeaderView* header = view.Control().Header();
    std::vector<std::string> out;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int section = header->logicalIndex(visual);
        out.push_back(header->model()->headerData(section, Qt::Horizontal).toString().toStdString());
    }
    return out;
}

TEST(ListViewEx, HeaderMenuListsColumnsInLogicalOrderWithTheirState)
{
    CListViewEx view;
    Fill(view, 4, 2);
    const std::array<int, 4> display = {3, 0, 2, 1};
    ASSERT_TRUE(view.SetColumnOrderArray(display));
    view.SetColumnVisible(2, false);

    std::unique_ptr<QMenu> menu = view.CreateHeaderMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(actions[i]->text().toStdString(), "C" + std::to_string(i));
        EXPECT_TRUE(actions[i]->isCheckable());
        EXPECT_EQ(actions[i]->isChecked(), i != 2) << i;
        EXPECT_EQ(actions[i]->isEnabled(), i != 0) << i;
    }
    actions[2]->trigger();  // show
    EXPECT_TRUE(view.IsColumnVisible(2));
    EXPECT_EQ(HeaderTexts(view), (std::vector<std::string>{"C3", "C0", "C2", "C1"}));
    EXPECT_EQ(view.Control().ItemDisplayText(1, view.ToControlColumn(2)).toStdString(), "r1c2");
    actions[1]->trigger();  // hide
    EXPECT_FALSE(view.IsColumnVisible(1));
    EXPECT_EQ(HeaderTexts(view), (std::vector<std::string>{"C3", "C0", "C2"}));
    actions[0]->trigger();  // not hideable: nothing happens
    EXPECT_TRUE(view.IsColumnVisible(0));
    // A fresh menu reflects the new state.
    const std::unique_ptr<QMenu> fresh = view.CreateHeaderMenu();
    const QList<QAction*> again = fresh->actions();
    EXPECT_FALSE(again[1]->isChecked());
    EXPECT_TRUE(again[2]->isChecked());
}

TEST(ListViewEx, ARightClickOnTheHeaderOpensTheMenuAndItsChoiceTogglesTheColumn)
{
    CListViewEx view;
    Fill(view, 3, 1);
    view.resize(400, 200);
    view.show();
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            seen << action->text();
        }
        menu->actions().at(1)->trigger();
        menu->close();
    });
    emit view.Control().Header()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_EQ(seen, (QStringList{"C0", "C1", "C2"}));
    EXPECT_FALSE(view.IsColumnVisible(1));
    EXPECT_EQ(HeaderTexts(view), (std::vector<std::string>{"C0", "C2"}));
}

TEST(ListViewEx, WithoutHideableColumnsNoMenuOpens)
{
    CListViewEx view;
    LVCOLUMNA d;
    d.mask = LVCF_TEXT | LVCF_WIDTH;
    d.pszText = In("Only");
    d.cx = 50;
    ASSERT_EQ(view.InsertColumn(0, d), 0);
    EXPECT_EQ(view.CreateHeaderMenu(), nullptr);
    bool popup = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* w = QApplication::activePopupWidget()) {
            popup = true;
            w->close();
        }
    });
    view.OnHeaderContextMenu(QPoint(10, 10));
    QApplication::processEvents();
    EXPECT_FALSE(popup);
}

TEST(ListViewEx, DraggingAHeaderMovesTheColumnsLogicalOrder)
{
    CListViewEx view;
    Fill(view, 5, 2);
    view.resize(500, 200);
    view.show();
    view.SetColumnVisible(1, false);
    // Control columns are logical 0, 2, 3, 4; drag the last one to display position 1.
    QHeaderView* header = view.Control().Header();
    header->moveSection(3, 1);
    EXPECT_EQ(HeaderTexts(view), (std::vector<std::string>{"C0", "C4", "C2", "C3"}));
    std::array<int, 5> order{};
    ASSERT_EQ(view.GetColumnOrderArray(order), 5);
    EXPECT_EQ(order, (std::array<int, 5>{0, 1, 4, 2, 3}));
    // The hidden column comes back where it was, before the dragged one.
    view.SetColumnVisible(1, true);
    EXPECT_EQ(HeaderTexts(view), (std::vector<std::string>{"C0", "C1", "C4", "C2", "C3"}));
    EXPECT_EQ(view.Control().ItemDisplayText(1, 1).toStdString(), "r1c1");
}

// The column table and the control keep the display order twice; every column operation, the
// caller's and the user's, must leave both copies equal.
TEST(ListViewEx, TheColumnTableAndTheControlAgreeAfterEveryColumnOperation)
{
    CListViewEx view;
    Fill(view, 5, 2);
    view.resize(500, 200);
    view.show();
    QHeaderView* header = view.Control().Header();
    const std::array<int, 5> newOrder{4, 2, 0, 1, 3};
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"hide 2", [&] { view.SetColumnVisible(2, false); }},
        {"drag", [&] { header->moveSection(3, 0); }},
        {"order", [&] { view.SetColumnOrderArray(newOrder); }},
        {"show 2", [&] { view.SetColumnVisible(2, true); }},
        {"hide 1", [&] { view.SetColumnVisible(1, false); }},
        {"insert first", [&] { view.InsertColumn(0, lc::LVCOLUMNA{}); }},
        {"drag back", [&] { header->moveSection(0, 3); }},
        {"delete", [&] { view.DeleteColumn(3); }},
        {"show 2 again", [&] { view.SetColumnVisible(2, true); }},
    };
    for (const auto& [name, step] : steps) {
        step();
        EXPECT_TRUE(view.ColumnOrderMirrorHolds()) << "after " << name;
    }
}

TEST(ListViewEx, ColumnClicksSetTheKeyAndTheHeaderMarker)
{
    CListViewEx view;
    Fill(view, 4, 2);
    view.SetColumnVisible(1, false);
    view.ShowSortArrow(true);
    view.SetSortKey(1);
    QHeaderView* header = view.Control().Header();
    emit header->sectionClicked(1);  // logical column 2
    EXPECT_EQ(view.SortKey(), 3);
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), kUpArrow);
    emit header->sectionClicked(1);
    EXPECT_EQ(view.SortKey(), -3);
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), kDownArrow);
    view.ShowSortArrow(false);
    EXPECT_FALSE(header->isSortIndicatorShown() && header->sortIndicatorSection() >= 0);
}

// An owner that replaces the extension's reaction to a column click.
class OwnClicks final : public CListViewEx {
public:
    std::vector<int> clicked;
    void OnColumnClick(const NMLISTVIEW& info) override { clicked.push_back(ToLogicalColumn(info.iSubItem)); }
};

TEST(ListViewEx, AnOwnerCanReplaceTheColumnClickReaction)
{
    OwnClicks view;
    Fill(view, 3, 1);
    view.SetColumnVisible(1, false);
    view.SetSortKey(1);
    emit view.Control().Header()->sectionClicked(1);
    EXPECT_EQ(view.clicked, std::vector<int>{2});
    EXPECT_EQ(view.SortKey(), 1);
}

TEST(ListViewEx, TextsReachTheControlThroughTheExtension)
{
    CListViewEx view;
    Fill(view, 3, 3);
    QAbstractItemModel* model = view.Control().Model();
    ASSERT_TRUE(test::WaitForRowNotice(model));
    EXPECT_EQ(model->data(model->index(2, 1)).toString().toStdString(), "r2c1");
    view.SetColumnVisible(1, false);
    EXPECT_EQ(model->columnCount(), 2);
    EXPECT_EQ(model->data(model->index(2, 1)).toString().toStdString(), "r2c2");
    LVITEMA change;
    change.iSubItem = 1;
    change.pszText = In("changed while hidden");
    ASSERT_TRUE(view.SetItemText(2, change));
    view.SetColumnVisible(1, true);
    EXPECT_EQ(model->data(model->index(2, 1)).toString().toStdString(), "changed while hidden");
    EXPECT_EQ(model->data(model->index(2, 2)).toString().toStdString(), "r2c2");
}

// Hears of deletions with the caller's item data, and deletes its items itself.
class DeletionLog final : public CListViewEx {
public:
    explicit DeletionLog(std::vector<LPARAM>& log)
        : m_log(log)
    { }
    ~DeletionLog() override { DeleteAllItems(); }

protected:
    void OnDeleteItem(int /*item*/, LPARAM userData) override { m_log.push_back(userData); }

private:
    std::vector<LPARAM>& m_log;
};

TEST(ListViewEx, DeletionsReportTheCallersItemData)
{
    std::vector<LPARAM> log;
    {
        DeletionLog view(log);
        Fill(view, 2, 4);
        ASSERT_TRUE(view.DeleteItem(1));
        EXPECT_EQ(log, std::vector<LPARAM>{101});
    }
    EXPECT_EQ(log, (std::vector<LPARAM>{101, 103, 102, 100}));
}

TEST(ListViewEx, DestructionDeletesEveryItemFirst)
{
    int removed = 0;
    {
        CListViewEx view;
        Fill(view, 2, 5);
        QObject::connect(view.Control().Model(), &QAbstractItemModel::rowsAboutToBeRemoved,
                         [&](const QModelIndex&, int first, int last) { removed += last - first + 1; });
    }
    EXPECT_EQ(removed, 5);
}

}  // namespace
}  // namespace vantor
