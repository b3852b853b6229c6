// SPDX-License-Identifier: MIT
#include "plainwindow.h"

PlainWindow::PlainWindow()
    : m_caption(InitialState::caption()), m_startCaption(QString::fromLatin1(InitialState::kStartCaption)),
      m_interval(InitialState::kScrollInterval)
{
    m_speeds[InitialState::kSpeedLevel - 1] = true;
}

void PlainWindow::setSpeedButtonChecked(int level, bool checked)
{
    if (checked)
        m_speeds.fill(false);
    m_speeds[level - 1] = checked;
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
