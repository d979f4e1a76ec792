#pragma once

#include "protocol/DevicePacket.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace vantor {

using ReplyBytes = std::array<std::uint8_t, DEVICE_PACKET::kSize>;

struct ReplyBytesHash {
    std::uint64_t operator()(const ReplyBytes& bytes) const noexcept
    {
        return std::hash<std::string_view>{}(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
};

// A set of whole replies (52 bytes each) for the duplicate check. The replies are kept in
// arrival order in chunks of fixed size and found through open-addressing tables of 64-bit
// slots, each the reply's 32-bit hash beside its index. A lookup reads one slot and, only when
// the hashes match, that reply. A node-based hash set costs an allocation and several scattered
// reads per reply, which with tens of thousands of replies made each check many times slower
// than with a few.
//
// Nothing grows all at once: the replies' chunks are never moved, and the slots are spread over
// kTables tables by the hash's low bits, each growing on its own. A single table (and a single
// array of replies) would be copied whole into fresh memory at each doubling, which at tens of
// thousands of replies held the window up for a good part of a frame at once.
// Kept for vantor_bench_discovery's longest time without taking events in the 100,000 flood.
template <typename Hash = ReplyBytesHash>
class BasicReplySet final {
public:
    // Most replies the set holds: indexes must fit the 32-bit slot halves.
    static constexpr std::size_t kCapacity = std::size_t{1} << 30;

    // False when the same 52 bytes are in the set already (or the set is full).
    bool Insert(const ReplyBytes& reply)
    {
        if (m_size >= kCapacity)
            return false;
        const std::uint64_t fullHash = Hash{}(reply);
        Table& table = m_tables[static_cast<std::size_t>(fullHash & (kTables - 1))];
        if ((table.used + 1) * 2 > table.entries.size())
            Grow(table);
        const auto hash = static_cast<std::uint32_t>(fullHash >> 32);
        const std::size_t mask = table.entries.size() - 1;
        for (std::size_t at = Home(hash, table.bits);; at = (at + 1) & mask) {
            const std::uint64_t slot = table.entries[at];
            if (slot == 0) {
                if (m_size % kChunkReplies == 0)
                    m_chunks.push_back(std::make_unique<ReplyBytes[]>(kChunkReplies));
                m_chunks.back()[m_size % kChunkReplies] = reply;
                ++m_size;
                ++table.used;
                table.entries[at] = (static_cast<std::uint64_t>(hash) << 32) | m_size;  // index + 1
                return true;
            }
            if (static_cast<std::uint32_t>(slot >> 32) == hash) {
                const ReplyBytes& known = At(static_cast<std::uint32_t>(slot) - 1);
                if (std::memcmp(known.data(), reply.data(), reply.size()) == 0)
                    return false;
            }
        }
    }

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    // Forgets every reply (and the memory they took).
    void clear()
    {
        m_chunks = std::vector<std::unique_ptr<ReplyBytes[]>>();
        m_tables = std::array<Table, kTables>();
        m_size = 0;
    }

private:
    static constexpr std::size_t kTables = 64;
    static constexpr std::size_t kChunkReplies = 1024;

    struct Table {
        std::vector<std::uint64_t> entries;  // 0: empty; else hash << 32 | (index + 1)
        std::size_t used = 0;
        unsigned bits = 0;  // the table has 2^bits slots
    };

    const ReplyBytes& At(std::size_t index) const { return m_chunks[index / kChunkReplies][index % kChunkReplies]; }

    // Where a hash starts probing: its top bits after a multiplicative mix, so that hashes
    // differing only in high or low bits still spread over the table.
    static std::size_t Home(std::uint32_t hash, unsigned bits)
    {
        return static_cast<std::size_t>((hash * 0x9E3779B9U) >> (32 - bits));
    }

    static void Grow(Table& table)
    {
        // A table never fills past half, so every probe meets an empty slot soon.
        const unsigned bits = table.bits == 0 ? 4 : table.bits + 1;
        std::vector<std::uint64_t> old(std::size_t{1} << bits, 0);
        old.swap(table.entries);
        table.bits = bits;
        const std::size_t mask = table.entries.size() - 1;
        for (const std::uint64_t slot : old) {
            if (slot == 0)
                continue;
            std::size_t at = Home(static_cast<std::uint32_t>(slot >> 32), bits);
            while (table.entries[at] != 0)
                at = (at + 1) & mask;
            table.entries[at] = slot;
        }
    }

    std::vector<std::unique_ptr<ReplyBytes[]>> m_chunks;
    std::array<Table, kTables> m_tables{};
    std::size_t m_size = 0;
};

using ReplySet = BasicReplySet<>;

}  // namespace vantor
