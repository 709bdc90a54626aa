#include "web/accent_letters.h"

#include <array>
#include <string_view>

#include "content/quiz_record.h"

namespace {

// Letters of code page 1252 beyond ASCII: Š Œ Ž š œ ž Ÿ and À to ÿ but × and ÷.
bool isAccentLetter(unsigned char byte) {
    switch (byte) {
        case 0x8A: case 0x8C: case 0x8E: case 0x9A: case 0x9C: case 0x9E: case 0x9F: return true;
        case 0xD7: case 0xF7: return false;
        default: return byte >= 0xC0;
    }
}

void markLetters(std::string_view answer, std::array<bool, 256>& used) {
    for (const char c : answer) {
        const auto byte = static_cast<unsigned char>(c);
        if (isAccentLetter(byte)) used[byte] = true;
    }
}

}  // namespace

std::string accentLetters(const QuizRecord& record) {
    std::array<bool, 256> used{};
    for (int i = 0; i < record.questionCount; ++i) {
        const QuestionEntry* question = questionAt(record, i);
        if (question == nullptr) break;
        markLetters(question->answer.view(), used);
        if (record.answersPerQuestion == 2) markLetters(question->secondAnswer.view(), used);
    }
    std::string letters;
    for (std::size_t byte = 0; byte < used.size(); ++byte) {
        if (used[byte]) letters += static_cast<char>(byte);
    }
    return letters;
}
