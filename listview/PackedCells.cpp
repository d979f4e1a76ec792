#include "listview/PackedCells.h"

#include "platform/listcontrol/SlotBlock.h"

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

using lc::GetVar;
using lc::PutVar;
using lc::VarSize;

void SkipVar(const std::uint8_t*& in)
{
    while ((*in++ & 0x80) != 0) {
    }
}

// Signed integers are zigzagged before they are written, so small negative numbers stay short.
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

struct SlotCodec {
    static constexpr std::uint8_t kEnd = kFullMaskBit;  // a tag never has mask bits without a kind
    static const std::uint8_t* Skip(const std::uint8_t* slot)
    {
        Decode(slot, nullptr);
        return slot;
    }
};
using Slots = lc::SlotBlock<SlotCodec>;

}  // namespace

int PackedCells::Count() const
{
    return Slots::Locate(m_block.get(), 0).count;
}

std::optional<PackedCells::CELL> PackedCells::Read(int slot) const
{
    const std::uint8_t* in = Slots::Find(m_block.get(), slot);
    CELL cell;
    return in != nullptr && Decode(in, &cell) ? std::optional<CELL>(cell) : std::nullopt;
}

void PackedCells::Set(int slot, const CELL& cell)
{
    if (slot < 0)
        return;
    const Slots::Place place = Slots::Locate(m_block.get(), slot);
    const auto emptyBefore = static_cast<std::size_t>(std::max(0, slot - place.count));
    m_block = Slots::Splice(m_block.get(), place, emptyBefore + EncodedSize(cell), [&](std::uint8_t* out) {
        std::memset(out, 0, emptyBefore);
        Encode(cell, out + emptyBefore);
    });
}

void PackedCells::InsertEmpty(int slot)
{
    Slots::Place place = Slots::Locate(m_block.get(), slot);
    if (place.begin == place.end)
        return;
    place.end = place.begin;
    m_block = Slots::Splice(m_block.get(), place, 1, [](std::uint8_t* out) { *out = 0; });
}

void PackedCells::Erase(int slot)
{
    const Slots::Place place = Slots::Locate(m_block.get(), slot);
    if (place.begin == place.end)
        return;
    if (place.count == 1)
        m_block.reset();
    else
        m_block = Slots::Splice(m_block.get(), place, 0, [](std::uint8_t*) { /* the slot leaves no bytes */ });
}

}  // namespace vantor
