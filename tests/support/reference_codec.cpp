#include "tests/support/reference_codec.h"

#include <string>

namespace {

class ReferenceBitWriter {
public:
    void write(std::uint32_t code, std::uint32_t width) {
        for (std::uint32_t bit = width; bit-- > 0;) {
            partial_ = static_cast<std::uint8_t>(partial_ | (((code >> bit) & 1u) << (7 - filled_)));
            if (++filled_ == 8) {
                bytes.push_back(partial_);
                partial_ = 0;
                filled_ = 0;
            }
        }
    }
    void flush() {
        if (filled_ > 0) bytes.push_back(partial_);
        filled_ = 0;
    }
    std::vector<std::uint8_t> bytes;

private:
    std::uint8_t partial_ = 0;
    std::uint32_t filled_ = 0;
};

class ReferenceBitReader {
public:
    explicit ReferenceBitReader(std::span<const std::uint8_t> input) : input_(input) {}
    // False when the input runs out; `value` holds the bits gathered so far.
    bool read(std::uint32_t width, std::uint64_t& value) {
        value = 0;
        for (std::uint32_t i = 0; i < width; ++i) {
            if (bitsLeft_ == 0) {
                if (position_ == input_.size()) return false;
                current_ = input_[position_++];
                bitsLeft_ = 8;
            }
            --bitsLeft_;
            value = (value << 1) | ((std::uint32_t{current_} >> bitsLeft_) & 1u);
        }
        return true;
    }

private:
    std::span<const std::uint8_t> input_;
    std::size_t position_ = 0;
    std::uint8_t current_ = 0;
    std::uint32_t bitsLeft_ = 0;
};

struct LengthIndex {
    std::vector<std::vector<std::uint16_t>> lists = std::vector<std::vector<std::uint16_t>>(CodeTableSize);
};

int lookUp(const LengthIndex& index, const std::vector<std::string>& table, const std::string& text) {
    if (text.size() >= CodeTableSize) return -1;
    for (const std::uint16_t code : index.lists[text.size()]) {
        if (table[code] == text) return code;
    }
    return -1;
}

std::uint32_t codeOf(const LengthIndex& index, const std::vector<std::string>& table, const std::string& text) {
    const int code = lookUp(index, table, text);
    return code >= 0 ? static_cast<std::uint32_t>(code) : static_cast<std::uint8_t>(text[0]);
}

void writeWithWidening(ReferenceBitWriter& writer, std::uint32_t code, std::uint32_t& width) {
    for (auto g = static_cast<std::uint16_t>(code >> width); g != 0; g = static_cast<std::uint16_t>(g >> 1)) {
        writer.write(WidenCode, width);
        ++width;
    }
    writer.write(code, width);
}

}  // namespace

ReferenceOutput referenceEncode(std::span<const std::uint8_t> text) {
    if (text.empty()) return {CodecInputExhausted, {}};
    std::vector<std::string> table(CodeTableSize);
    LengthIndex index;
    std::uint32_t counter = FirstFreeCode;
    std::uint32_t width = InitialCodeWidth;
    ReferenceBitWriter writer;

    std::string s(1, static_cast<char>(text[0]));
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char b = static_cast<char>(text[i]);
        const std::string t = s + b;
        if (lookUp(index, table, t) >= 0) {
            s = t;
            continue;
        }
        table[counter] = t;
        index.lists[t.size()].push_back(static_cast<std::uint16_t>(counter));
        ++counter;
        writeWithWidening(writer, codeOf(index, table, s), width);
        s = std::string(1, b);
        if (counter == CodeTableSize) {
            writer.write(ResetCode, width);
            counter = FirstFreeCode;
            index = LengthIndex{};
            table[counter] = t;
            index.lists[t.size()].push_back(static_cast<std::uint16_t>(counter));
            ++counter;
            width = InitialCodeWidth;
        }
    }
    writeWithWidening(writer, codeOf(index, table, s), width);
    writer.write(EndCode, width);
    writer.flush();
    return {CodecOk, std::move(writer.bytes)};
}

ReferenceOutput referenceDecode(std::span<const std::uint8_t> stream) {
    ReferenceBitReader reader(stream);
    std::vector<std::string> table(CodeTableSize);
    std::uint32_t counter = FirstFreeCode;
    std::uint32_t width = InitialCodeWidth;
    std::string out;

    std::uint64_t code = 0;
    if (!reader.read(width, code)) return {CodecInputExhausted, {}};
    std::string previous(1, static_cast<char>(code & 0xFF));
    for (;;) {
        const bool complete = reader.read(width, code);
        if (code == EndCode) {
            if (out.size() + previous.size() > DecoderOutputCapacity) return {CodecBadStream, {}};
            out += previous;
            return {CodecOk, std::vector<std::uint8_t>(out.begin(), out.end())};
        }
        if (!complete) return {CodecBadStream, {}};
        if (code == ResetCode) {
            counter = FirstFreeCode;
            width = InitialCodeWidth;
            continue;
        }
        if (code == WidenCode) {
            if (++width > MaxCodeWidth) return {CodecBadStream, {}};
            continue;
        }
        if (code > counter || counter >= CodeTableSize) return {CodecBadStream, {}};
        const auto x = static_cast<std::uint32_t>(code);
        const char first = x == counter ? previous[0] : (x < EndCode ? static_cast<char>(x) : table[x][0]);
        table[counter] = previous + first;
        ++counter;
        if (out.size() + previous.size() > DecoderOutputCapacity) return {CodecBadStream, {}};
        out += previous;
        previous = x < EndCode ? std::string(1, static_cast<char>(x)) : table[x];
    }
}

std::vector<std::uint8_t> packCodes(std::span<const WidthCode> codes) {
    ReferenceBitWriter writer;
    for (const WidthCode& c : codes) writer.write(c.code, c.width);
    writer.flush();
    return std::move(writer.bytes);
}

std::vector<std::uint32_t> unpackCodes(std::span<const std::uint8_t> stream) {
    ReferenceBitReader reader(stream);
    std::vector<std::uint32_t> codes;
    std::uint32_t width = InitialCodeWidth;
    std::uint64_t code = 0;
    while (reader.read(width, code)) {
        codes.push_back(static_cast<std::uint32_t>(code));
        if (code == EndCode) break;
        if (code == WidenCode) ++width;
        if (code == ResetCode) width = InitialCodeWidth;
    }
    return codes;
}
