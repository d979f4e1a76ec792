#pragma once

#include "tools/devsim/DeviceBank.h"
#include "tools/devsim/SimulatorOptions.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>

#include <vector>

namespace vantor::devsim {

// Emulates the devices on one UDP socket: reads every datagram that reaches it, lets the
// DeviceBank decide what the devices do, sends the discovery replies (after each device's
// delay) from the same socket and reports everything as log lines.
class DeviceSimulator final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DeviceSimulator)

public:
    DeviceSimulator(std::vector<SimDevice> devices, SimulatorOptions options, QObject* parent = nullptr);
    ~DeviceSimulator() override;

    // Binds the socket and switches broadcasting on. False with a message when the port
    // cannot be bound.
    bool Start(QString* error);
    quint16 LocalPort() const { return m_socket.localPort(); }
    const DeviceBank& Bank() const { return m_bank; }
    const SimulatorOptions& Options() const { return m_options; }

    // What the simulator does with one received datagram; the socket handler calls it for
    // each datagram it reads.
    void ProcessDatagram(const QByteArray& datagram, const QHostAddress& sender, quint16 senderPort);

signals:
    void logLine(const QString& line);

private:
    void OnReadyRead();
    void AnswerDiscovery(const std::vector<std::size_t>& responders);
    void SendReply(std::size_t index);
    void OnRepeat();
    void ScheduleOnlineNote(std::size_t index, qint64 untilMs);
    qint64 ElapsedMs() const { return m_clock.elapsed(); }

    DeviceBank m_bank;
    SimulatorOptions m_options;
    QElapsedTimer m_clock;
    QUdpSocket m_socket{this};
    QTimer m_repeatTimer{this};
};

}  // namespace vantor::devsim
