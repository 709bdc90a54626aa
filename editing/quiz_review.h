#pragma once
// What will surprise the players of a quiz as it stands: the points the editor
// lists before saving and marks in its list of questions. None of them stops
// a save; each is said in French (UTF-8), in words an author understands.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "editing/quiz_document.h"

struct ReviewPoint {
    std::optional<std::size_t> question;  // none: the quiz as a whole
    std::string text;
};

// The quiz's own points first (name, creator, code lines), then what the
// questions lack (no expected answer, no picture), one line for all the
// questions that lack one thing, and one line for each answer that several
// questions expect.
std::vector<ReviewPoint> pointsBeforeSaving(const DocumentContent& content);

// One question's points for its mark in the list and the text on hover: those
// of the save check and the warnings on its answers.
std::vector<std::string> questionPoints(const DocumentContent& content, std::size_t question);
// The same for every question at once, in order: a list drawn whole.
std::vector<std::vector<std::string>> everyQuestionsPoints(const DocumentContent& content);

// The warnings on a question's expected answers (the second one's said as
// such), as the editor shows them under "Essayer une réponse".
std::vector<std::string> answerWarningLines(const DocumentContent& content, std::size_t question);
