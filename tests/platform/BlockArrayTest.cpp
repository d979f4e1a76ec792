#include "platform/listcontrol/BlockArray.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace vantor::lc {
namespace {

// Small blocks, so a few hundred elements already split and merge many times.
using SmallBlocks = BlockArray<int, 8>;

std::vector<int> Contents(const SmallBlocks& array)
{
    std::vector<int> all;
    array.ForEach([&all](int value) { all.push_back(value); });
    return all;
}

std::vector<int> ByIndex(const SmallBlocks& array)
{
    std::vector<int> all;
    for (std::size_t i = 0; i < array.size(); ++i)
        all.push_back(array[i]);
    return all;
}

TEST(BlockArrayTest, InsertsAtFrontMiddleAndEnd)
{
    SmallBlocks array;
    for (int i = 0; i < 20; ++i)
        array.push_back(i);          // 0..19
    array.insert(0, -1);             // front
    array.insert(11, 100);           // middle, before the old 10
    array.insert(array.size(), 99);  // end
    std::vector<int> expected{-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 100, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 99};
    EXPECT_EQ(ByIndex(array), expected);
    EXPECT_EQ(Contents(array), expected);
}

TEST(BlockArrayTest, TakeReturnsTheElementAndEmptiesTheArray)
{
    SmallBlocks array;
    for (int i = 0; i < 30; ++i)
        array.push_back(i);
    EXPECT_EQ(array.take(15), 15);
    EXPECT_EQ(array.take(0), 0);
    EXPECT_EQ(array.take(array.size() - 1), 29);
    EXPECT_EQ(array.size(), 27u);
    while (!array.empty())
        array.take(array.size() / 2);
    EXPECT_EQ(array.Capacity(), 0u) << "an emptied array keeps no room";
    array.push_back(7);  // usable again after it was emptied
    EXPECT_EQ(ByIndex(array), std::vector<int>{7});
}

TEST(BlockArrayTest, ReleaseAndAssignKeepTheOrder)
{
    SmallBlocks array;
    std::vector<int> values(50);
    for (int i = 0; i < 50; ++i)
        values[static_cast<std::size_t>(i)] = 1000 - i;
    array.assign(values);
    EXPECT_EQ(ByIndex(array), values);
    array.insert(3, 5);
    values.insert(values.begin() + 3, 5);
    EXPECT_EQ(array.release(), values);
    EXPECT_TRUE(array.empty());
    EXPECT_EQ(array.Capacity(), 0u);
}

TEST(BlockArrayTest, HoldsMoveOnlyElements)
{
    BlockArray<std::unique_ptr<int>, 4> array;
    for (int i = 0; i < 10; ++i)
        array.insert(0, std::make_unique<int>(i));
    const std::unique_ptr<int> taken = array.take(4);
    EXPECT_EQ(*taken, 5);
    EXPECT_EQ(*array[0], 9);
    EXPECT_EQ(*array[8], 0);
}

// Random insertions and removals give the same sequence as a plain vector.
TEST(BlockArrayTest, RandomEditsMatchAVector)
{
    std::mt19937 random(4711);
    SmallBlocks array;
    std::vector<int> model;
    for (int step = 0; step < 5000; ++step) {
        const bool grow = model.size() < 300 ? random() % 3 != 0 : random() % 3 == 0;
        if (grow || model.empty()) {
            const std::size_t at = random() % (model.size() + 1);
            array.insert(at, step);
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), step);
        } else {
            const std::size_t at = random() % model.size();
            ASSERT_EQ(array.take(at), model[at]);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
        }
        ASSERT_EQ(array.size(), model.size());
    }
    EXPECT_EQ(ByIndex(array), model);
    EXPECT_EQ(Contents(array), model);
}

// However the elements arrive or go, little room stays unused: growing by doubling would leave
// up to half of it unused.
TEST(BlockArrayTest, UnusedRoomStaysUnderHalfTheElements)
{
    const std::vector<std::pair<const char*, int>> table = {
        {"appended", 0}, {"prepended", 1}, {"random", 2}, {"random, most removed", 3}};
    for (const auto& [label, mode] : table) {
        std::mt19937 random(17);
        BlockArray<int, 128> array;  // a step of 16
        for (int i = 0; i < 5000; ++i)
            array.insert(mode == 0 ? array.size() : (mode == 1 ? 0 : random() % (array.size() + 1)), i);
        for (int i = 0; mode == 3 && i < 4000; ++i)
            array.take(random() % array.size());
        EXPECT_LE(array.Capacity(), array.size() * 3 / 2) << label;
    }
}

}  // namespace
}  // namespace vantor::lc
