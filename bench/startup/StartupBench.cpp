// Start-up time of the program's main window against a bare QMainWindow, measured from the
// start of a child process to the moment its window is on screen (offscreen platform), several
// runs each, interleaved. Also the processor time the idle program takes. Prints figures only.
//
//   vantor_bench_startup [runs]          parent: runs the children and prints the figures
//   vantor_bench_startup --child frame   child: the real main frame (loopback endpoint)
//   vantor_bench_startup --child plain   child: an empty QMainWindow
//   vantor_bench_startup --child text    child: a QMainWindow showing one line of text (the
//                                        least a window needs to load the fonts)
//   vantor_bench_startup --child idle    child: the real main frame, then 3 s of idling
#include "app/CDorvexApp.h"
#include "app/CMainFrame.h"
#include "platform/FontPreload.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QMainWindow>
#include <QNetworkProxy>
#include <QProcess>
#include <QStatusBar>
#include <QTimer>
#include <QUdpSocket>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <vector>

namespace {

constexpr int kDefaultRuns = 7;
constexpr int kIdleMs = 3000;

// Lets the event loop run until the window is exposed; false if it never is.
bool WaitUntilExposed(QWidget& window)
{
    QElapsedTimer clock;
    clock.start();
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
        if (clock.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void ReportShown()
{
    std::printf("shown\n");
    std::fflush(stdout);
}

int RunChild(const QString& kind, int argc, char** argv)
{
    // The real frame starts as the program's main does: the font reading first.
    std::optional<vantor::FontPreload> fonts;
    if (kind == QLatin1String("frame") || kind == QLatin1String("idle"))
        fonts.emplace();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (kind == QLatin1String("plain") || kind == QLatin1String("text")) {
        QMainWindow window;
        if (kind == QLatin1String("text"))
            window.statusBar()->showMessage(QStringLiteral("Ready"));
        window.show();
        window.repaint();
        if (!WaitUntilExposed(window))
            return 1;
        ReportShown();
        return 0;
    }

    // The real frame, talking to a loopback socket of its own so that nothing is broadcast.
    QUdpSocket device;
    // The peer is the bench's, not the program's: it asks for no system proxy settings, so that
    // the figure holds only what the program itself does.
    device.setProxy(QNetworkProxy::NoProxy);
    device.bind(QHostAddress(QHostAddress::LocalHost), 0);
    vantor::EndpointAddresses addresses;
    addresses.bindAddress = QHostAddress(QHostAddress::LocalHost);
    addresses.localPort = 0;
    addresses.destination = QHostAddress(QHostAddress::LocalHost);
    addresses.devicePort = device.localPort();
    vantor::CDorvexApp app(addresses, {}, fonts ? &*fonts : nullptr);
    if (!app.InitInstance() || !WaitUntilExposed(*app.MainFrame()))
        return 1;
    ReportShown();
    if (kind != QLatin1String("idle"))
        return 0;

    const std::clock_t cpuBefore = std::clock();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(kIdleMs, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    std::printf("idle %.1f ms cpu in %lld ms\n", cpuMs, static_cast<long long>(wall.elapsed()));
    std::fflush(stdout);
    return 0;
}

// Milliseconds from starting the child to its "shown" line; negative on failure.
double TimeChild(const QString& program, const QString& kind)
{
    QProcess child;
    child.setProgram(program);
    child.setArguments({QStringLiteral("--child"), kind});
    child.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    child.start();
    while (child.state() != QProcess::NotRunning || child.bytesAvailable() > 0) {
        if (child.canReadLine()) {
            if (child.readLine().trimmed() == "shown") {
                const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
                child.waitForFinished(10000);
                return ms;
            }
            continue;
        }
        if (!child.waitForReadyRead(10000))
            break;
    }
    child.waitForFinished(10000);
    return -1.0;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

void PrintRuns(const char* name, const std::vector<double>& runs)
{
    std::printf("%-12s", name);
    for (const double ms : runs)
        std::printf(" %7.1f", ms);
    std::printf("   median %7.1f ms\n", Median(runs));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string_view(argv[1]) == "--child")
        return RunChild(QString::fromLocal8Bit(argv[2]), argc, argv);

    QCoreApplication application(argc, argv);
    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : kDefaultRuns;
    const QString self = QCoreApplication::applicationFilePath();

    // One unmeasured run of each warms the file cache.
    for (const char* kind : {"plain", "text", "frame"})
        TimeChild(self, QString::fromLatin1(kind));

    std::vector<double> plain;
    std::vector<double> text;
    std::vector<double> frame;
    for (int i = 0; i < runs; ++i) {
        plain.push_back(TimeChild(self, QStringLiteral("plain")));
        text.push_back(TimeChild(self, QStringLiteral("text")));
        frame.push_back(TimeChild(self, QStringLiteral("frame")));
    }
    std::printf("time from process start to a shown main window, %d runs each (ms):\n", runs);
    PrintRuns("QMainWindow", plain);
    PrintRuns("  with text", text);
    PrintRuns("CMainFrame", frame);
    const auto ratio = [](const std::vector<double>& a, const std::vector<double>& b) {
        return Median(b) > 0 ? Median(a) / Median(b) : 0.0;
    };
    std::printf("ratio CMainFrame / QMainWindow: %.2f (target: at most 1.5)\n", ratio(frame, plain));
    std::printf("ratio CMainFrame / QMainWindow with text: %.2f\n", ratio(frame, text));

    QProcess idle;
    idle.start(self, {QStringLiteral("--child"), QStringLiteral("idle")});
    idle.waitForFinished(kIdleMs + 15000);
    const QByteArray output = idle.readAllStandardOutput();
    for (const QByteArray& line : output.split('\n')) {
        if (line.startsWith("idle ")) {
            double cpuMs = 0;
            long long wallMs = 0;
            if (std::sscanf(line.constData(), "idle %lf ms cpu in %lld ms", &cpuMs, &wallMs) == 2 && wallMs > 0)
                std::printf("idle main frame: %.1f ms processor time in %lld ms (%.2f%%; target below 1%%)\n", cpuMs,
                            wallMs, 100.0 * cpuMs / static_cast<double>(wallMs));
        }
    }
    return 0;
}
