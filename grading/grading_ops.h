#pragma once
// What follows from a typed answer: the verdict label, the question's solved
// flag and comment, and the score and code line of the header panel.

#include <string>

#include "content/quiz_record.h"
#include "grading/controls.h"

// The score label's text: " n / N".
std::string scoreText(int solved, int questionCount);

// The header's score label (" n / N") and code field (six spaces, or code line n).
void refreshScore(const QuizRecord& record, Controls& header);

// Grades the single-question panel's answer field against the first answer of
// question `questionIndex` (0-based). An index out of range does nothing.
void gradeSingleQuestion(QuizRecord& record, Controls& panel, Controls& header, int questionIndex);

// Grades overview answer field `fieldId` (4001 to 4000 + the slot count) with
// the short-answer rule; a solved flag only rises here.
void gradeOverviewField(QuizRecord& record, Controls& overview, Controls& header, int fieldId);
