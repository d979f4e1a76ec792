#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace vantor::lc {

// One cell as read: text bytes or the text-callback marker, and an image for sub-item images.
// `text` points into the item's storage and stays valid until a cell of that item is written.
struct ListCell {
    std::string_view text;  // empty for callback and empty cells
    int image = 0;          // meaningful with hasImage; 0 otherwise
    bool callback = false;
    bool hasImage = false;
};

// The cells of one item by control column, in one machine word. A row of a large list often
// holds nothing but callback cells, and a vector of full cells per row would cost more than all
// the rest of the row. So:
// - no cells: the word is 0;
// - only callback and empty cells, none with an image, in the first 63 columns (31 with
//   32-bit pointers): the word holds one bit per callback cell and a tag bit, nothing on the heap;
// - otherwise the word owns one heap block holding every cell up to the last non-empty one:
//   per cell a tag byte (empty / callback / text, has image), then the image (4 bytes) when it
//   has one, then for a text its length (7 bits a byte) and bytes, and an end tag.
// A column beyond the stored ones reads as an empty cell: an empty cell and a missing one are
// the same. Writes rebuild the block (copying the other cells' bytes as they are), so it is always exactly
// as large as its cells.
// Kept for vantor_bench_discovery's bytes per row at 100,000 rows (at most 400).
class ListCells final {
public:
    ListCells() = default;
    ListCells(ListCells&& other) noexcept
        : m_word(std::exchange(other.m_word, 0))
    { }
    ListCells& operator=(ListCells&& other) noexcept
    {
        if (this != &other) {
            Free();
            m_word = std::exchange(other.m_word, 0);
        }
        return *this;
    }
    ListCells(const ListCells&) = delete;
    ListCells& operator=(const ListCells&) = delete;
    ~ListCells() { Free(); }

    // The cell at `column` (>= 0); an empty cell when none is stored there.
    ListCell Get(int column) const;
    // Sets the text of the cell (or makes it a callback cell, `text` then unused); its image stays.
    void SetText(int column, std::string_view text, bool callback);
    void SetImage(int column, int image);
    // An empty cell at `column`; the cells from there on move one column on.
    void InsertColumn(int column);
    // Removes the cell at `column`; the cells after it move one column back.
    void EraseColumn(int column);
    // Bytes held on the heap (0 when the cells fit in the word).
    std::size_t HeapBytes() const;

private:
    // One bit of the word tells the inline form from a block pointer (always even).
    static constexpr int kInlineColumns = std::numeric_limits<std::uintptr_t>::digits - 1;

    bool IsInline() const { return (m_word & 1u) != 0; }
    // The block of the block form; null without cells.
    std::uint8_t* Block() const;
    // Takes `block` as the cells, freeing the old ones only now: the block may have been built
    // from them.
    void Adopt(std::unique_ptr<std::uint8_t[]> block);
    std::vector<ListCell> Decode() const;
    // Replaces the contents with `cells` in the smallest form. `cells` may point into the old
    // block: it is freed only after the new one is built.
    void Encode(std::span<const ListCell> cells);
    void Free();
    // Applies `edit` to cell `column`: in place of the block's bytes when `inBlock` (the block
    // form stays), else through the decoded cells, stored again in the smallest form.
    template <class Edit>
    void EditCell(int column, bool inBlock, Edit edit);

    std::uintptr_t m_word = 0;
};

}  // namespace vantor::lc
