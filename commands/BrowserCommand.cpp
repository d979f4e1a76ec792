#include "commands/BrowserCommand.h"

#include "commands/CommandDatagrams.h"

#include <QProcess>

namespace vantor {
bool IsSafeBrowserArgument(std::string_view addressText)
{
    return !addressText.empty() && addressText.front() != '-';
}

bool StartDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

int OpenWebPages(const QString& browser, const std::vector<std::string>& addresses, const ProgramLauncher& launch)
{
    int started = 0;
    for (const std::string& address : addresses) {
        // A cell is read as at most 259 characters; the text came from the network and is
        // passed on as one argument, nothing more.
        const std::string_view text = std::string_view(address).substr(0, kCellTextLimit);
        if (!IsSafeBrowserArgument(text))
            continue;
        if (launch(browser, {QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))}))
            ++started;
    }
    return started;
}

}  // namespace vantor
