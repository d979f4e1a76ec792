#include "listview/RowRecordStore.h"

#include <algorithm>
#include <cstring>

namespace vantor {
namespace {

// About ninety device rows a chunk: the chunk tables cost well under a byte per row, and a few
// rows left over from many deletions pin at most this much each.
constexpr std::size_t kChunkBytes = 8192;
constexpr std::size_t kSlotBytes = sizeof(std::uint16_t);
// A slot holds its record's offset; the top bit marks a removed record (a hole).
constexpr std::uint16_t kRemoved = 0x8000;
constexpr std::uint16_t kOffsetMask = 0x7FFF;
static_assert(kChunkBytes <= kOffsetMask && RowRecordStore::kMaxRecordBytes + kSlotBytes <= kChunkBytes);

}  // namespace

RowRecordStore::~RowRecordStore() = default;

std::uint16_t RowRecordStore::Slot(const Chunk& chunk, std::size_t k)
{
    std::uint16_t value = 0;
    std::memcpy(&value, chunk.bytes.get() + chunk.capacity - (k + 1) * kSlotBytes, kSlotBytes);
    return value;
}

void RowRecordStore::SetSlot(Chunk& chunk, std::size_t k, std::uint16_t value)
{
    std::memcpy(chunk.bytes.get() + chunk.capacity - (k + 1) * kSlotBytes, &value, kSlotBytes);
}

RowRecordStore::Entry RowRecordStore::EntryAt(const Chunk& chunk, std::size_t k)
{
    // Records lie back to back, so a record ends where the next one starts.
    const std::size_t offset = Slot(chunk, k) & kOffsetMask;
    const std::size_t end = k + 1 < chunk.slotCount ? Slot(chunk, k + 1) & kOffsetMask : chunk.used;
    const char* start = chunk.bytes.get() + offset;
    return Entry{reinterpret_cast<lc::LPARAM>(start), std::string_view(start, end - offset), chunk.firstId + k};
}

std::optional<RowRecordStore::Entry> RowRecordStore::Add(std::string_view record)
{
    if (record.empty() || record.size() > kMaxRecordBytes)
        return std::nullopt;
    // The open chunk takes the record when it has room and its identities run on to the next one
    // (they do not when a later chunk has gone).
    const auto fits = [&](const Chunk& chunk) {
        return chunk.firstId + chunk.slotCount == m_nextId &&
               chunk.used + record.size() + (chunk.slotCount + 1u) * kSlotBytes <= chunk.capacity;
    };
    if (m_chunks.empty() || !fits(m_chunks.back()))
        OpenChunk(record.size());
    Chunk& chunk = m_chunks.back();
    std::memcpy(chunk.bytes.get() + chunk.used, record.data(), record.size());
    const std::size_t k = chunk.slotCount;
    SetSlot(chunk, k, chunk.used);
    chunk.used = static_cast<std::uint16_t>(chunk.used + record.size());
    ++chunk.slotCount;
    ++chunk.live;
    ++m_live;
    m_liveBytes += record.size() + kSlotBytes;
    ++m_nextId;
    return EntryAt(chunk, k);
}

bool RowRecordStore::HolesDominate() const
{
    return m_capacityBytes > 2 * m_liveBytes + 4 * kChunkBytes;
}

void RowRecordStore::OpenChunk(std::size_t recordBytes)
{
    const std::size_t capacity = HolesDominate() ? recordBytes + kSlotBytes : kChunkBytes;
    Chunk chunk;
    chunk.bytes = std::make_unique_for_overwrite<char[]>(capacity);
    chunk.capacity = static_cast<std::uint16_t>(capacity);
    chunk.firstId = m_nextId;
    const auto base = reinterpret_cast<std::uintptr_t>(chunk.bytes.get());
    const auto place = std::upper_bound(m_byAddress.begin(), m_byAddress.end(), base,
                                        [](std::uintptr_t b, const ByAddress& c) { return b < c.base; });
    m_byAddress.insert(place, ByAddress{base, chunk.firstId});
    m_capacityBytes += capacity;
    m_chunks.push_back(std::move(chunk));
}

const RowRecordStore::Chunk* RowRecordStore::ChunkOfId(RowId id) const
{
    const auto after =
        std::upper_bound(m_chunks.begin(), m_chunks.end(), id, [](RowId i, const Chunk& c) { return i < c.firstId; });
    return after == m_chunks.begin() ? nullptr : &*(after - 1);
}

std::optional<std::pair<std::size_t, std::size_t>> RowRecordStore::Locate(lc::LPARAM itemData) const
{
    const auto address = static_cast<std::uintptr_t>(itemData);
    const auto after = std::upper_bound(m_byAddress.begin(), m_byAddress.end(), address,
                                        [](std::uintptr_t a, const ByAddress& c) { return a < c.base; });
    if (after == m_byAddress.begin())
        return std::nullopt;
    const ByAddress& owner = *(after - 1);
    const std::uintptr_t offset = address - owner.base;
    const Chunk* chunk = ChunkOfId(owner.firstId);
    if (chunk == nullptr || offset >= chunk->used)
        return std::nullopt;
    // Slots are in increasing offset order.
    std::size_t low = 0;
    std::size_t high = chunk->slotCount;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if ((Slot(*chunk, mid) & kOffsetMask) < offset)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == chunk->slotCount || Slot(*chunk, low) != offset)  // also refuses a removed record
        return std::nullopt;
    return std::pair{static_cast<std::size_t>(chunk - m_chunks.data()), low};
}

std::optional<RowRecordStore::Entry> RowRecordStore::Find(lc::LPARAM itemData) const
{
    const auto found = Locate(itemData);
    if (!found)
        return std::nullopt;
    return EntryAt(m_chunks[found->first], found->second);
}

std::optional<RowRecordStore::Entry> RowRecordStore::FindId(RowId id) const
{
    const Chunk* chunk = ChunkOfId(id);
    if (chunk == nullptr || id - chunk->firstId >= chunk->slotCount)
        return std::nullopt;
    const auto k = static_cast<std::size_t>(id - chunk->firstId);
    if ((Slot(*chunk, k) & kRemoved) != 0)
        return std::nullopt;
    return EntryAt(*chunk, k);
}

bool RowRecordStore::Remove(lc::LPARAM itemData)
{
    const auto found = Locate(itemData);
    if (!found)
        return false;
    const auto [index, k] = *found;
    Chunk& chunk = m_chunks[index];
    m_liveBytes -= EntryAt(chunk, k).record.size() + kSlotBytes;
    SetSlot(chunk, k, static_cast<std::uint16_t>(Slot(chunk, k) | kRemoved));
    --chunk.live;
    --m_live;
    if (chunk.live == 0)
        DropChunk(index);
    return true;
}

void RowRecordStore::DropChunk(std::size_t index)
{
    const auto base = reinterpret_cast<std::uintptr_t>(m_chunks[index].bytes.get());
    const auto entry = std::lower_bound(m_byAddress.begin(), m_byAddress.end(), base,
                                        [](const ByAddress& c, std::uintptr_t b) { return c.base < b; });
    m_byAddress.erase(entry);
    m_capacityBytes -= m_chunks[index].capacity;
    m_chunks.erase(m_chunks.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace vantor
