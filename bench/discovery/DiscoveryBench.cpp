// Discovery at scale: N distinct device replies go as real datagrams from a sender socket on
// loopback to the program's endpoint (CListSocket with injected ports) inside the real main
// window, shown on the offscreen platform; each becomes a row of the device list, kept sorted
// by IP address. Prints rows per second, the cost per row, peak memory (ru_maxrss) and the
// longest time the window was busy without taking events, for N = 1,000 / 10,000 / 50,000.
// The same run times the straightforward approach (duplicates found by a linear walk, a full
// re-sort after every row) for N = 1,000 and 10,000 and prints the ratio.
//
// Also printed: the socket floor (a bare receive loop on a socket like the endpoint's, fed the
// same 50,000 datagrams the same way) and the view's rate as a part of it; the memory per row at
// 100,000 rows against the empty program; the longest time without taking events for a burst
// of 10,000 replies and a flood of 100,000; and the processor time of 2 s idle after the burst.
//
// Each measurement runs in a child process of its own, so the peak memory is that of one N.
// Run:  QT_QPA_PLATFORM=offscreen vantor_bench_discovery [runs per size, default 5]
//       (the platform is set if missing)

#include "app/CDorvexDoc.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "listview/CListViewEx.h"
#include "listview/DeviceRowOrder.h"
#include "protocol/DeviceRow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <QVBoxLayout>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace vantor;
using namespace vantor::lc;

// Datagrams sent before the receiver is given time to read them: a burst the endpoint's receive
// buffer holds whole, so nothing is dropped.
constexpr int kBatch = 400;
constexpr qint64 kNoProgressLimitMs = 3000;
constexpr int kDefaultRuns = 5;
// The flood: datagrams the devices keep ahead of the rows the window has made, in batches; the
// endpoint's receive buffer holds that many whole, so nothing is dropped.
constexpr int kFloodInFlight = 8000;
constexpr int kFloodBatch = 1000;
// The endpoint's receive buffer request, which the socket floor makes too.
constexpr int kReceiveBufferBytes = 8 * 1024 * 1024;
constexpr int kIdleMs = 2000;

struct Result {
    int rows = 0;
    double seconds = 0;      // wall time
    double cpuSeconds = 0;   // user + system time of the process (steadier on a busy machine)
    double sendSeconds = 0;  // of the wall time: the devices' side, sending the datagrams
    long maxRssKb = 0;
    double longestBusyMs = 0;
    bool ok = false;
    double idleCpuSeconds = 0;  // bursts: processor time while the window sat idle afterwards
};

// Processor time of the process, as the scheduler counts it (to the nanosecond); the user and
// system times of getrusage advance in whole clock ticks, too coarse for the smaller runs.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

long MaxRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A bijection of [0, count): an invertible mix on the enclosing power of two, walked again
// while it lands outside the range (the walk stays on the cycle of `index`, so it ends inside).
int ShuffledIndex(int index, int count)
{
    if (count <= 1)
        return index;
    const auto size = std::bit_ceil(static_cast<std::uint32_t>(count));
    const std::uint32_t mask = size - 1;
    const int shift = std::max(1, std::countr_zero(size) / 2);
    auto x = static_cast<std::uint32_t>(index);
    do {
        x = (x * 0x9E3779B1u + 0x7F4A7C15u) & mask;  // odd factor: a permutation modulo 2^k
        x ^= x >> shift;                             // so is this
        x = (x * 0x85EBCA6Bu) & mask;
    } while (x >= static_cast<std::uint32_t>(count));
    return static_cast<int>(x);
}

// Reply `index` of N distinct replies, in an order unrelated to the IP address order; made when
// it is sent, so the benchmark's own memory does not grow with N.
DEVICE_PACKET ReplyAt(int index, int count)
{
    const int n = ShuffledIndex(index, count);
    const auto b = [n](int shift) { return static_cast<std::uint8_t>((n >> shift) & 0xFF); };
    DEVICE_PACKET reply;
    reply.SetIpAddress({10, b(16), b(8), b(0)});
    reply.SetSubnetMask({255, 0, 0, 0});
    reply.SetGateway({10, 0, 0, 1});
    reply.SetMacAddress({0x00, 0x1A, 0x2B, b(16), b(8), b(0)});
    std::array<char, 12> name{};
    std::snprintf(name.data(), name.size(), "dev%d", n % 997);  // many equal names
    reply.SetNameField(name.data());
    reply.SetVersion(1, 0x30);
    reply.SetModelCode(kModelCodeMarven);
    return reply;
}

QByteArray Bytes(const DEVICE_PACKET& packet)
{
    return QByteArray(reinterpret_cast<const char*>(packet.bytes.data()), static_cast<qsizetype>(packet.bytes.size()));
}

// Sends N replies in batches and lets the receiver take them (`pump`, the event loop for the
// windows) until it has each batch. `rows` reports how many rows the receiver holds.
template <typename RowCount, typename Pump>
Result Feed(int count, QUdpSocket& sender, std::uint16_t port, RowCount rows, Pump pump)
{
    Result result;
    const double cpuStart = CpuSeconds();
    QElapsedTimer total;
    total.start();
    std::size_t sent = 0;
    const auto allReplies = static_cast<std::size_t>(count);
    while (sent < allReplies) {
        const std::size_t end = std::min(allReplies, sent + kBatch);
        QElapsedTimer sending;
        sending.start();
        for (; sent < end; ++sent)
            sender.writeDatagram(Bytes(ReplyAt(static_cast<int>(sent), count)), QHostAddress(QHostAddress::LocalHost),
                                 port);
        result.sendSeconds += static_cast<double>(sending.nsecsElapsed()) / 1e9;
        QElapsedTimer idle;
        idle.start();
        int before = rows();
        while (rows() < static_cast<int>(sent)) {
            QElapsedTimer busy;
            busy.start();
            pump();
            result.longestBusyMs = std::max(result.longestBusyMs, static_cast<double>(busy.nsecsElapsed()) / 1e6);
            if (rows() != before) {
                before = rows();
                idle.start();
            } else if (idle.elapsed() > kNoProgressLimitMs) {
                std::fprintf(stderr, "no progress: %d rows of %zu sent\n", rows(), sent);
                return result;
            }
        }
    }
    result.seconds = static_cast<double>(total.nsecsElapsed()) / 1e9;
    result.cpuSeconds = CpuSeconds() - cpuStart;
    result.rows = rows();
    result.ok = true;
    return result;
}

// Endpoint addresses for the program on loopback: a port that was free a moment ago, talking to
// the devices' port.
EndpointAddresses LoopbackAddresses(std::uint16_t devicePort)
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QHostAddress::LocalHost), 0);
    EndpointAddresses addresses;
    addresses.bindAddress = QHostAddress(QHostAddress::LocalHost);
    addresses.localPort = probe.localPort();
    addresses.destination = QHostAddress(QHostAddress::LocalHost);
    addresses.devicePort = devicePort;
    return addresses;
}

// ---- The program's own road ---------------------------------------------------------------------

void ProcessEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

Result RunView(int count)
{
    QUdpSocket sender;
    sender.bind(QHostAddress(QHostAddress::LocalHost), 0);
    const EndpointAddresses addresses = LoopbackAddresses(sender.localPort());

    CDorvexDoc document;
    CMainFrame frame(document, nullptr, addresses);
    if (frame.OnCreate() != 0)
        return {};
    frame.show();
    QCoreApplication::processEvents();
    CDorvexView* view = frame.View();

    const auto shownRows = [view] { return view->GetItemCount(); };
    Result result = Feed(count, sender, view->Endpoint()->LocalPort(), shownRows, ProcessEvents);
    // The rows must be what the program shows: all of them, in IP address order.
    for (int row = 1; result.ok && row < view->GetItemCount(); ++row) {
        if (CompareRowRecords(view->GetItemRecord(row - 1), view->GetItemRecord(row), view->SortParam()) > 0) {
            std::fprintf(stderr, "rows %d and %d out of order\n", row - 1, row);
            result.ok = false;
        }
    }
    result.ok = result.ok && view->Search()->Online() == count;
    result.maxRssKb = MaxRssKb();
    return result;
}

// ---- The socket floor ----------------------------------------------------------------------------

// What receiving alone costs: the same datagrams, sent the same way, into a loopback socket with
// the endpoint's receive buffer request, read by a bare loop that only counts them.
Result RunFloor(int count)
{
    QUdpSocket sender;
    sender.bind(QHostAddress(QHostAddress::LocalHost), 0);
    const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int bufferBytes = kReceiveBufferBytes;
    ::setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(socket);
        return {};
    }

    constexpr std::size_t kMessages = 64;
    std::array<std::array<char, DEVICE_PACKET::kSize + 8>, kMessages> buffers{};
    std::array<iovec, kMessages> parts{};
    std::array<mmsghdr, kMessages> messages{};
    for (std::size_t i = 0; i < kMessages; ++i) {
        parts[i] = iovec{buffers[i].data(), buffers[i].size()};
        messages[i].msg_hdr.msg_iov = &parts[i];
        messages[i].msg_hdr.msg_iovlen = 1;
    }
    int received = 0;
    const auto receive = [&] {
        pollfd ready{socket, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0)
            return;
        const int got = ::recvmmsg(socket, messages.data(), kMessages, MSG_DONTWAIT, nullptr);
        if (got > 0)
            received += got;
    };
    const auto receivedCount = [&received] { return received; };
    Result result = Feed(count, sender, ntohs(address.sin_port), receivedCount, receive);
    ::close(socket);
    result.maxRssKb = MaxRssKb();
    return result;
}

// ---- One burst, one flood -------------------------------------------------------------------------

// Replies sent from another thread as devices send on their own; the endpoint's receive buffer
// holds what the window has not read yet. A burst sends everything at once; a flood keeps at
// most kFloodInFlight datagrams ahead of the rows made, so a long stream is not cut short by a
// full buffer. The longest gap between two ticks of a 1 ms timer is how long the window could
// not take events (input, painting). Afterwards the window sits idle for a while; its processor
// time then is reported too.
Result RunBurst(int count, bool flood)
{
    QUdpSocket devicePort;  // a free port for the devices
    devicePort.bind(QHostAddress(QHostAddress::LocalHost), 0);
    const EndpointAddresses addresses = LoopbackAddresses(devicePort.localPort());

    CDorvexDoc document;
    CMainFrame frame(document, nullptr, addresses);
    if (frame.OnCreate() != 0)
        return {};
    frame.show();
    QCoreApplication::processEvents();
    CDorvexView* view = frame.View();
    const std::uint16_t port = view->Endpoint()->LocalPort();

    QElapsedTimer sinceTick;
    double longestGapMs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.start();
    });
    ticker.start(1);
    QCoreApplication::processEvents();

    Result result;
    const double cpuStart = CpuSeconds();
    QElapsedTimer total;
    total.start();
    sinceTick.start();
    std::atomic<int> rowsMade = 0;
    std::atomic<bool> stop = false;
    std::thread devices([&rowsMade, &stop, port, count, flood] {
        const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int sent = 0; sent < count && !stop; ++sent) {
            while (flood && sent % kFloodBatch == 0 && sent - rowsMade > kFloodInFlight - kFloodBatch && !stop)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            const DEVICE_PACKET reply = ReplyAt(sent, count);
            ::sendto(socket, reply.bytes.data(), reply.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                     sizeof to);
        }
        ::close(socket);
    });
    QElapsedTimer idle;
    idle.start();
    int before = 0;
    while (view->GetItemCount() < count && idle.elapsed() < kNoProgressLimitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        rowsMade = view->GetItemCount();
        if (view->GetItemCount() != before) {
            before = view->GetItemCount();
            idle.start();
        }
    }
    stop = true;
    devices.join();
    longestGapMs = std::max(longestGapMs, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
    result.seconds = static_cast<double>(total.nsecsElapsed()) / 1e9;
    result.cpuSeconds = CpuSeconds() - cpuStart;
    result.rows = view->GetItemCount();
    result.longestBusyMs = longestGapMs;
    result.ok = result.rows > 0;
    if (result.rows < count)
        std::fprintf(stderr, "%s: %d of %d replies arrived (the rest did not fit the receive buffer)\n",
                     flood ? "flood" : "burst", result.rows, count);

    // The burst has been shown; then nothing happens for a while, and nothing should run.
    ticker.stop();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 100)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QEventLoop quiet;
    QTimer::singleShot(kIdleMs, &quiet, &QEventLoop::quit);
    const double idleStart = CpuSeconds();
    quiet.exec();
    result.idleCpuSeconds = CpuSeconds() - idleStart;
    result.maxRssKb = MaxRssKb();
    return result;
}

// ---- The straightforward approach ----------------------------------------------------------------

// A list that finds repeats by walking every reply accepted so far and sorts all rows again after
// each new one.
class StraightforwardList final : public QWidget {
public:
    StraightforwardList()
    {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(&m_list);
        layout->addWidget(&m_count);
        static constexpr std::array<const char*, 6> headings = {"Device Name", "IP Address", "Subnet Mask",
                                                                "Gateway IP",  "MAC",        "Version"};
        m_list.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
        for (int c = 0; c < 6; ++c) {
            std::string heading = headings[static_cast<std::size_t>(c)];
            LVCOLUMNA d;
            d.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            d.fmt = c == 5 ? LVCFMT_RIGHT : LVCFMT_LEFT;
            d.pszText = heading.data();
            d.cx = 120;
            m_list.InsertColumn(c, d);
        }
        m_socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
        // The same receive buffer as the program's endpoint asks for.
        m_socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(8 * 1024 * 1024));
        QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] { Receive(); });
    }
    ~StraightforwardList() override { m_list.DeleteAllItems(); }
    StraightforwardList(const StraightforwardList&) = delete;
    StraightforwardList& operator=(const StraightforwardList&) = delete;

    std::uint16_t Port() const { return m_socket.localPort(); }
    int Rows() const { return m_list.GetItemCount(); }

private:
    void Receive()
    {
        while (m_socket.hasPendingDatagrams()) {
            DEVICE_PACKET reply;
            if (m_socket.pendingDatagramSize() != static_cast<qint64>(DEVICE_PACKET::kSize)) {
                m_socket.readDatagram(nullptr, 0);
                continue;
            }
            m_socket.readDatagram(reinterpret_cast<char*>(reply.bytes.data()),
                                  static_cast<qint64>(DEVICE_PACKET::kSize));
            if (std::find(m_accepted.begin(), m_accepted.end(), reply.bytes) != m_accepted.end())
                continue;
            m_accepted.push_back(reply.bytes);
            AddRow(reply);
        }
    }

    void AddRow(const DEVICE_PACKET& reply)
    {
        m_records.push_back(std::make_unique<std::string>(BuildRowRecord(reply)));
        const std::string& record = *m_records.back();
        LVITEMA item;
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        item.iItem = m_list.GetItemCount();
        item.pszText = const_cast<char*>(RowRecordField(record, 0).data());
        item.iImage = RowIconIndex(reply.ModelCode());
        item.lParam = RowRecordItemData(record);
        const int row = m_list.InsertItem(item);
        for (int c = 1; c < 6; ++c) {
            LVITEMA cell;
            cell.iSubItem = c;
            cell.pszText = const_cast<char*>(RowRecordField(record, c).data());
            m_list.SetItemText(row, cell);
        }
        m_list.SortItems(&CompareDeviceRows, 2);
        // The count is shown as the view shows it: redrawn at once at most once a frame.
        m_count.setText(QString::asprintf("Online : %d", m_list.GetItemCount()));
        if (!m_countRedrawn.isValid() || m_countRedrawn.hasExpired(15)) {
            m_count.repaint();
            m_countRedrawn.start();
        }
    }

    CListViewEx m_list;
    QLabel m_count;
    QElapsedTimer m_countRedrawn;
    QUdpSocket m_socket;
    std::vector<std::array<std::uint8_t, DEVICE_PACKET::kSize>> m_accepted;
    std::vector<std::unique_ptr<std::string>> m_records;
};

Result RunStraightforward(int count)
{
    QUdpSocket sender;
    sender.bind(QHostAddress(QHostAddress::LocalHost), 0);
    StraightforwardList list;
    list.resize(800, 500);
    list.show();
    QCoreApplication::processEvents();
    const auto listRows = [&list] { return list.Rows(); };
    Result result = Feed(count, sender, list.Port(), listRows, ProcessEvents);
    result.maxRssKb = MaxRssKb();
    return result;
}

// ---- Driver -------------------------------------------------------------------------------------

int Child(const QString& mode, int count)
{
    const Result result = mode == QLatin1String("baseline") ? RunStraightforward(count)
                          : mode == QLatin1String("burst")  ? RunBurst(count, false)
                          : mode == QLatin1String("flood")  ? RunBurst(count, true)
                          : mode == QLatin1String("floor")  ? RunFloor(count)
                                                            : RunView(count);
    std::printf("%d %.6f %.6f %.6f %ld %.3f %d %.6f\n", result.rows, result.seconds, result.cpuSeconds,
                result.sendSeconds, result.maxRssKb, result.longestBusyMs, result.ok ? 1 : 0, result.idleCpuSeconds);
    return result.ok ? 0 : 1;
}

std::optional<Result> RunChildOnce(const QString& program, const QString& mode, int count)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, {QStringLiteral("--child"), mode, QString::number(count)});
    if (!child.waitForFinished(30 * 60 * 1000) || child.exitCode() != 0)
        return std::nullopt;
    const QStringList fields = QString::fromLatin1(child.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
    if (fields.size() != 8)
        return std::nullopt;
    Result result;
    result.rows = fields[0].toInt();
    result.seconds = fields[1].toDouble();
    result.cpuSeconds = fields[2].toDouble();
    result.sendSeconds = fields[3].toDouble();
    result.maxRssKb = fields[4].toLong();
    result.longestBusyMs = fields[5].toDouble();
    result.ok = fields[6] == QLatin1String("1");
    result.idleCpuSeconds = fields[7].toDouble();
    return result;
}

// Now and then a batch sent on loopback never arrives (the namespace's UDP counters count it out
// but not in, and count no error); the receiver then waits in vain and the child fails.
// Such a run says nothing about the receiver, so it is run again, at most twice.
std::optional<Result> RunChild(const QString& program, const QString& mode, int count)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (std::optional<Result> result = RunChildOnce(program, mode, count))
            return result;
        std::fprintf(stderr, "%s N=%d failed; running it again\n", qPrintable(mode), count);
    }
    return std::nullopt;
}

void Print(const char* label, int count, const Result& r)
{
    // "receiving" leaves out the sending of the datagrams, which is the devices' work.
    const double receiving = r.seconds - r.sendSeconds;
    std::printf("%-16s N=%6d  %8.0f rows/s (receiving: %8.0f rows/s, %6.2f us/row, CPU %6.2f us/row)  "
                "peak %6.1f MB  longest busy %6.2f ms\n",
                label, count, r.rows / r.seconds, r.rows / receiving, receiving * 1e6 / r.rows,
                (r.cpuSeconds - r.sendSeconds) * 1e6 / r.rows, static_cast<double>(r.maxRssKb) / 1024.0,
                r.longestBusyMs);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // A profile store of the benchmark's own: no saved layout changes the list.
    const QTemporaryDir profile;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile.path());

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--child"))
        return Child(arguments[2], arguments[3].toInt());

    const QString self = QCoreApplication::applicationFilePath();
    std::printf("Discovery: datagrams on loopback into the shown main window, batches of %d\n", kBatch);
    bool ok = true;
    std::vector<std::pair<int, Result>> view;
    // Each size runs several times, the sizes taking turns so that a slower spell of a shared
    // machine falls on all of them alike; the run with the median processor time per row is the
    // one printed and compared, as single runs vary by a fifth and more.
    const int runs = arguments.size() >= 2 ? std::max(1, arguments[1].toInt()) : kDefaultRuns;
    const std::array<int, 3> counts = {1000, 10000, 50000};
    std::array<std::vector<Result>, 3> results;
    constexpr int kFloorCount = 50000;
    std::vector<Result> floors;
    for (int run = 0; run < runs; ++run) {
        for (std::size_t size = 0; size < counts.size(); ++size) {
            const std::optional<Result> r = RunChild(self, QStringLiteral("view"), counts[size]);
            if (r && r->ok)
                results[size].push_back(*r);
        }
        if (const std::optional<Result> r = RunChild(self, QStringLiteral("floor"), kFloorCount); r && r->ok)
            floors.push_back(*r);
    }
    const auto perRowUs = [](const Result& r) { return (r.cpuSeconds - r.sendSeconds) * 1e6 / r.rows; };
    std::vector<Result> fastest;  // beside `view`, size by size
    for (std::size_t size = 0; size < counts.size(); ++size) {
        const int count = counts[size];
        std::vector<Result>& sized = results[size];
        if (sized.size() != static_cast<std::size_t>(runs)) {
            std::printf("view N=%d failed\n", count);
            ok = false;
            continue;
        }
        std::sort(sized.begin(), sized.end(),
                  [&](const Result& a, const Result& b) { return perRowUs(a) < perRowUs(b); });
        const Result& median = sized[sized.size() / 2];
        Print("view", count, median);
        if (runs > 1)
            std::printf("%-16s N=%6d  median of %d runs; CPU per row ranged %.2f .. %.2f us\n", "", count, runs,
                        perRowUs(sized.front()), perRowUs(sized.back()));
        view.emplace_back(count, median);
        fastest.push_back(sized.front());
    }
    // The socket floor: the median run by wall time, and the view's rate as a part of it.
    if (floors.size() == static_cast<std::size_t>(runs)) {
        std::sort(floors.begin(), floors.end(), [](const Result& a, const Result& b) { return a.seconds < b.seconds; });
        const Result& floor = floors[floors.size() / 2];
        // On loopback the kernel's share of receiving runs in the sender's call, so the floor is
        // given by wall time, sending included, as the view's rate is.
        const double floorRate = floor.rows / floor.seconds;
        std::printf("%-16s N=%6d  %8.0f datagrams/s (CPU %5.2f us/datagram, sending included); "
                    "a bare receive loop, the same sending\n",
                    "socket floor", kFloorCount, floorRate, floor.cpuSeconds * 1e6 / floor.rows);
        for (const auto& [n, v] : view)
            if (n == kFloorCount)
                std::printf("%-16s N=%6d  the view's %.0f rows/s are %.2f of the floor (target at least 0.33)\n",
                            "view / floor", n, v.rows / v.seconds, (v.rows / v.seconds) / floorRate);
    } else {
        std::printf("socket floor N=%d failed\n", kFloorCount);
        ok = false;
    }
    // Memory per row: the peak of a full list against the program with one row.
    {
        constexpr int kMemoryRows = 100000;
        const std::optional<Result> empty = RunChild(self, QStringLiteral("view"), 1);
        const std::optional<Result> full = RunChild(self, QStringLiteral("view"), kMemoryRows);
        if (empty && empty->ok && full && full->ok)
            std::printf("%-16s N=%6d  %.0f bytes per row (peak %.1f MB, the program with one row %.1f MB)\n",
                        "memory per row", kMemoryRows,
                        static_cast<double>(full->maxRssKb - empty->maxRssKb) * 1024.0 / kMemoryRows,
                        static_cast<double>(full->maxRssKb) / 1024.0, static_cast<double>(empty->maxRssKb) / 1024.0);
        else
            std::printf("memory per row N=%d failed\n", kMemoryRows);
    }
    {
        const std::optional<Result> r = RunChild(self, QStringLiteral("burst"), 10000);
        if (r && r->ok) {
            std::printf("%-16s N=%6d  %d rows in %.3f s (CPU %.3f s); longest time without taking events %.1f ms\n",
                        "one burst", 10000, r->rows, r->seconds, r->cpuSeconds, r->longestBusyMs);
            std::printf("%-16s N=%6d  processor time in %d ms idle after the burst was shown: %.2f ms\n", "idle after",
                        10000, kIdleMs, r->idleCpuSeconds * 1e3);
        } else {
            std::printf("one burst N=10000 failed\n");
        }
    }
    {
        constexpr int kFloodRows = 100000;
        const std::optional<Result> r = RunChild(self, QStringLiteral("flood"), kFloodRows);
        if (r && r->ok)
            std::printf("%-16s N=%6d  %d rows of %d sent in %.3f s (CPU %.3f s), at most %d ahead; "
                        "longest time without taking events %.1f ms\n",
                        "one flood", kFloodRows, r->rows, kFloodRows, r->seconds, r->cpuSeconds, kFloodInFlight,
                        r->longestBusyMs);
        else
            std::printf("one flood N=%d failed\n", kFloodRows);
    }
    for (const int count : {1000, 10000}) {
        const std::optional<Result> r = RunChild(self, QStringLiteral("baseline"), count);
        if (!r || !r->ok) {
            std::printf("straightforward N=%d failed\n", count);
            ok = false;
            continue;
        }
        Print("straightforward", count, *r);
        for (const auto& [n, v] : view)
            if (n == count)
                std::printf("%-16s N=%6d  the view is %.1f times faster (receiving, wall time)\n", "ratio", count,
                            (r->seconds - r->sendSeconds) / (v.seconds - v.sendSeconds));
    }
    // Growth of the cost per row against log N, by the median runs and by the fastest runs
    // (the least disturbed by the rest of the machine).
    for (std::size_t i = 1; i < view.size(); ++i) {
        const auto& [n0, r0] = view[i - 1];
        const auto& [n1, r1] = view[i];
        const double fastest0 = perRowUs(fastest[i - 1]);
        const double fastest1 = perRowUs(fastest[i]);
        std::printf("CPU cost per row N=%d -> N=%d: x%.2f by the medians, x%.2f by the fastest runs "
                    "(log2 N grows x%.2f)\n",
                    n0, n1, perRowUs(r1) / perRowUs(r0), fastest1 / fastest0, std::log2(n1) / std::log2(n0));
    }
    return ok ? 0 : 1;
}
