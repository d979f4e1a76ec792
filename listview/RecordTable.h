#pragma once

#include "platform/listcontrol/ListTypes.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vantor {

// Owner of the extension's item records. A record stays at its slot while it lives (a deque
// never moves its elements when it grows) and its handle is the slot index with the slot's
// generation, so the way back from the control's item data is a bounds and generation check,
// with no value from the control ever used as an address. A freed slot's generation moves on,
// so its old handle is refused.
class RecordTable {
public:
    // Text of a stored cell: none, the text-callback marker (an address never read), or a
    // duplicate the cell owns.
    struct CALLBACK_TEXT { };
    using CELL_TEXT = std::variant<std::monostate, CALLBACK_TEXT, std::string>;

    // Stored cell: the caller's item descriptor with absent fields zeroed. item.pszText stays
    // null; the text lives in `text`.
    struct CELL {
        lc::LVITEMA item;
        CELL_TEXT text;
    };

    // Record of one item; the control holds `itemData`, a handle to the record's slot, as the
    // item's item data.
    struct ROW_DATA {
        lc::LPARAM userData = 0;
        std::vector<std::optional<CELL>> cells;  // by logical column; empty or missing = empty
        lc::LPARAM itemData = 0;                 // the handle naming this record
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
    struct RECORD_SLOT {
        ROW_DATA record;
        std::uint32_t generation = 1;  // never 0
        bool live = false;
    };
    // Slot index of a live record's handle; -1 for any other value.
    std::int64_t SlotOf(lc::LPARAM itemData) const;

    std::deque<RECORD_SLOT> m_slots;
    std::vector<std::uint32_t> m_freeSlots;  // indexes of slots not live, the last freed last
    int m_liveRecords = 0;
};

}  // namespace vantor
