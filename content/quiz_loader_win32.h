#pragma once

#include "content/quiz_record.h"

// Fills the record from the executable's PATCH 104 and 105 resources, shows
// the loader's messages, and makes the background brush of the loaded colour.
void loadQuiz(QuizRecord& record);
