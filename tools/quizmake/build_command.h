#pragma once
// quizmake build: a quiz executable made from a copy of the player, with the
// quiz's definition, code lines and pictures written into its resources.

#include <string>
#include <vector>

#include "tools/quizmake/pe_resources.h"

// New resources take the language that the resource compiler gives the
// player's own (English, United States), so a built quiz looks like a linked one.
inline constexpr std::uint16_t QuizResourceLanguage = 0x0409;
inline constexpr std::uint16_t DefinitionResourceId = 104;
inline constexpr std::uint16_t CodesResourceId = 105;
inline constexpr std::uint16_t FirstPictureResourceId = 401;

struct QuizWarning {
    std::string subject;  // the file it is about
    std::string message;
};

struct QuizResources {
    std::vector<Resource> resources;
    std::vector<QuizWarning> warnings;  // printed; they do not stop the build
    std::string subject;  // the file that an error is about
    std::string error;    // empty on success
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// PATCH 104 and 105 encoded as the player decodes them, and each question's
// picture as IMG (JPEG) or RT_RCDATA (PNG) 401 + its index.
QuizResources quizResources(const std::string& sourcePath);

// `playerPath` empty: zorbel.exe beside the program at `programPath`.
int runBuild(const std::string& sourcePath, const std::string& outputPath, const std::string& playerPath,
             const std::string& programPath);
