#pragma once

#include <string>
#include <string_view>

namespace vantor {

// Builds the endpoint failure message from its stored text: the port number takes the place of
// the first line feed; a text without a line feed gets the number in front of it.
std::string PortOpenFailureText(std::string_view storedText, int port);

}  // namespace vantor
