#include "shell/progress_file.h"

#include "common/file_access.h"
#include "session/progress_format.h"

std::vector<Text> readProgressFile(const std::string& path, int lineCount) {
    return parseProgressLines(readWholeFile(path).value_or(std::vector<std::uint8_t>{}), lineCount);
}

bool writeProgressFile(const std::string& path, const std::vector<Text>& answers) {
    return replaceFile(path, formatProgressLines(answers));
}
