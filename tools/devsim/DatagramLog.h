#pragma once

#include <QDateTime>
#include <QHostAddress>
#include <QString>

#include <cstdint>
#include <span>

namespace vantor::devsim {

// The simulator's log: one line per event, the kind first, then blank-separated fields, so a
// test can pick lines by their first word and split them.
//
//   RX <size> <hex> <time> from=<address>:<port> <summary>   a datagram received
//   TX <size> <hex> <time> to=<address>:<port> dev=<n>        a reply sent
//   EV <time> <text>                                          a device changed state
//   INFO <time> <text>                                        start-up and notes
//   ERR <time> <text>                                         a send failed
//
// <hex> is the whole datagram in lower-case hexadecimal ("-" when empty); <time> is UTC in
// ISO 8601 with milliseconds.
namespace DatagramLog {

QString RxLine(const QDateTime& time, const QHostAddress& sender, quint16 senderPort,
               std::span<const std::uint8_t> bytes, const QString& summary);
QString TxLine(const QDateTime& time, const QHostAddress& receiver, quint16 receiverPort,
               std::span<const std::uint8_t> bytes, std::size_t deviceIndex);
QString EventLine(const QDateTime& time, const QString& text);
QString InfoLine(const QDateTime& time, const QString& text);
QString ErrorLine(const QDateTime& time, const QString& text);
// An IPv4 address as a.b.c.d even when the socket reports it IPv4-mapped.
QString AddressText(const QHostAddress& address);

}  // namespace DatagramLog

}  // namespace vantor::devsim
