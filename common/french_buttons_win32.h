#pragma once
// Message boxes whose buttons read Oui / Non / Annuler whatever the system's
// language: a plain Yes/No box shows English labels on an English system.

#include <windows.h>

// Renames the buttons of the next message box this thread opens.
void renameNextBoxButtonsInFrench();
