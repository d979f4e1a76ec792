#pragma once

#include "protocol/DevicePacket.h"

#include <QAbstractSocket>
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

class QUdpSocket;

namespace vantor {

// The device protocol's ports: the program listens on 4000 and sends to 36.
inline constexpr std::uint16_t kLocalPort = 4000;
inline constexpr std::uint16_t kDevicePort = 36;

// Where the endpoint binds and sends. The defaults are the device protocol's; tests inject
// loopback addresses and free ports through the constructor.
struct EndpointAddresses {
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    std::uint16_t localPort = kLocalPort;  // 0: the system picks one on the first opening
    QHostAddress destination = QHostAddress(QHostAddress::Broadcast);
    std::uint16_t devicePort = kDevicePort;
};

// Where an accepted reply came from: the index of the interface it arrived on (0 when the
// system did not say) and the sender's address.
struct ReplyOrigin {
    int interfaceIndex = 0;
    QHostAddress sender;
};

// The program's one UDP endpoint. Every search and every command reopens it (Close, Create,
// EnableBroadcast) and sends through it. Each 52-byte datagram that arrives and differs from
// every reply accepted since the last opening is handed to the reply handler.
class CListSocket final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CListSocket)

public:
    // A reply, with the index of the interface it came in on (0 when the system did not say).
    using ReplyHandler = std::function<void(const DEVICE_PACKET&, int interfaceIndex)>;
    using OriginReplyHandler = std::function<void(const DEVICE_PACKET&, const ReplyOrigin&)>;

    explicit CListSocket(ReplyHandler replyHandler, EndpointAddresses addresses = {}, QObject* parent = nullptr);
    ~CListSocket() override;

    // Replies go to this handler, with where each came from, instead of the constructor's.
    // Reading each datagram's origin costs a little per reply, so only callers that need it ask.
    void SetOriginReplyHandler(OriginReplyHandler handler);

    // Closes the socket if one is open; its notifications are not delivered afterwards.
    void Close();
    // Opens a UDP socket bound exclusively to the local port (an open socket is closed first).
    // On failure the socket stays closed and false is returned. On success the reply memory is
    // emptied before any datagram of this opening is read. With a local port of 0 the first
    // opening takes the port the system chose and later openings reuse it.
    bool Create();
    // SO_BROADCAST on the socket; the result is not examined.
    void EnableBroadcast();
    // Sends the 52 bytes to the device port of the destination; the result is not examined.
    void SendTo(const DEVICE_PACKET& packet);
    // Sends the 52 bytes to the device port of the destination out of one interface (an index
    // of 0 leaves the choice to the routing table), so a limited broadcast can reach each
    // adapter of a machine with several. False, with the system's reason, when it did not go.
    bool SendThrough(const DEVICE_PACKET& packet, int interfaceIndex, QString* error = nullptr);

    // Whether the destination is the limited broadcast 255.255.255.255, which a machine with
    // several adapters has to send out of each of them (tests send to loopback instead).
    bool SendsToLimitedBroadcast() const;

    bool IsOpen() const;
    // Why the last Create() failed (UnknownSocketError after a successful one).
    QAbstractSocket::SocketError OpenError() const { return m_openError; }
    QString OpenErrorString() const { return m_openErrorString; }
    std::uint16_t LocalPort() const { return m_addresses.localPort; }
    // Number of replies remembered on this opening. Tests hold it to one per distinct reply and
    // to none after a reopening: repeats over a long session must not cost memory.
    std::size_t ReplyMemorySize() const;

    // Time one turn of the event loop spends on replies, reading them and handing them on: a
    // third of a frame, so input, and the list's layout and paint of new rows (once a frame),
    // fit in the rest of it. Reading takes at most half of it; a burst that does not fit is handed on over the
    // next turns, so the window keeps answering meanwhile. Measured in time, not in replies,
    // as a reply's cost varies with the list's length.
    static constexpr qint64 kTurnBudgetNs = 5'000'000;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void OnReceive();
    void OnSend();
    // Reads one datagram through the socket object; false when reading failed.
    bool ReadOneDatagram(QUdpSocket& socket);
    // Hands on waiting replies until the turn's budget is spent (at least one reply).
    void HandleWaitingReplies(const QElapsedTimer& turn);

    // Datagrams taken per system call.
    static constexpr int kBatchDatagrams = 64;

    struct ReplyMemory;

    ReplyHandler m_replyHandler;
    OriginReplyHandler m_originReplyHandler;
    QAbstractSocket::SocketError m_openError = QAbstractSocket::UnknownSocketError;
    QString m_openErrorString;
    EndpointAddresses m_addresses;
    // Child of this endpoint. Close() hands it to deleteLater(), because Close() may be called
    // from the reply handler, inside the socket's own readyRead.
    QUdpSocket* m_socket = nullptr;
    std::unique_ptr<ReplyMemory> m_replies;
    struct WaitingReply {
        DEVICE_PACKET packet;
        int interfaceIndex = 0;
    };
    // 52-byte datagrams read from the socket of this opening and not handled yet, oldest first.
    std::deque<WaitingReply> m_waiting;
    // Their senders, in step with m_waiting, while an origin handler is set.
    std::deque<QHostAddress> m_waitingSenders;
    QBasicTimer m_handlingTimer;  // runs the next slice of waiting replies
};

}  // namespace vantor
