#pragma once
// Random editing sessions checked after every step. Bytes are read as a
// sequence of edits (texts typed and pasted, questions added, moved, removed,
// pictures changed and turned, settings, undo, redo, saves and recovery
// copies); after each one the document must still hold these invariants:
// - the history is the one the steps made: undoing k steps gives back the
//   very document of k steps ago, redo the one undone, a new change ends what
//   could be redone, and text typed in one field is one step until the field
//   is left, undone or redone;
// - each question's prepared picture is its picture as given, prepared with
//   its own turns on the quiz's colour (nothing of a question left behind by
//   a move or a removal);
// - a save opened again is saved to the same bytes, keeps every text and code
//   line the quiz file holds, and a recovery copy gives back the document's
//   texts whole.
// Pictures are prepared by a stand-in whose output is a pure function of the
// file, the turns and the colour, so the checks need no codec.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

struct SequenceOutcome {
    std::size_t steps = 0;  // edits applied
    std::string failure;    // the first invariant broken, and at which step; empty when none
};

SequenceOutcome runEditingSequence(std::span<const std::uint8_t> bytes);
