#pragma once

#include "platform/listcontrol/ListTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace vantor {

// The stored cells of one item record, by logical column, in one heap block. A list holds a
// record per item and usually few columns, so each slot is packed: a tag byte says whether the
// slot holds a cell, which item fields follow and what kind of text the cell has; only the
// fields named by the cell's mask follow (as variable-length integers), then an owned text
// inline with its terminator. A slot is found by walking the slots before it.
//
// The slots live in a SlotBlock; no block at all for a record without slots.
// Kept for vantor_bench_discovery's bytes per row at 100,000 rows (at most 400).
class PackedCells {
public:
    enum class TEXT_KIND : std::uint8_t {
        None,      // no text
        Callback,  // the text-callback marker
        Owned,     // a text of the cell's own
    };

    // A stored cell: the fields of an item descriptor whose mask bit is set (the others read
    // back as zero) and its text. Reading gives an Owned text that is NUL-terminated and stays
    // valid until this record's cells next change; writing copies the text.
    struct CELL {
        unsigned mask = 0;
        int image = 0;
        int indent = 0;
        unsigned state = 0;
        unsigned stateMask = 0;
        lc::LPARAM lParam = 0;
        TEXT_KIND textKind = TEXT_KIND::None;
        std::string_view text;  // Owned only; must not hold a NUL
    };

    // Number of slots, empty ones included.
    int Count() const;
    // The cell of a slot; none for an empty slot or one past the end.
    std::optional<CELL> Read(int slot) const;
    // Stores a cell at a slot, the slots up to it added empty. `cell.text` may point into
    // these cells.
    void Set(int slot, const CELL& cell);
    // An empty slot before an existing one; a slot at or past the end changes nothing.
    void InsertEmpty(int slot);
    // Removes an existing slot; a slot at or past the end changes nothing.
    void Erase(int slot);
    void Clear() { m_block.reset(); }

private:
    std::unique_ptr<std::uint8_t[]> m_block;
};

}  // namespace vantor
