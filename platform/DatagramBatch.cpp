#include "platform/DatagramBatch.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#ifdef __linux__
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace vantor {

#ifdef __linux__
namespace {

// The interface index carried by a received message's IP_PKTINFO, or 0.
int ArrivalInterface(const msghdr& header)
{
    for (const cmsghdr* control = CMSG_FIRSTHDR(&header); control != nullptr;
         control = CMSG_NXTHDR(const_cast<msghdr*>(&header), const_cast<cmsghdr*>(control))) {
        if (control->cmsg_level == IPPROTO_IP && control->cmsg_type == IP_PKTINFO &&
            control->cmsg_len >= CMSG_LEN(sizeof(in_pktinfo))) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(control), sizeof(info));
            return info.ipi_ifindex;
        }
    }
    return 0;
}

}  // namespace
#endif

int TakeDatagrams(qintptr descriptor, std::size_t size, int capacity, std::uint8_t* out, int& kept,
                  int* arrivalInterfaces)
{
    kept = 0;
    if (descriptor < 0 || capacity <= 0 || out == nullptr)
        return -1;
#ifdef __linux__
    constexpr int kMostAtOnce = 64;
    // Room for an IP_PKTINFO and whatever else the socket was asked to report (hop limit, ...).
    constexpr std::size_t kControlBytes = 2 * CMSG_SPACE(sizeof(in_pktinfo)) + CMSG_SPACE(sizeof(int));
    struct alignas(cmsghdr) ControlBuffer {
        std::array<char, kControlBytes> bytes;
    };
    const int wanted = capacity < kMostAtOnce ? capacity : kMostAtOnce;
    std::array<mmsghdr, kMostAtOnce> messages{};
    std::array<iovec, kMostAtOnce> buffers{};
    std::array<ControlBuffer, kMostAtOnce> controls{};
    // Each datagram is read into the next free place of `out`; a dropped one's place is reused.
    for (int i = 0; i < wanted; ++i) {
        const auto k = static_cast<std::size_t>(i);
        buffers[k].iov_base = out + k * size;
        buffers[k].iov_len = size;
        messages[k].msg_hdr.msg_iov = &buffers[k];
        messages[k].msg_hdr.msg_iovlen = 1;
        if (arrivalInterfaces != nullptr) {
            messages[k].msg_hdr.msg_control = controls[k].bytes.data();
            messages[k].msg_hdr.msg_controllen = controls[k].bytes.size();
        }
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
        if (arrivalInterfaces != nullptr)
            arrivalInterfaces[kept] = ArrivalInterface(message.msg_hdr);
        ++kept;
    }
    return taken;
#else
    (void)size;
    (void)arrivalInterfaces;
    return 0;  // no batch reading here: the caller reads one at a time
#endif
}

bool EnableArrivalInterfaceOption(qintptr descriptor)
{
#ifdef __linux__
    if (descriptor < 0)
        return false;
    const int on = 1;
    return ::setsockopt(static_cast<int>(descriptor), IPPROTO_IP, IP_PKTINFO, &on, sizeof(on)) == 0;
#else
    (void)descriptor;
    return false;  // Qt asks for the packet information on its UDP sockets itself
#endif
}

}  // namespace vantor
