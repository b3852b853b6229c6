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

bool StartStop::isRunning() const
{
    return m_window.startCaption() == QLatin1String(InitialState::kStopCaption);
}

void StartStop::replaceRunningText(const QString &text)
{
    if (!isRunning())
        return;
    m_savedText = text;
    m_window.setText(text + QLatin1Char(' '));
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
