#include "content/quiz_loader.h"

#include "content/content_codec.h"
#include "content/definition_parser.h"

namespace {

// Decodes one resource; on failure records the messages the player shows.
bool decodeResource(std::span<const std::uint8_t> bytes, const LoaderMessage& failure,
                    LoadOutcome& outcome, CodecOutput& decoded) {
    decoded = decodeContent(bytes);
    if (!decoded.buffer) outcome.messages.push_back(MemoryUnavailable);
    if (decoded.result == CodecOk) return true;
    outcome.messages.push_back(failure);
    return false;
}

}  // namespace

LoadOutcome loadQuizContent(QuizRecord& record, std::span<const std::uint8_t> definition,
                            std::optional<std::span<const std::uint8_t>> codes) {
    LoadOutcome outcome;
    record.versionText.assign(VersionText);
    if (definition.empty()) {
        fillDefaults(record);
        return outcome;
    }

    CodecOutput decoded;
    if (!decodeResource(definition, DefinitionUndecodable, outcome, decoded)) {
        record.questionCount = 0;
        return outcome;
    }
    parseDefinition(record, decoded.bytes());

    if (!codes) return outcome;
    if (decodeResource(*codes, CodesUndecodable, outcome, decoded)) parseCodes(record, decoded.bytes());
    return outcome;
}
