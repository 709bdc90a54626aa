#pragma once
// `quizmake web`: a quiz (an executable or a source) as one HTML page, or
// with --scorm as a SCORM 1.2 package holding that page, for a learning platform.

#include <optional>
#include <string>

// passMark: with --scorm, the percentage from which the attempt is passed.
int runWeb(const std::string& quizPath, const std::string& outputPath, bool scorm, std::optional<int> passMark);
