#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vantor {

// The interface each row's reply came in on, so a command for the row leaves through the
// adapter its device is behind. Rows get increasing identities in arrival order and neighbours
// nearly always came in on the same adapter, so this is kept as runs: a list of thousands of
// rows behind one adapter costs one entry.
// Kept for vantor_bench_discovery's bytes per row at 100,000 rows: a run, not an entry a row.
class RowInterfaces final {
public:
    using RowId = std::uint64_t;

    // Identities must be noted in increasing order.
    void Note(RowId id, int interfaceIndex)
    {
        if (!m_runs.empty() && (m_runs.back().interfaceIndex == interfaceIndex || id <= m_runs.back().first))
            return;
        m_runs.push_back(Run{id, interfaceIndex});
    }

    // 0 for a row noted before the last Clear() or never noted.
    int Of(RowId id) const
    {
        const auto after = std::upper_bound(m_runs.begin(), m_runs.end(), id,
                                            [](RowId value, const Run& run) { return value < run.first; });
        return after == m_runs.begin() ? 0 : std::prev(after)->interfaceIndex;
    }

    // Once the list is empty: the identities noted so far belong to no row any more.
    void Clear() { m_runs.clear(); }

private:
    struct Run {
        RowId first;  // the run covers this identity and the ones after it, up to the next run
        int interfaceIndex;
    };
    std::vector<Run> m_runs;
};

}  // namespace vantor
