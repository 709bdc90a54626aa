#pragma once
// A quiz executable read back: the quiz it carries as a source that builds it
// again, and each question's picture as the player finds it.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "authoring/pe_resources.h"
#include "authoring/quiz_source.h"

struct QuizExecutable {
    // Each question with a picture names it by pictureFileName ("401.jpg"...).
    QuizSource source;
    std::vector<std::optional<Resource>> pictures;  // one per question; none when it has no picture
    std::vector<std::uint8_t> encodedDefinition;    // PATCH 104 as stored
    std::optional<std::vector<std::uint8_t>> encodedCodes;  // PATCH 105 as stored; none when absent
    std::string error;  // one line; empty when the quiz was read
    [[nodiscard]] bool ok() const { return error.empty(); }
};

QuizExecutable readQuizExecutable(std::span<const std::uint8_t> image);
QuizExecutable readQuizExecutable(const std::string& executablePath);
// The same from resources already read (a recovery copy's).
QuizExecutable readQuizResources(std::span<const Resource> resources);
