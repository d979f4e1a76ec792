#include "platform/BroadcastOption.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace vantor {

bool EnableBroadcastOption(qintptr descriptor)
{
    if (descriptor < 0)
        return false;
#ifdef _WIN32
    const BOOL on = TRUE;
    return ::setsockopt(static_cast<SOCKET>(descriptor), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                        sizeof(on)) == 0;
#else
    const int on = 1;
    return ::setsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_BROADCAST, &on, sizeof(on)) == 0;
#endif
}

}  // namespace vantor
