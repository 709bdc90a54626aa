#pragma once
// Saving the player's answers in the progress file.

#include <windows.h>

#include <string>
#include <vector>

#include "content/text.h"

// The progress file's name, from this executable's own file name, without a
// folder: the file lives in the current directory.
std::string progressFilePath();

// Writes every answer slot, from the record while the single-question view is
// active (its field copied in first) or from the overview's fields; false when
// the file could not be written. Nothing is written for a quiz without answer
// slots, so an undecodable quiz never wipes a player's file.
bool saveProgress();

// The answers in the progress file, `slots` lines.
std::vector<Text> readSavedAnswers(int slots);

// A save the player asked for (F2, "Sauver"): a failure is said in a box.
void saveProgressAndReport();

// Closing the window: true when the answers were saved, or when the player,
// told they could not be, chose to quit all the same.
bool saveBeforeClosing(HWND owner);
