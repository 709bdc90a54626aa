#pragma once
// The controls of a real dialog, as grading sees them.

#include <windows.h>

#include "grading/controls.h"

class DialogControls : public Controls {
public:
    explicit DialogControls(HWND dialog) : dialog_(dialog) {}
    Text text(int controlId) const override;
    void setText(int controlId, std::string_view text) override;
    void setVisible(int controlId, bool visible) override;

private:
    HWND dialog_;
};
