#pragma once

#include "platform/listcontrol/ListTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace vantor {

// The row records of a list (six NUL-ended fields each) with their rows' identities, packed
// for many rows: records are copied one after another into chunks of a few kilobytes, so a
// record costs its bytes and a 2-byte slot instead of a heap block, a string object and two
// hash-map nodes. A record's item data is the address of its first byte, which stays put while
// the record lives.
//
// Identities are handed out in increasing order and never again; a chunk holds consecutive
// identities, so an identity is found from the chunk's first one and needs no storage of its
// own. Item data is looked up among the chunks (by address, then the chunk's slotCount), never
// followed blindly.
//
// A removed record leaves a hole; a chunk goes when its last record does. If holes in older
// chunks come to outweigh the live records (rows deleted one by one while new ones arrive), new
// records get blocks of their own size until they no longer do, so the memory stays bounded by
// the live records whatever the order of deletion.
// Kept for vantor_bench_discovery's bytes per row at 100,000 rows (at most 400).
class RowRecordStore final {
public:
    using RowId = std::uint64_t;
    static constexpr RowId kNoRow = 0;
    // Longest record accepted (more than any row record by far).
    static constexpr std::size_t kMaxRecordBytes = 4096;

    struct Entry {
        lc::LPARAM itemData = 0;
        std::string_view record;
        RowId id = kNoRow;
    };

    RowRecordStore() = default;
    RowRecordStore(const RowRecordStore&) = delete;
    RowRecordStore& operator=(const RowRecordStore&) = delete;
    ~RowRecordStore();

    // Copies a record in and gives it a new identity; nothing for an empty or too long record.
    std::optional<Entry> Add(std::string_view record);
    // The record named by item data, or nothing when no live record starts there.
    std::optional<Entry> Find(lc::LPARAM itemData) const;
    // The record with that identity, or nothing once it is gone.
    std::optional<Entry> FindId(RowId id) const;
    // Releases the record named by item data; false when there is none.
    bool Remove(lc::LPARAM itemData);

    // Live records.
    int Count() const { return m_live; }
    // Bytes the store holds for records, holes and slotCount (not counting its chunk tables).
    std::size_t CapacityBytes() const { return m_capacityBytes; }

private:
    struct Chunk {
        std::unique_ptr<char[]> bytes;
        RowId firstId = kNoRow;      // identity of slot 0; slot k holds firstId + k
        std::uint16_t capacity = 0;  // records grow from the front, 2-byte slots from the back
        std::uint16_t used = 0;      // record bytes
        std::uint16_t slotCount = 0;
        std::uint16_t live = 0;
    };
    struct ByAddress {
        std::uintptr_t base;
        RowId firstId;
    };

    static std::uint16_t Slot(const Chunk& chunk, std::size_t k);
    static void SetSlot(Chunk& chunk, std::size_t k, std::uint16_t value);
    static Entry EntryAt(const Chunk& chunk, std::size_t k);
    // The chunk holding that identity's slot, or null.
    const Chunk* ChunkOfId(RowId id) const;
    // Chunk index and slot of a live record starting at item data, or nothing.
    std::optional<std::pair<std::size_t, std::size_t>> Locate(lc::LPARAM itemData) const;
    bool HolesDominate() const;
    void OpenChunk(std::size_t recordBytes);
    void DropChunk(std::size_t index);

    std::vector<Chunk> m_chunks;         // in identity order; the last one takes new records
    std::vector<ByAddress> m_byAddress;  // the same chunks in address order
    RowId m_nextId = kNoRow + 1;
    int m_live = 0;
    std::size_t m_liveBytes = 0;
    std::size_t m_capacityBytes = 0;
};

}  // namespace vantor
