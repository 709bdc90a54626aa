#pragma once
// The editor's own controls beyond those its tests rely on
// (resources/contract_ids.h): buttons, the colour swatch and the labels.

namespace editorid {
inline constexpr int AddPictures = 120;
inline constexpr int RemoveQuestion = 121;
inline constexpr int MoveUp = 122;
inline constexpr int MoveDown = 123;
inline constexpr int ChangePicture = 130;
inline constexpr int TurnLeft = 131;
inline constexpr int TurnRight = 132;
inline constexpr int Swatch = 311;
// Explanations beside the fields: what the player will cut, what the
// comment setting does, what the code lines are.
inline constexpr int HeaderNotes = 312;
inline constexpr int CommentModeHelp = 313;
inline constexpr int CodeLinesHelp = 314;
// The note under a text field naming the characters its text could not keep
// as entered: placed under that field while it has something to say.
inline constexpr int FieldNote = 315;
// Each field's label: its field's id + LabelOffset.
inline constexpr int LabelOffset = 1000;
}  // namespace editorid
