#include "content/content_codec.h"

#include <cstring>
#include <new>

namespace {

struct KeptCounters {
    std::uint32_t inputLength = 0;
    std::uint32_t inputConsumed = 0;
    std::uint32_t encodingInputLength = 0;
    std::uint32_t encodingOutputLength = 0;
};
KeptCounters kept;

std::unique_ptr<std::uint8_t[]> allocateBuffer(std::size_t size) {
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size]);
}

CodecOutput finish(CodecResult result, std::unique_ptr<std::uint8_t[]> buffer, std::size_t size,
                   std::uint32_t lengthBonus) {
    CodecOutput output;
    output.result = result;
    output.buffer = std::move(buffer);
    output.size = output.buffer ? size : 0;
    output.reportedLength = output.buffer ? static_cast<std::uint32_t>(size) + lengthBonus : 0;
    return output;
}

// ---------------------------------------------------------------- decoding

class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> input) : input_(input) {}

    // Reads a code of `width` bits, most significant first. Returns false when
    // the input ends first; `value` then holds the bits gathered so far.
    bool read(std::uint32_t width, std::uint64_t& value) {
        value = held_;
        std::uint32_t needed = width - heldBits_;
        held_ = 0;
        heldBits_ = 0;
        while (needed >= 8) {
            if (position_ == input_.size()) return false;
            value = (value << 8) | input_[position_++];
            needed -= 8;
        }
        if (needed > 0) {
            if (position_ == input_.size()) return false;
            const std::uint32_t byte = input_[position_++];
            const std::uint32_t rest = 8 - needed;
            value = (value << needed) | (byte >> rest);
            held_ = byte & ((1u << rest) - 1);
            heldBits_ = rest;
        }
        return true;
    }

    [[nodiscard]] std::size_t consumed() const { return position_; }

private:
    std::span<const std::uint8_t> input_;
    std::size_t position_ = 0;
    std::uint32_t held_ = 0;
    std::uint32_t heldBits_ = 0;
};

// Every learned string is a run of bytes already written to the output (the
// previous string followed by the first byte written after it), so the
// decoder keeps an offset and a length per code instead of a copy.
struct LearnedRun {
    std::uint32_t offset;
    std::uint32_t length;
};

struct Decoder {
    std::span<const std::uint8_t> input;
    std::unique_ptr<LearnedRun[]> table;
    std::unique_ptr<std::uint8_t[]> output;
    std::size_t written = 0;    // bytes in the output, including the pending string
    std::size_t committed = 0;  // bytes before the pending string
    std::uint32_t previousOffset = 0;
    std::uint32_t previousLength = 0;
    std::uint32_t nextCode = FirstFreeCode;
    std::uint32_t width = InitialCodeWidth;

    // Appends the string of `code` (a literal or a learned code) after the
    // pending string. Copies forward, byte by byte: for the code being taught
    // right now the source runs into the bytes being written.
    bool appendString(std::uint32_t code) {
        std::uint32_t length = 1;
        if (code >= FirstFreeCode) length = table[code].length;
        if (length > DecoderOutputCapacity - written) return false;
        std::uint8_t* out = output.get();
        if (code < EndCode) {
            out[written] = static_cast<std::uint8_t>(code);
        } else {
            const std::uint8_t* source = out + table[code].offset;
            std::uint8_t* target = out + written;
            for (std::uint32_t i = 0; i < length; ++i) target[i] = source[i];
        }
        committed = written;
        previousOffset = static_cast<std::uint32_t>(written);
        previousLength = length;
        written += length;
        return true;
    }

    CodecResult takeCode(std::uint32_t code) {
        switch (code) {
            case ResetCode:
                nextCode = FirstFreeCode;
                width = InitialCodeWidth;
                return CodecOk;
            case WidenCode:
                ++width;
                return width > MaxCodeWidth ? CodecBadStream : CodecOk;
            default:
                break;
        }
        if (code > nextCode || nextCode >= CodeTableSize) return CodecBadStream;
        table[nextCode] = {previousOffset, previousLength + 1};
        ++nextCode;
        return appendString(code) ? CodecOk : CodecBadStream;
    }

    CodecResult run() {
        BitReader reader(input);
        std::uint64_t code = 0;
        if (!reader.read(width, code)) return consumedAll(reader, CodecInputExhausted);
        appendString(code & 0xFF);
        for (;;) {
            if (!reader.read(width, code))
                return consumedAll(reader, code == EndCode ? complete() : CodecBadStream);
            if (code == EndCode) return consumedAll(reader, complete());
            const CodecResult result =
                code >= CodeTableSize ? CodecBadStream : takeCode(static_cast<std::uint32_t>(code));
            if (result != CodecOk) return consumedAll(reader, result);
        }
    }

    CodecResult complete() {
        committed = written;
        return CodecOk;
    }

    static CodecResult consumedAll(const BitReader& reader, CodecResult result) {
        kept.inputConsumed = static_cast<std::uint32_t>(reader.consumed());
        return result;
    }
};

// ---------------------------------------------------------------- encoding

class BitWriter {
public:
    BitWriter(std::uint8_t* output, std::size_t capacity) : output_(output), capacity_(capacity) {}

    bool write(std::uint32_t code, std::uint32_t width) {
        bits_ = (bits_ << width) | code;
        bitCount_ += width;
        while (bitCount_ >= 8) {
            bitCount_ -= 8;
            if (!append(static_cast<std::uint8_t>(bits_ >> bitCount_))) return false;
        }
        bits_ &= (std::uint64_t{1} << bitCount_) - 1;
        return true;
    }

    // The last byte is filled up with zero bits.
    bool flush() {
        if (bitCount_ == 0) return true;
        const auto last = static_cast<std::uint8_t>(bits_ << (8 - bitCount_));
        bitCount_ = 0;
        return append(last);
    }

    [[nodiscard]] std::size_t size() const { return size_; }

private:
    bool append(std::uint8_t byte) {
        if (size_ == capacity_) return false;
        output_[size_++] = byte;
        return true;
    }

    std::uint8_t* output_;
    std::size_t capacity_;
    std::size_t size_ = 0;
    std::uint64_t bits_ = 0;
    std::uint32_t bitCount_ = 0;
};

// The learned strings of the current dictionary, found by (code of the
// string without its last byte, last byte). Open addressing; at most 3837
// entries in 8192 slots.
class Dictionary {
public:
    static constexpr std::uint32_t SlotCount = 8192;

    void clear() { std::memset(keys_, 0, sizeof keys_); }

    [[nodiscard]] std::uint32_t find(std::uint32_t prefixCode, std::uint8_t byte) const {
        const std::uint32_t key = makeKey(prefixCode, byte);
        for (std::uint32_t slot = hash(key);; slot = (slot + 1) & (SlotCount - 1)) {
            if (keys_[slot] == key) return codes_[slot];
            if (keys_[slot] == 0) return 0;
        }
    }

    void insert(std::uint32_t prefixCode, std::uint8_t byte, std::uint16_t code) {
        const std::uint32_t key = makeKey(prefixCode, byte);
        std::uint32_t slot = hash(key);
        while (keys_[slot] != 0) slot = (slot + 1) & (SlotCount - 1);
        keys_[slot] = key;
        codes_[slot] = code;
    }

private:
    static std::uint32_t makeKey(std::uint32_t prefixCode, std::uint8_t byte) {
        return ((prefixCode << 8) | byte) + 1;  // 0 marks an empty slot
    }
    static std::uint32_t hash(std::uint32_t key) { return (key * 2654435761u) >> 19; }

    std::uint32_t keys_[SlotCount]{};
    std::uint16_t codes_[SlotCount]{};
};

// After a reset the encoder learns the string that straddles it again as code
// 259, while the string before its last byte is no longer in the dictionary.
// Code 259 becomes reachable once that string is learned anew.
struct StraddlingString {
    bool waiting = false;
    std::size_t prefixStart = 0;
    std::size_t prefixLength = 0;
    std::uint8_t lastByte = 0;
};

struct Encoder {
    std::span<const std::uint8_t> input;
    Dictionary dictionary;
    StraddlingString straddling;
    std::uint32_t nextCode = FirstFreeCode;
    std::uint32_t width = InitialCodeWidth;
    std::uint32_t matchCode = 0;      // code of the current match S
    std::size_t matchStart = 0;       // S is input[matchStart, matchStart + matchLength)
    std::size_t matchLength = 0;

    void learn(std::uint8_t byte) {
        const auto code = static_cast<std::uint16_t>(nextCode++);
        dictionary.insert(matchCode, byte, code);
        if (straddling.waiting && matchLength + 1 == straddling.prefixLength &&
            std::memcmp(input.data() + matchStart, input.data() + straddling.prefixStart,
                        straddling.prefixLength) == 0) {
            dictionary.insert(code, straddling.lastByte, static_cast<std::uint16_t>(FirstFreeCode));
            straddling.waiting = false;
        }
    }

    bool writeCode(BitWriter& writer, std::uint32_t code) {
        for (std::uint32_t excess = code >> width; excess != 0; excess >>= 1) {
            if (!writer.write(WidenCode, width)) return false;
            ++width;
        }
        return writer.write(code, width);
    }

    bool restart(BitWriter& writer, std::uint8_t byte) {
        if (!writer.write(ResetCode, width)) return false;
        nextCode = FirstFreeCode;
        dictionary.clear();
        straddling.waiting = false;
        if (matchLength == 1) {
            dictionary.insert(matchCode, byte, static_cast<std::uint16_t>(FirstFreeCode));
        } else {
            straddling = {true, matchStart, matchLength, byte};
        }
        ++nextCode;
        width = InitialCodeWidth;
        return true;
    }

    bool run(BitWriter& writer) {
        matchCode = input[0];
        matchStart = 0;
        matchLength = 1;
        for (std::size_t i = 1; i < input.size(); ++i) {
            const std::uint8_t byte = input[i];
            if (const std::uint32_t found = dictionary.find(matchCode, byte); found != 0) {
                matchCode = found;
                ++matchLength;
                continue;
            }
            learn(byte);
            if (!writeCode(writer, matchCode)) return consumed(i, false);
            if (nextCode == CodeTableSize && !restart(writer, byte)) return consumed(i, false);
            matchCode = byte;
            matchStart = i;
            matchLength = 1;
        }
        const bool ok = writeCode(writer, matchCode) && writer.write(EndCode, width) && writer.flush();
        return consumed(input.size(), ok);
    }

    static bool consumed(std::size_t count, bool ok) {
        kept.inputConsumed = static_cast<std::uint32_t>(count);
        return ok;
    }
};

}  // namespace

const char* codecResultName(CodecResult result) {
    switch (result) {
        case CodecOk: return "CodecOk";
        case CodecNoMemory: return "CodecNoMemory";
        case CodecInputExhausted: return "CodecInputExhausted";
        case CodecWriteFailed: return "CodecWriteFailed";
        case CodecBadStream: return "CodecBadStream";
    }
    return "CodecUnknownResult";
}

CodecOutput decodeContent(std::span<const std::uint8_t> encoded) {
    kept.inputLength = static_cast<std::uint32_t>(encoded.size());
    kept.inputConsumed = 0;
    if (encoded.size() > MaxContentInput) return finish(CodecBadStream, nullptr, 0, 2);

    auto decoder = std::unique_ptr<Decoder>(new (std::nothrow) Decoder{});
    if (!decoder) return finish(CodecNoMemory, nullptr, 0, 2);
    decoder->table.reset(new (std::nothrow) LearnedRun[CodeTableSize]);
    decoder->output = allocateBuffer(DecoderOutputCapacity);
    if (!decoder->table || !decoder->output) return finish(CodecNoMemory, nullptr, 0, 2);

    decoder->input = encoded;
    const CodecResult result = decoder->run();
    return finish(result, std::move(decoder->output), decoder->committed, 2);
}

CodecOutput encodeContent(std::span<const std::uint8_t> text) {
    kept.inputLength = static_cast<std::uint32_t>(text.size());
    kept.inputConsumed = 0;
    kept.encodingInputLength = kept.inputLength;

    auto output = allocateBuffer(EncoderOutputCapacity);
    if (!output) return finish(CodecNoMemory, nullptr, 0, 1);
    auto encoder = std::unique_ptr<Encoder>(new (std::nothrow) Encoder{});
    if (!encoder) return finish(CodecNoMemory, nullptr, 0, 1);
    if (text.empty()) return finish(CodecInputExhausted, std::move(output), 0, 1);
    if (text.size() > MaxContentInput) return finish(CodecWriteFailed, std::move(output), 0, 1);

    BitWriter writer(output.get(), EncoderOutputCapacity);
    encoder->input = text;
    if (!encoder->run(writer)) return finish(CodecWriteFailed, std::move(output), writer.size(), 1);
    kept.encodingOutputLength = static_cast<std::uint32_t>(writer.size());
    return finish(CodecOk, std::move(output), writer.size(), 1);
}

std::uint32_t lastInputLength() { return kept.inputLength; }
std::uint32_t lastInputConsumed() { return kept.inputConsumed; }
std::uint32_t lastEncodingInputLength() { return kept.encodingInputLength; }
std::uint32_t lastEncodingOutputLength() { return kept.encodingOutputLength; }
