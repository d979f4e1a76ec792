#include "platform/listcontrol/RowInsertions.h"

#include <algorithm>
#include <cstddef>

namespace vantor::lc {

namespace {

// Which of `size` slots are still free, with the k-th free slot found in O(log size): a
// Fenwick tree of ones.
class FreeSlots {
public:
    explicit FreeSlots(int size)
        : m_tree(static_cast<std::size_t>(size) + 1)
    {
        for (int i = 1; i <= size; ++i)
            m_tree[static_cast<std::size_t>(i)] = i & -i;  // every slot free: each node counts its span
        m_top = 1;
        while (m_top * 2 <= size)
            m_top *= 2;
    }

    // Takes the k-th free slot (0-based) and returns its index.
    int TakeKth(int k)
    {
        int at = 0;
        int remaining = k + 1;
        for (int step = m_top; step > 0; step /= 2) {
            const int next = at + step;
            if (next < static_cast<int>(m_tree.size()) && m_tree[static_cast<std::size_t>(next)] < remaining) {
                at = next;
                remaining -= m_tree[static_cast<std::size_t>(next)];
            }
        }
        for (int i = at + 1; i < static_cast<int>(m_tree.size()); i += i & -i)
            --m_tree[static_cast<std::size_t>(i)];
        return at;  // slot `at` (1-based at + 1)
    }

private:
    std::vector<int> m_tree;
    int m_top = 1;
};

}  // namespace

RowInsertions::RowInsertions(std::span<const int> positions, int finalCount)
    : m_finalCount(finalCount)
    , m_positions(positions.begin(), positions.end())
{
    // The earlier rows stay in place exactly when no row went in before one of them, i.e. each
    // went in at or after the place the last earlier row had.
    const int rowsBefore = finalCount - Count();
    m_earlierRowsStay = std::all_of(m_positions.begin(), m_positions.end(), [&](int at) { return at >= rowsBefore; });
}

const std::vector<int>& RowInsertions::InsertedRows() const
{
    if (m_inserted.size() == m_positions.size())
        return m_inserted;
    // Worked out only when asked for: a turn of appended rows, or one with no selection to
    // move, never needs it.
    const auto count = static_cast<long long>(m_positions.size());
    if (count * count <= m_finalCount) {
        // Few rows: replay the insertions on their own positions, each moving the ones at or
        // after it one down.
        for (const int at : m_positions) {
            for (int& row : m_inserted) {
                if (row >= at)
                    ++row;
            }
            m_inserted.push_back(at);
        }
    } else {
        // Many: the row inserted last sits where it was inserted; going back in time, each
        // earlier row sits at its position counted among the slots later rows did not take.
        FreeSlots slots(m_finalCount);
        m_inserted.resize(m_positions.size());
        for (std::size_t i = m_positions.size(); i-- > 0;)
            m_inserted[i] = slots.TakeKth(m_positions[i]);
    }
    std::sort(m_inserted.begin(), m_inserted.end());
    m_earlierRowsBefore.resize(m_inserted.size());
    for (std::size_t j = 0; j < m_inserted.size(); ++j)
        m_earlierRowsBefore[j] = m_inserted[j] - static_cast<int>(j);
    return m_inserted;
}

int RowInsertions::NewRowOf(int row) const
{
    if (m_earlierRowsStay)
        return row;
    InsertedRows();
    // Inserted row j lies before earlier row `row` exactly when fewer than row + 1 earlier
    // rows lie before it.
    const auto before = std::upper_bound(m_earlierRowsBefore.begin(), m_earlierRowsBefore.end(), row);
    return row + static_cast<int>(before - m_earlierRowsBefore.begin());
}

}  // namespace vantor::lc
