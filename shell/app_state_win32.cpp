#include "shell/app_state_win32.h"

QuizRecord* quiz = nullptr;
HINSTANCE programInstance = nullptr;
HWND mainWindow = nullptr;
HWND overviewPanel = nullptr;
HWND singleQuestionPanel = nullptr;
HBRUSH statusBrush = nullptr;

int singleViewActive = SingleQuestionView;
int pictureFrameWidth = 640;
int pictureFrameHeight = 480;

void selectPictureFrame(int view) {
    pictureFrameWidth = view == SingleQuestionView ? 640 : 210;
    pictureFrameHeight = view == SingleQuestionView ? 480 : 210;
}
