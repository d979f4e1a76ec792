#pragma once

#include "protocol/DevicePacket.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <string>

class QPushButton;

namespace vantor {

class CIPAddressCtrl;

// The address dialog of Modify IP: the device's IP address, subnet mask and gateway, each in an
// IP-address control, opened with the row's current values. Confirm reads the three controls and
// flags each value whose bytes differ from the current one; nothing is validated. One dialog
// serves every selected row of a command: each showing converts the current texts afresh and
// starts with all three change flags false.
class CInputIPDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CInputIPDlg)

public:
    static constexpr int IDD = 9;
    static constexpr int IDC_IPADDRESS = 1000;
    static constexpr int IDC_SUBNETMASK = 1001;
    static constexpr int IDC_GATEWAY = 1002;

    explicit CInputIPDlg(QWidget* parent = nullptr);
    ~CInputIPDlg() override;

    // The row's IP Address, Subnet Mask and Gateway IP cells, set before the dialog is shown.
    void SetCurrentTexts(std::string ip, std::string mask, std::string gateway);

    // Valid after Confirm.
    const Ipv4Bytes& NewIp() const { return m_newIP; }
    const Ipv4Bytes& NewMask() const { return m_newMask; }
    const Ipv4Bytes& NewGateway() const { return m_newGateway; }
    bool IpChanged() const { return m_bIPChanged; }
    bool MaskChanged() const { return m_bMaskChanged; }
    bool GatewayChanged() const { return m_bGatewayChanged; }

    CIPAddressCtrl* IpControl() const { return m_ctrlIP; }
    CIPAddressCtrl* MaskControl() const { return m_ctrlMask; }
    CIPAddressCtrl* GatewayControl() const { return m_ctrlGateway; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();

    std::string m_strIP;
    Ipv4Bytes m_newIP{};
    CIPAddressCtrl* m_ctrlIP = nullptr;
    CIPAddressCtrl* m_ctrlMask = nullptr;
    CIPAddressCtrl* m_ctrlGateway = nullptr;
    std::array<std::uint8_t, 12> m_current{};  // IP address, subnet mask, gateway
    Ipv4Bytes m_newMask{};
    std::string m_strMask;
    std::string m_strGateway;
    Ipv4Bytes m_newGateway{};
    bool m_bIPChanged = false;
    bool m_bMaskChanged = false;
    bool m_bGatewayChanged = false;

    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace vantor
