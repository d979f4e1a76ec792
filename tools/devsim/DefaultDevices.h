#pragma once

#include "tools/devsim/SimDevice.h"

#include <vector>

namespace vantor::devsim {

// The eight devices emulated when no device file is given. They cover both known model codes
// and a foreign one, an empty and a 16-byte name, a name with printf directives, addresses
// that sort differently as text and as numbers, a gateway of 0.0.0.0, a MAC whose second byte
// wraps when the program increments it, and an 8-character password.
std::vector<SimDevice> DefaultDevices();

}  // namespace vantor::devsim
