#pragma once
// Running quizmake from the CLI tests as an author does: a shell command,
// its exit code, what it printed and what it said on stderr; and whole files.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs `program` with `arguments`, each quoted for the shell; stderr goes
// through a file in `scratch`.
Outcome runProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& scratch);

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view bytes);
