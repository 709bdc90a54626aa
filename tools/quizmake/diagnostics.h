#pragma once
// How quizmake says what went wrong: one line on stderr naming the file (or
// argument) and what is wrong, and the exit code that goes with it.

#include <string>

inline constexpr int ExitBadInput = 1;
inline constexpr int ExitBadArguments = 2;

// "quizmake: SUBJECT: MESSAGE"; returns `exitCode` for the caller to return.
int fail(const std::string& subject, const std::string& message, int exitCode = ExitBadInput);

// "quizmake: SUBJECT: warning: MESSAGE"; the command goes on.
void warn(const std::string& subject, const std::string& message);
