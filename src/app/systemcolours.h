// SPDX-License-Identifier: MIT
#pragma once

#include "window/colourvalue.h"

#include <QColor>
#include <QPalette>

// Turns a stored colour value into a colour to paint with: red-green-blue values as
// they are, system colours as the nearest role of the desktop's palette.
namespace SystemColours {

[[nodiscard]] QColor resolve(ColourValue value, const QPalette &palette);

} // namespace SystemColours
