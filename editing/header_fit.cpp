#include "editing/header_fit.h"

#include <algorithm>
#include <utility>

#include "authoring/cp1252.h"
#include "editing/player_font_widths.h"

namespace {

constexpr int PlayerWindowWidth = 670;
// The header panel: 5 pixels in from the window's client edges and 6 short of
// the right, inside a one-pixel border.
constexpr int PanelInset = 11 + 2;

std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', at);
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(text.find(' ', start), text.size());
        words.push_back(text.substr(start, end - start));
        at = end;
    }
    return words;
}

// The longest start of `word` that fits `width`.
std::string_view fittingStart(std::string_view word, int width, const TextWidth& measure) {
    std::size_t length = word.size();
    while (length > 0 && measure(word.substr(0, length)) > width) --length;
    return word.substr(0, length);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        if (!out.empty()) out += ' ';
        out += line;
    }
    return out;
}

// A line break starts a new line, as in the player's label.
std::vector<std::string_view> paragraphsOf(std::string_view text) {
    std::vector<std::string_view> paragraphs;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', start)) {
        std::string_view paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
        paragraphs.push_back(paragraph);
        start = end + 1;
    }
    paragraphs.push_back(text.substr(start));
    return paragraphs;
}

void wrapParagraph(std::string_view text, int width, int lines, const TextWidth& measure,
                   std::vector<std::string>& shown) {
    std::string line;
    for (const std::string_view word : wordsOf(text)) {
        if (static_cast<int>(shown.size()) == lines) break;
        std::string longer = line;
        if (!longer.empty()) longer += ' ';
        longer += word;
        if (measure(longer) <= width) {
            line = longer;
            continue;
        }
        if (!line.empty()) shown.push_back(std::exchange(line, {}));
        if (static_cast<int>(shown.size()) == lines) break;
        if (measure(word) <= width) line = word;
        else shown.emplace_back(fittingStart(word, width, measure));
    }
    if (!line.empty() && static_cast<int>(shown.size()) < lines) shown.push_back(line);
}

}  // namespace

HeaderLabel headerLabel(HeaderText text, int frameWidth) {
    const int panel = PlayerWindowWidth - frameWidth - PanelInset;
    switch (text) {
        case HeaderText::QuizName: return {260, 18};
        case HeaderText::Creator: return {105, 18};
        case HeaderText::Explanation: return {std::max(panel - 384, 0), 28};
    }
    return {0, 0};
}

std::vector<std::string> shownLines(std::string_view text, int width, int lines, const TextWidth& measure) {
    std::vector<std::string> shown;
    for (const std::string_view paragraph : paragraphsOf(text)) {
        if (static_cast<int>(shown.size()) == lines) break;
        wrapParagraph(paragraph, width, lines, measure, shown);
    }
    return shown;
}

std::optional<std::string> cutText(std::string_view text, int width, int lines, const TextWidth& measure) {
    std::string whole;
    for (const std::string_view paragraph : paragraphsOf(text)) {
        for (const std::string_view word : wordsOf(paragraph)) {
            if (!whole.empty()) whole += ' ';
            whole += word;
        }
    }
    std::string shown = joined(shownLines(text, width, lines, measure));
    if (shown == whole) return std::nullopt;
    return shown;
}

int playerTextWidth(HeaderText text, std::string_view cp1252) {
    const auto& widths = text == HeaderText::QuizName ? TitleFontWidths : GuiFontWidths;
    int width = 0;
    for (const char c : cp1252) {
        const auto byte = static_cast<unsigned char>(c);
        width += byte >= 0x20 ? widths[byte - 0x20u] : 0;
    }
    return width;
}

namespace {

// The end of what shows, a few words: enough to find the place, short enough for one line.
std::string lastWords(const std::string& shown) {
    constexpr std::size_t Most = 24;
    std::size_t start = shown.size() > Most ? shown.size() - Most : 0;
    if (start > 0) {
        const std::size_t space = shown.find(' ', start);
        start = space == std::string::npos ? start : space + 1;
    }
    return (start > 0 ? "…" : "") + cp1252ToUtf8(std::string_view(shown).substr(start));
}

std::string cutNote(HeaderText which, const std::string& text, const char* what) {
    const HeaderLabel label = headerLabel(which, PlayerFrameWidth);
    const int lines = std::max(1, label.height / (which == HeaderText::QuizName ? TitleFontHeight : GuiFontHeight));
    const TextWidth measure = [which](std::string_view run) { return playerTextWidth(which, run); };
    const std::optional<std::string> shown = cutText(text, label.width, lines, measure);
    if (!shown) return {};
    return std::string(what) + " après « " + lastWords(*shown) + " »";
}

}  // namespace

std::vector<std::string> headerCutNotes(const QuizSettings& quiz) {
    std::vector<std::string> notes;
    for (std::string note : {cutNote(HeaderText::QuizName, quiz.quizName, "Le nom sera coupé"),
                             cutNote(HeaderText::Creator, quiz.creatorName, "L'auteur sera coupé"),
                             cutNote(HeaderText::Explanation, quiz.explanation, "L'explication sera coupée")}) {
        if (!note.empty()) notes.push_back(std::move(note));
    }
    return notes;
}
