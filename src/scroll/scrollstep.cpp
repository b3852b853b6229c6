// SPDX-License-Identifier: MIT
#include "scroll/scrollstep.h"

#include "scroll/rotation.h"
#include "scroll/scrollintervals.h"
#include "window/windowaccess.h"

void runScrollStep(WindowAccess &window)
{
    // The combinations are tested level by level, left before right; the first that
    // matches acts, so exactly one rotation happens per tick.
    for (int level = 1; level <= kSpeedLevelCount; ++level) {
        if (!window.isSpeedSelected(level))
            continue;
        for (const Direction direction : {Direction::Left, Direction::Right}) {
            if (!window.isDirectionSelected(direction))
                continue;
            window.setScrollInterval(*ScrollIntervals::interval(level, direction));
            const QString text = window.text();
            const std::optional<QString> rotated =
                direction == Direction::Left ? Rotation::left(text) : Rotation::right(text);
            if (rotated)
                window.setText(*rotated);
            return;
        }
    }
}

void runCaptionStep(WindowAccess &window)
{
    if (const std::optional<QString> rotated = Rotation::left(window.caption()))
        window.setCaption(*rotated);
}
