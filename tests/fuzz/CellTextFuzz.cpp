// The cells read back into command datagrams: any text gives four or six bytes by the rule the
// commands document, checked here against a plain reading of that rule.
#include "commands/CommandDatagrams.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The rule written out the slow way: cut, split at every separator, drop empty pieces, read
// each piece's leading digits as a whole number, keep it modulo 256.
template <std::size_t N>
std::array<std::uint8_t, N> Reference(std::string_view text, char separator, unsigned base)
{
    text = text.substr(0, vantor::kCellTextLimit);
    std::vector<std::string> pieces(1);
    for (const char c : text) {
        if (c == separator)
            pieces.emplace_back();
        else
            pieces.back() += c;
    }
    std::array<std::uint8_t, N> bytes{};
    std::size_t filled = 0;
    for (const std::string& piece : pieces) {
        if (piece.empty() || filled == N)
            continue;
        unsigned remainder = 0;
        for (const char c : piece) {
            const std::string digits = base == 10 ? "0123456789" : "0123456789abcdef";
            const std::size_t digit = digits.find(static_cast<char>(base == 16 && c >= 'A' && c <= 'F' ? c + 32 : c));
            if (digit == std::string::npos)
                break;
            remainder = (remainder * base + static_cast<unsigned>(digit)) % 256;
        }
        bytes[filled++] = static_cast<std::uint8_t>(remainder);
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(vantor::DottedAddressToBytes(text) == (Reference<4>(text, '.', 10)));
    FUZZ_CHECK(vantor::MacTextToBytes(text) == (Reference<6>(text, '-', 16)));
    // The datagrams built from them carry the bytes at their offsets and nothing else.
    const vantor::MacBytes mac = vantor::MacTextToBytes(text);
    const vantor::Ipv4Bytes ip = vantor::DottedAddressToBytes(text);
    const vantor::DEVICE_PACKET packet = vantor::SetMacDatagram(ip, mac);
    FUZZ_CHECK(packet.IpAddress() == ip);
    FUZZ_CHECK(packet.MacAddress()[0] == mac[0] && packet.MacAddress()[1] == static_cast<std::uint8_t>(mac[1] + 1));
    return 0;
}
