// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <optional>

// A colour as the settings files store it: a signed 32-bit value. 0 to 0xFFFFFF is
// red + 256 * green + 65536 * blue; 0x80000000 plus an index from 0 to 24 names one of
// the desktop's system colours. Every other value is not a colour.
using ColourValue = qint32;

namespace Colours {

inline constexpr qint64 kMaxRgb = 0xFFFFFF;
inline constexpr int kSystemColourCount = 25;
inline constexpr int kWindowBackground = 5;
inline constexpr int kWindowText = 8;

[[nodiscard]] constexpr ColourValue systemColour(int index)
{
    return static_cast<ColourValue>(static_cast<quint32>(0x80000000u) | static_cast<quint32>(index));
}

[[nodiscard]] constexpr bool isSystemColour(ColourValue value)
{
    return value < 0 && (static_cast<quint32>(value) & 0x7FFFFFFFu) < kSystemColourCount;
}

[[nodiscard]] constexpr int systemColourIndex(ColourValue value)
{
    return static_cast<int>(static_cast<quint32>(value) & 0x7FFFFFFFu);
}

[[nodiscard]] constexpr bool isColour(qint64 value)
{
    if (value >= 0)
        return value <= kMaxRgb;
    if (value < -2147483648LL)
        return false;
    return isSystemColour(static_cast<ColourValue>(value));
}

[[nodiscard]] constexpr ColourValue rgb(int red, int green, int blue)
{
    return red | (green << 8) | (blue << 16);
}

[[nodiscard]] constexpr int red(ColourValue value)
{
    return value & 0xFF;
}
[[nodiscard]] constexpr int green(ColourValue value)
{
    return (value >> 8) & 0xFF;
}
[[nodiscard]] constexpr int blue(ColourValue value)
{
    return (value >> 16) & 0xFF;
}

} // namespace Colours
