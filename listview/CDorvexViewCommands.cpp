// The device view's commands: the device commands, the web page, and routing and enabling.
#include "listview/CDorvexView.h"

#include "platform/DefaultBrowser.h"
#include "platform/ParentFrame.h"
#include "protocol/DeviceRow.h"
#include "resources/StringTable.h"

#include <algorithm>
#include <array>

namespace vantor {
namespace {

using namespace vantor::lc;

// The commands that act on the selected devices: offered only while a row is selected.
constexpr std::array kDeviceCommands = {ids::ID_MODIFY_IP, ids::ID_MODIFY_MAC, ids::ID_WEB_BROWSER, ids::ID_SOFT_RESET,
                                        ids::ID_UPDATE_FIRMWARE};

bool IsDeviceCommand(int commandId)
{
    return std::find(kDeviceCommands.begin(), kDeviceCommands.end(), commandId) != kDeviceCommands.end();
}

}  // namespace

void CDorvexView::OnModifyIP()
{
    if (m_search)
        CommandExchange(*this, *m_search, m_commandTiming).ModifyIp();
}

void CDorvexView::OnModifyMAC()
{
    if (m_search)
        CommandExchange(*this, *m_search, m_commandTiming).ModifyMac();
}

void CDorvexView::OnSoftReset()
{
    if (m_search)
        CommandExchange(*this, *m_search, m_commandTiming).SoftReset();
}

void CDorvexView::OnUpdateFirmware()
{
    if (m_search)
        CommandExchange(*this, *m_search, m_commandTiming).UpdateFirmware();
}

void CDorvexView::OnWebBrowser()
{
    const std::optional<QString> browser = FindBrowserCommand();
    if (!browser)
        return;
    // The address is read from its logical column, so a hidden IP Address column changes nothing.
    std::vector<std::string> addresses;
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED))
        addresses.push_back(GetItemTextBytes(row, kIpField));
    OpenWebPages(*browser, addresses, m_launchProgram);
}

// ---- Commands -----------------------------------------------------------------------------------

bool CDorvexView::OnCommand(int commandId)
{
    switch (commandId) {
    case ids::ID_REFRESH:
        OnRefresh();
        return true;
    case ids::ID_VIEW_AUTOARRANGE:
        OnViewAutoArrange();
        return true;
    case ids::ID_VIEW_LARGEICON:
        OnViewLargeIcons();
        return true;
    case ids::ID_VIEW_SMALLICON:
        OnViewSmallIcons();
        return true;
    case ids::ID_VIEW_DETAILS:
        OnViewDetails();
        return true;
    case ids::ID_MODIFY_IP:
        OnModifyIP();
        return true;
    case ids::ID_MODIFY_MAC:
        OnModifyMAC();
        return true;
    case ids::ID_SOFT_RESET:
        OnSoftReset();
        return true;
    case ids::ID_UPDATE_FIRMWARE:
        OnUpdateFirmware();
        return true;
    case ids::ID_WEB_BROWSER:
        OnWebBrowser();
        return true;
    default:
        return false;
    }
}

bool CDorvexView::OnUpdateCommandUI(int commandId, CommandUI& ui)
{
    if (IsDeviceCommand(commandId)) {
        ui.enabled = GetSelectedCount() >= 1;
        ui.checked = false;
        return true;
    }
    switch (commandId) {
    case ids::ID_VIEW_AUTOARRANGE:
        ui.enabled = true;
        ui.checked = m_bAutoArrange == 1;
        return true;
    case ids::ID_VIEW_LARGEICON:
        ui.enabled = true;
        ui.checked = m_nViewMode == kLargeIcons;
        return true;
    case ids::ID_VIEW_SMALLICON:
        ui.enabled = true;
        ui.checked = m_nViewMode == kSmallIcons;
        return true;
    case ids::ID_VIEW_DETAILS:
        ui.enabled = true;
        ui.checked = m_nViewMode == kDetails;
        return true;
    case ids::ID_REFRESH:
        ui.enabled = true;
        ui.checked = false;
        return true;
    default:
        return false;
    }
}

}  // namespace vantor
