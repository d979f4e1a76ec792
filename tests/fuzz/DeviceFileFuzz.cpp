// The device simulator's device files: any content is either a list of devices or an error
// message, and every device read writes back to a line that reads as the same device.
#include "tests/fuzz/FuzzCheck.h"
#include "tools/devsim/DeviceFileParser.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using vantor::devsim::DeviceFileParser;
    const auto result =
        DeviceFileParser::Parse(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!result.Ok()) {
        FUZZ_CHECK(result.devices.empty());
        return 0;
    }
    FUZZ_CHECK(!result.devices.empty());
    for (const auto& device : result.devices) {
        FUZZ_CHECK(device.name.size() <= device.kMaxNameSize);
        FUZZ_CHECK(device.password.size() <= device.kMaxPasswordSize);
        const auto again = DeviceFileParser::Parse(device.ToLine().toUtf8());
        FUZZ_CHECK(again.Ok() && again.devices.size() == 1);
        FUZZ_CHECK(again.devices.front() == device);
    }
    return 0;
}
