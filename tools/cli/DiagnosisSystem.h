#pragma once

#include "tools/cli/Diagnosis.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantor::cli {

// What `diagnose` reads of the machine besides the interfaces; the defaults are the real ones,
// tests put in their own.
struct DiagnosisSystem {
    std::function<std::optional<std::string>(const std::string& path)> readFile;
    std::function<bool(const std::string& path)> fileExists;
    // Runs a program (looked up in PATH, then /usr/sbin and /sbin) in the C locale.
    std::function<CommandResult(const std::string& program, const std::vector<std::string>& args)> runCommand;
    // The processes holding sockets with these inodes, as far as /proc lets this user see.
    std::function<std::vector<ProcessSocket>(const std::vector<std::uint64_t>& inodes)> socketOwners;
    // Binds the UDP port on every IPv4 address as a search does, and lets it go again.
    std::function<PortProbe(std::uint16_t port, std::string* error)> probePort;
    std::function<bool()> runsAsRoot;

    static DiagnosisSystem Real();
};

}  // namespace vantor::cli
