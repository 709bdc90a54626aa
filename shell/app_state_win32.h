#pragma once
// The process-wide state of the player: the one quiz record, the panels, and
// the frame of the question view being built or shown.

#include <windows.h>

#include "content/quiz_record.h"

extern QuizRecord* quiz;  // owned by WinMain for the whole run

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

void selectPictureFrame(int view);

// The record's opaque handles as what they are.
inline HBRUSH asBrush(BrushHandle brush) { return static_cast<HBRUSH>(brush); }
inline HFONT asFont(FontHandle font) { return static_cast<HFONT>(font); }
inline HWND asWindow(WindowHandle window) { return static_cast<HWND>(window); }

// Dialog procedures hand brushes back as their result.
inline INT_PTR brushResult(HBRUSH brush) { return reinterpret_cast<INT_PTR>(brush); }
