#pragma once
// The one record of the loaded quiz and of the state that every window shares.
// Window, font and brush handles are opaque here; the Windows layer owns their
// creation and release.

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

#include "content/text.h"

inline constexpr int MaxAnswerSlots = 96;
inline constexpr int MaxCodeLines = 96;
inline constexpr int MaxQuestionCount = 255;  // one byte in the definition

using WindowHandle = void*;
using FontHandle = void*;
using BrushHandle = void*;

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Red in bits 0-7, green in bits 8-15, blue in bits 16-23, as Windows colour values.
constexpr std::uint32_t colourValue(Rgb colour) {
    return colour.red + 256u * colour.green + 65536u * colour.blue;
}

inline constexpr Rgb InitialBackground{90, 95, 150};
inline constexpr Rgb DefaultQuizBackground{53, 203, 163};
inline constexpr Rgb WrongColour{255, 0, 0};
inline constexpr Rgb RightColour{0, 255, 0};
inline constexpr Rgb AnagramColour{255, 100, 0};
inline constexpr Rgb HintColour{255, 203, 38};

inline constexpr std::string_view VersionText = "R\xE9" "alis\xE9 avec la version 2.2";

struct QuestionEntry {
    Text answer;
    Text secondAnswer;
    Text location;
    Text comment;
    std::int32_t solved = 0;
    QuestionEntry* prev = nullptr;
    QuestionEntry* next = nullptr;
};

// Owns its nodes, kept in definition order.
struct QuestionList {
    QuestionEntry* head = nullptr;
    QuestionEntry* tail = nullptr;

    QuestionList() = default;
    QuestionList(const QuestionList&) = delete;
    QuestionList& operator=(const QuestionList&) = delete;
    QuestionList(QuestionList&& other) noexcept : head(other.head), tail(other.tail) {
        other.head = nullptr;
        other.tail = nullptr;
    }
    QuestionList& operator=(QuestionList&& other) noexcept {
        if (this != &other) {
            release();
            head = std::exchange(other.head, nullptr);
            tail = std::exchange(other.tail, nullptr);
        }
        return *this;
    }
    ~QuestionList() { release(); }

    void release();
    [[nodiscard]] int size() const;
};

struct QuizRecord {
    std::int32_t showPictures = 0;
    Text quizName;
    Text creatorName;
    Text explanation;
    Text firstAnswerLabel;
    Text secondAnswerLabel;
    std::int32_t questionCount = 0;
    std::int32_t answersPerQuestion = 0;
    std::array<Text, MaxCodeLines> codes{};
    WindowHandle mainWindow = nullptr;
    std::int32_t commentMode = 0;
    FontHandle answerFont = nullptr;
    FontHandle scoreFont = nullptr;
    FontHandle titleFont = nullptr;
    std::int32_t allCommentsShown = 0;
    std::uint8_t backgroundRed = 0;
    std::uint8_t backgroundBlue = 0;
    std::uint8_t backgroundGreen = 0;
    std::uint32_t backgroundColour = 0;
    BrushHandle backgroundBrush = nullptr;
    BrushHandle wrongBrush = nullptr;
    BrushHandle rightBrush = nullptr;
    BrushHandle anagramBrush = nullptr;
    BrushHandle hintBrush = nullptr;
    WindowHandle headerPanel = nullptr;
    Text versionText;
    QuestionList questions;
    std::array<Text, MaxAnswerSlots> typedAnswers{};

    // Questions among the first questionCount of the list whose `solved` is 1.
    [[nodiscard]] int solvedCount() const;
};

// The initial values that hold before a quiz is loaded (fonts and brushes are
// made by the Windows layer from the colours above).
void initialiseRecord(QuizRecord& record);

void setBackgroundColour(QuizRecord& record, Rgb colour);
[[nodiscard]] Rgb backgroundColourOf(const QuizRecord& record);

// questionCount x answersPerQuestion, never above the 96 answer slots.
[[nodiscard]] int answerSlotCount(const QuizRecord& record);

// Appends a question with an empty comment; returns false (and adds nothing)
// when the node cannot be allocated.
bool addQuestion(QuizRecord& record, std::string_view answer, std::string_view secondAnswer,
                 std::string_view location);

// Steps from the head at most index + 1 nodes: an index past the end yields the
// last node, and only an empty list yields null.
QuestionEntry* questionAt(QuizRecord& record, int index);
const QuestionEntry* questionAt(const QuizRecord& record, int index);
