#pragma once
// Message boxes whose buttons read Oui / Non / Annuler whatever the system's
// language: a plain Yes/No box shows English labels on an English system.

#include <windows.h>

// Renames the buttons of the next message box this thread opens, by the
// button set of its type (MB_YESNO...). A box with only OK is left alone:
// Windows gives that lone button the id IDCANCEL, so that Esc closes it.
void renameNextBoxButtonsInFrench(UINT boxType);
