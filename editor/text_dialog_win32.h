#pragma once
// Dialogs of a few lines and two buttons, made in memory: the points to look
// at before saving and the short help. Their text is in a read-only field
// (id 0xFFFF, as a message box's), so that a long list scrolls.

#include <windows.h>

#include <string>

// The points before saving; true for "Enregistrer quand même", false for "Revenir".
bool confirmSaveDespite(HWND owner, const std::wstring& points);

// The Aide window: the player's keys, the answer rules, what the code is, and
// a link that opens LISEZMOI.txt.
void showHelp(HWND owner);
