#pragma once

#include <QStringView>

#include <utility>

// Where the caret may stand in a text, and where its words begin and end. Each answer is
// found in a small window around the position, widened only when the window cannot
// decide, so that moving through a long text costs the same at any length.
//
// A character is what the rotations move: a letter with its accents, an emoji sequence
// or a flag is one; each line-break or control character is one of its own.
namespace TextBoundaries {

// The caret position one character after or before `position` (itself a caret position).
[[nodiscard]] qsizetype nextCharacter(QStringView text, qsizetype position);
[[nodiscard]] qsizetype previousCharacter(QStringView text, qsizetype position);

// A caret position at or before `position`, which may fall inside a character.
[[nodiscard]] qsizetype characterStartAtOrBefore(QStringView text, qsizetype position);

// Where Ctrl+Right and Ctrl+Left take the caret: to the start of the next word, or of
// this or the previous one, as a one-line field does.
[[nodiscard]] qsizetype nextWord(QStringView text, qsizetype position);
[[nodiscard]] qsizetype previousWord(QStringView text, qsizetype position);

// The word a double-click at `position` selects, without the spaces after it.
[[nodiscard]] std::pair<qsizetype, qsizetype> wordAt(QStringView text, qsizetype position);

// How much of `text` fits in `room` units without cutting a character in two.
[[nodiscard]] qsizetype fittingLength(QStringView text, qsizetype room);

} // namespace TextBoundaries
