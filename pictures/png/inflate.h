#pragma once
// Deflate (RFC 1951) inside a zlib wrapper (RFC 1950), for PNG image data.
// The output has a fixed size known in advance: the stream must fill it,
// and what it would write beyond is ignored. The Adler-32 is not checked.

#include <cstdint>
#include <span>

enum class InflateResult : std::uint8_t {
    Ok,
    BadZlibHeader,    // compression method not 8, window field above 7, or a preset dictionary
    BadBlockType,     // block type 3
    BadStoredLength,  // LEN and NLEN disagree
    BadHuffmanCode,   // an impossible code table, or a code that names no symbol
    BadDistance,      // a back-reference before the start of the output
    Truncated,        // the input ends inside the stream
    ShortOutput,      // the last block ends before the output is full
};

// The width of the inflate's bit buffer. Builds use their machine word; both
// exist in every build, so that tests and fuzzers on a 64-bit machine also
// run the 32-bit player's way.
enum class BitBufferWidth : std::uint8_t { Bits32, Bits64 };
inline constexpr BitBufferWidth MachineBitBuffer = sizeof(void*) >= 8 ? BitBufferWidth::Bits64 : BitBufferWidth::Bits32;

// With the machine's width, as the player decodes.
InflateResult inflateZlibStream(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out);
// With either width, for tests, benchmarks and fuzzing; a program that never
// calls it does not carry the other width's code.
InflateResult inflateZlibStream(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out,
                                BitBufferWidth width);
