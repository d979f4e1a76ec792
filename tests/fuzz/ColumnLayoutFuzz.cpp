// A saved column layout from the profile, applied by the list extension to the device list's six
// columns on the real control: any block is taken whole, ignored or refused, and the columns
// stay consistent afterwards (orders a permutation, the control showing exactly the visible
// columns in their order, the first column shown, the sort key on a column or none).
#include "listview/CListViewEx.h"
#include "listview/ColumnLayout.h"
#include "platform/listcontrol/ListControl.h"
#include "tests/fuzz/FuzzCheck.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace {

using namespace vantor;
using namespace vantor::lc;

constexpr int kColumns = 6;

QApplication& Application()
{
    static int argc = 1;
    static char name[] = "fuzzer";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);  // one for the whole run, as a program has
    return application;
}

void Fill(CListViewEx& view)
{
    view.SetExtendedStyle(0, LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    for (int c = 0; c < kColumns; ++c) {
        std::string heading = "C" + std::to_string(c);
        LVCOLUMNA d;
        d.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        d.pszText = heading.data();
        d.cx = 100 + c;
        d.iSubItem = c;
        FUZZ_CHECK(view.InsertColumn(c, d) == c);
        if (c > 0)
            view.AllowColumnHiding(c);
    }
    for (int r = 0; r < 3; ++r) {
        std::string text = "r" + std::to_string(r);
        LVITEMA item;
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = text.data();
        FUZZ_CHECK(view.InsertItem(item) == r);
    }
}

void CheckConsistent(const CListViewEx& view)
{
    std::vector<int> byOrder(kColumns, -1);
    int visible = 0;
    for (int c = 0; c < kColumns; ++c) {
        const int order = view.ColumnOrder(c);
        FUZZ_CHECK(order >= 0 && order < kColumns && byOrder[static_cast<std::size_t>(order)] == -1);
        byOrder[static_cast<std::size_t>(order)] = c;
        visible += view.IsColumnVisible(c) ? 1 : 0;
    }
    FUZZ_CHECK(view.IsColumnVisible(0));
    const int key = view.SortKey();
    FUZZ_CHECK(key >= -kColumns && key <= kColumns);
    // The header shows the visible columns, left to right in their logical order.
    QHeaderView* header = view.Control().Header();
    FUZZ_CHECK(header->count() == visible);
    std::vector<std::string> expected;
    for (const int c : byOrder)
        if (view.IsColumnVisible(c))
            expected.push_back("C" + std::to_string(c));
    for (int at = 0; at < header->count(); ++at) {
        const int section = header->logicalIndex(at);
        FUZZ_CHECK(header->model()->headerData(section, Qt::Horizontal).toString().toStdString() ==
                   expected[static_cast<std::size_t>(at)]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CListViewEx view;
    Fill(view);
    // The block may come after the list was changed by hand: the first byte hides a column.
    if (size > 0 && data[0] % 7 != 0)
        view.SetColumnVisible(data[0] % 7 - 1 == 0 ? 1 : data[0] % 7 - 1, false);
    const std::span<const std::uint8_t> block(data, size);
    const std::optional<ColumnLayout> layout = ColumnLayout::Parse(block, kColumns);
    const int keyBefore = view.SortKey();
    const bool accepted = view.ApplyColumnLayout(block);
    CheckConsistent(view);
    FUZZ_CHECK(accepted == (!layout || layout->Check() == ColumnLayout::Problem::None));
    if (layout && accepted) {
        FUZZ_CHECK(view.SortKey() == layout->sortKey);
        for (int c = 0; c < kColumns; ++c) {
            const ColumnLayout::Column& saved = layout->columns[static_cast<std::size_t>(c)];
            FUZZ_CHECK(view.ColumnOrder(c) == saved.order);
            if (c > 0)
                FUZZ_CHECK(view.IsColumnVisible(c) == saved.visible);
            if (view.IsColumnVisible(c))
                FUZZ_CHECK(view.GetColumnWidth(c) == (saved.width & 0xFFFF));
        }
    } else {
        FUZZ_CHECK(view.SortKey() == keyBefore);
    }
    return 0;
}
