#include "tools/devsim/AddressText.h"

#include <QList>

namespace vantor::devsim {

namespace {

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

std::optional<std::uint8_t> ParseHexByte(QStringView text, qsizetype minDigits)
{
    if (text.size() < minDigits || text.size() > 2)
        return std::nullopt;
    unsigned value = 0;
    for (const QChar c : text) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return static_cast<std::uint8_t>(value);
}

bool IsAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

}  // namespace

std::optional<Ipv4Bytes> ParseIpv4(QStringView text)
{
    const QList<QStringView> parts = text.split(u'.');
    if (parts.size() != 4)
        return std::nullopt;
    Ipv4Bytes ip{};
    for (std::size_t i = 0; i < ip.size(); ++i) {
        const QStringView part = parts[static_cast<qsizetype>(i)];
        if (part.isEmpty() || part.size() > 3)
            return std::nullopt;
        unsigned value = 0;
        for (const QChar c : part) {
            if (!IsAsciiDigit(c))
                return std::nullopt;
            value = value * 10 + static_cast<unsigned>(c.unicode() - '0');
        }
        if (value > 255)
            return std::nullopt;
        ip[i] = static_cast<std::uint8_t>(value);
    }
    return ip;
}

std::optional<MacBytes> ParseMac(QStringView text)
{
    // 17 characters: six pairs and five separators of one kind.
    if (text.size() != 17)
        return std::nullopt;
    const QChar separator = text[2];
    if (separator != u'-' && separator != u':')
        return std::nullopt;
    MacBytes mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const qsizetype at = static_cast<qsizetype>(i) * 3;
        if (i > 0 && text[at - 1] != separator)
            return std::nullopt;
        const auto byte = ParseHexByte(text.mid(at, 2), 2);
        if (!byte)
            return std::nullopt;
        mac[i] = *byte;
    }
    return mac;
}

std::optional<FirmwareVersion> ParseVersion(QStringView text)
{
    const QList<QStringView> parts = text.split(u'.');
    if (parts.size() != 2)
        return std::nullopt;
    const auto major = ParseHexByte(parts[0], 1);
    const auto minor = ParseHexByte(parts[1], 1);
    if (!major || !minor)
        return std::nullopt;
    return FirmwareVersion{*major, *minor};
}

QString FormatIpv4(const Ipv4Bytes& ip)
{
    return QStringLiteral("%1.%2.%3.%4").arg(ip[0]).arg(ip[1]).arg(ip[2]).arg(ip[3]);
}

QString FormatMac(const MacBytes& mac)
{
    QString text;
    for (std::size_t i = 0; i < mac.size(); ++i) {
        if (i > 0)
            text += u'-';
        text += QStringLiteral("%1").arg(mac[i], 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

QString FormatVersion(FirmwareVersion version)
{
    return QStringLiteral("%1.%2")
        .arg(QString::number(version.major, 16).toUpper())
        .arg(QStringLiteral("%1").arg(version.minor, 2, 16, QLatin1Char('0')).toUpper());
}

QString EscapeBytes(std::span<const std::uint8_t> bytes)
{
    QString text;
    for (const std::uint8_t byte : bytes) {
        if (byte > 0x20 && byte < 0x7F && byte != '\\' && byte != '"')
            text += QLatin1Char(static_cast<char>(byte));
        else
            text += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return text;
}

QString HexBytes(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return QStringLiteral("-");
    static constexpr char kDigits[] = "0123456789abcdef";
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size() * 2));
    for (const std::uint8_t byte : bytes) {
        text += QLatin1Char(kDigits[byte >> 4]);
        text += QLatin1Char(kDigits[byte & 0x0F]);
    }
    return text;
}

}  // namespace vantor::devsim
