#include "tools/devsim/DeviceBank.h"

#include <algorithm>

namespace vantor::devsim {

namespace {

QString IndexList(const std::vector<std::size_t>& indexes)
{
    if (indexes.empty())
        return QStringLiteral("none");
    QStringList numbers;
    for (const std::size_t index : indexes)
        numbers << QString::number(index + 1);
    return numbers.join(u',');
}

QString OpcodeText(std::uint8_t opcode)
{
    return QStringLiteral("op=") + QStringLiteral("%1").arg(opcode, 2, 16, QLatin1Char('0')).toUpper();
}

QString PasswordText(const DEVICE_PACKET& packet)
{
    const auto field = packet.passwordField();
    // The field is the typed text zero-filled behind it; show the text, not the padding.
    auto last = std::find_if(field.rbegin(), field.rend(), [](std::uint8_t b) { return b != 0; });
    const auto length = static_cast<std::size_t>(field.rend() - last);
    return QStringLiteral("pw=") + EscapeBytes(std::span<const std::uint8_t>(field.data(), length));
}

}  // namespace

DeviceBank::DeviceBank(std::vector<SimDevice> devices)
{
    m_slots.reserve(devices.size());
    for (SimDevice& device : devices)
        m_slots.push_back(Slot{std::move(device), 0, false});
}

QString DeviceBank::Label(std::size_t index) const
{
    return QStringLiteral("dev=%1 name=\"%2\"")
        .arg(index + 1)
        .arg(EscapeBytes(std::span<const std::uint8_t>(
            reinterpret_cast<const std::uint8_t*>(m_slots.at(index).device.name.constData()),
            static_cast<std::size_t>(m_slots.at(index).device.name.size()))));
}

bool DeviceBank::IsSilent(std::size_t index, qint64 nowMs) const
{
    return SilentRemainingMs(index, nowMs) > 0;
}

qint64 DeviceBank::SilentRemainingMs(std::size_t index, qint64 nowMs) const
{
    const Slot& slot = m_slots.at(index);
    return slot.silent && slot.silentUntilMs > nowMs ? slot.silentUntilMs - nowMs : 0;
}

DeviceBank::Outcome DeviceBank::Handle(std::span<const std::uint8_t> datagram, qint64 nowMs)
{
    DEVICE_PACKET packet;
    if (!DEVICE_PACKET::FromBytes(datagram, packet))
        return {Verdict::Ignored, QStringLiteral("result=ignored reason=size"), {}, {}, {}};
    if (packet.bytes[0] != 'K' || packet.bytes[1] != 'W' || packet.bytes[2] != 'Z')
        return {Verdict::Ignored, QStringLiteral("result=ignored reason=signature"), {}, {}, {}};

    switch (static_cast<Opcode>(packet.Opcode())) {
    case Opcode::Discovery:
        return Discover(nowMs);
    case Opcode::SetIpAddress:
    case Opcode::SetSubnetMask:
    case Opcode::SetGateway:
    case Opcode::SetMacAddress:
    case Opcode::SoftReset:
    case Opcode::FirmwareUpdate:
        return Command(packet, nowMs);
    }
    return {
        Verdict::Ignored, OpcodeText(packet.Opcode()) + QStringLiteral(" result=ignored reason=opcode"), {}, {}, {}};
}

DeviceBank::Outcome DeviceBank::Discover(qint64 nowMs) const
{
    Outcome outcome;
    outcome.verdict = Verdict::Discovery;
    std::vector<std::size_t> silent;
    for (std::size_t i = 0; i < m_slots.size(); ++i)
        (IsSilent(i, nowMs) ? silent : outcome.responders).push_back(i);
    outcome.summary = QStringLiteral("op=39 discovery answering=%1 silent=%2 result=answered")
                          .arg(IndexList(outcome.responders), IndexList(silent));
    return outcome;
}

DeviceBank::Outcome DeviceBank::Command(const DEVICE_PACKET& packet, qint64 nowMs)
{
    Outcome outcome;
    const auto opcode = static_cast<Opcode>(packet.Opcode());
    const QString mac = QStringLiteral("mac=") + FormatMac(packet.MacAddress());
    const QString password = PasswordText(packet);
    switch (opcode) {
    case Opcode::SetIpAddress:
    case Opcode::SetSubnetMask:
    case Opcode::SetGateway:
        outcome.summary = QStringLiteral("%1 %2 %3 ip=%4 mask=%5 gw=%6 %7")
                              .arg(OpcodeText(packet.Opcode()),
                                   opcode == Opcode::SetIpAddress    ? QStringLiteral("set-ip")
                                   : opcode == Opcode::SetSubnetMask ? QStringLiteral("set-mask")
                                                                     : QStringLiteral("set-gateway"),
                                   mac, FormatIpv4(packet.IpAddress()), FormatIpv4(packet.SubnetMask()),
                                   FormatIpv4(packet.Gateway()), password);
        break;
    case Opcode::SetMacAddress:
        outcome.summary = QStringLiteral("%1 set-mac ip=%2 new-%3 %4")
                              .arg(OpcodeText(packet.Opcode()), FormatIpv4(packet.IpAddress()), mac, password);
        break;
    default:
        outcome.summary =
            QStringLiteral("%1 %2 %3 %4")
                .arg(OpcodeText(packet.Opcode()),
                     opcode == Opcode::SoftReset ? QStringLiteral("soft-reset") : QStringLiteral("firmware-update"),
                     mac, password);
        break;
    }

    // set-MAC finds its device by the current IP address, every other command by the MAC.
    const bool byIp = opcode == Opcode::SetMacAddress;
    std::vector<std::size_t> applied;
    std::vector<std::size_t> refused;
    std::vector<std::size_t> silent;
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        const SimDevice& device = m_slots[i].device;
        const bool addressed = byIp ? device.ip == packet.IpAddress() : device.mac == packet.MacAddress();
        if (!addressed)
            continue;
        if (IsSilent(i, nowMs))
            silent.push_back(i);
        else if (!device.AcceptsPassword(packet.passwordField()))
            refused.push_back(i);
        else
            applied.push_back(i);
    }
    for (const std::size_t index : applied)
        Apply(index, packet, nowMs, outcome);

    if (!applied.empty())
        outcome.summary += QStringLiteral(" applied=") + IndexList(applied);
    if (!refused.empty())
        outcome.summary += QStringLiteral(" wrong-password=") + IndexList(refused);
    if (!silent.empty())
        outcome.summary += QStringLiteral(" silent=") + IndexList(silent);
    const QString result = !applied.empty()   ? QStringLiteral("applied")
                           : !refused.empty() ? QStringLiteral("wrong-password")
                           : !silent.empty()  ? QStringLiteral("silent")
                                              : QStringLiteral("no-such-device");
    outcome.summary += QStringLiteral(" result=") + result;
    outcome.verdict = applied.empty() ? Verdict::Ignored : Verdict::Applied;
    return outcome;
}

void DeviceBank::Apply(std::size_t index, const DEVICE_PACKET& packet, qint64 nowMs, Outcome& outcome)
{
    Slot& slot = m_slots[index];
    SimDevice& device = slot.device;
    const QString who = Label(index);
    const auto change = [&](const char* what, const QString& from, const QString& to) {
        outcome.changes << QStringLiteral("%1 %2 %3 -> %4").arg(who, QLatin1String(what), from, to);
    };
    const auto silence = [&](const char* what, qint64 ms) {
        // A device that goes quiet stays quiet for the full period from the latest command.
        slot.silent = ms > 0;
        slot.silentUntilMs = nowMs + ms;
        outcome.changes << QStringLiteral("%1 %2 silent-ms=%3").arg(who, QLatin1String(what)).arg(ms);
        outcome.silenced.emplace_back(index, ms);
    };

    switch (static_cast<Opcode>(packet.Opcode())) {
    case Opcode::SetIpAddress:
        change("ip", FormatIpv4(device.ip), FormatIpv4(packet.IpAddress()));
        device.ip = packet.IpAddress();
        break;
    case Opcode::SetSubnetMask:
        change("mask", FormatIpv4(device.mask), FormatIpv4(packet.SubnetMask()));
        device.mask = packet.SubnetMask();
        break;
    case Opcode::SetGateway:
        change("gateway", FormatIpv4(device.gateway), FormatIpv4(packet.Gateway()));
        device.gateway = packet.Gateway();
        break;
    case Opcode::SetMacAddress:
        change("mac", FormatMac(device.mac), FormatMac(packet.MacAddress()));
        device.mac = packet.MacAddress();
        break;
    case Opcode::SoftReset:
        silence("soft-reset", m_rebootMs);
        break;
    case Opcode::FirmwareUpdate:
        silence("firmware-update", m_firmwareMs);
        break;
    case Opcode::Discovery:
        break;
    }
}

}  // namespace vantor::devsim
