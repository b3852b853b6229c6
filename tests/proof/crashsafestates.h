#pragma once

#include "window/colourvalue.h"
#include "window/windowaccess.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

// The two states that the save helper writes in turn, and the exact bytes of every file
// for each, spelt out here rather than produced by the writer under test.
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

inline QByteArray quoted(const QString &value)
{
    return '"' + value.toUtf8() + '"';
}

inline QByteArray record(const QList<QByteArray> &values)
{
    QByteArray bytes;
    for (const QByteArray &value : values)
        bytes += (bytes.isEmpty() ? "" : ",") + value;
    return bytes + "\r\n";
}

inline QByteArray flag(bool value)
{
    return value ? "\"True\"" : "\"False\"";
}

// The bytes of the settings file `name` for `state`.
inline QByteArray settingsBytes(const QString &name, const State &state)
{
    if (name == u"text")
        return record({quoted(state.text)});
    if (name == u"color")
        return record({quoted(QString::number(state.foreColour)), quoted(QString::number(state.backColour))});
    if (name == u"speed") {
        QList<QByteArray> values;
        for (int level = 1; level <= kSpeedLevelCount; ++level)
            values << flag(level == state.speedLevel);
        return record(values);
    }
    if (name == u"dirct")
        return record({flag(state.direction == Direction::Left), flag(state.direction == Direction::Right)});
    QList<QByteArray> values;
    for (const QString &value : state.font)
        values << quoted(value);
    return record(values);
}

inline const QStringList kSettingsNames{QStringLiteral("text"), QStringLiteral("color"),
                                        QStringLiteral("speed"), QStringLiteral("dirct"),
                                        QStringLiteral("font")};

inline const QString kExportName = QStringLiteral("export.txt");
inline const QString kHtmlName = QStringLiteral("page.htm");

inline QByteArray exportBytes(const State &state)
{
    return state.text.toUtf8() + "\r\n";
}

inline QByteArray htmlBytes(const State &state)
{
    return "<MARQUEE> " + state.text.toUtf8() + " </MARQUEE>\r\n";
}

} // namespace CrashSafe
