// The device list view as the operator meets it: columns, icons and styles after the first
// update, rows as the replies give them, sorting by header clicks, Auto Arrange, the list
// types, the row context menu with its enabling, and access by keyboard and screen reader.
#include "platform/IndicatorStatusBar.h"
#include "platform/listcontrol/ListControl.h"
#include "resources/StringTable.h"
#include "tests/app/ModalCloser.h"
#include "tests/deviceview/DeviceViewFixture.h"
#include "tests/support/WaitUntil.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTreeView>

#include <array>

namespace vantor {
namespace {

using namespace vantor::lc;
using test::Device;
using test::ModalCloser;

constexpr std::array kDeviceCommands = {ids::ID_MODIFY_IP, ids::ID_MODIFY_MAC, ids::ID_WEB_BROWSER, ids::ID_SOFT_RESET,
                                        ids::ID_UPDATE_FIRMWARE};

class DeviceViewTest : public test::DeviceViewFixture { };

// ---- First update -------------------------------------------------------------------------------

TEST_F(DeviceViewTest, FirstUpdateSetsUpColumnsStylesAndSortKey)
{
    CreateFrame();
    CDorvexView& view = View();

    // The column set-up reaches the control and the header model: each heading, width and
    // alignment as the view holds it; only the name column cannot be hidden, and only the
    // version is right-aligned.
    ASSERT_EQ(view.GetColumnCount(), 6);
    ASSERT_EQ(view.Control().GetColumnCount(), 6);
    const QAbstractItemModel* model = view.Control().Model();
    for (int c = 0; c < 6; ++c) {
        SCOPED_TRACE(c);
        const QString heading = QString::fromStdString(view.ColumnHeading(c));
        EXPECT_FALSE(heading.isEmpty());
        EXPECT_EQ(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), heading);
        EXPECT_GT(view.GetColumnWidth(c), 0);
        EXPECT_EQ(view.Control().GetColumnWidth(c), view.GetColumnWidth(c));
        EXPECT_EQ(view.IsColumnHideable(c), c != 0);
        EXPECT_TRUE(view.IsColumnVisible(c));
        LVCOLUMNA d;
        d.mask = LVCF_FMT;
        ASSERT_TRUE(view.GetColumn(c, d));
        EXPECT_EQ(d.fmt & LVCFMT_JUSTIFYMASK, c == 5 ? LVCFMT_RIGHT : LVCFMT_LEFT);
    }
    EXPECT_EQ(view.HideableCount(), 5);

    EXPECT_EQ(view.GetExtendedStyle(), 0x31u);
    EXPECT_EQ(view.Control().GetExtendedStyle(), 0x31u);
    EXPECT_EQ(view.Control().GetStyle() & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(view.Control().GetStyle() & LVS_AUTOARRANGE, 0u) << "created without the auto-arrange style";
    EXPECT_EQ(view.ViewMode(), 1);
    EXPECT_EQ(view.AutoArrange(), 1);

    // The header key is the IP address column, ascending, with the arrow hidden until a row comes.
    EXPECT_EQ(view.SortKey(), 2);
    EXPECT_EQ(view.SortParam(), 2);
    EXPECT_FALSE(view.IsSortArrowShown());
    EXPECT_FALSE(view.IsSortedColumnShaded());
    EXPECT_TRUE(MarkedColumns().empty());

    EXPECT_EQ(OnlinePaneText(), QStringLiteral("Online : 0"));
    ASSERT_NE(view.ContextMenu(), nullptr);
}

TEST_F(DeviceViewTest, BothImageListsHoldTheSevenIconsAtTheirSizes)
{
    CreateFrame();
    const ImageList& small = View().SmallImages();
    const ImageList& large = View().LargeImages();
    EXPECT_EQ(small.ImageSize(), QSize(16, 16));
    EXPECT_EQ(large.ImageSize(), QSize(32, 32));
    ASSERT_EQ(small.Count(), 7);
    ASSERT_EQ(large.Count(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(small.Image(i).size(), QSize(16, 16));
        EXPECT_EQ(large.Image(i).size(), QSize(32, 32));
    }
    // Index 0 and 1 are the same picture; 2 differs.
    EXPECT_EQ(small.Image(0).toImage(), small.Image(1).toImage());
    EXPECT_NE(small.Image(1).toImage(), small.Image(2).toImage());
    EXPECT_EQ(View().Control().GetImageList(LVSIL_SMALL), &small);
    EXPECT_EQ(View().Control().GetImageList(LVSIL_NORMAL), &large);
}

// ---- Rows ---------------------------------------------------------------------------------------

TEST_F(DeviceViewTest, RowsOfKnownAndForeignModelsCarryTheirIcons)
{
    CreateFrame();
    struct Case {
        std::uint8_t model;
        std::uint8_t ipLast;
        int image;
        const char* name;
    };
    const std::array<Case, 5> cases = {
        {{31, 1, 2, "Lab"}, {32, 2, 2, "Lab"}, {0, 3, 1, "Unknown"}, {33, 4, 1, "Unknown"}, {7, 5, 1, "Unknown"}}};
    for (const Case& c : cases)
        Add(Device("Lab", {10, 0, 0, c.ipLast}, c.model));
    ASSERT_EQ(View().GetItemCount(), 5);
    for (int row = 0; row < 5; ++row) {
        const Case& c = cases[static_cast<std::size_t>(row)];  // IP order is arrival order here
        SCOPED_TRACE(row);
        LVITEMA item;
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        ASSERT_TRUE(View().GetItem(item));
        EXPECT_EQ(item.iImage, c.image);
        EXPECT_EQ(View().GetItemText(row, 0), QString::fromLatin1(c.name));
    }
}

TEST_F(DeviceViewTest, NamesAreShownExactlyAsReceived)
{
    CreateFrame();
    Add(Device("%d%s", {10, 0, 0, 1}));
    Add(Device("%n%x%%", {10, 0, 0, 2}));
    Add(Device("Caf\xc3\xa9", {10, 0, 0, 3}));  // valid UTF-8
    Add(Device("Caf\xe9", {10, 0, 0, 4}));      // one byte per character
    const std::vector<QString> shown = ShownTexts(0);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0], QStringLiteral("%d%s"));
    EXPECT_EQ(shown[1], QStringLiteral("%n%x%%"));
    EXPECT_EQ(shown[2], QString::fromUtf8("Caf\xc3\xa9"));
    EXPECT_EQ(shown[3], QString::fromLatin1("Caf\xe9"));
    // Sorting reads the bytes themselves.
    EXPECT_EQ(View().GetItemTextBytes(3, 0), "Caf\xe9");
    // Every cell of a row shows its field.
    const std::vector<QString> macs = ShownTexts(4);
    EXPECT_EQ(macs[0], QStringLiteral("00-1A-2B-3C-4D-01"));
    EXPECT_EQ(ShownTexts(5)[0], QStringLiteral("1.30"));
    EXPECT_EQ(ShownTexts(3)[0], QStringLiteral("192.168.1.1"));
    EXPECT_EQ(ShownTexts(2)[0], QStringLiteral("255.255.255.0"));
}

TEST_F(DeviceViewTest, OnlineCountRestartsWithTheFirstRowOfANewSearch)
{
    CreateFrame();
    Add(Device("A", {10, 0, 0, 1}));
    Add(Device("B", {10, 0, 0, 2}));
    EXPECT_EQ(OnlinePaneText(), QStringLiteral("Online : 2"));

    Frame().RouteCommand(ids::ID_REFRESH);
    EXPECT_EQ(OnlinePaneText(), QStringLiteral("Online : 2")) << "kept until the first new row";
    IndicatorStatusBar* bar = Frame().StatusBar();
    bar->SetPaneText(bar->CommandToIndex(ids::ID_INDICATOR_ONLINE), QStringLiteral("anything"), true);
    Add(Device("C", {10, 0, 0, 3}));
    EXPECT_EQ(OnlinePaneText(), QStringLiteral("Online : 1"));
}

TEST_F(DeviceViewTest, EachRowOwnsItsRecordUntilItIsDeleted)
{
    CreateFrame();
    for (std::uint8_t n = 1; n <= 5; ++n)
        Add(Device("D", {10, 0, 0, n}));
    EXPECT_EQ(View().RowRecordCount(), 5);
    EXPECT_EQ(View().RecordCount(), 5);
    ASSERT_TRUE(View().DeleteItem(2));
    EXPECT_EQ(View().RowRecordCount(), 4);
    Frame().RouteCommand(ids::ID_REFRESH);
    EXPECT_EQ(View().RowRecordCount(), 0);
    EXPECT_EQ(View().RecordCount(), 0);
}

// ---- Sorting ------------------------------------------------------------------------------------

TEST_F(DeviceViewTest, FirstRowBringsTheArrowAndShadingAndRowsSortByIpText)
{
    CreateFrame();
    Add(Device("Twenty", {192, 168, 1, 20}));
    EXPECT_TRUE(View().IsSortArrowShown());
    EXPECT_TRUE(View().IsSortedColumnShaded());
    EXPECT_EQ(MarkedColumns(), std::vector<int>{1});
    EXPECT_EQ(SortMark(1), HDF_SORTUP);

    Add(Device("Hundred", {192, 168, 1, 100}));
    Add(Device("Three", {192, 168, 1, 3}));
    Add(Device("Ten", {10, 0, 0, 10}));
    Add(Device("Nine", {10, 0, 0, 9}));
    const std::vector<std::string> expected = {"10.0.0.10", "10.0.0.9", "192.168.1.100", "192.168.1.20", "192.168.1.3"};
    EXPECT_EQ(ColumnTexts(1), expected);
    EXPECT_EQ(ShownTexts(1), (std::vector<QString>{QStringLiteral("10.0.0.10"), QStringLiteral("10.0.0.9"),
                                                   QStringLiteral("192.168.1.100"), QStringLiteral("192.168.1.20"),
                                                   QStringLiteral("192.168.1.3")}));
}

TEST_F(DeviceViewTest, RowsWithTheSameIpAreOrderedByNameInBothDirections)
{
    CreateFrame();
    Add(Device("Zed", {10, 0, 0, 5}));
    Add(Device("Other", {10, 0, 0, 7}));
    Add(Device("Amy", {10, 0, 0, 5}));
    Add(Device("Mid", {10, 0, 0, 5}));
    Add(Device("First", {10, 0, 0, 1}));
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"First", "Amy", "Mid", "Zed", "Other"}));

    ClickHeader(1);  // the sorted column: now descending
    EXPECT_EQ(View().SortParam(), -2);
    EXPECT_EQ(SortMark(1), HDF_SORTDOWN);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"Other", "Amy", "Mid", "Zed", "First"}));

    // New rows keep that order.
    Add(Device("Bea", {10, 0, 0, 5}));
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"Other", "Amy", "Bea", "Mid", "Zed", "First"}));
}

TEST_F(DeviceViewTest, VersionClickMovesTheArrowButOrdersByName)
{
    CreateFrame();
    Add(Device("Charlie", {10, 0, 0, 1}));
    Add(Device("Alpha", {10, 0, 0, 3}));
    Add(Device("Bravo", {10, 0, 0, 2}));

    ClickHeader(5);
    EXPECT_EQ(View().SortKey(), 6);
    EXPECT_EQ(MarkedColumns(), std::vector<int>{5});
    EXPECT_EQ(SortMark(5), HDF_SORTUP);
    EXPECT_EQ(View().SortParam(), 1);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));

    // Version again: the header flips, and name order reverses (the same key again).
    ClickHeader(5);
    EXPECT_EQ(SortMark(5), HDF_SORTDOWN);
    EXPECT_EQ(View().SortParam(), -1);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"Charlie", "Bravo", "Alpha"}));
}

TEST_F(DeviceViewTest, SameHeaderTwiceReversesOrderAndArrowAndANewHeaderSortsAscending)
{
    CreateFrame();
    Add(Device("b", {10, 0, 0, 2}, 31, {0, 0, 0, 0, 0, 3}));
    Add(Device("c", {10, 0, 0, 1}, 31, {0, 0, 0, 0, 0, 1}));
    Add(Device("a", {10, 0, 0, 3}, 31, {0, 0, 0, 0, 0, 2}));

    ClickHeader(0);
    EXPECT_EQ(SortMark(0), HDF_SORTUP);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"a", "b", "c"}));
    ClickHeader(0);
    EXPECT_EQ(SortMark(0), HDF_SORTDOWN);
    EXPECT_EQ(View().SortKey(), -1);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"c", "b", "a"}));

    ClickHeader(4);  // MAC, ascending
    EXPECT_EQ(MarkedColumns(), std::vector<int>{4});
    EXPECT_EQ(SortMark(4), HDF_SORTUP);
    EXPECT_EQ(View().SortParam(), 5);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"c", "a", "b"}));
}

TEST_F(DeviceViewTest, TheFirstClickOnTheIpHeaderSortsDescending)
{
    CreateFrame();
    Add(Device("x", {10, 0, 0, 1}));
    Add(Device("y", {10, 0, 0, 2}));
    ClickHeader(1);
    EXPECT_EQ(View().SortKey(), -2);
    EXPECT_EQ(View().SortParam(), -2);
    EXPECT_EQ(ColumnTexts(1), (std::vector<std::string>{"10.0.0.2", "10.0.0.1"}));
}

TEST_F(DeviceViewTest, ClickSortsByTheClickedColumnAfterAColumnWasHiddenThroughTheHeaderMenu)
{
    CreateFrame();
    Add(Device("n1", {10, 0, 0, 1}, 31, {0, 0, 0, 0, 0, 0x30}, {172, 16, 0, 3}));
    Add(Device("n2", {10, 0, 0, 2}, 31, {0, 0, 0, 0, 0, 0x10}, {172, 16, 0, 1}));
    Add(Device("n3", {10, 0, 0, 3}, 31, {0, 0, 0, 0, 0, 0x20}, {172, 16, 0, 2}));

    // Hide the IP address column with the header's own menu.
    std::unique_ptr<QMenu> menu = View().CreateHeaderMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 6);
    EXPECT_FALSE(menu->actions()[0]->isEnabled()) << "the name column always stays";
    menu->actions()[1]->trigger();
    ASSERT_FALSE(View().IsColumnVisible(1));
    ASSERT_EQ(View().Control().GetColumnCount(), 5);

    // Control column 3 now shows the MAC column (logical 4).
    ClickHeader(3);
    EXPECT_EQ(View().SortParam(), 5);
    EXPECT_EQ(View().SortKey(), 5);
    EXPECT_EQ(SortMark(3), HDF_SORTUP);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"n2", "n3", "n1"}));
    // And control column 2 is the gateway (logical 3).
    ClickHeader(2);
    EXPECT_EQ(View().SortParam(), 4);
    EXPECT_EQ(ColumnTexts(3), (std::vector<std::string>{"172.16.0.1", "172.16.0.2", "172.16.0.3"}));
}

TEST_F(DeviceViewTest, AutoArrangeOffKeepsArrivalOrderAndHidesArrowAndShadingAtTheNextRow)
{
    CreateFrame();
    Add(Device("m", {10, 0, 0, 5}));
    ASSERT_TRUE(View().IsSortArrowShown());

    Frame().RouteCommand(ids::ID_VIEW_AUTOARRANGE);
    EXPECT_EQ(View().AutoArrange(), 0);
    EXPECT_EQ(Frame().RouteCommandUI(ids::ID_VIEW_AUTOARRANGE).checked, false);
    EXPECT_TRUE(View().IsSortArrowShown()) << "nothing changes before the next row";

    Add(Device("z", {10, 0, 0, 9}));
    Add(Device("a", {10, 0, 0, 1}));
    EXPECT_FALSE(View().IsSortArrowShown());
    EXPECT_FALSE(View().IsSortedColumnShaded());
    EXPECT_TRUE(MarkedColumns().empty());
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"m", "z", "a"}));

    // A column click sorts and shows them again.
    ClickHeader(0);
    EXPECT_TRUE(View().IsSortArrowShown());
    EXPECT_TRUE(View().IsSortedColumnShaded());
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"a", "m", "z"}));

    // Back on: the next row is sorted into place.
    Frame().RouteCommand(ids::ID_VIEW_AUTOARRANGE);
    EXPECT_EQ(View().AutoArrange(), 1);
    Add(Device("b", {10, 0, 0, 7}));
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"a", "b", "m", "z"}));
}

TEST_F(DeviceViewTest, AutoArrangeStyleFollowsTheFlagFromTheSecondUseOn)
{
    CreateFrame();
    const auto hasStyle = [&] { return (View().Control().GetStyle() & LVS_AUTOARRANGE) != 0; };
    EXPECT_FALSE(hasStyle());
    View().OnViewAutoArrange();  // 1 -> 0: style removed (it was not there)
    EXPECT_FALSE(hasStyle());
    View().OnViewAutoArrange();  // 0 -> 1: style added
    EXPECT_TRUE(hasStyle());
    View().OnViewAutoArrange();
    EXPECT_FALSE(hasStyle());
}

TEST_F(DeviceViewTest, ListTypeCommandsChangeTheTypeAndTheCheckMarks)
{
    CreateFrame();
    Add(Device("b", {10, 0, 0, 2}));
    const auto checks = [&] {
        return std::array<bool, 3>{Frame().RouteCommandUI(ids::ID_VIEW_LARGEICON).checked,
                                   Frame().RouteCommandUI(ids::ID_VIEW_SMALLICON).checked,
                                   Frame().RouteCommandUI(ids::ID_VIEW_DETAILS).checked};
    };
    EXPECT_EQ(checks(), (std::array<bool, 3>{false, false, true}));
    for (const int id : {ids::ID_VIEW_LARGEICON, ids::ID_VIEW_SMALLICON, ids::ID_VIEW_DETAILS})
        EXPECT_TRUE(Frame().RouteCommandUI(id).enabled);

    EXPECT_TRUE(Frame().RouteCommand(ids::ID_VIEW_LARGEICON));
    EXPECT_EQ(View().ViewMode(), 0);
    EXPECT_EQ(View().Control().GetStyle() & LVS_TYPEMASK, LVS_ICON);
    EXPECT_EQ(checks(), (std::array<bool, 3>{true, false, false}));
    EXPECT_FALSE(View().IsSortArrowShown());
    EXPECT_FALSE(View().IsSortedColumnShaded());
    // Rows that come now stay at the end.
    Add(Device("a", {10, 0, 0, 1}));
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"b", "a"}));

    EXPECT_TRUE(Frame().RouteCommand(ids::ID_VIEW_SMALLICON));
    EXPECT_EQ(View().ViewMode(), 2);
    EXPECT_EQ(View().Control().GetStyle() & LVS_TYPEMASK, LVS_SMALLICON);
    EXPECT_EQ(checks(), (std::array<bool, 3>{false, true, false}));

    // Details: the sort policy runs at once.
    EXPECT_TRUE(Frame().RouteCommand(ids::ID_VIEW_DETAILS));
    EXPECT_EQ(View().ViewMode(), 1);
    EXPECT_EQ(View().Control().GetStyle() & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(checks(), (std::array<bool, 3>{false, false, true}));
    EXPECT_TRUE(View().IsSortArrowShown());
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"a", "b"}));

    // Not on any menu or toolbar.
    for (const int id : {ids::ID_VIEW_LARGEICON, ids::ID_VIEW_SMALLICON, ids::ID_VIEW_DETAILS})
        EXPECT_EQ(Frame().CommandAction(id), nullptr) << id;
}

// ---- Enabling and the context menu ------------------------------------------------------------

struct MenuSnapshot {
    QStringList texts;
    std::vector<bool> enabled;
    std::vector<bool> checked;
};

MenuSnapshot Snapshot(const QMenu& menu)
{
    MenuSnapshot snapshot;
    for (const QAction* action : menu.actions()) {
        snapshot.texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        snapshot.enabled.push_back(action->isEnabled());
        snapshot.checked.push_back(action->isChecked());
    }
    return snapshot;
}

TEST_F(DeviceViewTest, RightClickOnAnEmptyListShowsTheMenuWithTheDeviceItemsGreyed)
{
    CreateFrame();
    test::RunEventLoopFor(20);
    QMenu* shown = nullptr;
    MenuSnapshot seen;
    {
        ModalCloser closer(
            [&](QWidget* widget) {
                shown = qobject_cast<QMenu*>(widget);
                if (shown != nullptr)
                    seen = Snapshot(*shown);
            },
            ModalCloser::Kind::Popup);
        emit View().Control().DetailsView()->customContextMenuRequested(QPoint(20, 20));
        EXPECT_EQ(closer.Seen(), 1);
    }
    EXPECT_EQ(shown, View().ContextMenu());
    const QStringList texts = {QStringLiteral("Modify IP"),        QStringLiteral("Modify MAC"),
                               QStringLiteral("Web Browser"),      QStringLiteral("Soft Reset"),
                               QStringLiteral("Update Firmware "), QStringLiteral("-"),
                               QStringLiteral("&Auto Arrange"),    QStringLiteral("-"),
                               QStringLiteral("&Refresh")};
    EXPECT_EQ(seen.texts, texts);
    ASSERT_EQ(seen.enabled.size(), 9u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_FALSE(seen.enabled[i]) << i;
    EXPECT_TRUE(seen.enabled[6]);
    EXPECT_TRUE(seen.checked[6]);
    EXPECT_TRUE(seen.enabled[8]);
}

TEST_F(DeviceViewTest, ContextMenuItemsRouteLikeMenuBarCommands)
{
    CreateFrame();
    Add(Device("a", {10, 0, 0, 1}));
    m_device.TakeReceived();
    ModalCloser closer(
        [&](QWidget* widget) {
            if (auto* menu = qobject_cast<QMenu*>(widget))
                menu->actions().back()->trigger();  // Refresh
        },
        ModalCloser::Kind::Popup);
    emit View().Control().DetailsView()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_EQ(closer.Seen(), 1);
    EXPECT_EQ(View().GetItemCount(), 0) << "the list was emptied by Refresh";
    EXPECT_EQ(m_device.TakeReceived().size(), 1u) << "one new request";
}

TEST_F(DeviceViewTest, HeaderRightClickOpensTheColumnMenuNotTheRowMenu)
{
    CreateFrame();
    test::RunEventLoopFor(20);
    QStringList texts;
    ModalCloser closer(
        [&](QWidget* widget) {
            if (auto* menu = qobject_cast<QMenu*>(widget)) {
                EXPECT_NE(menu, View().ContextMenu());
                for (const QAction* action : menu->actions())
                    texts << action->text();
            }
        },
        ModalCloser::Kind::Popup);
    emit View().Control().Header()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_EQ(closer.Seen(), 1);
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("Device Name"), QStringLiteral("IP Address"), QStringLiteral("Subnet Mask"),
                           QStringLiteral("Gateway IP"), QStringLiteral("MAC"), QStringLiteral("Version")}));
}

TEST_F(DeviceViewTest, DeviceCommandsAreEnabledWhileRowsAreSelected)
{
    CreateFrame();
    for (const int id : kDeviceCommands)
        EXPECT_FALSE(Frame().RouteCommandUI(id).enabled) << id;
    EXPECT_TRUE(Frame().RouteCommandUI(ids::ID_REFRESH).enabled);
    EXPECT_TRUE(Frame().RouteCommandUI(ids::ID_VIEW_AUTOARRANGE).enabled);
    EXPECT_TRUE(Frame().RouteCommandUI(ids::ID_VIEW_AUTOARRANGE).checked);

    for (std::uint8_t n = 1; n <= 4; ++n)
        Add(Device("d", {10, 0, 0, n}));
    for (const int id : kDeviceCommands)
        EXPECT_FALSE(Frame().RouteCommandUI(id).enabled) << id;
    Select(1);
    Select(3);
    ASSERT_EQ(View().GetSelectedCount(), 2);
    for (const int id : kDeviceCommands) {
        const CommandUI ui = Frame().RouteCommandUI(id);
        EXPECT_TRUE(ui.enabled) << id;
        EXPECT_FALSE(ui.checked) << id;
    }
    // The menu shows the same.
    Frame().UpdateCommandStates();
    for (const int id : kDeviceCommands)
        EXPECT_TRUE(Frame().CommandAction(id)->isEnabled()) << id;
}

// ---- Keyboard and screen reader -----------------------------------------------------------------

// The first table a screen reader can see below `root` (hidden widgets are skipped).
QAccessibleInterface* FindTable(QAccessibleInterface* root, int depth = 0)
{
    if (root == nullptr || depth > 6 || root->state().invisible)
        return nullptr;
    if (root->tableInterface() != nullptr)
        return root;
    for (int i = 0; i < root->childCount(); ++i)
        if (QAccessibleInterface* found = FindTable(root->child(i), depth + 1))
            return found;
    return nullptr;
}

TEST_F(DeviceViewTest, RowsCellsAndHeadingsAreReachableThroughAccessibility)
{
    CreateFrame();
    Add(Device("Lab", {192, 168, 0, 7}));
    Add(Device("%d %s", {10, 0, 0, 1}, 32));
    test::RunEventLoopFor(50);  // the tree lays out its rows

    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(&View());
    ASSERT_NE(view, nullptr);
    QAccessibleInterface* table = FindTable(view);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->object(), View().Control().DetailsView());
    EXPECT_FALSE(table->text(QAccessible::Name).isEmpty()) << "the list has a name";
    QAccessibleTableInterface* cells = table->tableInterface();
    EXPECT_EQ(cells->columnCount(), 6);
    EXPECT_EQ(cells->rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 6; ++column) {
            QAccessibleInterface* cell = cells->cellAt(row, column);
            ASSERT_NE(cell, nullptr) << row << "," << column;
            EXPECT_EQ(cell->text(QAccessible::Name), View().GetItemText(row, column)) << row << "," << column;
        }
    }
    // The column headings come first among the table's children.
    const QStringList headings = {QStringLiteral("Device Name"), QStringLiteral("IP Address"),
                                  QStringLiteral("Subnet Mask"), QStringLiteral("Gateway IP"),
                                  QStringLiteral("MAC"),         QStringLiteral("Version")};
    for (int column = 0; column < 6; ++column) {
        QAccessibleInterface* header = table->child(column);
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->role(), QAccessible::ColumnHeader);
        EXPECT_EQ(header->text(QAccessible::Name), headings[column]);
    }
}

TEST_F(DeviceViewTest, ArrowKeysMoveTheSelection)
{
    CreateFrame();
    for (std::uint8_t n = 1; n <= 3; ++n)
        Add(Device("k", {10, 0, 0, n}));
    QTreeView* list = View().Control().DetailsView();
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    list->setFocus();
    View().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    test::RunEventLoopFor(20);

    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(View().GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(View().GetSelectedCount(), 1);
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(View().GetNextItem(-1, LVNI_SELECTED), 2);
    QTest::keyClick(list, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(View().GetSelectedCount(), 2);
    test::RunEventLoopFor(20);
    EXPECT_TRUE(Frame().CommandAction(ids::ID_MODIFY_IP)->isEnabled());
}

TEST_F(DeviceViewTest, MenuKeyOpensTheRowMenuNextToTheList)
{
    CreateFrame();
    Add(Device("k", {10, 0, 0, 1}));
    QTreeView* list = View().Control().DetailsView();
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    list->setFocus();
    View().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    test::RunEventLoopFor(20);
    QCursor::setPos(Frame().geometry().bottomRight() + QPoint(500, 500));  // the pointer is elsewhere

    QMenu* shown = nullptr;
    QPoint at;
    {
        ModalCloser closer(
            [&](QWidget* widget) {
                shown = qobject_cast<QMenu*>(widget);
                at = widget->pos();
            },
            ModalCloser::Kind::Popup);
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(10, 10),
                                list->viewport()->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(list->viewport(), &event);
        EXPECT_EQ(closer.Seen(), 1);
    }
    EXPECT_EQ(shown, View().ContextMenu());
    EXPECT_EQ(at, list->viewport()->mapToGlobal(QPoint(10, 10)));
    // With a row selected every item is enabled.
    for (QAction* action : View().ContextMenu()->actions()) {
        if (!action->isSeparator()) {
            EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
        }
    }
}

TEST_F(DeviceViewTest, CopyKeyDoesNothingInTheList)
{
    CreateFrame();
    Add(Device("secret", {10, 0, 0, 1}));
    View().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    test::RunEventLoopFor(20);
    QApplication::clipboard()->setText(QStringLiteral("untouched"));
    QTest::keyClick(View().Control().DetailsView(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("untouched"));
}

}  // namespace
}  // namespace vantor

namespace vantor {
namespace {

TEST_F(DeviceViewTest, ARowIdentityFollowsItsRowThroughSortsAndIsNeverGivenAgain)
{
    CreateFrame();
    Add(Device("B", {10, 0, 0, 9}));
    Add(Device("A", {10, 0, 0, 5}));
    Select(1);
    const std::vector<CDorvexView::RowId> selected = View().SelectedRowIds();
    ASSERT_EQ(selected.size(), 1u);
    Add(Device("C", {10, 0, 0, 1}));  // sorts in before it
    EXPECT_EQ(View().FindRow(selected[0]), 2);
    EXPECT_EQ(View().GetItemText(View().FindRow(selected[0]), 0), QStringLiteral("B"));

    // The list is emptied and the same device answers again: a new row, a new identity.
    Frame().RouteCommand(ids::ID_REFRESH);
    EXPECT_EQ(View().FindRow(selected[0]), -1);
    Add(Device("B", {10, 0, 0, 9}));
    EXPECT_NE(View().RowIdAt(0), selected[0]);
    EXPECT_EQ(View().FindRow(selected[0]), -1);
    EXPECT_EQ(View().FindRow(CDorvexView::kNoRow), -1);
}

}  // namespace
}  // namespace vantor
