#include "tools/cli/BroadcastInterfaces.h"

#include "tools/cli/CliOptions.h"

#include <algorithm>

namespace vantor::cli {

PlanResult PlanDiscovery(const CliOptions& options, const std::vector<InterfaceInfo>& interfaces)
{
    PlanResult result;
    if (options.interfaceName.empty()) {
        result.plan.interfaceIndexes = BroadcastInterfaceIndexes(interfaces);
        if (result.plan.interfaceIndexes.empty()) {
            result.exitCode = kExitNetwork;
            result.error = "no interface is up with an IPv4 address and able to broadcast "
                           "(vantor-cli diagnose tells more)";
            return result;
        }
    } else {
        const auto found = std::find_if(interfaces.begin(), interfaces.end(), [&](const InterfaceInfo& interface) {
            return interface.name == options.interfaceName;
        });
        if (found == interfaces.end()) {
            result.exitCode = kExitUsage;
            result.error = "there is no interface named '" + options.interfaceName + "'";
            return result;
        }
        if (!CanCarryBroadcast(*found)) {
            result.exitCode = kExitNetwork;
            result.error = "interface '" + options.interfaceName +
                           "' cannot carry the request (it must be up, have an IPv4 address and broadcast)";
            return result;
        }
        result.plan.interfaceIndexes.push_back(found->index);
        result.plan.acceptOnly = found->index;
    }
    result.ok = true;
    return result;
}

}  // namespace vantor::cli
