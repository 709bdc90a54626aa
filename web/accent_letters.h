#pragma once
// The letters a pupil must type that a keyboard may not offer: those of the
// quiz's expected answers outside a to z (in either case), so that the page
// offers keys for exactly them, in the case the answers use.

#include <string>

struct QuizRecord;

// Code page 1252 bytes, each once, in increasing order; empty when every
// expected answer is plain a to z.
std::string accentLetters(const QuizRecord& record);
