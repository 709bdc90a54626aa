#pragma once
// What the player's header will show of the quiz's name, creator and
// explanation. They sit in plain labels of fixed size that wrap at spaces and
// cut what does not fit; both editors measure the texts with the widths of
// the player's own fonts (player_font_widths.h) and tell the author what
// will be cut.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/quiz_source.h"

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

// The frame of the player's window (both sides) the editors count with:
// Windows 10's, the widest, so that the explanation's label is not thought wider than it is.
inline constexpr int PlayerFrameWidth = 16;

// The width in pixels of a run of text (code page 1252) in the player's font for `text`.
int playerTextWidth(HeaderText text, std::string_view cp1252);

// One line for each of the quiz's header texts the player will cut, saying
// where (French, UTF-8): "Le nom sera coupé après « … »".
std::vector<std::string> headerCutNotes(const QuizSettings& quiz);
