#pragma once
// What the player's header will show of the quiz's name, creator and
// explanation. They sit in plain labels of fixed size that wrap at spaces and
// cut what does not fit; the editor measures the texts in the player's own
// fonts (the measure is given) and tells the author what will be cut.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class HeaderText { QuizName, Creator, Explanation };

struct HeaderLabel {
    int width;   // pixels
    int height;
};

// The player's window is 670 pixels wide outside; `frameWidth` is what its
// frame takes of that (both sides).
HeaderLabel headerLabel(HeaderText text, int frameWidth);

// The width in pixels of a run of text (code page 1252) in the label's font.
using TextWidth = std::function<int(std::string_view)>;

// The lines a label `width` pixels wide shows of `text`, at most `lines`: the
// words that fit on each, a word wider than the label alone on its line and
// cut at the label's edge.
std::vector<std::string> shownLines(std::string_view text, int width, int lines, const TextWidth& measure);

// What shows when the label cuts `text` (its lines joined by spaces); none
// when it shows whole.
std::optional<std::string> cutText(std::string_view text, int width, int lines, const TextWidth& measure);
