#include "protocol/CListSocket.h"

#include "platform/BroadcastOption.h"
#include "platform/DatagramBatch.h"
#include "protocol/ReplySet.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QNetworkDatagram>
#include <QTimerEvent>
#include <QUdpSocket>
#include <QVariant>

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

namespace vantor {
namespace {

// Receive buffer asked for: a small datagram takes about 1 KB of buffer in the system.
constexpr int kReceiveBufferBytes = 8 * 1024 * 1024;

}  // namespace

// Every reply accepted since the endpoint was last opened. A device that answers twice within
// one opening must give one row; a hash set keeps that check cheap however many devices answer.
struct CListSocket::ReplyMemory {
    ReplySet replies;

    // False when the same 52 bytes were accepted before.
    bool Remember(const ReplyBytes& reply) { return replies.Insert(reply); }
};

CListSocket::CListSocket(ReplyHandler replyHandler, EndpointAddresses addresses, QObject* parent)
    : QObject(parent)
    , m_replyHandler(std::move(replyHandler))
    , m_addresses(std::move(addresses))
    , m_replies(std::make_unique<ReplyMemory>())
{ }

CListSocket::~CListSocket()
{
    m_replies->replies.clear();
    Close();
}

void CListSocket::SetOriginReplyHandler(OriginReplyHandler handler)
{
    m_originReplyHandler = std::move(handler);
    m_waiting.clear();
    m_waitingSenders.clear();
}

void CListSocket::Close()
{
    if (m_socket == nullptr)
        return;
    m_waiting.clear();
    m_waitingSenders.clear();
    QUdpSocket* const socket = std::exchange(m_socket, nullptr);
    // Nothing of the old socket may reach OnReceive any more, even a notification already queued.
    socket->disconnect(this);
    socket->close();
    socket->deleteLater();
}

bool CListSocket::Create()
{
    Close();
    auto socket = std::make_unique<QUdpSocket>();
    // Exclusive: another program holding the port must make this opening fail.
    if (!socket->bind(m_addresses.bindAddress, m_addresses.localPort, QUdpSocket::DontShareAddress)) {
        m_openError = socket->error();
        m_openErrorString = socket->errorString();
        socket->close();
        return false;
    }
    m_openError = QAbstractSocket::UnknownSocketError;
    m_openErrorString.clear();
    if (m_addresses.localPort == 0)
        m_addresses.localPort = socket->localPort();
    // Every device answers the broadcast at about the same moment. The system's default
    // receive buffer holds only a few hundred small datagrams and drops the rest of a burst,
    // so ask for room for thousands (the system caps the request at its own limit).
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(kReceiveBufferBytes));
    // Each reply says which adapter it came in on, so a command for that device leaves there.
    EnableArrivalInterfaceOption(socket->socketDescriptor());
    socket->setParent(this);
    m_socket = socket.release();
    connect(m_socket, &QUdpSocket::readyRead, this, &CListSocket::OnReceive);
    // Qt reports no "ready to send" for UDP; the socket can send as soon as it is bound, and no
    // datagram of this opening has been read yet.
    OnSend();
    return true;
}

void CListSocket::EnableBroadcast()
{
    if (m_socket != nullptr)
        EnableBroadcastOption(m_socket->socketDescriptor());
}

void CListSocket::SendTo(const DEVICE_PACKET& packet)
{
    if (m_socket == nullptr)
        return;
    m_socket->writeDatagram(reinterpret_cast<const char*>(packet.bytes.data()),
                            static_cast<qint64>(packet.bytes.size()), m_addresses.destination, m_addresses.devicePort);
}

bool CListSocket::SendThrough(const DEVICE_PACKET& packet, int interfaceIndex, QString* error)
{
    if (m_socket == nullptr) {
        if (error != nullptr)
            *error = QStringLiteral("the endpoint is not open");
        return false;
    }
    QNetworkDatagram datagram(
        QByteArray(reinterpret_cast<const char*>(packet.bytes.data()), static_cast<qsizetype>(packet.bytes.size())),
        m_addresses.destination, m_addresses.devicePort);
    if (interfaceIndex > 0)
        datagram.setInterfaceIndex(static_cast<uint>(interfaceIndex));
    if (m_socket->writeDatagram(datagram) == static_cast<qint64>(packet.bytes.size()))
        return true;
    if (error != nullptr)
        *error = m_socket->errorString();
    return false;
}

bool CListSocket::SendsToLimitedBroadcast() const
{
    return m_addresses.destination == QHostAddress(QHostAddress::Broadcast);
}

bool CListSocket::IsOpen() const
{
    return m_socket != nullptr;
}

std::size_t CListSocket::ReplyMemorySize() const
{
    return m_replies->replies.size();
}

void CListSocket::OnReceive()
{
    QUdpSocket* const socket = m_socket;
    if (socket == nullptr)
        return;
    // Reading is cheap next to making rows, so a burst is taken off the socket long before the
    // system's buffer could overflow; still, while devices keep sending, reading stops after
    // half of the turn's budget so the rows of what was read get their share. What is left is
    // announced again.
    QElapsedTimer turn;
    turn.start();
    // The first datagram goes through the socket object: reading through it is what lets it
    // announce the next arrival.
    if (!ReadOneDatagram(*socket))
        return;
    if (!m_originReplyHandler) {
        // The rest straight from the descriptor, many per system call.
        std::array<std::uint8_t, kBatchDatagrams * DEVICE_PACKET::kSize> batch{};
        std::array<int, kBatchDatagrams> interfaces{};
        while (turn.nsecsElapsed() < kTurnBudgetNs / 2) {
            int kept = 0;
            const int taken = TakeDatagrams(socket->socketDescriptor(), DEVICE_PACKET::kSize, kBatchDatagrams,
                                            batch.data(), kept, interfaces.data());
            for (int i = 0; i < kept; ++i) {
                WaitingReply& reply = m_waiting.emplace_back();
                const auto* from = batch.data() + static_cast<std::size_t>(i) * DEVICE_PACKET::kSize;
                std::copy(from, from + DEVICE_PACKET::kSize, reply.packet.bytes.begin());
                reply.interfaceIndex = interfaces[static_cast<std::size_t>(i)];
            }
            if (taken < kBatchDatagrams)
                break;  // the socket is empty (or failed: the next announcement tries again)
        }
    } else {
        while (turn.nsecsElapsed() < kTurnBudgetNs / 2 && socket->hasPendingDatagrams()) {
            if (!ReadOneDatagram(*socket))
                break;
        }
    }
    // A slice already queued hands these on in its turn; handing on here too would give this
    // turn of the event loop two slices.
    if (!m_handlingTimer.isActive())
        HandleWaitingReplies(turn);
}

bool CListSocket::ReadOneDatagram(QUdpSocket& socket)
{
    const qint64 size = socket.pendingDatagramSize();
    if (size != static_cast<qint64>(DEVICE_PACKET::kSize)) {
        // Read to drop it whole: a longer datagram must never be cut to 52 bytes and used.
        return socket.readDatagram(nullptr, 0) >= 0;
    }
    const QNetworkDatagram datagram = socket.receiveDatagram(size);
    if (!datagram.isValid())
        return false;
    const QByteArray data = datagram.data();
    WaitingReply reply;
    if (!DEVICE_PACKET::FromBytes(
            std::span(reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())),
            reply.packet))
        return true;
    reply.interfaceIndex = static_cast<int>(datagram.interfaceIndex());
    m_waiting.push_back(reply);
    if (m_originReplyHandler)
        m_waitingSenders.push_back(datagram.senderAddress());
    return true;
}

void CListSocket::HandleWaitingReplies(const QElapsedTimer& turn)
{
    // The handler may close or reopen this endpoint; either empties m_waiting, so what was read
    // on the old opening is never handed on.
    bool handedAny = false;
    while (!m_waiting.empty()) {
        if (handedAny && turn.nsecsElapsed() >= kTurnBudgetNs) {
            // A timer, not a posted call: the event loop takes input, paints and runs other
            // timers between two slices, where posted calls could follow each other first.
            if (!m_handlingTimer.isActive())
                m_handlingTimer.start(0, this);
            return;
        }
        const WaitingReply reply = m_waiting.front();
        m_waiting.pop_front();
        QHostAddress sender;
        if (!m_waitingSenders.empty()) {
            sender = std::move(m_waitingSenders.front());
            m_waitingSenders.pop_front();
        }
        if (!m_replies->Remember(reply.packet.bytes))
            continue;
        handedAny = true;
        if (m_originReplyHandler)
            m_originReplyHandler(reply.packet, ReplyOrigin{reply.interfaceIndex, std::move(sender)});
        else if (m_replyHandler)
            m_replyHandler(reply.packet, reply.interfaceIndex);
    }
}

void CListSocket::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_handlingTimer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    m_handlingTimer.stop();
    QElapsedTimer turn;
    turn.start();
    HandleWaitingReplies(turn);
}

void CListSocket::OnSend()
{
    m_replies->replies.clear();
}

}  // namespace vantor
