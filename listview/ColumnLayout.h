#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vantor {

// A saved column layout: visibility, width and logical order of every column plus the sort
// key. On disk it is one byte block, little-endian whatever the host:
//
//   offset 0       int32  column count n
//   offset 4       int32  sort key (0 unsorted, +k / -k ascending / descending on column k-1)
//   offset 8 + 9i  uint8  column i visible (0 hidden, anything else shown)
//   offset 9 + 9i  int32  column i width in pixels (only the low 16 bits are meant to be used)
//   offset 13 + 9i int32  column i logical order
//
// Parsing never reads outside the block; a block is either taken whole or not at all.
struct ColumnLayout final {
    struct Column {
        bool visible = true;
        std::int32_t width = 0;
        std::int32_t order = 0;

        friend bool operator==(const Column&, const Column&) = default;
    };

    // Why a structurally sound block cannot be applied.
    enum class Problem {
        None,
        SortKeyOutOfRange,  // |sort key| above the column count
        OrderOutOfRange,    // an order outside 0..n-1
        OrderRepeated,      // two columns claim the same display position
    };

    static constexpr std::size_t kHeaderSize = 8;
    static constexpr std::size_t kColumnSize = 9;

    std::int32_t sortKey = 0;
    std::vector<Column> columns;

    // Size of a block for `columnCount` columns (0 for a negative count).
    static std::size_t BlockSize(std::int64_t columnCount);

    // Reads a block written for exactly `columnCount` columns. Nothing is returned when the
    // count is 0 or less, the block's size is not BlockSize(columnCount), or the stored count
    // differs: such a block is not meant for this list.
    static std::optional<ColumnLayout> Parse(std::span<const std::uint8_t> block, int columnCount);

    // What stops this layout from being applied; every order is checked, so a caller can refuse
    // the block before changing anything.
    Problem Check() const;

    // The block for this layout (the count is the number of columns).
    std::vector<std::uint8_t> Encode() const;

    friend bool operator==(const ColumnLayout&, const ColumnLayout&) = default;
};

}  // namespace vantor
