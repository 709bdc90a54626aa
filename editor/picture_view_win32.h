#pragma once
// Questions' pictures on screen, decoded the way the player decodes them.

#include <windows.h>

#include "picture_preparation/picture_preparation.h"

// The picture as prepared for the quiz, fitted to a `width` x `height` box
// with its proportions kept; none when the player could not show it either.
HBITMAP fittedPicture(const PreparedPicture& picture, int width, int height);

// A list thumbnail: the picture fitted and centred on a tile of `background`;
// a plain tile when there is no picture to show.
HBITMAP thumbnailOf(const PreparedPicture* picture, int width, int height, COLORREF background);
