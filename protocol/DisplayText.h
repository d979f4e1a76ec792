#pragma once

#include <QString>

#include <string_view>

namespace vantor {

// Device texts travel and are kept as bytes. For display they become characters by one rule:
// UTF-8 when the bytes are valid UTF-8, otherwise one character per byte (Latin-1), so nothing
// is lost. The list shows every cell by it, and vantor-cli prints by it.
QString DisplayTextFromBytes(std::string_view bytes);

}  // namespace vantor
