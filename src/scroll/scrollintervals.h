// SPDX-License-Identifier: MIT
#pragma once

#include "window/windowaccess.h"

#include <optional>

// The speed table: the scroll timer's interval for each speed level and direction.
// Level 4 to the right runs as fast as level 10, and level 5 to the left as slowly as
// level 4 to the left.
namespace ScrollIntervals {

// Milliseconds between two steps; nothing for a level outside 1 to 12.
[[nodiscard]] std::optional<int> interval(int level, Direction direction);

} // namespace ScrollIntervals
