#pragma once
// A plain, slow transcription of the content stream's coding rules: strings
// stored whole, the encoder's dictionary searched by length in learning order.
// The tests hold the real codec to it byte for byte.

#include <cstdint>
#include <span>
#include <vector>

#include "content/content_codec.h"

struct ReferenceOutput {
    CodecResult result = CodecOk;
    std::vector<std::uint8_t> bytes;
};

// Unbounded output: the caller compares sizes with the real codec's limits.
ReferenceOutput referenceEncode(std::span<const std::uint8_t> text);
ReferenceOutput referenceDecode(std::span<const std::uint8_t> stream);

struct WidthCode {
    std::uint32_t code;
    std::uint32_t width;
};

// Packs codes most significant bit first, the last byte filled with zero bits.
std::vector<std::uint8_t> packCodes(std::span<const WidthCode> codes);

// Splits a stream back into its codes, following the widen and reset codes,
// up to and including the end code.
std::vector<std::uint32_t> unpackCodes(std::span<const std::uint8_t> stream);
