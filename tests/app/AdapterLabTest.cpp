// The window on a machine whose devices sit behind adapters of their own (tests/cli/two-adapter-lab:
// ea and eb, each leading to a namespace with a simulator): with and without a default route.
// Each test shapes this namespace's adapters with ip(8); it runs only inside the lab.
#include "app/CDorvexApp.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "platform/IndicatorStatusBar.h"
#include "resources/StringTable.h"
#include "tests/app/DialogScript.h"
#include "tests/app/NetworkNamespace.h"
#include "tests/app/WaitUntil.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace vantor {
namespace {

using test::WaitUntil;

bool Ip(const QString& arguments)
{
    QProcess ip;
    ip.start(QStringLiteral("ip"), arguments.split(QLatin1Char(' ')));
    return ip.waitForFinished(5000) && ip.exitStatus() == QProcess::NormalExit && ip.exitCode() == 0;
}

// The simulator log lines of what a LAN's devices received, discovery requests or commands.
QStringList Received(const char* lab, bool discovery)
{
    QFile file(qEnvironmentVariable(lab));
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("RX ") && line.contains(" discovery ") == discovery)
            lines << QString::fromUtf8(line);
    }
    return lines;
}

std::set<QString> Names(const CDorvexView& view)
{
    std::set<QString> names;
    for (int row = 0; row < view.GetItemCount(); ++row)
        names.insert(view.GetItemText(row, 0));
    return names;
}

int RowNamed(const CDorvexView& view, const QString& name)
{
    for (int row = 0; row < view.GetItemCount(); ++row)
        if (view.GetItemText(row, 0) == name)
            return row;
    return -1;
}

class AdapterLab : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("VANTOR_LAB_LOG_B") || !Ip(QStringLiteral("link show eb")))
            GTEST_SKIP() << "runs only inside tests/cli/two-adapter-lab";
    }

    // Starts the window, waits for the expected devices, then soft-resets the named one.
    void ListThenReset(const std::set<QString>& expected, const QString& target, const QString& password)
    {
        CDorvexApp app;
        ASSERT_TRUE(app.InitInstance());
        CMainFrame& frame = *app.MainFrame();
        CDorvexView& view = *frame.View();
        ASSERT_TRUE(WaitUntil([&] { return Names(view) == expected; }, 5000)) << view.GetItemCount();
        const QString online = QStringLiteral("Online : %1").arg(expected.size());
        IndicatorStatusBar* status = frame.StatusBar();
        EXPECT_EQ(status->GetPaneText(status->CommandToIndex(ids::ID_INDICATOR_ONLINE)), online);

        const int row = RowNamed(view, target);
        ASSERT_GE(row, 0);
        view.SetItemState(row, lc::LVIS_SELECTED, lc::LVIS_SELECTED);
        test::DialogScript script({test::DialogScript::Password(password)});
        frame.RouteCommand(ids::ID_SOFT_RESET);
        EXPECT_EQ(script.Answered(), 1);
        EXPECT_TRUE(WaitUntil([&] { return !view.IsTimerRunning(CDorvexView::kResearchTimer); }, 8000));
    }
};

TEST_F(AdapterLab, TwoAdaptersListEveryDeviceAndACommandStaysInItsLan)
{
    ASSERT_TRUE(Ip(QStringLiteral("link set eb up")));
    ASSERT_TRUE(Ip(QStringLiteral("route replace default dev ea")));
    const qsizetype requestsA = Received("VANTOR_LAB_LOG_A", true).size();
    const qsizetype requestsB = Received("VANTOR_LAB_LOG_B", true).size();

    ListThenReset(
        {QStringLiteral("Front-1"), QStringLiteral("Front-2"), QStringLiteral("Back-1"), QStringLiteral("Back-2")},
        QStringLiteral("Back-1"), QStringLiteral("admin"));

    const QStringList commandsB = Received("VANTOR_LAB_LOG_B", false);
    ASSERT_EQ(commandsB.size(), 1) << commandsB.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(commandsB[0].contains(QStringLiteral("soft-reset mac=00-1A-2B-3C-4B-01")))
        << commandsB[0].toStdString();
    EXPECT_TRUE(commandsB[0].contains(QStringLiteral("result=applied"))) << commandsB[0].toStdString();
    EXPECT_TRUE(Received("VANTOR_LAB_LOG_A", false).isEmpty()) << "the command went into the other LAN too";
    // One request per search and LAN: the start-up search and the re-search after the command
    // (whose request may still be on its way into the log).
    const auto requests = [&] {
        return std::pair(Received("VANTOR_LAB_LOG_A", true).size() - requestsA,
                         Received("VANTOR_LAB_LOG_B", true).size() - requestsB);
    };
    WaitUntil([&] { return requests().first >= 2 && requests().second >= 2; }, 2000);
    test::RunEventLoopFor(200);
    EXPECT_EQ(requests(), (std::pair<qsizetype, qsizetype>(2, 2)));
}

TEST_F(AdapterLab, OneAdapterWithoutADefaultRouteStillFindsAndReachesItsDevices)
{
    // Only ea is left: no gateway, as on a laptop cabled straight to the devices.
    Ip(QStringLiteral("link del va"));
    ASSERT_TRUE(Ip(QStringLiteral("link set eb down")));
    Ip(QStringLiteral("route del default"));
    const qsizetype commandsA = Received("VANTOR_LAB_LOG_A", false).size();

    ListThenReset({QStringLiteral("Front-1"), QStringLiteral("Front-2")}, QStringLiteral("Front-1"),
                  QStringLiteral("secret"));

    const QStringList commands = Received("VANTOR_LAB_LOG_A", false).mid(commandsA);
    ASSERT_EQ(commands.size(), 1) << commands.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(commands[0].contains(QStringLiteral("soft-reset mac=00-1A-2B-3C-4A-01"))) << commands[0].toStdString();
    EXPECT_TRUE(commands[0].contains(QStringLiteral("result=applied"))) << commands[0].toStdString();
}

}  // namespace
}  // namespace vantor
