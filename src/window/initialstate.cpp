// SPDX-License-Identifier: MIT
#include "window/initialstate.h"

#include <cmath>

namespace InitialState {

QString caption()
{
    return QStringLiteral("TICKORA VER 1.7") + QString(17, QLatin1Char(' ')) +
           QStringLiteral("Type in text and press Start to start...");
}

MarqueeFont font()
{
    return MarqueeFont{QStringLiteral("Arial"), 320.25, true, false, false};
}

} // namespace InitialState

bool FontLimits::isAcceptableSize(double points)
{
    return std::isfinite(points) && points >= kMinPointSize && points <= kMaxPointSize;
}
