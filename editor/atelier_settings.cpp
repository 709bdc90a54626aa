#include "editor/atelier_settings.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace {

constexpr std::string_view RecentKey = "récent=";
constexpr std::string_view WindowKey = "fenêtre=";

// Windows compares file names without regard to case; ASCII is enough to
// tell the same name typed two ways.
bool samePath(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::optional<WindowPlace> parseWindow(std::string_view text) {
    int numbers[5] = {};
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int& number : numbers) {
        while (at < end && *at == ' ') ++at;
        const auto [next, error] = std::from_chars(at, end, number);
        if (error != std::errc()) return std::nullopt;
        at = next;
    }
    if (at != end || numbers[2] <= 0 || numbers[3] <= 0 || (numbers[4] != 0 && numbers[4] != 1)) return std::nullopt;
    return WindowPlace{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4] == 1};
}

}  // namespace

AtelierSettings parseSettings(std::string_view text) {
    AtelierSettings settings;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        if (line.starts_with(RecentKey) && line.size() > RecentKey.size() &&
            settings.recentFiles.size() < MaxRecentFiles) {
            settings.recentFiles.emplace_back(line.substr(RecentKey.size()));
        } else if (line.starts_with(WindowKey)) {
            settings.window = parseWindow(line.substr(WindowKey.size()));
        }
    }
    return settings;
}

std::string formatSettings(const AtelierSettings& settings) {
    std::ostringstream out;
    for (const std::string& path : settings.recentFiles) out << RecentKey << path << "\r\n";
    if (const auto& w = settings.window) {
        out << WindowKey << w->x << ' ' << w->y << ' ' << w->width << ' ' << w->height << ' ' << (w->maximized ? 1 : 0)
            << "\r\n";
    }
    return out.str();
}

void rememberFile(AtelierSettings& settings, const std::string& path) {
    if (path.empty()) return;
    std::vector<std::string> files{path};
    for (const std::string& kept : settings.recentFiles) {
        if (files.size() < MaxRecentFiles && !samePath(kept, path)) files.push_back(kept);
    }
    settings.recentFiles = std::move(files);
}

void forgetFile(AtelierSettings& settings, const std::string& path) {
    std::erase_if(settings.recentFiles, [&](const std::string& kept) { return samePath(kept, path); });
}
