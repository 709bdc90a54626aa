#pragma once
// A quiz as its author writes it: a TOML file in UTF-8 (samples/demo/demo.toml
// shows every key), turned into what a quiz executable carries: the
// definition and code lines in their decoded layouts. And back, for quizzes
// read out of an executable.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SourceQuestion {
    std::string answer;  // code page 1252 from here on
    std::string secondAnswer;
    std::string location;
    std::string comment;
    std::string picture;  // file name as written (UTF-8), relative to the source
    friend bool operator==(const SourceQuestion&, const SourceQuestion&) = default;
};

// The quiz's own texts and settings: all but its questions and code lines.
struct QuizSettings {
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
    friend bool operator==(const QuizSettings&, const QuizSettings&) = default;
};

struct QuizSource : QuizSettings {
    std::vector<SourceQuestion> questions;
    std::optional<std::vector<std::string>> codes;  // none: the quiz carries no code lines
    friend bool operator==(const QuizSource&, const QuizSource&) = default;
};

struct ParsedSource {
    QuizSource source;
    std::string error;  // one line naming the place and what is wrong
    [[nodiscard]] bool ok() const { return error.empty(); }
};

ParsedSource parseQuizSource(std::string_view toml);

// Where a picture a source names is looked for, relative to the source's
// folder, in this order, by quizmake and both editors: the path as written
// (with "/" for either separator), then its file name alone (a picture kept
// beside the source, or a path written on another computer).
std::vector<std::string> pictureCandidates(std::string_view written);

// A UTF-8 text as a quoted string, escaped alike for TOML and JSON.
std::string quotedUtf8(const std::string& utf8);

// A parse error (English, as quizmake prints it) said in French for the
// editor: its fixed words translated, keys, numbers and names kept.
std::string frenchSourceError(std::string_view error);

// What is allowed but probably not meant, one line each.
std::vector<std::string> sourceWarnings(const QuizSource& source);

// The source text of a quiz, in the same format: parsing it gives `source` back.
std::string formatQuizSource(const QuizSource& source);

// The decoded layouts the player parses.
std::string definitionText(const QuizSource& source);
std::string codesText(const QuizSource& source);
