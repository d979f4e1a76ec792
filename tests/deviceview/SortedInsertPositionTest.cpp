// The upper-bound position used to keep a sorted list sorted: inserting there one element after
// another must give exactly what a stable sort of the whole sequence gives.
#include "listview/SortedInsertPosition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

namespace vantor {
namespace {

int Compare(int a, int b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

TEST(SortedInsertPosition, GoesAfterEveryEqualElement)
{
    const std::vector<int> sorted = {1, 3, 3, 3, 7};
    struct Case {
        int value;
        int position;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{2, 1}, Case{3, 4}, Case{5, 4}, Case{7, 5}, Case{9, 5}}) {
        const int position =
            UpperBoundPosition(static_cast<int>(sorted.size()), [&](int i) { return Compare(c.value, sorted[i]); });
        EXPECT_EQ(position, c.position) << c.value;
    }
}

TEST(SortedInsertPosition, EmptyAndNegativeRangesGiveZero)
{
    int calls = 0;
    const auto compare = [&](int) {
        ++calls;
        return 0;
    };
    EXPECT_EQ(UpperBoundPosition(0, compare), 0);
    EXPECT_EQ(UpperBoundPosition(-3, compare), 0);
    EXPECT_EQ(calls, 0);
}

TEST(SortedInsertPosition, EverythingEqualKeepsArrivalOrder)
{
    EXPECT_EQ(UpperBoundPosition(1000, [](int) { return 0; }), 1000);
}

TEST(SortedInsertPosition, NeedsOnlyLogarithmicallyManyComparisons)
{
    for (const int count : {1, 2, 1000, 1 << 20}) {
        int calls = 0;
        UpperBoundPosition(count, [&](int i) {
            ++calls;
            return Compare(count / 3, i);
        });
        int log2 = 0;
        while ((1 << log2) < count + 1)
            ++log2;
        EXPECT_LE(calls, log2) << count;
    }
}

TEST(SortedInsertPosition, InsertingOneByOneEqualsAStableSort)
{
    // Elements are (key, arrival); only the key is compared, so the arrival shows stability.
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<std::pair<int, int>> arrivals;
        const int keys = 1 + round % 9;
        for (int i = 0; i < 200; ++i)
            arrivals.emplace_back(static_cast<int>(random() % static_cast<unsigned>(keys)), i);
        const bool descending = round % 2 == 1;
        const auto compare = [descending](const std::pair<int, int>& a, const std::pair<int, int>& b) {
            const int c = Compare(a.first, b.first);
            return descending ? -c : c;
        };

        std::vector<std::pair<int, int>> placed;
        for (const auto& element : arrivals) {
            const int position =
                UpperBoundPosition(static_cast<int>(placed.size()), [&](int i) { return compare(element, placed[i]); });
            placed.insert(placed.begin() + position, element);
        }
        std::vector<std::pair<int, int>> expected = arrivals;
        std::stable_sort(expected.begin(), expected.end(),
                         [&](const auto& a, const auto& b) { return compare(a, b) < 0; });
        EXPECT_EQ(placed, expected) << round;
    }
}

}  // namespace
}  // namespace vantor
