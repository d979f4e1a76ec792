// Paint time per frame of a 10,000-row CListViewEx while it scrolls, with the sorted column
// shaded and without. Each frame scrolls the list, lets it handle the events that causes and
// repaints the whole list area (erase, custom draw of every visible cell, grid lines). The
// two modes run in alternating blocks so drifts of the machine hit both alike; the figures
// are the medians of the blocks, in processor time of the painting thread (what a busy
// machine does not inflate) and in elapsed time. Run with QT_QPA_PLATFORM=offscreen (set when
// unset).

#include "listview/CListViewEx.h"
#include "platform/listcontrol/ImageList.h"
#include "platform/listcontrol/ListControl.h"

#include <QApplication>
#include <QPixmap>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <time.h>

namespace {

using namespace vantor;
using namespace vantor::lc;

constexpr int kItems = 10000;
constexpr int kColumns = 6;
constexpr int kBlocks = 12;
constexpr int kFramesPerBlock = 40;
constexpr double kBudget = 1.25;  // shading may cost at most a quarter more

char* In(const std::string& text)
{
    return const_cast<char*>(text.c_str());
}

// Six columns as the device list has them, grid lines, full-row selection, small icons, and
// a few selected rows; sorted on the second column.
std::unique_ptr<CListViewEx> MakeList(ImageList& icons)
{
    auto view = std::make_unique<CListViewEx>();
    view->resize(900, 600);
    view->SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    view->SetImageList(&icons, LVSIL_SMALL);
    for (int c = 0; c < kColumns; ++c) {
        const std::string heading = "Column " + std::to_string(c);
        LVCOLUMNA d;
        d.mask = LVCF_TEXT | LVCF_WIDTH;
        d.pszText = In(heading);
        d.cx = 170;  // wider than the window: the list also scrolls sideways
        view->InsertColumn(c, d);
    }
    for (int r = 0; r < kItems; ++r) {
        const std::string first = "device-" + std::to_string(r);
        LVITEMA item;
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = r;
        item.iImage = 1 + r % 2;
        item.pszText = In(first);
        view->InsertItem(item);
        for (int c = 1; c < kColumns; ++c) {
            const std::string text = "10.0." + std::to_string(r % 256) + "." + std::to_string(c);
            LVITEMA sub;
            sub.iSubItem = c;
            sub.pszText = In(text);
            view->SetItemText(r, sub);
        }
        if (r % 7 == 0) {
            view->SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    view->SetSortKey(2);
    view->ShowSortArrow(true);
    view->show();
    QApplication::processEvents();
    return view;
}

double Milliseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Sample {
    double cpu = 0;   // ms per frame, processor time of this thread
    double wall = 0;  // ms per frame, elapsed
};

// One block of frames.
Sample RunBlock(CListViewEx& view, QScrollBar& bar, int step)
{
    QWidget* viewport = view.Control().DetailsView()->viewport();
    const double cpuStart = Milliseconds(CLOCK_THREAD_CPUTIME_ID);
    const double wallStart = Milliseconds(CLOCK_MONOTONIC);
    for (int frame = 0; frame < kFramesPerBlock; ++frame) {
        int next = bar.value() + step;
        if (next > bar.maximum()) {
            next = bar.minimum();
        }
        bar.setValue(next);
        QApplication::processEvents();
        viewport->repaint();
    }
    return {(Milliseconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart) / kFramesPerBlock,
            (Milliseconds(CLOCK_MONOTONIC) - wallStart) / kFramesPerBlock};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Figures {
    Sample off;
    Sample on;
};

Figures Measure(CListViewEx& view, QScrollBar& bar, int step)
{
    std::vector<double> offCpu, offWall, onCpu, onWall;
    RunBlock(view, bar, step);  // warm-up: caches, fonts, first layouts
    for (int block = 0; block < kBlocks; ++block) {
        const bool shadedFirst = block % 2 == 1;
        for (const bool shaded : {shadedFirst, !shadedFirst}) {
            view.ShadeSortedColumn(shaded);
            QApplication::processEvents();
            const Sample sample = RunBlock(view, bar, step);
            (shaded ? onCpu : offCpu).push_back(sample.cpu);
            (shaded ? onWall : offWall).push_back(sample.wall);
        }
    }
    view.ShadeSortedColumn(false);
    return {{Median(offCpu), Median(offWall)}, {Median(onCpu), Median(onWall)}};
}

bool Report(const char* what, const Figures& figures)
{
    const double cpuRatio = figures.off.cpu > 0 ? figures.on.cpu / figures.off.cpu : 0;
    const double wallRatio = figures.off.wall > 0 ? figures.on.wall / figures.off.wall : 0;
    const bool within = cpuRatio <= kBudget;
    std::printf("%-26s processor: shading off %7.3f ms/frame, on %7.3f ms/frame, ratio %.3f (%s)\n", what,
                figures.off.cpu, figures.on.cpu, cpuRatio, within ? "within the 1.25 budget" : "OVER the 1.25 budget");
    std::printf("%-26s elapsed:   shading off %7.3f ms/frame, on %7.3f ms/frame, ratio %.3f\n", "", figures.off.wall,
                figures.on.wall, wallRatio);
    return within;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ImageList icons(QSize(16, 16));
    for (const QColor& colour : {QColor(Qt::gray), QColor(0, 160, 80), QColor(200, 60, 40)}) {
        QPixmap pixmap(16, 16);
        pixmap.fill(colour);
        icons.Add(pixmap);
    }
    std::unique_ptr<CListViewEx> view = MakeList(icons);
    QTreeView* tree = view->Control().DetailsView();
    std::printf("%d rows x %d columns, list area %dx%d, %d rows visible, %d frames per figure\n", kItems, kColumns,
                tree->viewport()->width(), tree->viewport()->height(),
                tree->viewport()->height() / std::max(1, view->Control().RowHeight()), kBlocks * kFramesPerBlock);
    bool within = Report("vertical scroll (7 rows)", Measure(*view, *tree->verticalScrollBar(), 7));
    within = Report("horizontal scroll (37 px)", Measure(*view, *tree->horizontalScrollBar(), 37)) && within;
    return within ? 0 : 1;
}
