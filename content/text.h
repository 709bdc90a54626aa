#pragma once
// Fixed-size single-byte texts (code page 1252) as the quiz record and the
// answer fields hold them: at most 259 characters and a terminating zero.

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

inline constexpr std::size_t TextCapacity = 260;
inline constexpr std::size_t MaxTextLength = TextCapacity - 1;

struct Text {
    std::array<char, TextCapacity> bytes{};

    Text() = default;
    Text(std::string_view source) { assign(source); }  // NOLINT: texts convert freely

    // Copies at most 259 bytes; a zero byte in the source ends the text, as in
    // the zero-terminated buffers the texts travel in.
    void assign(std::string_view source) {
        const std::size_t count = source.size() < MaxTextLength ? source.size() : MaxTextLength;
        if (count > 0) std::memcpy(bytes.data(), source.data(), count);
        bytes[count] = '\0';
    }
    void clear() { bytes[0] = '\0'; }

    [[nodiscard]] std::size_t size() const { return std::strlen(bytes.data()); }
    [[nodiscard]] bool empty() const { return bytes[0] == '\0'; }
    [[nodiscard]] std::string_view view() const { return {bytes.data(), size()}; }
    [[nodiscard]] const char* c_str() const { return bytes.data(); }
    char* data() { return bytes.data(); }

    friend bool operator==(const Text& a, const Text& b) { return a.view() == b.view(); }
    friend bool operator==(const Text& a, std::string_view b) { return a.view() == b; }
};
