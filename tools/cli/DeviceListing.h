#pragma once

#include "protocol/DevicePacket.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantor::cli {

// One answering device as the command line shows it: the six texts of its list row, its model
// code, the interface its reply came in on and whether another device has its IP address.
struct FoundDevice {
    std::string rowRecord;  // the six NUL-ended fields of the device list's row
    std::uint8_t modelCode = 0;
    int interfaceIndex = 0;     // 0: not known
    std::string interfaceName;  // empty: not known
    bool addressConflict = false;

    static FoundDevice FromReply(const DEVICE_PACKET& reply, int interfaceIndex, std::string interfaceName);
    // Field n (0 name ... 5 version) as the list shows it: UTF-8 (name bytes that are no valid
    // UTF-8 become one character per byte).
    std::string Field(int field) const;
};

// Marks every device whose IP address another device of the list also has.
void MarkAddressConflicts(std::vector<FoundDevice>& devices);

// A device text for a terminal: controls shown as \xNN, so that a name cannot steer it.
std::string PrintableText(const std::string& text);

// The JSON document's schema version; raised only when a field changes meaning or goes away.
inline constexpr int kJsonSchemaVersion = 1;

// Output forms. The table is for people: aligned columns, control characters of device names
// shown as \xNN so that a name cannot steer the terminal. JSON and CSV are for scripts.
std::string FormatTable(const std::vector<FoundDevice>& devices);
std::string FormatJson(const std::vector<FoundDevice>& devices);
std::string FormatCsv(const std::vector<FoundDevice>& devices);

// The building blocks of those forms, for other listings: aligned columns under a title line
// (control characters shown as \xNN), and one CSV line ending in CR LF with each cell quoted
// where it needs it.
std::string FormatColumns(const std::vector<std::string>& titles, const std::vector<std::vector<std::string>>& rows);
std::string CsvLine(const std::vector<std::string>& cells);

}  // namespace vantor::cli
