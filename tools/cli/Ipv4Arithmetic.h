#pragma once
// IPv4 addresses as 32-bit numbers, for subnet arithmetic: the plan checks and the diagnosis.

#include "protocol/DevicePacket.h"
#include "protocol/DeviceRow.h"

#include <cstdint>
#include <string>

namespace vantor::cli {

using Ipv4Number = std::uint32_t;

inline Ipv4Number ToNumber(const Ipv4Bytes& bytes)
{
    return (Ipv4Number{bytes[0]} << 24) | (Ipv4Number{bytes[1]} << 16) | (Ipv4Number{bytes[2]} << 8) |
           Ipv4Number{bytes[3]};
}

inline Ipv4Bytes ToBytes(Ipv4Number number)
{
    return {static_cast<std::uint8_t>(number >> 24), static_cast<std::uint8_t>(number >> 16),
            static_cast<std::uint8_t>(number >> 8), static_cast<std::uint8_t>(number)};
}

// The mask of a prefix length; lengths outside 0..32 are clamped (a shift by 32 is undefined).
inline Ipv4Number PrefixMask(int prefixLength)
{
    if (prefixLength <= 0)
        return 0;
    return prefixLength >= 32 ? ~Ipv4Number{0} : ~Ipv4Number{0} << (32 - prefixLength);
}

// "192.168.1.0/24": the subnet of an address.
inline std::string SubnetText(Ipv4Number address, int prefixLength)
{
    return FormatIpv4(ToBytes(address & PrefixMask(prefixLength))) + "/" + std::to_string(prefixLength);
}

}  // namespace vantor::cli
