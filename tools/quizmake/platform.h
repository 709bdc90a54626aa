#pragma once
// What differs between quizmake on Linux and quizmake.exe on Windows: how
// the arguments arrive, the console, and the player a build writes into when
// none is given.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The command line in UTF-8, the program's own name first.
std::vector<std::string> utf8Arguments(int argc, char** argv);

// Makes the console show the UTF-8 that quizmake prints.
void prepareConsole();

// The player to write a quiz into when `--player` is not given: the one
// quizmake.exe carries, or zorbel.exe beside quizmake. `name` says which, for
// messages; `bytes` is none when it cannot be read.
struct DefaultPlayer {
    std::string name;
    std::optional<std::vector<std::uint8_t>> bytes;
};
DefaultPlayer defaultPlayer(const std::string& programPath);
