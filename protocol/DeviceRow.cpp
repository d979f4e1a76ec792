#include "protocol/DeviceRow.h"

#include "resources/StringTable.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace vantor {
namespace {

// The name bytes up to the first NUL, when that makes 1 to 16 bytes; empty otherwise (byte 18
// NUL, or no NUL in the whole 17-byte field, which means a name longer than 16 bytes).
std::string_view UsableName(const DEVICE_PACKET& reply)
{
    const auto field = reply.NameField();
    const auto nul = std::find(field.begin(), field.end(), std::uint8_t{0});
    if (nul == field.end())
        return {};
    return std::string_view(reinterpret_cast<const char*>(field.data()), static_cast<std::size_t>(nul - field.begin()));
}

std::string StoredText(int id)
{
    return std::string(LoadStringUtf8(id).value_or(std::string_view()));
}

// snprintf into a buffer far larger than the longest result ("255.255.255.255", "FF-FF-FF-FF-FF-FF").
template <typename... Args>
std::string Format(const char* format, Args... args)
{
    std::array<char, 32> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), format, args...);
    if (length < 0)
        return {};
    return std::string(buffer.data(), std::min(static_cast<std::size_t>(length), buffer.size() - 1));
}

}  // namespace

std::string FormatIpv4(const Ipv4Bytes& address)
{
    return Format("%u.%u.%u.%u", unsigned{address[0]}, unsigned{address[1]}, unsigned{address[2]},
                  unsigned{address[3]});
}

std::string FormatMac(const MacBytes& mac)
{
    return Format("%02X-%02X-%02X-%02X-%02X-%02X", unsigned{mac[0]}, unsigned{mac[1]}, unsigned{mac[2]},
                  unsigned{mac[3]}, unsigned{mac[4]}, unsigned{mac[5]});
}

std::string FormatVersion(std::uint8_t major, std::uint8_t minor)
{
    return Format("%X.%02X", unsigned{major}, unsigned{minor});
}

int RowIconIndex(std::uint8_t modelCode)
{
    return modelCode == kModelCodeMarven || modelCode == kModelCodeOrvik ? 2 : 1;
}

std::string BuildRowRecord(const DEVICE_PACKET& reply)
{
    const std::uint8_t model = reply.ModelCode();
    const bool knownModel = model == kModelCodeMarven || model == kModelCodeOrvik;

    std::string name;
    if (knownModel) {
        const std::string_view usable = UsableName(reply);
        name = usable.empty() ? StoredText(model == kModelCodeMarven ? ids::IDS_MODEL_MARVEN : ids::IDS_MODEL_ORVIK)
                              : std::string(usable);
    } else {
        name = StoredText(ids::IDS_MODEL_UNKNOWN);
    }

    // Each field is appended whole, so a comma in the name does not start a new field.
    const std::array<std::string, kRowFieldCount> fields = {
        std::move(name),
        FormatIpv4(reply.IpAddress()),
        FormatIpv4(reply.SubnetMask()),
        knownModel ? FormatIpv4(reply.Gateway()) : std::string("0.0.0.0"),
        FormatMac(reply.MacAddress()),
        knownModel ? FormatVersion(reply.VersionMajor(), reply.VersionMinor()) : std::string("0.00"),
    };
    std::string record;
    for (const std::string& field : fields) {
        record += field;
        record += '\0';
    }
    return record;
}

std::string_view RowRecordField(std::string_view record, int field)
{
    if (field < 0)
        return {};
    for (int skipped = 0; skipped < field; ++skipped) {
        const std::size_t nul = record.find('\0');
        if (nul == std::string_view::npos)
            return {};
        record.remove_prefix(nul + 1);
    }
    return record.substr(0, record.find('\0'));
}

}  // namespace vantor
