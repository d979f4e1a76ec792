// Where rows inserted one at a time end up, checked against inserting them into a real list.

#include "platform/listcontrol/RowInsertions.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace vantor::lc {
namespace {

TEST(RowInsertions, MatchesInsertingOneAtATime)
{
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        // Few insertions into many rows and many into few take different roads.
        const int rowsBefore = static_cast<int>(random() % (round % 2 == 0 ? 12 : 400));
        const int inserted = static_cast<int>(random() % 12);
        // The list itself: earlier rows as 0..rowsBefore-1, inserted ones as -1.
        std::vector<int> list(static_cast<std::size_t>(rowsBefore));
        for (int i = 0; i < rowsBefore; ++i)
            list[static_cast<std::size_t>(i)] = i;
        std::vector<int> positions;
        for (int i = 0; i < inserted; ++i) {
            const int at = round % 5 == 0 ? static_cast<int>(list.size())  // appends only
                                          : static_cast<int>(random() % (list.size() + 1));
            positions.push_back(at);
            list.insert(list.begin() + at, -1);
        }
        const RowInsertions insertions(positions, static_cast<int>(list.size()));
        std::vector<int> expectedInserted;
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i] < 0)
                expectedInserted.push_back(static_cast<int>(i));
            else
                EXPECT_EQ(insertions.NewRowOf(list[i]), static_cast<int>(i)) << "round " << round;
        }
        EXPECT_EQ(insertions.InsertedRows(), expectedInserted) << "round " << round;
        EXPECT_EQ(insertions.EarlierRowsStay(), inserted == 0 || expectedInserted.front() == rowsBefore)
            << "round " << round;
    }
}

}  // namespace
}  // namespace vantor::lc
