// The search cycle of the device view, driven on loopback ports: what goes out on the wire, the
// search window (timer 1), the re-search (timer 2), Refresh during a search and a port that
// cannot be opened.
#include "app/CDorvexDoc.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "platform/IndicatorStatusBar.h"
#include "resources/StringTable.h"
#include "tests/app/ModalCloser.h"
#include "tests/support/LoopbackDevice.h"
#include "tests/support/WaitUntil.h"

#include <QMessageBox>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <memory>

namespace vantor {
namespace {

using test::ExpectedDiscoveryRequest;
using test::LoopbackDevice;
using test::MakeReply;
using test::ModalCloser;

constexpr int kOnlinePane = ids::ID_INDICATOR_ONLINE;

class SearchCycleTest : public ::testing::Test {
protected:
    // Creates the frame and its view; the view's creation sends the first request.
    void CreateFrame()
    {
        m_addresses = test::LoopbackAddresses(m_device.Port());
        m_frame = std::make_unique<CMainFrame>(m_document, nullptr, m_addresses);
        ASSERT_EQ(m_frame->OnCreate(), 0);
        m_view = m_frame->View();
        ASSERT_NE(m_view, nullptr);
    }

    std::uint16_t ProgramPort() const { return m_addresses.localPort; }
    const DeviceSearch& Endpoint() const { return *m_view->Search(); }
    QString OnlinePaneText() const
    {
        const IndicatorStatusBar* bar = m_frame->StatusBar();
        return bar->GetPaneText(bar->CommandToIndex(kOnlinePane));
    }

    // Sends replies n = first..last from the device and waits until the list has that many
    // more rows than before.
    void Answer(std::uint8_t first, std::uint8_t last)
    {
        const int expected = m_view->GetItemCount() + (last - first + 1);
        for (int n = first; n <= last; ++n)
            m_device.Send(MakeReply(static_cast<std::uint8_t>(n)), ProgramPort());
        ASSERT_TRUE(test::WaitUntil([&] { return m_view->GetItemCount() >= expected; }));
        ASSERT_EQ(m_view->GetItemCount(), expected);
    }

    LoopbackDevice m_device;
    EndpointAddresses m_addresses;
    CDorvexDoc m_document;
    std::unique_ptr<CMainFrame> m_frame;
    CDorvexView* m_view = nullptr;
};

TEST_F(SearchCycleTest, CreationSendsExactlyOneDiscoveryRequestAndOpensTheSearchWindow)
{
    CreateFrame();
    const std::vector<QByteArray> received = m_device.TakeReceived();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].size(), 52);
    EXPECT_EQ(received[0], ExpectedDiscoveryRequest());
    EXPECT_TRUE(Endpoint().IsOpen());
    EXPECT_TRUE(m_view->IsTimerRunning(CDorvexView::kSearchWindowTimer));
    EXPECT_FALSE(m_view->IsTimerRunning(CDorvexView::kResearchTimer));
    EXPECT_EQ(m_view->GetItemCount(), 0);
    EXPECT_EQ(OnlinePaneText(), QStringLiteral("Online : 0"));
}

TEST_F(SearchCycleTest, EachNewReplyAddsARowAndCountsIt)
{
    CreateFrame();
    Answer(10, 12);
    EXPECT_EQ(Endpoint().Online(), 3);
    EXPECT_TRUE(Endpoint().Replied());
    EXPECT_EQ(OnlinePaneText(), QStringLiteral("Online : 3"));

    // Row texts in column order, as the operator reads them.
    const std::array<QString, 6> first = {
        QStringLiteral("Dev10"),       QStringLiteral("192.168.1.10"),      QStringLiteral("255.255.255.0"),
        QStringLiteral("192.168.1.1"), QStringLiteral("00-1A-2B-3C-4D-0A"), QStringLiteral("1.30")};
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(m_view->GetItemText(0, column), first[static_cast<std::size_t>(column)]) << "column " << column;
    EXPECT_EQ(m_view->GetItemText(2, 1), QStringLiteral("192.168.1.12"));
    const std::string expectedRecord = std::string("Dev10") + '\0' + "192.168.1.10" + '\0' + "255.255.255.0" + '\0' +
                                       "192.168.1.1" + '\0' + "00-1A-2B-3C-4D-0A" + '\0' + "1.30" + '\0';
    EXPECT_EQ(m_view->GetItemRecord(0), expectedRecord);
}

TEST_F(SearchCycleTest, SameReplyTwiceOnOneOpeningIsOneRow)
{
    CreateFrame();
    Answer(5, 5);
    m_device.Send(MakeReply(5), ProgramPort());
    Answer(6, 6);  // arrives after the repeat, so the repeat has been read by then
    EXPECT_EQ(m_view->GetItemCount(), 2);
    EXPECT_EQ(Endpoint().Online(), 2);
    EXPECT_EQ(m_view->GetItemText(0, 0), QStringLiteral("Dev5"));
    EXPECT_EQ(m_view->GetItemText(1, 0), QStringLiteral("Dev6"));

    // After a new opening the same reply is a row again.
    m_frame->RouteCommand(ids::ID_REFRESH);
    Answer(5, 5);
    EXPECT_EQ(m_view->GetItemCount(), 1);
}

TEST_F(SearchCycleTest, WindowWithANewRowIsFollowedByAnotherWindow)
{
    CreateFrame();
    Answer(1, 1);
    ASSERT_TRUE(Endpoint().Replied());

    m_view->OnTimer(CDorvexView::kSearchWindowTimer);

    EXPECT_FALSE(Endpoint().Replied());
    EXPECT_TRUE(Endpoint().IsOpen());
    EXPECT_TRUE(m_view->IsTimerRunning(CDorvexView::kSearchWindowTimer));
    // Still listening: another device is still taken.
    Answer(2, 2);
    EXPECT_EQ(OnlinePaneText(), QStringLiteral("Online : 2"));
}

TEST_F(SearchCycleTest, WindowWithoutANewRowEndsTheSearch)
{
    CreateFrame();
    Answer(1, 2);
    m_view->OnTimer(CDorvexView::kSearchWindowTimer);  // flag set: goes on, flag cleared
    m_view->OnTimer(CDorvexView::kSearchWindowTimer);  // nothing new: over

    EXPECT_FALSE(Endpoint().IsOpen());
    EXPECT_FALSE(m_view->IsTimerRunning(CDorvexView::kSearchWindowTimer));
    EXPECT_EQ(m_view->GetItemCount(), 2) << "the rows stay";

    // A late device is not heard any more.
    m_device.Send(MakeReply(3), ProgramPort());
    test::RunEventLoopFor(50);
    EXPECT_EQ(m_view->GetItemCount(), 2);
    EXPECT_EQ(Endpoint().Online(), 2);
    EXPECT_TRUE(m_device.TakeReceived().size() == 1) << "only the request of the search went out";
}

TEST_F(SearchCycleTest, DuplicateReplyDoesNotExtendTheSearch)
{
    CreateFrame();
    Answer(1, 1);
    m_view->OnTimer(CDorvexView::kSearchWindowTimer);  // clears the flag
    m_device.Send(MakeReply(1), ProgramPort());        // the same device again
    Answer(2, 2);                                      // proves the duplicate was read before
    m_view->OnTimer(CDorvexView::kSearchWindowTimer);  // the row of device 2 keeps it open
    EXPECT_TRUE(Endpoint().IsOpen());
    m_device.Send(MakeReply(2), ProgramPort());
    m_device.Send(MakeReply(1), ProgramPort());
    test::RunEventLoopFor(50);
    m_view->OnTimer(CDorvexView::kSearchWindowTimer);
    EXPECT_FALSE(Endpoint().IsOpen());
    EXPECT_EQ(m_view->GetItemCount(), 2);
}

TEST_F(SearchCycleTest, SearchWindowTimerEventReachesTheHandler)
{
    CreateFrame();
    // A short window stands in for the 5 s one; its expiry must go through OnTimer(1).
    m_view->SetTimer(CDorvexView::kSearchWindowTimer, 10);
    ASSERT_TRUE(test::WaitUntil([&] { return !Endpoint().IsOpen(); }));
    EXPECT_FALSE(m_view->IsTimerRunning(CDorvexView::kSearchWindowTimer));
}

TEST_F(SearchCycleTest, ReSearchTimerRunsOneSearchAndStops)
{
    CreateFrame();
    Answer(1, 2);
    m_view->OnTimer(CDorvexView::kSearchWindowTimer);
    m_view->OnTimer(CDorvexView::kSearchWindowTimer);
    ASSERT_FALSE(Endpoint().IsOpen());
    m_device.TakeReceived();

    m_view->SetTimer(CDorvexView::kResearchTimer, 2000);
    m_view->OnTimer(CDorvexView::kResearchTimer);

    EXPECT_FALSE(m_view->IsTimerRunning(CDorvexView::kResearchTimer));
    EXPECT_TRUE(m_view->IsTimerRunning(CDorvexView::kSearchWindowTimer));
    EXPECT_TRUE(Endpoint().IsOpen());
    EXPECT_EQ(m_view->GetItemCount(), 0);
    EXPECT_EQ(Endpoint().Online(), 0);
    const std::vector<QByteArray> received = m_device.TakeReceived();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], ExpectedDiscoveryRequest());
}

TEST_F(SearchCycleTest, ReSearchTimerEventReachesTheHandler)
{
    CreateFrame();
    m_device.TakeReceived();
    m_view->SetTimer(CDorvexView::kResearchTimer, 10);
    ASSERT_TRUE(test::WaitUntil([&] { return !m_view->IsTimerRunning(CDorvexView::kResearchTimer); }));
    EXPECT_EQ(m_device.TakeReceived().size(), 1u);
}

TEST_F(SearchCycleTest, RefreshDuringASearchEmptiesTheListAndStartsAgain)
{
    CreateFrame();
    Answer(1, 3);
    m_device.TakeReceived();

    EXPECT_TRUE(m_frame->RouteCommand(ids::ID_REFRESH));

    EXPECT_EQ(m_view->GetItemCount(), 0);
    EXPECT_EQ(Endpoint().Online(), 0);
    EXPECT_TRUE(Endpoint().IsOpen());
    EXPECT_TRUE(m_view->IsTimerRunning(CDorvexView::kSearchWindowTimer));
    // The flag of the previous search stays: this search gets a second window for sure.
    EXPECT_TRUE(Endpoint().Replied());
    // The pane keeps the old count until the first new row.
    EXPECT_EQ(OnlinePaneText(), QStringLiteral("Online : 3"));
    const std::vector<QByteArray> received = m_device.TakeReceived();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], ExpectedDiscoveryRequest());

    // The same devices answer the new request: new rows, counted from 0.
    Answer(1, 1);
    EXPECT_EQ(OnlinePaneText(), QStringLiteral("Online : 1"));
}

TEST_F(SearchCycleTest, OtherTimerIdsDoNothing)
{
    CreateFrame();
    Answer(1, 1);
    m_device.TakeReceived();
    for (const int id : {0, 3, 42, -1})
        m_view->OnTimer(id);
    EXPECT_TRUE(Endpoint().IsOpen());
    EXPECT_TRUE(Endpoint().Replied());
    EXPECT_EQ(m_view->GetItemCount(), 1);
    EXPECT_TRUE(m_device.TakeReceived().empty());
}

TEST_F(SearchCycleTest, DestroyEmptiesTheListAndReleasesTheEndpoint)
{
    CreateFrame();
    Answer(1, 2);
    m_view->SetTimer(CDorvexView::kResearchTimer, 2000);
    m_view->OnDestroy();
    EXPECT_EQ(m_view->GetItemCount(), 0);
    EXPECT_EQ(m_view->Endpoint(), nullptr);
    EXPECT_FALSE(m_view->IsTimerRunning(CDorvexView::kSearchWindowTimer));
    EXPECT_FALSE(m_view->IsTimerRunning(CDorvexView::kResearchTimer));
    // The port is free again.
    QUdpSocket other;
    EXPECT_TRUE(other.bind(QHostAddress(QHostAddress::LocalHost), ProgramPort(), QUdpSocket::DontShareAddress));
    // A command arriving after that finds no window and does nothing.
    m_device.TakeReceived();
    m_frame->RouteCommand(ids::ID_REFRESH);
    EXPECT_TRUE(m_device.TakeReceived().empty());
}

TEST_F(SearchCycleTest, PortHeldByAnotherSocketShowsTheFailureAndSendsNothing)
{
    m_addresses = test::LoopbackAddresses(m_device.Port());
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(m_addresses.bindAddress, m_addresses.localPort, QUdpSocket::DontShareAddress));

    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    {
        ModalCloser closer([&](QWidget* widget) {
            if (auto* box = qobject_cast<QMessageBox*>(widget)) {
                caption = box->windowTitle();
                text = box->text();
                icon = box->icon();
            }
        });
        m_frame = std::make_unique<CMainFrame>(m_document, nullptr, m_addresses);
        ASSERT_EQ(m_frame->OnCreate(), 0);
        m_view = m_frame->View();
        EXPECT_EQ(closer.Seen(), 1);
    }
    // The message names the program's port whatever port a test injected.
    EXPECT_EQ(text, QStringLiteral("Socket port '4000' Open fail ！"));
    EXPECT_EQ(caption, QStringLiteral("Dorvex"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_TRUE(m_device.TakeReceived().empty());
    EXPECT_FALSE(Endpoint().IsOpen());
    EXPECT_FALSE(m_view->IsTimerRunning(CDorvexView::kSearchWindowTimer));
    EXPECT_EQ(m_view->GetItemCount(), 0);

    // Still held: Refresh fails the same way.
    {
        ModalCloser closer(nullptr);
        m_frame->RouteCommand(ids::ID_REFRESH);
        EXPECT_EQ(closer.Seen(), 1);
    }
    EXPECT_TRUE(m_device.TakeReceived().empty());

    // Once the port is free, Refresh works.
    holder.close();
    m_frame->RouteCommand(ids::ID_REFRESH);
    EXPECT_TRUE(Endpoint().IsOpen());
    EXPECT_TRUE(m_view->IsTimerRunning(CDorvexView::kSearchWindowTimer));
    const std::vector<QByteArray> received = m_device.TakeReceived();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], ExpectedDiscoveryRequest());
}

}  // namespace
}  // namespace vantor
