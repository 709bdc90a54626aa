#pragma once
// The game's controls painted into the player's windows, and its effects
// carried out there: after each action of the game, the texts and
// visibilities that changed go into the real controls, and the picture to
// show, the views to swap, the scrolls, the focus and the save are done.

// Paints what changed since the last paint and carries out the effects.
void paintSession();

// Paints every control of the game, whatever changed: once, after start-up.
void paintWholeSession();

// While the windows are made: the focus moves that their making causes are
// already in the game, which played its start-up through.
void holdFocusReports(bool held);

// True while painting moves the focus itself: the focus changes it causes are
// the game's own and must not be reported back to it.
bool paintingSession();
