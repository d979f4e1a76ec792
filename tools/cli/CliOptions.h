#pragma once

#include "protocol/DevicePacket.h"

#include <optional>
#include <string>
#include <vector>

namespace vantor::cli {

// Exit codes of vantor-cli.
enum ExitCode : int {
    kExitSuccess = 0,
    kExitNotFound = 1,  // no device found, or a change not confirmed
    kExitUsage = 2,
    kExitPortInUse = 3,
    kExitNetwork = 4,
};

enum class Command { Help, Version, Discover, SetIp, SetMac, Reset, UpdateFirmware, Commission, Diagnose };
enum class OutputFormat { Table, Json, Csv };

struct CliOptions {
    Command command = Command::Help;
    // For Help: the command whose help is asked for (Help itself for the overview).
    Command helpFor = Command::Help;

    // Discovery, for every command that talks to devices.
    std::string interfaceName;   // empty: not given
    bool allInterfaces = false;  // accepted for older scripts: every adapter is the default
    int windowMs = 5000;
    OutputFormat format = OutputFormat::Table;

    // Device commands.
    MacBytes mac{};
    std::optional<Ipv4Bytes> ip;
    std::optional<Ipv4Bytes> mask;
    std::optional<Ipv4Bytes> gateway;
    std::string passwordFile;  // empty: not given
    bool wait = false;
    std::optional<int> waitDelayMs;  // empty: the command's own delay

    // Commissioning: a plan file, or --first-ip numbering (with the MACs given, or every device).
    std::string planFile;  // empty: --first-ip
    std::optional<Ipv4Bytes> firstIp;
    std::optional<int> count;
    std::vector<MacBytes> macs;
    bool dryRun = false;
    bool strict = false;
    std::string recordFile;  // empty: no record
};

struct ParseResult {
    std::optional<CliOptions> options;  // empty on a usage error
    std::string error;                  // the usage error, one line
};

// Reads the arguments after the program name. Never accepts a password: an option that looks
// like one is refused with a pointer to the safe ways of giving it.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

// Seconds as a decimal number, more than 0 and at most one hour; whole milliseconds, at least 1.
std::optional<int> ParseSecondsToMs(const std::string& text);

// The help text of a command (Help: the overview).
std::string HelpText(Command command);
std::string CommandName(Command command);

}  // namespace vantor::cli
