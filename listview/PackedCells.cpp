#include "listview/PackedCells.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vantor {

namespace {

using lc::LVIF_IMAGE;
using lc::LVIF_INDENT;
using lc::LVIF_PARAM;
using lc::LVIF_STATE;
using lc::LVIF_TEXT;

// Tag byte of a slot. The low two bits: 0 for an empty slot (a lone zero byte), else the text
// kind plus one. The others: the mask bits most cells use, and whether the whole mask follows
// because it has further bits.
constexpr std::uint8_t kKindBits = 0x03;
constexpr std::uint8_t kTextBit = 0x04;
constexpr std::uint8_t kImageBit = 0x08;
constexpr std::uint8_t kIndentBit = 0x10;
constexpr std::uint8_t kStateBit = 0x20;
constexpr std::uint8_t kParamBit = 0x40;
constexpr std::uint8_t kFullMaskBit = 0x80;
constexpr unsigned kTaggedMask = LVIF_TEXT | LVIF_IMAGE | LVIF_INDENT | LVIF_STATE | LVIF_PARAM;

// Integers are written seven bits a byte, low bits first, the top bit set on every byte but the
// last; signed ones zigzagged first so small negative numbers stay short.
std::size_t VarSize(std::uint64_t value)
{
    std::size_t size = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++size;
    }
    return size;
}

std::uint8_t* PutVar(std::uint8_t* out, std::uint64_t value)
{
    while (value >= 0x80) {
        *out++ = static_cast<std::uint8_t>(value | 0x80);
        value >>= 7;
    }
    *out++ = static_cast<std::uint8_t>(value);
    return out;
}

std::uint64_t GetVar(const std::uint8_t*& in)
{
    std::uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
        const std::uint8_t byte = *in++;
        value |= std::uint64_t{byte & 0x7Fu} << shift;
        if ((byte & 0x80) == 0) {
            return value;
        }
    }
}

void SkipVar(const std::uint8_t*& in)
{
    while ((*in++ & 0x80) != 0) {
    }
}

std::uint64_t Zig(std::int64_t value)
{
    return (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
}

std::int64_t Unzig(std::uint64_t value)
{
    return static_cast<std::int64_t>((value >> 1) ^ (0 - (value & 1)));
}

std::uint8_t TagOf(const PackedCells::CELL& cell)
{
    auto tag = static_cast<std::uint8_t>(static_cast<unsigned>(cell.textKind) + 1);
    const std::pair<unsigned, std::uint8_t> bits[] = {
        {LVIF_TEXT, kTextBit},   {LVIF_IMAGE, kImageBit}, {LVIF_INDENT, kIndentBit},
        {LVIF_STATE, kStateBit}, {LVIF_PARAM, kParamBit},
    };
    for (const auto& [maskBit, tagBit] : bits) {
        if ((cell.mask & maskBit) != 0) {
            tag |= tagBit;
        }
    }
    if ((cell.mask & ~kTaggedMask) != 0) {
        tag |= kFullMaskBit;
    }
    return tag;
}

// The text a cell keeps: its own text up to a NUL, which would end it when read back.
std::string_view StoredText(const PackedCells::CELL& cell)
{
    if (cell.textKind != PackedCells::TEXT_KIND::Owned) {
        return {};
    }
    return cell.text.substr(0, cell.text.find('\0'));
}

std::size_t EncodedSize(const PackedCells::CELL& cell)
{
    const std::uint8_t tag = TagOf(cell);
    std::size_t size = 1;
    size += (tag & kFullMaskBit) != 0 ? VarSize(cell.mask) : 0;
    size += (tag & kImageBit) != 0 ? VarSize(Zig(cell.image)) : 0;
    size += (tag & kIndentBit) != 0 ? VarSize(Zig(cell.indent)) : 0;
    size += (tag & kStateBit) != 0 ? VarSize(cell.state) + VarSize(cell.stateMask) : 0;
    size += (tag & kParamBit) != 0 ? VarSize(Zig(cell.lParam)) : 0;
    if (cell.textKind == PackedCells::TEXT_KIND::Owned) {
        size += StoredText(cell).size() + 1;
    }
    return size;
}

void Encode(const PackedCells::CELL& cell, std::uint8_t* out)
{
    const std::uint8_t tag = TagOf(cell);
    *out++ = tag;
    if ((tag & kFullMaskBit) != 0) {
        out = PutVar(out, cell.mask);
    }
    if ((tag & kImageBit) != 0) {
        out = PutVar(out, Zig(cell.image));
    }
    if ((tag & kIndentBit) != 0) {
        out = PutVar(out, Zig(cell.indent));
    }
    if ((tag & kStateBit) != 0) {
        out = PutVar(out, cell.state);
        out = PutVar(out, cell.stateMask);
    }
    if ((tag & kParamBit) != 0) {
        out = PutVar(out, Zig(cell.lParam));
    }
    if (cell.textKind == PackedCells::TEXT_KIND::Owned) {
        const std::string_view text = StoredText(cell);
        if (!text.empty()) {
            std::memcpy(out, text.data(), text.size());
        }
        out[text.size()] = 0;
    }
}

// Reads the slot at `in` and moves past it; `cell` may be null to skip only.
bool Decode(const std::uint8_t*& in, PackedCells::CELL* cell)
{
    const std::uint8_t tag = *in++;
    if ((tag & kKindBits) == 0) {
        return false;
    }
    PackedCells::CELL read;
    read.textKind = static_cast<PackedCells::TEXT_KIND>((tag & kKindBits) - 1);
    read.mask = (tag & kTextBit ? LVIF_TEXT : 0u) | (tag & kImageBit ? LVIF_IMAGE : 0u) |
                (tag & kIndentBit ? LVIF_INDENT : 0u) | (tag & kStateBit ? LVIF_STATE : 0u) |
                (tag & kParamBit ? LVIF_PARAM : 0u);
    if (cell == nullptr) {
        const int varints = ((tag & kFullMaskBit) != 0) + ((tag & kImageBit) != 0) + ((tag & kIndentBit) != 0) +
                            2 * ((tag & kStateBit) != 0) + ((tag & kParamBit) != 0);
        for (int i = 0; i < varints; ++i) {
            SkipVar(in);
        }
    } else {
        if ((tag & kFullMaskBit) != 0) {
            read.mask = static_cast<unsigned>(GetVar(in));
        }
        if ((tag & kImageBit) != 0) {
            read.image = static_cast<int>(Unzig(GetVar(in)));
        }
        if ((tag & kIndentBit) != 0) {
            read.indent = static_cast<int>(Unzig(GetVar(in)));
        }
        if ((tag & kStateBit) != 0) {
            read.state = static_cast<unsigned>(GetVar(in));
            read.stateMask = static_cast<unsigned>(GetVar(in));
        }
        if ((tag & kParamBit) != 0) {
            read.lParam = static_cast<lc::LPARAM>(Unzig(GetVar(in)));
        }
    }
    if (read.textKind == PackedCells::TEXT_KIND::Owned) {
        const auto* text = reinterpret_cast<const char*>(in);
        read.text = std::string_view(text, std::strlen(text));
        in += read.text.size() + 1;
    }
    if (cell != nullptr) {
        *cell = read;
    }
    return true;
}

std::size_t SlotCount(const std::uint8_t* block, const std::uint8_t*& firstSlot)
{
    firstSlot = block;
    return block != nullptr ? static_cast<std::size_t>(GetVar(firstSlot)) : 0;
}

}  // namespace

int PackedCells::Count() const
{
    const std::uint8_t* firstSlot = nullptr;
    return static_cast<int>(SlotCount(m_block.get(), firstSlot));
}

PackedCells::RANGE PackedCells::Locate(int slot) const
{
    const std::uint8_t* in = nullptr;
    const std::size_t count = SlotCount(m_block.get(), in);
    const std::uint8_t* const start = m_block.get();
    RANGE range;
    for (std::size_t i = 0; i < count; ++i) {
        if (i == static_cast<std::size_t>(slot)) {
            range.begin = static_cast<std::size_t>(in - start);
        }
        Decode(in, nullptr);
        if (i == static_cast<std::size_t>(slot)) {
            range.end = static_cast<std::size_t>(in - start);
        }
    }
    range.blockEnd = start != nullptr ? static_cast<std::size_t>(in - start) : 0;
    if (slot < 0 || static_cast<std::size_t>(slot) >= count) {
        range.begin = range.end = range.blockEnd;
    }
    return range;
}

std::optional<PackedCells::CELL> PackedCells::Read(int slot) const
{
    const std::uint8_t* in = nullptr;
    const std::size_t count = SlotCount(m_block.get(), in);
    if (slot < 0 || static_cast<std::size_t>(slot) >= count) {
        return std::nullopt;
    }
    for (int i = 0; i < slot; ++i) {
        Decode(in, nullptr);
    }
    CELL cell;
    return Decode(in, &cell) ? std::optional<CELL>(cell) : std::nullopt;
}

template <typename WRITE>
void PackedCells::Rebuild(std::size_t count, const RANGE& range, std::size_t inserted, WRITE write)
{
    if (count == 0) {
        m_block.reset();
        return;
    }
    const std::uint8_t* old = m_block.get();
    const std::uint8_t* oldFirst = nullptr;
    SlotCount(old, oldFirst);
    const std::size_t oldHeader = old != nullptr ? static_cast<std::size_t>(oldFirst - old) : 0;
    const std::size_t before = range.begin - oldHeader;
    const std::size_t after = range.blockEnd - range.end;
    auto block = std::make_unique_for_overwrite<std::uint8_t[]>(VarSize(count) + before + inserted + after);
    std::uint8_t* out = PutVar(block.get(), count);
    if (before != 0) {
        std::memcpy(out, old + oldHeader, before);
    }
    out += before;
    write(out);  // may read from the old block
    out += inserted;
    if (after != 0) {
        std::memcpy(out, old + range.end, after);
    }
    m_block = std::move(block);
}

void PackedCells::Set(int slot, const CELL& cell)
{
    if (slot < 0) {
        return;
    }
    const auto count = static_cast<std::size_t>(Count());
    const auto index = static_cast<std::size_t>(slot);
    const RANGE range = Locate(slot);
    const std::size_t emptyBefore = index > count ? index - count : 0;
    Rebuild(std::max(count, index + 1), range, emptyBefore + EncodedSize(cell), [&](std::uint8_t* out) {
        std::memset(out, 0, emptyBefore);
        Encode(cell, out + emptyBefore);
    });
}

void PackedCells::InsertEmpty(int slot)
{
    const auto count = static_cast<std::size_t>(Count());
    if (slot < 0 || static_cast<std::size_t>(slot) >= count) {
        return;
    }
    RANGE range = Locate(slot);
    range.end = range.begin;
    Rebuild(count + 1, range, 1, [](std::uint8_t* out) { *out = 0; });
}

void PackedCells::Erase(int slot)
{
    const auto count = static_cast<std::size_t>(Count());
    if (slot < 0 || static_cast<std::size_t>(slot) >= count) {
        return;
    }
    Rebuild(count - 1, Locate(slot), 0, [](std::uint8_t*) { /* the removed slot leaves no bytes */ });
}

}  // namespace vantor
