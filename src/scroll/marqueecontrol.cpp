// SPDX-License-Identifier: MIT
#include "scroll/marqueecontrol.h"

#include "scroll/startstop.h"
#include "window/initialstate.h"
#include "window/windowaccess.h"

#include <QLocale>

MarqueeControl::MarqueeControl(WindowAccess &window, StartStop &startStop, QObject *parent)
    : QObject(parent), m_window(window), m_startStop(startStop)
{
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, &MarqueeControl::changed);
}

MarqueeState MarqueeControl::state() const
{
    MarqueeState state;
    state.running = m_startStop.isRunning();
    state.text = state.running ? m_startStop.typedText() : m_window.text();
    for (int level = 1; level <= kSpeedLevelCount && state.speed == 0; ++level) {
        if (m_window.isSpeedSelected(level))
            state.speed = level;
    }
    if (m_window.isDirectionSelected(Direction::Left))
        state.direction = kLeft;
    else if (m_window.isDirectionSelected(Direction::Right))
        state.direction = kRight;
    return state;
}

std::optional<QString> MarqueeControl::setText(const QString &text)
{
    if (text.size() > InitialState::kMaxTextLength)
        return QStringLiteral("the text holds more than %1 characters, more than the display holds")
            .arg(QLocale().toString(InitialState::kMaxTextLength));
    if (m_startStop.isRunning())
        m_startStop.replaceRunningText(text);
    else
        m_window.setText(text);
    notifyChanged();
    return std::nullopt;
}

void MarqueeControl::start()
{
    if (!m_startStop.isRunning())
        m_startStop.toggle();
    notifyChanged();
}

void MarqueeControl::stop()
{
    if (m_startStop.isRunning())
        m_startStop.toggle();
    notifyChanged();
}

std::optional<QString> MarqueeControl::setSpeed(int level)
{
    if (level < 1 || level > kSpeedLevelCount)
        return QStringLiteral("the speed level is %1, not 1 to %2").arg(level).arg(kSpeedLevelCount);
    m_window.setSpeedSelected(level, true);
    notifyChanged();
    return std::nullopt;
}

std::optional<QString> MarqueeControl::setDirection(const QString &name)
{
    if (name != kLeft && name != kRight)
        return QStringLiteral("the direction is \"%1\", not \"%2\" or \"%3\"").arg(name, kLeft, kRight);
    m_window.setDirectionSelected(name == kLeft ? Direction::Left : Direction::Right, true);
    notifyChanged();
    return std::nullopt;
}

void MarqueeControl::notifyChanged()
{
    m_pending.start();
}
