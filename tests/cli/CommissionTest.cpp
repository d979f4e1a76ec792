// Commissioning without any network: reading a plan, its checks, --first-ip numbering, the
// record's forms and the command line of commission.
#include "protocol/AddressText.h"
#include "protocol/DeviceRow.h"
#include "tools/cli/CliOptions.h"
#include "tools/cli/CommissionPlan.h"
#include "tools/cli/CommissionReport.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor::cli {
namespace {

FoundDevice Device(const char* mac, Ipv4Bytes ip, Ipv4Bytes mask = {255, 255, 255, 0})
{
    DEVICE_PACKET reply;
    reply.SetIpAddress(ip);
    reply.SetSubnetMask(mask);
    reply.SetGateway({10, 77, 0, 1});
    reply.SetMacAddress(*ParseMac(mac));
    reply.SetModelCode(31);
    return FoundDevice::FromReply(reply, 2, "va");
}

// This PC: 10.77.0.1/24 on va, 172.16.5.9/16 on a second adapter, loopback.
std::vector<InterfaceInfo> Adapters()
{
    return {{"lo", 1, true, false, true, true, {{{127, 0, 0, 1}, 8}}},
            {"va", 2, true, true, false, true, {{{10, 77, 0, 1}, 24}}},
            {"vb", 3, true, true, false, true, {{{172, 16, 5, 9}, 16}}}};
}

// Three factory-fresh devices at one address and one device outside any plan at 10.77.0.11.
std::vector<FoundDevice> Bench()
{
    return {Device("00-1A-2B-3C-4D-03", {192, 168, 1, 254}), Device("00-1A-2B-3C-4D-01", {192, 168, 1, 254}),
            Device("00-1A-2B-3C-4D-02", {192, 168, 1, 254}), Device("00-1A-2B-3C-4D-09", {10, 77, 0, 11})};
}

std::vector<std::string> Texts(const std::vector<PlanProblem>& problems)
{
    std::vector<std::string> texts;
    for (const PlanProblem& problem : problems)
        texts.push_back(ProblemText(problem));
    return texts;
}

// Every expected part must be found in its own problem, in order, and no problem may be left.
void ExpectProblems(const std::vector<PlanProblem>& problems, const std::vector<std::string>& parts,
                    const std::string& label)
{
    const std::vector<std::string> texts = Texts(problems);
    ASSERT_EQ(texts.size(), parts.size()) << label << ": " << ::testing::PrintToString(texts);
    for (std::size_t i = 0; i < parts.size(); ++i)
        EXPECT_NE(texts[i].find(parts[i]), std::string::npos) << label << ": " << texts[i];
}

TEST(CommissionPlanTest, ReadingAPlanReportsEveryMalformedLine)
{
    struct Case {
        std::string text;
        std::size_t rows;
        std::vector<std::string> errors;
    };
    const std::vector<Case> cases = {
        {"\xEF\xBB\xBFMAC, IP ,gateway\r\n# comment\r\n\r\n00-1A-2B-3C-4D-01,10.77.0.20,10.77.0.1\r\n", 1, {}},
        {"ip,mac\n\"10.77.0.20\",\"00:1a:2b:3c:4d:01\"\n", 1, {}},
        {"mac,ip,mask\n"
         "00-1A-2B-3C-4D-01,10.77.0.20\n"
         "00-1A-2B-3C-4D-0G,10.77.0.21,\n"
         "00-1A-2B-3C-4D-03,,255.255.255.0\n"
         "00-1A-2B-3C-4D-04,10.77.0.300,255.255.0\n"
         "00-1A-2B-3C-4D-05,\"10.77.0.25,\n"
         "00-1A-2B-3C-4D-06,10.77.0.26,\n",
         1,
         {"line 2: has 2 cells; the header names 3", "line 3: '00-1A-2B-3C-4D-0G' is no MAC address",
          "line 4: the ip cell is empty", "line 5: ip '10.77.0.300' is no IPv4 address",
          "line 5: mask '255.255.0' is no IPv4 address", "line 6: a quoted cell is not closed"}},
        {"mac,ip,gatway\n", 0, {"line 1: unknown column 'gatway'"}},
        {"mac,mask\n", 0, {"line 1: the header line must name the columns mac and ip"}},
        {"mac,ip,ip\n", 0, {"line 1: the column 'ip' is named twice"}},
        {"# nothing but comments\n\n", 0, {"the plan is empty"}},
        {"mac,ip\n", 0, {"no device rows"}},
    };
    for (const Case& c : cases) {
        const PlanFile plan = ReadPlanFile(c.text);
        EXPECT_EQ(plan.rows.size(), c.rows) << c.text;
        ExpectProblems(plan.errors, c.errors, c.text);
    }
    const PlanFile plan = ReadPlanFile("gateway,mac,ip,mask\n10.77.0.1,00-1A-2B-3C-4D-01,10.77.0.20,\n");
    ASSERT_EQ(plan.rows.size(), 1u);
    EXPECT_EQ(plan.rows[0].line, 2);
    EXPECT_EQ(plan.rows[0].ip, (Ipv4Bytes{10, 77, 0, 20}));
    EXPECT_FALSE(plan.rows[0].mask.has_value());
    EXPECT_EQ(plan.rows[0].gateway, (Ipv4Bytes{10, 77, 0, 1}));
}

TEST(CommissionPlanTest, ChecksRefuseClashesAndWarnOfWhatCannotBeReached)
{
    struct Case {
        std::string plan;
        std::vector<std::string> errors;
        std::vector<std::string> warnings;
    };
    const std::string header = "mac,ip,mask\n";
    const std::vector<Case> cases = {
        {"00-1A-2B-3C-4D-01,10.77.0.20,\n00-1A-2B-3C-4D-02,10.77.0.21,\n", {}, {}},
        // Two devices of the plan may swap their addresses.
        {"00-1A-2B-3C-4D-09,10.77.0.20,\n00-1A-2B-3C-4D-01,10.77.0.11,\n", {}, {}},
        {"00-1A-2B-3C-4D-01,10.77.0.20,\n00-1A-2B-3C-4D-01,10.77.0.21,\n",
         {"line 3: the MAC 00-1A-2B-3C-4D-01 is planned twice (line 2)"},
         {}},
        {"00-1A-2B-3C-4D-01,10.77.0.20,\n00-1A-2B-3C-4D-02,10.77.0.20,\n",
         {"line 3: the IP address 10.77.0.20 is planned twice (line 2)"},
         {}},
        {"00-1A-2B-3C-4D-01,10.77.0.11,\n",
         {"line 2: 10.77.0.11 is in use by 00-1A-2B-3C-4D-09, a device outside"},
         {}},
        {"00-1A-2B-3C-4D-01,10.77.0.1,\n", {"line 2: 10.77.0.1 is this PC's own address (on va)"}, {}},
        {"00-1A-2B-3C-4D-01,10.77.0.0,\n", {"line 2: 10.77.0.0 is the network address of 10.77.0.0/24"}, {}},
        {"00-1A-2B-3C-4D-01,10.77.0.255,\n", {"line 2: 10.77.0.255 is the broadcast address of 10.77.0.0/24"}, {}},
        {"00-1A-2B-3C-4D-01,10.77.0.127,255.255.255.128\n",
         {"line 2: 10.77.0.127 is the broadcast address of 10.77.0.0/25"},
         {}},
        // A /31 has no network or broadcast address to avoid.
        {"00-1A-2B-3C-4D-01,10.77.0.0,255.255.255.254\n", {}, {}},
        {"00-1A-2B-3C-4D-01,10.77.0.20,255.0.255.0\n", {"line 2: the mask 255.0.255.0 is not a contiguous prefix"}, {}},
        {"00-1A-2B-3C-4D-01,127.0.0.5,\n", {"line 2: 127.0.0.5 is no address a device can have"}, {}},
        {"00-1A-2B-3C-4D-01,224.0.0.1,\n", {"line 2: 224.0.0.1 is no address a device can have"}, {}},
        {"00-1A-2B-3C-4D-77,10.77.0.20,\n", {}, {"line 2: 00-1A-2B-3C-4D-77 did not answer; it is skipped"}},
        // A device that did not answer still may not take another row's address.
        {"00-1A-2B-3C-4D-77,10.77.0.20,\n00-1A-2B-3C-4D-01,10.77.0.20,\n",
         {"line 3: the IP address 10.77.0.20 is planned twice (line 2)"},
         {"line 2: 00-1A-2B-3C-4D-77 did not answer"}},
        {"00-1A-2B-3C-4D-01,192.168.7.20,\n",
         {},
         {"line 2: 192.168.7.20 is outside every subnet of this PC's adapters: after the change the device cannot "
          "be reached from here; add an address of 192.168.7.0/24 to va"}},
        {"00-1A-2B-3C-4D-01,172.16.200.3,255.255.0.0\n", {}, {}},
        // Every problem of the plan at once.
        {"00-1A-2B-3C-4D-01,10.77.0.11,\n00-1A-2B-3C-4D-02,10.77.0.11,\n00-1A-2B-3C-4D-03,10.77.0.255,\n",
         {"line 2: 10.77.0.11 is in use", "line 3: the IP address 10.77.0.11 is planned twice",
          "line 3: 10.77.0.11 is in use", "line 4: 10.77.0.255 is the broadcast address"},
         {}},
    };
    for (const Case& c : cases) {
        const PlanFile file = ReadPlanFile(header + c.plan);
        ASSERT_TRUE(file.errors.empty()) << c.plan;
        const PlanCheck check = CheckPlan(file.rows, Bench(), Adapters());
        ExpectProblems(check.errors, c.errors, c.plan);
        ExpectProblems(check.warnings, c.warnings, c.plan);
    }
    // The values a device gets: an empty cell keeps its own.
    const PlanFile file = ReadPlanFile("mac,ip,mask,gateway\n00-1A-2B-3C-4D-02,10.77.0.21,,10.77.0.254\n");
    const PlanCheck check = CheckPlan(file.rows, Bench(), Adapters());
    ASSERT_EQ(check.changes.size(), 1u);
    EXPECT_EQ(check.changes[0].device, 2u);
    EXPECT_EQ(check.changes[0].newMask, (Ipv4Bytes{255, 255, 255, 0}));
    EXPECT_EQ(check.changes[0].newGateway, (Ipv4Bytes{10, 77, 0, 254}));
}

TEST(CommissionPlanTest, NumberingSkipsAddressesInUseAndStaysInTheSubnet)
{
    struct Case {
        std::string label;
        NumberingRequest request;
        std::vector<std::string> addresses;  // per MAC in ascending order; "-" for no address
        std::vector<std::string> errors;
    };
    auto mac = [](const char* text) { return *ParseMac(text); };
    const std::vector<Case> cases = {
        {"every device, 10.77.0.11 in use by another",
         {{10, 77, 0, 10}, {}, {}, {}, {}},
         {"10.77.0.10", "10.77.0.12", "10.77.0.13", "10.77.0.14"},
         {}},
        {"a device keeps the address it has",
         {{10, 77, 0, 11}, {}, {}, {}, {mac("00-1A-2B-3C-4D-09")}},
         {"10.77.0.11"},
         {}},
        {"this PC's address and the network address are skipped",
         {{10, 77, 0, 0}, {}, {}, 2, {}},
         {"10.77.0.2", "10.77.0.3"},
         {}},
        {"the MACs given, in ascending order, one that did not answer",
         {{10, 77, 0, 20}, {}, {}, {}, {mac("00-1A-2B-3C-4D-03"), mac("00-1A-2B-3C-4D-77"), mac("00-1A-2B-3C-4D-01")}},
         {"10.77.0.20", "10.77.0.21", "-"},
         {}},
        {"the broadcast address ends the subnet",
         {{10, 77, 0, 253}, {}, {}, {}, {}},
         {"10.77.0.253", "10.77.0.254"},
         {"no free address is left for 00-1A-2B-3C-4D-03 in 10.77.0.0/24 from 10.77.0.253 on"}},
        {"a narrower mask",
         {{10, 77, 0, 5}, Ipv4Bytes{255, 255, 255, 248}, {}, {}, {}},
         {"10.77.0.5", "10.77.0.6"},
         {"no free address is left for 00-1A-2B-3C-4D-03 in 10.77.0.0/29"}},
        {"a MAC given twice",
         {{10, 77, 0, 20}, {}, {}, {}, {mac("00-1A-2B-3C-4D-01"), mac("00-1A-2B-3C-4D-01")}},
         {"10.77.0.20"},
         {"00-1A-2B-3C-4D-01 is given twice"}},
    };
    for (const Case& c : cases) {
        const Numbering numbering = NumberDevices(c.request, Bench(), Adapters());
        std::vector<std::string> addresses;
        for (const PlanRow& row : numbering.rows)
            addresses.push_back(row.ip ? FormatIpv4(*row.ip) : "-");
        EXPECT_EQ(addresses, c.addresses) << c.label;
        ExpectProblems(numbering.errors, c.errors, c.label);
    }
    const Numbering counted = NumberDevices(
        {{10, 77, 0, 20}, Ipv4Bytes{255, 255, 0, 0}, Ipv4Bytes{10, 77, 0, 1}, 9, {}}, Bench(), Adapters());
    ASSERT_EQ(counted.rows.size(), 4u);
    EXPECT_EQ(FormatMac(counted.rows[0].mac), "00-1A-2B-3C-4D-01");
    EXPECT_EQ(counted.rows[0].mask, (Ipv4Bytes{255, 255, 0, 0}));
    EXPECT_EQ(counted.rows[0].gateway, (Ipv4Bytes{10, 77, 0, 1}));
    ExpectProblems(counted.warnings, {"--count 9 asks for more devices than the 4"}, "count");
}

TEST(CommissionPlanTest, MasksMustBeContiguous)
{
    const std::vector<std::pair<Ipv4Bytes, std::optional<int>>> cases = {
        {{0, 0, 0, 0}, 0},
        {{255, 255, 255, 255}, 32},
        {{255, 255, 254, 0}, 23},
        {{255, 0, 255, 0}, std::nullopt},
        {{0, 255, 255, 255}, std::nullopt},
        {{255, 255, 255, 253}, std::nullopt},
    };
    for (const auto& [mask, prefix] : cases)
        EXPECT_EQ(MaskPrefixLength(mask), prefix) << FormatIpv4(mask);
}

TEST(CommissionReportTest, RecordLinesCarryLocalTimeWithItsOffset)
{
    const QDate day(2026, 5, 4);
    const QTime time(14, 3, 9);
    EXPECT_EQ(RecordTime(QDateTime(day, time, QTimeZone(2 * 3600))), "2026-05-04T14:03:09+02:00");
    EXPECT_EQ(RecordTime(QDateTime(day, time, QTimeZone(-(3 * 3600 + 1800)))), "2026-05-04T14:03:09-03:30");
    EXPECT_EQ(RecordTime(QDateTime(day, time, QTimeZone::utc())), "2026-05-04T14:03:09+00:00");

    CommissionResult done;
    done.mac = "00-1A-2B-3C-4D-01";
    done.interfaceName = "va";
    done.before = {"192.168.1.254", "255.255.255.0", "0.0.0.0"};
    done.after = {"10.77.0.20", "255.255.255.0", "10.77.0.1"};
    done.changes = {"ip", "gateway"};
    done.outcome = Outcome::Done;
    done.time = "2026-05-04T14:03:09+02:00";
    CommissionResult missing;
    missing.mac = "00-1A-2B-3C-4D-77";
    missing.after = {"10.77.0.21", "", ""};
    missing.outcome = Outcome::NotFound;
    EXPECT_EQ(RecordHeader(), "time,mac,old_ip_address,old_subnet_mask,old_gateway_ip,new_ip_address,new_subnet_mask,"
                              "new_gateway_ip,interface,outcome\r\n");
    EXPECT_EQ(RecordLines({done, missing}),
              "2026-05-04T14:03:09+02:00,00-1A-2B-3C-4D-01,192.168.1.254,255.255.255.0,0.0.0.0,10.77.0.20,"
              "255.255.255.0,10.77.0.1,va,done\r\n"
              ",00-1A-2B-3C-4D-77,,,,10.77.0.21,,,,not found\r\n");
    EXPECT_NE(FormatCommissionCsv({done}).find(",ip gateway,done\r\n"), std::string::npos);
    EXPECT_NE(FormatCommissionJson({missing}).find("\"old_ip_address\": null"), std::string::npos);

    const std::vector<std::pair<std::vector<Outcome>, int>> codes = {
        {{Outcome::Done, Outcome::Unchanged}, kExitSuccess},
        {{Outcome::Done, Outcome::NotFound}, kExitNotFound},
        {{Outcome::NotConfirmed}, kExitNotFound},
        {{Outcome::NotFound, Outcome::SendFailed}, kExitNetwork},
        {{Outcome::WouldChange}, kExitSuccess},
    };
    for (const auto& [outcomes, code] : codes) {
        std::vector<CommissionResult> results;
        for (const Outcome outcome : outcomes) {
            results.emplace_back();
            results.back().outcome = outcome;
        }
        EXPECT_EQ(CommissionExitCode(results), code) << OutcomeText(outcomes.back());
    }
}

TEST(CommissionOptionsTest, CommandLine)
{
    using Args = std::vector<std::string>;
    const std::vector<std::pair<Args, std::string>> refused = {
        {{"commission"}, "one plan file, or --first-ip"},
        {{"commission", "a.csv", "b.csv"}, "one plan file, or --first-ip"},
        {{"commission", "a.csv", "--mask", "255.255.255.0"}, "go with --first-ip"},
        {{"commission", "--first-ip", "10.77.0.300"}, "--first-ip needs an IPv4 address"},
        {{"commission", "--first-ip", "10.77.0.10", "--count", "0"}, "--count needs a number"},
        {{"commission", "--first-ip", "10.77.0.10", "--count", "x"}, "--count needs a number"},
        {{"commission", "--first-ip", "10.77.0.10", "nomac"}, "'nomac' is no MAC address"},
        {{"commission", "a.csv", "--record"}, "--record needs a file name"},
        {{"commission", "a.csv", "--wait"}, "unknown option"},
    };
    for (const auto& [args, part] : refused) {
        const ParseResult result = ParseCommandLine(args);
        EXPECT_FALSE(result.options.has_value()) << args.back();
        EXPECT_NE(result.error.find(part), std::string::npos) << args.back() << ": " << result.error;
    }
    ParseResult r = ParseCommandLine({"commission", "--first-ip", "10.77.0.10", "--count", "3", "--mask", "255.255.0.0",
                                      "00-1A-2B-3C-4D-02", "00:1a:2b:3c:4d:01", "--dry-run", "--strict", "--json",
                                      "--record", "rec.csv"});
    ASSERT_TRUE(r.options.has_value()) << r.error;
    EXPECT_EQ(r.options->command, Command::Commission);
    EXPECT_EQ(r.options->firstIp, (Ipv4Bytes{10, 77, 0, 10}));
    EXPECT_EQ(r.options->count, 3);
    EXPECT_EQ(r.options->macs.size(), 2u);
    EXPECT_TRUE(r.options->dryRun && r.options->strict);
    EXPECT_EQ(r.options->format, OutputFormat::Json);
    EXPECT_EQ(r.options->recordFile, "rec.csv");
    r = ParseCommandLine({"commission", "plan.csv", "--password-file", "pw", "--wait-delay", "0.5"});
    ASSERT_TRUE(r.options.has_value()) << r.error;
    EXPECT_EQ(r.options->planFile, "plan.csv");
    EXPECT_EQ(r.options->waitDelayMs, 500);
    EXPECT_NE(HelpText(Command::Commission).find("--first-ip A"), std::string::npos);
    EXPECT_NE(HelpText(Command::Help).find("commission"), std::string::npos);
}

}  // namespace
}  // namespace vantor::cli
