#pragma once
// The grading preview: how the player grades each question's own answer and a
// few near misses, in both views, and the answers the graded hints treat harshly.

#include <string>
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

// Each answer slot of the quiz, in order.
std::vector<CheckedQuestion> checkQuiz(const QuizSource& source);
