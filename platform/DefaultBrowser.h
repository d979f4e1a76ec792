#pragma once

#include <QProcessEnvironment>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// Size of the buffer a browser command value is read into; a value that does not fit (with its
// terminator) is not used.
inline constexpr std::size_t kBrowserCommandBufferSize = 256;

// The program part of a Windows-style browser command value such as
// "\"C:\\Program Files\\Browser\\browser.exe\" -osint -url \"%1\"": from the first character
// (a leading double quote dropped) through the first "exe" in any letter case that starts no
// further than position 252; everything after it is cut. Nothing when the value has no such
// "exe" or does not fit the buffer. The letters match wherever they stand, a folder named
// "exec" included.
std::optional<std::string> BrowserPathFromCommandValue(std::string_view value);

// The default web browser's program, found the way the desktop's own tools find it, in order:
//  1. $BROWSER: the program of its first colon-separated entry;
//  2. the desktop's default handler of http addresses: the first entry for
//     "x-scheme-handler/http" in the mimeapps.list files of the XDG configuration and data
//     directories, and the program of that desktop entry's Exec line;
//  3. x-www-browser, sensible-browser, www-browser on the PATH.
// On Windows the command of the http protocol's open verb in the registry is read instead.
// A candidate counts only when it names an executable file. Nothing when none is found.
std::optional<QString>
FindBrowserCommand(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

}  // namespace vantor
