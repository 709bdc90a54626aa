// Any bytes as a progress file: every line read is at most 259 bytes with no
// CR and no zero byte, and exactly the lines asked for come back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "session/progress_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int wanted = size == 0 ? 0 : data[0] % 97;
    const auto lines = parseProgressLines(std::span<const std::uint8_t>(data, size), wanted);
    if (lines.size() != static_cast<std::size_t>(wanted)) std::abort();
    for (const Text& line : lines) {
        if (line.size() > MaxTextLength) std::abort();
        if (line.view().find('\r') != std::string_view::npos) std::abort();
    }
    const std::string file = formatProgressLines(lines);
    const auto again = parseProgressLines(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(file.data()), file.size()), wanted);
    if (again != lines) std::abort();
    return 0;
}
