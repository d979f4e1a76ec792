#pragma once

#include "protocol/BroadcastInterfaces.h"

#include <string>
#include <vector>

namespace vantor::cli {

struct CliOptions;

// How the discovery request goes out and which replies count.
struct SendPlan {
    // Interfaces the limited broadcast is sent through, one request each.
    std::vector<int> interfaceIndexes;
    // Only replies that came in on this interface count; 0: every reply.
    int acceptOnly = 0;
};

struct PlanResult {
    bool ok = false;
    SendPlan plan;
    int exitCode = 0;
    std::string error;
};

// --interface NAME: that interface, which must be up, carry an IPv4 address and be able to
// broadcast. Otherwise (--all-interfaces or nothing) every such interface, loopback excluded, as
// the window searches.
PlanResult PlanDiscovery(const CliOptions& options, const std::vector<InterfaceInfo>& interfaces);

}  // namespace vantor::cli
