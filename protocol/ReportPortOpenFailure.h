#pragma once

#include <string>
#include <string_view>

class QWidget;

namespace vantor {

// Builds the endpoint failure message from its stored text: the port number takes the place of
// the first line feed; a text without a line feed gets the number in front of it.
std::string PortOpenFailureText(std::string_view storedText, int port);

// Tells the operator that port 4000 could not be opened: a modal message box captioned
// "Dorvex" with the exclamation icon and an OK button.
void ReportPortOpenFailure(QWidget* parent = nullptr);

}  // namespace vantor
