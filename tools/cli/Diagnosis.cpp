#include "tools/cli/Diagnosis.h"

#include "protocol/AddressText.h"
#include "protocol/DeviceRow.h"
#include "tools/cli/Ipv4Arithmetic.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <map>
#include <set>
#include <sstream>

namespace vantor::cli {
namespace {

constexpr std::string_view kFirewalldService = "vantor-config";
constexpr std::string_view kUfwProfile = "Vantor Config";

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    std::istringstream stream{std::string(text)};
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::string FirstLine(std::string_view text)
{
    const std::vector<std::string_view> lines = Lines(Trim(text));
    return lines.empty() ? std::string("no output") : std::string(Trim(lines.front()));
}

std::string JoinNames(const std::vector<std::string>& names, std::string_view separator = ", ")
{
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : std::string(separator)) + name;
    return joined;
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text, int base = 10)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

// ---- Addresses ----

std::optional<int> PrefixOfMask(const Ipv4Bytes& mask)
{
    const std::uint32_t value = ToNumber(mask);
    for (int prefix = 0; prefix <= 32; ++prefix) {
        if (PrefixMask(prefix) == value)
            return prefix;
    }
    return std::nullopt;
}

bool InSubnet(const Ipv4Bytes& address, const Ipv4Entry& entry)
{
    const std::uint32_t mask = PrefixMask(entry.prefixLength);
    return (ToNumber(address) & mask) == (ToNumber(entry.address) & mask);
}

std::string EntryText(const Ipv4Entry& entry)
{
    return FormatIpv4(entry.address) + "/" + std::to_string(entry.prefixLength);
}

// ---- Adapters ----

// Why a search cannot go out through the interface; empty when it can.
std::string UnusableReason(const InterfaceInfo& interface)
{
    if (interface.loopback)
        return "loopback";
    if (!interface.up)
        return "it is down";
    if (!interface.hasIpv4)
        return "it has no IPv4 address";
    if (!interface.canBroadcast)
        return "it cannot broadcast";
    return {};
}

std::string UnusableAdvice(const InterfaceInfo& interface)
{
    if (interface.loopback)
        return "devices are never behind it";
    if (!interface.up)
        return "if the devices are behind it, connect its cable or bring it up (sudo ip link set " + interface.name +
               " up)";
    if (!interface.hasIpv4)
        return "if the devices are behind it, give it an IPv4 address (sudo ip addr add ADDRESS/PREFIX dev " +
               interface.name + ")";
    return "a point-to-point link such as a VPN cannot carry a broadcast; the devices must be on a local "
           "Ethernet segment of this PC";
}

std::string AdapterState(const InterfaceInfo& interface)
{
    std::vector<std::string> parts{interface.up ? "up" : "down"};
    std::vector<std::string> addresses;
    for (const Ipv4Entry& entry : interface.ipv4)
        addresses.push_back(EntryText(entry));
    parts.push_back(addresses.empty() ? (interface.hasIpv4 ? "an IPv4 address" : "no IPv4 address")
                                      : JoinNames(addresses));
    parts.push_back(interface.canBroadcast ? "can broadcast" : "cannot broadcast");
    return JoinNames(parts);
}

void CheckAdapters(const DiagnosisFacts& facts, std::vector<Finding>& findings)
{
    const std::vector<InterfaceInfo> searched = AdaptersToSearch(facts.interfaces, facts.chosenInterface);
    if (searched.empty()) {
        if (!facts.chosenInterface.empty()) {
            findings.push_back({Severity::Problem, "adapter " + facts.chosenInterface,
                                "chosen with --interface, but it cannot carry the search; see its line below, or "
                                "leave --interface out to search through every usable adapter"});
        } else {
            findings.push_back({Severity::Problem, "adapters",
                                "none can carry the search (an adapter must be up, have an IPv4 address and be able "
                                "to broadcast); connect this PC to the devices' network and give that adapter an "
                                "IPv4 address"});
        }
    }
    for (const InterfaceInfo& interface : facts.interfaces) {
        const std::string subject = "adapter " + interface.name;
        const std::string state = interface.loopback ? "loopback" : AdapterState(interface);
        const std::string reason = UnusableReason(interface);
        if (!reason.empty()) {
            findings.push_back({Severity::Note, subject,
                                state + "; not searched" + (interface.loopback ? "" : " (" + reason + ")") + ": " +
                                    UnusableAdvice(interface)});
        } else if (!facts.chosenInterface.empty() && facts.chosenInterface != interface.name) {
            findings.push_back({Severity::Note, subject, state + "; not searched (--interface chose another)"});
        } else {
            findings.push_back({Severity::Ok, subject, state + "; searched"});
        }
    }
}

// ---- Port ----

void CheckPort(const PortFacts& port, std::vector<Finding>& findings)
{
    const std::string subject = "port " + std::to_string(port.port);
    if (port.probe == PortProbe::Free) {
        findings.push_back({Severity::Ok, subject, "free"});
        return;
    }
    if (port.probe == PortProbe::Failed) {
        findings.push_back({Severity::Problem, subject, "cannot be opened: " + port.probeError});
        return;
    }
    std::vector<UdpSocketEntry> sockets = ParseProcNetUdp(port.procNetUdp);
    for (const UdpSocketEntry& entry : ParseProcNetUdp(port.procNetUdp6))
        sockets.push_back(entry);
    std::vector<std::string> holders;
    std::set<int> namedPids;
    std::set<unsigned> unseenUsers;
    for (const UdpSocketEntry& socket : sockets) {
        if (socket.localPort != port.port)
            continue;
        bool seen = false;
        for (const ProcessSocket& owner : port.owners) {
            if (owner.inode != socket.inode)
                continue;
            seen = true;
            if (namedPids.insert(owner.pid).second)
                holders.push_back("process " + std::to_string(owner.pid) + " (" + PrintableText(owner.program) + ")");
        }
        if (!seen)
            unseenUsers.insert(socket.uid);
    }
    for (const unsigned uid : unseenUsers)
        holders.push_back("a process of user id " + std::to_string(uid) + " that only root can name");
    const std::string who = holders.empty() ? "another socket (/proc does not say whose)" : JoinNames(holders, " and ");
    findings.push_back({Severity::Problem, subject,
                        "held by " + who +
                            ", so no search can listen for the answers; end that program (a Vantor Config window "
                            "holds it too), then run this again"});
}

// ---- Firewall ----

bool NeedsRoot(const CommandResult& result, bool root)
{
    if (root || result.exitCode == 0)
        return false;
    const std::string output = Lower(result.output);
    return output.find("root") != std::string::npos || output.find("authoriz") != std::string::npos ||
           output.find("permission denied") != std::string::npos;
}

// "4000", "4000/udp", "3000-5000/udp", "3000:5000/udp", "4000,4001/udp": whether UDP port is in it.
bool PortEntryCovers(std::string_view entry, std::uint16_t port)
{
    const auto slash = entry.find('/');
    if (slash != std::string_view::npos && entry.substr(slash + 1) != "udp")
        return false;
    std::string_view numbers = entry.substr(0, slash);
    while (!numbers.empty()) {
        const auto comma = numbers.find(',');
        const std::string_view piece = numbers.substr(0, comma);
        const auto dash = piece.find_first_of("-:");
        const auto low = ParseNumber<unsigned>(piece.substr(0, dash));
        const auto high = dash == std::string_view::npos ? low : ParseNumber<unsigned>(piece.substr(dash + 1));
        if (low && high && *low <= port && port <= *high)
            return true;
        if (comma == std::string_view::npos)
            break;
        numbers.remove_prefix(comma + 1);
    }
    return false;
}

struct Zone {
    std::string name;
    std::string target;
    std::vector<std::string> interfaces;
    std::vector<std::string> services;
    std::vector<std::string> ports;
    std::vector<std::string> protocols;
};

// firewall-cmd --list-all-zones: a line naming each zone, then indented "key: value" lines.
std::vector<Zone> ParseZones(std::string_view text)
{
    std::vector<Zone> zones;
    for (const std::string_view line : Lines(text)) {
        if (Trim(line).empty())
            continue;
        if (line.front() != ' ' && line.front() != '\t') {
            zones.push_back(Zone{std::string(Trim(line.substr(0, line.find(' ')))), {}, {}, {}, {}, {}});
            continue;
        }
        const std::string_view entry = Trim(line);
        const auto colon = entry.find(':');
        if (zones.empty() || colon == std::string_view::npos)
            continue;
        const std::string_view key = entry.substr(0, colon);
        const std::vector<std::string> values = Words(entry.substr(colon + 1));
        Zone& zone = zones.back();
        if (key == "target")
            zone.target = values.empty() ? std::string() : values.front();
        else if (key == "interfaces")
            zone.interfaces = values;
        else if (key == "services")
            zone.services = values;
        else if (key == "ports")
            zone.ports = values;
        else if (key == "protocols")
            zone.protocols = values;
    }
    return zones;
}

bool Contains(const std::vector<std::string>& values, std::string_view value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

// What in the zone lets the answers in; empty when nothing does.
std::string ZoneAllows(const Zone& zone, std::uint16_t port)
{
    if (zone.target == "ACCEPT")
        return "its target ACCEPT";
    if (Contains(zone.services, kFirewalldService))
        return "the service " + std::string(kFirewalldService);
    for (const std::string& portEntry : zone.ports) {
        if (PortEntryCovers(portEntry, port))
            return "the port " + portEntry;
    }
    if (Contains(zone.protocols, "udp"))
        return "the protocol udp";
    return {};
}

Finding ZoneFinding(const std::string& zoneName, const std::vector<std::string>& adapters, const Zone* zone,
                    std::uint16_t port)
{
    if (zone == nullptr)
        return {Severity::Note, "firewalld",
                "running; the zone of " + JoinNames(adapters) + " is not known, so not checked"};
    const std::string label = "running; zone " + zoneName + " (" + JoinNames(adapters) + ")";
    const std::string allows = ZoneAllows(*zone, port);
    if (!allows.empty())
        return {Severity::Ok, "firewalld", label + " lets the answers in (" + allows + ")"};
    return {Severity::Problem, "firewalld",
            label + " drops the devices' answers (neither the service " + std::string(kFirewalldService) + " nor " +
                std::to_string(port) + "/udp is allowed): sudo firewall-cmd --permanent --zone=" + zoneName +
                " --add-service=" + std::string(kFirewalldService) + " && sudo firewall-cmd --reload"};
}

void CheckFirewalld(const DiagnosisFacts& facts, std::vector<Finding>& findings)
{
    const FirewallFacts& firewall = facts.firewall;
    const std::string subject = "firewalld";
    if (!firewall.firewalldState.started) {
        findings.push_back({Severity::Ok, subject, "not installed"});
        return;
    }
    if (firewall.firewalldState.exitCode != 0) {
        if (Lower(firewall.firewalldState.output).find("not running") != std::string::npos)
            findings.push_back({Severity::Ok, subject, "not running"});
        else if (NeedsRoot(firewall.firewalldState, firewall.root))
            findings.push_back({Severity::Note, subject, "not checked (needs root)"});
        else
            findings.push_back(
                {Severity::Note, subject,
                 "not checked (firewall-cmd --state: " + FirstLine(firewall.firewalldState.output) + ")"});
        return;
    }
    const CommandResult& listing = firewall.firewalldZones;
    if (listing.exitCode != 0) {
        const std::string why = NeedsRoot(listing, firewall.root)
                                    ? "(needs root): run this as root to check them"
                                    : "(firewall-cmd --list-all-zones: " + FirstLine(listing.output) + ")";
        findings.push_back({Severity::Note, subject, "running; its zones not checked " + why});
        return;
    }
    const std::vector<InterfaceInfo> searched = AdaptersToSearch(facts.interfaces, facts.chosenInterface);
    if (searched.empty()) {
        findings.push_back({Severity::Note, subject, "running; no usable adapter, so no zone to check"});
        return;
    }
    const std::vector<Zone> zones = ParseZones(listing.output);
    const std::string defaultZone =
        firewall.firewalldDefaultZone.exitCode == 0 ? FirstLine(firewall.firewalldDefaultZone.output) : std::string();
    // Zone name -> the adapters it governs, in the order of the adapters.
    std::vector<std::pair<std::string, std::vector<std::string>>> byZone;
    for (const InterfaceInfo& adapter : searched) {
        const auto bound = std::find_if(zones.begin(), zones.end(),
                                        [&](const Zone& zone) { return Contains(zone.interfaces, adapter.name); });
        const std::string zoneName = bound != zones.end() ? bound->name : defaultZone;
        auto entry =
            std::find_if(byZone.begin(), byZone.end(), [&](const auto& item) { return item.first == zoneName; });
        if (entry == byZone.end())
            entry = byZone.insert(byZone.end(), {zoneName, {}});
        entry->second.push_back(adapter.name);
    }
    for (const auto& [name, adapters] : byZone) {
        const std::string& zoneName = name;
        const auto zone =
            std::find_if(zones.begin(), zones.end(), [&](const Zone& item) { return item.name == zoneName; });
        findings.push_back(ZoneFinding(zoneName, adapters, zone == zones.end() ? nullptr : &*zone, facts.port.port));
    }
}

// ufw status verbose: "Status: active", "Default: deny (incoming), ...", then rules under a
// "To  Action  From" heading, columns two or more spaces apart.
std::string UfwAllows(std::string_view output, std::uint16_t port)
{
    bool inRules = false;
    for (const std::string_view raw : Lines(output)) {
        const std::string_view line = Trim(raw);
        if (line.rfind("Default:", 0) == 0 && line.find("allow (incoming)") != std::string_view::npos)
            return "incoming is allowed by default";
        if (line.rfind("--", 0) == 0) {
            inRules = true;
            continue;
        }
        if (!inRules || line.empty())
            continue;
        const auto gap = line.find("  ");
        if (gap == std::string_view::npos)
            continue;
        std::string_view to = line.substr(0, gap);
        const std::string_view action = Trim(line.substr(gap));
        if (action.rfind("ALLOW", 0) != 0 || action.rfind("ALLOW OUT", 0) == 0)
            continue;
        for (const std::string_view suffix : {std::string_view(" (v6)"), std::string_view(" on ")}) {
            const auto at = to.find(suffix);
            if (at != std::string_view::npos)
                to = to.substr(0, at);
        }
        if (to == kUfwProfile)
            return "the profile \"" + std::string(kUfwProfile) + "\" is allowed";
        if (PortEntryCovers(to, port))
            return "the port " + std::string(to) + " is allowed";
    }
    return {};
}

void CheckUfw(const DiagnosisFacts& facts, std::vector<Finding>& findings)
{
    const CommandResult& status = facts.firewall.ufwStatus;
    const std::string subject = "ufw";
    if (!status.started) {
        findings.push_back({Severity::Ok, subject, "not installed"});
        return;
    }
    if (NeedsRoot(status, facts.firewall.root)) {
        findings.push_back({Severity::Note, subject, "not checked (needs root)"});
        return;
    }
    const std::string state = FirstLine(status.output);
    if (status.exitCode != 0) {
        findings.push_back({Severity::Note, subject, "not checked (ufw status: " + state + ")"});
    } else if (state == "Status: inactive") {
        findings.push_back({Severity::Ok, subject, "inactive"});
    } else if (state == "Status: active") {
        const std::string allows = UfwAllows(status.output, facts.port.port);
        if (!allows.empty())
            findings.push_back({Severity::Ok, subject, "active; " + allows});
        else
            findings.push_back({Severity::Problem, subject,
                                "active, and neither the profile \"" + std::string(kUfwProfile) + "\" nor " +
                                    std::to_string(facts.port.port) +
                                    "/udp is allowed, so the devices' answers are dropped: sudo ufw allow \"" +
                                    std::string(kUfwProfile) + "\""});
    } else {
        findings.push_back({Severity::Note, subject, "not checked (ufw status said: " + state + ")"});
    }
}

// ---- Container ----

void CheckContainer(const ContainerFacts& container, std::vector<Finding>& findings)
{
    std::vector<std::string> markers;
    if (container.dockerEnv)
        markers.emplace_back("/.dockerenv");
    if (container.containerEnv)
        markers.emplace_back("/run/.containerenv");
    if (!container.containerVariable.empty())
        markers.push_back("container=" + PrintableText(container.containerVariable));
    for (const std::string_view line : Lines(container.initCgroup)) {
        for (const std::string_view word : {"docker", "kubepods", "libpod", "lxc", "containerd"}) {
            if (line.find(word) != std::string_view::npos) {
                markers.push_back("cgroup " + PrintableText(std::string(Trim(line))));
                break;
            }
        }
        if (markers.size() > 3)
            break;
    }
    if (markers.empty()) {
        findings.push_back({Severity::Ok, "container", "none detected"});
        return;
    }
    findings.push_back({Severity::Warning, "container",
                        "running inside one (" + JoinNames(markers) +
                            "): discovery needs the host's network; run this on the host, or start the "
                            "container with the host's network (docker or podman run --network host)"});
}

// ---- Searches ----

std::string DeviceLabel(const FoundDevice& device)
{
    return device.Field(4) + " (" + PrintableText(device.Field(0)) + ", " + device.Field(1) + ")";
}

void CheckSearches(const DiagnosisFacts& facts, std::vector<Finding>& findings)
{
    // MAC -> the adapters it answered on, in the order of the searches.
    std::vector<std::pair<std::string, std::vector<std::string>>> adaptersOfDevice;
    std::vector<Finding> outsideSubnet;
    for (const AdapterSearch& search : facts.searches) {
        const std::string subject = "search " + search.interfaceName;
        if (!search.failure.empty()) {
            findings.push_back({Severity::Problem, subject, "failed: " + search.failure});
            continue;
        }
        const std::size_t count = search.devices.size();
        if (count == 0)
            findings.push_back({Severity::Warning, subject,
                                "no device answered; check that the devices are powered and cabled to this "
                                "adapter's network, and the findings above"});
        else
            findings.push_back({Severity::Ok, subject,
                                std::to_string(count) + (count == 1 ? " device answered" : " devices answered")});

        const auto adapter =
            std::find_if(facts.interfaces.begin(), facts.interfaces.end(),
                         [&](const InterfaceInfo& interface) { return interface.name == search.interfaceName; });
        for (const FoundDevice& device : search.devices) {
            const std::string mac = device.Field(4);
            auto seen = std::find_if(adaptersOfDevice.begin(), adaptersOfDevice.end(),
                                     [&](const auto& item) { return item.first == mac; });
            if (seen == adaptersOfDevice.end())
                seen = adaptersOfDevice.insert(adaptersOfDevice.end(), {mac, {}});
            if (!Contains(seen->second, search.interfaceName))
                seen->second.push_back(search.interfaceName);

            const std::optional<Ipv4Bytes> ip = ParseIpv4(device.Field(1));
            if (adapter == facts.interfaces.end() || adapter->ipv4.empty() || !ip)
                continue;
            if (std::any_of(adapter->ipv4.begin(), adapter->ipv4.end(),
                            [&](const Ipv4Entry& entry) { return InSubnet(*ip, entry); }))
                continue;
            const std::optional<Ipv4Bytes> mask = ParseIpv4(device.Field(2));
            const std::optional<int> prefix = mask ? PrefixOfMask(*mask) : std::nullopt;
            const int devicePrefix = prefix.value_or(24);
            std::vector<std::string> own;
            for (const Ipv4Entry& entry : adapter->ipv4)
                own.push_back(EntryText(entry));
            outsideSubnet.push_back(
                {Severity::Warning, "device " + DeviceLabel(device),
                 "outside the subnet of " + search.interfaceName + " (" + JoinNames(own) +
                     "): its web page and commands by IP are not reachable until this PC has an address in " +
                     SubnetText(ToNumber(*ip), devicePrefix) + " (sudo ip addr add ADDRESS/" +
                     std::to_string(devicePrefix) + " dev " + search.interfaceName + "), or the device gets one in " +
                     SubnetText(ToNumber(adapter->ipv4.front().address), adapter->ipv4.front().prefixLength) +
                     " (vantor-cli set-ip)"});
        }
    }
    for (const auto& [mac, adapters] : adaptersOfDevice) {
        if (adapters.size() < 2)
            continue;
        const FoundDevice* device = nullptr;
        for (const AdapterSearch& search : facts.searches) {
            for (const FoundDevice& candidate : search.devices) {
                if (device == nullptr && candidate.Field(4) == mac)
                    device = &candidate;
            }
        }
        findings.push_back({Severity::Warning, "device " + DeviceLabel(*device),
                            "answered on " + JoinNames(adapters, " and ") +
                                ": the same network is reached through more than one adapter, and a command goes "
                                "out through only one of them; connect this PC to that network once, or choose "
                                "an adapter with --interface"});
    }
    findings.insert(findings.end(), outsideSubnet.begin(), outsideSubnet.end());
}

std::string SeverityTag(Severity severity)
{
    switch (severity) {
    case Severity::Ok:
        return "ok      ";
    case Severity::Note:
        return "note    ";
    case Severity::Warning:
        return "warning ";
    case Severity::Problem:
        return "problem ";
    }
    return "        ";
}

}  // namespace

std::vector<InterfaceInfo> AdaptersToSearch(const std::vector<InterfaceInfo>& interfaces, const std::string& chosen)
{
    std::vector<InterfaceInfo> usable;
    for (const InterfaceInfo& interface : interfaces) {
        if (CanCarryBroadcast(interface) && (chosen.empty() || chosen == interface.name))
            usable.push_back(interface);
    }
    return usable;
}

Diagnosis Diagnose(const DiagnosisFacts& facts)
{
    Diagnosis diagnosis;
    std::vector<Finding>& findings = diagnosis.findings;
    CheckAdapters(facts, findings);
    CheckPort(facts.port, findings);
    CheckFirewalld(facts, findings);
    CheckUfw(facts, findings);
    CheckContainer(facts.container, findings);
    CheckSearches(facts, findings);

    std::set<std::string> macs;
    std::vector<std::string> perAdapter;
    for (const AdapterSearch& search : facts.searches) {
        for (const FoundDevice& device : search.devices)
            macs.insert(device.Field(4));
        if (!search.devices.empty())
            perAdapter.push_back(search.interfaceName + " " + std::to_string(search.devices.size()));
    }
    diagnosis.devicesAnswered = static_cast<int>(macs.size());
    // The likeliest cause of silence: the first problem, else the first warning other than a
    // silent search itself.
    auto cause = std::find_if(findings.begin(), findings.end(),
                              [](const Finding& finding) { return finding.severity == Severity::Problem; });
    if (cause == findings.end())
        cause = std::find_if(findings.begin(), findings.end(), [](const Finding& finding) {
            return finding.severity == Severity::Warning && finding.subject.rfind("search ", 0) != 0;
        });
    const bool warned = std::any_of(findings.begin(), findings.end(), [](const Finding& finding) {
        return finding.severity == Severity::Problem || finding.severity == Severity::Warning;
    });
    if (diagnosis.devicesAnswered > 0) {
        diagnosis.verdict = std::to_string(diagnosis.devicesAnswered) +
                            (diagnosis.devicesAnswered == 1 ? " device answered" : " devices answered") + " (" +
                            JoinNames(perAdapter) + ")" + (warned ? "; see the warnings above" : "");
    } else if (cause != findings.end()) {
        diagnosis.verdict = "no device answered; start with the " +
                            std::string(cause->severity == Severity::Problem ? "problem" : "warning") + " of " +
                            cause->subject + " above";
    } else {
        diagnosis.verdict = "no device answered, and nothing above explains it: check that the devices are powered "
                            "and on the same Ethernet segment as a searched adapter";
    }
    return diagnosis;
}

std::string FormatDiagnosis(const Diagnosis& diagnosis)
{
    std::string text;
    for (const Finding& finding : diagnosis.findings)
        text += SeverityTag(finding.severity) + finding.subject + ": " + finding.text + "\n";
    text += "verdict: " + diagnosis.verdict + "\n";
    return text;
}

std::vector<UdpSocketEntry> ParseProcNetUdp(std::string_view text)
{
    // "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode ..."
    std::vector<UdpSocketEntry> entries;
    for (const std::string_view line : Lines(text)) {
        const std::vector<std::string> fields = Words(line);
        if (fields.size() < 10 || fields[0].empty() || fields[0].back() != ':')
            continue;
        const std::string& local = fields[1];
        const auto colon = local.rfind(':');
        if (colon == std::string::npos)
            continue;
        const auto port = ParseNumber<std::uint16_t>(std::string_view(local).substr(colon + 1), 16);
        const auto uid = ParseNumber<unsigned>(fields[7]);
        const auto inode = ParseNumber<std::uint64_t>(fields[9]);
        if (port && uid && inode)
            entries.push_back({*port, *uid, *inode});
    }
    return entries;
}

std::optional<std::uint64_t> SocketInodeFromLink(std::string_view target)
{
    constexpr std::string_view prefix = "socket:[";
    if (target.rfind(prefix, 0) != 0 || target.size() <= prefix.size() + 1 || target.back() != ']')
        return std::nullopt;
    return ParseNumber<std::uint64_t>(target.substr(prefix.size(), target.size() - prefix.size() - 1));
}

}  // namespace vantor::cli
