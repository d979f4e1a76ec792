#pragma once

#include <QtGlobal>

namespace vantor {

// Sets SO_BROADCAST on a socket descriptor so that datagrams to 255.255.255.255 may leave it
// (Qt's UDP socket has no option of its own for it). False when the option was not set.
bool EnableBroadcastOption(qintptr descriptor);

}  // namespace vantor
