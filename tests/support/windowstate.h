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
    for (int level = 1; level <= kSpeedLevelCount; ++level) {
        if (window.isSpeedSelected(level))
            speed = level;
    }
    const MarqueeFont font = window.font();
    return {{u"text"_qs, window.text()},
            {u"fore"_qs, window.foreColour()},
            {u"back"_qs, window.backColour()},
            {u"speed"_qs, speed},
            {u"direction"_qs, window.isDirectionSelected(Direction::Right)  ? 2
                              : window.isDirectionSelected(Direction::Left) ? 1
                                                                            : 0},
            {u"fontName"_qs, font.name},
            {u"fontSize"_qs, font.size},
            {u"bold"_qs, font.bold},
            {u"italic"_qs, font.italic},
            {u"underline"_qs, font.underline}};
}

// The properties that differ, for a failure message; empty when none does. Long texts
// are cut short, with their lengths.
inline QString stateDifferences(const QVariantMap &actual, const QVariantMap &expected)
{
    QStringList out;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QString value = actual.value(it.key()).toString();
        const QString wanted = it.value().toString();
        if (value != wanted)
            out << QStringLiteral("%1 is %2 (%3 long), expected %4 (%5 long)")
                       .arg(it.key(), value.left(40))
                       .arg(value.size())
                       .arg(wanted.left(40))
                       .arg(wanted.size());
    }
    return out.join(QStringLiteral("; "));
}
