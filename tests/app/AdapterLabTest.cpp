// The window on a machine whose devices sit behind adapters of their own (tests/cli/two-adapter-lab:
// ea and eb, each leading to a namespace with a simulator), with and without a default route.
// Each case shapes this namespace's adapters with ip(8); it runs only inside the lab.
#include "app/CDorvexApp.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "platform/IndicatorStatusBar.h"
#include "resources/StringTable.h"
#include "tests/app/DialogScript.h"
#include "tests/support/WaitUntil.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace vantor {
namespace {

using test::WaitUntil;

bool Ip(const QString& arguments)
{
    QProcess ip;
    ip.start(QStringLiteral("ip"), arguments.split(QLatin1Char(' ')));
    return ip.waitForFinished(5000) && ip.exitStatus() == QProcess::NormalExit && ip.exitCode() == 0;
}

// What the devices of one LAN (log "A" or "B") received: discovery requests or commands.
QStringList Received(char lan, bool discovery)
{
    QFile file(qEnvironmentVariable(lan == 'A' ? "VANTOR_LAB_LOG_A" : "VANTOR_LAB_LOG_B"));
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("RX ") && line.contains(" discovery ") == discovery)
            lines << QString::fromUtf8(line);
    }
    return lines;
}

TEST(AdapterLab, DevicesBehindEachAdapterAreListedAndACommandStaysInItsLan)
{
    if (qEnvironmentVariableIsEmpty("VANTOR_LAB_LOG_B") || !Ip(QStringLiteral("link show eb")))
        GTEST_SKIP() << "runs only inside tests/cli/two-adapter-lab";
    struct Case {
        const char* what;
        QStringList ip;                   // shapes the adapters first
        std::map<QString, char> devices;  // listed device -> its LAN
        QString target;                   // soft-reset with its password
        const char* password;
    };
    const std::vector<Case> cases = {
        {"two adapters, default route on the first",
         {QStringLiteral("link set eb up"), QStringLiteral("route replace default dev ea")},
         {{QStringLiteral("Front-1"), 'A'},
          {QStringLiteral("Front-2"), 'A'},
          {QStringLiteral("Back-1"), 'B'},
          {QStringLiteral("Back-2"), 'B'}},
         QStringLiteral("Back-1"),
         "admin"},
        // A laptop cabled straight to the devices: ea only, no gateway.
        {"one adapter, no default route",
         {QStringLiteral("link del va"), QStringLiteral("link set eb down"), QStringLiteral("route del default")},
         {{QStringLiteral("Front-1"), 'A'}, {QStringLiteral("Front-2"), 'A'}},
         QStringLiteral("Front-1"),
         "secret"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& step : c.ip)
            Ip(step);
        const std::map<char, qsizetype> requestsBefore = {{'A', Received('A', true).size()},
                                                          {'B', Received('B', true).size()}};
        const std::map<char, qsizetype> commandsBefore = {{'A', Received('A', false).size()},
                                                          {'B', Received('B', false).size()}};
        {
            CDorvexApp app;
            ASSERT_TRUE(app.InitInstance());
            CMainFrame& frame = *app.MainFrame();
            CDorvexView& view = *frame.View();
            const auto everyDeviceListed = [&] {
                int known = 0;
                for (int row = 0; row < view.GetItemCount(); ++row)
                    known += static_cast<int>(c.devices.count(view.GetItemText(row, 0)));
                return known == static_cast<int>(c.devices.size()) && view.GetItemCount() == known;
            };
            ASSERT_TRUE(WaitUntil(everyDeviceListed, 5000)) << view.GetItemCount();
            IndicatorStatusBar* status = frame.StatusBar();
            EXPECT_EQ(status->GetPaneText(status->CommandToIndex(ids::ID_INDICATOR_ONLINE)),
                      QStringLiteral("Online : %1").arg(c.devices.size()));

            for (int row = 0; row < view.GetItemCount(); ++row)
                view.SetItemState(row, view.GetItemText(row, 0) == c.target ? lc::LVIS_SELECTED : 0, lc::LVIS_SELECTED);
            test::DialogScript script({test::DialogScript::Password(QString::fromLatin1(c.password))});
            frame.RouteCommand(ids::ID_SOFT_RESET);
            EXPECT_EQ(script.Answered(), 1);
            EXPECT_TRUE(WaitUntil([&] { return !view.IsTimerRunning(CDorvexView::kResearchTimer); }, 8000));
        }
        // The command reached its device's LAN only; each listed LAN got one request per search
        // (start-up and the re-search), the last perhaps still on its way into the log.
        const char lan = c.devices.at(c.target);
        const QStringList commands = Received(lan, false).mid(commandsBefore.at(lan));
        ASSERT_EQ(commands.size(), 1) << commands.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(commands[0].contains(QStringLiteral("soft-reset mac="))) << commands[0].toStdString();
        EXPECT_TRUE(commands[0].contains(QStringLiteral("result=applied"))) << commands[0].toStdString();
        const char other = lan == 'A' ? 'B' : 'A';
        EXPECT_EQ(Received(other, false).size(), commandsBefore.at(other)) << "the command went into the other LAN";
        for (const char searched : {'A', 'B'}) {
            const bool listed = std::any_of(c.devices.begin(), c.devices.end(),
                                            [&](const auto& device) { return device.second == searched; });
            if (!listed)
                continue;
            WaitUntil([&] { return Received(searched, true).size() >= requestsBefore.at(searched) + 2; }, 2000);
            test::RunEventLoopFor(200);
            EXPECT_EQ(Received(searched, true).size() - requestsBefore.at(searched), 2) << searched;
        }
    }
}

}  // namespace
}  // namespace vantor
