#pragma once
// The key filter that both views give their answer fields. The whole text is
// selected when the field gets the focus, Enter and Tab never reach the
// text, and the game hears of the focus coming and going and of every key
// action (released, or pressed with Alt); it decides what each one does.

#include <windows.h>

// Turns a wheel notch of an answer field into the view's own scrolling.
using WheelStep = void (*)(int delta);

// Replaces the field's window procedure with the filter; `wheel` null: the
// field takes the wheel as an edit control does.
void filterAnswerField(HWND field, WheelStep wheel);

// An answer field's text changed (EN_CHANGE reaching its panel): the game
// hears of it.
void answerFieldChanged(HWND panel, WPARAM commandWParam);
