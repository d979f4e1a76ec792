// Renders a CListViewEx demo to PNG files for a look by eye: six device columns, one column
// hidden and one hidden then shown again through the header menu, a dragged column, the sort
// marker on the sorted column, and the header menu itself.

#include "listview/CListViewEx.h"
#include "platform/listcontrol/ListControl.h"
#include "resources/StringTable.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QMenu>

#include <gtest/gtest.h>

#include <cstring>

namespace vantor {
namespace {

using namespace vantor::lc;

struct Device {
    const char* fields[6];
};

const Device kDevices[] = {
    {{"Marven-200", "192.168.1.20", "255.255.255.0", "192.168.1.1", "00-1A-2B-3C-4D-01", "1.04"}},
    {{"Orvik-10", "192.168.1.100", "255.255.255.0", "192.168.1.1", "00-1A-2B-3C-4D-02", "2.10"}},
    {{"Unknown", "10.0.0.9", "255.0.0.0", "0.0.0.0", "00-1A-2B-3C-4D-03", "0.00"}},
    {{"Lab switch", "10.0.0.10", "255.0.0.0", "10.0.0.1", "00-1A-2B-3C-4D-04", "1.00"}},
    {{"Bench printer", "172.16.0.5", "255.255.0.0", "172.16.0.1", "00-1A-2B-3C-4D-05", "3.0A"}},
};

// Orders by the IP address text, as the device list does.
int CompareByAddress(LPARAM a, LPARAM b, LPARAM /*sortData*/)
{
    const auto* left = reinterpret_cast<const Device*>(a);
    const auto* right = reinterpret_cast<const Device*>(b);
    return std::strcmp(left->fields[1], right->fields[1]);
}

bool Save(QWidget& widget, const QString& name)
{
    const QString dir = QStringLiteral(VANTOR_SHOT_DIR);
    QDir().mkpath(dir);
    const QImage image = widget.grab().toImage();
    return !image.isNull() && image.save(dir + "/" + name);
}

TEST(ListViewExShot, RendersTheDemo)
{
    int argc = 1;
    char name[] = "listviewex_shot_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    CListViewEx view;
    view.resize(720, 200);
    view.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    const int headings[] = {ids::IDS_COL_DEVICE_NAME, ids::IDS_COL_IP_ADDRESS, ids::IDS_COL_SUBNET_MASK,
                            ids::IDS_COL_GATEWAY,     ids::IDS_COL_MAC,        ids::IDS_COL_VERSION};
    const int widths[] = {120, 120, 120, 120, 130, 95};
    for (int c = 0; c < 6; ++c) {
        const std::string heading(LoadStringUtf8(headings[c]).value_or("?"));
        LVCOLUMNA d;
        d.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        d.pszText = const_cast<char*>(heading.c_str());
        d.cx = widths[c];
        d.fmt = c == 5 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        ASSERT_EQ(view.InsertColumn(c, d), c);
        if (c > 0) {
            view.AllowColumnHiding(c);
        }
    }
    for (int r = 0; r < 5; ++r) {
        LVITEMA item;
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = r;
        item.pszText = const_cast<char*>(kDevices[r].fields[0]);
        item.lParam = reinterpret_cast<LPARAM>(&kDevices[r]);
        ASSERT_EQ(view.InsertItem(item), r);
        for (int c = 1; c < 6; ++c) {
            LVITEMA sub;
            sub.iSubItem = c;
            sub.pszText = const_cast<char*>(kDevices[r].fields[c]);
            ASSERT_TRUE(view.SetItemText(r, sub));
        }
    }
    view.show();

    // Subnet mask hidden for good, gateway hidden and shown again, both through the menu.
    view.CreateHeaderMenu()->actions().at(2)->trigger();
    view.CreateHeaderMenu()->actions().at(3)->trigger();
    view.CreateHeaderMenu()->actions().at(3)->trigger();
    ASSERT_FALSE(view.IsColumnVisible(2));
    ASSERT_TRUE(view.IsColumnVisible(3));
    // MAC dragged in front of the IP address.
    QHeaderView* header = view.Control().Header();
    header->moveSection(header->visualIndex(view.ToControlColumn(4)), 1);
    ASSERT_EQ(view.ColumnOrder(4), 1);

    view.SetSortKey(2);
    view.ShowSortArrow(true);
    ASSERT_TRUE(view.SortItems(&CompareByAddress, 0));
    QApplication::processEvents();
    EXPECT_TRUE(Save(view, "listviewex-demo.png"));

    // The header menu as the operator sees it.
    std::unique_ptr<QMenu> menu = view.CreateHeaderMenu();
    menu->adjustSize();
    EXPECT_TRUE(Save(*menu, "listviewex-header-menu.png"));

    // Descending after a second click on the sorted column.
    emit header->sectionClicked(view.ToControlColumn(1));
    ASSERT_EQ(view.SortKey(), -2);
    QApplication::processEvents();
    EXPECT_TRUE(Save(view, "listviewex-descending.png"));
}

}  // namespace
}  // namespace vantor
