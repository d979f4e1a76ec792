#pragma once

#include <QString>

#include <string_view>

namespace vantor::lc {

// The list keeps texts as bytes. For display they become characters by one rule: UTF-8 when
// the bytes are valid UTF-8, otherwise one character per byte (Latin-1), so nothing is lost.
QString DisplayTextFromBytes(std::string_view bytes);

// Copies `text` into a caller buffer of `capacity` bytes: at most capacity - 1 bytes and a
// terminating NUL. Copies nothing (and writes nothing) when the buffer is null or the capacity
// is 0 or less. Returns the number of text bytes copied.
int CopyTextToBuffer(std::string_view text, char* buffer, int capacity);

}  // namespace vantor::lc
