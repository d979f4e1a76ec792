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
    bool ok() const { return error.isEmpty(); }
};

// Reads the device list. Two formats, told apart by the first non-blank character:
//  - '[': a JSON array of objects, one per device;
//  - anything else: one device a line, blank-separated key=value pairs, '#' starts a comment.
// Both use the keys name, model, ip, mask, gateway, mac, version, password, delay; ip and mac
// are required. Nothing is guessed: an unknown or repeated key, a malformed value or an empty
// list is an error.
class DeviceFileParser final {
public:
    static DeviceFileResult parse(const QByteArray& content);
    // As parse(); the message starts with the file name. An unreadable file is an error too.
    static DeviceFileResult parseFile(const QString& path);

private:
    static DeviceFileResult parseLines(const QByteArray& content);
    static DeviceFileResult parseJson(const QByteArray& content);
    static QString parseLine(QStringView line, std::vector<SimDevice>& devices);
    static QString parseJsonObject(const QJsonObject& object, std::vector<SimDevice>& devices);
};

}  // namespace vantor::devsim
