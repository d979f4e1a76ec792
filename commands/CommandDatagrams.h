#pragma once

#include "protocol/DevicePacket.h"

#include <QChar>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// A list cell is read back as text of at most this many characters; longer text is cut first.
inline constexpr std::size_t kCellTextLimit = 259;

// Row cells back to datagram bytes. The list writes "a.b.c.d" (decimal) and "AA-BB-CC-DD-EE-FF"
// (hexadecimal); other text is converted by the same rule rather than refused:
// - the text is cut to kCellTextLimit characters, then split at the separator ("." or "-");
//   empty pieces are skipped, so "1..2.3" reads as 1, 2, 3;
// - each piece counts by its leading digits only, with no sign or blank before them:
//   "12abc" is 12, "abc", " 7" and "-7" are 0;
// - a byte takes the low 8 bits of the whole number, however long: "256" is 0, "300" is 44,
//   "99999999999999999999" is 255; hexadecimal digits may be upper or lower case;
// - with fewer pieces than bytes the missing bytes are 0; pieces beyond the last byte are ignored.
Ipv4Bytes DottedAddressToBytes(std::string_view cellText);
MacBytes MacTextToBytes(std::string_view cellText);

// The password field holds one byte per typed character, at most this many.
inline constexpr std::size_t kPasswordMaxBytes = DEVICE_PACKET::kPasswordSize;

// A password character is sent as its Latin-1 byte: U+0001..U+00FF. NUL and everything above
// U+00FF (surrogate halves included) have no single-byte form and cannot be part of a password.
bool HasSingleBytePasswordForm(QChar character);

// The bytes the password field carries for the typed text, or nothing when a character has no
// single-byte form or the text is longer than kPasswordMaxBytes: a password is never cut or
// changed on its way into the datagram. The empty text gives no bytes (an all-zero field).
std::optional<std::string> PasswordBytes(const QString& typed);

// Command datagrams: "KWZ", the opcode at byte 3, the named fields, every other byte zero.
// The password field is filled afterwards with DEVICE_PACKET::setPassword.

// Set IP address, set subnet mask or set gateway (op names which one is to change): all three
// values travel in each, beside the device's MAC.
DEVICE_PACKET SetAddressDatagram(Opcode op, Ipv4Bytes ip, Ipv4Bytes mask, Ipv4Bytes gateway, MacBytes mac);

// Set MAC address: the device's current IP address and its new MAC, which is the current one with
// the second byte plus one (0xFF wraps to 0x00 without carrying into the first byte).
DEVICE_PACKET SetMacDatagram(Ipv4Bytes currentIp, MacBytes currentMac);

// Soft reset or firmware update: only the device's MAC besides the header.
DEVICE_PACKET MacDatagram(Opcode op, MacBytes mac);

}  // namespace vantor
