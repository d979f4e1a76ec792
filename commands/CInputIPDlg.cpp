#include "commands/CInputIPDlg.h"

#include "commands/CommandDatagrams.h"
#include "commands/DialogTemplate.h"
#include "platform/IPAddressCtrl.h"

#include <QGroupBox>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>
#include <span>

namespace vantor {
namespace {

// The control holds the four bytes packed with the first one most significant.
quint32 Pack(std::span<const std::uint8_t, 4> bytes)
{
    return (quint32{bytes[0]} << 24) | (quint32{bytes[1]} << 16) | (quint32{bytes[2]} << 8) | quint32{bytes[3]};
}

Ipv4Bytes Unpack(quint32 address)
{
    return {static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16),
            static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address)};
}

bool Differs(const Ipv4Bytes& value, std::span<const std::uint8_t, 4> current)
{
    return !std::equal(value.begin(), value.end(), current.begin());
}

// The current IP address (0), subnet mask (1) or gateway (2) within the twelve current bytes.
std::span<const std::uint8_t, 4> CurrentValue(const std::array<std::uint8_t, 12>& current, std::size_t which)
{
    return std::span<const std::uint8_t, 12>(current).subspan(which * 4).first<4>();
}

}  // namespace

CInputIPDlg::CInputIPDlg(QWidget* parent)
    : QDialog(parent)
{
    const DialogUnits units = SetUpCommandDialog(*this, QSize(124, 138));
    // Each value sits in a group box of 114 x 30 units, its control 6 units in and 12 down.
    const auto addAddressControl = [&](const QString& title, int top, int id) {
        QGroupBox* group = AddGroupBox(*this, units, title, QRect(6, top, 114, 30));
        auto* control = new CIPAddressCtrl(group);
        control->setObjectName(QString::number(id));
        control->SetAccessibleNames(title);
        control->setGeometry(RectInGroup(units, *group, QRect(12, top + 12, 100, 12)));
        return control;
    };
    m_ctrlIP = addAddressControl(QStringLiteral("Input IP Address"), 6, IDC_IPADDRESS);
    m_ctrlMask = addAddressControl(QStringLiteral("Input Subnet Mask"), 42, IDC_SUBNETMASK);
    m_ctrlGateway = addAddressControl(QStringLiteral("Input Gateway IP"), 78, IDC_GATEWAY);

    const ConfirmCancelButtons buttons = AddConfirmCancel(*this, units, 114);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;

    setTabOrder(m_ctrlIP, m_ctrlMask);
    setTabOrder(m_ctrlMask, m_ctrlGateway);
    setTabOrder(m_ctrlGateway, m_ok);
    setTabOrder(m_ok, m_cancel);
}

CInputIPDlg::~CInputIPDlg() = default;

void CInputIPDlg::SetCurrentTexts(std::string ip, std::string mask, std::string gateway)
{
    m_strIP = std::move(ip);
    m_strMask = std::move(mask);
    m_strGateway = std::move(gateway);
}

void CInputIPDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Once per showing; a window system's own show event (after minimising) is no new opening.
    if (!event->spontaneous())
        OnInitDialog();
}

void CInputIPDlg::OnInitDialog()
{
    const Ipv4Bytes ip = DottedAddressToBytes(m_strIP);
    const Ipv4Bytes mask = DottedAddressToBytes(m_strMask);
    const Ipv4Bytes gateway = DottedAddressToBytes(m_strGateway);
    std::copy(ip.begin(), ip.end(), m_current.begin());
    std::copy(mask.begin(), mask.end(), m_current.begin() + 4);
    std::copy(gateway.begin(), gateway.end(), m_current.begin() + 8);
    m_ctrlIP->SetAddress(Pack(CurrentValue(m_current, 0)));
    m_ctrlMask->SetAddress(Pack(CurrentValue(m_current, 1)));
    m_ctrlGateway->SetAddress(Pack(CurrentValue(m_current, 2)));
    m_bIPChanged = m_bMaskChanged = m_bGatewayChanged = false;
    m_ctrlIP->setFocus();
}

void CInputIPDlg::accept()
{
    m_newIP = Unpack(m_ctrlIP->GetAddress());
    m_newMask = Unpack(m_ctrlMask->GetAddress());
    m_newGateway = Unpack(m_ctrlGateway->GetAddress());
    m_bIPChanged = Differs(m_newIP, CurrentValue(m_current, 0));
    m_bMaskChanged = Differs(m_newMask, CurrentValue(m_current, 1));
    m_bGatewayChanged = Differs(m_newGateway, CurrentValue(m_current, 2));
    QDialog::accept();
}

}  // namespace vantor
