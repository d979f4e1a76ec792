#include "protocol/PortOpenFailureText.h"

namespace vantor {

std::string PortOpenFailureText(std::string_view storedText, int port)
{
    const std::string number = std::to_string(port);
    const std::size_t lineFeed = storedText.find('\n');
    if (lineFeed == std::string_view::npos)
        return number + std::string(storedText);
    std::string text(storedText.substr(0, lineFeed));
    text += number;
    text += storedText.substr(lineFeed + 1);
    return text;
}

}  // namespace vantor
