#include "protocol/BroadcastInterfaces.h"

#include "protocol/CListSocket.h"

#include <QNetworkInterface>

#include <algorithm>

namespace vantor {

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
        for (const QNetworkAddressEntry& entry : entries) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            const quint32 address = entry.ip().toIPv4Address();
            info.ipv4.push_back(
                Ipv4Entry{{static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16),
                           static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address)},
                          entry.prefixLength()});
        }
        info.hasIpv4 = !info.ipv4.empty();
        result.push_back(std::move(info));
    }
    return result;
}

bool CanCarryBroadcast(const InterfaceInfo& interface)
{
    return interface.up && interface.canBroadcast && !interface.loopback && interface.hasIpv4;
}

std::vector<int> BroadcastInterfaceIndexes(const std::vector<InterfaceInfo>& interfaces)
{
    std::vector<int> indexes;
    for (const InterfaceInfo& interface : interfaces) {
        if (CanCarryBroadcast(interface))
            indexes.push_back(interface.index);
    }
    return indexes;
}

BroadcastOutcome SendThroughEach(CListSocket& endpoint, const DEVICE_PACKET& packet,
                                 const std::vector<int>& interfaceIndexes)
{
    BroadcastOutcome outcome;
    for (const int index : interfaceIndexes) {
        QString reason;
        if (endpoint.SendThrough(packet, index, &reason))
            ++outcome.sent;
        else
            outcome.failures.push_back(SendFailure{index, std::move(reason)});
    }
    return outcome;
}

}  // namespace vantor
