#include "content/content_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/support/french_prose.h"
#include "tests/support/reference_codec.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes randomBytes(std::size_t size, std::uint32_t seed, int alphabet = 256) {
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> pick(0, alphabet - 1);
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>('a' + pick(generator) - (alphabet == 256 ? 'a' : 0));
    return bytes;
}

Bytes decoded(const CodecOutput& out) { return Bytes(out.bytes().begin(), out.bytes().end()); }

// Streams built code by code at 9 bits unless a width is given.
Bytes stream(std::initializer_list<WidthCode> codes) { return packCodes(std::vector<WidthCode>(codes)); }
Bytes stream9(std::initializer_list<std::uint32_t> codes) {
    std::vector<WidthCode> wide;
    for (const std::uint32_t c : codes) wide.push_back({c, 9});
    return packCodes(wide);
}

TEST(ContentCodec, EncodesAbcAsTheFiveDocumentedBytes) {
    const CodecOutput out = encodeContent(bytesOf("abc"));
    ASSERT_EQ(out.result, CodecOk);
    EXPECT_EQ(decoded(out), (Bytes{0x30, 0x98, 0x8C, 0x70, 0x00}));
    EXPECT_EQ(out.reportedLength, 6u) << "the encoder reports the byte count plus 1";
    EXPECT_EQ(lastEncodingInputLength(), 3u);
    EXPECT_EQ(lastEncodingOutputLength(), 5u);
}

TEST(ContentCodec, DecodesAbcAndReportsLengthPlusTwo) {
    const CodecOutput out = decodeContent(Bytes{0x30, 0x98, 0x8C, 0x70, 0x00});
    ASSERT_EQ(out.result, CodecOk);
    EXPECT_EQ(decoded(out), bytesOf("abc"));
    EXPECT_EQ(out.reportedLength, 5u);
    EXPECT_EQ(lastInputLength(), 5u);
    EXPECT_EQ(lastInputConsumed(), 5u);
}

struct RoundTripCase {
    const char* kind;
    Bytes text;
};

std::vector<RoundTripCase> roundTripCases() {
    std::vector<RoundTripCase> cases;
    for (const std::size_t size : {1u, 2u, 3u, 4u, 17u, 600u, 5000u, 20000u}) {
        cases.push_back({"random", randomBytes(size, static_cast<std::uint32_t>(size))});
    }
    for (const std::size_t size : {1u, 2u, 3u, 4u, 5u, 100u, 7000u, 65535u}) {
        cases.push_back({"one repeated byte", Bytes(size, 0xE9)});
    }
    for (const std::size_t size : {1u, 50u, 2000u, 16000u, 40000u, 65535u}) {
        cases.push_back({"French prose", frenchProse(size, static_cast<std::uint32_t>(size))});
    }
    for (const std::size_t size : {30000u, 65535u}) {
        cases.push_back({"four letters", randomBytes(size, 7, 4)});
    }
    return cases;
}

// Every text either comes back identical through a stream equal to the
// reference's, or is refused because that stream is over 32768 bytes.
TEST(ContentCodec, RoundTripsMatchTheReferenceStream) {
    for (const RoundTripCase& c : roundTripCases()) {
        SCOPED_TRACE(std::string(c.kind) + ", " + std::to_string(c.text.size()) + " bytes");
        const ReferenceOutput expected = referenceEncode(c.text);
        const CodecOutput encoded = encodeContent(c.text);
        if (expected.bytes.size() > EncoderOutputCapacity) {
            EXPECT_EQ(encoded.result, CodecWriteFailed);
            continue;
        }
        ASSERT_EQ(encoded.result, CodecOk);
        ASSERT_EQ(decoded(encoded), expected.bytes);
        const CodecOutput back = decodeContent(encoded.bytes());
        ASSERT_EQ(back.result, CodecOk);
        EXPECT_EQ(decoded(back), c.text);
        EXPECT_EQ(back.reportedLength, c.text.size() + 2);
    }
}

TEST(ContentCodec, FullSizeProseAndRepeatsFitTheEncoderBuffer) {
    EXPECT_EQ(encodeContent(Bytes(65535, 'x')).result, CodecOk);
    EXPECT_EQ(encodeContent(frenchProse(40000, 1)).result, CodecOk);
}

// Small alphabets build long strings, so resets straddle long matches whose
// prefix must be learned again before code 259 can be found.
TEST(ContentCodec, EncoderMatchesReferenceAcrossManyResets) {
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        const int alphabet = 2 + static_cast<int>(seed % 5);
        const Bytes text = randomBytes(24000 + seed * 97, seed, alphabet);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", alphabet " + std::to_string(alphabet));
        const CodecOutput encoded = encodeContent(text);
        ASSERT_EQ(encoded.result, CodecOk);
        ASSERT_EQ(decoded(encoded), referenceEncode(text).bytes);
        EXPECT_EQ(decoded(decodeContent(encoded.bytes())), text);
    }
}

TEST(ContentCodec, ResetComesAfterExactly3837LearnedStrings) {
    const Bytes text = randomBytes(9000, 3);
    const CodecOutput encoded = encodeContent(text);
    ASSERT_EQ(encoded.result, CodecOk);
    const std::vector<std::uint32_t> codes = unpackCodes(encoded.bytes());
    std::size_t dataCodes = 0;
    std::size_t firstReset = 0;
    for (const std::uint32_t code : codes) {
        if (code == ResetCode) {
            firstReset = dataCodes;
            break;
        }
        if (code != WidenCode) ++dataCodes;
    }
    // Each data code written teaches the dictionary one string, learned just
    // before the code is written.
    EXPECT_EQ(firstReset, 3837u);
    EXPECT_LE(*std::max_element(codes.begin(), codes.end()), 4095u);
}

TEST(ContentCodec, WidensOnlyAsFarAsTheNextCodeNeeds) {
    const CodecOutput encoded = encodeContent(randomBytes(9000, 4));
    ASSERT_EQ(encoded.result, CodecOk);
    const std::vector<std::uint32_t> codes = unpackCodes(encoded.bytes());
    std::uint32_t width = 9;
    std::uint32_t widest = 9;
    bool widened = false;
    for (const std::uint32_t code : codes) {
        if (code == WidenCode) {
            widened = true;
            widest = std::max(widest, ++width);
            continue;
        }
        EXPECT_LT(code, 1u << width) << "every code fits its width";
        if (widened) {
            EXPECT_GE(code, 1u << (width - 1)) << "a widen code only when the next code needs it";
        }
        widened = false;
        if (code == ResetCode) width = 9;
    }
    EXPECT_EQ(widest, 12u);
}

struct StreamCase {
    const char* name;
    Bytes stream;
    CodecResult result;
    std::string text;  // when the result is CodecOk
};

TEST(ContentCodec, HandcraftedStreams) {
    const std::vector<StreamCase> cases = {
        {"code equal to the counter", stream9({'a', 259, 256}), CodecOk, "aaa"},
        {"repeated taught code", stream9({'a', 259, 260, 256}), CodecOk, "aaaaaa"},
        {"widen then a 10-bit code", stream({{'a', 9}, {257, 9}, {'b', 10}, {256, 10}}), CodecOk, "ab"},
        {"reset keeps the previous string", stream9({'a', 'b', 258, 'c', 259, 256}), CodecOk, "abcbc"},
        {"taught code right after a reset", stream9({'a', 'b', 258, 259, 256}), CodecOk, "abbb"},
        {"first code uses its low byte", stream9({0x141, 256}), CodecOk, "A"},
        {"code above the counter", stream9({'a', 260, 256}), CodecBadStream, ""},
        {"no end code", stream9({'a', 'b', 'c'}), CodecBadStream, ""},
        {"empty", {}, CodecInputExhausted, ""},
        {"first code incomplete", {0x30}, CodecInputExhausted, ""},
        {"code over 4095", stream({{'a', 9}, {257, 9}, {257, 10}, {257, 11}, {257, 12}, {4097, 13}}),
         CodecBadStream, ""},
    };
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CodecOutput out = decodeContent(c.stream);
        EXPECT_EQ(out.result, c.result);
        EXPECT_EQ(referenceDecode(c.stream).result, c.result);
        if (c.result == CodecOk) {
            EXPECT_EQ(decoded(out), bytesOf(c.text));
        }
    }
}

TEST(ContentCodec, StreamEndingInsideTheEndCodeDependsOnTheGatheredBits) {
    // "abc" ends with the end code 1 0000 0000; cut after its first byte the
    // gathered bits read 16, not 256.
    EXPECT_EQ(decodeContent(Bytes{0x30, 0x98, 0x8C, 0x70}).result, CodecBadStream);
    // 39 bits of codes, then a held 1 bit and one zero byte: the 12-bit code
    // runs out having gathered 1 0000 0000, which ends the stream.
    Bytes bytes = packCodes(std::vector<WidthCode>{{'a', 9}, {257, 9}, {257, 10}, {257, 11}, {1, 1}});
    bytes.push_back(0x00);
    const CodecOutput out = decodeContent(bytes);
    EXPECT_EQ(out.result, CodecOk);
    EXPECT_EQ(decoded(out), bytesOf("a"));
    EXPECT_EQ(referenceDecode(bytes).result, CodecOk);
}

TEST(ContentCodec, TwentyFourWidenCodesTakeTheWidthPast32) {
    std::vector<WidthCode> codes = {{'a', 9}};
    for (std::uint32_t width = 9; width < 32; ++width) codes.push_back({WidenCode, width});
    codes.push_back({256, 32});
    EXPECT_EQ(decodeContent(packCodes(codes)).result, CodecOk) << "23 widen codes reach 32 bits";
    codes.pop_back();
    codes.push_back({WidenCode, 32});
    codes.push_back({256, 32});
    EXPECT_EQ(decodeContent(packCodes(codes)).result, CodecBadStream);
}

TEST(ContentCodec, LearningPastCode4095WithoutAResetIsABadStream) {
    auto literals = [](std::size_t count) {
        std::vector<WidthCode> codes;
        for (std::size_t i = 0; i < count; ++i) codes.push_back({i % 2 == 0 ? std::uint32_t{'x'} : std::uint32_t{'y'}, 9});
        codes.push_back({256, 9});
        return packCodes(codes);
    };
    // The first code teaches nothing; each of the next 3837 fills 259 ... 4095.
    EXPECT_EQ(decodeContent(literals(3838)).result, CodecOk);
    EXPECT_EQ(decodeContent(literals(3839)).result, CodecBadStream);
    EXPECT_EQ(referenceDecode(literals(3839)).result, CodecBadStream);
}

TEST(ContentCodec, DecodedOutputBeyond120000BytesIsRefused) {
    // 'a' then 259, 260, ...: every string one byte longer than the last.
    auto growing = [](std::uint32_t lastCode) {
        std::vector<WidthCode> codes = {{'a', 9}, {257, 9}};
        for (std::uint32_t c = 259; c <= lastCode; ++c) codes.push_back({c, 10});
        codes.push_back({256, 10});
        return packCodes(codes);
    };
    // With k codes from 259 on, the text is 1 + 2 + ... + (k + 1) bytes long.
    const CodecOutput fits = decodeContent(growing(259 + 487));  // k = 488: 119805 bytes
    ASSERT_EQ(fits.result, CodecOk);
    EXPECT_EQ(fits.size, 119805u);
    EXPECT_EQ(decodeContent(growing(259 + 488)).result, CodecBadStream);  // 120295 bytes
    EXPECT_EQ(referenceDecode(growing(259 + 488)).result, CodecBadStream);
}

TEST(ContentCodec, RefusesInputsBeyondTheBlockSize) {
    const Bytes big(MaxContentInput + 1, 'a');
    EXPECT_EQ(encodeContent(big).result, CodecWriteFailed);
    EXPECT_EQ(decodeContent(big).result, CodecBadStream);
}

TEST(ContentCodec, EmptyInputs) {
    EXPECT_EQ(encodeContent(Bytes{}).result, CodecInputExhausted);
    const CodecOutput out = decodeContent(Bytes{});
    EXPECT_EQ(out.result, CodecInputExhausted);
    EXPECT_NE(out.buffer, nullptr) << "the output buffer is handed back with every result";
}

TEST(ContentCodec, RandomTextOverTheEncoderBufferIsRefusedCleanly) {
    const CodecOutput out = encodeContent(randomBytes(65535, 11));
    EXPECT_EQ(out.result, CodecWriteFailed);
    EXPECT_LE(out.size, EncoderOutputCapacity);
}

// Damaged streams: the codec and the reference agree on every result and text.
TEST(ContentCodec, DamagedStreamsAgreeWithTheReference) {
    std::mt19937 generator(2026);
    const Bytes prose = frenchProse(6000, 5);
    const Bytes valid = decoded(encodeContent(prose));
    for (int round = 0; round < 400; ++round) {
        Bytes damaged = valid;
        const int flips = 1 + round % 4;
        for (int i = 0; i < flips; ++i) {
            std::uniform_int_distribution<std::size_t> at(0, damaged.size() - 1);
            damaged[at(generator)] ^= static_cast<std::uint8_t>(1u << (generator() % 8));
        }
        if (round % 3 == 0) damaged.resize(generator() % damaged.size());
        SCOPED_TRACE("round " + std::to_string(round));
        const CodecOutput out = decodeContent(damaged);
        const ReferenceOutput expected = referenceDecode(damaged);
        ASSERT_EQ(out.result, expected.result);
        if (out.result == CodecOk) {
            ASSERT_EQ(decoded(out), expected.bytes);
        }
    }
}

}  // namespace
