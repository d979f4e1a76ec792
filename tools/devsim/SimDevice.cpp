#include "tools/devsim/SimDevice.h"

#include <algorithm>
#include <string_view>

namespace vantor::devsim {

namespace {

// Quotes a value for the line format when it is empty or holds blanks, quotes, '#' or
// backslashes.
QString QuoteValue(const QString& value)
{
    const bool plain = !value.isEmpty() && std::none_of(value.begin(), value.end(), [](QChar c) {
        return c.isSpace() || c == u'"' || c == u'\\' || c == u'#';
    });
    if (plain)
        return value;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : value) {
        if (c == u'"' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted += u'"';
    return quoted;
}

}  // namespace

DEVICE_PACKET SimDevice::Reply() const
{
    DEVICE_PACKET packet;  // all zero
    packet.SetIpAddress(ip);
    packet.SetSubnetMask(mask);
    packet.SetMacAddress(mac);
    packet.SetNameField(std::string_view(name.constData(), static_cast<std::size_t>(name.size())));
    packet.SetGateway(gateway);
    packet.SetVersion(version.major, version.minor);
    packet.SetModelCode(model);
    return packet;
}

bool SimDevice::AcceptsPassword(const std::array<std::uint8_t, DEVICE_PACKET::kPasswordSize>& field) const
{
    std::array<std::uint8_t, DEVICE_PACKET::kPasswordSize> expected{};
    const auto length = std::min(static_cast<std::size_t>(password.size()), expected.size());
    std::copy_n(password.constData(), length, expected.begin());
    return field == expected;
}

QString SimDevice::ToLine() const
{
    // One arg() call for all nine: chained calls would read a "%1" inside the name as a place
    // for the next value.
    return QStringLiteral("name=%1 model=%2 ip=%3 mask=%4 gateway=%5 mac=%6 version=%7 password=%8 delay=%9")
        .arg(QuoteValue(QString::fromUtf8(name)), QString::number(model), FormatIpv4(ip), FormatIpv4(mask),
             FormatIpv4(gateway), FormatMac(mac), FormatVersion(version), QuoteValue(QString::fromUtf8(password)),
             QString::number(delayMs));
}

}  // namespace vantor::devsim
