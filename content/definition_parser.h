#pragma once
// Parsing of the decoded quiz definition and code lines, and the built-in
// defaults used when an executable carries no quiz.

#include <cstddef>
#include <cstdint>
#include <span>

#include "content/quiz_record.h"

inline constexpr std::uint8_t FieldSeparator = '|';

// Copies the bytes from `position` up to, not including, the next separator
// (or the end of the text), at most 259 of them. Afterwards `position` indexes
// that separator (or the end); the caller steps past it.
Text readField(std::span<const std::uint8_t> text, std::size_t& position);

// Never reads past the text. A definition shorter than its own counts keeps
// the questions that were read; missing fields are empty, a missing comment
// mode or colour keeps its initial value. Of more questions than the 96 answer
// slots hold, every record is parsed and the first 96 / answersPerQuestion kept.
void parseDefinition(QuizRecord& record, std::span<const std::uint8_t> decoded);

// One CR LF line per question; missing lines stay empty.
void parseCodes(QuizRecord& record, std::span<const std::uint8_t> decoded);

void fillDefaults(QuizRecord& record);
