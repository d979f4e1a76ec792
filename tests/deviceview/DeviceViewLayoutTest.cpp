// A column layout placed in the per-user profile before start: a sound block restores
// visibility, widths, display order and sort key; anything else leaves the default list and
// never crashes.
#include "listview/ColumnLayout.h"
#include "platform/ProfileStore.h"
#include "platform/listcontrol/ListControl.h"
#include "tests/deviceview/DeviceViewFixture.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QProcess>
#include <QSettings>

#include <array>
#include <climits>
#include <functional>
#include <random>

namespace vantor {
namespace {

using namespace vantor::lc;
using test::Device;

constexpr std::array kDefaultWidths = {120, 120, 120, 120, 130, 95};

QByteArray Block(const ColumnLayout& layout)
{
    const std::vector<std::uint8_t> bytes = layout.Encode();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// A layout of the six columns: column i shown with width 100 + i and order i, unsorted.
ColumnLayout Plain()
{
    ColumnLayout layout;
    for (int i = 0; i < 6; ++i)
        layout.columns.push_back({true, 100 + i, i});
    return layout;
}

class DeviceViewLayoutTest : public test::DeviceViewFixture {
protected:
    void ExpectDefaultLayout()
    {
        CDorvexView& view = View();
        for (int c = 0; c < 6; ++c) {
            EXPECT_TRUE(view.IsColumnVisible(c)) << c;
            EXPECT_EQ(view.GetColumnWidth(c), kDefaultWidths[static_cast<std::size_t>(c)]) << c;
            EXPECT_EQ(view.ColumnOrder(c), c) << c;
        }
        EXPECT_EQ(view.SortKey(), 2);
        EXPECT_EQ(view.SortParam(), 2);
    }
};

TEST_F(DeviceViewLayoutTest, NoSavedLayoutLeavesTheDefaults)
{
    test::ClearOverview();
    CreateFrame();
    ExpectDefaultLayout();
}

TEST_F(DeviceViewLayoutTest, SavedLayoutRestoresVisibilityWidthsOrderAndSortKey)
{
    ColumnLayout layout;
    layout.sortKey = -4;  // gateway, descending
    layout.columns = {{true, 150, 0}, {true, 110, 2}, {false, 90, 5}, {true, 100, 1}, {true, 140, 3}, {true, 80, 4}};
    test::WriteOverview(Block(layout));
    CreateFrame();
    CDorvexView& view = View();

    EXPECT_FALSE(view.IsColumnVisible(2));
    EXPECT_EQ(view.Control().GetColumnCount(), 5);
    const std::array<int, 6> widths = {150, 110, 0, 100, 140, 80};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(view.GetColumnWidth(c), widths[static_cast<std::size_t>(c)]) << c;
        EXPECT_EQ(view.ColumnOrder(c), layout.columns[static_cast<std::size_t>(c)].order) << c;
    }
    LVCOLUMNA hidden;
    hidden.mask = LVCF_WIDTH;
    ASSERT_TRUE(view.GetColumn(2, hidden));
    EXPECT_EQ(hidden.cx, 90) << "a hidden column keeps its width for when it is shown";

    // The header shows the visible columns in the saved order: name, gateway, IP, MAC, version.
    const QHeaderView* header = view.Control().Header();
    const std::array<QString, 5> shownOrder = {QStringLiteral("Device Name"), QStringLiteral("Gateway IP"),
                                               QStringLiteral("IP Address"), QStringLiteral("MAC"),
                                               QStringLiteral("Version")};
    for (int visual = 0; visual < 5; ++visual)
        EXPECT_EQ(view.Control().Model()->headerData(header->logicalIndex(visual), Qt::Horizontal).toString(),
                  shownOrder[static_cast<std::size_t>(visual)])
            << visual;

    EXPECT_EQ(view.SortKey(), -4);
    EXPECT_EQ(view.SortParam(), -4);

    Add(Device("b", {10, 0, 0, 1}, 31, {0, 0, 0, 0, 0, 1}, {172, 16, 0, 1}));
    Add(Device("c", {10, 0, 0, 2}, 31, {0, 0, 0, 0, 0, 2}, {172, 16, 0, 9}));
    Add(Device("a", {10, 0, 0, 3}, 31, {0, 0, 0, 0, 0, 3}, {172, 16, 0, 1}));
    EXPECT_EQ(ColumnTexts(3), (std::vector<std::string>{"172.16.0.9", "172.16.0.1", "172.16.0.1"}));
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"c", "a", "b"})) << "ties by name ascending";
    // The arrow is on the gateway column, now control column 2, pointing down.
    EXPECT_EQ(MarkedColumns(), std::vector<int>{2});
    EXPECT_EQ(SortMark(2), HDF_SORTDOWN);
    // The hidden column's texts are kept and come back with it.
    view.SetColumnVisible(2, true);
    EXPECT_EQ(ShownTexts(2), (std::vector<QString>{QStringLiteral("255.255.255.0"), QStringLiteral("255.255.255.0"),
                                                   QStringLiteral("255.255.255.0")}));
}

TEST_F(DeviceViewLayoutTest, SortKeyZeroKeepsArrivalOrder)
{
    test::WriteOverview(Block(Plain()));
    CreateFrame();
    EXPECT_EQ(View().SortKey(), 0);
    EXPECT_EQ(View().SortParam(), 0);
    for (const std::uint8_t n : std::array<std::uint8_t, 4>{7, 3, 9, 1})
        Add(Device("d" + std::to_string(n), {10, 0, 0, n}));
    EXPECT_EQ(ColumnTexts(1), (std::vector<std::string>{"10.0.0.7", "10.0.0.3", "10.0.0.9", "10.0.0.1"}));
    EXPECT_TRUE(View().IsSortArrowShown());
    EXPECT_TRUE(MarkedColumns().empty()) << "no column is the sorted one";
}

TEST_F(DeviceViewLayoutTest, VersionSortKeyComparesEveryRowEqual)
{
    ColumnLayout layout = Plain();
    layout.sortKey = 6;
    test::WriteOverview(Block(layout));
    CreateFrame();
    EXPECT_EQ(View().SortParam(), 6);
    for (const std::uint8_t n : std::array<std::uint8_t, 3>{5, 2, 8})
        Add(Device("v", {10, 0, 0, n}));
    EXPECT_EQ(ColumnTexts(1), (std::vector<std::string>{"10.0.0.5", "10.0.0.2", "10.0.0.8"}));
    EXPECT_EQ(MarkedColumns(), std::vector<int>{5});
}

#ifdef VANTOR_LAYOUTBLOCK_PATH
// The block made by vantor-layoutblock and written into the profile is the one the program
// applies.
TEST_F(DeviceViewLayoutTest, BlockWrittenByTheLayoutToolIsApplied)
{
    // The profile store of these tests: <dir>/Dorvex/Dorvex.conf.
    const QSettings profile(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kProfileOrganization),
                            QString::fromLatin1(kProfileApplication));
    const QString storeDir = QFileInfo(profile.fileName()).dir().absolutePath() + QStringLiteral("/..");

    QProcess tool;
    tool.start(QStringLiteral(VANTOR_LAYOUTBLOCK_PATH),
               {QStringLiteral("--columns"),
                QStringLiteral("shown:150,hidden:110:5,shown:100:1,shown:90:2,shown:130:3,shown:60:4"),
                QStringLiteral("--sort-key"), QStringLiteral("-1"), QStringLiteral("--write-profile"),
                QStringLiteral("--profile-dir"), storeDir});
    ASSERT_TRUE(tool.waitForFinished(10000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    CreateFrame();
    CDorvexView& view = View();
    EXPECT_FALSE(view.IsColumnVisible(1));
    EXPECT_EQ(view.GetColumnWidth(0), 150);
    EXPECT_EQ(view.GetColumnWidth(5), 60);
    EXPECT_EQ(view.ColumnOrder(1), 5);
    EXPECT_EQ(view.ColumnOrder(2), 1);
    EXPECT_EQ(view.SortKey(), -1);
    EXPECT_EQ(view.SortParam(), -1);
    Add(Device("a", {10, 0, 0, 1}));
    Add(Device("c", {10, 0, 0, 2}));
    Add(Device("b", {10, 0, 0, 3}));
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"c", "b", "a"}));
}
#endif

struct BadBlock {
    const char* what;
    QVariant value;
};

QByteArray WithExtraByte()
{
    QByteArray block = Block(Plain());
    block.append('\0');
    return block;
}

QByteArray WithCount(std::int32_t count)
{
    QByteArray block = Block(Plain());
    for (int i = 0; i < 4; ++i)
        block[i] = static_cast<char>((static_cast<std::uint32_t>(count) >> (8 * i)) & 0xFF);
    return block;
}

ColumnLayout WithSortKey(std::int32_t key)
{
    ColumnLayout layout = Plain();
    layout.sortKey = key;
    return layout;
}

ColumnLayout WithOrders(std::array<std::int32_t, 6> orders)
{
    ColumnLayout layout = Plain();
    for (std::size_t i = 0; i < 6; ++i)
        layout.columns[i].order = orders[i];
    return layout;
}

TEST_F(DeviceViewLayoutTest, MalformedBlocksLeaveTheDefaultList)
{
    const std::vector<BadBlock> blocks = {
        {"one byte more", WithExtraByte()},
        {"one byte less", Block(Plain()).chopped(1)},
        {"empty", QByteArray()},
        {"header only", QByteArray(8, '\0')},
        {"count 5", WithCount(5)},
        {"count -1", WithCount(-1)},
        {"count INT_MAX", WithCount(INT_MAX)},
        {"sort key 7", Block(WithSortKey(7))},
        {"sort key -7", Block(WithSortKey(-7))},
        {"sort key INT_MIN", Block(WithSortKey(INT_MIN))},
        {"order 6", Block(WithOrders({0, 1, 2, 3, 4, 6}))},
        {"order -1", Block(WithOrders({0, 1, 2, -1, 4, 5}))},
        {"order repeated", Block(WithOrders({0, 1, 1, 3, 4, 5}))},
        {"text, not binary", QStringLiteral("AAAAAA==")},
        {"a list", QStringList{QStringLiteral("1"), QStringLiteral("2")}},
        {"a number", 42},
    };
    for (const BadBlock& bad : blocks) {
        SCOPED_TRACE(bad.what);
        test::WriteOverview(bad.value);
        CreateFrame(false);
        ExpectDefaultLayout();
        Add(Device("z", {10, 0, 0, 2}));
        Add(Device("y", {10, 0, 0, 1}));
        EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"y", "z"}));
        m_frame.reset();
    }
}

TEST_F(DeviceViewLayoutTest, RandomBlocksOfTheRightSizeNeverCrash)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 40; ++round) {
        QByteArray block = WithCount(6);
        for (qsizetype i = 4; i < block.size(); ++i)
            block[i] = static_cast<char>(byte(random));
        if (round % 2 == 0) {
            // Mostly plausible: small sort key, orders a permutation, widths and visibility random.
            ColumnLayout layout = Plain();
            layout.sortKey = byte(random) % 13 - 6;
            std::array<int, 6> orders = {0, 1, 2, 3, 4, 5};
            std::shuffle(orders.begin(), orders.end(), random);
            for (std::size_t i = 0; i < 6; ++i)
                layout.columns[i] = {byte(random) % 2 == 0, byte(random) * 300, orders[i]};
            block = Block(layout);
        }
        SCOPED_TRACE(round);
        test::WriteOverview(block);
        CreateFrame(false);
        for (std::uint8_t n = 1; n <= 5; ++n)
            Add(Device("r", {10, 0, static_cast<std::uint8_t>(round), n}));
        EXPECT_EQ(View().GetItemCount(), 5);
        EXPECT_TRUE(View().IsColumnVisible(0)) << "the name column always stays";
        const long long key = View().SortKey();
        EXPECT_LE(key < 0 ? -key : key, 6);
        m_frame.reset();
    }
}

}  // namespace
}  // namespace vantor

namespace vantor {
namespace {

// Every size but the one a six-column block has, each a sound block cut short or padded with a
// plausible next column: ignored, the default list.
TEST_F(DeviceViewLayoutTest, BlocksOfEveryOtherSizeAreIgnored)
{
    ColumnLayout seven = Plain();
    seven.columns.push_back({true, 99, 6});
    const QByteArray longest = Block(seven) + Block(Plain());
    for (qsizetype size = 0; size <= longest.size(); ++size) {
        if (size == 62)
            continue;
        SCOPED_TRACE(size);
        QByteArray block = longest.left(size);
        if (size >= 4)
            block.replace(0, 4, QByteArray("\x06\x00\x00\x00", 4));  // the count still says six
        test::WriteOverview(block);
        CreateFrame(false);
        ExpectDefaultLayout();
        m_frame.reset();
    }
}

// A profile that cannot be read, whatever stands in its place, is no layout: the list starts
// with its defaults.
TEST_F(DeviceViewLayoutTest, AnUnreadableProfileLeavesTheDefaultList)
{
    test::WriteOverview(Block(WithSortKey(-3)));
    const QString path = QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                   QString::fromLatin1(kProfileOrganization), QString::fromLatin1(kProfileApplication))
                             .fileName();
    const QByteArray saved = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_FALSE(saved.isEmpty());
    struct Damage {
        const char* what;
        std::function<void()> apply;
    };
    const std::vector<Damage> damages = {
        // Without read permission (root reads it anyway; then it is simply applied).
        {"no read permission", [&] { QFile::setPermissions(path, QFileDevice::WriteOwner); }},
        {"a folder in its place",
         [&] {
             QFile::remove(path);
             QDir().mkpath(path);
         }},
        {"binary garbage",
         [&] {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
             file.write(QByteArray("\xff\xfe\x00[Settings]\x00Overview=@ByteArray(\x01", 38) +
                        QByteArray(4096, '\xee'));
         }},
        {"the value cut off", [&] {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
             file.write(saved.left(saved.indexOf("Overview=") + 20));
         }}};
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        damage.apply();
        CreateFrame(false);
        QFile probe(path);
        if (&damage == &damages.front() && probe.open(QIODevice::ReadOnly))
            EXPECT_EQ(View().SortKey(), -3) << "readable after all (running as root)";
        else
            ExpectDefaultLayout();
        Add(Device("a", {10, 0, 0, 1}));
        EXPECT_EQ(View().GetItemCount(), 1);
        m_frame.reset();
        // Back to a plain file with the block for the next damage.
        QDir(path).removeRecursively();
        QFile::remove(path);
        test::WriteOverview(Block(WithSortKey(-3)));
    }
}

}  // namespace
}  // namespace vantor
