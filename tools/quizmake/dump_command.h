#pragma once
// quizmake dump: a quiz executable read back, its quiz printed as a quiz
// source (TOML) that builds it again, and its pictures written out beside it.

#include <string>
#include <vector>

#include "tools/quizmake/pe_resources.h"
#include "tools/quizmake/quiz_source.h"

// The quiz a quiz executable carries, as its source (pictures not named).
struct QuizExecutable {
    QuizSource source;
    std::vector<Resource> resources;
    std::string error;  // one line; empty when the quiz was read
    [[nodiscard]] bool ok() const { return error.empty(); }
};

QuizExecutable readQuizExecutable(const std::string& executablePath);

// `pictureFolder` empty: the pictures are not written.
int runDump(const std::string& executablePath, const std::string& pictureFolder);
