#include "tools/cli/CliRunner.h"

#include "protocol/DeviceRow.h"
#include "protocol/DeviceSearch.h"
#include "protocol/PortOpenFailureText.h"
#include "resources/StringTable.h"
#include "tools/cli/CliOptions.h"
#include "tools/cli/CliPassword.h"
#include "tools/cli/CliSearch.h"
#include "tools/cli/CommandPlan.h"
#include "tools/cli/DeviceListing.h"
#include "tools/cli/Diagnosis.h"

#include <QEventLoop>
#include <QNetworkInterface>
#include <QTimer>

#include <algorithm>
#include <ostream>

namespace vantor::cli {
namespace {

std::string InterfaceName(int index)
{
    return index > 0 ? QNetworkInterface::interfaceNameFromIndex(index).toStdString() : std::string();
}

}  // namespace

Failure OpenFailure(const CListSocket& endpoint)
{
    if (endpoint.OpenError() == QAbstractSocket::AddressInUseError) {
        return {kExitPortInUse,
                PortOpenFailureText(LoadStringUtf8(ids::IDS_PORT_OPEN_FAIL).value_or(std::string_view()), kLocalPort)};
    }
    return {kExitNetwork,
            "cannot open UDP port " + std::to_string(kLocalPort) + ": " + endpoint.OpenErrorString().toStdString()};
}

DiscoveryOutcome Discover(const CliOptions& options, const SendPlan& plan, const EndpointAddresses& addresses)
{
    DiscoveryOutcome outcome;
    QEventLoop loop;
    std::vector<std::string> sendErrors;
    std::size_t sent = 0;

    DeviceSearch::Handlers handlers;
    handlers.replyFrom = [&](const DEVICE_PACKET& reply, const ReplyOrigin& origin) {
        if (plan.acceptOnly != 0 && origin.interfaceIndex != plan.acceptOnly)
            return;
        outcome.devices.push_back(
            FoundDevice::FromReply(reply, origin.interfaceIndex, InterfaceName(origin.interfaceIndex)));
    };
    handlers.searchEnded = [&loop] { loop.quit(); };
    handlers.sendDiscovery = [&](CListSocket& endpoint) {
        const BroadcastOutcome sendOutcome =
            SendThroughEach(endpoint, DEVICE_PACKET::Discovery(), plan.interfaceIndexes);
        sent = static_cast<std::size_t>(sendOutcome.sent);
        for (const SendFailure& failure : sendOutcome.failures) {
            const std::string name =
                failure.interfaceIndex > 0 ? " through " + InterfaceName(failure.interfaceIndex) : std::string();
            sendErrors.push_back("cannot send the discovery request" + name + ": " + failure.reason.toStdString());
        }
    };
    DeviceSearch search(std::move(handlers), addresses);
    search.SetSearchWindowMs(options.windowMs);
    if (!search.Start()) {
        outcome.failure = OpenFailure(search.Endpoint());
        return outcome;
    }
    if (sent == 0) {
        std::string message;
        for (const std::string& error : sendErrors)
            message += (message.empty() ? "" : "\n") + error;
        outcome.failure = Failure{kExitNetwork, message};
        return outcome;
    }
    loop.exec();
    MarkAddressConflicts(outcome.devices);
    return outcome;
}

int Report(const Failure& failure, std::ostream& err)
{
    err << "vantor-cli: " << failure.message << "\n";
    return failure.exitCode;
}

void Pause(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

PasswordSource PresetPassword(const CliOptions& options, CliEnvironment& environment)
{
    PasswordSource source;
    if (!options.passwordFile.empty()) {
        PasswordResult read = PasswordFromFile(options.passwordFile);
        if (!read.bytes)
            source.failure = Failure{kExitUsage, read.error};
        else if (!read.warning.empty())
            environment.err << "vantor-cli: warning: " << read.warning << "\n";
        source.password = read.bytes;
    } else if (const std::optional<std::string> variable = environment.variable(kPasswordVariable)) {
        PasswordResult read = PasswordFromText(*variable);
        if (!read.bytes)
            source.failure = Failure{kExitUsage, std::string(kPasswordVariable) + ": " + read.error};
        source.password = read.bytes;
    }
    return source;
}

PasswordSource AskPassword(CliEnvironment& environment)
{
    PasswordSource source;
    std::string error;
    const std::optional<std::string> typed = environment.promptPassword(&error);
    if (!typed) {
        source.failure = Failure{kExitUsage, error};
        return source;
    }
    PasswordResult read = PasswordFromText(*typed);
    if (!read.bytes)
        source.failure = Failure{kExitUsage, read.error};
    source.password = read.bytes;
    return source;
}

namespace {

int RunDiscover(const CliOptions& options, const SendPlan& plan, CliEnvironment& environment)
{
    const DiscoveryOutcome outcome = Discover(options, plan, environment.addresses);
    if (outcome.failure)
        return Report(*outcome.failure, environment.err);
    switch (options.format) {
    case OutputFormat::Json:
        environment.out << FormatJson(outcome.devices);
        break;
    case OutputFormat::Csv:
        environment.out << FormatCsv(outcome.devices);
        break;
    case OutputFormat::Table:
        if (outcome.devices.empty())
            environment.err << "vantor-cli: no device answered\n";
        else
            environment.out << FormatTable(outcome.devices);
        break;
    }
    return outcome.devices.empty() ? kExitNotFound : kExitSuccess;
}

int RunDeviceCommand(const CliOptions& options, const SendPlan& plan, CliEnvironment& environment)
{
    // A password from a file or the environment is checked before anything goes on the wire.
    const PasswordSource preset = PresetPassword(options, environment);
    if (preset.failure)
        return Report(*preset.failure, environment.err);
    std::optional<std::string> password = preset.password;

    const std::string mac = FormatMac(options.mac);
    const DiscoveryOutcome found = Discover(options, plan, environment.addresses);
    if (found.failure)
        return Report(*found.failure, environment.err);
    std::vector<FoundDevice> matching;
    for (const FoundDevice& device : found.devices) {
        if (device.Field(4) == mac)
            matching.push_back(device);
    }
    if (matching.empty())
        return Report({kExitNotFound, "no device with MAC " + mac + " answered"}, environment.err);
    if (matching.size() > 1)
        environment.err << "vantor-cli: " << matching.size() << " rows have MAC " << mac
                        << "; their values are taken from the first\n";
    const FoundDevice& row = matching.front();

    const std::vector<PlannedDatagram> planned = PlanCommand(options, row);
    if (planned.empty()) {
        environment.out << mac << ": nothing to change\n";
        return kExitSuccess;
    }
    if (!password) {
        const PasswordSource asked = AskPassword(environment);
        if (asked.failure)
            return Report(*asked.failure, environment.err);
        password = asked.password;
    }

    {
        DeviceSearch endpoint(DeviceSearch::Handlers{}, environment.addresses);
        if (!endpoint.ReopenForCommand())
            return Report(OpenFailure(endpoint.Endpoint()), environment.err);
        const std::string via = row.interfaceName.empty() ? std::string() : " through " + row.interfaceName;
        for (const PlannedDatagram& item : planned) {
            DEVICE_PACKET datagram = item.packet;
            datagram.SetPassword(*password);
            QString error;
            if (!endpoint.Endpoint().SendThrough(datagram, row.interfaceIndex, &error))
                return Report({kExitNetwork, "cannot send " + item.description + ": " + error.toStdString()},
                              environment.err);
            environment.out << mac << ": sent " << item.description << via << "\n";
        }
    }
    if (!options.wait)
        return kExitSuccess;

    Pause(options.waitDelayMs.value_or(DefaultWaitDelayMs(options)));
    const DiscoveryOutcome after = Discover(options, plan, environment.addresses);
    if (after.failure)
        return Report(*after.failure, environment.err);
    if (ShowsRequestedState(options, row, after.devices)) {
        environment.out << mac << ": confirmed\n";
        return kExitSuccess;
    }
    environment.out << mac << ": not confirmed (the device does not show the change)\n";
    return kExitNotFound;
}

DiagnosisFacts GatherDiagnosisFacts(const CliOptions& options, std::vector<InterfaceInfo> interfaces,
                                    CliEnvironment& environment)
{
    const DiagnosisSystem& system = environment.diagnosisSystem;
    DiagnosisFacts facts;
    facts.interfaces = std::move(interfaces);
    facts.chosenInterface = options.interfaceName;

    PortFacts& port = facts.port;
    port.port = environment.addresses.localPort;
    port.probe = system.probePort(port.port, &port.probeError);
    if (port.probe == PortProbe::InUse) {
        port.procNetUdp = system.readFile("/proc/net/udp").value_or(std::string());
        port.procNetUdp6 = system.readFile("/proc/net/udp6").value_or(std::string());
        std::vector<std::uint64_t> inodes;
        for (const std::string* table : {&port.procNetUdp, &port.procNetUdp6}) {
            for (const UdpSocketEntry& entry : ParseProcNetUdp(*table)) {
                if (entry.localPort == port.port && entry.inode != 0)
                    inodes.push_back(entry.inode);
            }
        }
        if (!inodes.empty())
            port.owners = system.socketOwners(inodes);
    }

    FirewallFacts& firewall = facts.firewall;
    firewall.root = system.runsAsRoot();
    firewall.firewalldState = system.runCommand("firewall-cmd", {"--state"});
    if (firewall.firewalldState.started && firewall.firewalldState.exitCode == 0) {
        firewall.firewalldDefaultZone = system.runCommand("firewall-cmd", {"--get-default-zone"});
        firewall.firewalldZones = system.runCommand("firewall-cmd", {"--list-all-zones"});
    }
    firewall.ufwStatus = system.runCommand("ufw", {"status", "verbose"});

    ContainerFacts& container = facts.container;
    container.dockerEnv = system.fileExists("/.dockerenv");
    container.containerEnv = system.fileExists("/run/.containerenv");
    container.initCgroup = system.readFile("/proc/1/cgroup").value_or(std::string());
    container.containerVariable = environment.variable("container").value_or(std::string());

    // One search per adapter, each on its own opening of the endpoint, so a device that answers
    // through two adapters is seen on both.
    for (const InterfaceInfo& adapter : AdaptersToSearch(facts.interfaces, facts.chosenInterface)) {
        SendPlan plan;
        plan.interfaceIndexes = {adapter.index};
        plan.acceptOnly = adapter.index;
        DiscoveryOutcome outcome = Discover(options, plan, environment.addresses);
        AdapterSearch search;
        search.interfaceName = adapter.name;
        if (outcome.failure)
            search.failure = outcome.failure->message;
        search.devices = std::move(outcome.devices);
        facts.searches.push_back(std::move(search));
    }
    return facts;
}

int RunDiagnose(const CliOptions& options, CliEnvironment& environment)
{
    std::vector<InterfaceInfo> interfaces = environment.interfaces();
    if (!options.interfaceName.empty() &&
        std::none_of(interfaces.begin(), interfaces.end(),
                     [&](const InterfaceInfo& interface) { return interface.name == options.interfaceName; }))
        return Report({kExitUsage, "there is no interface named '" + options.interfaceName + "'"}, environment.err);
    const DiagnosisFacts facts = GatherDiagnosisFacts(options, std::move(interfaces), environment);
    const Diagnosis diagnosis = Diagnose(facts);
    environment.out << FormatDiagnosis(diagnosis);
    return diagnosis.devicesAnswered > 0 ? kExitSuccess : kExitNotFound;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, CliEnvironment& environment)
{
    const ParseResult parsed = ParseCommandLine(args);
    if (!parsed.options) {
        environment.err << "vantor-cli: " << parsed.error << "\n";
        return kExitUsage;
    }
    const CliOptions& options = *parsed.options;
    if (options.command == Command::Help) {
        environment.out << HelpText(options.helpFor);
        return kExitSuccess;
    }
    if (options.command == Command::Version) {
        environment.out << "vantor-cli " << VANTOR_VERSION << "\n";
        return kExitSuccess;
    }
    if (options.command == Command::Diagnose)
        return RunDiagnose(options, environment);
    const PlanResult plan = PlanDiscovery(options, environment.interfaces());
    if (!plan.ok)
        return Report({plan.exitCode, plan.error}, environment.err);
    if (options.command == Command::Discover)
        return RunDiscover(options, plan.plan, environment);
    if (options.command == Command::Commission)
        return RunCommission(options, plan.plan, environment);
    return RunDeviceCommand(options, plan.plan, environment);
}

}  // namespace vantor::cli
