#pragma once
// `quizmake web`: a quiz (an executable or a source) as one HTML page, or
// with --scorm as a SCORM 1.2 package holding that page, for a learning platform.

#include <string>

int runWeb(const std::string& quizPath, const std::string& outputPath, bool scorm);
