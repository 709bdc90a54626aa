#pragma once
// The file name a new quiz is first saved under, made from its name.

#include <string>
#include <string_view>

// `quizName` (UTF-8) made fit for a Windows file name, without extension:
// the characters Windows refuses dropped, spaces and dots at the ends
// removed, a device name ("CON", "NUL"...) never given; "mon_quiz" when
// nothing is left.
std::string quizFileStem(std::string_view quizName);
