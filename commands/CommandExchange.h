#pragma once

#include "protocol/DevicePacket.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace vantor {

class DeviceSearch;

// What the device commands need of the device list.
class CommandRows {
public:
    // A row's identity, never given to another row; 0 is no row.
    using RowId = std::uint64_t;

    virtual ~CommandRows() = default;
    // The selected rows, in ascending row order, at the moment of the call.
    virtual std::vector<RowId> SelectedRowIds() const = 0;
    // The bytes of a row's cell (logical column, hidden columns included); nothing once the row
    // is gone.
    virtual std::optional<std::string> CellBytes(RowId row, int column) const = 0;
    // The interface the row's reply came in on (0: not known), which its commands leave through.
    virtual int ReplyInterface(RowId row) const = 0;
    virtual void DeleteAllRows() = 0;
    // Parent of the command's dialogs.
    virtual QWidget* DialogParent() const = 0;
};

// Delays of a command's follow-up.
struct CommandTiming {
    int modifyIpResearchMs = 2000;  // Modify IP: re-search this long after the command
    int researchMs = 5000;          // the other commands
    int holdMs = 2000;              // the other commands hold the thread this long before clearing
};

// The four commands that change a device. Each walks the rows that are selected when it
// starts, in their order at that moment, asks for the device password per datagram, reopens the
// endpoint and broadcasts the command datagram; when anything was sent it empties the list and
// has the search start again a few seconds later, so the list shows the devices as they now
// are. A row that disappears while a dialog is open (a re-search emptied the list) is skipped.
// Nothing a device answers is awaited.
class CommandExchange final {
public:
    CommandExchange(CommandRows& rows, DeviceSearch& search, CommandTiming timing = {});

    // The address dialog per row; one set-address datagram per changed value (IP address,
    // subnet mask, gateway, in that order), each after a password prompt of its own.
    void ModifyIp();
    // One datagram per row: the row's IP address and its MAC with the second byte + 1.
    void ModifyMac();
    // One datagram per row carrying the row's MAC.
    void SoftReset();
    void UpdateFirmware();

private:
    // Modify MAC, Soft Reset and Update Firmware: prompt, reopen, send, per row.
    template <typename MakeDatagram>
    void WalkOneDatagramPerRow(MakeDatagram makeDatagram);
    // Soft Reset and Update Firmware: the row's MAC under the given opcode.
    void WalkMacDatagrams(Opcode opcode);
    void FollowUp(int researchMs, int holdMs);

    CommandRows& m_rows;
    DeviceSearch& m_search;
    CommandTiming m_timing;
};

// Shows a new password prompt; the confirmed password's bytes, or nothing when it was cancelled.
std::optional<std::string> PromptForPassword(QWidget* parent);

}  // namespace vantor
