#include "protocol/DeviceRow.h"

#include "resources/StringTable.h"

#include <algorithm>
#include <array>

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

std::string_view StoredText(int id)
{
    return LoadStringUtf8(id).value_or(std::string_view());
}

// Appends text to a caller's buffer, counting what does not fit, so one pass both writes the
// record and tells its length.
class TextWriter {
public:
    explicit TextWriter(std::span<char> out)
        : m_out(out)
    { }

    void Put(char c)
    {
        if (m_length < m_out.size())
            m_out[m_length] = c;
        ++m_length;
    }
    void Put(std::string_view text)
    {
        for (const char c : text)
            Put(c);
    }
    void PutDecimal(unsigned value)  // 0..255
    {
        if (value >= 100)
            Put(static_cast<char>('0' + value / 100));
        if (value >= 10)
            Put(static_cast<char>('0' + value / 10 % 10));
        Put(static_cast<char>('0' + value % 10));
    }
    void PutHex(unsigned value, bool twoDigits)  // 0..255, upper case
    {
        static constexpr std::string_view kDigits = "0123456789ABCDEF";
        if (twoDigits || value >= 16)
            Put(kDigits[value >> 4]);
        Put(kDigits[value & 0xF]);
    }
    void PutIpv4(const Ipv4Bytes& address)
    {
        for (std::size_t i = 0; i < address.size(); ++i) {
            if (i > 0)
                Put('.');
            PutDecimal(address[i]);
        }
    }
    void PutMac(const MacBytes& mac)
    {
        for (std::size_t i = 0; i < mac.size(); ++i) {
            if (i > 0)
                Put('-');
            PutHex(mac[i], true);
        }
    }
    void PutVersion(std::uint8_t major, std::uint8_t minor)
    {
        PutHex(major, false);
        Put('.');
        PutHex(minor, true);
    }
    std::size_t Length() const { return m_length; }

private:
    std::span<char> m_out;
    std::size_t m_length = 0;
};

// Formats into a local buffer (the longest text, a MAC address, has 17 characters).
template <typename Write>
std::string Formatted(Write write)
{
    std::array<char, 24> buffer{};
    TextWriter writer(buffer);
    write(writer);
    return std::string(buffer.data(), std::min(writer.Length(), buffer.size()));
}

}  // namespace

std::string FormatIpv4(const Ipv4Bytes& address)
{
    return Formatted([&](TextWriter& w) { w.PutIpv4(address); });
}

std::string FormatMac(const MacBytes& mac)
{
    return Formatted([&](TextWriter& w) { w.PutMac(mac); });
}

std::string FormatVersion(std::uint8_t major, std::uint8_t minor)
{
    return Formatted([&](TextWriter& w) { w.PutVersion(major, minor); });
}

int RowIconIndex(std::uint8_t modelCode)
{
    return modelCode == kModelCodeMarven || modelCode == kModelCodeOrvik ? 2 : 1;
}

std::size_t WriteRowRecord(const DEVICE_PACKET& reply, std::span<char> out)
{
    const std::uint8_t model = reply.ModelCode();
    const bool knownModel = model == kModelCodeMarven || model == kModelCodeOrvik;

    std::string_view name;
    if (knownModel) {
        name = UsableName(reply);
        if (name.empty())
            name = StoredText(model == kModelCodeMarven ? ids::IDS_MODEL_MARVEN : ids::IDS_MODEL_ORVIK);
    } else {
        name = StoredText(ids::IDS_MODEL_UNKNOWN);
    }

    // Each field is written whole, so a comma in the name does not start a new field.
    TextWriter w(out);
    w.Put(name);
    w.Put('\0');
    w.PutIpv4(reply.IpAddress());
    w.Put('\0');
    w.PutIpv4(reply.SubnetMask());
    w.Put('\0');
    if (knownModel)
        w.PutIpv4(reply.Gateway());
    else
        w.Put("0.0.0.0");
    w.Put('\0');
    w.PutMac(reply.MacAddress());
    w.Put('\0');
    if (knownModel)
        w.PutVersion(reply.VersionMajor(), reply.VersionMinor());
    else
        w.Put("0.00");
    w.Put('\0');
    return w.Length();
}

std::string BuildRowRecord(const DEVICE_PACKET& reply)
{
    std::array<char, kRowRecordBufferSize> buffer{};
    const std::size_t length = WriteRowRecord(reply, buffer);
    if (length <= buffer.size())
        return std::string(buffer.data(), length);
    std::string record(length, '\0');  // a long stored name: written again in full
    WriteRowRecord(reply, record);
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
