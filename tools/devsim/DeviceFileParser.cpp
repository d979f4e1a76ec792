#include "tools/devsim/DeviceFileParser.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QSet>
#include <QStringList>

#include <utility>

namespace vantor::devsim {

namespace {

// Collects the fields of one device and checks them as they come.
class DeviceBuilder final {
public:
    QString set(const QString& key, const QString& value)
    {
        if (m_seen.contains(key))
            return QStringLiteral("key '%1' given twice").arg(key);
        m_seen.insert(key);
        // A line break could never be written back in the line format (--list, the log).
        if ((key == u"name" || key == u"password") && value.contains(u'\n'))
            return QStringLiteral("%1 holds a line break").arg(key);
        if (key == u"name") {
            const QByteArray bytes = value.toUtf8();
            if (bytes.size() > SimDevice::kMaxNameSize)
                return QStringLiteral("name '%1' is longer than %2 bytes").arg(value).arg(SimDevice::kMaxNameSize);
            m_device.name = bytes;
        } else if (key == u"model") {
            const auto code = parseNumber(value, 255);
            if (!code)
                return QStringLiteral("model '%1' is not a number 0-255 (decimal or 0x hexadecimal)").arg(value);
            m_device.model = static_cast<std::uint8_t>(*code);
        } else if (key == u"ip" || key == u"mask" || key == u"gateway") {
            const auto address = ParseIpv4(value);
            if (!address)
                return QStringLiteral("%1 '%2' is not a dotted address like 192.168.1.20").arg(key, value);
            (key == u"ip" ? m_device.ip : key == u"mask" ? m_device.mask : m_device.gateway) = *address;
        } else if (key == u"mac") {
            const auto mac = ParseMac(value);
            if (!mac)
                return QStringLiteral("mac '%1' is not six hexadecimal pairs like 00-1A-2B-3C-4D-01").arg(value);
            m_device.mac = *mac;
        } else if (key == u"version") {
            const auto version = ParseVersion(value);
            if (!version)
                return QStringLiteral("version '%1' is not major.minor in hexadecimal like 1.30").arg(value);
            m_device.version = *version;
        } else if (key == u"password") {
            const QByteArray bytes = value.toUtf8();
            if (bytes.size() > SimDevice::kMaxPasswordSize)
                return QStringLiteral("password is longer than %1 bytes").arg(SimDevice::kMaxPasswordSize);
            m_device.password = bytes;
        } else if (key == u"delay") {
            const auto delay = parseNumber(value, SimDevice::kMaxDelayMs);
            if (!delay)
                return QStringLiteral("delay '%1' is not a number of milliseconds 0-%2")
                    .arg(value)
                    .arg(SimDevice::kMaxDelayMs);
            m_device.delayMs = static_cast<int>(*delay);
        } else {
            return QStringLiteral("unknown key '%1' (known: name model ip mask gateway mac version password delay)")
                .arg(key);
        }
        return {};
    }

    // The device, or an error when a required key is missing.
    QString finish(SimDevice& out) const
    {
        for (const char* required : {"ip", "mac"}) {
            if (!m_seen.contains(QLatin1String(required)))
                return QStringLiteral("missing key '%1'").arg(QLatin1String(required));
        }
        out = m_device;
        return {};
    }

private:
    // Decimal, or hexadecimal after "0x"; no sign, no blanks.
    static std::optional<unsigned> parseNumber(const QString& text, unsigned maximum)
    {
        bool ok = false;
        const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
        const QString digits = hex ? text.mid(2) : text;
        if (digits.isEmpty() || digits.size() > 10)
            return std::nullopt;
        for (const QChar c : digits) {
            const bool digit = hex ? QStringLiteral("0123456789abcdefABCDEF").contains(c) : (c >= u'0' && c <= u'9');
            if (!digit)
                return std::nullopt;
        }
        const qulonglong value = digits.toULongLong(&ok, hex ? 16 : 10);
        if (!ok || value > maximum)
            return std::nullopt;
        return static_cast<unsigned>(value);
    }

    SimDevice m_device;
    QSet<QString> m_seen;
};

QString WithContext(const QString& where, const QString& error)
{
    return error.isEmpty() ? error : where + QStringLiteral(": ") + error;
}

}  // namespace

DeviceFileResult DeviceFileParser::Parse(const QByteArray& content)
{
    for (const char c : content) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        return c == '[' ? ParseJson(content) : ParseLines(content);
    }
    return {{}, QStringLiteral("no devices in the file")};
}

DeviceFileResult DeviceFileParser::ParseFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("%1: cannot read: %2").arg(path, file.errorString())};
    // A device file is a few lines; anything huge is not one.
    constexpr qint64 kMaxFileSize = 1 << 20;
    if (file.size() > kMaxFileSize)
        return {{}, QStringLiteral("%1: larger than %2 bytes, not a device file").arg(path).arg(kMaxFileSize)};
    DeviceFileResult result = Parse(file.readAll());
    if (!result.Ok())
        result.error = path + QStringLiteral(": ") + result.error;
    return result;
}

DeviceFileResult DeviceFileParser::ParseLines(const QByteArray& content)
{
    DeviceFileResult result;
    const QString text = QString::fromUtf8(content);
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString error = ParseLine(lines[i], result.devices);
        if (!error.isEmpty())
            return {{}, WithContext(QStringLiteral("line %1").arg(i + 1), error)};
    }
    if (result.devices.empty())
        result.error = QStringLiteral("no devices in the file");
    return result;
}

// One line: key=value pairs separated by blanks. A value may be written in double quotes
// (blanks, '#' and '=' allowed; \" and \\ escape); an unquoted '#' at the start of a pair
// starts a comment. A line with no pairs is skipped.
QString DeviceFileParser::ParseLine(QStringView line, std::vector<SimDevice>& devices)
{
    DeviceBuilder builder;
    bool any = false;
    qsizetype at = 0;
    const qsizetype end = line.size();
    while (true) {
        while (at < end && line[at].isSpace())
            ++at;
        if (at >= end || line[at] == u'#')
            break;
        const qsizetype keyStart = at;
        while (at < end && line[at] != u'=' && !line[at].isSpace())
            ++at;
        if (at >= end || line[at] != u'=')
            return QStringLiteral("expected key=value at '%1'").arg(line.mid(keyStart, at - keyStart));
        const QString key = line.mid(keyStart, at - keyStart).toString();
        if (key.isEmpty())
            return QStringLiteral("'=' without a key");
        ++at;  // '='
        QString value;
        if (at < end && line[at] == u'"') {
            ++at;
            bool closed = false;
            while (at < end) {
                const QChar c = line[at++];
                if (c == u'"') {
                    closed = true;
                    break;
                }
                if (c == u'\\' && at < end && (line[at] == u'"' || line[at] == u'\\'))
                    value += line[at++];
                else
                    value += c;
            }
            if (!closed)
                return QStringLiteral("value of '%1' has no closing quote").arg(key);
            if (at < end && !line[at].isSpace())
                return QStringLiteral("blank expected after the quoted value of '%1'").arg(key);
        } else {
            const qsizetype valueStart = at;
            while (at < end && !line[at].isSpace())
                ++at;
            value = line.mid(valueStart, at - valueStart).toString();
            if (value.contains(u'"'))
                return QStringLiteral("stray quote in the value of '%1'").arg(key);
        }
        const QString error = builder.set(key, value);
        if (!error.isEmpty())
            return error;
        any = true;
    }
    if (!any)
        return {};
    SimDevice device;
    const QString error = builder.finish(device);
    if (error.isEmpty())
        devices.push_back(std::move(device));
    return error;
}

DeviceFileResult DeviceFileParser::ParseJson(const QByteArray& content)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(content, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {{}, QStringLiteral("JSON error at byte %1: %2").arg(parseError.offset).arg(parseError.errorString())};
    if (!document.isArray())
        return {{}, QStringLiteral("JSON: expected an array of device objects")};
    DeviceFileResult result;
    const QJsonArray array = document.array();
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QString where = QStringLiteral("device %1").arg(i + 1);
        if (!array[i].isObject())
            return {{}, where + QStringLiteral(": not a JSON object")};
        const QString error = ParseJsonObject(array[i].toObject(), result.devices);
        if (!error.isEmpty())
            return {{}, WithContext(where, error)};
    }
    if (result.devices.empty())
        result.error = QStringLiteral("no devices in the file");
    return result;
}

QString DeviceFileParser::ParseJsonObject(const QJsonObject& object, std::vector<SimDevice>& devices)
{
    DeviceBuilder builder;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QJsonValue value = it.value();
        QString text;
        if (value.isString()) {
            text = value.toString();
        } else if (value.isDouble()) {
            // Numbers are fine where the text form is a plain integer (model, delay); a
            // version such as 1.30 must be a string, since 1.3 as a number loses its zero.
            const double number = value.toDouble();
            if (number < 0 || number > 4294967295.0 || number != static_cast<double>(static_cast<qint64>(number)))
                return QStringLiteral("'%1' must be a whole number or a string").arg(it.key());
            text = QString::number(static_cast<qint64>(number));
        } else {
            return QStringLiteral("'%1' must be a string or a number").arg(it.key());
        }
        const QString error = builder.set(it.key(), text);
        if (!error.isEmpty())
            return error;
    }
    SimDevice device;
    const QString error = builder.finish(device);
    if (error.isEmpty())
        devices.push_back(std::move(device));
    return error;
}

}  // namespace vantor::devsim
