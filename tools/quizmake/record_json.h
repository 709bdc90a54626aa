#pragma once
// The quiz record as the player holds it, as JSON text (UTF-8).

#include <string>

#include "content/quiz_record.h"

std::string recordJson(const QuizRecord& record);
