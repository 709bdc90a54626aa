#include "tests/support/command_line.h"

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

std::string shellQuoted(std::string_view argument) {
    std::string q = "'";
    for (const char c : argument) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

Outcome runProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& scratch) {
    std::string command = shellQuoted(program);
    for (const std::string& a : arguments) command += " " + shellQuoted(a);
    const std::filesystem::path err = scratch / "stderr.txt";
    command += " 2>" + shellQuoted(err.string());
    Outcome run{-1, "", ""};
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, got);
        const int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    run.err = readFile(err);
    return run;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
