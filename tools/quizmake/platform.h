#pragma once
// What differs between quizmake on Linux and quizmake.exe on Windows: how
// the arguments arrive, the console, and the player a build writes into when
// none is given.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The command line in UTF-8, the program's own name first.
std::vector<std::string> utf8Arguments(int argc, char** argv);

enum class Stream { Out, Err };

// Everything quizmake prints goes through here, as UTF-8. A file or a pipe gets
// these bytes unchanged; a Windows console gets the characters, whatever its
// code page.
void printUtf8(Stream stream, std::string_view text);

// The player to write a quiz into when `--player` is not given: the one
// quizmake.exe carries, or zorbel.exe beside quizmake. `name` says which, for
// messages; `bytes` is none when it cannot be read.
struct DefaultPlayer {
    std::string name;
    std::optional<std::vector<std::uint8_t>> bytes;
};
DefaultPlayer defaultPlayer(const std::string& programPath);
