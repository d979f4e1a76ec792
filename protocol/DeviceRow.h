#pragma once

#include "protocol/DevicePacket.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vantor {

// Number of display fields of a device row: name, IP address, subnet mask, gateway, MAC,
// version, in column order.
inline constexpr int kRowFieldCount = 6;
// Each field's number in a row record, which is also its logical column in the device list.
inline constexpr int kNameField = 0;
inline constexpr int kIpField = 1;
inline constexpr int kMaskField = 2;
inline constexpr int kGatewayField = 3;
inline constexpr int kMacField = 4;
inline constexpr int kVersionField = 5;
static_assert(kVersionField + 1 == kRowFieldCount);

// Row record: the six display fields of one reply, each followed by a NUL, in one byte string.
// Built field by field, so a device name holding a comma stays one field. Name bytes are kept
// exactly as received.
std::string BuildRowRecord(const DEVICE_PACKET& reply);

// The same record written into `out` without any allocation of its own. Returns the record's
// length; when that exceeds out.size(), `out` holds only its beginning and the caller needs a
// larger buffer. Names are at most 16 bytes, so kRowRecordBufferSize holds every record whose
// name is not a longer stored text.
std::size_t WriteRowRecord(const DEVICE_PACKET& reply, std::span<char> out);
inline constexpr std::size_t kRowRecordBufferSize = 128;

// Field n (0..5) of a row record, without its NUL; empty when the record has fewer fields.
std::string_view RowRecordField(std::string_view record, int field);

// Image index of a reply's row: 2 for the recognised models (31, 32), 1 for every other code.
int RowIconIndex(std::uint8_t modelCode);

// Field formats, byte by byte in datagram order.
std::string FormatIpv4(const Ipv4Bytes& address);                   // "%u.%u.%u.%u"
std::string FormatMac(const MacBytes& mac);                         // "%02X-%02X-%02X-%02X-%02X-%02X"
std::string FormatVersion(std::uint8_t major, std::uint8_t minor);  // "%X.%02X"

}  // namespace vantor
