// One whole run of the program as an operator makes it, for the sanitizer build's leak check:
// start, a search that lists the simulator's devices, a device command, Refresh, and closing
// the window the way the program ends. Whatever the run left allocated is reported when the
// process exits (leak detection on, tests/sanitizer/lsan.supp for what the libraries keep).
// Runs only inside the private network namespace of scripts/netns.
#include "app/CDorvexApp.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "resources/StringTable.h"
#include "tests/app/DialogScript.h"
#include "tests/app/NetworkNamespace.h"
#include "tests/app/SimulatorProcess.h"
#include "tests/support/WaitUntil.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>

namespace vantor {
namespace {

using test::WaitUntil;

TEST(WholeRun, StartSearchCommandRefreshClose)
{
    test::SimulatorProcess simulator({QStringLiteral("--reboot-seconds"), QStringLiteral("1")});
    ASSERT_TRUE(simulator.WaitReady()) << simulator.LogText().toStdString();

    CDorvexApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    CDorvexView& view = *frame.View();
    ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() == 8; }, 10000)) << view.GetItemCount();

    view.SetItemState(0, lc::LVIS_SELECTED, lc::LVIS_SELECTED);
    test::DialogScript script({test::DialogScript::Password(QString())});
    frame.RouteCommand(ids::ID_SOFT_RESET);
    EXPECT_EQ(script.Answered(), 1);
    EXPECT_EQ(view.GetItemCount(), 0);
    ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() == 8; }, 15000)) << view.GetItemCount();

    frame.RouteCommand(ids::ID_REFRESH);
    ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() == 8; }, 10000)) << view.GetItemCount();

    // Exit from the File menu while the event loop runs, as the program's main runs it.
    QTimer::singleShot(0, &frame, [&frame] { frame.RouteCommand(ids::ID_APP_EXIT); });
    EXPECT_EQ(app.Run(), 0);
}

}  // namespace
}  // namespace vantor
