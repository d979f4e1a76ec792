#pragma once

#include <span>
#include <vector>

namespace vantor::lc {

// Rows inserted one at a time into a list, seen all at once: where each inserted row has ended
// up, and where each row that was there before has moved. The list control inserts rows as
// they come but tells Qt's views of a whole turn's rows in one notice, so it needs both: the
// rows Qt knew before, mapped to their places now.
// Kept for vantor_bench_discovery's longest time without taking events in the 100,000 flood.
class RowInsertions final {
public:
    RowInsertions() = default;
    // `positions[i]` is the index row i was inserted at, among the rows there at that moment
    // (0 .. rows before + i); the list now holds `finalCount` rows.
    RowInsertions(std::span<const int> positions, int finalCount);

    // Indexes of the inserted rows in the list as it is now, ascending.
    const std::vector<int>& InsertedRows() const;
    int Count() const { return static_cast<int>(m_positions.size()); }
    // Where a row that was in the list before the insertions is now (`row` counts the rows
    // before the insertions).
    int NewRowOf(int row) const;
    // Whether every inserted row ended up after all the rows that were there before, which
    // then stay where they were.
    bool EarlierRowsStay() const { return m_earlierRowsStay; }

private:
    int m_finalCount = 0;
    std::vector<int> m_positions;
    bool m_earlierRowsStay = true;
    // Worked out on the first question about places (mutable: a cache of what the positions
    // already say).
    mutable std::vector<int> m_inserted;
    // Entry j: m_inserted[j] - j, never decreasing: the number of earlier rows that lie before
    // the j-th inserted row.
    mutable std::vector<int> m_earlierRowsBefore;
};

}  // namespace vantor::lc
