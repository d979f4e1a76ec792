// The endpoint's receive path on loopback: the input is cut into a sequence of datagrams of any
// size (none to 1,500 bytes, 52 often), sent to an endpoint of its own, and what the endpoint
// hands on must be exactly the distinct 52-byte datagrams in arrival order, each once.
#include "protocol/CListSocket.h"
#include "tests/fuzz/FuzzCheck.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QUdpSocket>

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <vector>

namespace {

using vantor::DEVICE_PACKET;
using Reply = std::array<std::uint8_t, DEVICE_PACKET::kSize>;

// One loopback endpoint and sender for the whole run; each input opens the endpoint anew, as a
// search does, so the memory of replies starts empty.
struct Rig {
    int argc = 1;
    char name[8] = "fuzzer";
    char* argv[2] = {name, nullptr};
    QCoreApplication application{argc, argv};
    std::vector<Reply> handed;
    vantor::CListSocket endpoint{[this](const DEVICE_PACKET& reply, int) { handed.push_back(reply.bytes); },
                                 {QHostAddress(QHostAddress::LocalHost), 0, QHostAddress(QHostAddress::LocalHost), 9}};
    QUdpSocket sender;
    std::uint64_t marker = 0;
};

Rig& TheRig()
{
    // Made once (libFuzzer calls in from one thread) and never destroyed: libFuzzer ends the
    // process with exit(), and a Qt application destroyed among the exit handlers would run after
    // Qt's own global objects are gone (Qt 6.8 crashes there). The process's end frees it.
    static Rig* const rig = new Rig;
    return *rig;
}

// A 52-byte datagram no input of this run is likely to hold: it closes each sequence.
Reply Marker(std::uint64_t serial)
{
    Reply marker{};
    const char tag[] = "end-of-sequence";
    std::copy(tag, tag + sizeof tag, marker.begin());
    for (int i = 0; i < 8; ++i)
        marker[40 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(serial >> (8 * i));
    return marker;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Rig& rig = TheRig();
    FuzzedDataProvider input(data, size);
    std::vector<std::vector<std::uint8_t>> datagrams;
    while (input.remaining_bytes() > 0 && datagrams.size() < 64) {
        const std::uint8_t kind = input.ConsumeIntegral<std::uint8_t>();
        std::size_t length = 52;
        if (kind >= 200)
            length = input.ConsumeIntegralInRange<std::size_t>(0, 1500);
        else if (kind >= 128)
            length = std::array<std::size_t, 6>{0, 1, 51, 53, 1500, 52}[kind % 6];
        std::vector<std::uint8_t> bytes = input.ConsumeBytes<std::uint8_t>(length);
        if (kind < 64 && !datagrams.empty())
            bytes = datagrams[kind % datagrams.size()];  // a repeat of an earlier datagram
        else
            bytes.resize(length, 0);
        datagrams.push_back(std::move(bytes));
    }

    Reply marker = Marker(++rig.marker);
    std::set<Reply> distinct;
    std::vector<Reply> expected;
    for (const auto& bytes : datagrams) {
        if (bytes.size() != DEVICE_PACKET::kSize)
            continue;
        Reply reply;
        std::copy(bytes.begin(), bytes.end(), reply.begin());
        if (distinct.insert(reply).second)
            expected.push_back(reply);
    }
    while (distinct.count(marker) != 0)
        marker = Marker(++rig.marker);
    datagrams.emplace_back(marker.begin(), marker.end());
    expected.push_back(marker);

    rig.handed.clear();
    FUZZ_CHECK(rig.endpoint.Create());
    const QHostAddress to(QHostAddress::LocalHost);
    for (const auto& bytes : datagrams)
        FUZZ_CHECK(rig.sender.writeDatagram(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qint64>(bytes.size()), to,
                                            rig.endpoint.LocalPort()) == static_cast<qint64>(bytes.size()));
    const QDeadlineTimer deadline(5000);
    while ((rig.handed.empty() || rig.handed.back() != marker) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    FUZZ_CHECK(rig.handed == expected);
    FUZZ_CHECK(rig.endpoint.ReplyMemorySize() == expected.size());
    rig.endpoint.Close();
    // The closed socket is deleted later; outside an event loop "later" is now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
