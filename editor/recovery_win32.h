#pragma once
// Nothing lost: while the document has unsaved changes, a copy of it is kept
// in the user's local application data (written whole, then moved into
// place), so that a crash or a power cut loses nothing. Each Atelier window
// owns its copy and holds a lock file for as long as it runs; a copy whose
// lock nobody holds was left by an Atelier that stopped without closing, and
// is offered at the next start.

#include <windows.h>

#include <string>

// True when a copy lies in the folder (it may be another Atelier's, which holds it).
bool recoveryCopiesLeft();
// Takes this window's lock; then offers each copy left behind, one question
// each. True when the author took one back (it is then the document).
bool startRecovery(HWND window);

// The document changed: its copy is written at once (by a thread of its own)
// for a change of its questions or pictures, else by the timer, at most
// every 30 seconds.
void keepRecoveryCopy();
void onRecoveryTimer();

// Saved, or its changes discarded: the copy goes.
void dropRecoveryCopy();

// The Atelier closes normally: the copy and the lock go.
void stopRecovery();

// The file this window has open (none: empty), told to the other Ateliers,
// which ask `openInAnotherAtelier` before opening one.
void noteOpenedFile(const std::wstring& path);
bool openInAnotherAtelier(const std::wstring& path);
