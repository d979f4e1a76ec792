// Timings of the list control with 10,000 items of six columns, shown on the offscreen
// platform: insertion one by one, sorting, deleting, hiding and showing a column (delete and
// insert plus resending its cells), selecting item by item, and painting.

#include "platform/listcontrol/ListControl.h"

#include <QApplication>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace vantor::lc {
namespace {

constexpr int kColumns = 6;

std::unique_ptr<ListControl> MakeList()
{
    auto list = std::make_unique<ListControl>();
    list->resize(800, 600);
    list->SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    for (int c = 0; c < kColumns; ++c) {
        std::string text = "Column " + std::to_string(c);
        LVCOLUMNA column;
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = text.data();
        column.cx = 120;
        list->InsertColumn(c, column);
    }
    list->show();
    QCoreApplication::processEvents();
    return list;
}

void Fill(ListControl& list, int count)
{
    for (int i = 0; i < count; ++i) {
        std::string text = "10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256);
        LVITEMA item;
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = text.data();
        item.lParam = (i * 7919) % count;
        const int index = list.InsertItem(item);
        for (int c = 1; c < kColumns; ++c) {
            LVITEMA cell;
            cell.iSubItem = c;
            cell.pszText = text.data();
            list.SetItemText(index, cell);
        }
    }
}

int CompareData(LPARAM a, LPARAM b, LPARAM direction)
{
    const int result = a < b ? -1 : (a > b ? 1 : 0);
    return direction < 0 ? -result : result;
}

void BM_InsertOneByOne(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto list = MakeList();
        state.ResumeTiming();
        Fill(*list, count);
        QCoreApplication::processEvents();
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InsertOneByOne)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SortItems(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    auto list = MakeList();
    Fill(*list, count);
    list->SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    LPARAM direction = 1;
    for (auto _ : state) {
        list->SortItems(CompareData, direction);
        QCoreApplication::processEvents();
        direction = -direction;
    }
}
BENCHMARK(BM_SortItems)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_DeleteAllItems(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto list = MakeList();
        Fill(*list, count);
        state.ResumeTiming();
        list->DeleteAllItems();
        QCoreApplication::processEvents();
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteAllItems)->Arg(10000)->Unit(benchmark::kMillisecond);

// Item by item from the last to the first, as the list extension empties the control.
void BM_DeleteEachItem(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto list = MakeList();
        Fill(*list, count);
        state.ResumeTiming();
        for (int i = count - 1; i >= 0; --i)
            list->DeleteItem(i);
        QCoreApplication::processEvents();
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteEachItem)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_HideAndShowColumn(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    auto list = MakeList();
    Fill(*list, count);
    for (auto _ : state) {
        list->DeleteColumn(2);
        LVCOLUMNA column;
        column.mask = LVCF_WIDTH | LVCF_ORDER;
        column.cx = 120;
        column.iOrder = 2;
        list->InsertColumn(2, column);
        std::string text = "shown again";
        for (int i = count - 1; i >= 0; --i) {
            LVITEMA cell;
            cell.mask = LVIF_TEXT;
            cell.iItem = i;
            cell.iSubItem = 2;
            cell.pszText = text.data();
            list->SetItem(cell);
        }
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_HideAndShowColumn)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SelectEachItem(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    auto list = MakeList();
    Fill(*list, count);
    for (auto _ : state) {
        for (int i = 0; i < count; i += 2)
            list->SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
        QCoreApplication::processEvents();
        list->SetItemState(-1, 0, LVIS_SELECTED);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SelectEachItem)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_PaintVisibleRows(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    auto list = MakeList();
    Fill(*list, count);
    for (auto _ : state)
        benchmark::DoNotOptimize(list->grab());
}
BENCHMARK(BM_PaintVisibleRows)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantor::lc

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
