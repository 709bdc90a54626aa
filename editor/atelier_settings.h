#pragma once
// What the Atelier remembers for its user from one run to the next: the
// quizzes last opened or saved, and where its window was. Kept as a small
// UTF-8 text file, one setting a line ("récent=PATH", "fenêtre=X Y W H M").

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t MaxRecentFiles = 8;

struct WindowPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool maximized = false;
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

struct AtelierSettings {
    std::vector<std::string> recentFiles;  // UTF-8 paths, the latest first
    std::optional<WindowPlace> window;
    friend bool operator==(const AtelierSettings&, const AtelierSettings&) = default;
};

// Lines it does not know, or cannot read, are left out.
AtelierSettings parseSettings(std::string_view text);
std::string formatSettings(const AtelierSettings& settings);

// The file goes first, once (Windows' names ignore case), at most eight kept.
void rememberFile(AtelierSettings& settings, const std::string& path);
void forgetFile(AtelierSettings& settings, const std::string& path);
