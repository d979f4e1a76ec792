#pragma once

#include "tools/devsim/SimDevice.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <vector>

namespace vantor::devsim {

// What reading a device file gave: the devices, or a message that says where and why it failed.
struct DeviceFileResult {
    std::vector<SimDevice> devices;
    QString error;
    bool Ok() const { return error.isEmpty(); }
};

// Reads the device list. Two formats, told apart by the first non-blank character:
//  - '[': a JSON array of objects, one per device;
//  - anything else: one device a line, blank-separated key=value pairs, '#' starts a comment.
// Both use the keys name, model, ip, mask, gateway, mac, version, password, delay; ip and mac
// are required. Nothing is guessed: an unknown or repeated key, a malformed value or an empty
// list is an error.
class DeviceFileParser final {
public:
    static DeviceFileResult Parse(const QByteArray& content);
    // As Parse(); the message starts with the file name. An unreadable file is an error too.
    static DeviceFileResult ParseFile(const QString& path);

private:
    static DeviceFileResult ParseLines(const QByteArray& content);
    static DeviceFileResult ParseJson(const QByteArray& content);
    static QString ParseLine(QStringView line, std::vector<SimDevice>& devices);
    static QString ParseJsonObject(const QJsonObject& object, std::vector<SimDevice>& devices);
};

}  // namespace vantor::devsim
