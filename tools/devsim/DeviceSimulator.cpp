#include "tools/devsim/DeviceSimulator.h"

#include "platform/BroadcastOption.h"
#include "tools/devsim/DatagramLog.h"

#include <QDateTime>

#include <span>
#include <utility>

namespace vantor::devsim {

namespace {

constexpr int kRepeatIntervalMs = 1000;

std::span<const std::uint8_t> AsBytes(const QByteArray& data)
{
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

QDateTime Now()
{
    return QDateTime::currentDateTimeUtc();
}

}  // namespace

DeviceSimulator::DeviceSimulator(std::vector<SimDevice> devices, SimulatorOptions options, QObject* parent)
    : QObject(parent)
    , m_bank(std::move(devices))
    , m_options(std::move(options))
{
    m_bank.SetRebootMs(m_options.rebootMs);
    m_bank.SetFirmwareMs(m_options.firmwareMs);
    m_clock.start();
    m_repeatTimer.setInterval(kRepeatIntervalMs);
    connect(&m_socket, &QUdpSocket::readyRead, this, &DeviceSimulator::OnReadyRead);
    connect(&m_repeatTimer, &QTimer::timeout, this, &DeviceSimulator::OnRepeat);
}

DeviceSimulator::~DeviceSimulator() = default;

bool DeviceSimulator::Start(QString* error)
{
    // Exclusive, so that a second simulator (or anything else on the port) is reported
    // instead of silently sharing the datagrams.
    if (!m_socket.bind(m_options.bindAddress, m_options.port, QUdpSocket::DontShareAddress)) {
        if (error) {
            *error = QStringLiteral("cannot bind UDP %1:%2: %3")
                         .arg(DatagramLog::AddressText(m_options.bindAddress))
                         .arg(m_options.port)
                         .arg(m_socket.errorString());
        }
        return false;
    }
    if (!EnableBroadcastOption(m_socket.socketDescriptor()))
        emit logLine(DatagramLog::ErrorLine(Now(), QStringLiteral("cannot enable SO_BROADCAST")));
    emit logLine(DatagramLog::InfoLine(
        Now(), QStringLiteral("listening on %1:%2 replies-to=%3:%4 devices=%5 reply-size=%6 answer-twice=%7 "
                              "late-ms=%8 repeat=%9")
                   .arg(DatagramLog::AddressText(m_options.bindAddress))
                   .arg(m_socket.localPort())
                   .arg(DatagramLog::AddressText(m_options.replyAddress))
                   .arg(m_options.replyPort)
                   .arg(m_bank.size())
                   .arg(m_options.replySize)
                   .arg(m_options.answerTwice ? 1 : 0)
                   .arg(m_options.lateMs)
                   .arg(m_options.repeat ? 1 : 0)));
    for (std::size_t i = 0; i < m_bank.size(); ++i)
        emit logLine(
            DatagramLog::InfoLine(Now(), QStringLiteral("dev=%1 %2").arg(i + 1).arg(m_bank.Device(i).ToLine())));
    return true;
}

void DeviceSimulator::OnReadyRead()
{
    // Drain everything that is waiting; read each datagram at its own size so that nothing
    // is cut, whatever arrives.
    while (m_socket.hasPendingDatagrams()) {
        const qint64 size = m_socket.pendingDatagramSize();
        if (size < 0)
            break;
        QByteArray data(static_cast<qsizetype>(size), '\0');
        QHostAddress sender;
        quint16 senderPort = 0;
        const qint64 read = m_socket.readDatagram(data.data(), size, &sender, &senderPort);
        if (read < 0)
            break;
        data.truncate(static_cast<qsizetype>(read));
        ProcessDatagram(data, sender, senderPort);
    }
}

void DeviceSimulator::ProcessDatagram(const QByteArray& datagram, const QHostAddress& sender, quint16 senderPort)
{
    DeviceBank::Outcome outcome = m_bank.Handle(AsBytes(datagram), ElapsedMs());
    emit logLine(DatagramLog::RxLine(Now(), sender, senderPort, AsBytes(datagram), outcome.summary));
    for (const QString& change : std::as_const(outcome.changes))
        emit logLine(DatagramLog::EventLine(Now(), change));
    for (const auto& silenced : outcome.silenced)
        ScheduleOnlineNote(silenced.first, m_bank.SilentUntilMs(silenced.first));
    if (outcome.verdict == DeviceBank::Verdict::Discovery)
        AnswerDiscovery(outcome.responders);
}

void DeviceSimulator::AnswerDiscovery(const std::vector<std::size_t>& responders)
{
    for (const std::size_t index : responders) {
        const qint64 delay = m_bank.Device(index).delayMs + m_options.lateMs;
        if (delay <= 0)
            SendReply(index);
        else
            QTimer::singleShot(std::chrono::milliseconds(delay), Qt::PreciseTimer, this,
                               [this, index] { SendReply(index); });
    }
    if (m_options.repeat)
        m_repeatTimer.start();
}

void DeviceSimulator::SendReply(std::size_t index)
{
    // A device that went quiet after the discovery (reset meanwhile) no longer answers it.
    if (m_bank.IsSilent(index, ElapsedMs()))
        return;
    const DEVICE_PACKET packet = m_bank.Device(index).Reply();
    QByteArray datagram(reinterpret_cast<const char*>(packet.bytes.data()),
                        static_cast<qsizetype>(packet.bytes.size()));
    datagram.resize(m_options.replySize, '\0');
    const int copies = m_options.answerTwice ? 2 : 1;
    for (int copy = 0; copy < copies; ++copy) {
        const qint64 written = m_socket.writeDatagram(datagram, m_options.replyAddress, m_options.replyPort);
        if (written != datagram.size()) {
            emit logLine(DatagramLog::ErrorLine(Now(), QStringLiteral("dev=%1 send to %2:%3 failed: %4")
                                                           .arg(index + 1)
                                                           .arg(DatagramLog::AddressText(m_options.replyAddress))
                                                           .arg(m_options.replyPort)
                                                           .arg(m_socket.errorString())));
            continue;
        }
        emit logLine(DatagramLog::TxLine(Now(), m_options.replyAddress, m_options.replyPort, AsBytes(datagram), index));
    }
}

void DeviceSimulator::OnRepeat()
{
    for (std::size_t i = 0; i < m_bank.size(); ++i)
        SendReply(i);
}

void DeviceSimulator::ScheduleOnlineNote(std::size_t index, qint64 untilMs)
{
    const qint64 wait = untilMs - ElapsedMs();
    if (wait <= 0)
        return;
    QTimer::singleShot(std::chrono::milliseconds(wait), Qt::PreciseTimer, this, [this, index, untilMs] {
        // A later reset extends the silence and schedules its own note.
        if (m_bank.SilentUntilMs(index) != untilMs)
            return;
        // A timer that fires a little early tries again for the rest.
        if (m_bank.IsSilent(index, ElapsedMs())) {
            ScheduleOnlineNote(index, untilMs);
            return;
        }
        emit logLine(DatagramLog::EventLine(Now(), m_bank.Label(index) + QStringLiteral(" online")));
    });
}

}  // namespace vantor::devsim
