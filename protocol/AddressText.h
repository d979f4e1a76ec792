#pragma once

#include "protocol/DevicePacket.h"

#include <optional>
#include <string_view>

namespace vantor {

// Strict text forms of the addresses a person types or a device file holds: something odd is
// refused, not guessed at.

// "a.b.c.d": four decimal numbers 0-255 of one to three digits.
std::optional<Ipv4Bytes> ParseIpv4(std::string_view text);
// Six pairs of hexadecimal digits, either case, joined by '-' or ':' (one separator throughout).
std::optional<MacBytes> ParseMac(std::string_view text);

}  // namespace vantor
