// Keeping the list sorted as rows arrive: the rows must end in exactly the order a full stable
// sort of the arrival sequence gives, for every sort parameter and however Auto Arrange and the
// list type were switched meanwhile, without a full sort per row; and a burst of 10,000
// replies becomes 10,000 sorted rows.
#include "listview/DeviceRowOrder.h"
#include "platform/listcontrol/ListControl.h"
#include "protocol/DeviceRow.h"
#include "resources/StringTable.h"
#include "tests/deviceview/DeviceViewFixture.h"
#include "tests/support/WaitUntil.h"

#include <QAbstractItemModel>

#include <algorithm>
#include <random>

namespace vantor {
namespace {

using namespace vantor::lc;
using test::Device;

// Replies with many ties: few addresses, few names (some not ASCII), random MACs and gateways.
class ReplyMaker final {
public:
    explicit ReplyMaker(unsigned seed)
        : m_random(seed)
    { }

    DEVICE_PACKET Next()
    {
        static const std::array<const char*, 8> names = {"Alpha",       "alpha",   "Beta", "%d%s",
                                                         "Caf\xc3\xa9", "Caf\xe9", "",     "Zulu"};
        const auto small = [this](int n) { return static_cast<std::uint8_t>(m_random() % static_cast<unsigned>(n)); };
        const std::uint8_t model = small(4) == 0 ? 7 : 31;
        DEVICE_PACKET reply =
            Device(names[small(8)], {10, 0, small(3), static_cast<std::uint8_t>(small(12) * 10)}, model,
                   {0, 0x1A, small(4), small(4), small(255), small(255)}, {192, 168, small(3), small(3)});
        return reply;
    }

private:
    std::mt19937 m_random;
};

std::vector<std::string> StableSorted(std::vector<std::string> records, int sortParam)
{
    std::stable_sort(records.begin(), records.end(), [sortParam](const std::string& a, const std::string& b) {
        return CompareRowRecords(a, b, sortParam) < 0;
    });
    return records;
}

class DeviceViewScaleTest : public test::DeviceViewFixture {
protected:
    std::vector<std::string> Records() const
    {
        std::vector<std::string> records;
        for (int row = 0; row < View().GetItemCount(); ++row)
            records.push_back(View().GetItemRecord(row));
        return records;
    }
};

// Header clicks (control columns) that lead from the start parameter 2 to each parameter.
struct ClickPath {
    std::vector<int> clicks;
    int param;
};

TEST_F(DeviceViewScaleTest, RowsSortedOnArrivalMatchAFullStableSortForEveryParameter)
{
    const std::vector<ClickPath> paths = {
        {{}, 2},      {{1}, -2}, {{0}, 1},     {{0, 0}, -1}, {{2}, 3},
        {{2, 2}, -3}, {{3}, 4},  {{3, 3}, -4}, {{4}, 5},     {{4, 4}, -5},
    };
    unsigned seed = 1;
    for (const ClickPath& path : paths) {
        SCOPED_TRACE(path.param);
        CreateFrame(false);
        for (const int column : path.clicks)
            ClickHeader(column);
        ASSERT_EQ(View().SortParam(), path.param);

        ReplyMaker maker(seed++);
        std::vector<std::string> arrived;
        const int sortsBefore = View().FullSortCount();
        for (int i = 0; i < 300; ++i) {
            const DEVICE_PACKET reply = maker.Next();
            arrived.push_back(BuildRowRecord(reply));
            Add(reply);
        }
        EXPECT_LE(View().FullSortCount() - sortsBefore, 1) << "no full sort per row";
        EXPECT_EQ(Records(), StableSorted(arrived, path.param));
        EXPECT_EQ(View().GetItemCount(), 300);

        // A new search empties the list; the same parameter keeps the next rows in order.
        Frame().RouteCommand(ids::ID_REFRESH);
        arrived.clear();
        for (int i = 0; i < 100; ++i) {
            const DEVICE_PACKET reply = maker.Next();
            arrived.push_back(BuildRowRecord(reply));
            Add(reply);
        }
        EXPECT_EQ(Records(), StableSorted(arrived, path.param));
        m_frame.reset();
    }
}

TEST_F(DeviceViewScaleTest, SwitchingAutoArrangeAndListTypesStillEndsInStableSortOrder)
{
    CreateFrame(false);
    ReplyMaker maker(99);
    std::vector<std::string> arrived;
    const auto add = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const DEVICE_PACKET reply = maker.Next();
            arrived.push_back(BuildRowRecord(reply));
            Add(reply);
        }
    };
    add(50);
    Frame().RouteCommand(ids::ID_VIEW_AUTOARRANGE);  // Auto Arrange off: arrival order from here
    add(40);
    {
        std::vector<std::string> expected = StableSorted({arrived.begin(), arrived.begin() + 50}, 2);
        expected.insert(expected.end(), arrived.begin() + 50, arrived.end());
        EXPECT_EQ(Records(), expected);
    }
    Frame().RouteCommand(ids::ID_VIEW_AUTOARRANGE);  // on again: the next row sorts everything
    add(1);
    EXPECT_EQ(Records(), StableSorted(arrived, 2));

    Frame().RouteCommand(ids::ID_VIEW_SMALLICON);  // small icons: rows stay where they arrive
    add(3);
    Frame().RouteCommand(ids::ID_VIEW_DETAILS);  // details: sorted at once
    EXPECT_EQ(Records(), StableSorted(arrived, 2));
    add(30);
    EXPECT_EQ(Records(), StableSorted(arrived, 2));

    // Rows deleted from the middle leave the rest in order.
    ASSERT_TRUE(View().DeleteItem(10));
    ASSERT_TRUE(View().DeleteItem(0));
    std::vector<std::string> remaining = Records();
    add(20);
    std::vector<std::string> expectedAfter = remaining;
    expectedAfter.insert(expectedAfter.end(), arrived.end() - 20, arrived.end());
    EXPECT_EQ(Records(), StableSorted(expectedAfter, 2));
}

TEST_F(DeviceViewScaleTest, RowsPlacedOrMovedKeepTheirCellsInHiddenColumns)
{
    CreateFrame(false);
    View().SetColumnVisible(4, false);  // MAC hidden: its texts live only in the item records
    const auto add = [&](int n) {
        const auto b = static_cast<std::uint8_t>(n);
        Add(Device("m" + std::to_string(n), {10, 0, 0, b}, 31, {0, 0, 0, 0, 0, b}));
    };
    // Rows put straight into their place.
    for (int n = 30; n >= 21; --n)
        add(n);
    // Rows that arrive while Auto Arrange is off stay at the end; the next row with it on moves
    // each of them into place (a few late rows are moved, not sorted).
    Frame().RouteCommand(ids::ID_VIEW_AUTOARRANGE);
    for (int n = 12; n >= 1; --n)
        add(n);
    Frame().RouteCommand(ids::ID_VIEW_AUTOARRANGE);
    const int sortsBefore = View().FullSortCount();
    add(15);
    EXPECT_EQ(View().FullSortCount(), sortsBefore) << "the late rows were moved one by one";

    View().SetColumnVisible(4, true);
    const QAbstractItemModel* model = View().Control().Model();
    ASSERT_EQ(View().GetItemCount(), 23);
    std::vector<std::string> records = Records();
    EXPECT_EQ(records, StableSorted(records, 2));
    for (int row = 0; row < View().GetItemCount(); ++row) {
        const std::string& record = records[static_cast<std::size_t>(row)];
        EXPECT_EQ(model->data(model->index(row, 4)).toString().toStdString(), std::string(RowRecordField(record, 4)))
            << row;
        EXPECT_EQ(model->data(model->index(row, 0)).toString().toStdString(), std::string(RowRecordField(record, 0)))
            << row;
    }
}

TEST_F(DeviceViewScaleTest, TenThousandRepliesInOneBurstBecomeTenThousandSortedRows)
{
    CreateFrame();
    const int sortsBefore = View().FullSortCount();
    // Distinct replies in an order unrelated to the sort order.
    for (int i = 0; i < 10000; ++i) {
        const int n = (i * 7919) % 10000;
        Add(Device("dev" + std::to_string(n),
                   {10, static_cast<std::uint8_t>(n / 2500), static_cast<std::uint8_t>((n / 50) % 50),
                    static_cast<std::uint8_t>(n % 50)},
                   31, {0, 0x1A, 0, 0, static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n & 0xFF)}));
    }
    EXPECT_LE(View().FullSortCount() - sortsBefore, 1);
    ASSERT_EQ(View().GetItemCount(), 10000);
    EXPECT_EQ(OnlinePaneText(), QStringLiteral("Online : 10000"));
    const std::vector<std::string> records = Records();
    for (std::size_t i = 1; i < records.size(); ++i)
        ASSERT_LE(CompareRowRecords(records[i - 1], records[i], 2), 0) << i;
    EXPECT_EQ(View().RowRecordCount(), 10000);
    test::RunEventLoopFor(50);  // the list lays out and paints its rows
    EXPECT_EQ(View().Control().Model()->rowCount(), 10000);
}

}  // namespace
}  // namespace vantor
