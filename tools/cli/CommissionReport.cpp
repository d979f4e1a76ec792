#include "tools/cli/CommissionReport.h"

#include "tools/cli/CliOptions.h"
#include "tools/cli/DeviceListing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstdlib>

namespace vantor::cli {
namespace {

constexpr std::array<const char*, 10> kFieldNames = {
    "mac",
    "interface",
    "old_ip_address",
    "old_subnet_mask",
    "old_gateway_ip",
    "new_ip_address",
    "new_subnet_mask",
    "new_gateway_ip",
    "changes",
    "outcome",
};

std::string Joined(const std::vector<std::string>& parts, const char* separator)
{
    std::string out;
    for (const std::string& part : parts)
        out += (out.empty() ? "" : separator) + part;
    return out;
}

// The cells of a result in the order of kFieldNames.
std::vector<std::string> Cells(const CommissionResult& result, const char* changeSeparator)
{
    return {result.mac,
            result.interfaceName,
            result.before[0],
            result.before[1],
            result.before[2],
            result.after[0],
            result.after[1],
            result.after[2],
            Joined(result.changes, changeSeparator),
            OutcomeText(result.outcome)};
}

}  // namespace

std::string OutcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done:
        return "done";
    case Outcome::Unchanged:
        return "unchanged";
    case Outcome::NotFound:
        return "not found";
    case Outcome::NotConfirmed:
        return "not confirmed";
    case Outcome::SendFailed:
        return "send failed";
    case Outcome::WouldChange:
        return "would change";
    }
    return {};
}

std::string FormatCommissionTable(const std::vector<CommissionResult>& results)
{
    std::vector<std::vector<std::string>> rows;
    for (const CommissionResult& result : results)
        rows.push_back(Cells(result, ","));
    return FormatColumns({"MAC", "Interface", "Old IP", "Old Mask", "Old Gateway", "New IP", "New Mask", "New Gateway",
                          "Sent", "Outcome"},
                         rows);
}

std::string FormatCommissionJson(const std::vector<CommissionResult>& results)
{
    QJsonArray list;
    for (const CommissionResult& result : results) {
        QJsonObject object;
        const std::vector<std::string> cells = Cells(result, ",");
        for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
            const QString key = QString::fromLatin1(kFieldNames[i]);
            if (key == QLatin1String("changes")) {
                QJsonArray changes;
                for (const std::string& change : result.changes)
                    changes.append(QString::fromStdString(change));
                object.insert(key, changes);
            } else {
                object.insert(key, cells[i].empty() ? QJsonValue(QJsonValue::Null)
                                                    : QJsonValue(QString::fromStdString(cells[i])));
            }
        }
        list.append(object);
    }
    const QJsonObject document{{QStringLiteral("schema_version"), kJsonSchemaVersion},
                               {QStringLiteral("devices"), list}};
    return QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}

std::string FormatCommissionCsv(const std::vector<CommissionResult>& results)
{
    std::string out = CsvLine(std::vector<std::string>(kFieldNames.begin(), kFieldNames.end()));
    for (const CommissionResult& result : results)
        out += CsvLine(Cells(result, " "));
    return out;
}

std::string RecordHeader()
{
    return CsvLine({"time", "mac", "old_ip_address", "old_subnet_mask", "old_gateway_ip", "new_ip_address",
                    "new_subnet_mask", "new_gateway_ip", "interface", "outcome"});
}

std::string RecordLines(const std::vector<CommissionResult>& results)
{
    std::string out;
    for (const CommissionResult& result : results) {
        out += CsvLine({result.time, result.mac, result.before[0], result.before[1], result.before[2], result.after[0],
                        result.after[1], result.after[2], result.interfaceName, OutcomeText(result.outcome)});
    }
    return out;
}

std::string RecordTime(const QDateTime& time)
{
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    std::array<char, 16> zone{};
    std::snprintf(zone.data(), zone.size(), "%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return time.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toStdString() + zone.data();
}

int CommissionExitCode(const std::vector<CommissionResult>& results)
{
    int code = kExitSuccess;
    for (const CommissionResult& result : results) {
        if (result.outcome == Outcome::SendFailed)
            return kExitNetwork;
        if (result.outcome == Outcome::NotFound || result.outcome == Outcome::NotConfirmed)
            code = kExitNotFound;
    }
    return code;
}

}  // namespace vantor::cli
