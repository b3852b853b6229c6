// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// One-character rotations of a text, a character being what characters/characters.h
// says it is: never half of what a reader sees as one, and a line break or control
// character on its own. Both rotations fail on an empty text, which the caller then
// keeps as it was.
namespace Rotation {

// The text without its first character, followed by that character.
[[nodiscard]] std::optional<QString> left(QStringView text);
// The last character of the text, followed by the text without it.
[[nodiscard]] std::optional<QString> right(QStringView text);

} // namespace Rotation
