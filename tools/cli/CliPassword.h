#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantor::cli {

// The name of the environment variable a password may come from.
inline constexpr const char* kPasswordVariable = "VANTOR_PASSWORD";

struct PasswordResult {
    std::optional<std::string> bytes;  // the password field's bytes; empty on an error
    std::string error;
    std::string warning;  // the password was read, but something about it is unsafe
};

// Typed or stored password text to the bytes the datagram carries, by the window's rule: at
// most 8 characters from U+0001 to U+00FF, one byte each. The text is read as UTF-8 when it is
// valid UTF-8, otherwise one character per byte. Only the first line counts (a trailing line
// end is no part of the password).
PasswordResult PasswordFromText(std::string_view text);

// The first line of a file. A file that group or others may read still works, with a warning,
// as ssh treats its keys.
PasswordResult PasswordFromFile(const std::string& path);

// Asks on the controlling terminal with echo off; empty when there is no terminal (the reason
// in *error).
std::optional<std::string> PromptWithoutEcho(const std::string& prompt, std::string* error);

}  // namespace vantor::cli
