#include "tools/quizmake/diagnostics.h"

#include <cstdio>

int fail(const std::string& subject, const std::string& message, int exitCode) {
    std::fprintf(stderr, "quizmake: %s: %s\n", subject.c_str(), message.c_str());
    return exitCode;
}

void warn(const std::string& subject, const std::string& message) {
    std::fprintf(stderr, "quizmake: %s: warning: %s\n", subject.c_str(), message.c_str());
}
