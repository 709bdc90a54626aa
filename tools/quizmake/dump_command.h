#pragma once
// quizmake dump: a quiz executable read back, its quiz printed as a quiz
// source (TOML) that builds it again, and its pictures written out beside it.

#include <string>

// `pictureFolder` empty: the pictures are not written.
int runDump(const std::string& executablePath, const std::string& pictureFolder);
