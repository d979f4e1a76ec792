// The browser command's text rules: the program part of a command value, the browser variable's
// first entry, and which address texts may reach a browser as its argument.
#include "commands/BrowserCommand.h"
#include "commands/CommandDatagrams.h"
#include "platform/DefaultBrowser.h"
#include "tests/fuzz/FuzzCheck.h"

#include <QProcessEnvironment>

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstdint>
#include <string>

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantor;
    FuzzedDataProvider input(data, size);
    const std::string value = input.ConsumeRandomLengthString(600);

    // The program part is the value's own text up to and including its first "exe".
    if (const std::optional<std::string> path = BrowserPathFromCommandValue(value)) {
        FUZZ_CHECK(value.size() < kBrowserCommandBufferSize);
        const std::size_t first = !value.empty() && value.front() == '"' ? 1 : 0;
        FUZZ_CHECK(path->size() >= 3 && value.compare(first, path->size(), *path) == 0);
        FUZZ_CHECK(Lower(path->substr(path->size() - 3)) == "exe");
        FUZZ_CHECK(Lower(*path).find("exe") == path->size() - 3);
        FUZZ_CHECK(path->find('\0') == std::string::npos);
    } else {
        const std::string text = Lower(value.substr(0, value.find('\0')));
        FUZZ_CHECK(value.size() >= kBrowserCommandBufferSize || text.find("exe") == std::string::npos ||
                   text.find("exe") > kBrowserCommandBufferSize - 4);
    }

    // $BROWSER from outside: whatever it holds, only an executable file can come back. PATH and
    // the XDG folders point nowhere, so nothing of this machine's set-up is found.
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("BROWSER"), QString::fromUtf8(input.ConsumeRandomLengthString(300)));
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/nonexistent-vantor-fuzz"));
    environment.insert(QStringLiteral("HOME"), QStringLiteral("/nonexistent-vantor-fuzz"));
    environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), QStringLiteral("/nonexistent-vantor-fuzz"));
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/nonexistent-vantor-fuzz"));
    if (const std::optional<QString> program = FindBrowserCommand(environment))
        FUZZ_CHECK(program->startsWith(QLatin1Char('/')));

    // Addresses from the network: each safe one is passed as exactly one argument, cut to a cell.
    std::vector<std::string> addresses;
    while (input.remaining_bytes() > 0 && addresses.size() < 8)
        addresses.push_back(input.ConsumeRandomLengthString(400));
    int launched = 0;
    const int started =
        OpenWebPages(QStringLiteral("browser"), addresses, [&](const QString& program, const QStringList& arguments) {
            FUZZ_CHECK(program == QStringLiteral("browser"));
            FUZZ_CHECK(arguments.size() == 1);
            FUZZ_CHECK(!arguments[0].isEmpty() && !arguments[0].startsWith(u'-'));
            FUZZ_CHECK(static_cast<std::size_t>(arguments[0].size()) <= kCellTextLimit);
            ++launched;
            return true;
        });
    int safe = 0;
    for (const std::string& address : addresses)
        safe += IsSafeBrowserArgument(std::string_view(address).substr(0, kCellTextLimit)) ? 1 : 0;
    FUZZ_CHECK(started == launched && launched == safe);
    return 0;
}
