#include "tools/cli/CliPassword.h"

#include "commands/CommandDatagrams.h"
#include "protocol/DisplayText.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace vantor::cli {

PasswordResult PasswordFromText(std::string_view text)
{
    text = text.substr(0, text.find('\n'));
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    PasswordResult result;
    result.bytes = PasswordBytes(DisplayTextFromBytes(text));
    if (!result.bytes)
        result.error = "a password has at most 8 characters, each from U+0001 to U+00FF";
    return result;
}

PasswordResult PasswordFromFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        PasswordResult result;
        result.error = "cannot read the password file '" + path + "'";
        return result;
    }
    // A password line is short; a large file is no password file.
    std::string text(4096, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    PasswordResult result = PasswordFromText(text);
    struct stat status = {};
    if (result.bytes && ::stat(path.c_str(), &status) == 0 && (status.st_mode & (S_IRGRP | S_IROTH)) != 0)
        result.warning = "the password file '" + path + "' can be read by other users; chmod 600 it";
    return result;
}

}  // namespace vantor::cli
