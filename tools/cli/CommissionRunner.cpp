// vantor-cli commission: plan, checks, sending, the checking search, results and the record.
#include "protocol/DeviceRow.h"
#include "protocol/DeviceSearch.h"
#include "tools/cli/CliOptions.h"
#include "tools/cli/CliSearch.h"
#include "tools/cli/CommandPlan.h"
#include "tools/cli/CommissionPlan.h"
#include "tools/cli/CommissionReport.h"

#include <QDir>
#include <QFileInfo>

#include <fstream>
#include <iterator>
#include <ostream>

namespace vantor::cli {
namespace {

// A plan is a short text; a file far beyond any batch of devices is not one.
constexpr std::streamsize kMaxPlanBytes = 4 * 1024 * 1024;

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(kMaxPlanBytes) + 1, '\0');
    file.read(text.data(), kMaxPlanBytes + 1);
    if (file.bad() || file.gcount() > kMaxPlanBytes)
        return std::nullopt;
    text.resize(static_cast<std::size_t>(file.gcount()));
    return text;
}

// The record is written at the end of the run; whether it can be is known before anything
// goes on the wire.
std::optional<std::string> RecordProblem(const std::string& path)
{
    const QFileInfo info(QString::fromStdString(path));
    if (info.exists()) {
        if (!info.isFile() || !info.isWritable())
            return "the record '" + path + "' cannot be written";
        return std::nullopt;
    }
    const QFileInfo directory(info.absolutePath());
    if (!directory.isDir() || !directory.isWritable())
        return "the record '" + path + "' cannot be made in " + info.absolutePath().toStdString();
    return std::nullopt;
}

std::optional<std::string> AppendRecord(const std::string& path, const std::vector<CommissionResult>& results)
{
    const QFileInfo info(QString::fromStdString(path));
    std::string text = info.exists() && info.size() > 0 ? std::string() : RecordHeader();
    text += RecordLines(results);
    std::ofstream file(path, std::ios::binary | std::ios::app);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.flush();
    if (!file)
        return "cannot append to the record '" + path + "'";
    return std::nullopt;
}

void PrintProblems(const std::vector<PlanProblem>& problems, const char* kind, std::ostream& err)
{
    for (const PlanProblem& problem : problems)
        err << "vantor-cli: " << kind << ProblemText(problem) << "\n";
}

// set-ip's options for one device of the plan, so that it gets exactly the datagrams set-ip
// would send it and is confirmed by the same rule.
CliOptions SetIpOptions(const CliOptions& options, const PlannedChange& change)
{
    CliOptions device = options;
    device.command = Command::SetIp;
    device.ip = change.newIp;
    device.mask = change.newMask;
    device.gateway = change.newGateway;
    return device;
}

std::string Now()
{
    return RecordTime(QDateTime::currentDateTime());
}

void PrintResults(const CliOptions& options, const std::vector<CommissionResult>& results, std::ostream& out)
{
    switch (options.format) {
    case OutputFormat::Json:
        out << FormatCommissionJson(results);
        break;
    case OutputFormat::Csv:
        out << FormatCommissionCsv(results);
        break;
    case OutputFormat::Table:
        out << FormatCommissionTable(results);
        break;
    }
}

}  // namespace

int RunCommission(const CliOptions& options, const SendPlan& plan, CliEnvironment& environment)
{
    std::ostream& err = environment.err;
    PlanFile planFile;
    if (!options.planFile.empty()) {
        const std::optional<std::string> text = ReadWholeFile(options.planFile);
        if (!text)
            return Report({kExitUsage, "cannot read the plan file '" + options.planFile + "'"}, err);
        planFile = ReadPlanFile(*text);
        if (planFile.rows.empty()) {
            PrintProblems(planFile.errors, "", err);
            return Report({kExitUsage, "the plan is refused; nothing was sent"}, err);
        }
    }
    if (!options.recordFile.empty()) {
        if (const std::optional<std::string> problem = RecordProblem(options.recordFile))
            return Report({kExitUsage, *problem}, err);
    }
    std::optional<std::string> password;
    if (!options.dryRun) {
        const PasswordSource preset = PresetPassword(options, environment);
        if (preset.failure)
            return Report(*preset.failure, err);
        password = preset.password;
    }

    const DiscoveryOutcome found = Discover(options, plan, environment.addresses);
    if (found.failure)
        return Report(*found.failure, err);
    const std::vector<InterfaceInfo> interfaces = environment.interfaces();

    std::vector<PlanProblem> errors = planFile.errors;
    std::vector<PlanProblem> warnings;
    std::vector<PlanRow> rows = planFile.rows;
    if (options.firstIp) {
        Numbering numbering = NumberDevices(
            NumberingRequest{*options.firstIp, options.mask, options.gateway, options.count, options.macs},
            found.devices, interfaces);
        if (numbering.rows.empty() && numbering.errors.empty())
            return Report({kExitNotFound, "no device answered; there is nothing to number"}, err);
        rows = std::move(numbering.rows);
        errors.insert(errors.end(), numbering.errors.begin(), numbering.errors.end());
        warnings = std::move(numbering.warnings);
    }
    const PlanCheck check = CheckPlan(rows, found.devices, interfaces);
    errors.insert(errors.end(), check.errors.begin(), check.errors.end());
    warnings.insert(warnings.end(), check.warnings.begin(), check.warnings.end());
    // Problems in the order of the plan's lines.
    std::stable_sort(errors.begin(), errors.end(), [](const auto& a, const auto& b) { return a.line < b.line; });
    PrintProblems(warnings, options.strict ? "" : "warning: ", err);
    PrintProblems(errors, "", err);
    if (!errors.empty() || (options.strict && !warnings.empty())) {
        const std::size_t count = errors.size() + (options.strict ? warnings.size() : 0);
        return Report({kExitUsage, "the plan is refused (" + std::to_string(count) + " problem" +
                                       (count == 1 ? "" : "s") + "); nothing was sent"},
                      err);
    }

    // What each device would get.
    std::vector<CommissionResult> results;
    std::vector<std::vector<PlannedDatagram>> datagrams;
    bool anythingToSend = false;
    for (const PlannedChange& change : check.changes) {
        CommissionResult result;
        result.mac = FormatMac(change.row.mac);
        std::vector<PlannedDatagram> planned;
        if (change.device) {
            const FoundDevice& device = found.devices[*change.device];
            result.interfaceName = device.interfaceName;
            result.before = {device.Field(kIpField), device.Field(kMaskField), device.Field(kGatewayField)};
            result.after = {FormatIpv4(change.newIp), FormatIpv4(change.newMask), FormatIpv4(change.newGateway)};
            planned = PlanCommand(SetIpOptions(options, change), device);
            for (const auto& [field, name] :
                 {std::pair{kIpField, "ip"}, std::pair{kMaskField, "mask"}, std::pair{kGatewayField, "gateway"}}) {
                const auto index = static_cast<std::size_t>(field - kIpField);
                if (result.before[index] != result.after[index])
                    result.changes.emplace_back(name);
            }
            result.outcome = planned.empty() ? Outcome::Unchanged : Outcome::WouldChange;
        } else {
            if (change.row.ip)
                result.after[0] = FormatIpv4(*change.row.ip);
            if (change.row.mask)
                result.after[1] = FormatIpv4(*change.row.mask);
            if (change.row.gateway)
                result.after[2] = FormatIpv4(*change.row.gateway);
            result.outcome = Outcome::NotFound;
        }
        anythingToSend = anythingToSend || !planned.empty();
        result.time = Now();
        results.push_back(std::move(result));
        datagrams.push_back(std::move(planned));
    }
    if (options.dryRun) {
        PrintResults(options, results, environment.out);
        err << "vantor-cli: dry run: nothing was sent\n";
        return kExitSuccess;
    }

    if (anythingToSend && !password) {
        const PasswordSource asked = AskPassword(environment);
        if (asked.failure)
            return Report(*asked.failure, err);
        password = asked.password;
    }
    if (anythingToSend) {
        DeviceSearch endpoint(DeviceSearch::Handlers{}, environment.addresses);
        if (!endpoint.ReopenForCommand())
            return Report(OpenFailure(endpoint.Endpoint()), err);
        for (std::size_t i = 0; i < results.size(); ++i) {
            CommissionResult& result = results[i];
            err << i + 1 << "/" << results.size() << " " << result.mac << " ";
            if (result.outcome != Outcome::WouldChange) {
                err << OutcomeText(result.outcome) << "\n";
                continue;
            }
            const FoundDevice& device = found.devices[*check.changes[i].device];
            for (const PlannedDatagram& item : datagrams[i]) {
                DEVICE_PACKET datagram = item.packet;
                datagram.SetPassword(*password);
                QString error;
                if (!endpoint.Endpoint().SendThrough(datagram, device.interfaceIndex, &error)) {
                    err << "cannot send " << item.description << ": " << error.toStdString() << " ";
                    result.outcome = Outcome::SendFailed;
                    break;
                }
                err << item.description << "; ";
            }
            result.time = Now();
            err << (result.outcome == Outcome::SendFailed
                        ? "send failed"
                        : "sent" + (device.interfaceName.empty() ? std::string() : " through " + device.interfaceName))
                << "\n";
        }
    }

    // One search tells which devices show their new values.
    std::optional<Failure> checkFailure;
    if (anythingToSend) {
        CliOptions setIp = options;
        setIp.command = Command::SetIp;
        Pause(options.waitDelayMs.value_or(DefaultWaitDelayMs(setIp)));
        err << "checking with a new search ...\n";
        const DiscoveryOutcome after = Discover(options, plan, environment.addresses);
        checkFailure = after.failure;
        for (std::size_t i = 0; i < results.size(); ++i) {
            if (results[i].outcome != Outcome::WouldChange)
                continue;
            const PlannedChange& change = check.changes[i];
            results[i].outcome = !after.failure && ShowsRequestedState(SetIpOptions(options, change),
                                                                       found.devices[*change.device], after.devices)
                                     ? Outcome::Done
                                     : Outcome::NotConfirmed;
            results[i].time = Now();
        }
    }
    PrintResults(options, results, environment.out);
    int code = CommissionExitCode(results);
    if (checkFailure)
        code = Report(*checkFailure, err);
    if (!options.recordFile.empty()) {
        if (const std::optional<std::string> problem = AppendRecord(options.recordFile, results))
            code = Report({kExitNetwork, *problem}, err);
    }
    return code;
}

}  // namespace vantor::cli
