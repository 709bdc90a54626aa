#pragma once
// The key filter that both views give their answer fields. Alike in both: the
// whole text is selected when the field gets the focus, Enter and Tab never
// reach the text, and keys act when released (or pressed with Alt): F2 saves
// the answers and F3 switches the view. Each view says what leaving a field
// and its own keys do.

#include <windows.h>

struct AnswerFieldRules {
    void (*leave)(HWND field);            // the field loses the focus
    bool (*act)(HWND field, WPARAM key);  // a key action; true when the field must not see it
    void (*wheel)(int delta);             // null: the field takes the wheel as an edit control does
};

// Replaces the field's window procedure with the filter; `rules` must live as
// long as the field.
void filterAnswerField(HWND field, const AnswerFieldRules& rules);
