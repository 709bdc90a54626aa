#pragma once
// A quiz as its author writes it (JSON, UTF-8, the same keys that `show`
// prints, plus a picture file per question), turned into what a quiz
// executable carries: the definition and code lines in their decoded layouts.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SourceQuestion {
    std::string answer;  // code page 1252 from here on
    std::string secondAnswer;
    std::string location;
    std::string comment;
    std::string picture;  // file name as written, relative to the source
};

struct QuizSource {
    std::string quizName;
    std::string creatorName;
    std::string explanation;
    std::string firstAnswerLabel;
    std::string secondAnswerLabel;
    int showPictures = 1;
    int answersPerQuestion = 1;
    int commentMode = 0;
    int backgroundRed = 53;
    int backgroundGreen = 203;
    int backgroundBlue = 163;
    std::vector<SourceQuestion> questions;
    std::optional<std::vector<std::string>> codes;  // none: the quiz carries no code lines
};

struct ParsedSource {
    QuizSource source;
    std::string error;  // one line naming the place and what is wrong
    [[nodiscard]] bool ok() const { return error.empty(); }
};

ParsedSource parseQuizSource(std::string_view json);

// The decoded layouts the player parses.
std::string definitionText(const QuizSource& source);
std::string codesText(const QuizSource& source);
