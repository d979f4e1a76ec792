#include "listview/ColumnLayout.h"

#include <limits>

namespace vantor {

namespace {

// Little-endian int32 at `offset`; the caller has checked that four bytes are there.
std::int32_t ReadInt32(std::span<const std::uint8_t> block, std::size_t offset)
{
    const std::uint32_t value =
        static_cast<std::uint32_t>(block[offset]) | (static_cast<std::uint32_t>(block[offset + 1]) << 8) |
        (static_cast<std::uint32_t>(block[offset + 2]) << 16) | (static_cast<std::uint32_t>(block[offset + 3]) << 24);
    // Two's complement reinterpretation without relying on implementation-defined conversion.
    return value <= static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())
               ? static_cast<std::int32_t>(value)
               : static_cast<std::int32_t>(static_cast<std::int64_t>(value) - (std::int64_t{1} << 32));
}

void WriteInt32(std::vector<std::uint8_t>& out, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>((bits >> shift) & 0xFFu));
    }
}

}  // namespace

std::size_t ColumnLayout::BlockSize(std::int64_t columnCount)
{
    if (columnCount < 0) {
        return 0;
    }
    return kHeaderSize + kColumnSize * static_cast<std::size_t>(columnCount);
}

std::optional<ColumnLayout> ColumnLayout::Parse(std::span<const std::uint8_t> block, int columnCount)
{
    if (columnCount <= 0 || block.size() != BlockSize(columnCount)) {
        return std::nullopt;
    }
    if (ReadInt32(block, 0) != columnCount) {
        return std::nullopt;
    }
    ColumnLayout layout;
    layout.sortKey = ReadInt32(block, 4);
    layout.columns.reserve(static_cast<std::size_t>(columnCount));
    for (std::size_t i = 0; i < static_cast<std::size_t>(columnCount); ++i) {
        const std::size_t base = kHeaderSize + kColumnSize * i;
        Column column;
        column.visible = block[base] != 0;
        column.width = ReadInt32(block, base + 1);
        column.order = ReadInt32(block, base + 5);
        layout.columns.push_back(column);
    }
    return layout;
}

ColumnLayout::Problem ColumnLayout::Check() const
{
    const auto n = static_cast<std::int64_t>(columns.size());
    const std::int64_t key = sortKey;  // widened: |INT32_MIN| does not fit in 32 bits
    if (key > n || -key > n) {
        return Problem::SortKeyOutOfRange;
    }
    std::vector<bool> taken(columns.size(), false);
    for (const Column& column : columns) {
        if (column.order < 0 || column.order >= n) {
            return Problem::OrderOutOfRange;
        }
        const auto slot = static_cast<std::size_t>(column.order);
        if (taken[slot]) {
            return Problem::OrderRepeated;
        }
        taken[slot] = true;
    }
    return Problem::None;
}

std::vector<std::uint8_t> ColumnLayout::Encode() const
{
    std::vector<std::uint8_t> out;
    out.reserve(BlockSize(static_cast<std::int64_t>(columns.size())));
    WriteInt32(out, static_cast<std::int32_t>(columns.size()));
    WriteInt32(out, sortKey);
    for (const Column& column : columns) {
        out.push_back(column.visible ? 1 : 0);
        WriteInt32(out, column.width);
        WriteInt32(out, column.order);
    }
    return out;
}

}  // namespace vantor
