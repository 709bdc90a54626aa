#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "tools/quizmake/platform.h"

namespace {

std::string utf8(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::wstring utf16(std::string_view text) {
    const int size = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), units);
    return out;
}

// WriteConsoleW may write less than asked, and older consoles refuse a long
// write: pieces, never splitting a surrogate pair.
void writeConsole(HANDLE console, std::wstring_view text) {
    constexpr std::size_t Piece = 8192;
    while (!text.empty()) {
        std::size_t size = text.size() < Piece ? text.size() : Piece;
        if (size < text.size() && IS_HIGH_SURROGATE(text[size - 1])) --size;
        DWORD written = 0;
        if (!WriteConsoleW(console, text.data(), static_cast<DWORD>(size), &written, nullptr) || written == 0) return;
        text.remove_prefix(written);
    }
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

// A console shows bytes in its own code page (Ã© for é); given UTF-16 it shows
// the characters. GetConsoleMode fails on a file or pipe, which keep UTF-8.
void printUtf8(Stream stream, std::string_view text) {
    std::FILE* file = stream == Stream::Out ? stdout : stderr;
    const HANDLE handle = GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
        std::fwrite(text.data(), 1, text.size(), file);
        return;
    }
    std::fflush(file);
    writeConsole(handle, utf16(text));
}

DefaultPlayer defaultPlayer(const std::string&) {
    DefaultPlayer player{"the player inside quizmake.exe", std::nullopt};
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), L"ZORBELPLAYER");
    HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    const auto* bytes = static_cast<const std::uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (bytes != nullptr) player.bytes = std::vector<std::uint8_t>(bytes, bytes + SizeofResource(nullptr, found));
    return player;
}
