// SPDX-License-Identifier: MIT
#pragma once

#include <QStringView>

// What one character of the text is, for the rotations, the caret and the length cap
// alike: what a reader sees as one (a letter with its accents, an emoji sequence, a flag,
// a character outside the Basic Multilingual Plane), except that line breaks and other
// control characters count one each, a carriage return before a line feed included.
//
// Positions are in UTF-16 units. Whether a character starts at a place depends only on
// the code point there and the character before it, so every answer agrees with a walk
// from the start, and a step costs the length of the characters it passes.
namespace Characters {

enum class Towards { Start, End };

// The position itself, or one unit towards the start or the end when it falls between
// the two halves of a surrogate pair.
[[nodiscard]] qsizetype outsidePair(QStringView text, qsizetype position, Towards towards);

// The end of the run of combining marks (with zero-width joiners and non-joiners) that starts at `position`:
// the position itself when there is none. A table lookup a unit, for the piles of thousands of accents.
[[nodiscard]] qsizetype endOfMarks(QStringView text, qsizetype position);

// The code point that starts at `position`; a lone surrogate stands for itself.
[[nodiscard]] char32_t codePointAt(QStringView text, qsizetype position);

// The caret position one character after or before `position`, itself a caret position.
[[nodiscard]] qsizetype next(QStringView text, qsizetype position);
[[nodiscard]] qsizetype previous(QStringView text, qsizetype position);

// The start of the character that holds the unit at `position`.
[[nodiscard]] qsizetype startAtOrBefore(QStringView text, qsizetype position);

// How much of `text` fits in `room` units without cutting a character in two.
[[nodiscard]] qsizetype fittingLength(QStringView text, qsizetype room);

} // namespace Characters
