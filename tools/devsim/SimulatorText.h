#pragma once

#include "protocol/DevicePacket.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <span>

namespace vantor::devsim {

// Firmware version as the reply carries it: two bytes, written "major.minor" in hexadecimal.
struct FirmwareVersion {
    std::uint8_t major = 0;
    std::uint8_t minor = 0;
    friend bool operator==(const FirmwareVersion&, const FirmwareVersion&) = default;
};

// Text forms used in device files and in the log. Parsing is strict: a device file that says
// something odd should be refused, not guessed at.

// The program's own forms (protocol/AddressText.h), for Qt text.
std::optional<Ipv4Bytes> ParseIpv4(QStringView text);
std::optional<MacBytes> ParseMac(QStringView text);
// "major.minor", each one or two hexadecimal digits: "1.30" is 0x01, 0x30.
std::optional<FirmwareVersion> ParseVersion(QStringView text);

// Written apart from protocol/DeviceRow's forms on purpose, as an independent check of the program.
QString FormatIpv4(const Ipv4Bytes& ip);
QString FormatMac(const MacBytes& mac);          // "00-1A-2B-3C-4D-5E"
QString FormatVersion(FirmwareVersion version);  // "1.30", as the program shows it
// Bytes as printable text: letters, digits and punctuation as they are, everything else
// (space, backslash, quote, control and 8-bit bytes) as \xNN, so the result has no blanks.
QString EscapeBytes(std::span<const std::uint8_t> bytes);
// Lower-case hexadecimal without separators; "-" for no bytes, so a log field is never empty.
QString HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace vantor::devsim
