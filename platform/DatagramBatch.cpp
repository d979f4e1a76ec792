#include "platform/DatagramBatch.h"

#include <array>
#include <cerrno>
#include <vector>

#ifdef __linux__
#include <sys/socket.h>
#endif

namespace vantor {

int TakeDatagrams(qintptr descriptor, std::size_t size, int capacity, std::uint8_t* out, int& kept)
{
    kept = 0;
    if (descriptor < 0 || capacity <= 0 || out == nullptr)
        return -1;
#ifdef __linux__
    constexpr int kMostAtOnce = 64;
    const int wanted = capacity < kMostAtOnce ? capacity : kMostAtOnce;
    std::array<mmsghdr, kMostAtOnce> messages{};
    std::array<iovec, kMostAtOnce> buffers{};
    // Each datagram is read into the next free place of `out`; a dropped one's place is reused.
    for (int i = 0; i < wanted; ++i) {
        buffers[static_cast<std::size_t>(i)].iov_base = out + static_cast<std::size_t>(i) * size;
        buffers[static_cast<std::size_t>(i)].iov_len = size;
        messages[static_cast<std::size_t>(i)].msg_hdr.msg_iov = &buffers[static_cast<std::size_t>(i)];
        messages[static_cast<std::size_t>(i)].msg_hdr.msg_iovlen = 1;
    }
    int taken = 0;
    do {
        taken = ::recvmmsg(static_cast<int>(descriptor), messages.data(), static_cast<unsigned>(wanted), MSG_DONTWAIT,
                           nullptr);
    } while (taken < 0 && errno == EINTR);
    if (taken < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    for (int i = 0; i < taken; ++i) {
        const mmsghdr& message = messages[static_cast<std::size_t>(i)];
        // A longer datagram is cut to the buffer and flagged: it must never be used as a whole one.
        if (message.msg_len != size || (message.msg_hdr.msg_flags & MSG_TRUNC) != 0)
            continue;
        if (kept != i) {
            const std::uint8_t* from = out + static_cast<std::size_t>(i) * size;
            std::copy(from, from + size, out + static_cast<std::size_t>(kept) * size);
        }
        ++kept;
    }
    return taken;
#else
    (void)size;
    return 0;  // no batch reading here: the caller reads one at a time
#endif
}

}  // namespace vantor
