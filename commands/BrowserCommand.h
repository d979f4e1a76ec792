#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Whether a row's address text may be handed to a browser as its only argument: not empty and
// not beginning with "-", which a browser would take for an option. The text is never
// interpreted otherwise.
bool IsSafeBrowserArgument(std::string_view addressText);

// Starts a program detached with an argument list (never through a shell); false when it could
// not be started.
using ProgramLauncher = std::function<bool(const QString& program, const QStringList& arguments)>;
bool StartDetached(const QString& program, const QStringList& arguments);

// Opens each address in the browser, one start per address in the given order; addresses that
// are not safe arguments are skipped and every failure is silent. Returns the number started.
int OpenWebPages(const QString& browser, const std::vector<std::string>& addresses,
                 const ProgramLauncher& launch = StartDetached);

}  // namespace vantor
