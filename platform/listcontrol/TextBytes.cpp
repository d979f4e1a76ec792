#include "platform/listcontrol/TextBytes.h"

#include <algorithm>
#include <cstring>

namespace vantor::lc {

int CopyTextToBuffer(std::string_view text, char* buffer, int capacity)
{
    if (buffer == nullptr || capacity <= 0)
        return 0;
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(capacity) - 1);
    if (count > 0)
        std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

}  // namespace vantor::lc
