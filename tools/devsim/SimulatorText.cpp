#include "tools/devsim/SimulatorText.h"

#include "protocol/AddressText.h"

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

std::optional<std::uint8_t> ParseHexByte(QStringView text)
{
    if (text.isEmpty() || text.size() > 2)
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

}  // namespace

std::optional<Ipv4Bytes> ParseIpv4(QStringView text)
{
    return vantor::ParseIpv4(text.toUtf8().toStdString());
}

std::optional<MacBytes> ParseMac(QStringView text)
{
    return vantor::ParseMac(text.toUtf8().toStdString());
}

std::optional<FirmwareVersion> ParseVersion(QStringView text)
{
    const QList<QStringView> parts = text.split(u'.');
    if (parts.size() != 2)
        return std::nullopt;
    const auto major = ParseHexByte(parts[0]);
    const auto minor = ParseHexByte(parts[1]);
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
