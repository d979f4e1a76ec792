#include "commands/CommandExchange.h"

#include "commands/CInputIPDlg.h"
#include "commands/CInputPasswordDlg.h"
#include "commands/CommandDatagrams.h"
#include "protocol/DeviceRow.h"
#include "protocol/DeviceSearch.h"

#include <QThread>

#include <array>
#include <utility>

namespace vantor {

std::optional<std::string> PromptForPassword(QWidget* parent)
{
    CInputPasswordDlg prompt(parent);
    if (prompt.exec() != QDialog::Accepted)
        return std::nullopt;
    return prompt.PasswordBytes();
}

CommandExchange::CommandExchange(CommandRows& rows, DeviceSearch& search, CommandTiming timing)
    : m_rows(rows)
    , m_search(search)
    , m_timing(timing)
{ }

void CommandExchange::ModifyIp()
{
    // The endpoint is opened before the password prompts; a search window that ends while the
    // operator types must not close it under the datagrams still to come.
    const DeviceSearch::CommandHold hold(m_search);
    bool sent = false;
    CInputIPDlg dialog(m_rows.DialogParent());
    for (const CommandRows::RowId row : m_rows.SelectedRowIds()) {
        const std::optional<std::string> ip = m_rows.CellBytes(row, kIpField);
        const std::optional<std::string> mask = m_rows.CellBytes(row, kMaskField);
        const std::optional<std::string> gateway = m_rows.CellBytes(row, kGatewayField);
        const std::optional<std::string> macText = m_rows.CellBytes(row, kMacField);
        if (!ip || !mask || !gateway || !macText)
            continue;  // the row went while an earlier dialog was open
        const MacBytes mac = MacTextToBytes(*macText);

        dialog.SetCurrentTexts(*ip, *mask, *gateway);
        if (dialog.exec() != QDialog::Accepted)
            continue;
        if (!m_search.ReopenForCommand())
            continue;

        const std::array<std::pair<Opcode, bool>, 3> values = {{
            {Opcode::SetIpAddress, dialog.IpChanged()},
            {Opcode::SetSubnetMask, dialog.MaskChanged()},
            {Opcode::SetGateway, dialog.GatewayChanged()},
        }};
        for (const auto& [opcode, changed] : values) {
            if (!changed)
                continue;
            DEVICE_PACKET datagram =
                SetAddressDatagram(opcode, dialog.NewIp(), dialog.NewMask(), dialog.NewGateway(), mac);
            const std::optional<std::string> password = PromptForPassword(m_rows.DialogParent());
            if (!password)
                continue;
            datagram.SetPassword(*password);
            // A re-search whose opening failed while the prompt was open has closed the endpoint:
            // open it again rather than count a datagram that cannot go out.
            if (!m_search.IsOpen() && !m_search.ReopenForCommand())
                continue;
            m_search.Send(datagram, m_rows.ReplyInterface(row));
            sent = true;
        }
    }
    if (sent) {
        m_search.StartResearch(m_timing.modifyIpResearchMs);
        m_rows.DeleteAllRows();
    }
}

template <typename MakeDatagram>
void CommandExchange::WalkOneDatagramPerRow(MakeDatagram makeDatagram)
{
    const DeviceSearch::CommandHold hold(m_search);
    bool sent = false;
    for (const CommandRows::RowId row : m_rows.SelectedRowIds()) {
        std::optional<DEVICE_PACKET> datagram = makeDatagram(row);
        if (!datagram)
            continue;  // the row went while an earlier prompt was open
        const std::optional<std::string> password = PromptForPassword(m_rows.DialogParent());
        if (!password)
            continue;
        datagram->SetPassword(*password);
        if (!m_search.ReopenForCommand())
            continue;
        m_search.Send(*datagram, m_rows.ReplyInterface(row));
        sent = true;
    }
    if (sent)
        FollowUp(m_timing.researchMs, m_timing.holdMs);
}

void CommandExchange::FollowUp(int researchMs, int holdMs)
{
    m_search.StartResearch(researchMs);
    // A real hold of the thread: nothing is painted or received meanwhile.
    QThread::msleep(static_cast<unsigned long>(holdMs));
    m_rows.DeleteAllRows();
}

void CommandExchange::ModifyMac()
{
    WalkOneDatagramPerRow([this](CommandRows::RowId row) -> std::optional<DEVICE_PACKET> {
        const std::optional<std::string> ip = m_rows.CellBytes(row, kIpField);
        const std::optional<std::string> mac = m_rows.CellBytes(row, kMacField);
        if (!ip || !mac)
            return std::nullopt;
        return SetMacDatagram(DottedAddressToBytes(*ip), MacTextToBytes(*mac));
    });
}

void CommandExchange::SoftReset()
{
    WalkMacDatagrams(Opcode::SoftReset);
}

void CommandExchange::UpdateFirmware()
{
    WalkMacDatagrams(Opcode::FirmwareUpdate);
}

void CommandExchange::WalkMacDatagrams(Opcode opcode)
{
    WalkOneDatagramPerRow([this, opcode](CommandRows::RowId row) -> std::optional<DEVICE_PACKET> {
        const std::optional<std::string> mac = m_rows.CellBytes(row, kMacField);
        if (!mac)
            return std::nullopt;
        return MacDatagram(opcode, MacTextToBytes(*mac));
    });
}

}  // namespace vantor
