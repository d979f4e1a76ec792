#include "protocol/DeviceSearch.h"

#include <QTimerEvent>

#include <algorithm>
#include <utility>

namespace vantor {

DeviceSearch::DeviceSearch(Handlers handlers, EndpointAddresses addresses, QObject* parent)
    : QObject(parent)
    , m_handlers(std::move(handlers))
    , m_socket(std::make_unique<CListSocket>(
          [this](const DEVICE_PACKET& reply, int interfaceIndex) { AcceptReply(reply, interfaceIndex); },
          std::move(addresses)))
{
    if (m_handlers.replyFrom)
        m_socket->SetOriginReplyHandler(
            [this](const DEVICE_PACKET& reply, const ReplyOrigin& origin) { AcceptReply(reply, origin); });
}

DeviceSearch::~DeviceSearch() = default;

bool DeviceSearch::Start()
{
    KillTimer(kSearchWindowTimer);
    m_socket->Close();
    m_online = 0;
    m_closeWhenCommandsEnd = false;
    if (!m_socket->Create()) {
        if (m_handlers.portOpenFailed)
            m_handlers.portOpenFailed();
        return false;
    }
    m_socket->EnableBroadcast();
    if (m_handlers.sendDiscovery) {
        m_handlers.sendDiscovery(*m_socket);
    } else if (!SendDiscovery()) {
        // Nothing can answer a request that never left: end the search now rather than
        // listen for a window, and say why the list stays empty.
        EndSearch();
        if (m_handlers.noInterface)
            m_handlers.noInterface();
        return true;
    }
    SetTimer(kSearchWindowTimer, m_searchWindowMs);
    return true;
}

bool DeviceSearch::SendDiscovery()
{
    const DEVICE_PACKET request = DEVICE_PACKET::Discovery();
    if (!m_socket->SendsToLimitedBroadcast()) {
        m_send(request, 0);
        return true;
    }
    bool sent = false;
    for (const int index : BroadcastInterfaceIndexes(m_interfaces()))
        sent = m_send(request, index) || sent;
    return sent;
}

bool DeviceSearch::SendThroughEndpoint(const DEVICE_PACKET& packet, int interfaceIndex)
{
    if (interfaceIndex > 0)
        return m_socket->SendThrough(packet, interfaceIndex);
    m_socket->SendTo(packet);
    return true;
}

void DeviceSearch::OnTimer(int timerId)
{
    switch (timerId) {
    case kSearchWindowTimer:
        EndSearchWindow();
        break;
    case kResearchTimer:
        if (m_handlers.research)
            m_handlers.research();
        else
            Start();
        KillTimer(kResearchTimer);
        break;
    default:
        break;
    }
}

void DeviceSearch::EndSearchWindow()
{
    if (m_replied) {
        // A new device answered in this window: listen for another one.
        m_replied = false;
        SetTimer(kSearchWindowTimer, m_searchWindowMs);
        return;
    }
    EndSearch();
}

void DeviceSearch::EndSearch()
{
    KillTimer(kSearchWindowTimer);
    if (m_commandHolds > 0) {
        // A command may have opened the endpoint and still be waiting for its password: its
        // datagram must not be lost to a closed socket. The search is over; the endpoint closes
        // when the command is done.
        m_closeWhenCommandsEnd = true;
    } else {
        m_socket->Close();
    }
    if (m_handlers.searchEnded)
        m_handlers.searchEnded();
}

void DeviceSearch::SetTimer(int timerId, int milliseconds)
{
    // Coarse timers may fire up to 5 % early; a window must last its whole period.
    if (timerId == kSearchWindowTimer)
        m_searchWindow.start(milliseconds, Qt::PreciseTimer, this);
    else if (timerId == kResearchTimer)
        m_research.start(milliseconds, Qt::PreciseTimer, this);
}

void DeviceSearch::KillTimer(int timerId)
{
    if (timerId == kSearchWindowTimer)
        m_searchWindow.stop();
    else if (timerId == kResearchTimer)
        m_research.stop();
}

bool DeviceSearch::IsTimerRunning(int timerId) const
{
    if (timerId == kSearchWindowTimer)
        return m_searchWindow.isActive();
    if (timerId == kResearchTimer)
        return m_research.isActive();
    return false;
}

void DeviceSearch::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_searchWindow.timerId())
        OnTimer(kSearchWindowTimer);
    else if (event->timerId() == m_research.timerId())
        OnTimer(kResearchTimer);
    else
        QObject::timerEvent(event);
}

bool DeviceSearch::ReopenForCommand()
{
    m_socket->Close();
    if (!m_socket->Create()) {
        if (m_handlers.portOpenFailed)
            m_handlers.portOpenFailed();
        return false;
    }
    // This opening belongs to the command now; an earlier window's close no longer applies.
    m_closeWhenCommandsEnd = false;
    m_socket->EnableBroadcast();
    return true;
}

void DeviceSearch::Send(const DEVICE_PACKET& packet, int interfaceIndex)
{
    if (!m_socket->SendsToLimitedBroadcast()) {
        m_send(packet, 0);
        return;
    }
    // Only into the device's own network: a new address is not for every LAN of the machine.
    const std::vector<int> usable = BroadcastInterfaceIndexes(m_interfaces());
    if (std::find(usable.begin(), usable.end(), interfaceIndex) != usable.end()) {
        m_send(packet, interfaceIndex);
    } else if (!usable.empty()) {
        for (const int index : usable)  // its adapter is gone: try them all
            m_send(packet, index);
    } else {
        m_send(packet, 0);  // leave it to the routing table
    }
}

void DeviceSearch::AcceptReply(const DEVICE_PACKET& reply, int interfaceIndex)
{
    AcceptReply(reply, ReplyOrigin{interfaceIndex, QHostAddress()});
}

void DeviceSearch::AcceptReply(const DEVICE_PACKET& reply, const ReplyOrigin& origin)
{
    ++m_online;
    if (m_handlers.replyFrom)
        m_handlers.replyFrom(reply, origin);
    else if (m_handlers.reply)
        m_handlers.reply(reply, origin.interfaceIndex);
    m_replied = true;
}

void DeviceSearch::ReleaseCommandHold()
{
    if (--m_commandHolds > 0 || !m_closeWhenCommandsEnd)
        return;
    m_closeWhenCommandsEnd = false;
    m_socket->Close();
}

DeviceSearch::CommandHold::CommandHold(DeviceSearch& search)
    : m_search(search)
{
    ++m_search.m_commandHolds;
}

DeviceSearch::CommandHold::~CommandHold()
{
    m_search.ReleaseCommandHold();
}

}  // namespace vantor
