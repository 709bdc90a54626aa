#pragma once
// Questions added from pictures (chosen or dropped), changed, turned, removed
// and moved, and any of those undone and redone.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

void addPictures();
void addQuestionWithoutPicture();
// One question per picture, in file-name order; files that are not pictures
// or cannot be read are then listed, with why, in one message.
void addPictureFiles(std::vector<std::wstring> paths);
void addDroppedFiles(HDROP drop);
void changePicture();
// A quarter clockwise (+1) or anticlockwise (-1).
void turnSelectedPicture(int quarterTurns);
void removeSelectedQuestion();
void moveSelectedQuestion(int direction);
void undoLastChange();
void redoLastChange();
