#pragma once
// Where the main window goes and where its children sit inside it.

#include <array>

#include "common/geometry.h"

inline constexpr Size MainWindowSize{670, 690};

struct MainWindowLayout {
    Rect singleQuestionPanel;
    Rect headerPanel;
    Rect overviewPanel;
    Rect statusLabel;
};

// For the main window's client size; the two question panels share one place.
// The status label keeps its right edge and grows to the left when its text
// (statusTextWidth pixels) needs more than its 140 pixels.
MainWindowLayout mainWindowLayout(Size client, int statusTextWidth = 0);

// Top-left corner that centres `window` (outer size) on `desktop`.
Rect centredOn(const Rect& desktop, Size window);

// The header panel's controls that follow its right edge.
struct HeaderMove {
    int controlId;
    Rect place;
    bool repaint;
};
std::array<HeaderMove, 6> headerMoves(int panelClientWidth);
