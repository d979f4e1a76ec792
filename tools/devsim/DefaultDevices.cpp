#include "tools/devsim/DefaultDevices.h"

namespace vantor::devsim {

namespace {

SimDevice Make(const char* name, std::uint8_t model, Ipv4Bytes ip, Ipv4Bytes mask, Ipv4Bytes gateway, MacBytes mac,
               FirmwareVersion version, const char* password)
{
    SimDevice device;
    device.name = QByteArray(name);
    device.model = model;
    device.ip = ip;
    device.mask = mask;
    device.gateway = gateway;
    device.mac = mac;
    device.version = version;
    device.password = QByteArray(password);
    return device;
}

}  // namespace

std::vector<SimDevice> DefaultDevices()
{
    return {
        Make("Lab1", 31, {192, 168, 1, 100}, {255, 255, 255, 0}, {192, 168, 1, 1}, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01},
             {0x01, 0x30}, "secret"),
        Make("", 31, {192, 168, 1, 20}, {255, 255, 255, 0}, {192, 168, 1, 1}, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x02},
             {0x01, 0x30}, ""),
        Make("Gate-East", 32, {192, 168, 1, 3}, {255, 255, 255, 0}, {0, 0, 0, 0}, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x03},
             {0x02, 0x05}, "admin"),
        Make("Pump", 7, {10, 0, 0, 10}, {255, 0, 0, 0}, {10, 0, 0, 1}, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x04},
             {0x03, 0x11}, "secret"),
        Make("Warehouse-Door-7", 32, {10, 0, 0, 9}, {255, 255, 0, 0}, {10, 0, 0, 1},
             {0x00, 0xFF, 0x2B, 0x3C, 0x4D, 0x05}, {0x0A, 0x05}, "12345678"),
        Make("", 32, {172, 16, 5, 1}, {255, 255, 255, 0}, {172, 16, 5, 254}, {0x02, 0x00, 0x5E, 0x10, 0x00, 0x06},
             {0x02, 0x00}, "secret"),
        Make("%d %s", 31, {192, 168, 1, 250}, {255, 255, 255, 0}, {192, 168, 1, 1},
             {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x07}, {0x01, 0x02}, "secret"),
        Make("Roof", 0, {192, 168, 0, 7}, {255, 255, 255, 0}, {192, 168, 0, 1}, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x08},
             {0x01, 0x30}, "secret"),
    };
}

}  // namespace vantor::devsim
