#pragma once

#include "listview/PackedCells.h"
#include "platform/listcontrol/ListTypes.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace vantor {

// Owner of the extension's item records. A record stays at its slot while it lives (a deque
// never moves its elements when it grows) and its handle is the slot index with the slot's
// generation, so the way back from the control's item data is a bounds and generation check,
// with no value from the control ever used as an address. A freed slot's generation moves on,
// so its old handle is refused.
// Kept for safety, not for a figure: item data read back from the control is only ever a key.
class RecordTable {
public:
    // Stored cell: the caller's item descriptor with absent fields zeroed and its text
    // duplicated (see PackedCells).
    using CELL = PackedCells::CELL;
    using TEXT_KIND = PackedCells::TEXT_KIND;

    // Record of one item; the control holds `itemData`, a handle to the record's slot, as the
    // item's item data.
    struct ROW_DATA {
        lc::LPARAM userData = 0;
        PackedCells cells;        // by logical column
        lc::LPARAM itemData = 0;  // the handle naming this record
    };

    // A fresh record in a free slot (null when the table is full); FreeRecord gives it back.
    ROW_DATA* NewRecord();
    // Frees the record a handle names, every cell with it; any other value is ignored.
    void FreeRecord(lc::LPARAM itemData);
    // The live record a handle names; null for any other value (a stale handle, a foreign value).
    ROW_DATA* RecordFromItemData(lc::LPARAM itemData);
    const ROW_DATA* RecordFromItemData(lc::LPARAM itemData) const;
    int LiveCount() const { return m_liveRecords; }

    // A logical column was inserted or deleted: every record's cells from it on shift by one.
    void InsertColumn(int column);
    void DeleteColumn(int column);

private:
    // Slot index of a live record's handle; -1 for any other value.
    std::int64_t SlotOf(lc::LPARAM itemData) const;

    // Slot i is m_records[i] with m_states[i]: its generation (never 0) and the live bit.
    std::deque<ROW_DATA> m_records;
    std::deque<std::uint32_t> m_states;
    std::vector<std::uint32_t> m_freeSlots;  // indexes of slots not live, the last freed last
    int m_liveRecords = 0;
};

}  // namespace vantor
