#include "tools/cli/BroadcastInterfaces.h"

#include "tools/cli/CliOptions.h"

#include <QNetworkInterface>

#include <algorithm>

namespace vantor::cli {
namespace {

bool CanCarryDiscovery(const InterfaceInfo& interface)
{
    return interface.up && interface.canBroadcast && !interface.loopback && interface.hasIpv4;
}

}  // namespace

std::vector<InterfaceInfo> SystemInterfaces()
{
    std::vector<InterfaceInfo> result;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        InterfaceInfo info;
        info.name = interface.name().toStdString();
        info.index = interface.index();
        const auto flags = interface.flags();
        info.up = flags.testFlag(QNetworkInterface::IsUp);
        info.canBroadcast = flags.testFlag(QNetworkInterface::CanBroadcast);
        info.loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
        const auto entries = interface.addressEntries();
        info.hasIpv4 = std::any_of(entries.begin(), entries.end(), [](const QNetworkAddressEntry& entry) {
            return entry.ip().protocol() == QAbstractSocket::IPv4Protocol;
        });
        result.push_back(std::move(info));
    }
    return result;
}

PlanResult PlanDiscovery(const CliOptions& options, const std::vector<InterfaceInfo>& interfaces)
{
    PlanResult result;
    if (options.allInterfaces) {
        for (const InterfaceInfo& interface : interfaces) {
            if (CanCarryDiscovery(interface))
                result.plan.interfaceIndexes.push_back(interface.index);
        }
        if (result.plan.interfaceIndexes.empty()) {
            result.exitCode = kExitNetwork;
            result.error = "no interface is up with an IPv4 address and able to broadcast";
            return result;
        }
    } else if (!options.interfaceName.empty()) {
        const auto found = std::find_if(interfaces.begin(), interfaces.end(), [&](const InterfaceInfo& interface) {
            return interface.name == options.interfaceName;
        });
        if (found == interfaces.end()) {
            result.exitCode = kExitUsage;
            result.error = "there is no interface named '" + options.interfaceName + "'";
            return result;
        }
        if (!CanCarryDiscovery(*found)) {
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
