// The checks of `vantor-cli diagnose` over made-up facts, and the command on a fake machine.
#include "tools/cli/Diagnosis.h"
#include "tools/cli/CliOptions.h"
#include "tools/cli/CliRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace vantor::cli {
namespace {

InterfaceInfo Adapter(std::string name, int index, Ipv4Bytes address, int prefix)
{
    return InterfaceInfo{std::move(name), index, true, true, false, true, {Ipv4Entry{address, prefix}}};
}

FoundDevice Device(std::string_view name, Ipv4Bytes ip, std::uint8_t macEnd, const InterfaceInfo& adapter)
{
    DEVICE_PACKET reply;
    reply.SetNameField(name);
    reply.SetIpAddress(ip);
    reply.SetSubnetMask({255, 255, 255, 0});
    reply.SetMacAddress({0x00, 0x1A, 0x2B, 0x3C, 0x4D, macEnd});
    reply.SetModelCode(31);  // a known model, so the name is shown
    return FoundDevice::FromReply(reply, adapter.index, adapter.name);
}

// A machine where everything is fine: one adapter, a device in its subnet, no firewall.
DiagnosisFacts HealthyFacts()
{
    DiagnosisFacts facts;
    facts.interfaces = {InterfaceInfo{"lo", 1, true, false, true, true, {Ipv4Entry{{127, 0, 0, 1}, 8}}},
                        Adapter("ea", 2, {10, 61, 0, 1}, 24)};
    facts.searches = {AdapterSearch{"ea", {}, {Device("Lab1", {10, 61, 0, 5}, 1, facts.interfaces[1])}}};
    return facts;
}

CommandResult Ran(int exitCode, std::string output)
{
    return CommandResult{true, exitCode, std::move(output)};
}

constexpr const char* kUdpHeader =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode ref pointer "
    "drops\n";

TEST(DiagnosisTest, EachSetUpGivesItsFindingAndVerdict)
{
    struct Case {
        const char* setUp;
        std::function<void(DiagnosisFacts&)> change;
        std::vector<std::string> expectedLines;  // each the start of a line of the output
        int devicesAnswered;
    };
    const InterfaceInfo eb = Adapter("eb", 3, {10, 62, 0, 1}, 24);
    const std::vector<Case> cases = {
        {"healthy",
         [](DiagnosisFacts&) {},
         {"note    adapter lo: loopback; not searched", "ok      adapter ea: up, 10.61.0.1/24, can broadcast; searched",
          "ok      port 4000: free", "ok      firewalld: not installed", "ok      ufw: not installed",
          "ok      container: none detected", "ok      search ea: 1 device answered",
          "verdict: 1 device answered (ea 1)\n"},
         1},
        {"no usable adapter",
         [](DiagnosisFacts& f) {
             f.interfaces[1].up = false;
             f.searches.clear();
         },
         {"problem adapters: none can carry the search",
          "note    adapter ea: down, 10.61.0.1/24, can broadcast; not searched (it is down): if the devices are "
          "behind it, connect its cable or bring it up (sudo ip link set ea up)",
          "verdict: no device answered; start with the problem of adapters above"},
         0},
        {"chosen adapter without an address",
         [](DiagnosisFacts& f) {
             f.interfaces[1].hasIpv4 = false;
             f.interfaces[1].ipv4.clear();
             f.chosenInterface = "ea";
             f.searches.clear();
         },
         {"problem adapter ea: chosen with --interface, but it cannot carry the search",
          "note    adapter ea: up, no IPv4 address, can broadcast; not searched (it has no IPv4 address)"},
         0},
        {"port busy, holder visible",
         [](DiagnosisFacts& f) {
             f.port.probe = PortProbe::InUse;
             f.port.procNetUdp = std::string(kUdpHeader) +
                                 "  12: 00000000:0FA0 00000000:0000 07 00000000:00000000 00:00000000 00000000  1000 "
                                 "       0 4242 2 0000000000000000 0\n"
                                 "  13: 00000000:0FA1 00000000:0000 07 00000000:00000000 00:00000000 00000000     0 "
                                 "       0 99 2 0000000000000000 0\n";
             f.port.owners = {{777, "nc", 4242}, {778, "other", 99}};
             f.searches = {AdapterSearch{"ea", "Socket port '4000' Open fail", {}}};
         },
         {"problem port 4000: held by process 777 (nc), so no search can listen",
          "problem search ea: failed: Socket port '4000' Open fail",
          "verdict: no device answered; start with the problem of port 4000 above"},
         0},
        {"port busy, holder of another user",
         [](DiagnosisFacts& f) {
             f.port.probe = PortProbe::InUse;
             f.port.procNetUdp6 = std::string(kUdpHeader) +
                                  "  5: 00000000000000000000000000000000:0FA0 00000000000000000000000000000000:0000 "
                                  "07 00000000:00000000 00:00000000 00000000  1001        0 5151 2 0 0\n";
         },
         {"problem port 4000: held by a process of user id 1001 that only root can name"},
         1},
        {"port busy, /proc unreadable",
         [](DiagnosisFacts& f) { f.port.probe = PortProbe::InUse; },
         {"problem port 4000: held by another socket (/proc does not say whose)"},
         1},
        {"the same device on two adapters",
         [&eb](DiagnosisFacts& f) {
             f.interfaces.push_back(eb);
             f.searches.push_back(AdapterSearch{"eb", {}, {Device("Lab1", {10, 61, 0, 5}, 1, eb)}});
         },
         {"ok      search eb: 1 device answered",
          "warning device 00-1A-2B-3C-4D-01 (Lab1, 10.61.0.5): answered on ea and eb: the same network",
          "warning device 00-1A-2B-3C-4D-01 (Lab1, 10.61.0.5): outside the subnet of eb (10.62.0.1/24)",
          "verdict: 1 device answered (ea 1, eb 1); see the warnings above"},
         1},
        {"a device in another subnet",
         [](DiagnosisFacts& f) {
             f.searches[0].devices.push_back(Device("Far\x1b", {192, 168, 1, 20}, 2, f.interfaces[1]));
         },
         {"warning device 00-1A-2B-3C-4D-02 (Far\\x1B, 192.168.1.20): outside the subnet of ea (10.61.0.1/24): its "
          "web page and commands by IP are not reachable until this PC has an address in 192.168.1.0/24 (sudo ip "
          "addr add ADDRESS/24 dev ea), or the device gets one in 10.61.0.0/24",
          "verdict: 2 devices answered (ea 2); see the warnings above"},
         2},
        {"firewalld allows the service",
         [](DiagnosisFacts& f) {
             f.firewall.firewalldState = Ran(0, "running\n");
             f.firewall.firewalldDefaultZone = Ran(0, "public\n");
             f.firewall.firewalldZones = Ran(0, "block\n  target: %%REJECT%%\n\npublic (active)\n  target: default\n"
                                                "  interfaces: ea\n  services: ssh vantor-config\n  ports: \n");
         },
         {"ok      firewalld: running; zone public (ea) lets the answers in (the service vantor-config)"},
         1},
        {"firewalld's default zone allows a port range",
         [](DiagnosisFacts& f) {
             f.firewall.firewalldState = Ran(0, "running\n");
             f.firewall.firewalldDefaultZone = Ran(0, "home\n");
             f.firewall.firewalldZones =
                 Ran(0, "home (default)\n  interfaces: \n  ports: 8080/tcp 3000-5000/udp\n  rich rules: \n"
                        "\trule family=\"ipv4\" source address=\"1.2.3.4\" accept\n");
         },
         {"ok      firewalld: running; zone home (ea) lets the answers in (the port 3000-5000/udp)"},
         1},
        {"firewalld drops the answers",
         [](DiagnosisFacts& f) {
             f.firewall.firewalldState = Ran(0, "running\n");
             f.firewall.firewalldDefaultZone = Ran(0, "public\n");
             f.firewall.firewalldZones = Ran(0, "public (active)\n  target: default\n  interfaces: ea\n  services: "
                                                "ssh\n  ports: 4000/tcp 40000/udp\n  protocols: icmp\n");
         },
         {"problem firewalld: running; zone public (ea) drops the devices' answers (neither the service "
          "vantor-config nor 4000/udp is allowed): sudo firewall-cmd --permanent --zone=public "
          "--add-service=vantor-config && sudo firewall-cmd --reload"},
         1},
        {"firewalld not running",
         [](DiagnosisFacts& f) { f.firewall.firewalldState = Ran(252, "not running\n"); },
         {"ok      firewalld: not running"},
         1},
        {"firewalld zones need root",
         [](DiagnosisFacts& f) {
             f.firewall.firewalldState = Ran(0, "running\n");
             f.firewall.firewalldZones = Ran(11, "Authorization failed.\n");
         },
         {"note    firewalld: running; its zones not checked (needs root): run this as root to check them"},
         1},
        {"ufw needs root",
         [](DiagnosisFacts& f) { f.firewall.ufwStatus = Ran(1, "ERROR: You need to be root to run this script\n"); },
         {"note    ufw: not checked (needs root)"},
         1},
        {"ufw allows the profile",
         [](DiagnosisFacts& f) {
             f.firewall.root = true;
             f.firewall.ufwStatus = Ran(0, "Status: active\nLogging: on (low)\nDefault: deny (incoming), allow "
                                           "(outgoing), disabled (routed)\n\nTo                         Action      "
                                           "From\n--                         ------      ----\n22/tcp             "
                                           "        ALLOW IN    Anywhere\nVantor Config (v6)         ALLOW IN    "
                                           "Anywhere (v6)\n");
         },
         {"ok      ufw: active; the profile \"Vantor Config\" is allowed"},
         1},
        {"ufw drops the answers",
         [](DiagnosisFacts& f) {
             f.firewall.root = true;
             f.firewall.ufwStatus = Ran(0, "Status: active\n\nTo                         Action      From\n--     "
                                           "                    ------      ----\n4000/udp                   ALLOW "
                                           "OUT   Anywhere\n4000/udp                   DENY IN     Anywhere\n");
         },
         {"problem ufw: active, and neither the profile \"Vantor Config\" nor 4000/udp is allowed, so the devices' "
          "answers are dropped: sudo ufw allow \"Vantor Config\""},
         1},
        {"ufw inactive",
         [](DiagnosisFacts& f) { f.firewall.ufwStatus = Ran(0, "Status: inactive\n"); },
         {"ok      ufw: inactive"},
         1},
        {"docker",
         [](DiagnosisFacts& f) { f.container.dockerEnv = true; },
         {"warning container: running inside one (/.dockerenv): discovery needs the host's network"},
         1},
        {"podman and kubernetes markers",
         [](DiagnosisFacts& f) {
             f.container.containerEnv = true;
             f.container.containerVariable = "podman";
             f.container.initCgroup = "0::/\n12:pids:/kubepods/besteffort/pod1\n";
             f.searches[0].devices.clear();
         },
         {"warning container: running inside one (/run/.containerenv, container=podman, cgroup "
          "12:pids:/kubepods/besteffort/pod1)",
          "warning search ea: no device answered",
          "verdict: no device answered; start with the warning of container above"},
         0},
    };
    for (const Case& c : cases) {
        DiagnosisFacts facts = HealthyFacts();
        c.change(facts);
        const Diagnosis diagnosis = Diagnose(facts);
        const std::string text = FormatDiagnosis(diagnosis);
        EXPECT_EQ(diagnosis.devicesAnswered, c.devicesAnswered) << c.setUp;
        for (const std::string& line : c.expectedLines)
            EXPECT_TRUE(text.rfind(line, 0) == 0 || text.find("\n" + line) != std::string::npos)
                << c.setUp << ": no line starting\n"
                << line << "\nin\n"
                << text;
        // No usable adapter, when it is the case, is the first thing said.
        if (AdaptersToSearch(facts.interfaces, facts.chosenInterface).empty()) {
            EXPECT_EQ(diagnosis.findings.front().severity, Severity::Problem) << c.setUp;
        }
    }
}

TEST(DiagnosisTest, ProcTextsAreReadStrictly)
{
    const std::vector<UdpSocketEntry> entries =
        ParseProcNetUdp(std::string(kUdpHeader) +
                        "  1: 0100007F:0FA0 00000000:0000 07 00000000:00000000 00:00000000 00000000  1000 0 12345 2 "
                        "0 0\n  2: garbage\n  3: 00000000:ZZZZ 00000000:0000 07 0 0 0 0 0 1\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].localPort, 4000);
    EXPECT_EQ(entries[0].uid, 1000u);
    EXPECT_EQ(entries[0].inode, 12345u);

    EXPECT_EQ(SocketInodeFromLink("socket:[987]"), std::optional<std::uint64_t>(987));
    for (const char* target : {"socket:[]", "socket:[12", "pipe:[12]", "/dev/null", "socket:[1x]"})
        EXPECT_FALSE(SocketInodeFromLink(target).has_value()) << target;
}

TEST(DiagnosisTest, TheCommandAsksTheMachineAndNeverSearchesWithoutAUsableAdapter)
{
    std::ostringstream out;
    std::ostringstream err;
    std::vector<std::string> commands;
    CliEnvironment environment{out, err, [](const char*) { return std::optional<std::string>(); }, {}, {}, {}, {}};
    environment.interfaces = [] { return std::vector<InterfaceInfo>{{"lo", 1, true, false, true, true, {}}}; };
    DiagnosisSystem& system = environment.diagnosisSystem;
    system.readFile = [](const std::string& path) -> std::optional<std::string> {
        if (path == "/proc/net/udp")
            return std::string(kUdpHeader) +
                   "  1: 00000000:0FA0 00000000:0000 07 00000000:00000000 00:00000000 00000000 0 0 31 2 0 0\n";
        return std::nullopt;
    };
    system.fileExists = [](const std::string& path) { return path == "/run/.containerenv"; };
    system.runCommand = [&commands](const std::string& program, const std::vector<std::string>& args) {
        std::string line = program;
        for (const std::string& arg : args)
            line += " " + arg;
        commands.push_back(line);
        return program == "firewall-cmd" ? Ran(252, "not running") : CommandResult{};
    };
    system.socketOwners = [](const std::vector<std::uint64_t>& inodes) {
        return inodes == std::vector<std::uint64_t>{31} ? std::vector<ProcessSocket>{{4321, "vantor-config", 31}}
                                                        : std::vector<ProcessSocket>{};
    };
    system.probePort = [](std::uint16_t port, std::string*) {
        return port == 4000 ? PortProbe::InUse : PortProbe::Free;
    };
    system.runsAsRoot = [] { return false; };

    EXPECT_EQ(RunCli({"diagnose", "--window=0.1"}, environment), kExitNotFound);
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("problem adapters: none can carry the search", 0), 0u) << text;
    EXPECT_NE(text.find("problem port 4000: held by process 4321 (vantor-config)"), std::string::npos) << text;
    EXPECT_NE(text.find("ok      firewalld: not running"), std::string::npos) << text;
    EXPECT_NE(text.find("ok      ufw: not installed"), std::string::npos) << text;
    EXPECT_NE(text.find("container: running inside one (/run/.containerenv)"), std::string::npos) << text;
    // Six findings and the verdict: no search line, as nothing could carry one.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7) << text;
    EXPECT_EQ(commands, (std::vector<std::string>{"firewall-cmd --state", "ufw status verbose"}));

    struct Usage {
        std::vector<std::string> args;
        int exitCode;
        std::string said;
    };
    const std::vector<Usage> usages = {
        {{"diagnose", "--interface", "eth9"}, kExitUsage, "there is no interface named 'eth9'"},
        {{"diagnose", "--all-interfaces"}, kExitUsage, "unknown option '--all-interfaces' for diagnose"},
        {{"diagnose", "now"}, kExitUsage, "diagnose takes no argument 'now'"},
        {{"diagnose", "--window", "0"}, kExitUsage, "--window needs a number of seconds"},
    };
    for (const Usage& usage : usages) {
        err.str({});
        EXPECT_EQ(RunCli(usage.args, environment), usage.exitCode) << usage.args[1];
        EXPECT_NE(err.str().find(usage.said), std::string::npos) << err.str();
    }
    out.str({});
    EXPECT_EQ(RunCli({"diagnose", "--help"}, environment), kExitSuccess);
    EXPECT_NE(out.str().find("Usage: vantor-cli diagnose [--interface NAME] [--window SECONDS]"), std::string::npos);
    out.str({});
    EXPECT_EQ(RunCli({"--help"}, environment), kExitSuccess);
    EXPECT_NE(out.str().find("  diagnose "), std::string::npos);
}

}  // namespace
}  // namespace vantor::cli
