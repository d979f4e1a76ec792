#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vantor {

// Opcode byte (offset 3) of every request the program sends.
enum class Opcode : std::uint8_t {
    Discovery = 0x39,       // '9'
    SetIpAddress = 0x3A,    // ':'
    SetSubnetMask = 0x3B,   // ';'
    SetMacAddress = 0x3C,   // '<'
    SoftReset = 0x3D,       // '='
    SetGateway = 0x3E,      // '>'
    FirmwareUpdate = 0x3F,  // '?'
};

// Model codes the program recognises in replies.
inline constexpr std::uint8_t kModelCodeMarven = 31;
inline constexpr std::uint8_t kModelCodeOrvik = 32;

using Ipv4Bytes = std::array<std::uint8_t, 4>;
using MacBytes = std::array<std::uint8_t, 6>;

// The one datagram of the device protocol: 52 bytes, fields at fixed offsets, every byte a
// sender does not fill is zero. Addresses travel in dotted order (first number at the lowest
// offset), the MAC in display order.
struct DEVICE_PACKET {
    static constexpr std::size_t kSize = 52;
    static constexpr std::size_t kSignatureOffset = 0;
    static constexpr std::size_t kOpcodeOffset = 3;
    static constexpr std::size_t kIpOffset = 4;
    static constexpr std::size_t kMaskOffset = 8;
    static constexpr std::size_t kMacOffset = 12;
    static constexpr std::size_t kNameOffset = 18;
    static constexpr std::size_t kNameFieldSize = 17;  // 16 bytes of text and a NUL
    static constexpr std::size_t kGatewayOffset = 35;
    static constexpr std::size_t kVersionMajorOffset = 39;
    static constexpr std::size_t kVersionMinorOffset = 40;
    static constexpr std::size_t kModelCodeOffset = 41;
    static constexpr std::size_t kPasswordOffset = 42;
    static constexpr std::size_t kPasswordSize = 8;

    std::array<std::uint8_t, kSize> bytes{};

    // A cleared packet with "KWZ" and the opcode filled in.
    static DEVICE_PACKET Request(Opcode opcode)
    {
        DEVICE_PACKET packet;
        packet.bytes[0] = 'K';
        packet.bytes[1] = 'W';
        packet.bytes[2] = 'Z';
        packet.bytes[kOpcodeOffset] = static_cast<std::uint8_t>(opcode);
        return packet;
    }
    static DEVICE_PACKET Discovery() { return Request(Opcode::Discovery); }

    // Takes exactly 52 bytes; anything else is not a packet of this protocol.
    static bool FromBytes(std::span<const std::uint8_t> data, DEVICE_PACKET& out)
    {
        if (data.size() != kSize)
            return false;
        std::copy(data.begin(), data.end(), out.bytes.begin());
        return true;
    }

    std::uint8_t Opcode() const { return bytes[kOpcodeOffset]; }
    Ipv4Bytes IpAddress() const { return IpAt(kIpOffset); }
    Ipv4Bytes SubnetMask() const { return IpAt(kMaskOffset); }
    Ipv4Bytes Gateway() const { return IpAt(kGatewayOffset); }
    MacBytes MacAddress() const
    {
        MacBytes mac{};
        std::copy_n(bytes.begin() + kMacOffset, mac.size(), mac.begin());
        return mac;
    }
    std::uint8_t VersionMajor() const { return bytes[kVersionMajorOffset]; }
    std::uint8_t VersionMinor() const { return bytes[kVersionMinorOffset]; }
    std::uint8_t ModelCode() const { return bytes[kModelCodeOffset]; }
    // The raw 17-byte name field (text and terminator, not necessarily terminated).
    std::span<const std::uint8_t, kNameFieldSize> NameField() const
    {
        return std::span<const std::uint8_t, kNameFieldSize>(bytes.data() + kNameOffset, kNameFieldSize);
    }

    void SetIpAddress(const Ipv4Bytes& value) { SetIpAt(kIpOffset, value); }
    void SetSubnetMask(const Ipv4Bytes& value) { SetIpAt(kMaskOffset, value); }
    void SetGateway(const Ipv4Bytes& value) { SetIpAt(kGatewayOffset, value); }
    void SetMacAddress(const MacBytes& value) { std::copy(value.begin(), value.end(), bytes.begin() + kMacOffset); }
    void SetVersion(std::uint8_t major, std::uint8_t minor)
    {
        bytes[kVersionMajorOffset] = major;
        bytes[kVersionMinorOffset] = minor;
    }
    void SetModelCode(std::uint8_t code) { bytes[kModelCodeOffset] = code; }
    // Copies at most 17 bytes into the name field and zero-fills the rest of it; a 17-byte name
    // leaves the field without a terminator, as a device may send it.
    void SetNameField(std::string_view name)
    {
        auto field = bytes.begin() + kNameOffset;
        std::fill_n(field, kNameFieldSize, std::uint8_t{0});
        std::copy_n(name.begin(), std::min(name.size(), kNameFieldSize), field);
    }
    // The typed password from offset 42, no terminator, the rest of the field zero; longer
    // input is cut to the field.
    void SetPassword(std::string_view password)
    {
        auto field = bytes.begin() + kPasswordOffset;
        std::fill_n(field, kPasswordSize, std::uint8_t{0});
        std::copy_n(password.begin(), std::min(password.size(), kPasswordSize), field);
    }
    std::array<std::uint8_t, kPasswordSize> passwordField() const
    {
        std::array<std::uint8_t, kPasswordSize> field{};
        std::copy_n(bytes.begin() + kPasswordOffset, kPasswordSize, field.begin());
        return field;
    }

    friend bool operator==(const DEVICE_PACKET&, const DEVICE_PACKET&) = default;

private:
    Ipv4Bytes IpAt(std::size_t offset) const
    {
        Ipv4Bytes ip{};
        std::copy_n(bytes.begin() + offset, ip.size(), ip.begin());
        return ip;
    }
    void SetIpAt(std::size_t offset, const Ipv4Bytes& value)
    {
        std::copy(value.begin(), value.end(), bytes.begin() + offset);
    }
};

static_assert(sizeof(DEVICE_PACKET) == DEVICE_PACKET::kSize, "the datagram is exactly 52 bytes");
static_assert(DEVICE_PACKET::kPasswordOffset + DEVICE_PACKET::kPasswordSize + 2 == DEVICE_PACKET::kSize);

}  // namespace vantor
