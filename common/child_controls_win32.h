#pragma once
// Making the windows' child controls: always visible, placed by a Rect, named
// by their control id; labels take the system's GUI font.

#include <windows.h>

#include "common/geometry.h"

HWND createChild(HWND parent, const char* className, const char* text, DWORD style, const Rect& place, int id);

void setGuiFont(HWND control);

// A visible static text with the stock GUI font. One-line labels are clipped
// rather than wrapped, so a wider system font never blanks them.
void createLabel(HWND parent, const char* text, int x, int y, int width, int height, int controlId,
                 DWORD style = SS_LEFTNOWORDWRAP);
