// SPDX-License-Identifier: MIT
#pragma once

#include "window/windowaccess.h"

#include <QStringList>
#include <QVariantMap>

// The window's properties that the settings store reaches, by name, so that a test can
// state the few it expects to change and compare the whole.
inline QVariantMap stateOf(const WindowAccess &window)
{
    int speed = 0; // 0 for none
    for (int level = 1; level <= kSpeedLevelCount; ++level)
        speed = window.isSpeedSelected(level) ? level : speed;
    const MarqueeFont font = window.font();
    const int direction = window.isDirectionSelected(Direction::Right)  ? 2
                          : window.isDirectionSelected(Direction::Left) ? 1
                                                                        : 0; // 0 for none
    return {{u"text"_qs, window.text()},       {u"fore"_qs, window.foreColour()},
            {u"back"_qs, window.backColour()}, {u"speed"_qs, speed},
            {u"direction"_qs, direction},      {u"fontName"_qs, font.name},
            {u"fontSize"_qs, font.size},       {u"bold"_qs, font.bold},
            {u"italic"_qs, font.italic},       {u"underline"_qs, font.underline}};
}

// The properties that differ, for a failure message; empty when none does.
inline QString stateDifferences(const QVariantMap &actual, const QVariantMap &expected)
{
    QStringList out;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (actual.value(it.key()).toString() != it.value().toString())
            out << it.key() + u" is "_qs + actual.value(it.key()).toString().left(40);
    }
    return out.join(u"; "_qs);
}
