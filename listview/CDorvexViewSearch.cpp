// The device view's side of the search cycle: starting searches, timers, replies and the online count.
#include "listview/CDorvexView.h"

#include "platform/IndicatorStatusBar.h"
#include "platform/ParentFrame.h"
#include "protocol/DeviceRow.h"
#include "resources/StringTable.h"

namespace vantor {
void CDorvexView::OnRefresh()
{
    if (!m_search)
        return;  // no window: nothing to search with
    DeleteAllItems();
    m_search->Start();
}

void CDorvexView::OnTimer(int timerId)
{
    if (m_search)
        m_search->OnTimer(timerId);
}

void CDorvexView::SetTimer(int timerId, int milliseconds)
{
    if (m_search)
        m_search->SetTimer(timerId, milliseconds);
}

void CDorvexView::KillTimer(int timerId)
{
    if (m_search)
        m_search->KillTimer(timerId);
}

bool CDorvexView::IsTimerRunning(int timerId) const
{
    return m_search && m_search->IsTimerRunning(timerId);
}

void CDorvexView::OnReply(const DEVICE_PACKET& reply)
{
    if (m_search)
        m_search->AcceptReply(reply);
    else
        AppendDeviceRow(reply);  // no search to count it (no window)
}

void CDorvexView::AddReplyRow(const DEVICE_PACKET& reply, int interfaceIndex)
{
    AppendDeviceRow(reply, interfaceIndex);
    ShowOnlineCount(m_search->Online());
}

void CDorvexView::ShowOnlineCount(int count)
{
    IndicatorStatusBar* statusBar = m_frame.StatusBar();
    if (statusBar == nullptr)
        return;
    // The pane is repainted with the rest of the window once the replies of this turn of the
    // event loop are in: the endpoint hands on replies a slice of at most a frame at a time,
    // so the count on screen is never more than a frame behind, and a burst does not paint the
    // window once per row.
    statusBar->SetPaneText(statusBar->CommandToIndex(ids::ID_INDICATOR_ONLINE),
                           LoadString(ids::IDS_ONLINE) + QString::asprintf(" : %d", count), false);
}

}  // namespace vantor
