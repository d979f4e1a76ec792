#pragma once

#include "protocol/DevicePacket.h"

#include <QHostAddress>

namespace vantor::devsim {

// How the simulator listens and answers. The defaults are those of real devices: listen on
// port 36 of every interface, answer to 255.255.255.255 port 4000.
struct SimulatorOptions {
    static constexpr quint16 kDevicePort = 36;
    static constexpr quint16 kProgramPort = 4000;

    QHostAddress bindAddress{QHostAddress::AnyIPv4};
    quint16 port = kDevicePort;  // 0: any free port (see DeviceSimulator::localPort)
    QHostAddress replyAddress{QHostAddress::Broadcast};
    quint16 replyPort = kProgramPort;

    int replySize = static_cast<int>(DEVICE_PACKET::kSize);  // cut, or padded with zero bytes
    bool answerTwice = false;                                // every reply datagram sent twice
    qint64 lateMs = 0;                                       // added to every device's own delay
    bool repeat = false;                                     // after a discovery, answer again every second
    qint64 rebootMs = 3000;                                  // silent period after a soft reset
    qint64 firmwareMs = 3000;                                // silent period after a firmware update
};

}  // namespace vantor::devsim
