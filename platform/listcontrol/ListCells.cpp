#include "platform/listcontrol/ListCells.h"

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
constexpr unsigned kEnd = 0xFF;

bool IsEmpty(const ListCell& cell)
{
    return !cell.callback && cell.text.empty() && !cell.hasImage;
}

bool StoresText(const ListCell& cell)
{
    return !cell.callback && !cell.text.empty();
}

std::size_t LengthBytes(std::size_t length)
{
    std::size_t bytes = 1;
    for (; length >= 0x80; length >>= 7)
        ++bytes;
    return bytes;
}

unsigned ReadByte(const std::byte*& at)
{
    return std::to_integer<unsigned>(*at++);
}

void WriteByte(std::byte*& at, unsigned value)
{
    *at++ = static_cast<std::byte>(value);
}

// Reads the cell at `at` and moves past it; `at` must not be at the end tag.
ListCell ReadCell(const std::byte*& at)
{
    ListCell cell;
    const unsigned tag = ReadByte(at);
    cell.callback = (tag & kKindMask) == kCallback;
    if ((tag & kHasImage) != 0) {
        std::int32_t image = 0;
        std::memcpy(&image, at, sizeof image);  // unaligned
        at += sizeof image;
        cell.hasImage = true;
        cell.image = image;
    }
    if ((tag & kKindMask) == kText) {
        std::size_t length = 0;
        for (int shift = 0;; shift += 7) {
            const unsigned part = ReadByte(at);
            length |= static_cast<std::size_t>(part & 0x7F) << shift;
            if ((part & 0x80) == 0)
                break;
        }
        cell.text = std::string_view(reinterpret_cast<const char*>(at), length);
        at += length;
    }
    return cell;
}

void WriteCell(std::byte*& at, const ListCell& cell)
{
    const unsigned kind = cell.callback ? kCallback : (cell.text.empty() ? kEmpty : kText);
    WriteByte(at, kind | (cell.hasImage ? kHasImage : 0u));
    if (cell.hasImage) {
        const std::int32_t image = cell.image;
        std::memcpy(at, &image, sizeof image);
        at += sizeof image;
    }
    if (kind == kText) {
        std::size_t length = cell.text.size();
        for (; length >= 0x80; length >>= 7)
            WriteByte(at, static_cast<unsigned>(length & 0x7F) | 0x80);
        WriteByte(at, static_cast<unsigned>(length));
        std::memcpy(at, cell.text.data(), cell.text.size());
        at += cell.text.size();
    }
}

std::size_t StoredSize(const ListCell& cell)
{
    std::size_t size = 1 + (cell.hasImage ? sizeof(std::int32_t) : 0);
    if (StoresText(cell))
        size += LengthBytes(cell.text.size()) + cell.text.size();
    return size;
}

std::uintptr_t LowBits(int count)
{
    return (std::uintptr_t{1} << count) - 1;
}

}  // namespace

std::byte* ListCells::Block() const
{
    return reinterpret_cast<std::byte*>(m_word);
}

void ListCells::Free()
{
    if (m_word != 0 && !IsInline())
        std::unique_ptr<std::byte[]>(Block()).reset();
    m_word = 0;
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
    const std::byte* at = Block();
    for (int c = 0; std::to_integer<unsigned>(*at) != kEnd; ++c) {
        const ListCell cell = ReadCell(at);
        if (c == column)
            return cell;
    }
    return {};
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
    for (const std::byte* at = Block(); std::to_integer<unsigned>(*at) != kEnd;)
        cells.push_back(ReadCell(at));
    return cells;
}

void ListCells::Encode(std::span<const ListCell> cells)
{
    std::size_t count = cells.size();
    while (count > 0 && IsEmpty(cells[count - 1]))
        --count;
    cells = cells.first(count);
    std::uintptr_t word = 0;
    if (count == 0) {
        word = 0;
    } else if (count <= kInlineColumns && std::all_of(cells.begin(), cells.end(), [](const ListCell& cell) {
                   return !cell.hasImage && !StoresText(cell);
               })) {
        std::uintptr_t mask = 0;
        for (std::size_t c = 0; c < count; ++c)
            mask |= static_cast<std::uintptr_t>(cells[c].callback) << c;
        word = mask << 1 | 1u;
    } else {
        std::size_t size = 1;
        for (const ListCell& cell : cells)
            size += StoredSize(cell);
        auto block = std::make_unique_for_overwrite<std::byte[]>(size);
        std::byte* at = block.get();
        for (const ListCell& cell : cells)
            WriteCell(at, cell);
        WriteByte(at, kEnd);
        assert(at == block.get() + size);
        word = reinterpret_cast<std::uintptr_t>(block.release());
        assert((word & 1u) == 0);  // new[] aligns far beyond 2
    }
    Free();
    m_word = word;
}

ListCells::Place ListCells::Locate(int column) const
{
    Place place;
    if (m_word == 0)
        return place;
    const std::byte* first = Block();
    const std::byte* at = first;
    for (; std::to_integer<unsigned>(*at) != kEnd; ++place.count) {
        const std::byte* start = at;
        const ListCell cell = ReadCell(at);
        if (place.count == column) {
            place.begin = static_cast<std::size_t>(start - first);
            place.end = static_cast<std::size_t>(at - first);
            place.cell = cell;
        }
    }
    place.endTag = static_cast<std::size_t>(at - first);
    if (column >= place.count)
        place.begin = place.end = place.endTag;
    return place;
}

void ListCells::Splice(const Place& place, int empties, const ListCell* cell)
{
    const std::byte* old = m_word == 0 ? nullptr : Block();
    const std::size_t tail = place.endTag - place.end;
    const std::size_t size =
        place.begin + static_cast<std::size_t>(empties) + (cell != nullptr ? StoredSize(*cell) : 0) + tail + 1;
    auto block = std::make_unique_for_overwrite<std::byte[]>(size);
    std::byte* at = block.get();
    if (place.begin > 0)
        at = std::copy_n(old, place.begin, at);
    for (int i = 0; i < empties; ++i)
        WriteByte(at, kEmpty);
    if (cell != nullptr)
        WriteCell(at, *cell);
    if (tail > 0)
        at = std::copy_n(old + place.end, tail, at);
    WriteByte(at, kEnd);
    assert(at == block.get() + size);
    Free();
    m_word = reinterpret_cast<std::uintptr_t>(block.release());
    assert((m_word & 1u) == 0);  // new[] aligns far beyond 2
}

template <class Edit>
void ListCells::EditCell(int column, bool inBlock, Edit edit)
{
    if (inBlock) {
        const Place place = Locate(column);
        ListCell cell = place.cell;
        edit(cell);
        Splice(place, std::max(0, column - place.count), &cell);
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
    Place place = Locate(column);
    if (column < place.count) {
        place.end = place.begin;
        Splice(place, 1, nullptr);
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
    const Place place = Locate(column);
    if (column >= place.count)
        return;
    Splice(place, 0, nullptr);
    // What is left may end in empty cells, or hold nothing that needs a block.
    bool payload = false;
    bool trailingEmpty = false;
    for (const std::byte* at = Block(); std::to_integer<unsigned>(*at) != kEnd;) {
        const ListCell cell = ReadCell(at);
        payload = payload || StoresText(cell) || cell.hasImage;
        trailingEmpty = IsEmpty(cell);
    }
    if (!payload || trailingEmpty)
        Encode(Decode());
}

std::size_t ListCells::HeapBytes() const
{
    if (m_word == 0 || IsInline())
        return 0;
    const std::byte* at = Block();
    while (std::to_integer<unsigned>(*at) != kEnd)
        ReadCell(at);
    return static_cast<std::size_t>(at - Block()) + 1;
}

}  // namespace vantor::lc
