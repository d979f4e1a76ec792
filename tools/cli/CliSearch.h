#pragma once
// The pieces the commands of vantor-cli share: one discovery, failures with their exit codes,
// the password for a run.

#include "protocol/CListSocket.h"
#include "tools/cli/CliRunner.h"
#include "tools/cli/DeviceListing.h"
#include "tools/cli/DiscoveryPlan.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace vantor::cli {

struct CliOptions;

struct Failure {
    int exitCode = 0;
    std::string message;
};

// The endpoint could not be opened: the window's own text when another program holds the port
// (exit 3), the system's reason otherwise (exit 4).
Failure OpenFailure(const CListSocket& endpoint);

// Writes "vantor-cli: message" to err and returns the failure's exit code.
int Report(const Failure& failure, std::ostream& err);

struct DiscoveryOutcome {
    std::optional<Failure> failure;
    std::vector<FoundDevice> devices;
};

// One search by the window's rule: the request goes out once per interface of the plan, and
// listening goes on while each window brings a new device.
DiscoveryOutcome Discover(const CliOptions& options, const SendPlan& plan, const EndpointAddresses& addresses);

// Waits while the event loop runs.
void Pause(int milliseconds);

struct PasswordSource {
    std::optional<std::string> password;  // the datagram's password bytes; empty: ask later
    std::optional<Failure> failure;
};

// The password from --password-file or VANTOR_PASSWORD, read before anything goes on the wire.
PasswordSource PresetPassword(const CliOptions& options, CliEnvironment& environment);
// The prompt, for when neither gave one.
PasswordSource AskPassword(CliEnvironment& environment);

// vantor-cli commission.
int RunCommission(const CliOptions& options, const SendPlan& plan, CliEnvironment& environment);

}  // namespace vantor::cli
