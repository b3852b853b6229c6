#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// One-character rotations of a text. A character is what a reader sees as one: a letter
// with its combining accents, an emoji with its modifiers and joiners, a flag, or a
// character outside the Basic Multilingual Plane is never split. Line breaks and other
// control characters count one each, a carriage return before a line feed included.
// Both rotations fail on an empty text, which the caller then keeps as it was.
namespace Rotation {

// The text without its first character, followed by that character.
[[nodiscard]] std::optional<QString> left(QStringView text);
// The last character of the text, followed by the text without it.
[[nodiscard]] std::optional<QString> right(QStringView text);

// Length in UTF-16 units of the first and of the last character of a non-empty text.
[[nodiscard]] qsizetype firstCharacterLength(QStringView text);
[[nodiscard]] qsizetype lastCharacterLength(QStringView text);

} // namespace Rotation
