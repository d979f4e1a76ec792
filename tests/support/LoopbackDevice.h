#pragma once

#include "protocol/CListSocket.h"
#include "protocol/DevicePacket.h"

#include <QByteArray>
#include <QUdpSocket>

#include <cstdint>
#include <vector>

namespace vantor::test {

// Stands in for the devices in in-process tests: a loopback socket on a free port that receives
// the program's requests and sends replies back to the program's port.
class LoopbackDevice final {
public:
    LoopbackDevice();

    std::uint16_t Port() const { return static_cast<std::uint16_t>(m_socket.localPort()); }
    // Every datagram waiting now (loopback delivery is immediate once the sender returns).
    std::vector<QByteArray> TakeReceived();
    // Sends raw bytes or a packet to the program's local port on 127.0.0.1.
    void Send(const QByteArray& bytes, std::uint16_t programPort);
    void Send(const DEVICE_PACKET& packet, std::uint16_t programPort);

private:
    QUdpSocket m_socket;
};

// A UDP port on 127.0.0.1 that was free a moment ago.
std::uint16_t FreeLoopbackPort();

// Endpoint addresses for the program: bind 127.0.0.1 on a free port, send to the device.
EndpointAddresses LoopbackAddresses(std::uint16_t devicePort);

// The discovery request as the devices expect it, written out byte by byte.
QByteArray ExpectedDiscoveryRequest();

// A reply of a recognised model (31) whose fields all derive from n.
DEVICE_PACKET MakeReply(std::uint8_t n, std::uint8_t modelCode = kModelCodeMarven);

}  // namespace vantor::test
