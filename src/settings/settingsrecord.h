#pragma once

#include "window/windowaccess.h"

#include <QString>

#include <array>

// The window's in-memory copy of the stored settings. Every field is text, exactly as
// it stands in its settings file; values are converted only where they are applied to
// the window. The record starts empty and keeps each field until something assigns it.
struct SettingsRecord
{
    QString strText;
    QString strForeColor;
    QString strBackColor;
    // strSpeed[0] is speed level 1.
    std::array<QString, kSpeedLevelCount> strSpeed;
    QString strLeft;
    QString strRight;
    QString strFontName;
    QString strFontSize;
    QString strFontBold;
    QString strFontItalic;
    QString strFontUnderline;
};
