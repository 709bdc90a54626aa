#pragma once
// The progress file on disk: its lines read back, its answers written.

#include <string>
#include <vector>

#include "content/text.h"

// `lineCount` lines; a missing or unreadable file gives empty answers.
std::vector<Text> readProgressFile(const std::string& path, int lineCount);

// Replaces the file whole; false (and the old file kept) when that fails.
bool writeProgressFile(const std::string& path, const std::vector<Text>& answers);
