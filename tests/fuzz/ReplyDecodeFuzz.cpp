// Reply decoding: any bytes a device sends become a row record of exactly six fields, each
// field a known shape, and never a read outside the datagram.
#include "protocol/DevicePacket.h"
#include "protocol/DeviceRow.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace {

bool IsDottedAddress(std::string_view text)
{
    int dots = 0;
    for (const char c : text) {
        if (c == '.')
            ++dots;
        else if (c < '0' || c > '9')
            return false;
    }
    return dots == 3 && text.size() >= 7 && text.size() <= 15;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantor;
    DEVICE_PACKET reply;
    if (!DEVICE_PACKET::FromBytes(std::span<const std::uint8_t>(data, size), reply)) {
        FUZZ_CHECK(size != DEVICE_PACKET::kSize);
        return 0;
    }
    const std::string record = BuildRowRecord(reply);
    // Six fields, each ended by its NUL: no byte of the name can start a field of its own.
    FUZZ_CHECK(std::count(record.begin(), record.end(), '\0') == kRowFieldCount);
    FUZZ_CHECK(!record.empty() && record.back() == '\0');
    // The name is at most the 16 bytes before the field's terminator, or a stored model name.
    FUZZ_CHECK(!RowRecordField(record, 0).empty() && RowRecordField(record, 0).size() <= 32);
    for (const int field : {1, 2, 3})
        FUZZ_CHECK(IsDottedAddress(RowRecordField(record, field)));
    FUZZ_CHECK(RowRecordField(record, 4).size() == 17);
    FUZZ_CHECK(!RowRecordField(record, 5).empty() && RowRecordField(record, 5).size() <= 5);
    FUZZ_CHECK(RowRecordField(record, kRowFieldCount).empty());
    FUZZ_CHECK(RowRecordField(record, -1).empty());
    FUZZ_CHECK(RowRecordField(record, 1) == FormatIpv4(reply.IpAddress()));
    FUZZ_CHECK(RowRecordField(record, 4) == FormatMac(reply.MacAddress()));
    const int icon = RowIconIndex(reply.ModelCode());
    FUZZ_CHECK(icon == 1 || icon == 2);
    // Fields read back from any text, a record cut anywhere included, stay inside it.
    const std::string_view cut(record.data(), std::min(record.size(), static_cast<std::size_t>(data[0])));
    for (int field = 0; field <= kRowFieldCount; ++field)
        FUZZ_CHECK(RowRecordField(cut, field).size() <= cut.size());
    return 0;
}
