// SPDX-License-Identifier: MIT
#pragma once

#include "window/windowaccess.h"

#include <array>

// The main window's properties as a plain object, without any window toolkit: the
// program's logic runs against it in tests. It starts with the window's initial values
// and keeps the option groups exclusive as the real buttons do.
class PlainWindow final : public WindowAccess
{
public:
    PlainWindow() { m_speeds[InitialState::kSpeedLevel - 1] = true; }

    [[nodiscard]] QString caption() const override { return m_caption; }
    void setCaption(const QString &caption) override { m_caption = caption; }
    [[nodiscard]] QString text() const override { return m_text; }
    void setText(const QString &text) override { m_text = text.left(InitialState::kMaxTextLength); }
    [[nodiscard]] bool isDirectionSelected(Direction direction) const override
    {
        return direction == Direction::Left ? m_left : m_right;
    }
    void setDirectionSelected(Direction direction, bool selected) override
    {
        if (selected)
            m_left = m_right = false;
        (direction == Direction::Left ? m_left : m_right) = selected;
    }
    [[nodiscard]] QString startCaption() const override { return m_startCaption; }
    void setStartCaption(const QString &caption) override { m_startCaption = caption; }
    [[nodiscard]] bool isScrollTimerEnabled() const override { return m_timerEnabled; }
    void setScrollTimerEnabled(bool enabled) override { m_timerEnabled = enabled; }
    [[nodiscard]] int scrollInterval() const override { return m_interval; }
    void setScrollInterval(int milliseconds) override
    {
        m_interval = milliseconds;
        ++m_intervalWrites;
    }

    // How often the interval was set, equal values included.
    [[nodiscard]] int intervalWrites() const { return m_intervalWrites; }

private:
    void applyColours(ColourValue, ColourValue) override {}
    void applyFont(const MarqueeFont &) override {}
    [[nodiscard]] bool isSpeedButtonChecked(int level) const override { return m_speeds[level - 1]; }
    void setSpeedButtonChecked(int level, bool checked) override
    {
        if (checked)
            m_speeds.fill(false);
        m_speeds[level - 1] = checked;
    }

    QString m_caption = InitialState::caption();
    QString m_text;
    std::array<bool, kSpeedLevelCount> m_speeds{};
    bool m_left = true;
    bool m_right = false;
    QString m_startCaption = QString::fromLatin1(InitialState::kStartCaption);
    bool m_timerEnabled = false;
    int m_interval = InitialState::kScrollInterval;
    int m_intervalWrites = 0;
};
