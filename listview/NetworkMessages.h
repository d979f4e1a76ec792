#pragma once

class QWidget;

namespace vantor {

// The messages of a search or command that cannot reach the network, shown by the device view.

// Tells the operator that port 4000 could not be opened: a modal message box captioned
// "Dorvex" with the exclamation icon and an OK button.
void ReportPortOpenFailure(QWidget* parent = nullptr);

// What the operator reads when no network adapter could carry the discovery request.
inline constexpr char kNoNetworkAdapterText[] = "No network adapter can reach the devices.\n"
                                                "Connect a network adapter with an IPv4 address, then choose Refresh.";

// Tells the operator that the search went nowhere: a modal message box in the style of the
// port failure (caption "Dorvex", exclamation icon, OK).
void ReportNoNetworkAdapter(QWidget* parent = nullptr);

}  // namespace vantor
