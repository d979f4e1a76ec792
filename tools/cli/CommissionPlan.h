#pragma once

#include "protocol/BroadcastInterfaces.h"
#include "protocol/DevicePacket.h"
#include "tools/cli/DeviceListing.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::cli {

// One device of a commissioning plan and the values it is to get. An empty mask or gateway
// keeps the device's current value.
struct PlanRow {
    int line = 0;  // line of the plan file; 0 when --first-ip made the row
    MacBytes mac{};
    std::optional<Ipv4Bytes> ip;  // empty only for a MAC that --first-ip could not number
    std::optional<Ipv4Bytes> mask;
    std::optional<Ipv4Bytes> gateway;
};

struct PlanProblem {
    int line = 0;  // 0: the problem belongs to no line of a file
    std::string text;
};

// "line 3: text", or the text alone.
std::string ProblemText(const PlanProblem& problem);

struct PlanFile {
    std::vector<PlanRow> rows;
    std::vector<PlanProblem> errors;
};

// Reads a plan: a CSV text whose first line names the columns (mac and ip required, mask and
// gateway optional, in any order). Blank lines and lines starting with '#' are skipped. Every
// malformed line is reported; the well-formed rows are kept so that later checks can report
// their own problems as well.
PlanFile ReadPlanFile(std::string_view text);

// What --first-ip numbers.
struct NumberingRequest {
    Ipv4Bytes firstIp{};
    std::optional<Ipv4Bytes> mask;
    std::optional<Ipv4Bytes> gateway;
    std::optional<int> count;
    std::vector<MacBytes> macs;  // empty: every device found
};

struct Numbering {
    std::vector<PlanRow> rows;
    std::vector<PlanProblem> errors;
    std::vector<PlanProblem> warnings;
};

// Gives the devices, in ascending MAC order, the addresses from firstIp upwards, skipping every
// address another device found uses, the network and broadcast addresses of the device's
// subnet and this PC's own addresses; numbering never leaves the subnet of firstIp. A given
// MAC that did not answer gets a row without an address.
Numbering NumberDevices(const NumberingRequest& request, const std::vector<FoundDevice>& found,
                        const std::vector<InterfaceInfo>& interfaces);

// A row checked against the devices found: its device and its complete new values.
struct PlannedChange {
    PlanRow row;
    std::optional<std::size_t> device;  // index into the devices found; empty: did not answer
    Ipv4Bytes newIp{};
    Ipv4Bytes newMask{};
    Ipv4Bytes newGateway{};
};

struct PlanCheck {
    std::vector<PlannedChange> changes;  // in the plan's order
    std::vector<PlanProblem> errors;     // any of them refuses the whole plan
    std::vector<PlanProblem> warnings;   // --strict refuses the plan on these as well
};

// The checks over the whole plan before anything is sent.
PlanCheck CheckPlan(const std::vector<PlanRow>& rows, const std::vector<FoundDevice>& found,
                    const std::vector<InterfaceInfo>& interfaces);

// The prefix length of a contiguous mask; empty for a mask such as 255.0.255.0.
std::optional<int> MaskPrefixLength(const Ipv4Bytes& mask);

}  // namespace vantor::cli
