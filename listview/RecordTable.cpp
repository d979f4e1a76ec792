#include "listview/RecordTable.h"

namespace vantor {

namespace {

// A record's handle: the top bit set (no user-space address and no non-negative number has it),
// the slot's generation in the 31 bits below, the slot index in the low 32 bits.
static_assert(sizeof(lc::LPARAM) == sizeof(std::uint64_t), "handles need a 64-bit item data");
constexpr std::uint64_t kHandleMark = std::uint64_t{1} << 63;
constexpr std::uint32_t kGenerationMask = 0x7FFF'FFFFu;
constexpr std::uint32_t kLiveBit = 0x8000'0000u;  // in a slot's state, above its generation
constexpr std::uint64_t kMaxSlots = std::uint64_t{1} << 32;

lc::LPARAM MakeHandle(std::size_t index, std::uint32_t generation)
{
    return static_cast<lc::LPARAM>(kHandleMark | (std::uint64_t{generation} << 32) | std::uint64_t{index});
}

}  // namespace

std::int64_t RecordTable::SlotOf(lc::LPARAM itemData) const
{
    const auto handle = static_cast<std::uint64_t>(itemData);
    if ((handle & kHandleMark) == 0) {
        return -1;
    }
    const std::uint64_t index = handle & 0xFFFF'FFFFu;
    if (index >= m_states.size()) {
        return -1;
    }
    const std::uint32_t state = m_states[static_cast<std::size_t>(index)];
    const auto generation = static_cast<std::uint32_t>(handle >> 32) & kGenerationMask;
    return state == (kLiveBit | generation) ? static_cast<std::int64_t>(index) : -1;
}

RecordTable::ROW_DATA* RecordTable::RecordFromItemData(lc::LPARAM itemData)
{
    const std::int64_t index = SlotOf(itemData);
    return index >= 0 ? &m_records[static_cast<std::size_t>(index)] : nullptr;
}

const RecordTable::ROW_DATA* RecordTable::RecordFromItemData(lc::LPARAM itemData) const
{
    const std::int64_t index = SlotOf(itemData);
    return index >= 0 ? &m_records[static_cast<std::size_t>(index)] : nullptr;
}

RecordTable::ROW_DATA* RecordTable::NewRecord()
{
    std::size_t index = 0;
    if (!m_freeSlots.empty()) {
        index = m_freeSlots.back();
        m_freeSlots.pop_back();
    } else if (m_states.size() < kMaxSlots) {
        index = m_states.size();
        m_records.emplace_back();
        m_states.push_back(1);
    } else {
        return nullptr;
    }
    std::uint32_t& state = m_states[index];
    state |= kLiveBit;
    ROW_DATA& record = m_records[index];
    record.itemData = MakeHandle(index, state & kGenerationMask);
    ++m_liveRecords;
    return &record;
}

void RecordTable::FreeRecord(lc::LPARAM itemData)
{
    const std::int64_t found = SlotOf(itemData);
    if (found < 0) {
        return;
    }
    const auto index = static_cast<std::uint32_t>(found);
    const std::uint32_t generation = m_states[index] & kGenerationMask;
    m_states[index] = generation == kGenerationMask ? 1 : generation + 1;  // and not live
    m_records[index] = ROW_DATA();                                         // frees every cell with its text
    m_freeSlots.push_back(index);
    --m_liveRecords;
}

void RecordTable::InsertColumn(int column)
{
    for (ROW_DATA& record : m_records) {
        record.cells.InsertEmpty(column);  // no cells in a free slot
    }
}

void RecordTable::DeleteColumn(int column)
{
    for (ROW_DATA& record : m_records) {
        record.cells.Erase(column);  // no cells in a free slot
    }
}

}  // namespace vantor
