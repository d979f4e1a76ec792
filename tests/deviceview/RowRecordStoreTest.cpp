#include "listview/RowRecordStore.h"
#include "listview/RowInterfaces.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace vantor {
namespace {

// A record of six NUL-ended fields whose length varies with n, so records straddle chunk ends.
std::string Record(int n)
{
    std::string record = "dev" + std::string(static_cast<std::size_t>(n % 23), 'x') + std::to_string(n);
    record += '\0';
    for (const char* field : {"10.0.0.1", "255.0.0.0", "10.0.0.254", "00-1A-2B-3C-4D-5E", "1.30"}) {
        record += field;
        record += '\0';
    }
    return record;
}

struct Added {
    std::string record;
    RowRecordStore::Entry entry;
};

TEST(RowRecordStoreTest, EveryRecordIsFoundByItemDataAndByIdentityAcrossChunks)
{
    RowRecordStore store;
    std::vector<Added> added;
    for (int n = 0; n < 2000; ++n) {
        const std::string record = Record(n);
        const auto entry = store.Add(record);
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->record, record);
        if (!added.empty()) {
            EXPECT_GT(entry->id, added.back().entry.id);
        }
        added.push_back({record, *entry});
    }
    EXPECT_EQ(store.Count(), 2000);
    for (const Added& a : added) {
        const auto byData = store.Find(a.entry.itemData);
        const auto byId = store.FindId(a.entry.id);
        ASSERT_TRUE(byData && byId);
        EXPECT_EQ(byData->record, a.record);  // the bytes stayed where they were written
        EXPECT_EQ(byData->id, a.entry.id);
        EXPECT_EQ(byId->itemData, a.entry.itemData);
    }
}

TEST(RowRecordStoreTest, OnlyTheStartOfALiveRecordIsItemData)
{
    RowRecordStore store;
    const auto first = store.Add(Record(1));
    const auto second = store.Add(Record(2));
    ASSERT_TRUE(first && second);
    for (const lc::LPARAM stranger : {lc::LPARAM{0}, first->itemData + 1, second->itemData - 1,
                                      second->itemData + static_cast<lc::LPARAM>(second->record.size())}) {
        EXPECT_FALSE(store.Find(stranger)) << stranger - first->itemData;
        EXPECT_FALSE(store.Remove(stranger));
    }
    EXPECT_FALSE(store.FindId(RowRecordStore::kNoRow));
    EXPECT_FALSE(store.FindId(second->id + 1));
    EXPECT_FALSE(store.Add(std::string()));
    EXPECT_FALSE(store.Add(std::string(RowRecordStore::kMaxRecordBytes + 1, 'x')));

    EXPECT_TRUE(store.Remove(first->itemData));
    EXPECT_FALSE(store.Remove(first->itemData));
    EXPECT_FALSE(store.Find(first->itemData));
    EXPECT_FALSE(store.FindId(first->id));
    ASSERT_TRUE(store.Find(second->itemData));
    EXPECT_EQ(store.Find(second->itemData)->record, Record(2));
    EXPECT_EQ(store.Count(), 1);
}

TEST(RowRecordStoreTest, EmptiedStoreHoldsNothingAndNeverGivesAnIdentityAgain)
{
    RowRecordStore store;
    std::vector<RowRecordStore::Entry> entries;
    for (int n = 0; n < 500; ++n)
        entries.push_back(*store.Add(Record(n)));
    // Removed in an order unlike the adding one.
    for (std::size_t i = 0; i < entries.size(); i += 2)
        EXPECT_TRUE(store.Remove(entries[i].itemData));
    for (std::size_t i = entries.size() - 1; i < entries.size(); i -= 2)
        EXPECT_TRUE(store.Remove(entries[i].itemData));
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.CapacityBytes(), 0u);
    const auto again = store.Add(Record(0));
    ASSERT_TRUE(again);
    EXPECT_GT(again->id, entries.back().id);
}

TEST(RowRecordStoreTest, RowsDeletedOneByOneForeverKeepTheMemoryBounded)
{
    // Every hundredth record stays for a while (the last 50 of them); the others go at once. With
    // plain chunks each long-lived record would pin a chunk of its own.
    RowRecordStore store;
    std::deque<RowRecordStore::Entry> kept;
    std::size_t keptBytes = 0;
    for (int n = 0; n < 100000; ++n) {
        const auto entry = store.Add(Record(n));
        ASSERT_TRUE(entry);
        if (n % 100 != 0) {
            ASSERT_TRUE(store.Remove(entry->itemData));
            continue;
        }
        kept.push_back(*entry);
        keptBytes += entry->record.size();
        if (kept.size() > 50) {
            keptBytes -= kept.front().record.size();
            ASSERT_TRUE(store.Remove(kept.front().itemData));
            kept.pop_front();
        }
        ASSERT_LE(store.CapacityBytes(), 3 * keptBytes + 48 * 1024) << n;
    }
    EXPECT_EQ(store.Count(), 50);
    for (const auto& entry : kept)
        EXPECT_TRUE(store.Find(entry.itemData));
}

// Rows from two adapters, in runs and interleaved: each row keeps the interface it came in on,
// and rows from before a Clear() have none.
TEST(RowInterfacesTest, EachRowKeepsItsInterfaceUntilTheListEmpties)
{
    RowInterfaces interfaces;
    const std::vector<std::pair<RowInterfaces::RowId, int>> noted = {{1, 4}, {2, 4}, {3, 4}, {4, 7}, {5, 4},
                                                                     {6, 7}, {7, 7}, {9, 0}, {10, 4}};
    for (const auto& [id, interfaceIndex] : noted)
        interfaces.Note(id, interfaceIndex);
    for (const auto& [id, interfaceIndex] : noted)
        EXPECT_EQ(interfaces.Of(id), interfaceIndex) << id;
    EXPECT_EQ(interfaces.Of(0), 0);

    interfaces.Clear();
    interfaces.Note(11, 7);
    EXPECT_EQ(interfaces.Of(3), 0);
    EXPECT_EQ(interfaces.Of(11), 7);
}

}  // namespace
}  // namespace vantor
