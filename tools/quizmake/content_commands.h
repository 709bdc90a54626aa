#pragma once
// The commands that show what the player does with quiz content: the content
// codec both ways, the verdict on a typed answer, a definition as it loads.

#include <string>

int runEncode(const std::string& in, const std::string& out);
int runDecode(const std::string& in, const std::string& out);
int runGrade(bool overview, const std::string& expected, const std::string& typed);
// `codesPath` empty: no code lines.
int runShow(const std::string& definitionPath, const std::string& codesPath);
