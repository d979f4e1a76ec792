// The network going away under the program: the namespace's only outside interface is removed
// in the middle of a search and in the middle of a command. Nothing crashes, the search ends as
// it does when no device answers, a search with no adapter to send through tells the operator so
// once, and once the interface is back a Refresh lists the devices again. Runs only inside the
// private network namespace of scripts/netns.
#include "app/CDorvexApp.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "listview/NetworkMessages.h"
#include "resources/StringTable.h"
#include "tests/app/DialogScript.h"
#include "tests/app/ModalCloser.h"
#include "tests/app/NetworkNamespace.h"
#include "tests/app/SimulatorProcess.h"
#include "tests/support/WaitUntil.h"

#include <QApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <cstdio>

namespace vantor {
namespace {

using test::WaitUntil;

// Whatever a test did to the interface, the next one starts with it in place.
class NetworkFault : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (m_removed) {
            EXPECT_TRUE(test::RestoreNetwork());
        }
    }
    void Remove()
    {
        ASSERT_TRUE(test::RemoveNetwork());
        m_removed = true;
    }
    void Restore()
    {
        ASSERT_TRUE(test::RestoreNetwork());
        m_removed = false;
    }

    // The endpoint closes once a search window passes without a new row.
    static bool SearchEnds(const CDorvexView& view)
    {
        return WaitUntil([&] { return !view.Endpoint()->IsOpen(); }, 16000) &&
               !view.IsTimerRunning(CDorvexView::kSearchWindowTimer);
    }

    // Closes each message box that opens meanwhile and checks it is the no-adapter message.
    static test::ModalCloser NoAdapterMessages()
    {
        return test::ModalCloser([](QWidget* widget) {
            const auto* box = qobject_cast<QMessageBox*>(widget);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), QString::fromUtf8(kNoNetworkAdapterText));
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Dorvex"));
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
        });
    }

    bool m_removed = false;
};

TEST_F(NetworkFault, InterfaceRemovedMidSearch)
{
    QTemporaryDir dir;
    test::SimulatorProcess simulator(
        {QStringLiteral("--devices"),
         test::WriteDeviceFile(dir, "name=Early model=31 ip=10.77.0.21 mac=00-1A-2B-00-00-21 delay=0\n"
                                    "name=Late model=32 ip=10.77.0.22 mac=00-1A-2B-00-00-22 delay=2500\n")});
    ASSERT_TRUE(simulator.WaitReady()) << simulator.LogText().toStdString();
    CDorvexApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    CDorvexView& view = *frame.View();
    ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() == 1; }, 2000));

    // The late device's answer has nowhere to go; the search runs out.
    Remove();
    EXPECT_TRUE(SearchEnds(view));
    EXPECT_EQ(view.GetItemCount(), 1);
    // A Refresh without a network has no adapter to send through: the operator is told once,
    // and the search is over at once.
    {
        test::ModalCloser messages = NoAdapterMessages();
        frame.RouteCommand(ids::ID_REFRESH);
        EXPECT_EQ(messages.Seen(), 1);
        EXPECT_EQ(view.GetItemCount(), 0);
        EXPECT_FALSE(view.Endpoint()->IsOpen());
        EXPECT_FALSE(view.IsTimerRunning(CDorvexView::kSearchWindowTimer));
        test::RunEventLoopFor(300);
        EXPECT_EQ(messages.Seen(), 1);
    }

    Restore();
    frame.RouteCommand(ids::ID_REFRESH);
    EXPECT_TRUE(WaitUntil([&] { return view.GetItemCount() == 2; }, 5000)) << view.GetItemCount();
    EXPECT_TRUE(simulator.Running());
}

// Modify IP sends three datagrams, each after its own password prompt; the interface goes
// away while the second prompt is open.
TEST_F(NetworkFault, InterfaceRemovedMidCommand)
{
    QTemporaryDir dir;
    test::SimulatorProcess simulator(
        {QStringLiteral("--devices"),
         test::WriteDeviceFile(dir, "name=Target model=31 ip=10.77.0.50 mac=00-1A-2B-3C-4D-50 password=pw\n"),
         QStringLiteral("--reboot-seconds"), QStringLiteral("1")});
    ASSERT_TRUE(simulator.WaitReady()) << simulator.LogText().toStdString();
    CDorvexApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    CDorvexView& view = *frame.View();
    ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() == 1; }, 5000));
    view.SetItemState(0, lc::LVIS_SELECTED, lc::LVIS_SELECTED);

    using Script = test::DialogScript;
    Script script({Script::Addresses(0x0A4D0033, 0xFFFF0000, 0x0A4D00FE), Script::Password(QStringLiteral("pw")),
                   [this](QDialog& dialog) {
                       Remove();
                       Script::Password(QStringLiteral("pw"))(dialog);
                   },
                   Script::Password(QStringLiteral("pw"))});
    frame.RouteCommand(ids::ID_MODIFY_IP);
    EXPECT_EQ(script.Answered(), 4);
    EXPECT_EQ(view.GetItemCount(), 0);
    // The re-search after the command finds no network, says so once and ends.
    {
        test::ModalCloser messages = NoAdapterMessages();
        EXPECT_TRUE(WaitUntil([&] { return !view.IsTimerRunning(CDorvexView::kResearchTimer); }, 5000));
        EXPECT_TRUE(SearchEnds(view));
        EXPECT_EQ(messages.Seen(), 1);
    }
    EXPECT_EQ(view.GetItemCount(), 0);

    Restore();
    frame.RouteCommand(ids::ID_REFRESH);
    ASSERT_TRUE(WaitUntil([&] { return view.GetItemCount() == 1; }, 5000));
    // The first datagram went out before the interface went: the device took the new address.
    EXPECT_EQ(view.GetItemText(0, 1), QStringLiteral("10.77.0.51"));
}

}  // namespace
}  // namespace vantor
