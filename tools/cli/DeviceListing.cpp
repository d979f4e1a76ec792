#include "tools/cli/DeviceListing.h"

#include "protocol/DeviceRow.h"
#include "protocol/DisplayText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <string_view>

namespace vantor::cli {
namespace {

// Column titles of the table and field names of JSON and CSV, in the order of the table and CSV.
constexpr std::array<std::string_view, 9> kTitles = {
    "Device Name", "IP Address", "Subnet Mask", "Gateway IP", "MAC", "Version", "Model", "Interface", "Conflict",
};
constexpr std::array<std::string_view, 9> kFieldNames = {
    "device_name", "ip_address", "subnet_mask", "gateway_ip",       "mac",
    "version",     "model_code", "interface",   "address_conflict",
};
// The three after the row's own fields.
constexpr std::size_t kModelCodeName = kRowFieldCount;
constexpr std::size_t kInterfaceName = kRowFieldCount + 1;
constexpr std::size_t kAddressConflictName = kRowFieldCount + 2;
static_assert(kAddressConflictName + 1 == kFieldNames.size());

std::string Hex2(unsigned value)
{
    std::array<char, 8> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%02X", value & 0xFFu);
    return std::string(buffer.data(), 2);
}

// C0 controls, DEL and the C1 controls as \xNN; everything else as it is.
QString Printable(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            out += QString::fromStdString("\\x" + Hex2(u));
        else
            out += c;
    }
    return out;
}

std::vector<std::string> TextCells(const FoundDevice& device)
{
    std::vector<std::string> cells;
    for (int field = 0; field < kRowFieldCount; ++field)
        cells.push_back(device.Field(field));
    cells.push_back(std::to_string(device.modelCode));
    cells.push_back(device.interfaceName);
    return cells;
}

std::string CsvCell(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::string PrintableText(const std::string& text)
{
    return Printable(QString::fromStdString(text)).toStdString();
}

FoundDevice FoundDevice::FromReply(const DEVICE_PACKET& reply, int interfaceIndex, std::string interfaceName)
{
    FoundDevice device;
    device.rowRecord = BuildRowRecord(reply);
    device.modelCode = reply.ModelCode();
    device.interfaceIndex = interfaceIndex;
    device.interfaceName = std::move(interfaceName);
    return device;
}

std::string FoundDevice::Field(int field) const
{
    return DisplayTextFromBytes(RowRecordField(rowRecord, field)).toStdString();
}

void MarkAddressConflicts(std::vector<FoundDevice>& devices)
{
    std::map<std::string_view, int> count;
    for (const FoundDevice& device : devices)
        ++count[RowRecordField(device.rowRecord, kIpField)];
    for (FoundDevice& device : devices)
        device.addressConflict = count[RowRecordField(device.rowRecord, kIpField)] > 1;
}

std::string FormatColumns(const std::vector<std::string>& titles, const std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::vector<QString>> shown;
    std::vector<qsizetype> widths(titles.size(), 0);
    auto add = [&](const std::vector<std::string>& cells) {
        std::vector<QString> row;
        for (const std::string& cell : cells)
            row.push_back(Printable(QString::fromStdString(cell)));
        row.resize(titles.size());
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
        shown.push_back(std::move(row));
    };
    add(titles);
    for (const std::vector<std::string>& cells : rows)
        add(cells);
    std::string out;
    for (const std::vector<QString>& cells : shown) {
        QString text;
        for (std::size_t i = 0; i < cells.size(); ++i)
            text += i + 1 < cells.size() ? cells[i].leftJustified(widths[i] + 2) : cells[i];
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        out += text.toStdString() + "\n";
    }
    return out;
}

std::string CsvLine(const std::vector<std::string>& cells)
{
    std::string out;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += ',';
        out += CsvCell(cells[i]);
    }
    return out + "\r\n";
}

std::string FormatTable(const std::vector<FoundDevice>& devices)
{
    std::vector<std::vector<std::string>> rows;
    for (const FoundDevice& device : devices) {
        std::vector<std::string> row = TextCells(device);
        row.push_back(device.addressConflict ? "CONFLICT" : "");
        rows.push_back(std::move(row));
    }
    return FormatColumns(std::vector<std::string>(kTitles.begin(), kTitles.end()), rows);
}

std::string FormatJson(const std::vector<FoundDevice>& devices)
{
    auto key = [](std::size_t index) {
        const std::string_view name = kFieldNames[index];
        return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    };
    QJsonArray list;
    for (const FoundDevice& device : devices) {
        QJsonObject object;
        for (int field = 0; field < kRowFieldCount; ++field)
            object.insert(key(static_cast<std::size_t>(field)), QString::fromStdString(device.Field(field)));
        object.insert(key(kModelCodeName), device.modelCode);
        object.insert(key(kInterfaceName), device.interfaceName.empty()
                                               ? QJsonValue(QJsonValue::Null)
                                               : QJsonValue(QString::fromStdString(device.interfaceName)));
        object.insert(key(kAddressConflictName), device.addressConflict);
        list.append(object);
    }
    const QJsonObject document{{QStringLiteral("schema_version"), kJsonSchemaVersion},
                               {QStringLiteral("devices"), list}};
    return QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}

std::string FormatCsv(const std::vector<FoundDevice>& devices)
{
    std::string out = CsvLine(std::vector<std::string>(kFieldNames.begin(), kFieldNames.end()));
    for (const FoundDevice& device : devices) {
        std::vector<std::string> cells = TextCells(device);
        cells.push_back(device.addressConflict ? "true" : "false");
        out += CsvLine(cells);
    }
    return out;
}

}  // namespace vantor::cli
