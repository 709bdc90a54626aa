#pragma once
// The process-wide state that the player's windows share: the one quiz
// record, the program's windows, the active view and the picture frame of the
// view being built or shown. Windows reach each other through these handles,
// control ids and messages, never through each other's own state.

#include <windows.h>

struct QuizRecord;
struct QuizSession;

extern QuizSession* game;  // the game the windows show and drive; owned by WinMain for the whole run
extern QuizRecord* quiz;   // the game's record

extern HINSTANCE programInstance;
extern HWND mainWindow;
extern HWND overviewPanel;
extern HWND singleQuestionPanel;
extern HBRUSH statusBrush;

extern int singleViewActive;  // 1: single-question view, 0: overview
extern int pictureFrameWidth;
extern int pictureFrameHeight;

inline constexpr int SingleQuestionView = 1;
inline constexpr int OverviewView = 0;

// The picture frames of the two views.
inline constexpr int SingleQuestionFrameWidth = 640;
inline constexpr int SingleQuestionFrameHeight = 480;
inline constexpr int OverviewFrameSide = 210;

void selectPictureFrame(int view);

// Requests that painting the game sends, so that the windows that carry them
// out are not called directly: the single view shows the picture of the
// question now shown; the main window swaps the views as the game did; the
// overview brings answer slot wParam's field into view; the main window saves
// the answers, saying so when that fails (F2, "Sauver").
inline constexpr UINT ShowQuestionPictureRequest = WM_APP + 2;
inline constexpr UINT SwapViewsRequest = WM_APP + 3;
inline constexpr UINT ShowSlotRequest = WM_APP + 4;
inline constexpr UINT SaveProgressRequest = WM_APP + 5;

// The record's opaque handles as what they are.
inline HBRUSH asBrush(void* brush) { return static_cast<HBRUSH>(brush); }
inline HFONT asFont(void* font) { return static_cast<HFONT>(font); }
inline HWND asWindow(void* window) { return static_cast<HWND>(window); }

// Dialog procedures hand brushes back as their result.
inline INT_PTR brushResult(HBRUSH brush) { return reinterpret_cast<INT_PTR>(brush); }
