#include "shell/window_layout.h"

#include "resources/contract_ids.h"

MainWindowLayout mainWindowLayout(Size client, int statusTextWidth) {
    const int w = client.width;
    const int h = client.height;
    const Rect questionPanel{5, 50, w - 11, h - 68};
    const int statusWidth = statusTextWidth > 140 ? statusTextWidth : 140;
    return {questionPanel, Rect{5, 2, w - 11, 49}, questionPanel, Rect{w - 5 - statusWidth, h - 16, statusWidth, 15}};
}

Rect centredOn(const Rect& desktop, Size window) {
    return {desktop.x + (desktop.width - window.width) / 2, desktop.y + (desktop.height - window.height) / 2,
            window.width, window.height};
}

std::array<HeaderMove, 6> headerMoves(int r) {
    using namespace controlid;
    return {{
        {HomePageLink, {r - 134, 0, 115, 18}, false},
        {ByLabel, {r - 134, 25, 26, 18}, false},
        {CreatorLabel, {r - 107, 25, 105, 18}, true},
        {SaveButton, {r - 204, 25, 55, 18}, true},
        {ExplanationLabel, {110, 19, r - 384, 28}, true},
        {RuleRight, {r - 145, 0, 1, 50}, true},
    }};
}
