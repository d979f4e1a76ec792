#pragma once

#include <QDateTime>

#include <array>
#include <string>
#include <vector>

namespace vantor::cli {

// What became of one device of a commissioning run. WouldChange is what a dry run reports for
// a device it would send to.
enum class Outcome { Done, Unchanged, NotFound, NotConfirmed, SendFailed, WouldChange };

std::string OutcomeText(Outcome outcome);

struct CommissionResult {
    std::string mac;
    std::string interfaceName;          // empty: not known
    std::array<std::string, 3> before;  // IP address, subnet mask, gateway; empty: not known
    std::array<std::string, 3> after;   // the planned values; empty: not known
    std::vector<std::string> changes;   // "ip", "mask", "gateway": what was or would be sent
    Outcome outcome = Outcome::NotFound;
    std::string time;  // when its outcome was known, in the record's form
};

// The run's results on standard output, in the three forms of discover.
std::string FormatCommissionTable(const std::vector<CommissionResult>& results);
std::string FormatCommissionJson(const std::vector<CommissionResult>& results);
std::string FormatCommissionCsv(const std::vector<CommissionResult>& results);

// The commissioning record: a CSV file the run appends to, with this header when it is new.
std::string RecordHeader();
std::string RecordLines(const std::vector<CommissionResult>& results);
// ISO 8601 local time with its offset from UTC, such as 2026-05-04T14:03:09+02:00.
std::string RecordTime(const QDateTime& time);

// 0 when every device is done or unchanged (or would change), 1 when one was not found or not
// confirmed, 4 when a send failed.
int CommissionExitCode(const std::vector<CommissionResult>& results);

}  // namespace vantor::cli
