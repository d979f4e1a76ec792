#pragma once

#include "protocol/DevicePacket.h"
#include "tools/cli/DeviceListing.h"

#include <string>
#include <vector>

namespace vantor::cli {

struct CliOptions;

// One command datagram and what it asks for, for the report. The password is filled in later.
struct PlannedDatagram {
    DEVICE_PACKET packet;
    std::string description;
};

// The datagrams a command sends to the device of `row`, built from the row's texts as the
// window builds them from its cells: set-ip sends one per value that differs from the row's
// (IP address, subnet mask, gateway, in that order), each carrying all three new values;
// set-mac, reset and update-firmware send one.
std::vector<PlannedDatagram> PlanCommand(const CliOptions& options, const FoundDevice& row);

// Whether a fresh discovery shows the device of `row` as the command asked: set-ip, its MAC
// with the new three values; set-mac, the new MAC at the same IP address; reset and
// update-firmware, its MAC answering again.
bool ShowsRequestedState(const CliOptions& options, const FoundDevice& row, const std::vector<FoundDevice>& now);

// The milliseconds --wait pauses before searching again when --wait-delay is not given: the
// window's own re-search delays (2 s after an address change, 5 s after the others).
int DefaultWaitDelayMs(const CliOptions& options);

}  // namespace vantor::cli
