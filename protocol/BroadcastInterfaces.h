#pragma once

#include "protocol/DevicePacket.h"

#include <QString>

#include <string>
#include <vector>

namespace vantor {

class CListSocket;

// One IPv4 address of an interface and the length of its subnet's prefix.
struct Ipv4Entry {
    Ipv4Bytes address{};
    int prefixLength = 0;  // -1: not known

    bool operator==(const Ipv4Entry&) const = default;
};

// What sending a limited broadcast needs to know of a network interface.
struct InterfaceInfo {
    std::string name;
    int index = 0;
    bool up = false;
    bool canBroadcast = false;
    bool loopback = false;
    bool hasIpv4 = false;
    std::vector<Ipv4Entry> ipv4;  // the interface's IPv4 addresses with their prefixes
};

// The machine's interfaces as the system reports them now.
std::vector<InterfaceInfo> SystemInterfaces();

// Up, able to broadcast, not loopback and with an IPv4 address: an interface a limited
// broadcast can leave through towards devices.
bool CanCarryBroadcast(const InterfaceInfo& interface);
// The indexes of those interfaces, in the order given.
std::vector<int> BroadcastInterfaceIndexes(const std::vector<InterfaceInfo>& interfaces);

struct SendFailure {
    int interfaceIndex = 0;
    QString reason;
};
struct BroadcastOutcome {
    int sent = 0;
    std::vector<SendFailure> failures;
};

// Sends the datagram out of each of the interfaces, one datagram each (an index of 0 leaves the
// way to the routing table), and says which went and why the others did not.
BroadcastOutcome SendThroughEach(CListSocket& endpoint, const DEVICE_PACKET& packet,
                                 const std::vector<int>& interfaceIndexes);

}  // namespace vantor
