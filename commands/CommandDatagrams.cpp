#include "commands/CommandDatagrams.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstdint>

namespace vantor {
namespace {

// The value of one digit in the given base (10 or 16), or -1 when c is no such digit.
int DigitValue(char c, unsigned base)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The low 8 bits of the number the piece starts with. Keeping only the low 8 bits after each
// digit gives the same result as the whole number would, and nothing can overflow.
std::uint8_t LeadingNumberLow8(std::string_view piece, unsigned base)
{
    unsigned value = 0;
    for (const char c : piece) {
        const int digit = DigitValue(c, base);
        if (digit < 0)
            break;
        value = (value * base + static_cast<unsigned>(digit)) & 0xFFu;
    }
    return static_cast<std::uint8_t>(value);
}

template <std::size_t N>
std::array<std::uint8_t, N> PiecesToBytes(std::string_view cellText, char separator, unsigned base)
{
    const std::string_view text = cellText.substr(0, std::min(cellText.size(), kCellTextLimit));
    std::array<std::uint8_t, N> bytes{};
    std::size_t filled = 0;
    std::size_t begin = 0;
    while (begin < text.size() && filled < N) {
        const std::size_t end = std::min(text.find(separator, begin), text.size());
        if (end > begin)
            bytes[filled++] = LeadingNumberLow8(text.substr(begin, end - begin), base);
        begin = end + 1;
    }
    return bytes;
}

}  // namespace

Ipv4Bytes DottedAddressToBytes(std::string_view cellText)
{
    return PiecesToBytes<4>(cellText, '.', 10);
}

MacBytes MacTextToBytes(std::string_view cellText)
{
    return PiecesToBytes<6>(cellText, '-', 16);
}

bool HasSingleBytePasswordForm(QChar character)
{
    return character.unicode() >= 0x01 && character.unicode() <= 0xFF;
}

std::optional<std::string> PasswordBytes(const QString& typed)
{
    if (static_cast<std::size_t>(typed.size()) > kPasswordMaxBytes)
        return std::nullopt;
    std::string bytes;
    for (const QChar character : typed) {
        if (!HasSingleBytePasswordForm(character))
            return std::nullopt;
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(character.unicode())));
    }
    return bytes;
}

DEVICE_PACKET SetAddressDatagram(Opcode op, Ipv4Bytes ip, Ipv4Bytes mask, Ipv4Bytes gateway, MacBytes mac)
{
    Q_ASSERT(op == Opcode::SetIpAddress || op == Opcode::SetSubnetMask || op == Opcode::SetGateway);
    DEVICE_PACKET packet = DEVICE_PACKET::Request(op);
    packet.SetIpAddress(ip);
    packet.SetSubnetMask(mask);
    packet.SetMacAddress(mac);
    packet.SetGateway(gateway);
    return packet;
}

DEVICE_PACKET SetMacDatagram(Ipv4Bytes currentIp, MacBytes currentMac)
{
    MacBytes newMac = currentMac;
    newMac[1] = static_cast<std::uint8_t>(newMac[1] + 1u);
    DEVICE_PACKET packet = DEVICE_PACKET::Request(Opcode::SetMacAddress);
    packet.SetIpAddress(currentIp);
    packet.SetMacAddress(newMac);
    return packet;
}

DEVICE_PACKET MacDatagram(Opcode op, MacBytes mac)
{
    Q_ASSERT(op == Opcode::SoftReset || op == Opcode::FirmwareUpdate);
    DEVICE_PACKET packet = DEVICE_PACKET::Request(op);
    packet.SetMacAddress(mac);
    return packet;
}

}  // namespace vantor
