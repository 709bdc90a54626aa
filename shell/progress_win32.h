#pragma once
// Saving the player's answers in the progress file.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "content/text.h"

// The progress file's name, from this executable's own file name, without a
// folder: the file lives in the current directory.
std::string progressFilePath();

// Writes every answer slot as the game holds it (the single view's field
// copied into its slot first); false when the file could not be written.
// Nothing is written for a quiz without answer slots, so an undecodable quiz
// never wipes a player's file.
bool saveProgress();

// The progress file's bytes, read once at start; none when it cannot be read.
std::vector<std::uint8_t> readProgressBytes();

// A save the player asked for (F2, "Sauver"): a failure is said in a box.
void saveProgressAndReport();

// Closing the window: true when the answers were saved, or when the player,
// told they could not be, chose to quit all the same.
bool saveBeforeClosing(HWND owner);
