#include "common/app_state_win32.h"

QuizSession* game = nullptr;
QuizRecord* quiz = nullptr;
HINSTANCE programInstance = nullptr;
HWND mainWindow = nullptr;
HWND overviewPanel = nullptr;
HWND singleQuestionPanel = nullptr;
HBRUSH statusBrush = nullptr;

int singleViewActive = SingleQuestionView;
int pictureFrameWidth = SingleQuestionFrameWidth;
int pictureFrameHeight = SingleQuestionFrameHeight;

void selectPictureFrame(int view) {
    const bool single = view == SingleQuestionView;
    pictureFrameWidth = single ? SingleQuestionFrameWidth : OverviewFrameSide;
    pictureFrameHeight = single ? SingleQuestionFrameHeight : OverviewFrameSide;
}
