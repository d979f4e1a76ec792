#pragma once

#include "protocol/CListSocket.h"
#include "tools/cli/BroadcastInterfaces.h"
#include "tools/cli/DiagnosisSystem.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace vantor::cli {

// What the command line program reaches outside itself; main() fills in the real ones, tests
// put in their own.
struct CliEnvironment {
    std::ostream& out;
    std::ostream& err;
    std::function<std::optional<std::string>(const char* name)> variable;
    std::function<std::optional<std::string>(std::string* error)> promptPassword;
    std::function<std::vector<InterfaceInfo>()> interfaces = SystemInterfaces;
    EndpointAddresses addresses;
    DiagnosisSystem diagnosisSystem = DiagnosisSystem::Real();
};

// Runs one command line (the arguments after the program name) and returns the exit code.
// Needs a Qt core application on this thread; runs its event loop while it waits for replies.
int RunCli(const std::vector<std::string>& args, CliEnvironment& environment);

}  // namespace vantor::cli
