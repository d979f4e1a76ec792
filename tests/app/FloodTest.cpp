// The real program under a flood on port 4000: 200,000 datagrams over about 10 s from a
// separate sender (distinct replies, repeats, wrong sizes, random bytes). It must end with one
// row per distinct 52-byte datagram. The longest time the window went without its event loop
// turning and the memory per row are printed, not asserted. Runs only inside the private
// network namespace of scripts/netns.
#include "app/CDorvexApp.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "platform/IndicatorStatusBar.h"
#include "resources/StringTable.h"
#include "tests/app/NetworkNamespace.h"
#include "tests/support/WaitUntil.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace vantor {
namespace {

// Resident memory of this process in bytes.
qint64 ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * 4096 : 0;
}

TEST(Flood, EveryDistinct52ByteDatagramBecomesOneRow)
{
    CDorvexApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    CDorvexView& view = *frame.View();
    test::RunEventLoopFor(200);
    const qint64 memoryBefore = ResidentBytes();

    // The longest gap between two turns of a 1 ms timer is the longest the window stood still.
    QElapsedTimer sinceTick;
    qint64 longestStallMs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    // And when the search ended (the endpoint closed), against when the sender was done.
    QElapsedTimer sinceStart;
    qint64 closedAtMs = -1;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestStallMs = std::max(longestStallMs, sinceTick.restart());
        if (closedAtMs < 0 && !view.Endpoint()->IsOpen())
            closedAtMs = sinceStart.elapsed();
    });
    sinceStart.start();
    sinceTick.start();
    ticker.start(1);

    QProcess sender;
    sender.setProgram(QStringLiteral(VANTOR_FLOOD_SENDER_PATH));
    sender.setArguments({QStringLiteral("--count"), QStringLiteral("200000"), QStringLiteral("--milliseconds"),
                         QStringLiteral("10000")});
    sender.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sender.start();
    ASSERT_TRUE(sender.waitForStarted(5000));
    ASSERT_TRUE(test::WaitUntil([&] { return sender.state() == QProcess::NotRunning; }, 120000));
    const QString summary = QString::fromLatin1(sender.readAllStandardOutput()).trimmed();
    std::printf("flood: sender done after %lld ms; search ended after %lld ms\n",
                static_cast<long long>(sinceStart.elapsed()), static_cast<long long>(closedAtMs));
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("distinct52=(\\d+) drops=(\\d+)")).match(summary);
    ASSERT_TRUE(match.hasMatch()) << summary.toStdString();
    const int distinct = match.captured(1).toInt();
    ASSERT_EQ(match.captured(2).toInt(), 0) << "the system dropped datagrams; the count below would mean nothing";

    EXPECT_TRUE(test::WaitUntil([&] { return view.Search()->Online() >= distinct; }, 60000));
    test::RunEventLoopFor(500);
    ticker.stop();
    EXPECT_EQ(view.GetItemCount(), distinct);
    EXPECT_EQ(view.Search()->Online(), distinct);
    const IndicatorStatusBar* bar = frame.StatusBar();
    EXPECT_EQ(bar->GetPaneText(bar->CommandToIndex(ids::ID_INDICATOR_ONLINE)),
              QStringLiteral("Online : %1").arg(distinct));

    const qint64 memoryAfter = ResidentBytes();
    std::printf("flood: %s; rows %d; longest stall %lld ms; memory per row %.0f bytes\n", qPrintable(summary),
                view.GetItemCount(), static_cast<long long>(longestStallMs),
                distinct > 0 ? static_cast<double>(memoryAfter - memoryBefore) / distinct : 0.0);
}

}  // namespace
}  // namespace vantor
