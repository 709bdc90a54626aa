#include "tools/quizmake/platform.h"

#include <cstdio>
#include <filesystem>

#include "common/file_access.h"
#include "common/utf8_path.h"

std::vector<std::string> utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

void printUtf8(Stream stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream == Stream::Out ? stdout : stderr);
}

DefaultPlayer defaultPlayer(const std::string& programPath) {
    namespace fs = std::filesystem;
    std::error_code error;
    // argv[0] may be a bare name found on the PATH; the system knows better where we run from.
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) self = fs::absolute(pathFromUtf8(programPath), error);
    const std::string player = utf8Of(self.parent_path() / "zorbel.exe");
    return {player, readWholeFile(player)};
}
