#pragma once
// quizmake pack: the resources of a quiz source written as files into a
// folder, with a resource script (quiz.rc) that puts them into a quiz
// executable when the player is linked.

#include <string>

int runPack(const std::string& sourcePath, const std::string& folder);
