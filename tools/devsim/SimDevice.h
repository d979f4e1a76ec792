#pragma once

#include "protocol/DevicePacket.h"
#include "tools/devsim/SimulatorText.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace vantor::devsim {

// One emulated device as it stands now. Commands change it in place; its reply is built from
// whatever it holds at the moment of answering.
struct SimDevice {
    static constexpr qsizetype kMaxNameSize = static_cast<qsizetype>(DEVICE_PACKET::kNameFieldSize);
    static constexpr qsizetype kMaxPasswordSize = static_cast<qsizetype>(DEVICE_PACKET::kPasswordSize);
    static constexpr int kMaxDelayMs = 600000;

    // 0 to 17 bytes. 16 bytes still leave a terminator in the name field; 17 fill it, which a
    // receiver treats as no usable name.
    QByteArray name;
    std::uint8_t model = kModelCodeMarven;
    Ipv4Bytes ip{};
    Ipv4Bytes mask{255, 255, 255, 0};
    Ipv4Bytes gateway{};
    MacBytes mac{};
    FirmwareVersion version{1, 0};
    QByteArray password;  // 0 to 8 bytes
    int delayMs = 0;      // wait before answering a discovery

    // The 52-byte discovery reply: device record at its offsets, every other byte zero.
    DEVICE_PACKET Reply() const;
    // The command's password field equals the device password zero-padded to 8 bytes.
    bool AcceptsPassword(const std::array<std::uint8_t, DEVICE_PACKET::kPasswordSize>& field) const;
    // One line in the device-file format that parses back to this device.
    QString ToLine() const;

    friend bool operator==(const SimDevice&, const SimDevice&) = default;
};

}  // namespace vantor::devsim
