#include "tools/cli/CommissionPlan.h"

#include "commands/CommandDatagrams.h"
#include "protocol/AddressText.h"
#include "protocol/DeviceRow.h"
#include "tools/cli/Ipv4Arithmetic.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>

namespace vantor::cli {
namespace {

using Address = Ipv4Number;

// Only subnets of /30 and wider have a network and a broadcast address that no host may take.
bool IsNetworkOrBroadcast(Address address, int prefixLength)
{
    if (prefixLength > 30)
        return false;
    const Address host = address & ~PrefixMask(prefixLength);
    return host == 0 || host == ~PrefixMask(prefixLength);
}

// 0.x, loopback, multicast and the reserved range above it are no device address.
bool IsUnicastHost(Address address)
{
    const Address first = address >> 24;
    return first != 0 && first != 127 && first < 224;
}

std::vector<Address> HostAddresses(const std::vector<InterfaceInfo>& interfaces)
{
    std::vector<Address> addresses;
    for (const InterfaceInfo& interface : interfaces) {
        for (const Ipv4Entry& entry : interface.ipv4)
            addresses.push_back(ToNumber(entry.address));
    }
    return addresses;
}

std::string HostAddressOwner(Address address, const std::vector<InterfaceInfo>& interfaces)
{
    for (const InterfaceInfo& interface : interfaces) {
        for (const Ipv4Entry& entry : interface.ipv4) {
            if (ToNumber(entry.address) == address)
                return interface.name;
        }
    }
    return {};
}

bool InSomeAdapterSubnet(Address address, const std::vector<InterfaceInfo>& interfaces)
{
    for (const InterfaceInfo& interface : interfaces) {
        if (!interface.up || interface.loopback)
            continue;
        for (const Ipv4Entry& entry : interface.ipv4) {
            if (entry.prefixLength < 0)
                continue;  // the system did not say
            const Address mask = PrefixMask(entry.prefixLength);
            if ((ToNumber(entry.address) & mask) == (address & mask))
                return true;
        }
    }
    return false;
}

std::optional<std::size_t> FindDevice(const std::vector<FoundDevice>& found, const MacBytes& mac)
{
    const std::string text = FormatMac(mac);
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (found[i].Field(kMacField) == text)
            return i;
    }
    return std::nullopt;
}

std::string_view Trimmed(std::string_view text)
{
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// Cells of one CSV line; a cell may be quoted, with "" for a quote inside. Empty when a quote
// is left open or text follows a closing quote.
std::optional<std::vector<std::string>> SplitCsvLine(std::string_view line)
{
    std::vector<std::string> cells;
    std::size_t at = 0;
    while (true) {
        std::string cell;
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start != std::string_view::npos && line[start] == '"') {
            std::size_t i = start + 1;
            while (true) {
                if (i >= line.size())
                    return std::nullopt;
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        cell += '"';
                        i += 2;
                        continue;
                    }
                    break;
                }
                cell += line[i++];
            }
            at = line.find_first_not_of(" \t", i + 1);
            if (at != std::string_view::npos && line[at] != ',')
                return std::nullopt;
        } else {
            at = line.find(',', at);
            cell = std::string(Trimmed(line.substr(0, at).substr(std::min(start, line.size()))));
        }
        cells.push_back(std::move(cell));
        if (at == std::string_view::npos)
            return cells;
        ++at;
    }
}

enum Column : std::size_t { kMacColumn, kIpColumn, kMaskColumn, kGatewayColumn, kColumnCount };
constexpr std::array<std::string_view, kColumnCount> kColumnNames = {"mac", "ip", "mask", "gateway"};

std::string Lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

}  // namespace

std::optional<int> MaskPrefixLength(const Ipv4Bytes& mask)
{
    const Address value = ToNumber(mask);
    int length = 0;
    while (length < 32 && (value & (Address{1} << (31 - length))) != 0)
        ++length;
    if (value != PrefixMask(length))
        return std::nullopt;
    return length;
}

std::string ProblemText(const PlanProblem& problem)
{
    return problem.line > 0 ? "line " + std::to_string(problem.line) + ": " + problem.text : problem.text;
}

PlanFile ReadPlanFile(std::string_view text)
{
    PlanFile plan;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);  // the byte order mark spreadsheets put in front
    std::array<std::optional<std::size_t>, kColumnCount> columnAt;
    std::size_t columnCount = 0;
    bool haveHeader = false;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string_view content = Trimmed(line);
        if (content.empty() || content.front() == '#')
            continue;
        auto problem = [&plan, lineNumber](std::string message) {
            plan.errors.push_back({lineNumber, std::move(message)});
        };
        const std::optional<std::vector<std::string>> cells = SplitCsvLine(line);
        if (!cells) {
            problem("a quoted cell is not closed properly");
            if (!haveHeader)
                return plan;
            continue;
        }
        if (!haveHeader) {
            haveHeader = true;
            columnCount = cells->size();
            for (std::size_t i = 0; i < cells->size(); ++i) {
                const std::string name = Lowered((*cells)[i]);
                const auto known = std::find(kColumnNames.begin(), kColumnNames.end(), name);
                if (known == kColumnNames.end()) {
                    problem("unknown column '" + (*cells)[i] + "' (the columns are mac, ip, mask and gateway)");
                    continue;
                }
                std::optional<std::size_t>& slot = columnAt[static_cast<std::size_t>(known - kColumnNames.begin())];
                if (slot)
                    problem("the column '" + name + "' is named twice");
                slot = i;
            }
            if (!columnAt[kMacColumn] || !columnAt[kIpColumn])
                problem("the header line must name the columns mac and ip");
            if (!plan.errors.empty())
                return plan;
            continue;
        }
        if (cells->size() != columnCount) {
            problem("has " + std::to_string(cells->size()) + " cells; the header names " + std::to_string(columnCount));
            continue;
        }
        auto cell = [&cells, &columnAt](Column column) -> std::string {
            return columnAt[column] ? (*cells)[*columnAt[column]] : std::string();
        };
        PlanRow row;
        row.line = lineNumber;
        bool wellFormed = true;
        const std::string macText = cell(kMacColumn);
        if (const auto mac = ParseMac(macText)) {
            row.mac = *mac;
        } else {
            problem("'" + macText + "' is no MAC address (six hexadecimal pairs joined by '-' or ':')");
            wellFormed = false;
        }
        if (cell(kIpColumn).empty()) {
            problem("the ip cell is empty");
            wellFormed = false;
        } else if (!(row.ip = ParseIpv4(cell(kIpColumn)))) {
            problem("ip '" + cell(kIpColumn) + "' is no IPv4 address");
            wellFormed = false;
        }
        for (const auto& [column, value] :
             {std::pair{kMaskColumn, &row.mask}, std::pair{kGatewayColumn, &row.gateway}}) {
            const std::string given = cell(column);
            if (given.empty())
                continue;
            *value = ParseIpv4(given);
            if (!*value) {
                problem(std::string(kColumnNames[column]) + " '" + given + "' is no IPv4 address");
                wellFormed = false;
            }
        }
        if (wellFormed)
            plan.rows.push_back(row);
    }
    if (!haveHeader)
        plan.errors.push_back({0, "the plan is empty: it needs a header line naming the columns mac and ip"});
    else if (plan.rows.empty() && plan.errors.empty())
        plan.errors.push_back({0, "the plan has no device rows"});
    return plan;
}

Numbering NumberDevices(const NumberingRequest& request, const std::vector<FoundDevice>& found,
                        const std::vector<InterfaceInfo>& interfaces)
{
    Numbering numbering;
    std::vector<MacBytes> macs = request.macs;
    if (macs.empty()) {
        for (const FoundDevice& device : found)
            macs.push_back(MacTextToBytes(device.Field(kMacField)));
    } else {
        std::set<MacBytes> seen;
        for (const MacBytes& mac : macs) {
            if (!seen.insert(mac).second)
                numbering.errors.push_back({0, FormatMac(mac) + " is given twice"});
        }
    }
    std::sort(macs.begin(), macs.end());
    macs.erase(std::unique(macs.begin(), macs.end()), macs.end());
    if (request.count && static_cast<std::size_t>(*request.count) < macs.size())
        macs.resize(static_cast<std::size_t>(*request.count));
    else if (request.count && static_cast<std::size_t>(*request.count) > macs.size())
        numbering.warnings.push_back({0, "--count " + std::to_string(*request.count) +
                                             " asks for more devices than the " + std::to_string(macs.size()) +
                                             " there are to number"});

    const std::vector<Address> host = HostAddresses(interfaces);
    std::multimap<Address, std::string> usedBy;  // address -> MAC of the device found there
    for (const FoundDevice& device : found)
        usedBy.emplace(ToNumber(DottedAddressToBytes(device.Field(kIpField))), device.Field(kMacField));
    auto takenByOther = [&usedBy](Address address, const std::string& mac) {
        const auto [begin, end] = usedBy.equal_range(address);
        return std::any_of(begin, end, [&mac](const auto& entry) { return entry.second != mac; });
    };

    const Address first = ToNumber(request.firstIp);
    std::uint64_t next = first;
    for (const MacBytes& mac : macs) {
        PlanRow row;
        row.mac = mac;
        row.mask = request.mask;
        row.gateway = request.gateway;
        const std::optional<std::size_t> device = FindDevice(found, mac);
        if (!device) {
            numbering.rows.push_back(row);
            continue;
        }
        const Ipv4Bytes mask = request.mask.value_or(DottedAddressToBytes(found[*device].Field(kMaskField)));
        const std::optional<int> prefix = MaskPrefixLength(mask);
        const Address subnetMask = prefix ? PrefixMask(*prefix) : 0u;
        const std::string macText = FormatMac(mac);
        while (next <= 0xFFFFFFFFu) {
            const auto candidate = static_cast<Address>(next);
            if ((candidate & subnetMask) != (first & subnetMask))
                break;
            const bool skip = takenByOther(candidate, macText) ||
                              (prefix && IsNetworkOrBroadcast(candidate, *prefix)) ||
                              std::find(host.begin(), host.end(), candidate) != host.end();
            if (!skip) {
                row.ip = ToBytes(candidate);
                break;
            }
            ++next;
        }
        if (!row.ip) {
            numbering.errors.push_back({0, "no free address is left for " + macText + " in " +
                                               SubnetText(first, prefix.value_or(0)) + " from " +
                                               FormatIpv4(request.firstIp) + " on"});
            return numbering;
        }
        ++next;
        numbering.rows.push_back(row);
    }
    return numbering;
}

PlanCheck CheckPlan(const std::vector<PlanRow>& rows, const std::vector<FoundDevice>& found,
                    const std::vector<InterfaceInfo>& interfaces)
{
    PlanCheck check;
    std::map<MacBytes, int> macLine;
    std::map<Address, int> ipLine;
    std::set<std::string> plannedMacs;
    for (const PlanRow& row : rows)
        plannedMacs.insert(FormatMac(row.mac));
    const std::vector<Address> host = HostAddresses(interfaces);

    for (const PlanRow& row : rows) {
        const std::string mac = FormatMac(row.mac);
        // Rows made by --first-ip have no line; their MAC says which they are.
        const std::string subject = row.line > 0 ? std::string() : mac + ": ";
        auto error = [&](std::string text) { check.errors.push_back({row.line, subject + std::move(text)}); };
        auto warning = [&](std::string text) { check.warnings.push_back({row.line, subject + std::move(text)}); };
        auto where = [](int line) { return line > 0 ? " (line " + std::to_string(line) + ")" : std::string(); };

        if (const auto [at, inserted] = macLine.emplace(row.mac, row.line); !inserted) {
            error("the MAC " + mac + " is planned twice" + where(at->second));
            continue;
        }
        if (row.mask && !MaskPrefixLength(*row.mask))
            error("the mask " + FormatIpv4(*row.mask) + " is not a contiguous prefix");
        // The checks that need only the new address hold whether or not the device answered.
        bool usable = false;
        if (row.ip) {
            const Address ip = ToNumber(*row.ip);
            const std::string ipText = FormatIpv4(*row.ip);
            if (const auto [at, inserted] = ipLine.emplace(ip, row.line); !inserted)
                error("the IP address " + ipText + " is planned twice" + where(at->second));
            usable = IsUnicastHost(ip);
            if (!usable)
                error(ipText + " is no address a device can have");
            for (const FoundDevice& other : found) {
                if (usable && other.Field(kIpField) == ipText && plannedMacs.count(other.Field(kMacField)) == 0) {
                    error(ipText + " is in use by " + other.Field(kMacField) + ", a device outside the plan");
                    break;
                }
            }
            if (usable && std::find(host.begin(), host.end(), ip) != host.end())
                error(ipText + " is this PC's own address (on " + HostAddressOwner(ip, interfaces) + ")");
        }

        PlannedChange change;
        change.row = row;
        change.device = FindDevice(found, row.mac);
        if (!change.device) {
            warning(mac + " did not answer; it is skipped");
            check.changes.push_back(change);
            continue;
        }
        if (!row.ip)
            continue;
        const FoundDevice& device = found[*change.device];
        change.newIp = *row.ip;
        change.newMask = row.mask.value_or(DottedAddressToBytes(device.Field(kMaskField)));
        change.newGateway = row.gateway.value_or(DottedAddressToBytes(device.Field(kGatewayField)));
        check.changes.push_back(change);

        // The subnet is known once the device's own mask stands in for an empty cell.
        const std::optional<int> prefix = MaskPrefixLength(change.newMask);
        if (!usable || !prefix)
            continue;
        const Address ip = ToNumber(change.newIp);
        const std::string ipText = FormatIpv4(change.newIp);
        if (IsNetworkOrBroadcast(ip, *prefix)) {
            const bool network = (ip & ~PrefixMask(*prefix)) == 0;
            error(ipText + " is the " + (network ? "network" : "broadcast") + " address of " + SubnetText(ip, *prefix));
        }
        if (!InSomeAdapterSubnet(ip, interfaces)) {
            const std::string adapter = device.interfaceName.empty() ? "the adapter" : device.interfaceName;
            warning(ipText +
                    " is outside every subnet of this PC's adapters: after the change the device "
                    "cannot be reached from here; add an address of " +
                    SubnetText(ip, *prefix) + " to " + adapter);
        }
    }
    return check;
}

}  // namespace vantor::cli
