#include "tools/devsim/DatagramLog.h"

#include "tools/devsim/SimulatorText.h"

namespace vantor::devsim::DatagramLog {

namespace {

QString TimeText(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

}  // namespace

QString AddressText(const QHostAddress& address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

QString RxLine(const QDateTime& time, const QHostAddress& sender, quint16 senderPort,
               std::span<const std::uint8_t> bytes, const QString& summary)
{
    return QStringLiteral("RX %1 %2 %3 from=%4:%5 %6")
        .arg(bytes.size())
        .arg(HexBytes(bytes), TimeText(time), AddressText(sender))
        .arg(senderPort)
        .arg(summary);
}

QString TxLine(const QDateTime& time, const QHostAddress& receiver, quint16 receiverPort,
               std::span<const std::uint8_t> bytes, std::size_t deviceIndex)
{
    return QStringLiteral("TX %1 %2 %3 to=%4:%5 dev=%6")
        .arg(bytes.size())
        .arg(HexBytes(bytes), TimeText(time), AddressText(receiver))
        .arg(receiverPort)
        .arg(deviceIndex + 1);
}

QString EventLine(const QDateTime& time, const QString& text)
{
    return QStringLiteral("EV %1 %2").arg(TimeText(time), text);
}

QString InfoLine(const QDateTime& time, const QString& text)
{
    return QStringLiteral("INFO %1 %2").arg(TimeText(time), text);
}

QString ErrorLine(const QDateTime& time, const QString& text)
{
    return QStringLiteral("ERR %1 %2").arg(TimeText(time), text);
}

}  // namespace vantor::devsim::DatagramLog
