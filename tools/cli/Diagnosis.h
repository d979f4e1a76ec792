#pragma once

#include "protocol/BroadcastInterfaces.h"
#include "tools/cli/DeviceListing.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::cli {

// Why a search finds nothing: checks over facts gathered elsewhere (interfaces, /proc texts,
// firewall tool outputs, container markers, one search per adapter). No I/O here.

// What running an outside program gave.
struct CommandResult {
    bool started = false;  // false: the program is not installed
    int exitCode = -1;
    std::string output;  // standard output, then standard error
};

// One process's open socket, from its /proc/PID/fd links.
struct ProcessSocket {
    int pid = 0;
    std::string program;
    std::uint64_t inode = 0;
};

enum class PortProbe { Free, InUse, Failed };

struct PortFacts {
    std::uint16_t port = 4000;
    PortProbe probe = PortProbe::Free;  // binding the port as a search does
    std::string probeError;             // why the probe failed otherwise
    std::string procNetUdp;             // /proc/net/udp and /proc/net/udp6 (empty: unreadable)
    std::string procNetUdp6;
    std::vector<ProcessSocket> owners;  // processes whose sockets could be seen
};

struct FirewallFacts {
    bool root = false;
    CommandResult firewalldState;        // firewall-cmd --state
    CommandResult firewalldDefaultZone;  // firewall-cmd --get-default-zone
    CommandResult firewalldZones;        // firewall-cmd --list-all-zones
    CommandResult ufwStatus;             // ufw status verbose
};

struct ContainerFacts {
    bool dockerEnv = false;         // /.dockerenv exists
    bool containerEnv = false;      // /run/.containerenv exists
    std::string initCgroup;         // /proc/1/cgroup
    std::string containerVariable;  // the environment variable "container"
};

// One search through one adapter, on its own so that a device reachable through two adapters
// shows up in both.
struct AdapterSearch {
    std::string interfaceName;
    std::string failure;  // empty: the search ran
    std::vector<FoundDevice> devices;
};

struct DiagnosisFacts {
    std::vector<InterfaceInfo> interfaces;
    std::string chosenInterface;  // --interface; empty: every usable adapter
    PortFacts port;
    FirewallFacts firewall;
    ContainerFacts container;
    std::vector<AdapterSearch> searches;
};

enum class Severity { Ok, Note, Warning, Problem };

struct Finding {
    Severity severity = Severity::Ok;
    std::string subject;  // "adapter eth0", "port 4000", "firewalld", ...
    std::string text;     // what was found and what to do about it
};

struct Diagnosis {
    std::vector<Finding> findings;
    int devicesAnswered = 0;  // distinct MAC addresses over every search
    std::string verdict;
};

// The adapters a diagnosis searches through: the usable ones, or just the chosen one when it is
// usable.
std::vector<InterfaceInfo> AdaptersToSearch(const std::vector<InterfaceInfo>& interfaces, const std::string& chosen);

Diagnosis Diagnose(const DiagnosisFacts& facts);
// One line per finding, then the verdict.
std::string FormatDiagnosis(const Diagnosis& diagnosis);

// A socket of /proc/net/udp or /proc/net/udp6.
struct UdpSocketEntry {
    std::uint16_t localPort = 0;
    unsigned uid = 0;
    std::uint64_t inode = 0;
};
std::vector<UdpSocketEntry> ParseProcNetUdp(std::string_view text);
// The inode of an fd link's target "socket:[12345]".
std::optional<std::uint64_t> SocketInodeFromLink(std::string_view target);

}  // namespace vantor::cli
