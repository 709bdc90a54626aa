#pragma once
// Text on the quiz's own background: black or white, whichever contrasts
// more by WCAG's relative luminance, so that the better of the two (never
// below 4.58:1) is always the one drawn.

#include "content/quiz_record.h"

bool blackTextOn(Rgb background);
