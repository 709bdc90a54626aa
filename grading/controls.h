#pragma once
// The little that grading needs of a window: a control's text, setting it, and
// showing or hiding it. The panels implement it with real controls; a control
// that does not exist reads as empty and ignores writes.

#include <string_view>

#include "content/text.h"

class Controls {
public:
    virtual ~Controls() = default;
    virtual Text text(int controlId) const = 0;  // at most 259 characters
    virtual void setText(int controlId, std::string_view text) = 0;
    virtual void setVisible(int controlId, bool visible) = 0;
};
