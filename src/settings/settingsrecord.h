// SPDX-License-Identifier: MIT
#pragma once

#include "window/windowaccess.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// The window's in-memory copy of the stored settings. Every field is text, exactly as
// it stands in its settings file; values are converted only where they are applied to
// the window. The record starts empty and keeps each field until something assigns it.
struct SettingsRecord
{
    QString text;
    QString foreColour;
    QString backColour;
    // speeds[0] is speed level 1.
    std::array<QString, kSpeedLevelCount> speeds;
    QString left;
    QString right;
    QString fontName;
    QString fontSize;
    QString fontBold;
    QString fontItalic;
    QString fontUnderline;
};

// The five settings files, in the order the restore reads them and Delete removes them.
enum class SettingsFileId { Text, Colour, Speed, Direction, Font };

inline constexpr std::array<SettingsFileId, 5> kSettingsFiles{
    SettingsFileId::Text, SettingsFileId::Colour, SettingsFileId::Speed, SettingsFileId::Direction,
    SettingsFileId::Font};

// The file's bare name, looked up in the current directory: "text", "color", "speed",
// "dirct" or "font".
[[nodiscard]] QString settingsFileName(SettingsFileId file);

// The record's fields that `file` holds, in their order there.
[[nodiscard]] QList<QString *> settingsFields(SettingsRecord &record, SettingsFileId file);
[[nodiscard]] QStringList settingsValues(const SettingsRecord &record, SettingsFileId file);
