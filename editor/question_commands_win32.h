#pragma once
// Questions added from pictures (chosen or dropped), changed, removed and moved.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

void addPictures();
void addQuestionWithoutPicture();
// One question per picture, in file-name order; files that are not pictures
// are listed in one message and nothing is added.
void addPictureFiles(std::vector<std::wstring> paths);
void addDroppedFiles(HDROP drop);
void changePicture();
void removeSelectedQuestion();
void moveSelectedQuestion(int direction);
