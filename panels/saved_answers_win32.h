#pragma once
// The answers a question panel starts from: the shell reads them from the
// progress file, one per answer slot, and hands them to the panel as its
// creation parameter.

#include <windows.h>

#include <vector>

#include "content/text.h"

using SavedAnswers = std::vector<Text>;

inline LPARAM asCreationParameter(const SavedAnswers& saved) { return reinterpret_cast<LPARAM>(&saved); }

inline const SavedAnswers& savedAnswersOf(LPARAM creationParameter) {
    return *reinterpret_cast<const SavedAnswers*>(creationParameter);
}
