#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

namespace vantor::lc {

// A sequence with index access in which inserting or removing at any index stays cheap however
// long it grows: the elements live in blocks of at most `MaxBlock`, and a table holds the index
// of each block's first element. Reaching an index is a binary search over that table; an
// insertion or removal shifts the elements of one block and the starts of the blocks after it,
// so it costs O(MaxBlock + size / MaxBlock) instead of O(size).
// Memory: a block's storage grows by a fixed step (an eighth of MaxBlock) up to MaxBlock + 1,
// the most it holds before it splits, and is cut back when removals leave much unused, so
// unused room stays within a step or two per block instead of doubling. Elements appended at
// the end fill the last block completely before a new one starts.
// Kept for vantor_bench_discovery's view / floor at 50,000 rows: sorted rows go in mid-list.
template <class T, std::size_t MaxBlock = 512>
class BlockArray final {
    static_assert(MaxBlock >= 4, "blocks must hold a few elements to be split and merged");
    static constexpr std::size_t kStep = std::max<std::size_t>(MaxBlock / 8, 2);

public:
    BlockArray() = default;

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    // Elements the blocks have room for. A test holds it near size(): the bytes per row at
    // 100,000 rows depend on it.
    std::size_t Capacity() const
    {
        std::size_t room = 0;
        for (const std::vector<T>& elements : m_blocks)
            room += elements.capacity();
        return room;
    }

    T& operator[](std::size_t index)
    {
        assert(index < m_size);
        const std::size_t block = BlockOf(index);
        return m_blocks[block][index - m_starts[block]];
    }
    const T& operator[](std::size_t index) const
    {
        assert(index < m_size);
        const std::size_t block = BlockOf(index);
        return m_blocks[block][index - m_starts[block]];
    }

    // Inserts before `index` (0..size).
    void insert(std::size_t index, T value)
    {
        assert(index <= m_size);
        if (m_blocks.empty() || (index == m_size && m_blocks.back().size() >= MaxBlock)) {
            m_blocks.emplace_back().reserve(kStep);
            m_starts.push_back(m_size);
        }
        // At the end the element joins the last block; elsewhere the block holding `index`.
        const std::size_t block = index == m_size ? m_blocks.size() - 1 : BlockOf(index);
        std::vector<T>& elements = m_blocks[block];
        if (elements.size() == elements.capacity())
            elements.reserve(std::min(elements.size() + kStep, MaxBlock + 1));
        elements.insert(elements.begin() + static_cast<std::ptrdiff_t>(index - m_starts[block]), std::move(value));
        ++m_size;
        ShiftStartsAfter(block, true);
        if (elements.size() > MaxBlock)
            Split(block);
    }

    void push_back(T value) { insert(m_size, std::move(value)); }

    // Removes the element at `index` (0..size-1) and returns it.
    T take(std::size_t index)
    {
        assert(index < m_size);
        const std::size_t block = BlockOf(index);
        std::vector<T>& elements = m_blocks[block];
        const auto at = elements.begin() + static_cast<std::ptrdiff_t>(index - m_starts[block]);
        T removed = std::move(*at);
        elements.erase(at);
        if (elements.capacity() - elements.size() > 2 * kStep)
            Reallocate(elements, elements.size() + kStep);
        --m_size;
        ShiftStartsAfter(block, false);
        MergeIfSmall(block);
        return removed;
    }

    void clear()
    {
        m_blocks.clear();
        m_starts.clear();
        m_size = 0;
    }

    // Every element in order, moved out; the array is left empty.
    std::vector<T> release()
    {
        std::vector<T> all;
        all.reserve(m_size);
        for (std::vector<T>& elements : m_blocks)
            std::move(elements.begin(), elements.end(), std::back_inserter(all));
        clear();
        return all;
    }

    // Replaces the contents with `values`, in order. Blocks start half full (with no room
    // unused), so the insertions that follow do not split at once.
    void assign(std::vector<T> values)
    {
        clear();
        constexpr std::size_t fill = MaxBlock / 2;
        for (std::size_t first = 0; first < values.size(); first += fill) {
            const std::size_t last = std::min(values.size(), first + fill);
            std::vector<T>& elements = m_blocks.emplace_back();
            elements.reserve(last - first);
            std::move(values.begin() + static_cast<std::ptrdiff_t>(first),
                      values.begin() + static_cast<std::ptrdiff_t>(last), std::back_inserter(elements));
            m_starts.push_back(first);
        }
        m_size = values.size();
    }

    // Calls `visit(element)` for every element, in order.
    template <class Visit>
    void ForEach(Visit visit)
    {
        for (std::vector<T>& elements : m_blocks) {
            for (T& element : elements)
                visit(element);
        }
    }
    template <class Visit>
    void ForEach(Visit visit) const
    {
        for (const std::vector<T>& elements : m_blocks) {
            for (const T& element : elements)
                visit(element);
        }
    }

private:
    // The block holding `index` (< size): the last block starting at or before it.
    std::size_t BlockOf(std::size_t index) const
    {
        const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), index);
        return static_cast<std::size_t>(after - m_starts.begin()) - 1;
    }

    // One element more (or less) in `block`: the blocks after it start one later (earlier).
    void ShiftStartsAfter(std::size_t block, bool grown)
    {
        for (std::size_t b = block + 1; b < m_starts.size(); ++b) {
            if (grown)
                ++m_starts[b];
            else
                --m_starts[b];
        }
    }

    // An overfull block gives its second half to a new block after it.
    void Split(std::size_t block)
    {
        std::vector<T>& elements = m_blocks[block];
        const std::size_t keep = elements.size() / 2;
        std::vector<T> second;
        second.reserve(elements.size() - keep + kStep);
        std::move(elements.begin() + static_cast<std::ptrdiff_t>(keep), elements.end(), std::back_inserter(second));
        elements.erase(elements.begin() + static_cast<std::ptrdiff_t>(keep), elements.end());
        Reallocate(elements, keep + kStep);
        const std::size_t start = m_starts[block] + keep;
        m_blocks.insert(m_blocks.begin() + static_cast<std::ptrdiff_t>(block + 1), std::move(second));
        m_starts.insert(m_starts.begin() + static_cast<std::ptrdiff_t>(block + 1), start);
    }

    // A block that has shrunk to a quarter joins a neighbour when both fit in one block (an
    // empty block simply goes), so removals cannot leave many tiny blocks behind.
    void MergeIfSmall(std::size_t block)
    {
        if (m_blocks[block].size() >= MaxBlock / 4)
            return;
        if (m_blocks[block].empty()) {
            EraseBlock(block);
            return;
        }
        if (block + 1 < m_blocks.size() && m_blocks[block].size() + m_blocks[block + 1].size() <= MaxBlock) {
            Append(block, block + 1);
        } else if (block > 0 && m_blocks[block - 1].size() + m_blocks[block].size() <= MaxBlock) {
            Append(block - 1, block);
        }
    }

    // Moves the elements of block `from` to the end of the block before it, `to`.
    void Append(std::size_t to, std::size_t from)
    {
        std::vector<T>& source = m_blocks[from];
        std::vector<T>& target = m_blocks[to];
        if (target.capacity() < target.size() + source.size())
            Reallocate(target, target.size() + source.size());
        std::move(source.begin(), source.end(), std::back_inserter(target));
        EraseBlock(from);
    }

    // Gives `elements` storage for exactly `capacity` elements (at least its size).
    static void Reallocate(std::vector<T>& elements, std::size_t capacity)
    {
        std::vector<T> moved;
        moved.reserve(std::max(capacity, elements.size()));
        std::move(elements.begin(), elements.end(), std::back_inserter(moved));
        elements = std::move(moved);
    }

    void EraseBlock(std::size_t block)
    {
        m_blocks.erase(m_blocks.begin() + static_cast<std::ptrdiff_t>(block));
        m_starts.erase(m_starts.begin() + static_cast<std::ptrdiff_t>(block));
    }

    std::vector<std::vector<T>> m_blocks;
    std::vector<std::size_t> m_starts;  // index of each block's first element
    std::size_t m_size = 0;
};

}  // namespace vantor::lc
