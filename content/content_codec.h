#pragma once
// The dictionary coder in which the quiz definition and the code lines are
// stored inside the executable. Streams are sequences of codes written
// most significant bit first, 9 bits wide at the start and after a reset.

#include <cstdint>
#include <memory>
#include <span>

inline constexpr std::uint32_t EndCode = 256;
inline constexpr std::uint32_t WidenCode = 257;
inline constexpr std::uint32_t ResetCode = 258;
inline constexpr std::uint32_t FirstFreeCode = 259;
inline constexpr std::uint32_t CodeTableSize = 4096;
inline constexpr std::uint32_t InitialCodeWidth = 9;
inline constexpr std::uint32_t MaxCodeWidth = 32;

inline constexpr std::size_t MaxContentInput = 65535;       // one block, 16-bit position
inline constexpr std::size_t DecoderOutputCapacity = 120000;
inline constexpr std::size_t EncoderOutputCapacity = 32768;

enum CodecResult : std::int32_t {
    CodecOk = 0,
    CodecNoMemory = -4,
    CodecInputExhausted = -5,
    CodecWriteFailed = -6,
    CodecBadStream = -7,
};

const char* codecResultName(CodecResult result);

// The caller owns the buffer. `buffer` is null only when no output buffer
// could be allocated (the caller then reports "Impossible d'allouer la memoire").
struct CodecOutput {
    CodecResult result = CodecOk;
    std::unique_ptr<std::uint8_t[]> buffer;
    std::size_t size = 0;           // bytes in buffer
    std::uint32_t reportedLength = 0;  // decoder: size + 2; encoder: size + 1

    [[nodiscard]] std::span<const std::uint8_t> bytes() const { return {buffer.get(), size}; }
};

CodecOutput decodeContent(std::span<const std::uint8_t> encoded);
CodecOutput encodeContent(std::span<const std::uint8_t> text);

// Counters kept from the last call.
std::uint32_t lastInputLength();
std::uint32_t lastInputConsumed();
std::uint32_t lastEncodingInputLength();
std::uint32_t lastEncodingOutputLength();
