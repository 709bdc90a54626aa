#include "pictures/png/inflate.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>

#include "pictures/png/simd_level.h"

// Huffman codes are decoded with one table lookup on the low bits of a bit
// buffer of one machine word (deflate sends codes least significant bit
// first, so the table is indexed by the bit-reversed code). Codes longer than
// the primary width go through a second-level table. A length's or distance's
// extra bits are consumed together with its code: the entry counts both.
// Away from the ends of the input and of the output, the loop refills the
// buffer with one unaligned word load and copies matches 16 bytes at a time;
// near the ends it is careful.

namespace {

// The BTYPE field of a deflate block header.
enum BlockType : std::uint32_t { StoredBlock = 0, FixedCodesBlock = 1, DynamicCodesBlock = 2 };

// A table entry: value << 16 | flags | codeBits << 8 | totalBits. totalBits
// counts the code and, for lengths and distances, their extra bits, whose
// value is then (bits & mask(totalBits)) >> codeBits. Lengths and distances
// carry no flag. A subtable link holds the subtable's offset as its value,
// its index width as codeBits and the primary width as totalBits.
constexpr std::uint32_t FlagLiteral = 0x1000;
constexpr std::uint32_t FlagEnd = 0x2000;
constexpr std::uint32_t FlagSubtable = 0x4000;
constexpr std::uint32_t FlagInvalid = 0x8000;
constexpr std::uint32_t FlagMask = 0xF000;

constexpr std::uint32_t entry(std::uint32_t value, std::uint32_t flags, std::uint32_t codeBits, std::uint32_t totalBits) {
    return value << 16 | flags | codeBits << 8 | totalBits;
}
constexpr std::uint32_t entryTotal(std::uint32_t e) { return e & 0xFF; }
constexpr std::uint32_t entryCodeBits(std::uint32_t e) { return (e >> 8) & 0x0F; }
constexpr std::uint32_t entryValue(std::uint32_t e) { return e >> 16; }
// The value of an entry whose code and extra bits are the low bits of `bits`.
constexpr std::uint32_t entryValueWithExtra(std::uint32_t e, std::uint32_t bits) {
    return entryValue(e) + ((bits & ((1u << entryTotal(e)) - 1)) >> entryCodeBits(e));
}

constexpr int MaxCodeBits = 15;
constexpr int LiteralPrimaryBits = 11;
constexpr int DistancePrimaryBits = 8;
constexpr int CodeLengthBits = 7;
constexpr std::uint32_t LiteralMask = (1u << LiteralPrimaryBits) - 1;
constexpr std::uint32_t DistanceMask = (1u << DistancePrimaryBits) - 1;

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

// What a decoded symbol means, before its code is known: the extra bits
// stand in totalBits, to which the code's length is added.
std::uint32_t literalPayload(int symbol) {
    if (symbol < 256) return entry(static_cast<std::uint32_t>(symbol), FlagLiteral, 0, 0);
    if (symbol == 256) return entry(0, FlagEnd, 0, 0);
    if (symbol <= 285) {
        const auto index = static_cast<std::size_t>(symbol - 257);
        return entry(LengthBase[index], 0, 0, LengthExtra[index]);
    }
    return entry(0, FlagInvalid, 0, 0);
}
std::uint32_t distancePayload(int symbol) {
    if (symbol < 30) {
        const auto index = static_cast<std::size_t>(symbol);
        return entry(DistanceBase[index], 0, 0, DistanceExtra[index]);
    }
    return entry(0, FlagInvalid, 0, 0);
}
std::uint32_t codeLengthPayload(int symbol) { return entry(static_cast<std::uint32_t>(symbol), FlagLiteral, 0, 0); }

// Room for the worst case: every symbol of 288 long enough for its own subtable.
constexpr std::size_t LiteralTableSize = (1u << LiteralPrimaryBits) + 288u * (1u << (MaxCodeBits - LiteralPrimaryBits));
constexpr std::size_t DistanceTableSize = (1u << DistancePrimaryBits) + 32u * (1u << (MaxCodeBits - DistancePrimaryBits));
constexpr std::uint32_t InvalidEntry = entry(0, FlagInvalid, 0, 0);

// Bytes with their bits in reverse order.
constexpr std::array<std::uint8_t, 256> ReversedBytes = [] {
    std::array<std::uint8_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        unsigned reversed = 0;
        for (unsigned bit = 0; bit < 8; ++bit) reversed |= ((byte >> bit) & 1u) << (7 - bit);
        table[byte] = static_cast<std::uint8_t>(reversed);
    }
    return table;
}();

// The low `length` bits of `code` (at most 16) in reverse order.
std::uint32_t reverseBits(std::uint32_t code, int length) {
    const std::uint32_t reversed16 = static_cast<std::uint32_t>(ReversedBytes[code & 0xFF]) << 8 | ReversedBytes[(code >> 8) & 0xFF];
    return reversed16 >> (16 - length);
}

// A payload with its code of `codeBits` bits added.
constexpr std::uint32_t withCode(std::uint32_t payload, int codeBits) {
    const auto bits = static_cast<std::uint32_t>(codeBits);
    return payload + (bits << 8) + bits;
}

// Counts the codes of each length; false for an over-subscribed code.
// `complete`: every bit pattern names a symbol.
bool countCodes(const std::uint8_t* lengths, int count, std::array<int, MaxCodeBits + 1>& perLength, int& longest,
                bool& complete) {
    longest = 0;
    for (int s = 0; s < count; ++s) {
        ++perLength[lengths[s]];
        longest = std::max<int>(longest, lengths[s]);
    }
    perLength[0] = 0;
    int left = 1;
    for (int length = 1; length <= MaxCodeBits; ++length) {
        left = (left << 1) - perLength[static_cast<std::size_t>(length)];
        if (left < 0) return false;
    }
    complete = left == 0;
    return true;
}

// Builds the lookup table of a canonical code. An over-subscribed code fails;
// the holes of an incomplete one decode as invalid.
template <typename Payload>
bool buildTable(const std::uint8_t* lengths, int count, Payload payload, int primaryBits, std::uint32_t* table,
                std::size_t tableSize) {
    std::array<int, MaxCodeBits + 1> perLength{};
    int longest = 0;
    bool complete = false;
    if (!countCodes(lengths, count, perLength, longest, complete)) return false;
    std::array<std::uint32_t, MaxCodeBits + 2> nextCode{};
    std::uint32_t code = 0;
    for (int length = 1; length <= MaxCodeBits; ++length) {
        code = (code + static_cast<std::uint32_t>(perLength[static_cast<std::size_t>(length - 1)])) << 1;
        nextCode[static_cast<std::size_t>(length)] = code;
    }

    const std::uint32_t primarySize = 1u << primaryBits;
    const int subBits = longest > primaryBits ? longest - primaryBits : 0;
    // A complete code without long codes fills every entry itself; else
    // there are holes, or links found by their flag.
    if (!complete || longest > primaryBits) std::fill(table, table + primarySize, InvalidEntry);
    std::size_t used = primarySize;
    for (int s = 0; s < count; ++s) {
        const int length = lengths[s];
        if (length == 0) continue;
        const std::uint32_t reversed = reverseBits(nextCode[static_cast<std::size_t>(length)]++, length);
        if (length <= primaryBits) {
            const std::uint32_t e = withCode(payload(s), length);
            for (std::uint32_t i = reversed; i < primarySize; i += 1u << length) table[i] = e;
            continue;
        }
        const std::uint32_t prefix = reversed & (primarySize - 1);
        if ((table[prefix] & FlagSubtable) == 0) {
            if (used + (1u << subBits) > tableSize) return false;
            table[prefix] = entry(static_cast<std::uint32_t>(used), FlagSubtable, static_cast<std::uint32_t>(subBits),
                                  static_cast<std::uint32_t>(primaryBits));
            std::fill(table + used, table + used + (1u << subBits), InvalidEntry);
            used += 1u << subBits;
        }
        std::uint32_t* sub = table + entryValue(table[prefix]);
        const int rest = length - primaryBits;
        const std::uint32_t e = withCode(payload(s), rest);
        for (std::uint32_t i = reversed >> primaryBits; i < (1u << subBits); i += 1u << rest) sub[i] = e;
    }
    return true;
}

// The literal/length table, then the distance table, in one array: the fast
// loop reaches both from one base register.
struct Tables {
    std::array<std::uint32_t, LiteralTableSize + DistanceTableSize> entries;
    std::uint32_t* literal() { return entries.data(); }
    std::uint32_t* distance() { return entries.data() + LiteralTableSize; }
};

// Bytes a match copy may write past the match's end, room the caller keeps.
constexpr std::ptrdiff_t MatchOverrun = 48;

// Copies a match of `length` bytes from `distance` back, in 16-byte steps
// where the distance allows.
ZORBEL_ALWAYS_INLINE void copyLongSteps(std::uint8_t* to, std::size_t distance, std::size_t length) {
    const std::uint8_t* from = to - distance;
    std::uint8_t* const end = to + length;
    // Three steps whatever the length: most matches need no more, and the
    // loop's exit is then rarely mispredicted.
    std::memcpy(to, from, 16);
    std::memcpy(to + 16, from + 16, 16);
    std::memcpy(to + 32, from + 32, 16);
    to += 48;
    from += 48;
    while (to < end) {
        std::memcpy(to, from, 16);
        to += 16;
        from += 16;
    }
}

// The same from 8 to 15 bytes back: each 8-byte word is read whole before
// it is written.
ZORBEL_ALWAYS_INLINE void copyWordSteps(std::uint8_t* to, std::size_t distance, std::size_t length) {
    const std::uint8_t* from = to - distance;
    std::uint8_t* const end = to + length;
    do {
        std::memcpy(to, from, 8);
        std::memcpy(to + 8, from + 8, 8);
        to += 16;
        from += 16;
    } while (to < end);
}

ZORBEL_ALWAYS_INLINE void copyMatchWithRoom(std::uint8_t* to, std::size_t distance, std::size_t length) {
    if (distance >= 16) {
        copyLongSteps(to, distance, length);
    } else if (distance >= 8) {
        copyWordSteps(to, distance, length);
    } else if (distance == 1) {
        const std::uint8_t byte = to[-1];
        std::uint8_t* const end = to + length;
        do {
            std::memset(to, byte, 16);
            to += 16;
        } while (to < end);
    } else {
        // A short period: the first 8 bytes one by one lay down the pattern,
        // then words come from a whole number of periods back.
        const std::uint8_t* from = to - distance;
        for (std::size_t i = 0; i < 8; ++i) to[i] = from[i];
        const std::size_t period = (8 + distance - 1) / distance * distance;
        if (length > 8) copyWordSteps(to + 8, period, length - 8);
    }
}

template <typename Word>
class Inflater {
public:
    Inflater(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
        : in_(in.data()), inEnd_(in.data() + in.size()), outStart_(out.data()), out_(out.data()),
          outEnd_(out.data() + out.size()) {}

    InflateResult run();

private:
    static constexpr int WordBits = 8 * sizeof(Word);
    static constexpr int Refilled = WordBits - 8;  // the fewest bits a refill leaves

    // --- bits ---
    // One unaligned load; the caller knows there are sizeof(Word) bytes.
    static ZORBEL_ALWAYS_INLINE void refillWord(const std::uint8_t*& in, Word& bits, int& count) {
        Word word;
        std::memcpy(&word, in, sizeof word);  // little-endian machines only (x86)
        bits |= word << count;
        in += static_cast<unsigned>(WordBits - 1 - count) >> 3;
        count |= Refilled;
    }
    void refill() {
        if (inEnd_ - in_ >= static_cast<std::ptrdiff_t>(sizeof(Word))) {
            refillWord(in_, bits_, bitCount_);
            return;
        }
        while (bitCount_ <= Refilled) {
            if (in_ < inEnd_) {
                bits_ |= static_cast<Word>(*in_++) << bitCount_;
            } else {
                ++overrun_;  // zeros past the end; using them means the input was short
            }
            bitCount_ += 8;
        }
    }
    std::uint32_t peek(int count) const { return static_cast<std::uint32_t>(bits_ & ((Word{1} << count) - 1)); }
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

    // The entry of the next code, a subtable link followed; the caller has
    // made sure of MaxCodeBits bits.
    std::uint32_t lookup(const std::uint32_t* table, int primaryBits) {
        const std::uint32_t e = table[peek(primaryBits)];
        if ((e & FlagSubtable) == 0) return e;
        consume(primaryBits);
        return table[entryValue(e) + peek(static_cast<int>(entryCodeBits(e)))];
    }
    // Consumes an entry's code and extra bits; its value with the extra bits'.
    std::uint32_t takeEntry(std::uint32_t e) {
        if (bitCount_ < static_cast<int>(entryTotal(e))) refill();
        const auto saved = static_cast<std::uint32_t>(bits_);
        consume(static_cast<int>(entryTotal(e)));
        return entryValueWithExtra(e, saved);
    }

    // --- the fast loop (fastCodes) ---
    // Its state in locals: the output's byte stores could alias the members.
    struct FastState {
        const std::uint32_t* literal;
        const std::uint32_t* distance;
        const std::uint8_t* outStart;
        const std::uint8_t* in;
        std::uint8_t* out;
        Word bits;
        int count;
        Word saved;  // the buffer before the last entry was consumed
    };
    static ZORBEL_ALWAYS_INLINE void consumeEntry(FastState& f, std::uint32_t e) {
        f.saved = f.bits;
        f.bits >>= entryTotal(e);
        f.count -= static_cast<int>(entryTotal(e));
    }
    static ZORBEL_ALWAYS_INLINE std::uint32_t nextLiteralEntry(const FastState& f) {
        return f.literal[f.bits & LiteralMask];
    }
    static ZORBEL_ALWAYS_INLINE std::uint32_t subtableEntry(const FastState& f, const std::uint32_t* table,
                                                            std::uint32_t link) {
        return table[entryValue(link) + static_cast<std::uint32_t>(f.bits & ((1u << entryCodeBits(link)) - 1))];
    }
    static ZORBEL_ALWAYS_INLINE bool fastLiterals(FastState& f, std::uint32_t& e);
    static ZORBEL_ALWAYS_INLINE bool fastLongLiteral(FastState& f, std::uint32_t& e);
    static ZORBEL_ALWAYS_INLINE std::uint32_t fastDistanceEntry(FastState& f);
    static ZORBEL_ALWAYS_INLINE bool fastMatch(FastState& f, std::uint32_t& e, InflateResult& result);

    // --- blocks ---
    InflateResult header();
    InflateResult storedBlock();
    InflateResult fixedTables();
    InflateResult codeLengths(int total, std::uint8_t* lengths);
    InflateResult dynamicTables();
    InflateResult codes();
    bool carefulSymbol(InflateResult& result);
    bool fastCodes(InflateResult& result);
    void copyMatch(std::size_t length, std::size_t distance);

    const std::uint8_t* in_;
    const std::uint8_t* inEnd_;
    std::uint8_t* outStart_;
    std::uint8_t* out_;
    std::uint8_t* outEnd_;
    Word bits_ = 0;
    int bitCount_ = 0;
    int overrun_ = 0;
    bool full_ = false;
    Tables tables_;
};

template <typename Word>
InflateResult Inflater<Word>::header() {
    if (inEnd_ - in_ < 2) return InflateResult::Truncated;
    const std::uint8_t cmf = in_[0];
    const std::uint8_t flags = in_[1];
    in_ += 2;
    if ((cmf & 0x0F) != 8 || (cmf >> 4) > 7 || (flags & 0x20) != 0) return InflateResult::BadZlibHeader;
    return InflateResult::Ok;
}

template <typename Word>
InflateResult Inflater<Word>::storedBlock() {
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
    std::memcpy(out_, in_, wanted);
    out_ += wanted;
    in_ += wanted;
    return InflateResult::Ok;
}

template <typename Word>
InflateResult Inflater<Word>::fixedTables() {
    std::array<std::uint8_t, 288> literal{};
    std::fill(literal.begin(), literal.begin() + 144, std::uint8_t{8});
    std::fill(literal.begin() + 144, literal.begin() + 256, std::uint8_t{9});
    std::fill(literal.begin() + 256, literal.begin() + 280, std::uint8_t{7});
    std::fill(literal.begin() + 280, literal.end(), std::uint8_t{8});
    std::array<std::uint8_t, 32> distance{};
    distance.fill(5);
    buildTable(literal.data(), 288, literalPayload, LiteralPrimaryBits, tables_.literal(), LiteralTableSize);
    buildTable(distance.data(), 32, distancePayload, DistancePrimaryBits, tables_.distance(), DistanceTableSize);
    return InflateResult::Ok;
}

// The code lengths of a dynamic block, `total` of them, after the code-length code.
template <typename Word>
InflateResult Inflater<Word>::codeLengths(int total, std::uint8_t* lengths) {
    const int lengthCodeCount = static_cast<int>(take(4)) + 4;
    std::array<std::uint8_t, 19> lengthCodeLengths{};
    for (int i = 0; i < lengthCodeCount; ++i) {
        lengthCodeLengths[CodeLengthOrder[static_cast<std::size_t>(i)]] = static_cast<std::uint8_t>(take(3));
    }
    std::array<std::uint32_t, 1u << CodeLengthBits> lengthTable{};
    if (!buildTable(lengthCodeLengths.data(), 19, codeLengthPayload, CodeLengthBits, lengthTable.data(),
                    lengthTable.size())) {
        return InflateResult::BadHuffmanCode;
    }
    for (int i = 0; i < total;) {
        if (bitCount_ < MaxCodeBits) refill();
        const std::uint32_t e = lookup(lengthTable.data(), CodeLengthBits);
        if ((e & FlagLiteral) == 0) return InflateResult::BadHuffmanCode;
        const std::uint32_t symbol = takeEntry(e);
        if (symbol < 16) {
            lengths[i++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        if (symbol == 16 && i == 0) return InflateResult::BadHuffmanCode;
        const std::uint8_t repeated = symbol == 16 ? lengths[i - 1] : 0;
        const int times = symbol == 16 ? 3 + static_cast<int>(take(2))
                        : symbol == 17 ? 3 + static_cast<int>(take(3))
                                       : 11 + static_cast<int>(take(7));
        if (i + times > total) return InflateResult::BadHuffmanCode;
        std::fill(lengths + i, lengths + i + times, repeated);
        i += times;
    }
    return overran() ? InflateResult::Truncated : InflateResult::Ok;
}

template <typename Word>
InflateResult Inflater<Word>::dynamicTables() {
    refill();
    const int literalCount = static_cast<int>(take(5)) + 257;
    const int distanceCount = static_cast<int>(take(5)) + 1;
    if (literalCount > 286 || distanceCount > 30) return InflateResult::BadHuffmanCode;
    std::array<std::uint8_t, 286 + 30> lengths{};
    if (const InflateResult r = codeLengths(literalCount + distanceCount, lengths.data()); r != InflateResult::Ok) {
        return r;
    }
    if (lengths[256] == 0) return InflateResult::BadHuffmanCode;  // no end-of-block code
    if (!buildTable(lengths.data(), literalCount, literalPayload, LiteralPrimaryBits, tables_.literal(),
                    LiteralTableSize) ||
        !buildTable(lengths.data() + literalCount, distanceCount, distancePayload, DistancePrimaryBits,
                    tables_.distance(), DistanceTableSize)) {
        return InflateResult::BadHuffmanCode;
    }
    return InflateResult::Ok;
}

template <typename Word>
void Inflater<Word>::copyMatch(std::size_t length, std::size_t distance) {
    const auto room = static_cast<std::size_t>(outEnd_ - out_);
    if (room >= length + MatchOverrun) {
        copyMatchWithRoom(out_, distance, length);
        out_ += length;
        return;
    }
    if (length >= room) {
        length = room;
        full_ = true;
    }
    const std::uint8_t* from = out_ - distance;
    for (std::size_t i = 0; i < length; ++i) out_[i] = from[i];
    out_ += length;
}

// The bulk of a block, while at least 32 bytes of input and a longest match
// and its overrun of output room are left: no bounds checks per symbol, the
// bit buffer refilled with one load, the state in locals. Each entry's bits
// are consumed as soon as it is looked up, before its kind is known, so that
// a length found after literals is decoded at once. With 64 bits a refill
// serves up to three literals, or two and a length, or a length then (after
// a refill only if needed) a distance; with 32 bits a literal, or a length,
// then a refill and a distance. The next entry is looked up before the
// refill, the literal's store and the match's copy, so that its load
// overlaps them. Returns true at the end of the block (or on an error, in
// `result`); false when the careful loop must take over.
template <typename Word>
bool Inflater<Word>::fastCodes(InflateResult& result) {
    constexpr std::ptrdiff_t InputMargin = 32;  // at most three refills a turn, none reading past 15 bytes
    constexpr std::ptrdiff_t OutputMargin = 258 + MatchOverrun;
    if (inEnd_ - in_ < InputMargin || outEnd_ - out_ < OutputMargin) return false;
    const std::uint8_t* const inLast = inEnd_ - InputMargin;
    const std::uint8_t* const outLast = outEnd_ - OutputMargin;
    FastState f{tables_.literal(), tables_.distance(), outStart_, in_, out_, bits_, bitCount_, 0};
    refillWord(f.in, f.bits, f.count);
    std::uint32_t e = nextLiteralEntry(f);
    bool ended = false;
    while (f.in <= inLast && f.out <= outLast) {
        // Each turn starts with a refilled buffer and the next entry looked up.
        consumeEntry(f, e);
        if ((e & FlagLiteral) != 0 && fastLiterals(f, e)) continue;
        if ((e & FlagSubtable) != 0 && fastLongLiteral(f, e)) continue;
        if (fastMatch(f, e, result)) {
            ended = true;
            break;
        }
    }
    in_ = f.in;
    out_ = f.out;
    bits_ = f.bits;
    bitCount_ = f.count;
    return ended;
}

// After the consumed literal `e`, the literals that follow it within one
// refill. True when the turn is over, refilled, the next entry in `e`; false
// when `e` is a length, a link or the end, already consumed: on to it.
template <typename Word>
bool Inflater<Word>::fastLiterals(FastState& f, std::uint32_t& e) {
    auto value = static_cast<std::uint8_t>(entryValue(e));
    e = nextLiteralEntry(f);
    if constexpr (WordBits >= 64) {
        consumeEntry(f, e);
        *f.out++ = value;
        if ((e & FlagLiteral) != 0) {
            value = static_cast<std::uint8_t>(entryValue(e));
            e = nextLiteralEntry(f);
            consumeEntry(f, e);
            *f.out++ = value;
            if ((e & FlagLiteral) != 0) {
                value = static_cast<std::uint8_t>(entryValue(e));
                e = nextLiteralEntry(f);
                refillWord(f.in, f.bits, f.count);
                *f.out++ = value;
                return true;
            }
        }
        return false;
    } else {
        refillWord(f.in, f.bits, f.count);
        *f.out++ = value;
        return true;
    }
}

// After the consumed subtable link `e`, its entry, consumed. A literal ends
// the turn as in fastLiterals (true); anything else is left in `e`.
template <typename Word>
bool Inflater<Word>::fastLongLiteral(FastState& f, std::uint32_t& e) {
    e = subtableEntry(f, f.literal, e);
    consumeEntry(f, e);
    if ((e & FlagLiteral) == 0) return false;
    *f.out++ = static_cast<std::uint8_t>(entryValue(e));
    refillWord(f.in, f.bits, f.count);
    e = nextLiteralEntry(f);
    return true;
}

// The distance entry after a length, through its subtable link if it has
// one, with bits enough for its code and extra bits; not consumed.
template <typename Word>
std::uint32_t Inflater<Word>::fastDistanceEntry(FastState& f) {
    constexpr int LongestDistance = MaxCodeBits + 13;  // code and extra bits
    if constexpr (WordBits < 64) refillWord(f.in, f.bits, f.count);
    std::uint32_t d = f.distance[f.bits & DistanceMask];
    if (WordBits >= 64 && f.count < LongestDistance) refillWord(f.in, f.bits, f.count);
    if ((d & FlagSubtable) != 0) {
        consumeEntry(f, d);
        d = subtableEntry(f, f.distance, d);
        // A long code with many extra bits can outgrow what a 32-bit refill leaves.
        if (WordBits < 64 && f.count < static_cast<int>(entryTotal(d))) refillWord(f.in, f.bits, f.count);
    }
    return d;
}

// After the consumed entry `e`, a length, the end or an invalid code: the
// match copied, refilled, the next entry in `e` (false); true at the end of
// the block or on an error, in `result`.
template <typename Word>
bool Inflater<Word>::fastMatch(FastState& f, std::uint32_t& e, InflateResult& result) {
    // The end and the errors are rare: [[unlikely]] keeps them off the loop's straight path.
    if ((e & FlagMask) != 0) [[unlikely]] {
        result = (e & FlagEnd) != 0 ? InflateResult::Ok : InflateResult::BadHuffmanCode;
        return true;
    }
    const std::size_t length = entryValueWithExtra(e, static_cast<std::uint32_t>(f.saved));
    const std::uint32_t d = fastDistanceEntry(f);
    if ((d & FlagMask) != 0) [[unlikely]] {
        result = InflateResult::BadHuffmanCode;
        return true;
    }
    consumeEntry(f, d);
    const std::size_t back = entryValueWithExtra(d, static_cast<std::uint32_t>(f.saved));
    if (back > static_cast<std::size_t>(f.out - f.outStart)) [[unlikely]] {
        result = InflateResult::BadDistance;
        return true;
    }
    refillWord(f.in, f.bits, f.count);
    e = nextLiteralEntry(f);
    copyMatchWithRoom(f.out, back, length);
    f.out += length;
    return false;
}

// One symbol near the ends of the input or output, every bit counted. As
// fastCodes: true at the end of the block or on an error (in `result`).
template <typename Word>
bool Inflater<Word>::carefulSymbol(InflateResult& result) {
    const auto finish = [&](InflateResult outcome) {
        result = overran() ? InflateResult::Truncated : outcome;
        return true;
    };
    if (bitCount_ < MaxCodeBits) refill();
    const std::uint32_t e = lookup(tables_.literal(), LiteralPrimaryBits);
    if ((e & FlagLiteral) != 0) {
        *out_++ = static_cast<std::uint8_t>(takeEntry(e));
        return false;
    }
    if ((e & FlagEnd) != 0) {
        takeEntry(e);
        return finish(InflateResult::Ok);
    }
    if ((e & FlagInvalid) != 0) return finish(InflateResult::BadHuffmanCode);
    const std::size_t length = takeEntry(e);
    if (bitCount_ < MaxCodeBits) refill();
    const std::uint32_t d = lookup(tables_.distance(), DistancePrimaryBits);
    if ((d & FlagMask) != 0) return finish(InflateResult::BadHuffmanCode);
    const std::size_t back = takeEntry(d);
    if (overran()) return finish(InflateResult::Truncated);
    if (back > static_cast<std::size_t>(out_ - outStart_)) return finish(InflateResult::BadDistance);
    copyMatch(length, back);
    result = InflateResult::Ok;
    return full_;
}

template <typename Word>
InflateResult Inflater<Word>::codes() {
    for (;;) {
        InflateResult result = InflateResult::Ok;
        if (fastCodes(result)) return result;
        if (out_ == outEnd_) {
            full_ = true;
            return overran() ? InflateResult::Truncated : InflateResult::Ok;
        }
        if (carefulSymbol(result)) return result;
    }
}

template <typename Word>
InflateResult Inflater<Word>::run() {
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

template <typename Word>
InflateResult inflateWith(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out) {
    // About 45 KB of tables, a small share of a thread's stack (2 MB in the
    // Windows programs), and no allocation to pay on every picture.
    Inflater<Word> inflater(stream, out);
    return inflater.run();
}

}  // namespace

InflateResult inflateZlibStream(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out) {
    using MachineWord = std::conditional_t<MachineBitBuffer == BitBufferWidth::Bits64, std::uint64_t, std::uint32_t>;
    return inflateWith<MachineWord>(stream, out);
}

InflateResult inflateZlibStream(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out,
                                BitBufferWidth width) {
    return width == BitBufferWidth::Bits64 ? inflateWith<std::uint64_t>(stream, out)
                                           : inflateWith<std::uint32_t>(stream, out);
}
