#pragma once

#include "listview/ColumnLayout.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vantor::layoutblock {

// The readable form of a column layout block.
//
// Columns: one entry per logical column, in logical order, separated by commas:
//     STATE:WIDTH[:ORDER]
// STATE is "shown" or "hidden" (also "1" / "0"), WIDTH the width in pixels, ORDER the column's
// display position from 0 (default: its own index). Blanks around parts are ignored.
// Example, the device list with the subnet mask hidden and the gateway shown second:
//     shown:120, shown:120:2, hidden:120:5, shown:120:1, shown:130:3, shown:95:4
//
// Sort key: 0 unsorted, +k ascending and -k descending on column k-1.

// Reads a column list; on failure returns nothing and says why in `error`. Unless `lenient`,
// widths must be 0..65535 and the orders a permutation of 0..n-1 (the program refuses others).
std::optional<std::vector<ColumnLayout::Column>> ParseColumns(const QString& text, bool lenient, QString* error);
std::optional<std::int32_t> ParseSortKey(const QString& text, QString* error);

// The device list as the program sets it up: six columns shown at 120, 120, 120, 120, 130
// and 95 pixels in their own order, sorted ascending by IP address (key 2).
ColumnLayout DefaultDeviceListLayout();

// What stops the program from applying a layout, in words; empty when nothing does.
QString ProblemText(const ColumnLayout& layout);

// Lower-case hexadecimal, two digits a byte, nothing between them; and back (blanks ignored).
QString ToHex(std::span<const std::uint8_t> bytes);
std::optional<std::vector<std::uint8_t>> FromHex(const QString& text);

// A block read back into the readable form ("sort key: ...", then the column list), or an
// explanation of why it is no layout block.
QString Describe(std::span<const std::uint8_t> block);

}  // namespace vantor::layoutblock
