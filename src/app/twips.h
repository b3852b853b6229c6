// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

// The window's layout is given in twips: 1/1440 inch, so 15 twips make one logical
// pixel. Qt scales logical pixels to the screen's device pixel ratio.
namespace Twips {

inline constexpr int kPerPixel = 15;

[[nodiscard]] constexpr int toPixels(int twips)
{
    return (twips * 2 + kPerPixel) / (2 * kPerPixel);
}

[[nodiscard]] constexpr QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace Twips
