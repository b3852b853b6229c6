// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class WindowAccess;

// The Start/Stop button and the Speeds menu. Start keeps the text and appends one space
// so that a gap runs between the end of the text and its beginning; Stop puts the kept
// text back, whatever was typed, cleared or loaded while the text ran.
class StartStop
{
public:
    explicit StartStop(WindowAccess &window) : m_window(window) {}

    // The running state is the button's caption: "Start" starts, "Stop" stops.
    void toggle();
    [[nodiscard]] bool isRunning() const;
    // While running: the text that Stop brings back, the text as the user typed it.
    [[nodiscard]] const QString &typedText() const { return m_savedText; }

    // While running, `text` takes the place of the text that Stop brings back, and the
    // field shows it with the appended space, as Start does; the scrolling goes on.
    void replaceRunningText(const QString &text);

    // Item 1 to 12 of the Speeds menu selects its speed option button.
    void chooseSpeedFromMenu(int item);

private:
    WindowAccess &m_window;
    QString m_savedText;
};
