#pragma once
// The question's picture on screen, decoded the way the player decodes it.

#include <windows.h>

#include "picture_preparation/picture_preparation.h"

// The picture as prepared for the quiz, fitted to a `width` x `height` box
// with its proportions kept; none when the player could not show it either.
HBITMAP fittedPicture(const PreparedPicture& picture, int width, int height);

