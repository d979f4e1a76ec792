#include "tests/support/LoopbackDevice.h"

#include <QHostAddress>

#include <string>

namespace vantor::test {

LoopbackDevice::LoopbackDevice()
{
    m_socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
}

std::vector<QByteArray> LoopbackDevice::TakeReceived()
{
    std::vector<QByteArray> datagrams;
    while (m_socket.hasPendingDatagrams()) {
        QByteArray datagram(static_cast<qsizetype>(m_socket.pendingDatagramSize()), '\0');
        const qint64 read = m_socket.readDatagram(datagram.data(), datagram.size());
        if (read < 0)
            break;
        datagram.resize(static_cast<qsizetype>(read));
        datagrams.push_back(datagram);
    }
    return datagrams;
}

void LoopbackDevice::Send(const QByteArray& bytes, std::uint16_t programPort)
{
    m_socket.writeDatagram(bytes, QHostAddress(QHostAddress::LocalHost), programPort);
}

void LoopbackDevice::Send(const DEVICE_PACKET& packet, std::uint16_t programPort)
{
    Send(QByteArray(reinterpret_cast<const char*>(packet.bytes.data()), static_cast<qsizetype>(packet.bytes.size())),
         programPort);
}

std::uint16_t FreeLoopbackPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QHostAddress::LocalHost), 0);
    return static_cast<std::uint16_t>(probe.localPort());
}

EndpointAddresses LoopbackAddresses(std::uint16_t devicePort)
{
    EndpointAddresses addresses;
    addresses.bindAddress = QHostAddress(QHostAddress::LocalHost);
    addresses.localPort = FreeLoopbackPort();
    addresses.destination = QHostAddress(QHostAddress::LocalHost);
    addresses.devicePort = devicePort;
    return addresses;
}

QByteArray ExpectedDiscoveryRequest()
{
    QByteArray request("KWZ9");
    request.append(48, '\0');
    return request;
}

DEVICE_PACKET MakeReply(std::uint8_t n, std::uint8_t modelCode)
{
    DEVICE_PACKET reply;
    reply.SetIpAddress({192, 168, 1, n});
    reply.SetSubnetMask({255, 255, 255, 0});
    reply.SetGateway({192, 168, 1, 1});
    reply.SetMacAddress({0x00, 0x1A, 0x2B, 0x3C, 0x4D, n});
    reply.SetNameField("Dev" + std::to_string(n));
    reply.SetVersion(1, 0x30);
    reply.SetModelCode(modelCode);
    return reply;
}

}  // namespace vantor::test
