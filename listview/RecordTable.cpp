#include "listview/RecordTable.h"

namespace vantor {

namespace {

// A record's handle: the top bit set (no user-space address and no non-negative number has it),
// the slot's generation in the 31 bits below, the slot index in the low 32 bits.
static_assert(sizeof(lc::LPARAM) == sizeof(std::uint64_t), "handles need a 64-bit item data");
constexpr std::uint64_t kHandleMark = std::uint64_t{1} << 63;
constexpr std::uint32_t kGenerationMask = 0x7FFF'FFFFu;
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
    if (index >= m_slots.size()) {
        return -1;
    }
    const RECORD_SLOT& slot = m_slots[static_cast<std::size_t>(index)];
    const auto generation = static_cast<std::uint32_t>(handle >> 32) & kGenerationMask;
    return slot.live && slot.generation == generation ? static_cast<std::int64_t>(index) : -1;
}

RecordTable::ROW_DATA* RecordTable::RecordFromItemData(lc::LPARAM itemData)
{
    const std::int64_t index = SlotOf(itemData);
    return index >= 0 ? &m_slots[static_cast<std::size_t>(index)].record : nullptr;
}

const RecordTable::ROW_DATA* RecordTable::RecordFromItemData(lc::LPARAM itemData) const
{
    const std::int64_t index = SlotOf(itemData);
    return index >= 0 ? &m_slots[static_cast<std::size_t>(index)].record : nullptr;
}

RecordTable::ROW_DATA* RecordTable::NewRecord()
{
    std::size_t index = 0;
    if (!m_freeSlots.empty()) {
        index = m_freeSlots.back();
        m_freeSlots.pop_back();
    } else if (m_slots.size() < kMaxSlots) {
        index = m_slots.size();
        m_slots.emplace_back();
    } else {
        return nullptr;
    }
    RECORD_SLOT& slot = m_slots[index];
    slot.live = true;
    slot.record.itemData = MakeHandle(index, slot.generation);
    ++m_liveRecords;
    return &slot.record;
}

void RecordTable::FreeRecord(lc::LPARAM itemData)
{
    const std::int64_t found = SlotOf(itemData);
    if (found < 0) {
        return;
    }
    const auto index = static_cast<std::uint32_t>(found);
    RECORD_SLOT& slot = m_slots[index];
    slot.live = false;
    slot.generation = (slot.generation & kGenerationMask) == kGenerationMask ? 1 : slot.generation + 1;
    slot.record = ROW_DATA();  // frees every cell with its text
    m_freeSlots.push_back(index);
    --m_liveRecords;
}

void RecordTable::InsertColumn(int column)
{
    for (RECORD_SLOT& slot : m_slots) {
        std::vector<std::optional<CELL>>& cells = slot.record.cells;  // empty in a free slot
        if (static_cast<std::size_t>(column) < cells.size()) {
            cells.insert(cells.begin() + column, std::nullopt);
        }
    }
}

void RecordTable::DeleteColumn(int column)
{
    for (RECORD_SLOT& slot : m_slots) {
        std::vector<std::optional<CELL>>& cells = slot.record.cells;  // empty in a free slot
        if (static_cast<std::size_t>(column) < cells.size()) {
            cells.erase(cells.begin() + column);
        }
    }
}

}  // namespace vantor
