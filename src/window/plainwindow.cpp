#include "window/plainwindow.h"

#include "window/initialstate.h"

PlainWindow::PlainWindow()
    : m_caption(InitialState::caption()), m_maxTextLength(InitialState::kMaxTextLength),
      m_foreColour(InitialState::kForeColour), m_backColour(InitialState::kBackColour),
      m_font(InitialState::font()), m_startCaption(QString::fromLatin1(InitialState::kStartCaption)),
      m_interval(InitialState::kScrollInterval)
{
    m_speeds[InitialState::kSpeedLevel - 1] = true;
}

bool PlainWindow::setForeColour(ColourValue colour)
{
    if (!Colours::isColour(colour))
        return false;
    m_foreColour = colour;
    return true;
}

bool PlainWindow::setBackColour(ColourValue colour)
{
    if (!Colours::isColour(colour))
        return false;
    m_backColour = colour;
    return true;
}

bool PlainWindow::setFontName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return false;
    m_font.name = name;
    return true;
}

bool PlainWindow::setFontSize(double points)
{
    if (!FontLimits::isAcceptableSize(points))
        return false;
    m_font.size = points;
    return true;
}

bool PlainWindow::isSpeedSelected(int level) const
{
    return level >= 1 && level <= kSpeedLevelCount && m_speeds[level - 1];
}

void PlainWindow::setSpeedSelected(int level, bool selected)
{
    if (level < 1 || level > kSpeedLevelCount)
        return;
    if (selected)
        m_speeds.fill(false);
    m_speeds[level - 1] = selected;
}

bool PlainWindow::isDirectionSelected(Direction direction) const
{
    return direction == Direction::Left ? m_left : m_right;
}

void PlainWindow::setDirectionSelected(Direction direction, bool selected)
{
    if (selected)
        m_left = m_right = false;
    (direction == Direction::Left ? m_left : m_right) = selected;
}

void PlainWindow::setScrollInterval(int milliseconds)
{
    m_interval = milliseconds;
    ++m_intervalWrites;
}
