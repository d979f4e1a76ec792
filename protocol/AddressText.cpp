#include "protocol/AddressText.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantor {
namespace {

// One to three decimal digits or one to two hexadecimal ones, at most 255.
bool ParseByte(std::string_view text, unsigned base, std::uint8_t& out)
{
    if (text.empty() || text.size() > (base == 10 ? 3u : 2u))
        return false;
    unsigned value = 0;
    for (const char c : text) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        value = value * base + digit;
    }
    if (value > 255)
        return false;
    out = static_cast<std::uint8_t>(value);
    return true;
}

template <std::size_t N>
bool SplitBytes(std::string_view text, char separator, unsigned base, std::array<std::uint8_t, N>& out)
{
    for (std::size_t i = 0; i < N; ++i) {
        const std::size_t end = i + 1 < N ? text.find(separator) : text.size();
        if (end == std::string_view::npos || !ParseByte(text.substr(0, end), base, out[i]))
            return false;
        text.remove_prefix(i + 1 < N ? end + 1 : end);
    }
    return text.empty();
}

}  // namespace

std::optional<Ipv4Bytes> ParseIpv4(std::string_view text)
{
    Ipv4Bytes bytes{};
    if (!SplitBytes(text, '.', 10, bytes))
        return std::nullopt;
    return bytes;
}

std::optional<MacBytes> ParseMac(std::string_view text)
{
    // Six groups of at most two digits and five separators: 17 characters only when every
    // group has two.
    if (text.size() != 17)
        return std::nullopt;
    MacBytes bytes{};
    if (SplitBytes(text, '-', 16, bytes) || SplitBytes(text, ':', 16, bytes))
        return bytes;
    return std::nullopt;
}

}  // namespace vantor
