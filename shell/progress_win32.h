#pragma once
// Saving the player's answers in the progress file.

#include <string>

// The progress file's name, from this executable's own file name, without a
// folder: the file lives in the current directory.
std::string progressFilePath();

// Writes every answer slot, from the record while the single-question view is
// active (its field copied in first) or from the overview's fields. Nothing is
// written for a quiz without answer slots, so an undecodable quiz never wipes
// a player's file.
void saveProgress();
