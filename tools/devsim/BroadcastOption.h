#pragma once

#include <QtGlobal>

namespace vantor::devsim {

// Sets SO_BROADCAST on a socket descriptor so that datagrams to 255.255.255.255 may leave it.
// The only platform-specific code of the simulator.
bool EnableBroadcast(qintptr descriptor);

}  // namespace vantor::devsim
