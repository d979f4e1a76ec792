#include "tools/cli/CommandPlan.h"

#include "commands/CommandDatagrams.h"
#include "protocol/DeviceRow.h"
#include "tools/cli/CliOptions.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vantor::cli {
namespace {

struct AddressRequest {
    Ipv4Bytes ip;
    Ipv4Bytes mask;
    Ipv4Bytes gateway;
};

AddressRequest RequestedAddresses(const CliOptions& options, const FoundDevice& row)
{
    return {options.ip.value_or(DottedAddressToBytes(row.Field(kIpField))),
            options.mask.value_or(DottedAddressToBytes(row.Field(kMaskField))),
            options.gateway.value_or(DottedAddressToBytes(row.Field(kGatewayField)))};
}

MacBytes NewMac(const MacBytes& mac)
{
    MacBytes raised = mac;
    raised[1] = static_cast<std::uint8_t>(raised[1] + 1u);
    return raised;
}

}  // namespace

std::vector<PlannedDatagram> PlanCommand(const CliOptions& options, const FoundDevice& row)
{
    const MacBytes mac = MacTextToBytes(row.Field(kMacField));
    std::vector<PlannedDatagram> planned;
    switch (options.command) {
    case Command::SetIp: {
        const AddressRequest wanted = RequestedAddresses(options, row);
        const std::array<std::pair<Opcode, int>, 3> values = {{
            {Opcode::SetIpAddress, kIpField},
            {Opcode::SetSubnetMask, kMaskField},
            {Opcode::SetGateway, kGatewayField},
        }};
        const std::array<std::string, 3> labels = {"IP address", "subnet mask", "gateway"};
        const std::array<Ipv4Bytes, 3> newValues = {wanted.ip, wanted.mask, wanted.gateway};
        for (std::size_t i = 0; i < values.size(); ++i) {
            const Ipv4Bytes current = DottedAddressToBytes(row.Field(values[i].second));
            if (newValues[i] == current)
                continue;
            planned.push_back({SetAddressDatagram(values[i].first, wanted.ip, wanted.mask, wanted.gateway, mac),
                               labels[i] + " " + FormatIpv4(current) + " -> " + FormatIpv4(newValues[i])});
        }
        break;
    }
    case Command::SetMac:
        planned.push_back({SetMacDatagram(DottedAddressToBytes(row.Field(kIpField)), mac),
                           "MAC " + FormatMac(mac) + " -> " + FormatMac(NewMac(mac))});
        break;
    case Command::Reset:
        planned.push_back({MacDatagram(Opcode::SoftReset, mac), "soft reset"});
        break;
    case Command::UpdateFirmware:
        planned.push_back({MacDatagram(Opcode::FirmwareUpdate, mac), "firmware update"});
        break;
    default:
        break;
    }
    return planned;
}

bool ShowsRequestedState(const CliOptions& options, const FoundDevice& row, const std::vector<FoundDevice>& now)
{
    const std::string mac = row.Field(kMacField);
    auto any = [&now](auto predicate) { return std::any_of(now.begin(), now.end(), predicate); };
    switch (options.command) {
    case Command::SetIp: {
        const AddressRequest wanted = RequestedAddresses(options, row);
        return any([&](const FoundDevice& device) {
            return device.Field(kMacField) == mac && device.Field(kIpField) == FormatIpv4(wanted.ip) &&
                   device.Field(kMaskField) == FormatIpv4(wanted.mask) &&
                   device.Field(kGatewayField) == FormatIpv4(wanted.gateway);
        });
    }
    case Command::SetMac: {
        const std::string newMac = FormatMac(NewMac(MacTextToBytes(mac)));
        const std::string ip = row.Field(kIpField);
        return any([&](const FoundDevice& device) {
            return device.Field(kMacField) == newMac && device.Field(kIpField) == ip;
        });
    }
    case Command::Reset:
    case Command::UpdateFirmware:
        return any([&](const FoundDevice& device) { return device.Field(kMacField) == mac; });
    default:
        return false;
    }
}

int DefaultWaitDelayMs(const CliOptions& options)
{
    return options.command == Command::SetIp ? 2000 : 5000;
}

}  // namespace vantor::cli
