#include "pictures/png/inflate.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>

// Huffman codes are decoded with one table lookup on the low bits of a
// 64-bit bit buffer (deflate sends codes least significant bit first, so the
// table is indexed by the bit-reversed code). Codes longer than the primary
// width go through a second-level table. Away from the ends of the input and
// of the output, the loop refills the buffer with one unaligned 8-byte load
// and copies matches 8 bytes at a time; near the ends it is careful.

#if defined(__GNUC__)
#define ZORBEL_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define ZORBEL_ALWAYS_INLINE inline
#endif

namespace {

// The BTYPE field of a deflate block header.
enum BlockType : std::uint32_t { StoredBlock = 0, FixedCodesBlock = 1, DynamicCodesBlock = 2 };

// A table entry: value << 16 | kind << 8 | bits to consume.
constexpr std::uint32_t KindLiteral = 0x40;
constexpr std::uint32_t KindEnd = 0x20;
constexpr std::uint32_t KindSubtable = 0x10;  // low 4 bits: the subtable's index width
constexpr std::uint32_t KindInvalid = 0x80;
// Lengths and distances: the kind is the number of extra bits (0 ... 13).

constexpr std::uint32_t entry(std::uint32_t value, std::uint32_t kind, std::uint32_t bits) {
    return value << 16 | kind << 8 | bits;
}
constexpr std::uint32_t entryBits(std::uint32_t e) { return e & 0xFF; }
constexpr std::uint32_t entryKind(std::uint32_t e) { return (e >> 8) & 0xFF; }
constexpr std::uint32_t entryValue(std::uint32_t e) { return e >> 16; }

constexpr int MaxCodeBits = 15;
constexpr int LiteralPrimaryBits = 10;
constexpr int DistancePrimaryBits = 8;
constexpr int CodeLengthBits = 7;

constexpr std::array<std::uint16_t, 29> LengthBase{3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> LengthExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                   2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> DistanceBase{1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                                     33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                                     1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> DistanceExtra{0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                     6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::array<std::uint8_t, 19> CodeLengthOrder{16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// What a decoded symbol means, before the code length is added.
std::uint32_t literalPayload(int symbol) {
    if (symbol < 256) return entry(static_cast<std::uint32_t>(symbol), KindLiteral, 0);
    if (symbol == 256) return entry(0, KindEnd, 0);
    if (symbol <= 285) return entry(LengthBase[static_cast<std::size_t>(symbol - 257)], LengthExtra[static_cast<std::size_t>(symbol - 257)], 0);
    return entry(0, KindInvalid, 0);
}
std::uint32_t distancePayload(int symbol) {
    if (symbol < 30) return entry(DistanceBase[static_cast<std::size_t>(symbol)], DistanceExtra[static_cast<std::size_t>(symbol)], 0);
    return entry(0, KindInvalid, 0);
}
std::uint32_t codeLengthPayload(int symbol) { return entry(static_cast<std::uint32_t>(symbol), KindLiteral, 0); }

// Room for the worst case: every symbol of 288 long enough for its own subtable.
constexpr std::size_t LiteralTableSize = (1u << LiteralPrimaryBits) + 288u * (1u << (MaxCodeBits - LiteralPrimaryBits));
constexpr std::size_t DistanceTableSize = (1u << DistancePrimaryBits) + 32u * (1u << (MaxCodeBits - DistancePrimaryBits));

std::uint32_t reverseBits(std::uint32_t code, int length) {
    std::uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) {
        reversed = (reversed << 1) | (code & 1);
        code >>= 1;
    }
    return reversed;
}

// Builds the lookup table of a canonical code. An over-subscribed code fails;
// the holes of an incomplete one decode as invalid.
template <typename Payload>
bool buildTable(const std::uint8_t* lengths, int count, Payload payload, int primaryBits, std::uint32_t* table,
                std::size_t tableSize) {
    std::array<int, MaxCodeBits + 1> perLength{};
    int longest = 0;
    for (int s = 0; s < count; ++s) {
        ++perLength[lengths[s]];
        if (lengths[s] > longest) longest = lengths[s];
    }
    perLength[0] = 0;
    int left = 1;
    for (int length = 1; length <= MaxCodeBits; ++length) {
        left = (left << 1) - perLength[static_cast<std::size_t>(length)];
        if (left < 0) return false;
    }
    std::array<std::uint32_t, MaxCodeBits + 2> nextCode{};
    std::uint32_t code = 0;
    for (int length = 1; length <= MaxCodeBits; ++length) {
        code = (code + static_cast<std::uint32_t>(perLength[static_cast<std::size_t>(length - 1)])) << 1;
        nextCode[static_cast<std::size_t>(length)] = code;
    }

    const std::uint32_t primarySize = 1u << primaryBits;
    const int subBits = longest > primaryBits ? longest - primaryBits : 0;
    std::fill(table, table + primarySize, entry(0, KindInvalid, 0));
    std::size_t used = primarySize;
    for (int s = 0; s < count; ++s) {
        const int length = lengths[s];
        if (length == 0) continue;
        const std::uint32_t reversed = reverseBits(nextCode[static_cast<std::size_t>(length)]++, length);
        const std::uint32_t value = payload(s);
        if (length <= primaryBits) {
            for (std::uint32_t i = reversed; i < primarySize; i += 1u << length) {
                table[i] = value | static_cast<std::uint32_t>(length);
            }
            continue;
        }
        const std::uint32_t prefix = reversed & (primarySize - 1);
        if (entryKind(table[prefix]) != (KindSubtable | static_cast<std::uint32_t>(subBits))) {
            if (used + (1u << subBits) > tableSize) return false;
            table[prefix] = entry(static_cast<std::uint32_t>(used), KindSubtable | static_cast<std::uint32_t>(subBits),
                                  static_cast<std::uint32_t>(primaryBits));
            std::fill(table + used, table + used + (1u << subBits), entry(0, KindInvalid, 0));
            used += 1u << subBits;
        }
        std::uint32_t* sub = table + entryValue(table[prefix]);
        const int rest = length - primaryBits;
        for (std::uint32_t i = reversed >> primaryBits; i < (1u << subBits); i += 1u << rest) {
            sub[i] = value | static_cast<std::uint32_t>(rest);
        }
    }
    return true;
}

struct Tables {
    std::array<std::uint32_t, LiteralTableSize> literal;
    std::array<std::uint32_t, DistanceTableSize> distance;
};

class Inflater {
public:
    Inflater(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
        : in_(in.data()), inEnd_(in.data() + in.size()), outStart_(out.data()), out_(out.data()),
          outEnd_(out.data() + out.size()) {}

    InflateResult run();

private:
    // --- bits ---
    void refill() {
        if (inEnd_ - in_ >= 8) {
            std::uint64_t word;
            std::memcpy(&word, in_, 8);  // little-endian machines only (x86)
            bits_ |= word << bitCount_;
            in_ += (63 - bitCount_) >> 3;
            bitCount_ |= 56;
            return;
        }
        while (bitCount_ <= 56) {
            if (in_ < inEnd_) {
                bits_ |= static_cast<std::uint64_t>(*in_++) << bitCount_;
            } else {
                ++overrun_;  // zeros past the end; using them means the input was short
            }
            bitCount_ += 8;
        }
    }
    std::uint32_t peek(int count) const { return static_cast<std::uint32_t>(bits_ & ((1ull << count) - 1)); }
    void consume(int count) {
        bits_ >>= count;
        bitCount_ -= count;
    }
    bool overran() const { return bitCount_ < overrun_ * 8; }
    std::uint32_t take(int count) {
        if (bitCount_ < count) refill();
        const std::uint32_t value = peek(count);
        consume(count);
        return value;
    }

    std::uint32_t lookup(const std::uint32_t* table, int primaryBits) {
        std::uint32_t e = table[peek(primaryBits)];
        if ((entryKind(e) & 0xF0) == KindSubtable) {
            consume(primaryBits);
            e = table[entryValue(e) + peek(static_cast<int>(entryKind(e) & 0x0F))];
        }
        consume(static_cast<int>(entryBits(e)));
        return e;
    }

    // --- blocks ---
    InflateResult header();
    InflateResult storedBlock();
    InflateResult fixedTables();
    InflateResult dynamicTables();
    InflateResult codes();
    bool fastCodes(InflateResult& result);
    void copyMatch(std::size_t length, std::size_t distance);

    const std::uint8_t* in_;
    const std::uint8_t* inEnd_;
    std::uint8_t* outStart_;
    std::uint8_t* out_;
    std::uint8_t* outEnd_;
    std::uint64_t bits_ = 0;
    int bitCount_ = 0;
    int overrun_ = 0;
    bool full_ = false;
    Tables tables_;
};

InflateResult Inflater::header() {
    if (inEnd_ - in_ < 2) return InflateResult::Truncated;
    const std::uint8_t cmf = in_[0];
    const std::uint8_t flags = in_[1];
    in_ += 2;
    if ((cmf & 0x0F) != 8 || (cmf >> 4) > 7 || (flags & 0x20) != 0) return InflateResult::BadZlibHeader;
    return InflateResult::Ok;
}

InflateResult Inflater::storedBlock() {
    // Back to the byte boundary, and give back the whole bytes still buffered.
    consume(bitCount_ & 7);
    const int buffered = bitCount_ / 8 - overrun_;
    if (buffered < 0) return InflateResult::Truncated;
    in_ -= buffered;
    overrun_ = 0;
    bits_ = 0;
    bitCount_ = 0;
    if (inEnd_ - in_ < 4) return InflateResult::Truncated;
    const std::uint32_t length = in_[0] | static_cast<std::uint32_t>(in_[1]) << 8;
    const std::uint32_t complement = in_[2] | static_cast<std::uint32_t>(in_[3]) << 8;
    in_ += 4;
    if ((length ^ 0xFFFF) != complement) return InflateResult::BadStoredLength;
    const auto room = static_cast<std::size_t>(outEnd_ - out_);
    const auto wanted = static_cast<std::size_t>(length);
    if (static_cast<std::size_t>(inEnd_ - in_) < std::min(wanted, room)) return InflateResult::Truncated;
    if (wanted >= room) {
        std::memcpy(out_, in_, room);
        out_ += room;
        full_ = true;
        return InflateResult::Ok;
    }
    if (static_cast<std::size_t>(inEnd_ - in_) < wanted) return InflateResult::Truncated;
    std::memcpy(out_, in_, wanted);
    out_ += wanted;
    in_ += wanted;
    return InflateResult::Ok;
}

InflateResult Inflater::fixedTables() {
    std::array<std::uint8_t, 288> literal{};
    std::fill(literal.begin(), literal.begin() + 144, std::uint8_t{8});
    std::fill(literal.begin() + 144, literal.begin() + 256, std::uint8_t{9});
    std::fill(literal.begin() + 256, literal.begin() + 280, std::uint8_t{7});
    std::fill(literal.begin() + 280, literal.end(), std::uint8_t{8});
    std::array<std::uint8_t, 32> distance{};
    distance.fill(5);
    buildTable(literal.data(), 288, literalPayload, LiteralPrimaryBits, tables_.literal.data(), tables_.literal.size());
    buildTable(distance.data(), 32, distancePayload, DistancePrimaryBits, tables_.distance.data(),
               tables_.distance.size());
    return InflateResult::Ok;
}

InflateResult Inflater::dynamicTables() {
    refill();
    const int literalCount = static_cast<int>(take(5)) + 257;
    const int distanceCount = static_cast<int>(take(5)) + 1;
    const int lengthCodeCount = static_cast<int>(take(4)) + 4;
    if (literalCount > 286 || distanceCount > 30) return InflateResult::BadHuffmanCode;

    std::array<std::uint8_t, 19> lengthCodeLengths{};
    for (int i = 0; i < lengthCodeCount; ++i) {
        lengthCodeLengths[CodeLengthOrder[static_cast<std::size_t>(i)]] = static_cast<std::uint8_t>(take(3));
    }
    std::array<std::uint32_t, 1u << CodeLengthBits> lengthTable{};
    if (!buildTable(lengthCodeLengths.data(), 19, codeLengthPayload, CodeLengthBits, lengthTable.data(),
                    lengthTable.size())) {
        return InflateResult::BadHuffmanCode;
    }

    std::array<std::uint8_t, 286 + 30> lengths{};
    const int total = literalCount + distanceCount;
    for (int i = 0; i < total;) {
        if (bitCount_ < 16) refill();
        const std::uint32_t e = lookup(lengthTable.data(), CodeLengthBits);
        if (entryKind(e) != KindLiteral) return InflateResult::BadHuffmanCode;
        const std::uint32_t symbol = entryValue(e);
        if (symbol < 16) {
            lengths[static_cast<std::size_t>(i++)] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        std::uint8_t repeated = 0;
        int times = 0;
        if (symbol == 16) {
            if (i == 0) return InflateResult::BadHuffmanCode;
            repeated = lengths[static_cast<std::size_t>(i - 1)];
            times = 3 + static_cast<int>(take(2));
        } else if (symbol == 17) {
            times = 3 + static_cast<int>(take(3));
        } else {
            times = 11 + static_cast<int>(take(7));
        }
        if (i + times > total) return InflateResult::BadHuffmanCode;
        std::fill(lengths.begin() + i, lengths.begin() + i + times, repeated);
        i += times;
    }
    if (overran()) return InflateResult::Truncated;
    if (lengths[256] == 0) return InflateResult::BadHuffmanCode;  // no end-of-block code
    if (!buildTable(lengths.data(), literalCount, literalPayload, LiteralPrimaryBits, tables_.literal.data(),
                    tables_.literal.size()) ||
        !buildTable(lengths.data() + literalCount, distanceCount, distancePayload, DistancePrimaryBits,
                    tables_.distance.data(), tables_.distance.size())) {
        return InflateResult::BadHuffmanCode;
    }
    return InflateResult::Ok;
}

// Copies pairs of 8-byte words from `distance` back; `distance` is at least
// 8, so each word is read before it is overwritten. The last pair may run up
// to 15 bytes past the match, into room the caller keeps.
ZORBEL_ALWAYS_INLINE void copyWords(std::uint8_t* to, std::size_t distance, std::size_t length) {
    const std::uint8_t* from = to - distance;
    std::uint8_t* const end = to + length;
    do {
        std::uint64_t first;
        std::uint64_t second;
        std::memcpy(&first, from, 8);
        std::memcpy(to, &first, 8);
        std::memcpy(&second, from + 8, 8);
        std::memcpy(to + 8, &second, 8);
        to += 16;
        from += 16;
    } while (to < end);
}

ZORBEL_ALWAYS_INLINE void Inflater::copyMatch(std::size_t length, std::size_t distance) {
    const auto room = static_cast<std::size_t>(outEnd_ - out_);
    const std::uint8_t* from = out_ - distance;
    if (room >= length + 16) {
        if (distance >= 8) {
            copyWords(out_, distance, length);
        } else if (distance == 1) {
            std::memset(out_, out_[-1], length);
        } else if (length >= 8) {
            // A short period: the first 8 bytes one by one lay down the pattern,
            // then words come from a whole number of periods back.
            for (std::size_t i = 0; i < 8; ++i) out_[i] = from[i];
            const std::size_t period = (8 + distance - 1) / distance * distance;
            copyWords(out_ + 8, period, length - 8);
        } else {
            for (std::size_t i = 0; i < length; ++i) out_[i] = from[i];
        }
        out_ += length;
        return;
    }
    if (length >= room) {
        length = room;
        full_ = true;
    }
    for (std::size_t i = 0; i < length; ++i) out_[i] = from[i];
    out_ += length;
}

// The bulk of a block, while at least 32 bytes of input and a longest match
// plus a word of output room are left: no bounds checks per symbol, the bit
// buffer refilled with one load, the state in locals. Returns true at the end
// of the block (or on an error, in `result`); false when the careful loop
// must take over near the ends.
bool Inflater::fastCodes(InflateResult& result) {
    constexpr std::ptrdiff_t InputMargin = 32;  // three refills of up to 7 bytes, then an 8-byte load
    constexpr std::ptrdiff_t OutputMargin = 258 + 16 + 2;  // two literals, a longest match and its overrun
    const std::uint32_t* literal = tables_.literal.data();
    const std::uint32_t* distance = tables_.distance.data();
    constexpr std::uint32_t LiteralMask = (1u << LiteralPrimaryBits) - 1;
    constexpr std::uint32_t DistanceMask = (1u << DistancePrimaryBits) - 1;
    const std::uint8_t* in = in_;
    std::uint8_t* out = out_;
    std::uint64_t bits = bits_;
    int count = bitCount_;
    bool ended = false;

    const auto refillFast = [&] {
        std::uint64_t word;
        std::memcpy(&word, in, 8);
        bits |= word << count;
        in += (63 - count) >> 3;
        count |= 56;
    };
    const auto resolve = [&](const std::uint32_t* table, std::uint32_t e) {
        if ((entryKind(e) & 0xF0) == KindSubtable) {
            bits >>= entryBits(e);
            count -= static_cast<int>(entryBits(e));
            e = table[entryValue(e) + static_cast<std::uint32_t>(bits & ((1u << (entryKind(e) & 0x0F)) - 1))];
        }
        bits >>= entryBits(e);
        count -= static_cast<int>(entryBits(e));
        return e;
    };

    // The next symbol's entry is looked up before the current match is
    // copied, so the table load overlaps the copy.
    if (inEnd_ - in >= InputMargin) refillFast();
    std::uint32_t e = literal[bits & LiteralMask];
    while (inEnd_ - in >= InputMargin && outEnd_ - out >= OutputMargin) {
        refillFast();
        e = resolve(literal, e);
        if (entryKind(e) == KindLiteral) {
            *out++ = static_cast<std::uint8_t>(entryValue(e));
            e = resolve(literal, literal[bits & LiteralMask]);
            if (entryKind(e) == KindLiteral) {
                *out++ = static_cast<std::uint8_t>(entryValue(e));
                e = literal[bits & LiteralMask];
                continue;
            }
        }
        const std::uint32_t kind = entryKind(e);
        if (kind == KindEnd) {
            ended = true;
            break;
        }
        if (kind >= KindSubtable) {
            result = InflateResult::BadHuffmanCode;
            ended = true;
            break;
        }
        if (count < 33) refillFast();
        const std::size_t length = entryValue(e) + static_cast<std::size_t>(bits & ((1u << kind) - 1));
        bits >>= kind;
        count -= static_cast<int>(kind);
        const std::uint32_t d = resolve(distance, distance[bits & DistanceMask]);
        const std::uint32_t extra = entryKind(d);
        if (extra >= KindSubtable) {
            result = InflateResult::BadHuffmanCode;
            ended = true;
            break;
        }
        const std::size_t back = entryValue(d) + static_cast<std::size_t>(bits & ((1u << extra) - 1));
        bits >>= extra;
        count -= static_cast<int>(extra);
        if (back > static_cast<std::size_t>(out - outStart_)) {
            result = InflateResult::BadDistance;
            ended = true;
            break;
        }
        refillFast();
        e = literal[bits & LiteralMask];
        out_ = out;
        copyMatch(length, back);
        out = out_;
    }
    in_ = in;
    out_ = out;
    bits_ = bits;
    bitCount_ = count;
    return ended;
}

InflateResult Inflater::codes() {
    const std::uint32_t* literal = tables_.literal.data();
    const std::uint32_t* distance = tables_.distance.data();
    for (;;) {
        InflateResult fastResult = InflateResult::Ok;
        if (fastCodes(fastResult)) return fastResult;
        if (out_ == outEnd_) {
            full_ = true;
            return overran() ? InflateResult::Truncated : InflateResult::Ok;
        }
        refill();
        std::uint32_t e = lookup(literal, LiteralPrimaryBits);
        // Up to three literals ride on one refill: each code is at most 15 of its 56 bits.
        if (entryKind(e) == KindLiteral) {
            *out_++ = static_cast<std::uint8_t>(entryValue(e));
            if (out_ == outEnd_) continue;
            e = lookup(literal, LiteralPrimaryBits);
            if (entryKind(e) == KindLiteral) {
                *out_++ = static_cast<std::uint8_t>(entryValue(e));
                if (out_ == outEnd_) continue;
                e = lookup(literal, LiteralPrimaryBits);
                if (entryKind(e) == KindLiteral) {
                    *out_++ = static_cast<std::uint8_t>(entryValue(e));
                    continue;
                }
            }
        }
        const std::uint32_t kind = entryKind(e);
        if (kind == KindEnd) break;
        if (kind >= KindSubtable) return overran() ? InflateResult::Truncated : InflateResult::BadHuffmanCode;
        // A match needs up to 5 + 15 + 13 more bits.
        if (bitCount_ < 33) refill();
        const std::size_t length = entryValue(e) + peek(static_cast<int>(kind));
        consume(static_cast<int>(kind));
        const std::uint32_t d = lookup(distance, DistancePrimaryBits);
        const std::uint32_t extra = entryKind(d);
        if (extra >= KindSubtable) return overran() ? InflateResult::Truncated : InflateResult::BadHuffmanCode;
        const std::size_t back = entryValue(d) + peek(static_cast<int>(extra));
        consume(static_cast<int>(extra));
        if (overran()) return InflateResult::Truncated;
        if (back > static_cast<std::size_t>(out_ - outStart_)) return InflateResult::BadDistance;
        copyMatch(length, back);
        if (full_) return InflateResult::Ok;
    }
    return overran() ? InflateResult::Truncated : InflateResult::Ok;
}

InflateResult Inflater::run() {
    if (const InflateResult r = header(); r != InflateResult::Ok) return r;
    bool last = false;
    while (!last && !full_) {
        refill();
        last = take(1) == 1;
        const std::uint32_t type = take(2);
        if (overran()) return InflateResult::Truncated;
        InflateResult r = InflateResult::Ok;
        switch (type) {
            case StoredBlock: r = storedBlock(); break;
            case FixedCodesBlock: r = fixedTables(); break;
            case DynamicCodesBlock: r = dynamicTables(); break;
            default: return InflateResult::BadBlockType;
        }
        if (r != InflateResult::Ok) return r;
        if (type != StoredBlock) r = codes();
        if (r != InflateResult::Ok) return r;
    }
    return full_ || out_ == outEnd_ ? InflateResult::Ok : InflateResult::ShortOutput;
}

}  // namespace

InflateResult inflateZlibStream(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out) {
    // About 90 KB of tables: on the heap, as the player's thread has a 1 MB stack.
    std::unique_ptr<Inflater> inflater(new (std::nothrow) Inflater(stream, out));
    if (!inflater) return InflateResult::OutOfMemory;
    return inflater->run();
}
