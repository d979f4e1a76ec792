#pragma once

#include "protocol/DevicePacket.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
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

// A set of whole replies (52 bytes each) for the duplicate check. The replies are kept in one
// array in arrival order and found through an open-addressing table of 64-bit slots, each the
// reply's 32-bit hash beside its index. A lookup reads one slot and, only when the hashes
// match, that reply; growing re-places the slots from the stored hashes without touching a
// reply. A node-based hash set costs an allocation and several scattered reads per reply,
// which with tens of thousands of replies made each check many times slower than with a few.
template <typename Hash = ReplyBytesHash>
class BasicReplySet final {
public:
    // Most replies the set holds: indexes and the table size must fit the 32-bit slot halves.
    static constexpr std::size_t kCapacity = std::size_t{1} << 30;

    // False when the same 52 bytes are in the set already (or the set is full).
    bool Insert(const ReplyBytes& reply)
    {
        if (m_replies.size() >= kCapacity)
            return false;
        if ((m_replies.size() + 1) * 2 > m_slots.size())
            Grow();
        const auto hash = static_cast<std::uint32_t>(Hash{}(reply) >> 32);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = Home(hash);; at = (at + 1) & mask) {
            const std::uint64_t slot = m_slots[at];
            if (slot == 0) {
                m_replies.push_back(reply);
                m_slots[at] = (static_cast<std::uint64_t>(hash) << 32) | m_replies.size();  // index + 1
                return true;
            }
            if (static_cast<std::uint32_t>(slot >> 32) == hash) {
                const ReplyBytes& known = m_replies[static_cast<std::uint32_t>(slot) - 1];
                if (std::memcmp(known.data(), reply.data(), reply.size()) == 0)
                    return false;
            }
        }
    }

    std::size_t size() const { return m_replies.size(); }
    bool empty() const { return m_replies.empty(); }

    // Forgets every reply (and the memory they took).
    void clear()
    {
        m_replies = {};
        m_slots = {};
        m_bits = 0;
    }

private:
    // Where a hash starts probing: its top bits after a multiplicative mix, so that hashes
    // differing only in high or low bits still spread over the table.
    std::size_t Home(std::uint32_t hash) const
    {
        return static_cast<std::size_t>((hash * 0x9E3779B9U) >> (32 - m_bits));
    }

    void Grow()
    {
        // The table never fills past half, so every probe meets an empty slot soon.
        const unsigned bits = m_bits == 0 ? 6 : m_bits + 1;
        std::vector<std::uint64_t> old(std::size_t{1} << bits, 0);
        old.swap(m_slots);
        m_bits = bits;
        m_replies.reserve(m_slots.size() / 2);
        const std::size_t mask = m_slots.size() - 1;
        for (const std::uint64_t slot : old) {
            if (slot == 0)
                continue;
            std::size_t at = Home(static_cast<std::uint32_t>(slot >> 32));
            while (m_slots[at] != 0)
                at = (at + 1) & mask;
            m_slots[at] = slot;
        }
    }

    std::vector<ReplyBytes> m_replies;
    std::vector<std::uint64_t> m_slots;  // 0: empty; else hash << 32 | (index + 1)
    unsigned m_bits = 0;                 // the table has 2^m_bits slots
};

using ReplySet = BasicReplySet<>;

}  // namespace vantor
