#pragma once

#include "protocol/DisplayText.h"

#include <string_view>

namespace vantor::lc {

// The list keeps texts as bytes and shows them by the rule of protocol/DisplayText.h.
using vantor::DisplayTextFromBytes;

// Copies `text` into a caller buffer of `capacity` bytes: at most capacity - 1 bytes and a
// terminating NUL. Copies nothing (and writes nothing) when the buffer is null or the capacity
// is 0 or less. Returns the number of text bytes copied.
int CopyTextToBuffer(std::string_view text, char* buffer, int capacity);

}  // namespace vantor::lc
