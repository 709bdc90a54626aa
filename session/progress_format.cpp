#include "session/progress_format.h"

namespace {
constexpr std::uint8_t CarriageReturn = 13;
constexpr std::uint8_t LineFeed = 10;
}  // namespace

std::string progressFileName(std::string_view modulePath) {
    const std::size_t separator = modulePath.find_last_of("\\/");
    std::string name(separator == std::string_view::npos ? modulePath : modulePath.substr(separator + 1));
    if (name.size() < 3) return name + ".txt";
    name.replace(name.size() - 3, 3, "txt");
    return name;
}

std::vector<Text> parseProgressLines(std::span<const std::uint8_t> bytes, int lineCount) {
    std::vector<Text> lines(static_cast<std::size_t>(lineCount > 0 ? lineCount : 0));
    std::size_t p = 0;
    const std::size_t end = bytes.size();
    for (Text& line : lines) {
        std::size_t length = 0;
        for (; p < end && bytes[p] != CarriageReturn; ++p) {
            if (bytes[p] != 0 && length < MaxTextLength) line.bytes[length++] = static_cast<char>(bytes[p]);
        }
        line.bytes[length] = '\0';
        while (p < end && bytes[p] != LineFeed) ++p;
        if (p < end) ++p;
    }
    return lines;
}

std::string formatProgressLines(std::span<const Text> answers) {
    std::string file;
    for (const Text& answer : answers) {
        file += answer.view();
        file += "\r\n";
    }
    return file;
}
