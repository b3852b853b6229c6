// SPDX-License-Identifier: MIT
#include "scroll/scrollintervals.h"

#include <array>

namespace {

struct Intervals
{
    int left;
    int right;
};

constexpr std::array<Intervals, kSpeedLevelCount> kTable{{
    {900, 900},
    {800, 800},
    {700, 700},
    {600, 100},
    {600, 500},
    {400, 400},
    {300, 300},
    {200, 200},
    {150, 150},
    {100, 100},
    {50, 50},
    {25, 25},
}};

} // namespace

std::optional<int> ScrollIntervals::interval(int level, Direction direction)
{
    if (level < 1 || level > kSpeedLevelCount)
        return std::nullopt;
    const Intervals &row = kTable[static_cast<std::size_t>(level - 1)];
    return direction == Direction::Left ? row.left : row.right;
}
