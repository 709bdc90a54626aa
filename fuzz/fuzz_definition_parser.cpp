// Any bytes as a decoded quiz definition followed by code lines: parsing must
// stay inside the text and keep the record's counts within their limits.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "content/definition_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte chooses where the definition ends and the code lines begin.
    if (size == 0) return 0;
    const std::size_t split = size == 1 ? 1 : 1 + data[0] % (size - 1);
    const std::span<const std::uint8_t> bytes(data, size);
    QuizRecord record;
    initialiseRecord(record);
    parseDefinition(record, bytes.subspan(1, split - 1));
    parseCodes(record, bytes.subspan(split));
    if (record.questionCount < 0 || record.questionCount * record.answersPerQuestion > MaxAnswerSlots) std::abort();
    if (record.questions.size() != record.questionCount) std::abort();
    for (const QuestionEntry* q = record.questions.head; q != nullptr; q = q->next) {
        if (q->answer.size() > MaxTextLength || q->comment.size() > MaxTextLength) std::abort();
    }
    return 0;
}
