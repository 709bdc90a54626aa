#pragma once
// The player's header texts measured in the player's own fonts, as a player
// sees them on this system: the quiz's name in its bold italic title font,
// the creator and the explanation in the stock GUI font, at 96 dots per inch
// since the player is drawn as on a 96-dpi screen.

#include <string>

#include "authoring/quiz_source.h"

// One line for each text the header will cut, with what it will show; empty
// when every text shows whole.
std::wstring headerCutNotes(const QuizSettings& quiz);
