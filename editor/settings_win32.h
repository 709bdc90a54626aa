#pragma once
// The Atelier's remembered settings on Windows: read at start, written when
// they change, in the user's local application data (app_data_win32.h).

#include <windows.h>

#include <string>

#include "editor/atelier_settings.h"

AtelierSettings& settings();
void loadSettings();
void saveSettings();

// A quiz opened or saved goes first in the Fichier menu's recent files.
void rememberRecentFile(const std::wstring& path);

// The Fichiers récents submenu, filled anew each time it opens: one item per
// file, command `firstCommand` + its place, or one greyed line when none.
void fillRecentFilesMenu(HMENU menu, UINT firstCommand);

// The window's place and size, as the author last left them.
void rememberWindowPlace(HWND window);
// False when none is remembered or its monitor is gone: the window is then not shown.
bool restoreWindowPlace(HWND window);
// True while restoreWindowPlace moves the window.
bool restoringWindowPlace();
