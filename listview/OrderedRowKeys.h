#pragma once

#include "platform/listcontrol/BlockArray.h"
#include "platform/listcontrol/ListTypes.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <ranges>
#include <string_view>
#include <vector>

namespace vantor {

// The leading rows of a list that are known to be in the order of one sort parameter, as a
// compact key per row in row order. Finding a new row's place by binary search then reads one
// small key per step instead of following each probed row through the list to its record,
// which at tens of thousands of rows made every step a handful of cache misses.
//
// A key holds the first 16 bytes of the row's sort field, so addresses (at most 15 bytes) and
// most names are decided by the key alone; rows whose keys are equal are compared in full by
// the caller, which also applies the name tie-break.
// Kept for vantor_bench_discovery's view / floor at 50,000 rows.
class OrderedRowKeys final {
public:
    struct Key {
        std::uint64_t high = 0;   // field bytes 0-7, the first byte in the top bits
        std::uint64_t low = 0;    // field bytes 8-15; a shorter field is padded with zero bytes
        lc::LPARAM itemData = 0;  // the row's item data, naming its record
    };

    // The key of a row record (NUL-separated fields) for the sort parameter.
    static Key MakeKey(std::string_view record, int sortParam, lc::LPARAM itemData);

    // The parameter the rows [0, Count()) are ordered by; nothing when no order is known.
    std::optional<int> OrderedBy() const { return m_orderedBy; }
    int Count() const { return static_cast<int>(m_keys.size()); }
    // True when all `rows` rows are known to be in the order of `sortParam`.
    bool OrdersAll(int sortParam, int rows) const { return m_orderedBy == sortParam && Count() == rows; }

    // No row is known to be in order any more.
    void Clear();
    // Rows [0, keys.size()) are in the order of `sortParam`, with these keys.
    void Assign(int sortParam, std::vector<Key> keys);
    // A row placed at `row` (0..Count()) in order; its key was made for OrderedBy().
    void Insert(int row, const Key& key);
    // Row `row` was removed from the list. A row after the ordered part changes nothing; an
    // ordered row is dropped when its key names `itemData`. Otherwise the keys no longer match
    // the list, so nothing is known in order any more (returns false).
    bool Remove(int row, lc::LPARAM itemData);
    const Key& At(int row) const { return m_keys[static_cast<std::size_t>(row)]; }

    // The place of a new row with `key` among the ordered rows: after every row that does not
    // compare greater (the upper bound, where a stable sort puts a row added last). Keys that
    // differ decide by themselves; for equal keys `compareFull(itemData)` answers the full
    // comparison of the new row with that row: negative, zero or positive.
    template <typename CompareFull>
    int UpperBound(const Key& key, CompareFull&& compareFull) const
    {
        if (!m_orderedBy || m_field < 0)
            return Count();  // nothing orders: every row compares equal
        // The rows that do not compare greater than the new one come first.
        const auto notGreater = [&](int row) {
            const Key& other = At(row);
            const int c = ComparePrefixes(key, other);
            return (c != 0 ? (m_descending ? -c : c) : compareFull(other.itemData)) >= 0;
        };
        const auto rows = std::views::iota(0, Count());
        return static_cast<int>(std::ranges::partition_point(rows, notGreater) - rows.begin());
    }

private:
    static int ComparePrefixes(const Key& a, const Key& b)
    {
        if (a.high != b.high)
            return a.high < b.high ? -1 : 1;
        if (a.low != b.low)
            return a.low < b.low ? -1 : 1;
        return 0;
    }

    std::optional<int> m_orderedBy;
    int m_field = -1;
    bool m_descending = false;
    lc::BlockArray<Key, 512> m_keys;
};

}  // namespace vantor
