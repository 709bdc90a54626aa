#pragma once
// The names of files: the one a new quiz is first saved under, made from its
// name, and the answer a picture's own file name proposes.

#include <string>
#include <string_view>

// `quizName` (UTF-8) made fit for a Windows file name, without extension:
// the characters Windows refuses dropped, spaces and dots at the ends
// removed, a device name ("CON", "NUL"...) never given; "mon_quiz" when
// nothing is left.
std::string quizFileStem(std::string_view quizName);

// The answer a picture's file name (UTF-8, with or without its folder)
// proposes: its word or words as the author wrote them, extension dropped
// and `_` read as a space ("tour_eiffel.png": "tour eiffel"). A camera's or a
// counter's name (IMG_1234, DSC01234, PXL_2024..., 0042) holds digits and
// proposes nothing (empty), as does any name of other signs than letters,
// spaces, hyphens and apostrophes.
std::string answerFromFileName(std::string_view fileName);
