#pragma once
// The grading preview: how the player grades each question's own answer and a
// few near misses, in both views, and the answers the graded hints treat harshly.

#include <string>
#include <string_view>
#include <vector>

#include "authoring/quiz_source.h"

struct CheckedTyping {
    std::string description;  // what the player did, in words
    std::string typed;        // code page 1252
    std::string singleView;   // the verdicts, code page 1252
    std::string overview;
};

struct CheckedQuestion {
    std::string expected;
    std::vector<CheckedTyping> typings;
    std::vector<std::string> warnings;
};

// Each answer slot of the quiz, in order; warnings in English, the accent
// advice after them when it applies.
std::vector<CheckedQuestion> checkQuiz(const QuizSource& source);

// Expected answers that the player's rules treat harshly.
// The player capitalises only a to z: an accented letter must be typed with
// its accent and in the same case as the expected answer holds it.
enum class AnswerWarning {
    NoAnswer,          // nothing typed is ever right
    ShortAnswer,       // 3 characters or fewer: the overview takes only the exact answer
    Accents,           // typed without its accents or in capitals, it gets a hint, not "BRAVO"
    AccentedCapitals,  // typed in lower case or without its accents, it gets a hint
    Ligatures,         // œ or æ: not on a French keyboard, "oe" gets a hint
    CurlyApostrophe,   // ’: not on a keyboard, and the web page reads one typed on a phone as '
    DoubleSpace,       // typed with one space, it gets a hint
    SpaceAtEnd,        // the typed answer is trimmed, the expected one is not: it never matches
};

// The warnings for one expected answer (code page 1252), in the order above.
std::vector<AnswerWarning> answerWarnings(std::string_view expected);

// One line each, for quizmake and for the editor (UTF-8).
std::string_view englishWarning(AnswerWarning warning);
std::string_view frenchWarning(AnswerWarning warning);

// The advice that follows the accent warnings, said once after them.
bool isAccentWarning(AnswerWarning warning);
std::string_view englishAccentAdvice();
std::string_view frenchAccentAdvice();

// The warnings of one answer as lines (UTF-8), the advice once after the
// accent warnings when there are any.
std::vector<std::string> frenchWarningLines(std::string_view expected);
