#pragma once
// `quizmake web`: a quiz (an executable or a source) as one HTML page.

#include <string>

int runWeb(const std::string& quizPath, const std::string& outputPath);
