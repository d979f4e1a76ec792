#include "tools/cli/CliOptions.h"

#include "protocol/AddressText.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string_view>
#include <tuple>
#include <vector>

namespace vantor::cli {
namespace {

struct CommandEntry {
    std::string_view name;
    Command command;
};

constexpr CommandEntry kCommands[] = {
    {"discover", Command::Discover},
    {"set-ip", Command::SetIp},
    {"set-mac", Command::SetMac},
    {"reset", Command::Reset},
    {"update-firmware", Command::UpdateFirmware},
    {"commission", Command::Commission},
    {"diagnose", Command::Diagnose},
};

std::optional<Command> CommandFromName(std::string_view name)
{
    for (const CommandEntry& entry : kCommands) {
        if (entry.name == name)
            return entry.command;
    }
    return std::nullopt;
}

bool IsDeviceCommand(Command command)
{
    return command == Command::SetIp || command == Command::SetMac || command == Command::Reset ||
           command == Command::UpdateFirmware;
}

struct ValueNeed {
    std::string_view name;
    std::string_view message;
};

// What each option that takes a value says when the value is missing or unusable.
constexpr ValueNeed kValueNeeds[] = {
    {"interface", "--interface needs an interface name"},
    {"window", "--window needs a number of seconds (more than 0, at most 3600)"},
    {"ip", "--ip needs an IPv4 address such as 192.168.1.20"},
    {"mask", "--mask needs an IPv4 address such as 192.168.1.20"},
    {"gateway", "--gateway needs an IPv4 address such as 192.168.1.20"},
    {"password-file", "--password-file needs a file name"},
    {"wait-delay", "--wait-delay needs a number of seconds (more than 0, at most 3600)"},
    {"first-ip", "--first-ip needs an IPv4 address such as 192.168.1.20"},
    {"count", "--count needs a number of devices (1 or more)"},
    {"record", "--record needs a file name"},
};

const ValueNeed* FindValueNeed(std::string_view name)
{
    const auto need = std::find_if(std::begin(kValueNeeds), std::end(kValueNeeds),
                                   [name](const ValueNeed& entry) { return entry.name == name; });
    return need == std::end(kValueNeeds) ? nullptr : need;
}

std::string NeedsText(std::string_view name)
{
    return std::string(FindValueNeed(name)->message);
}

// Options that would put a password into the argument list, where every user of the machine can
// read it in the process list.
bool LooksLikePasswordOption(std::string_view arg)
{
    const std::string_view name = arg.substr(0, arg.find('='));
    return name == "-p" || name == "--password" || name == "--pass" || name == "--passwd" || name == "--pw";
}

// The option's own name in an argument: "--window=3" and "-window" name "window".
std::string_view OptionName(std::string_view arg)
{
    arg.remove_prefix(std::min(arg.find_first_not_of('-'), arg.size()));
    return arg.substr(0, arg.find('='));
}

// Says what went wrong in the words the tool uses for its other errors; Qt's own text is the
// fallback. The parser fails for an unknown option, for a value option at the end without its
// value, and for "--flag=value" on an option that takes none.
std::string ParseFailureText(const QCommandLineParser& parser, const std::vector<std::string>& args)
{
    const std::string& command = args[0];
    auto unknownOption = [&command](const std::string& arg) {
        return "unknown option '" + arg + "' for " + command + " (try " + command + " --help)";
    };
    const QStringList unknown = parser.unknownOptionNames();
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--")
            break;
        if (arg.size() < 2 || arg[0] != '-')
            continue;
        const std::string_view name = OptionName(arg);
        if (unknown.contains(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))))
            return unknownOption(arg);
        if (!unknown.isEmpty())
            continue;
        if (const ValueNeed* needs = FindValueNeed(name)) {
            if (i + 1 == args.size() && arg.find('=') == std::string::npos)
                return std::string(needs->message);
        } else if (arg.find('=') != std::string::npos) {
            return unknownOption(arg);
        }
    }
    return parser.errorText().toStdString();
}

// The arguments after a command's name, read with the options of that command only: an option
// another command has is unknown here.
ParseResult ParseCommandArguments(Command command, const std::vector<std::string>& args)
{
    ParseResult result;
    auto fail = [&result](std::string message) {
        result.options.reset();
        result.error = std::move(message);
        return result;
    };
    CliOptions options;
    options.command = command;
    const bool deviceCommand = IsDeviceCommand(command);

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption interfaceName(QStringLiteral("interface"), {}, QStringLiteral("NAME"));
    const QCommandLineOption allInterfaces(QStringLiteral("all-interfaces"));
    const QCommandLineOption window(QStringLiteral("window"), {}, QStringLiteral("SECONDS"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption csv(QStringLiteral("csv"));
    const QCommandLineOption ip(QStringLiteral("ip"), {}, QStringLiteral("A"));
    const QCommandLineOption mask(QStringLiteral("mask"), {}, QStringLiteral("M"));
    const QCommandLineOption gateway(QStringLiteral("gateway"), {}, QStringLiteral("G"));
    const QCommandLineOption passwordFile(QStringLiteral("password-file"), {}, QStringLiteral("FILE"));
    const QCommandLineOption wait(QStringLiteral("wait"));
    const QCommandLineOption waitDelay(QStringLiteral("wait-delay"), {}, QStringLiteral("SECONDS"));
    const QCommandLineOption firstIp(QStringLiteral("first-ip"), {}, QStringLiteral("A"));
    const QCommandLineOption count(QStringLiteral("count"), {}, QStringLiteral("N"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    const QCommandLineOption strict(QStringLiteral("strict"));
    const QCommandLineOption record(QStringLiteral("record"), {}, QStringLiteral("FILE"));
    std::vector<const QCommandLineOption*> offered;
    auto offer = [&](std::initializer_list<const QCommandLineOption*> list) {
        for (const QCommandLineOption* option : list) {
            parser.addOption(*option);
            offered.push_back(option);
        }
    };
    offer({&help, &interfaceName, &window});
    if (command != Command::Diagnose)
        offer({&allInterfaces});
    if (command == Command::Discover || command == Command::Commission)
        offer({&json, &csv});
    if (command == Command::SetIp)
        offer({&ip, &mask, &gateway});
    if (deviceCommand)
        offer({&passwordFile, &wait, &waitDelay});
    if (command == Command::Commission)
        offer({&firstIp, &mask, &gateway, &count, &dryRun, &strict, &record, &passwordFile, &waitDelay});
    // Asking the parser about an option it was not given makes it warn on stderr.
    auto given = [&](const QCommandLineOption& option) {
        return std::find(offered.begin(), offered.end(), &option) != offered.end() && parser.isSet(option);
    };

    QStringList arguments{QStringLiteral("vantor-cli")};
    for (std::size_t i = 1; i < args.size(); ++i)
        arguments.append(QString::fromStdString(args[i]));
    if (!parser.parse(arguments))
        return fail(ParseFailureText(parser, args));
    if (given(help)) {
        CliOptions helpOptions;
        helpOptions.helpFor = command;
        result.options = helpOptions;
        return result;
    }

    auto text = [&parser](const QCommandLineOption& option) { return parser.value(option).toStdString(); };
    if (given(interfaceName)) {
        options.interfaceName = text(interfaceName);
        if (options.interfaceName.empty())
            return fail(NeedsText("interface"));
    }
    options.allInterfaces = given(allInterfaces);
    if (!options.interfaceName.empty() && options.allInterfaces)
        return fail("--interface and --all-interfaces exclude each other");
    if (given(window)) {
        const auto ms = ParseSecondsToMs(text(window));
        if (!ms)
            return fail(NeedsText("window"));
        options.windowMs = *ms;
    }
    if (given(json) && given(csv))
        return fail("--json and --csv exclude each other");
    if (given(json))
        options.format = OutputFormat::Json;
    if (given(csv))
        options.format = OutputFormat::Csv;
    using AddressOption = std::tuple<const QCommandLineOption*, std::string_view, std::optional<Ipv4Bytes>*>;
    for (const auto& [option, name, value] :
         {AddressOption{&ip, "ip", &options.ip}, AddressOption{&mask, "mask", &options.mask},
          AddressOption{&gateway, "gateway", &options.gateway},
          AddressOption{&firstIp, "first-ip", &options.firstIp}}) {
        if (!given(*option))
            continue;
        *value = ParseIpv4(text(*option));
        if (!*value)
            return fail(NeedsText(name));
    }
    if (given(passwordFile)) {
        options.passwordFile = text(passwordFile);
        if (options.passwordFile.empty())
            return fail(NeedsText("password-file"));
    }
    options.wait = given(wait);
    if (given(waitDelay)) {
        options.waitDelayMs = ParseSecondsToMs(text(waitDelay));
        if (!options.waitDelayMs)
            return fail(NeedsText("wait-delay"));
    }

    if (given(count)) {
        const std::string value = text(count);
        if (value.empty() || value.size() > 6 || value.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(value) < 1)
            return fail(NeedsText("count"));
        options.count = std::stoi(value);
    }
    options.dryRun = given(dryRun);
    options.strict = given(strict);
    if (given(record)) {
        options.recordFile = text(record);
        if (options.recordFile.empty())
            return fail(NeedsText("record"));
    }

    const QStringList positional = parser.positionalArguments();
    if (command == Command::Commission) {
        if (!options.firstIp) {
            if (options.mask || options.gateway || options.count)
                return fail("--mask, --gateway and --count go with --first-ip; a plan file has its own columns");
            if (positional.size() != 1)
                return fail("commission needs one plan file, or --first-ip");
            options.planFile = positional.constFirst().toStdString();
            if (options.planFile.empty())
                return fail("commission needs one plan file, or --first-ip");
        }
        for (const QString& argument : options.firstIp ? positional : QStringList{}) {
            const auto mac = ParseMac(argument.toStdString());
            if (!mac)
                return fail("'" + argument.toStdString() +
                            "' is no MAC address (six hexadecimal pairs joined by '-' or ':')");
            options.macs.push_back(*mac);
        }
    } else if (deviceCommand) {
        if (positional.size() != 1)
            return fail(args[0] + " needs exactly one MAC address, such as 00-1A-2B-3C-4D-01");
        const std::string macText = positional.constFirst().toStdString();
        const auto mac = ParseMac(macText);
        if (!mac)
            return fail("'" + macText + "' is no MAC address (six hexadecimal pairs joined by '-' or ':')");
        options.mac = *mac;
        if (command == Command::SetIp && !options.ip)
            return fail("set-ip needs --ip");
    } else if (!positional.isEmpty()) {
        return fail(args[0] + " takes no argument '" + positional.constFirst().toStdString() + "'");
    }
    result.options = options;
    return result;
}

}  // namespace

std::optional<int> ParseSecondsToMs(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(text.begin(), text.end(), '.') > 1 || text == ".")
        return std::nullopt;
    const double seconds = std::strtod(text.c_str(), nullptr);
    if (!(seconds > 0.0) || seconds > 3600.0)
        return std::nullopt;
    return std::max(1, static_cast<int>(std::lround(seconds * 1000.0)));
}

std::string CommandName(Command command)
{
    for (const CommandEntry& entry : kCommands) {
        if (entry.command == command)
            return std::string(entry.name);
    }
    return command == Command::Version ? "--version" : "help";
}

ParseResult ParseCommandLine(const std::vector<std::string>& args)
{
    ParseResult result;
    auto fail = [&result](std::string message) {
        result.options.reset();
        result.error = std::move(message);
        return result;
    };
    for (const std::string& arg : args) {
        if (LooksLikePasswordOption(arg))
            return fail("the password is never taken on the command line: use --password-file FILE, "
                        "the environment variable VANTOR_PASSWORD or the prompt");
    }

    CliOptions options;
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        result.options = options;
        return result;
    }
    if (args[0] == "--version") {
        options.command = Command::Version;
        result.options = options;
        return result;
    }
    if (args[0] == "help") {
        if (args.size() > 2)
            return fail("help takes at most one command name");
        if (args.size() == 2) {
            const std::optional<Command> topic = CommandFromName(args[1]);
            if (!topic)
                return fail("unknown command '" + args[1] + "'");
            options.helpFor = *topic;
        }
        result.options = options;
        return result;
    }
    const std::optional<Command> command = CommandFromName(args[0]);
    if (!command)
        return fail("unknown command '" + args[0] + "' (try --help)");
    return ParseCommandArguments(*command, args);
}

std::string HelpText(Command command)
{
    static constexpr std::string_view kDiscoveryOptions =
        "  --interface NAME    send the request through this interface only and keep only\n"
        "                      the replies that come in on it; without it the request goes\n"
        "                      through every interface that is up, has an IPv4 address and\n"
        "                      can broadcast, as the window sends it\n"
        "  --all-interfaces    the same as the default (kept for older scripts)\n"
        "  --window SECONDS    length of one search window (default 5); a window in which a\n"
        "                      new device answered is followed by another\n";
    static constexpr std::string_view kCommandOptions =
        "  --password-file FILE  read the device password from FILE (its first line);\n"
        "                      otherwise VANTOR_PASSWORD, otherwise a prompt without echo.\n"
        "                      The password is never taken on the command line.\n"
        "  --wait              search again afterwards and report whether the device now\n"
        "                      shows the change\n"
        "  --wait-delay SECONDS  pause before that search (default: 2 for set-ip, 5 otherwise)\n";
    static constexpr std::string_view kExitCodes =
        "\nExit codes: 0 success, 1 no device found or change not confirmed, 2 usage error or\n"
        "plan refused, 3 port 4000 in use, 4 other network error.\n";

    std::string text;
    switch (command) {
    case Command::Discover:
        text = "Usage: vantor-cli discover [--interface NAME] [--json | --csv]\n"
               "                          [--window SECONDS]\n\n"
               "Broadcasts the discovery request and lists every device that answers: name,\n"
               "IP address, subnet mask, gateway, MAC, version, model code, the interface the\n"
               "reply came in on, and a conflict mark on devices sharing an IP address.\n\n";
        text += kDiscoveryOptions;
        text += "  --json              JSON output (schema in the manual page)\n"
                "  --csv               CSV output with a header line\n";
        break;
    case Command::SetIp:
        text = "Usage: vantor-cli set-ip MAC --ip A [--mask M] [--gateway G] [options]\n\n"
               "Finds the device by a discovery, then sends one command per value that differs\n"
               "from the device's current one (IP address, subnet mask, gateway, in that order).\n"
               "A value not given keeps the device's current one.\n\n";
        text += kDiscoveryOptions;
        text += kCommandOptions;
        break;
    case Command::SetMac:
        text = "Usage: vantor-cli set-mac MAC [options]\n\n"
               "Finds the device by a discovery and gives it a new MAC address: the current one\n"
               "with its second group raised by one.\n\n";
        text += kDiscoveryOptions;
        text += kCommandOptions;
        break;
    case Command::Reset:
        text = "Usage: vantor-cli reset MAC [options]\n\nFinds the device by a discovery and resets it.\n\n";
        text += kDiscoveryOptions;
        text += kCommandOptions;
        break;
    case Command::UpdateFirmware:
        text = "Usage: vantor-cli update-firmware MAC [options]\n\n"
               "Finds the device by a discovery and tells it to update its firmware.\n\n";
        text += kDiscoveryOptions;
        text += kCommandOptions;
        break;
    case Command::Commission:
        text = "Usage: vantor-cli commission PLAN.csv [options]\n"
               "       vantor-cli commission --first-ip A [--mask M] [--gateway G] [--count N] [MAC...]\n"
               "                             [options]\n\n"
               "Gives a batch of devices their own IP address, subnet mask and gateway; devices that\n"
               "share one address are told apart by their MAC. PLAN.csv has a header line naming\n"
               "its columns: mac and ip required, mask and gateway optional (an empty cell keeps\n"
               "the device's value); blank lines and lines starting with # are skipped.\n"
               "--first-ip numbers the MACs given, or every device found, in ascending MAC order,\n"
               "skipping addresses in use, the subnet's network and broadcast addresses and this\n"
               "PC's own addresses.\n\n"
               "One discovery and a check of the whole plan come first. A malformed row, a MAC or\n"
               "new IP planned twice, an IP in use by a device outside the plan or by this PC, the\n"
               "network or broadcast address of the subnet and a mask that is no contiguous prefix\n"
               "refuse the plan (exit 2, nothing sent). A device that did not answer and an IP\n"
               "outside every subnet of this PC's adapters are warnings. Each device then gets the\n"
               "commands set-ip would send it, through the adapter it answered on, and one search\n"
               "afterwards says per device: done, unchanged, not found or not confirmed.\n\n";
        text += kDiscoveryOptions;
        text += "  --first-ip A        number the devices from A upwards\n"
                "  --mask M, --gateway G  with --first-ip: the mask and gateway every device gets\n"
                "                      (default: each keeps its own)\n"
                "  --count N           with --first-ip: only the first N devices\n"
                "  --dry-run           check and show what would be sent; send nothing\n"
                "  --strict            refuse the plan on warnings as well\n"
                "  --record FILE       append one CSV line per device to the commissioning record\n"
                "  --json              JSON output (schema in the manual page)\n"
                "  --csv               CSV output with a header line\n"
                "  --password-file FILE  read the device password from FILE (its first line);\n"
                "                      otherwise VANTOR_PASSWORD, otherwise a prompt without echo.\n"
                "                      One password serves the whole run.\n"
                "  --wait-delay SECONDS  pause before the checking search (default 2)\n";
        break;
    case Command::Diagnose:
        text = "Usage: vantor-cli diagnose [--interface NAME] [--window SECONDS]\n\n"
               "Says why a search finds nothing. Checks, one line each with what to do: every\n"
               "adapter (up, IPv4 address/prefix, broadcast, searched or why not); UDP port 4000\n"
               "(free, or the process holding it); firewalld and ufw (do they let the answers\n"
               "in; \"not checked (needs root)\" where only root may ask); a container without\n"
               "the host's network; then one search per usable adapter: the devices answering\n"
               "on each, devices answering on two adapters, devices outside the subnet of their\n"
               "adapter. Ends with a verdict line.\n\n"
               "  --interface NAME    search through this adapter only\n"
               "  --window SECONDS    length of one search window (default 5)\n"
               "\nExit codes: 0 at least one device answered, 1 none did, 2 usage error.\n";
        return text;
    case Command::Help:
    case Command::Version:
        text = "Usage: vantor-cli COMMAND [options]\n\n"
               "Finds and configures Vantor devices on the local network from the command line.\n\n"
               "Commands:\n"
               "  discover          list the devices that answer\n"
               "  set-ip MAC        change a device's IP address, subnet mask and gateway\n"
               "  set-mac MAC       give a device a new MAC address\n"
               "  reset MAC         reset a device\n"
               "  update-firmware MAC  tell a device to update its firmware\n"
               "  commission PLAN.csv  give a batch of devices their addresses (or --first-ip)\n"
               "  diagnose          say why a search finds nothing\n"
               "  help [COMMAND]    this text, or a command's\n\n"
               "Run 'vantor-cli COMMAND --help' for a command's options; see vantor-cli(1).\n";
        break;
    }
    text += kExitCodes;
    return text;
}

}  // namespace vantor::cli
