#include "platform/listcontrol/ListCells.h"

#include "platform/listcontrol/SlotBlock.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>

namespace vantor::lc {

namespace {

// Tag byte of a stored cell: its kind in the low bits, then whether an image follows.
constexpr unsigned kKindMask = 0x03;
constexpr unsigned kEmpty = 0x00;
constexpr unsigned kCallback = 0x01;
constexpr unsigned kText = 0x02;
constexpr unsigned kHasImage = 0x04;
constexpr std::uint8_t kEndByte = 0xFF;

bool IsEmpty(const ListCell& cell)
{
    return !cell.callback && cell.text.empty() && !cell.hasImage;
}

bool StoresText(const ListCell& cell)
{
    return !cell.callback && !cell.text.empty();
}

// Reads the cell at `at` and moves past it; `at` must not be at the end byte.
ListCell ReadCell(const std::uint8_t*& at)
{
    ListCell cell;
    const unsigned tag = *at++;
    cell.callback = (tag & kKindMask) == kCallback;
    if ((tag & kHasImage) != 0) {
        std::int32_t image = 0;
        std::memcpy(&image, at, sizeof image);  // unaligned
        at += sizeof image;
        cell.hasImage = true;
        cell.image = image;
    }
    if ((tag & kKindMask) == kText) {
        const auto length = static_cast<std::size_t>(GetVar(at));
        cell.text = std::string_view(reinterpret_cast<const char*>(at), length);
        at += length;
    }
    return cell;
}

void WriteCell(std::uint8_t*& at, const ListCell& cell)
{
    const unsigned kind = cell.callback ? kCallback : (cell.text.empty() ? kEmpty : kText);
    *at++ = static_cast<std::uint8_t>(kind | (cell.hasImage ? kHasImage : 0u));
    if (cell.hasImage) {
        const std::int32_t image = cell.image;
        std::memcpy(at, &image, sizeof image);
        at += sizeof image;
    }
    if (kind == kText) {
        at = PutVar(at, cell.text.size());
        std::memcpy(at, cell.text.data(), cell.text.size());
        at += cell.text.size();
    }
}

std::size_t StoredSize(const ListCell& cell)
{
    std::size_t size = 1 + (cell.hasImage ? sizeof(std::int32_t) : 0);
    if (StoresText(cell))
        size += VarSize(cell.text.size()) + cell.text.size();
    return size;
}

struct CellCodec {
    static constexpr std::uint8_t kEnd = kEndByte;
    static const std::uint8_t* Skip(const std::uint8_t* slot)
    {
        ReadCell(slot);
        return slot;
    }
};
using CellBlock = SlotBlock<CellCodec>;

// `block` with `empties` empty cells and then `cell`, if given, in place of the bytes at `place`.
// `cell` may point into `block`.
std::unique_ptr<std::uint8_t[]> Spliced(const std::uint8_t* block, const CellBlock::Place& place, int empties,
                                        const ListCell* cell)
{
    const std::size_t inserted = static_cast<std::size_t>(empties) + (cell != nullptr ? StoredSize(*cell) : 0);
    return CellBlock::Splice(block, place, inserted, [&](std::uint8_t* at) {
        for (int i = 0; i < empties; ++i)
            *at++ = kEmpty;
        if (cell != nullptr)
            WriteCell(at, *cell);
    });
}

std::uintptr_t LowBits(int count)
{
    return (std::uintptr_t{1} << count) - 1;
}

}  // namespace

std::uint8_t* ListCells::Block() const
{
    return reinterpret_cast<std::uint8_t*>(m_word);
}

void ListCells::Free()
{
    if (m_word != 0 && !IsInline())
        std::unique_ptr<std::uint8_t[]>(Block()).reset();
    m_word = 0;
}

void ListCells::Adopt(std::unique_ptr<std::uint8_t[]> block)
{
    Free();
    m_word = reinterpret_cast<std::uintptr_t>(block.release());
    assert((m_word & 1u) == 0);  // new[] aligns far beyond 2
}

ListCell ListCells::Get(int column) const
{
    if (m_word == 0 || column < 0)
        return {};
    if (IsInline()) {
        ListCell cell;
        cell.callback = column < kInlineColumns && ((m_word >> (column + 1)) & 1u) != 0;
        return cell;
    }
    const std::uint8_t* at = CellBlock::Find(Block(), column);
    return at != nullptr ? ReadCell(at) : ListCell{};
}

std::vector<ListCell> ListCells::Decode() const
{
    std::vector<ListCell> cells;
    if (m_word == 0)
        return cells;
    if (IsInline()) {
        for (std::uintptr_t mask = m_word >> 1; mask != 0; mask >>= 1)
            cells.push_back(ListCell{{}, 0, (mask & 1u) != 0, false});
        return cells;
    }
    for (const std::uint8_t* at = Block(); *at != kEndByte;)
        cells.push_back(ReadCell(at));
    return cells;
}

void ListCells::Encode(std::span<const ListCell> cells)
{
    std::size_t count = cells.size();
    while (count > 0 && IsEmpty(cells[count - 1]))
        --count;
    cells = cells.first(count);
    if (count == 0) {
        Free();
    } else if (count <= kInlineColumns && std::all_of(cells.begin(), cells.end(), [](const ListCell& cell) {
                   return !cell.hasImage && !StoresText(cell);
               })) {
        std::uintptr_t mask = 0;
        for (std::size_t c = 0; c < count; ++c)
            mask |= static_cast<std::uintptr_t>(cells[c].callback) << c;
        Free();
        m_word = mask << 1 | 1u;
    } else {
        std::size_t size = 0;
        for (const ListCell& cell : cells)
            size += StoredSize(cell);
        Adopt(CellBlock::Splice(nullptr, {}, size, [&](std::uint8_t* at) {
            for (const ListCell& cell : cells)
                WriteCell(at, cell);
        }));
    }
}

template <class Edit>
void ListCells::EditCell(int column, bool inBlock, Edit edit)
{
    if (inBlock) {
        const CellBlock::Place place = CellBlock::Locate(Block(), column);
        const std::uint8_t* at = Block() + place.begin;
        ListCell cell = place.begin < place.end ? ReadCell(at) : ListCell{};
        edit(cell);
        Adopt(Spliced(Block(), place, std::max(0, column - place.count), &cell));
        return;
    }
    std::vector<ListCell> cells = Decode();
    if (cells.size() <= static_cast<std::size_t>(column))
        cells.resize(static_cast<std::size_t>(column) + 1);
    edit(cells[static_cast<std::size_t>(column)]);
    Encode(cells);
}

void ListCells::SetText(int column, std::string_view text, bool callback)
{
    assert(column >= 0);
    const bool stored = !callback && !text.empty();
    if (IsInline() || m_word == 0) {
        const std::uintptr_t bit = column < kInlineColumns ? std::uintptr_t{2} << column : 0;
        if (bit != 0 && callback) {
            m_word |= bit | 1u;
            return;
        }
        if (bit != 0 && !stored) {
            m_word &= ~bit;
            if (m_word == 1u)
                m_word = 0;
            return;
        }
    }
    // A block keeps its form when the cell gains a text: the rest of it is copied around the cell.
    EditCell(column, !IsInline() && stored, [&](ListCell& cell) {
        cell.callback = callback;
        cell.text = callback ? std::string_view() : text;
    });
}

void ListCells::SetImage(int column, int image)
{
    assert(column >= 0);
    EditCell(column, !IsInline(), [image](ListCell& cell) {
        cell.hasImage = true;
        cell.image = image;
    });
}

void ListCells::InsertColumn(int column)
{
    assert(column >= 0);
    if (m_word == 0)
        return;
    const std::uintptr_t mask = m_word >> 1;
    if (IsInline() && (column >= kInlineColumns || (mask >> (kInlineColumns - 1)) == 0)) {
        if (column >= kInlineColumns)
            return;
        const std::uintptr_t moved = (mask & LowBits(column)) | ((mask >> column) << (column + 1));
        m_word = moved << 1 | 1u;
        return;
    }
    if (IsInline()) {
        std::vector<ListCell> cells = Decode();
        cells.insert(cells.begin() + column, ListCell{});
        Encode(cells);
        return;
    }
    CellBlock::Place place = CellBlock::Locate(Block(), column);
    if (column < place.count) {
        place.end = place.begin;
        Adopt(Spliced(Block(), place, 1, nullptr));
    }
}

void ListCells::EraseColumn(int column)
{
    assert(column >= 0);
    if (m_word == 0)
        return;
    if (IsInline()) {
        if (column >= kInlineColumns)
            return;
        const std::uintptr_t mask = m_word >> 1;
        const std::uintptr_t moved = (mask & LowBits(column)) | ((mask >> (column + 1)) << column);
        m_word = moved == 0 ? 0 : moved << 1 | 1u;
        return;
    }
    const CellBlock::Place place = CellBlock::Locate(Block(), column);
    if (column >= place.count)
        return;
    Adopt(Spliced(Block(), place, 0, nullptr));
    // What is left may end in empty cells, or hold nothing that needs a block.
    bool payload = false;
    bool trailingEmpty = false;
    for (const std::uint8_t* at = Block(); *at != kEndByte;) {
        const ListCell cell = ReadCell(at);
        payload = payload || StoresText(cell) || cell.hasImage;
        trailingEmpty = IsEmpty(cell);
    }
    if (!payload || trailingEmpty)
        Encode(Decode());
}

std::size_t ListCells::HeapBytes() const
{
    return IsInline() ? 0 : CellBlock::Size(Block());
}

}  // namespace vantor::lc
