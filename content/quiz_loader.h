#pragma once
// Fills the quiz record from the bytes of the two encoded resources. The
// Windows layer finds the resources and shows the messages; this part decides.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "content/quiz_record.h"

struct LoaderMessage {
    std::string_view text;
    std::string_view caption;
    friend bool operator==(const LoaderMessage&, const LoaderMessage&) = default;
};

inline constexpr LoaderMessage DefinitionUndecodable{"Erreur dans le d\xE9" "cryptage des reponses", "Zorbel"};
inline constexpr LoaderMessage CodesUndecodable{"Erreur dans le d\xE9" "cryptage des codes", "Zorbel"};
inline constexpr LoaderMessage MemoryUnavailable{"Impossible d'allouer la memoire", "information"};

// The message boxes to show, in order; empty when everything loaded.
struct LoadOutcome {
    std::vector<LoaderMessage> messages;
};

// `definition`: the bytes of the definition resource, empty when it is absent
// (the built-in defaults are used). `codes`: the bytes of the codes resource,
// empty when it is absent (it then fails to decode, as any empty stream);
// nullopt leaves the code lines unread.
LoadOutcome loadQuizContent(QuizRecord& record, std::span<const std::uint8_t> definition,
                            std::optional<std::span<const std::uint8_t>> codes);
