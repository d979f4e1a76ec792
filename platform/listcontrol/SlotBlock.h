#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace vantor::lc {

// Unsigned integers seven bits a byte, low bits first, the top bit set on every byte but the last.
inline std::size_t VarSize(std::uint64_t value)
{
    std::size_t size = 1;
    for (; value >= 0x80; value >>= 7)
        ++size;
    return size;
}

inline std::uint8_t* PutVar(std::uint8_t* out, std::uint64_t value)
{
    for (; value >= 0x80; value >>= 7)
        *out++ = static_cast<std::uint8_t>(value | 0x80);
    *out++ = static_cast<std::uint8_t>(value);
    return out;
}

inline std::uint64_t GetVar(const std::uint8_t*& in)
{
    std::uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
        const std::uint8_t byte = *in++;
        value |= std::uint64_t{byte & 0x7Fu} << shift;
        if ((byte & 0x80) == 0)
            return value;
    }
}

// The slots of one row of cells in one heap block of exactly their size: the slots' bytes, then
// an end byte that no slot begins with. A list keeps a block per item, and its items have few
// cells, so a slot is found by walking the ones before it, and every change builds the block
// anew, copying the untouched slots' bytes as they are. Kept for vantor_bench_discovery's bytes
// per row at 100,000 rows (at most 400).
//
// `Codec` knows the bytes of its slots:
//   static constexpr std::uint8_t kEnd;                          // the end byte
//   static const std::uint8_t* Skip(const std::uint8_t* slot);  // past the slot there
// A block is handled through plain pointers, so an owner may keep it in a tagged word.
template <class Codec>
class SlotBlock final {
public:
    // Where slot `index` lies: bytes [begin, end), or both at the end byte when the block has
    // `index` slots or fewer; `count` slots in all.
    struct Place {
        std::size_t begin = 0;
        std::size_t end = 0;
        std::size_t endByte = 0;
        int count = 0;
    };

    // The first byte of slot `index`, or null when there is no such slot; stops there, so a
    // read costs the slots before it only. `block` may be null: no slots.
    static const std::uint8_t* Find(const std::uint8_t* block, int index)
    {
        if (block == nullptr || index < 0)
            return nullptr;
        const std::uint8_t* at = block;
        for (; *at != Codec::kEnd && index > 0; --index)
            at = Codec::Skip(at);
        return *at != Codec::kEnd ? at : nullptr;
    }

    // `block` may be null: no slots.
    static Place Locate(const std::uint8_t* block, int index)
    {
        Place place;
        if (block == nullptr)
            return place;
        const std::uint8_t* at = block;
        for (; *at != Codec::kEnd; ++place.count) {
            const std::uint8_t* next = Codec::Skip(at);
            if (place.count == index) {
                place.begin = static_cast<std::size_t>(at - block);
                place.end = static_cast<std::size_t>(next - block);
            }
            at = next;
        }
        place.endByte = static_cast<std::size_t>(at - block);
        if (index < 0 || index >= place.count)
            place.begin = place.end = place.endByte;
        return place;
    }

    // A new block: bytes [0, begin) of `block`, then `inserted` bytes that `write(out)` writes
    // (it may read `block`, which stays until the caller frees it), then bytes
    // [end, endByte) and the end byte.
    template <class Write>
    static std::unique_ptr<std::uint8_t[]> Splice(const std::uint8_t* block, Place place, std::size_t inserted,
                                                  Write write)
    {
        const std::size_t tail = place.endByte - place.end;
        auto spliced = std::make_unique_for_overwrite<std::uint8_t[]>(place.begin + inserted + tail + 1);
        std::uint8_t* out = spliced.get();
        if (place.begin > 0)
            out = std::copy_n(block, place.begin, out);
        write(out);
        out += inserted;
        if (tail > 0)
            out = std::copy_n(block + place.end, tail, out);
        *out = Codec::kEnd;
        return spliced;
    }

    // Bytes of the block, the end byte included; 0 without a block.
    static std::size_t Size(const std::uint8_t* block) { return block == nullptr ? 0 : Locate(block, 0).endByte + 1; }
};

}  // namespace vantor::lc
