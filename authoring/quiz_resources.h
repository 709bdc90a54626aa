#pragma once
// A quiz source made into the resources a quiz executable carries: PATCH 104
// (the definition) and 105 (the code lines) encoded as the player decodes
// them, and each question's picture under 401 + its index.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/pe_resources.h"
#include "picture_preparation/picture_batch.h"
#include "authoring/quiz_source.h"

// New resources take the language that the resource compiler gives the
// player's own (English, United States), so a built quiz looks like a linked one.
inline constexpr std::uint16_t QuizResourceLanguage = 0x0409;

struct QuizWarning {
    std::string subject;  // the file it is about
    std::string message;
};

struct QuizResources {
    std::vector<Resource> resources;    // definition, code lines if any, then pictures in question order
    std::vector<QuizWarning> warnings;  // allowed but probably not meant; they stop nothing
    std::string subject;                // the file that an error is about
    std::string error;                  // empty on success; then there are no resources
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// The resources of `source` with its pictures in hand: `pictures` holds
// question i's at i (none: the question has no picture; missing entries count
// as none). Each picture is prepared (picture_preparation.h) on the quiz's
// background colour, on every core; `progress` hears of each one done.
// `sourceName` names the source in messages.
QuizResources quizResources(const QuizSource& source, const std::string& sourceName,
                            std::span<const std::optional<PictureInput>> pictures,
                            const PictureProgress& progress = {});

// The same with the pictures prepared already (the editor shows them as it
// goes): question i's at i, each one a success.
QuizResources quizResourcesOfPrepared(const QuizSource& source, const std::string& sourceName,
                                      std::span<const std::optional<PreparedPicture>> pictures);

// The same with the pictures read from the files the source names, relative
// to `pictureFolder`. Every picture is read before anything is made.
QuizResources quizResources(const QuizSource& source, const std::string& sourceName,
                            const std::filesystem::path& pictureFolder, const PictureProgress& progress = {});

// The same from the text of a source (TOML, UTF-8).
QuizResources quizResources(std::string_view sourceText, const std::string& sourceName,
                            const std::filesystem::path& pictureFolder, const PictureProgress& progress = {});

// The same from a source file, its pictures relative to its folder.
QuizResources quizResourcesOfFile(const std::string& sourcePath, const PictureProgress& progress = {});
