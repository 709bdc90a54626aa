#include "tools/quizmake/output_file.h"

#include "common/file_access.h"

bool writeOutput(const std::string& path, std::span<const std::uint8_t> bytes) {
    return replaceFile(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}
