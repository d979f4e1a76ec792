#include "tools/cli/CliOptions.h"

#include "protocol/AddressText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>

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

// Options that would put a password into the argument list, where every user of the machine can
// read it in the process list.
bool LooksLikePasswordOption(std::string_view arg)
{
    const std::string_view name = arg.substr(0, arg.find('='));
    return name == "-p" || name == "--password" || name == "--pass" || name == "--passwd" || name == "--pw";
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
    options.command = *command;
    const bool deviceCommand = IsDeviceCommand(*command);

    std::vector<std::string> positional;
    bool helpAsked = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (name.rfind("--", 0) == 0 && name.find('=') != std::string::npos) {
            inlineValue = name.substr(name.find('=') + 1);
            name = name.substr(0, name.find('='));
        }
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        auto takesNoValue = [&] { return !inlineValue.has_value(); };

        if ((name == "--help" || name == "-h") && takesNoValue()) {
            helpAsked = true;
        } else if (name == "--interface") {
            const auto text = value();
            if (!text || text->empty())
                return fail("--interface needs an interface name");
            options.interfaceName = *text;
        } else if (name == "--all-interfaces" && takesNoValue()) {
            options.allInterfaces = true;
        } else if (name == "--window") {
            const auto text = value();
            const auto ms = text ? ParseSecondsToMs(*text) : std::nullopt;
            if (!ms)
                return fail("--window needs a number of seconds (more than 0, at most 3600)");
            options.windowMs = *ms;
        } else if (*command == Command::Discover && name == "--json" && takesNoValue()) {
            if (options.format == OutputFormat::Csv)
                return fail("--json and --csv exclude each other");
            options.format = OutputFormat::Json;
        } else if (*command == Command::Discover && name == "--csv" && takesNoValue()) {
            if (options.format == OutputFormat::Json)
                return fail("--json and --csv exclude each other");
            options.format = OutputFormat::Csv;
        } else if (*command == Command::SetIp && (name == "--ip" || name == "--mask" || name == "--gateway")) {
            const auto text = value();
            const auto address = text ? ParseIpv4(*text) : std::nullopt;
            if (!address)
                return fail(name + " needs an IPv4 address such as 192.168.1.20");
            (name == "--ip" ? options.ip : name == "--mask" ? options.mask : options.gateway) = address;
        } else if (deviceCommand && name == "--password-file") {
            const auto text = value();
            if (!text || text->empty())
                return fail("--password-file needs a file name");
            options.passwordFile = *text;
        } else if (deviceCommand && name == "--wait" && takesNoValue()) {
            options.wait = true;
        } else if (deviceCommand && name == "--wait-delay") {
            const auto text = value();
            const auto ms = text ? ParseSecondsToMs(*text) : std::nullopt;
            if (!ms)
                return fail("--wait-delay needs a number of seconds (more than 0, at most 3600)");
            options.waitDelayMs = ms;
        } else if (name.size() > 1 && name[0] == '-') {
            return fail("unknown option '" + args[i] + "' for " + args[0] + " (try " + args[0] + " --help)");
        } else {
            positional.push_back(args[i]);
        }
    }

    if (helpAsked) {
        CliOptions help;
        help.helpFor = *command;
        result.options = help;
        return result;
    }
    if (!options.interfaceName.empty() && options.allInterfaces)
        return fail("--interface and --all-interfaces exclude each other");
    if (deviceCommand) {
        if (positional.size() != 1)
            return fail(args[0] + " needs exactly one MAC address, such as 00-1A-2B-3C-4D-01");
        const auto mac = ParseMac(positional[0]);
        if (!mac)
            return fail("'" + positional[0] + "' is no MAC address (six hexadecimal pairs joined by '-' or ':')");
        options.mac = *mac;
        if (*command == Command::SetIp && !options.ip)
            return fail("set-ip needs --ip");
    } else if (!positional.empty()) {
        return fail("discover takes no argument '" + positional[0] + "'");
    }
    result.options = options;
    return result;
}

std::string HelpText(Command command)
{
    static constexpr std::string_view kDiscoveryOptions =
        "  --interface NAME    send the request through this interface only and keep only\n"
        "                      the replies that come in on it\n"
        "  --all-interfaces    send the request through every up IPv4 interface that can\n"
        "                      broadcast\n"
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
        "\nExit codes: 0 success, 1 no device found or change not confirmed, 2 usage error,\n"
        "3 port 4000 in use, 4 other network error.\n";

    std::string text;
    switch (command) {
    case Command::Discover:
        text = "Usage: vantor-cli discover [--interface NAME | --all-interfaces] [--json | --csv]\n"
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
               "  help [COMMAND]    this text, or a command's\n\n"
               "Run 'vantor-cli COMMAND --help' for a command's options; see vantor-cli(1).\n";
        break;
    }
    text += kExitCodes;
    return text;
}

}  // namespace vantor::cli
