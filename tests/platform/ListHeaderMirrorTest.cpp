// Column widths and the display order are kept twice, in the control's columns and in the
// header's sections. Every header operation, the control's or the user's, must leave the two
// copies equal.

#include "ListFixtures.h"

#include "platform/listcontrol/ListControl.h"

#include <QCoreApplication>
#include <QHeaderView>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace vantor::lc {
namespace {

using test::AddColumns;
using test::AddItem;
using test::OrderOf;

void ExpectHeaderMirrorsColumns(const ListControl& list, const std::string& step)
{
    const QHeaderView* header = list.Header();
    ASSERT_EQ(header->count(), list.GetColumnCount()) << step;
    const std::vector<int> order = OrderOf(list);
    for (int i = 0; i < list.GetColumnCount(); ++i) {
        EXPECT_EQ(header->sectionSize(i), list.GetColumnWidth(i)) << step << ": width of column " << i;
        EXPECT_EQ(header->logicalIndex(i), order[static_cast<std::size_t>(i)]) << step << ": display position " << i;
    }
}

LVCOLUMNA ColumnOf(unsigned mask, int width, int order = 0)
{
    LVCOLUMNA column;
    column.mask = mask;
    column.cx = width;
    column.iOrder = order;
    return column;
}

TEST(ListHeaderMirror, EveryHeaderOperationLeavesSectionsEqualToColumns)
{
    ListControl list;
    list.resize(420, 240);
    list.SetExtendedStyle(0, LVS_EX_HEADERDRAGDROP);
    AddColumns(list, 4, 90);
    for (int i = 0; i < 3; ++i)
        AddItem(list, i, "item " + std::to_string(i));
    list.show();
    QCoreApplication::processEvents();

    struct Step {
        const char* name;
        std::function<void(ListControl&)> apply;
    };
    const std::vector<Step> steps = {
        {"insert first", [](ListControl& l) { l.InsertColumn(0, ColumnOf(LVCF_WIDTH, 55)); }},
        {"insert at a display position",
         [](ListControl& l) { l.InsertColumn(3, ColumnOf(LVCF_WIDTH | LVCF_ORDER, 66, 1)); }},
        {"insert without a width", [](ListControl& l) { l.InsertColumn(l.GetColumnCount(), ColumnOf(0, 0)); }},
        {"insert with a negative width", [](ListControl& l) { l.InsertColumn(2, ColumnOf(LVCF_WIDTH, -7)); }},
        {"delete a middle column", [](ListControl& l) { l.DeleteColumn(3); }},
        {"set a width", [](ListControl& l) { l.SetColumnWidth(1, 123); }},
        {"auto-size a width", [](ListControl& l) { l.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER); }},
        {"set width and order through SetColumn",
         [](ListControl& l) { l.SetColumn(2, ColumnOf(LVCF_WIDTH | LVCF_ORDER, 44, 0)); }},
        {"set an order array",
         [](ListControl& l) {
             std::vector<int> order = OrderOf(l);
             std::reverse(order.begin(), order.end());
             l.SetColumnOrderArray(order);
         }},
        {"set width and order through SetHeaderItem",
         [](ListControl& l) {
             HDITEMA item;
             item.mask = HDI_WIDTH | HDI_ORDER;
             item.cxy = 77;
             item.iOrder = l.GetColumnCount() - 1;
             l.SetHeaderItem(0, item);
         }},
        {"user drags a section", [](ListControl& l) { l.Header()->moveSection(0, 2); }},
        {"user resizes a section", [](ListControl& l) { l.Header()->resizeSection(1, 40); }},
        {"delete the first column", [](ListControl& l) { l.DeleteColumn(0); }},
    };
    ExpectHeaderMirrorsColumns(list, "start");
    for (const Step& step : steps) {
        step.apply(list);
        ExpectHeaderMirrorsColumns(list, step.name);
    }
}

}  // namespace
}  // namespace vantor::lc
