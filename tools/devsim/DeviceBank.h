#pragma once

#include "tools/devsim/SimDevice.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace vantor::devsim {

// The emulated devices and what each does with a datagram that reaches port 36. No sockets
// and no clock of its own: the caller passes the time (milliseconds on any monotonic clock),
// so the silent period after a reset can be tested without waiting for it.
//
// Every device acts on its own, as devices on one segment would: a discovery is answered by
// each device that is not silent; a command is obeyed by each device it addresses whose
// password it carries.
class DeviceBank final {
public:
    enum class Verdict {
        Ignored,    // not a datagram of the protocol, or nobody obeyed it
        Discovery,  // a discovery request; `responders` answer it
        Applied,    // a command that at least one device obeyed
    };

    struct Outcome {
        Verdict verdict = Verdict::Ignored;
        // The decoded datagram and what became of it: blank-separated key=value tokens ending
        // with "result=<word>" (answered, applied, wrong-password, silent, no-such-device,
        // ignored with reason=size|signature|opcode).
        QString summary;
        std::vector<std::size_t> responders;                   // discovery: indexes of the answering devices
        QStringList changes;                                   // one text per state change
        std::vector<std::pair<std::size_t, qint64>> silenced;  // device index, silent milliseconds
    };

    explicit DeviceBank(std::vector<SimDevice> devices);

    void SetRebootMs(qint64 ms) { m_rebootMs = ms; }
    void SetFirmwareMs(qint64 ms) { m_firmwareMs = ms; }

    Outcome Handle(std::span<const std::uint8_t> datagram, qint64 nowMs);

    bool IsSilent(std::size_t index, qint64 nowMs) const;
    // Milliseconds until the device answers again; 0 when it is not silent.
    qint64 SilentRemainingMs(std::size_t index, qint64 nowMs) const;
    // When the latest silent period of the device ends (0 if it never had one).
    qint64 SilentUntilMs(std::size_t index) const { return m_slots.at(index).silentUntilMs; }
    std::size_t size() const { return m_slots.size(); }
    const SimDevice& Device(std::size_t index) const { return m_slots.at(index).device; }
    // "dev=3 name="Gate-East"": how the log names device `index` (numbered from 1).
    QString Label(std::size_t index) const;

private:
    struct Slot {
        SimDevice device;
        qint64 silentUntilMs = 0;
        bool silent = false;
    };

    Outcome Discover(qint64 nowMs) const;
    Outcome Command(const DEVICE_PACKET& packet, qint64 nowMs);
    void Apply(std::size_t index, const DEVICE_PACKET& packet, qint64 nowMs, Outcome& outcome);

    std::vector<Slot> m_slots;
    qint64 m_rebootMs = 3000;
    qint64 m_firmwareMs = 3000;
};

}  // namespace vantor::devsim
