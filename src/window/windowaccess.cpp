// SPDX-License-Identifier: MIT
#include "window/windowaccess.h"

namespace {

[[nodiscard]] bool isSpeedLevel(int level)
{
    return level >= 1 && level <= kSpeedLevelCount;
}

} // namespace

bool WindowAccess::setForeColour(ColourValue colour)
{
    if (!Colours::isColour(colour))
        return false;
    m_foreColour = colour;
    applyColours(m_foreColour, m_backColour);
    return true;
}

bool WindowAccess::setBackColour(ColourValue colour)
{
    if (!Colours::isColour(colour))
        return false;
    m_backColour = colour;
    applyColours(m_foreColour, m_backColour);
    return true;
}

bool WindowAccess::setFontName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return false;
    m_font.name = name;
    applyFont(m_font);
    return true;
}

bool WindowAccess::setFontSize(double points)
{
    if (!FontLimits::isAcceptableSize(points))
        return false;
    m_font.size = points;
    applyFont(m_font);
    return true;
}

void WindowAccess::setFontBold(bool bold)
{
    m_font.bold = bold;
    applyFont(m_font);
}

void WindowAccess::setFontItalic(bool italic)
{
    m_font.italic = italic;
    applyFont(m_font);
}

void WindowAccess::setFontUnderline(bool underline)
{
    m_font.underline = underline;
    applyFont(m_font);
}

bool WindowAccess::isSpeedSelected(int level) const
{
    return isSpeedLevel(level) && isSpeedButtonChecked(level);
}

void WindowAccess::setSpeedSelected(int level, bool selected)
{
    if (isSpeedLevel(level))
        setSpeedButtonChecked(level, selected);
}
