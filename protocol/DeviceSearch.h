#pragma once

#include "protocol/BroadcastInterfaces.h"
#include "protocol/CListSocket.h"
#include "protocol/DevicePacket.h"

#include <QBasicTimer>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace vantor {

// The search cycle on the program's one endpoint, with no widget attached: a search opens the
// endpoint, broadcasts the discovery request once and listens in windows of 5 s (timer 1); a
// window in which a new device answered is followed by another, the first window without one
// ends the search and closes the endpoint. Timer 2 is the one-shot re-search a device command
// asks for. Device commands also reopen the endpoint and send through it here.
//
// Towards the limited broadcast, the discovery request leaves through every interface that can
// carry it (listed afresh at each search, so an adapter plugged in meanwhile is used), and a
// command for a device through the interface its reply came in on.
//
// Accepted replies are handed to the reply handler once the online count has been raised for
// them. Single-threaded: everything runs on the thread that owns the object.
class DeviceSearch final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DeviceSearch)

public:
    static constexpr int kSearchWindowTimer = 1;
    static constexpr int kResearchTimer = 2;
    static constexpr int kSearchWindowMs = 5000;

    struct Handlers {
        // A new reply (not a repeat on this opening) and the interface it came in on (0: not
        // known); the online count already includes it.
        std::function<void(const DEVICE_PACKET&, int interfaceIndex)> reply;
        // The endpoint could not be opened (port 4000 held by another program, no socket).
        std::function<void()> portOpenFailed;
        // Timer 2 expired. Default: Start(). The device list empties itself first.
        std::function<void()> research;
        // Optional: takes the place of `reply` and also says where each reply came from.
        std::function<void(const DEVICE_PACKET&, const ReplyOrigin&)> replyFrom;
        // Optional: a search window ended without a new reply, so the search is over.
        std::function<void()> searchEnded;
        // Optional: sends the discovery request on the freshly opened endpoint. Default: one
        // request out of each interface that can carry a limited broadcast (one request to the
        // destination when that is not the limited broadcast).
        std::function<void(CListSocket&)> sendDiscovery;
        // No interface could carry the default discovery request (there was none, or every
        // send failed). The search has already ended as a window without replies ends it.
        std::function<void()> noInterface;
    };
    using InterfaceSource = std::function<std::vector<InterfaceInfo>()>;
    // Sends one datagram towards the endpoint's destination out of the given interface (0: none
    // chosen, the routing table decides); true when it went.
    using DatagramSender = std::function<bool(const DEVICE_PACKET&, int interfaceIndex)>;

    explicit DeviceSearch(Handlers handlers, EndpointAddresses addresses = {}, QObject* parent = nullptr);
    ~DeviceSearch() override;

    // Starts a search: timer 1 stopped, endpoint closed, count 0, endpoint reopened with
    // broadcast on, discovery request sent, timer 1 set. The replied flag is left as it is. On a
    // failed opening the failure is reported, the endpoint stays closed, no timer is set and
    // false is returned.
    bool Start();

    // Expiry of timer 1 (search window) or timer 2 (re-search); other ids do nothing.
    void OnTimer(int timerId);
    // Setting a running timer restarts it with the new period; killing a stopped one does
    // nothing. Both timers are precise: a window never ends before its period.
    void SetTimer(int timerId, int milliseconds);
    void KillTimer(int timerId);
    bool IsTimerRunning(int timerId) const;
    // The search window's period (tests inject a short one).
    void SetSearchWindowMs(int milliseconds) { m_searchWindowMs = milliseconds; }
    // Where the interfaces are listed from. Default: the system.
    void SetInterfaceSource(InterfaceSource source) { m_interfaces = std::move(source); }
    // Where the search's own datagrams go. Default: the endpoint. Tests record them instead, so
    // no datagram of theirs can reach a real interface whatever the interface rule decides.
    void SetDatagramSender(DatagramSender sender) { m_send = std::move(sender); }

    // ---- For the device commands ----
    // Close, open, broadcast on. On failure the failure is reported and false returned; the
    // counters are left as they are either way.
    bool ReopenForCommand();
    // Sends one datagram on the open endpoint, towards the limited broadcast out of the given
    // interface (the one the device's reply came in on) while it can carry it, else out of every
    // interface that can; the outcome is not examined.
    void Send(const DEVICE_PACKET& packet, int interfaceIndex = 0);
    // Re-search after a command: timer 2 with the given delay (restarted if running).
    void StartResearch(int delayMs) { SetTimer(kResearchTimer, delayMs); }

    // While a command is under way, a search window that ends without a new reply does not
    // close the endpoint under it (the command may have opened it and still be waiting for a
    // password); the endpoint is closed when the last command hold ends instead, unless a
    // search or another opening has happened meanwhile.
    class CommandHold final {
    public:
        explicit CommandHold(DeviceSearch& search);
        ~CommandHold();
        CommandHold(const CommandHold&) = delete;
        CommandHold& operator=(const CommandHold&) = delete;

    private:
        DeviceSearch& m_search;
    };

    // An accepted reply (what the endpoint hands on, or a stand-in for it): the online count
    // goes up, the reply handler makes its row, and the window learns that a new device came.
    void AcceptReply(const DEVICE_PACKET& reply, int interfaceIndex = 0);
    void AcceptReply(const DEVICE_PACKET& reply, const ReplyOrigin& origin);

    // ---- State ----
    // Rows added since the last search started.
    int Online() const { return m_online; }
    // Whether a new row came in since the search window last looked.
    bool Replied() const { return m_replied; }
    bool IsOpen() const { return m_socket->IsOpen(); }
    const CListSocket& Endpoint() const { return *m_socket; }
    CListSocket& Endpoint() { return *m_socket; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void EndSearchWindow();
    // The search is over: timer 1 stopped and the endpoint closed (or left to a command).
    void EndSearch();
    // The default discovery request; false when not one request went out.
    bool SendDiscovery();
    // The default sender: the endpoint's own send when no interface is chosen.
    bool SendThroughEndpoint(const DEVICE_PACKET& packet, int interfaceIndex);
    void ReleaseCommandHold();

    Handlers m_handlers;
    InterfaceSource m_interfaces = SystemInterfaces;
    std::unique_ptr<CListSocket> m_socket;
    DatagramSender m_send = [this](const DEVICE_PACKET& packet, int interfaceIndex) {
        return SendThroughEndpoint(packet, interfaceIndex);
    };
    QBasicTimer m_searchWindow;
    QBasicTimer m_research;
    int m_searchWindowMs = kSearchWindowMs;
    int m_online = 0;
    bool m_replied = false;
    int m_commandHolds = 0;
    bool m_closeWhenCommandsEnd = false;
};

}  // namespace vantor
