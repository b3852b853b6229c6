// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The display field's font as the program sees it: face name, size in points and three
// style flags.
struct MarqueeFont
{
    QString name;
    double size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    friend bool operator==(const MarqueeFont &, const MarqueeFont &) = default;
};

namespace FontLimits {
// Smaller sizes draw nothing that can be seen.
inline constexpr double kMinPointSize = 1;
// A letter of this size is taller than two screens of 4K: larger ones show no more of
// the text, and their outlines, filled anew on every tick, cost more than a tick may.
inline constexpr double kMaxPointSize = 2048;

[[nodiscard]] bool isAcceptableSize(double points);
} // namespace FontLimits
