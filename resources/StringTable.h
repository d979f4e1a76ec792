#pragma once

#include <QString>

#include <optional>
#include <string_view>

namespace vantor {

// Identifiers of the program's texts.
namespace ids {
inline constexpr int IDR_MAINFRAME = 128;   // caption, menu, toolbar, icon
inline constexpr int IDS_APP_NAME = 57344;  // "Dorvex"
inline constexpr int IDS_READY = 57345;     // idle text of the message pane
inline constexpr int IDS_SOCKETS_INIT_FAILED = 104;
inline constexpr int IDS_OLE_INIT_FAILED = 100;

inline constexpr int IDS_COL_DEVICE_NAME = 40000;
inline constexpr int IDS_COL_IP_ADDRESS = 40001;
inline constexpr int IDS_COL_SUBNET_MASK = 40002;
inline constexpr int IDS_COL_GATEWAY = 40003;
inline constexpr int IDS_COL_MAC = 40004;
inline constexpr int IDS_ID_NUMBER = 40005;
inline constexpr int IDS_COL_VERSION = 40006;
inline constexpr int IDS_ONLINE = 40007;
inline constexpr int IDS_MODEL_UNKNOWN = 40012;
inline constexpr int IDS_MODEL_MARVEN = 40021;
inline constexpr int IDS_MODEL_ORVIK = 40022;
inline constexpr int IDS_PORT_OPEN_FAIL = 40100;

// Command identifiers; a command's text has the same identifier.
inline constexpr int ID_REFRESH = 32772;
inline constexpr int ID_MODIFY_IP = 32780;
inline constexpr int ID_MODIFY_MAC = 32781;
inline constexpr int ID_WEB_BROWSER = 32782;
inline constexpr int ID_SOFT_RESET = 32783;
inline constexpr int ID_UPDATE_FIRMWARE = 32814;
inline constexpr int ID_VIEW_AUTOARRANGE = 59397;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_VIEW_SMALLICON = 59408;
inline constexpr int ID_VIEW_LARGEICON = 59409;
inline constexpr int ID_VIEW_DETAILS = 59411;

// Status bar indicators (also the texts shown in the lock panes).
inline constexpr int ID_SEPARATOR = 0;
inline constexpr int ID_INDICATOR_ONLINE = 59136;
inline constexpr int ID_INDICATOR_CAPS = 59137;
inline constexpr int ID_INDICATOR_NUM = 59138;
inline constexpr int ID_INDICATOR_SCRL = 59139;

// Control ids of the toolbar and the status bar.
inline constexpr int AFX_IDW_TOOLBAR = 59392;
inline constexpr int AFX_IDW_STATUS_BAR = 59393;

inline constexpr int IDR_CONTEXT_MENU = 142;
inline constexpr int IDD_ABOUTBOX = 100;
}  // namespace ids

// The stored text of a string id (UTF-8), or nothing when the table has no such id.
std::optional<std::string_view> LoadStringUtf8(int id);
// The stored text as a QString; empty when the id is unknown.
QString LoadString(int id);

// A command text is the status-bar prompt, a line feed and the tooltip; a text without a line
// feed has no tooltip.
QString CommandPrompt(int commandId);
QString CommandTooltip(int commandId);

}  // namespace vantor
