#include "tools/devsim/SimulatorCommandLine.h"

#include "tools/devsim/DefaultDevices.h"
#include "tools/devsim/DeviceFileParser.h"

#include <cmath>
#include <optional>

namespace vantor::devsim {

namespace {

constexpr double kMaxSeconds = 3600.0;

const char kDescription[] =
    "Emulates Vantor devices on UDP so the configuration program can be used and tested\n"
    "without hardware. Each device answers a discovery request (\"KWZ9\", 52 bytes, to port 36)\n"
    "with its 52-byte reply, sent to 255.255.255.255 port 4000, and obeys the commands set IP\n"
    "(':'), set mask (';'), set gateway ('>'), set MAC ('<'), soft reset ('=') and firmware\n"
    "update ('?') when the password field matches. Soft reset and firmware update keep the\n"
    "device silent for a while. Anything else is logged and ignored.\n"
    "\n"
    "Device file (--devices): one device a line, blank-separated key=value pairs, '#' starts\n"
    "a comment; values with blanks in double quotes:\n"
    "  name=Lab1 model=31 ip=192.168.1.20 mask=255.255.255.0 gateway=192.168.1.1 \\\n"
    "  mac=00-1A-2B-3C-4D-01 version=1.30 password=secret delay=0\n"
    "or a JSON array of objects with the same keys. ip and mac are required; defaults:\n"
    "name empty, model 31, mask 255.255.255.0, gateway 0.0.0.0, version 1.00, password empty,\n"
    "delay 0. name: at most 17 bytes (17 leave no terminator); model: 0-255; version:\n"
    "major.minor in hexadecimal; password: at most 8 bytes; delay: milliseconds before the\n"
    "device answers. Without --devices, eight built-in devices are emulated (see --list).\n"
    "\n"
    "Log (--log): one line per event: 'RX <size> <hex> <time> from=<addr>:<port> <summary>'\n"
    "for each datagram received, 'TX <size> <hex> <time> to=<addr>:<port> dev=<n>' for each\n"
    "reply, 'EV <time> <text>' for state changes, 'INFO'/'ERR' otherwise.\n"
    "\n"
    "Replies are broadcast: on a shared network, run it in a private network namespace\n"
    "(scripts/netns in the source tree) or aim the replies with --reply-address.\n"
    "Exit codes: 0 normal, 1 port cannot be bound, 2 bad option or device file.";

std::optional<qint64> ParseMilliseconds(const QString& seconds)
{
    bool ok = false;
    const double value = seconds.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > kMaxSeconds)
        return std::nullopt;
    return static_cast<qint64>(std::llround(value * 1000.0));
}

std::optional<int> ParseInteger(const QString& text, int minimum, int maximum)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

std::optional<QHostAddress> ParseAddress(const QString& text)
{
    if (!ParseIpv4(text))
        return std::nullopt;
    return QHostAddress(text);
}

}  // namespace

SimulatorCommandLine::SimulatorCommandLine()
    : m_help(QStringList{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit."))
    , m_devices(QStringLiteral("devices"), QStringLiteral("Read the devices from <file> (line format or JSON)."),
                QStringLiteral("file"))
    , m_bind(QStringLiteral("bind"), QStringLiteral("Listen on this IPv4 address (default 0.0.0.0)."),
             QStringLiteral("address"), QStringLiteral("0.0.0.0"))
    , m_port(QStringLiteral("port"), QStringLiteral("Listen on this UDP port (default 36; 0 = any free port)."),
             QStringLiteral("port"), QStringLiteral("36"))
    , m_replyAddress(QStringLiteral("reply-address"),
                     QStringLiteral("Send replies to this IPv4 address (default 255.255.255.255)."),
                     QStringLiteral("address"), QStringLiteral("255.255.255.255"))
    , m_replyPort(QStringLiteral("reply-port"), QStringLiteral("Send replies to this UDP port (default 4000)."),
                  QStringLiteral("port"), QStringLiteral("4000"))
    , m_rebootSeconds(QStringLiteral("reboot-seconds"),
                      QStringLiteral("A device is silent this long after a soft reset (default 3)."),
                      QStringLiteral("seconds"), QStringLiteral("3"))
    , m_firmwareSeconds(QStringLiteral("firmware-seconds"),
                        QStringLiteral("A device is silent this long after a firmware update "
                                       "(default: the reboot time)."),
                        QStringLiteral("seconds"))
    , m_answerTwice(QStringLiteral("answer-twice"), QStringLiteral("Send every reply datagram twice."))
    , m_replySize(QStringLiteral("reply-size"),
                  QStringLiteral("Cut replies to <bytes> or pad them with zero bytes (e.g. 51 or 53; "
                                 "default 52)."),
                  QStringLiteral("bytes"), QStringLiteral("52"))
    , m_late(QStringLiteral("late"),
             QStringLiteral("Delay every answer by this many seconds, on top of each device's delay."),
             QStringLiteral("seconds"), QStringLiteral("0"))
    , m_repeat(QStringLiteral("repeat"),
               QStringLiteral("After a discovery, send every device's reply again each second."))
    , m_log(QStringLiteral("log"), QStringLiteral("Write the log to <file> instead of standard output."),
            QStringLiteral("file"))
    , m_list(QStringLiteral("list"), QStringLiteral("Print the devices in the line format and exit."))
{
    m_parser.setApplicationDescription(QString::fromLatin1(kDescription));
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOptions({m_help, m_devices, m_bind, m_port, m_replyAddress, m_replyPort, m_rebootSeconds,
                         m_firmwareSeconds, m_answerTwice, m_replySize, m_late, m_repeat, m_log, m_list});
}

QString SimulatorCommandLine::HelpText() const
{
    return m_parser.helpText();
}

SimulatorCommandLine::Result SimulatorCommandLine::Parse(const QStringList& arguments)
{
    m_setup = SimulatorSetup{};
    m_error.clear();
    if (!m_parser.parse(arguments)) {
        m_error = m_parser.errorText();
        return Result::Error;
    }
    if (m_parser.isSet(m_help))
        return Result::Help;
    if (!m_parser.positionalArguments().isEmpty()) {
        m_error = QStringLiteral("unexpected argument '%1'").arg(m_parser.positionalArguments().constFirst());
        return Result::Error;
    }
    m_error = ReadOptions();
    return m_error.isEmpty() ? Result::Run : Result::Error;
}

QString SimulatorCommandLine::ReadOptions()
{
    SimulatorOptions& options = m_setup.options;

    const auto bind = ParseAddress(m_parser.value(m_bind));
    if (!bind)
        return QStringLiteral("--bind: '%1' is not an IPv4 address").arg(m_parser.value(m_bind));
    options.bindAddress = *bind;

    const auto port = ParseInteger(m_parser.value(m_port), 0, 65535);
    if (!port)
        return QStringLiteral("--port: '%1' is not a port number 0-65535").arg(m_parser.value(m_port));
    options.port = static_cast<quint16>(*port);

    const auto replyAddress = ParseAddress(m_parser.value(m_replyAddress));
    if (!replyAddress)
        return QStringLiteral("--reply-address: '%1' is not an IPv4 address").arg(m_parser.value(m_replyAddress));
    options.replyAddress = *replyAddress;

    const auto replyPort = ParseInteger(m_parser.value(m_replyPort), 1, 65535);
    if (!replyPort)
        return QStringLiteral("--reply-port: '%1' is not a port number 1-65535").arg(m_parser.value(m_replyPort));
    options.replyPort = static_cast<quint16>(*replyPort);

    const auto reboot = ParseMilliseconds(m_parser.value(m_rebootSeconds));
    if (!reboot)
        return QStringLiteral("--reboot-seconds: '%1' is not a number of seconds 0-3600")
            .arg(m_parser.value(m_rebootSeconds));
    options.rebootMs = *reboot;
    options.firmwareMs = *reboot;
    if (m_parser.isSet(m_firmwareSeconds)) {
        const auto firmware = ParseMilliseconds(m_parser.value(m_firmwareSeconds));
        if (!firmware)
            return QStringLiteral("--firmware-seconds: '%1' is not a number of seconds 0-3600")
                .arg(m_parser.value(m_firmwareSeconds));
        options.firmwareMs = *firmware;
    }

    const auto replySize = ParseInteger(m_parser.value(m_replySize), 0, 1024);
    if (!replySize)
        return QStringLiteral("--reply-size: '%1' is not a size 0-1024").arg(m_parser.value(m_replySize));
    options.replySize = *replySize;

    const auto late = ParseMilliseconds(m_parser.value(m_late));
    if (!late)
        return QStringLiteral("--late: '%1' is not a number of seconds 0-3600").arg(m_parser.value(m_late));
    options.lateMs = *late;

    options.answerTwice = m_parser.isSet(m_answerTwice);
    options.repeat = m_parser.isSet(m_repeat);
    m_setup.listOnly = m_parser.isSet(m_list);
    m_setup.logPath = m_parser.value(m_log);
    if (m_parser.isSet(m_log) && m_setup.logPath.isEmpty())
        return QStringLiteral("--log: empty file name");

    if (m_parser.isSet(m_devices)) {
        DeviceFileResult file = DeviceFileParser::ParseFile(m_parser.value(m_devices));
        if (!file.Ok())
            return file.error;
        m_setup.devices = std::move(file.devices);
    } else {
        m_setup.devices = DefaultDevices();
    }
    return {};
}

}  // namespace vantor::devsim
