#include <windows.h>
#include <shellapi.h>

#include "tools/quizmake/platform.h"

namespace {

std::string utf8(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace

// The C runtime's argv holds the ANSI code page, which cannot name every file:
// the arguments are taken again from the UTF-16 command line.
std::vector<std::string> utf8Arguments(int, char**) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(utf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

void prepareConsole() { SetConsoleOutputCP(CP_UTF8); }

DefaultPlayer defaultPlayer(const std::string&) {
    DefaultPlayer player{"the player inside quizmake.exe", std::nullopt};
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), L"ZORBELPLAYER");
    HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    const auto* bytes = static_cast<const std::uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (bytes != nullptr) player.bytes = std::vector<std::uint8_t>(bytes, bytes + SizeofResource(nullptr, found));
    return player;
}
