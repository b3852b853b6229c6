#include "scroll/startstop.h"

#include "window/initialstate.h"
#include "window/windowaccess.h"

void StartStop::toggle()
{
    const QString caption = m_window.startCaption();
    if (caption == QLatin1String(InitialState::kStartCaption)) {
        m_savedText = m_window.text();
        m_window.setText(m_savedText + QLatin1Char(' '));
        m_window.setStartCaption(QString::fromLatin1(InitialState::kStopCaption));
        m_window.setScrollTimerEnabled(true);
    } else if (caption == QLatin1String(InitialState::kStopCaption)) {
        m_window.setText(m_savedText);
        m_window.setStartCaption(QString::fromLatin1(InitialState::kStartCaption));
        m_window.setScrollTimerEnabled(false);
    }
}

int StartStop::speedLevelForMenuItem(int item)
{
    switch (item) {
    case 2:
        return 11;
    case 11:
        return 2;
    default:
        return item;
    }
}

void StartStop::chooseSpeedFromMenu(int item)
{
    if (item < 1 || item > kSpeedLevelCount)
        return;
    m_window.setSpeedSelected(speedLevelForMenuItem(item), true);
}
