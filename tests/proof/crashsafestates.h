// SPDX-License-Identifier: MIT
#pragma once

#include "window/colourvalue.h"
#include "window/windowaccess.h"

#include <QString>
#include <QStringList>

#include <array>

// The two states that the save helper writes in turn. What each file holds for either is
// taken from helpers that write one or two rounds and end; the files' layout is the
// settings and transfer tests'.
namespace CrashSafe {

struct State
{
    QString text;
    ColourValue foreColour;
    ColourValue backColour;
    int speedLevel;
    Direction direction;
    QStringList font; // the five font fields, as the font command records them
};

// Long texts of different lengths, so that a cut file shows, and a write takes long
// enough for kills to land inside it.
inline QString repeated(const QString &pattern, int length)
{
    QString text;
    while (text.size() < length)
        text += pattern;
    text.truncate(length);
    return text;
}

inline const std::array<State, 2> &states()
{
    static const std::array<State, 2> kStates{{
        {repeated(QStringLiteral("Alpha, the first text; "), 65535),
         255,
         0,
         3,
         Direction::Left,
         {QStringLiteral("Arial"), QStringLiteral("24"), QStringLiteral("True"), QStringLiteral("False"),
          QStringLiteral("False")}},
        {repeated(QStringLiteral("Beta\r\nthe second "), 40000),
         -2147483640,
         -2147483643,
         12,
         Direction::Right,
         {QStringLiteral("Liberation Serif"), QStringLiteral("10.5"), QStringLiteral("False"),
          QStringLiteral("True"), QStringLiteral("True")}},
    }};
    return kStates;
}

inline const QStringList kSettingsNames{QStringLiteral("text"), QStringLiteral("color"),
                                        QStringLiteral("speed"), QStringLiteral("dirct"),
                                        QStringLiteral("font")};

inline const QString kExportName = QStringLiteral("export.txt");
inline const QString kHtmlName = QStringLiteral("page.htm");

} // namespace CrashSafe
