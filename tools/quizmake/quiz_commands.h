#pragma once
// The commands on whole quizzes: a quiz executable built from a source, read
// back as a source with its pictures, and its answers graded in advance.

#include <string>

// `playerPath` empty: zorbel.exe beside the program at `programPath`.
int runBuild(const std::string& sourcePath, const std::string& outputPath, const std::string& playerPath,
             const std::string& programPath);

// `folder` empty: the source is printed and the pictures are not written;
// otherwise both go into `folder`, made if missing.
int runDump(const std::string& executablePath, const std::string& folder);

int runCheck(const std::string& executablePath);
