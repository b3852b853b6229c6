// SPDX-License-Identifier: MIT
#include "scroll/startstop.h"

#include "window/initialstate.h"
#include "window/windowaccess.h"

#include <array>

namespace {

// The Speeds menu: the level each item from "01" to "12" selects. Items "02" and "11"
// select each other's levels, as they always have.
constexpr std::array<int, kSpeedLevelCount> kMenuItemLevels{1, 11, 3, 4, 5, 6, 7, 8, 9, 10, 2, 12};

} // namespace

void StartStop::toggle()
{
    const QString caption = m_window.startCaption();
    if (caption == QLatin1String(InitialState::kStartCaption)) {
        m_savedText = m_window.text();
        m_window.setTextAsTyped(m_savedText);
        m_window.setText(m_savedText + QLatin1Char(' '));
        m_window.setStartCaption(QString::fromLatin1(InitialState::kStopCaption));
        m_window.setScrollTimerEnabled(true);
    } else if (caption == QLatin1String(InitialState::kStopCaption)) {
        m_window.setText(m_savedText);
        m_window.setTextAsTyped(std::nullopt);
        m_window.setStartCaption(QString::fromLatin1(InitialState::kStartCaption));
        m_window.setScrollTimerEnabled(false);
    }
}

bool StartStop::isRunning() const
{
    return m_window.startCaption() == QLatin1String(InitialState::kStopCaption);
}

void StartStop::replaceRunningText(const QString &text)
{
    if (!isRunning())
        return;
    m_savedText = text;
    m_window.setTextAsTyped(text);
    m_window.setText(text + QLatin1Char(' '));
}

void StartStop::chooseSpeedFromMenu(int item)
{
    if (item < 1 || item > kSpeedLevelCount)
        return;
    m_window.setSpeedSelected(kMenuItemLevels[item - 1], true);
}
