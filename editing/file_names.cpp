#include "editing/file_names.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t MostCharacters = 80;  // bytes of UTF-8, cut between characters

bool refused(unsigned char c) { return c < 0x20 || std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string_view::npos; }

bool isDeviceName(std::string stem) {
    for (char& c : stem) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    static constexpr std::array<std::string_view, 4> Fixed{"CON", "PRN", "AUX", "NUL"};
    if (std::find(Fixed.begin(), Fixed.end(), stem) != Fixed.end()) return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '0' && stem[3] <= '9';
}

}  // namespace

std::string quizFileStem(std::string_view quizName) {
    std::string stem;
    for (const char c : quizName) {
        if (refused(static_cast<unsigned char>(c))) continue;
        if (c == ' ' && (stem.empty() || stem.back() == ' ')) continue;  // one space between words
        stem += c;
    }
    if (stem.size() > MostCharacters) {
        std::size_t cut = MostCharacters;
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
        stem.resize(cut);
    }
    while (!stem.empty() && (stem.back() == ' ' || stem.back() == '.')) stem.pop_back();
    if (stem.empty()) return "mon_quiz";
    if (isDeviceName(stem)) stem += "_quiz";
    return stem;
}

namespace {

// A letter of any alphabet (a byte of a character past ASCII counts as one),
// or what joins the words of a name.
bool wordSign(unsigned char c) {
    const bool asciiLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return asciiLetter || c >= 0x80 || c == ' ' || c == '-' || c == '\'';
}

std::string_view stemOf(std::string_view fileName) {
    const std::size_t slash = fileName.find_last_of("/\\");
    if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

}  // namespace

std::string answerFromFileName(std::string_view fileName) {
    std::string answer;
    bool hasLetter = false;
    for (const char byte : stemOf(fileName)) {
        const auto c = static_cast<unsigned char>(byte == '_' ? ' ' : byte);
        if (!wordSign(c)) return {};
        if (c == ' ' && (answer.empty() || answer.back() == ' ')) continue;  // one space between words
        hasLetter = hasLetter || (c != ' ' && c != '-' && c != '\'');
        answer += static_cast<char>(c);
    }
    while (!answer.empty() && answer.back() == ' ') answer.pop_back();
    return hasLetter ? answer : std::string();
}
