// The set of accepted replies: exact 52-byte matches only, however many replies and however
// their hashes fall.
#include "protocol/ReplySet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

namespace vantor {
namespace {

ReplyBytes Numbered(std::uint32_t n)
{
    ReplyBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>((n >> (8 * (i % 4))) ^ (i * 37));
    return bytes;
}

// Every reply lands on the same hash: only the comparison of the bytes can tell them apart.
struct SameHash {
    std::uint64_t operator()(const ReplyBytes&) const noexcept { return 0x1234'5678'9ABC'DEF0ULL; }
};

TEST(ReplySet, AcceptsEachReplyOnceAcrossGrowth)
{
    // Sizes around the table's first growths and well beyond them.
    for (const std::uint32_t count : {1U, 31U, 32U, 33U, 64U, 65U, 10'000U}) {
        ReplySet set;
        for (std::uint32_t n = 0; n < count; ++n)
            ASSERT_TRUE(set.Insert(Numbered(n))) << count << " " << n;
        EXPECT_EQ(set.size(), count);
        for (std::uint32_t n = 0; n < count; ++n)
            ASSERT_FALSE(set.Insert(Numbered(n))) << count << " " << n;
        EXPECT_EQ(set.size(), count);
    }
}

TEST(ReplySet, AgreesWithAnOrderedSetOnRandomRepeats)
{
    std::mt19937 random(52);
    ReplySet set;
    std::set<ReplyBytes> reference;
    std::vector<ReplyBytes> seen;
    for (int i = 0; i < 20'000; ++i) {
        ReplyBytes reply{};
        if (!seen.empty() && random() % 3 == 0) {
            reply = seen[random() % seen.size()];
        } else {
            std::generate(reply.begin(), reply.end(), [&] { return static_cast<std::uint8_t>(random()); });
            seen.push_back(reply);
        }
        ASSERT_EQ(set.Insert(reply), reference.insert(reply).second) << i;
    }
    EXPECT_EQ(set.size(), reference.size());
}

TEST(ReplySet, RepliesDifferingInOneByteAreDistinct)
{
    ReplySet set;
    const ReplyBytes base = Numbered(7);
    ASSERT_TRUE(set.Insert(base));
    for (std::size_t at = 0; at < base.size(); ++at) {
        ReplyBytes changed = base;
        changed[at] ^= 0x01;
        EXPECT_TRUE(set.Insert(changed)) << at;
        EXPECT_FALSE(set.Insert(changed)) << at;
    }
    EXPECT_FALSE(set.Insert(base));
}

TEST(ReplySet, EqualHashesStillCompareTheBytes)
{
    BasicReplySet<SameHash> set;
    for (std::uint32_t n = 0; n < 300; ++n)
        ASSERT_TRUE(set.Insert(Numbered(n))) << n;
    for (std::uint32_t n = 0; n < 300; ++n)
        ASSERT_FALSE(set.Insert(Numbered(n))) << n;
    EXPECT_EQ(set.size(), 300U);
}

TEST(ReplySet, ClearForgetsEverything)
{
    ReplySet set;
    for (std::uint32_t n = 0; n < 100; ++n)
        set.Insert(Numbered(n));
    set.clear();
    EXPECT_TRUE(set.empty());
    for (std::uint32_t n = 0; n < 100; ++n)
        EXPECT_TRUE(set.Insert(Numbered(n))) << n;
}

}  // namespace
}  // namespace vantor
