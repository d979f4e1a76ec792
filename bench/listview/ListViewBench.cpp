// The extended list control at scale: 10,000 items x 6 columns in a shown CListViewEx on the
// offscreen platform. Each figure includes the event processing (layout and painting) the
// operation causes.

#include "listview/CListViewEx.h"
#include "platform/listcontrol/ListControl.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace vantor;
using namespace vantor::lc;

constexpr int kItems = 10000;
constexpr int kColumns = 6;

char* In(const std::string& text)
{
    return const_cast<char*>(text.c_str());
}

std::unique_ptr<CListViewEx> MakeView()
{
    auto view = std::make_unique<CListViewEx>();
    view->resize(900, 600);
    view->SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    for (int c = 0; c < kColumns; ++c) {
        const std::string heading = "Column " + std::to_string(c);
        LVCOLUMNA d;
        d.mask = LVCF_TEXT | LVCF_WIDTH;
        d.pszText = In(heading);
        d.cx = 120;
        view->InsertColumn(c, d);
        if (c > 0) {
            view->AllowColumnHiding(c);
        }
    }
    view->show();
    QApplication::processEvents();
    return view;
}

void Fill(CListViewEx& view)
{
    for (int r = 0; r < kItems; ++r) {
        // Item data runs backwards so a sort has work to do.
        const std::string first = "device-" + std::to_string(r);
        LVITEMA item;
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = r;
        item.pszText = In(first);
        item.lParam = kItems - r;
        view.InsertItem(item);
        for (int c = 1; c < kColumns; ++c) {
            const std::string text = "10.0." + std::to_string(r % 256) + "." + std::to_string(c);
            LVITEMA sub;
            sub.iSubItem = c;
            sub.pszText = In(text);
            view.SetItemText(r, sub);
        }
    }
    QApplication::processEvents();
}

int CompareItemData(LPARAM a, LPARAM b, LPARAM direction)
{
    const int order = a < b ? -1 : (a > b ? 1 : 0);
    return direction >= 0 ? order : -order;
}

void BM_HideColumn(benchmark::State& state)
{
    auto view = MakeView();
    Fill(*view);
    for (auto _ : state) {
        view->SetColumnVisible(2, false);
        QApplication::processEvents();
        state.PauseTiming();
        view->SetColumnVisible(2, true);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_HideColumn)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ShowColumn(benchmark::State& state)
{
    auto view = MakeView();
    Fill(*view);
    for (auto _ : state) {
        state.PauseTiming();
        view->SetColumnVisible(2, false);
        QApplication::processEvents();
        state.ResumeTiming();
        view->SetColumnVisible(2, true);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ShowColumn)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_FullSort(benchmark::State& state)
{
    auto view = MakeView();
    Fill(*view);
    LPARAM direction = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(view->SortItems(&CompareItemData, direction));
        QApplication::processEvents();
        direction = -direction;  // every sort reverses the whole list
    }
}
BENCHMARK(BM_FullSort)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_DeleteAllItems(benchmark::State& state)
{
    auto view = MakeView();
    for (auto _ : state) {
        state.PauseTiming();
        Fill(*view);
        state.ResumeTiming();
        benchmark::DoNotOptimize(view->DeleteAllItems());
        QApplication::processEvents();
    }
}
BENCHMARK(BM_DeleteAllItems)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
