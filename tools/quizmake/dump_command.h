#pragma once
// quizmake dump: a quiz executable read back, its quiz printed as JSON and
// its pictures written out.

#include <string>

// `pictureFolder` empty: the pictures are not written.
int runDump(const std::string& executablePath, const std::string& pictureFolder);
