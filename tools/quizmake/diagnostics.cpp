#include "tools/quizmake/diagnostics.h"

#include "tools/quizmake/platform.h"

int fail(const std::string& subject, const std::string& message, int exitCode) {
    printUtf8(Stream::Err, "quizmake: " + subject + ": " + message + "\n");
    return exitCode;
}

void warn(const std::string& subject, const std::string& message) {
    printUtf8(Stream::Err, "quizmake: " + subject + ": warning: " + message + "\n");
}
