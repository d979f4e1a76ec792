// Floods UDP port 4000 (or another) with a deterministic mix of datagrams for the flood test:
// distinct device replies, repeats, datagrams of 0, 1, 51, 53 and 1,500 bytes, and random bytes
// of random sizes. Paced to spread the datagrams over the given time, and held back while the
// receiver's queue (read from /proc/net/udp in the sender's network namespace) is more than
// half full, so the system never drops any and the receiver must see every one. Prints what
// the receiver must end with:
//   sent=<datagrams> distinct52=<distinct 52-byte datagrams> drops=<datagrams the system dropped>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QThread>
#include <QUdpSocket>

#include <array>
#include <cstdint>
#include <cstdio>
#include <random>
#include <set>
#include <vector>

namespace {

using Datagram = std::vector<std::uint8_t>;
using Reply = std::array<std::uint8_t, 52>;

struct Options {
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 4000;
    int count = 200000;
    int milliseconds = 10000;
    std::uint32_t seed = 20240611;
};

// The receive queue and drop count of the UDP socket bound to the port, from /proc/net/udp.
struct QueueState {
    qint64 queued = 0;
    qint64 drops = 0;
};

QueueState ReadQueue(quint16 port)
{
    QueueState state;
    QFile file(QStringLiteral("/proc/net/udp"));
    if (!file.open(QIODevice::ReadOnly))
        return state;
    const QByteArray wanted = QByteArray(":") + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 13 || !fields[1].endsWith(wanted))
            continue;
        const QList<QByteArray> queues = fields[4].split(':');
        if (queues.size() == 2)
            state.queued += queues[1].toLongLong(nullptr, 16);
        state.drops += fields[12].toLongLong();
    }
    return state;
}

// A device reply as a device would send it, different for every serial number.
Datagram DeviceReply(std::uint32_t serial, std::mt19937& random)
{
    Datagram reply(52, 0);
    reply[4] = 10;
    reply[5] = static_cast<std::uint8_t>(serial >> 16);
    reply[6] = static_cast<std::uint8_t>(serial >> 8);
    reply[7] = static_cast<std::uint8_t>(serial);
    reply[8] = 255;
    reply[9] = 255;
    reply[10] = 255;
    for (std::size_t i = 0; i < 6; ++i)
        reply[12 + i] = static_cast<std::uint8_t>(i < 2 ? 0x1A : serial >> (8 * (5 - i)));
    const std::string name = "Flood-" + std::to_string(serial);
    std::copy(name.begin(), name.end(), reply.begin() + 18);
    reply[35] = 10;
    reply[39] = 1;
    reply[40] = static_cast<std::uint8_t>(random() % 100);
    reply[41] = static_cast<std::uint8_t>(30 + random() % 4);
    return reply;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    Options options;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        const QString& name = arguments[i];
        const QString& value = arguments[i + 1];
        if (name == QLatin1String("--address"))
            options.address = QHostAddress(value);
        else if (name == QLatin1String("--port"))
            options.port = static_cast<quint16>(value.toUInt());
        else if (name == QLatin1String("--count"))
            options.count = value.toInt();
        else if (name == QLatin1String("--milliseconds"))
            options.milliseconds = value.toInt();
        else if (name == QLatin1String("--seed"))
            options.seed = value.toUInt();
    }

    std::mt19937 random(options.seed);
    QUdpSocket socket;
    std::set<Reply> distinct;
    std::vector<Datagram> sent52;  // every 52-byte datagram sent, for repeats
    std::uint32_t serial = 0;
    const QueueState before = ReadQueue(options.port);
    constexpr qint64 queueLimit = 4 * 1024 * 1024;  // half the receive buffer the program asks for

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < options.count; ++i) {
        // Keep to the schedule: datagram i is due at i / count of the whole time.
        const qint64 due = static_cast<qint64>(i) * options.milliseconds / options.count;
        while (clock.elapsed() < due)
            QThread::usleep(200);
        while (i % 64 == 0 && ReadQueue(options.port).queued > queueLimit)
            QThread::usleep(500);

        Datagram datagram;
        const auto kind = random() % 100;
        if (kind < 12) {
            datagram = DeviceReply(++serial, random);
        } else if (kind < 50 && !sent52.empty()) {
            datagram = sent52[random() % sent52.size()];
        } else if (kind < 90) {
            static constexpr std::array<std::size_t, 5> kSizes = {0, 1, 51, 53, 1500};
            datagram.resize(kSizes[random() % kSizes.size()]);
            for (auto& byte : datagram)
                byte = static_cast<std::uint8_t>(random());
            if (!datagram.empty() && random() % 2 == 0)
                std::copy_n(DeviceReply(serial + 1, random).begin(), std::min<std::size_t>(datagram.size(), 52),
                            datagram.begin());  // a reply cut short or padded
        } else {
            datagram.resize(random() % 3 == 0 ? std::size_t{52} : static_cast<std::size_t>(random() % 1501));
            for (auto& byte : datagram)
                byte = static_cast<std::uint8_t>(random());
        }
        if (datagram.size() == 52) {
            Reply reply;
            std::copy(datagram.begin(), datagram.end(), reply.begin());
            distinct.insert(reply);
            sent52.push_back(datagram);
        }
        while (socket.writeDatagram(reinterpret_cast<const char*>(datagram.data()),
                                    static_cast<qint64>(datagram.size()), options.address, options.port) < 0) {
            // The sender's own buffer is full: wait for it to drain.
            QThread::usleep(100);
        }
    }
    // Until the receiver has taken everything, the system may still drop what is queued.
    QElapsedTimer drain;
    drain.start();
    while (ReadQueue(options.port).queued > 0 && drain.elapsed() < 60000)
        QThread::msleep(5);
    const QueueState after = ReadQueue(options.port);
    std::printf("sent=%d distinct52=%zu drops=%lld seconds=%.1f\n", options.count, distinct.size(),
                static_cast<long long>(after.drops - before.drops), static_cast<double>(clock.elapsed()) / 1000.0);
    return 0;
}
