// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class StartStop;
class WindowAccess;

// What another program sees of the marquee: the text as typed (while running, the text
// that Stop brings back), the running state, the speed level (0 when none is selected)
// and the direction ("left", "right", or empty when none is selected).
struct MarqueeState
{
    QString text;
    bool running = false;
    int speed = 0;
    QString direction;

    friend bool operator==(const MarqueeState &, const MarqueeState &) = default;
};

// The marquee's commands for the remote control and the followed file. They act through
// the window access and the Start/Stop command that the buttons use; a refused argument
// comes back as the reason and changes nothing.
class MarqueeControl final : public QObject
{
    Q_OBJECT

public:
    MarqueeControl(WindowAccess &window, StartStop &startStop, QObject *parent = nullptr);

    static constexpr QLatin1StringView kLeft{"left"};
    static constexpr QLatin1StringView kRight{"right"};

    [[nodiscard]] MarqueeState state() const;

    // While stopped the text becomes the field's text; while running it becomes the text
    // that Stop brings back, and the scrolling goes on with it.
    [[nodiscard]] std::optional<QString> setText(const QString &text);
    // As the Start/Stop button, but only when stopped, or only when running.
    void start();
    void stop();
    // Selects the speed option button itself, not a Speeds menu item.
    [[nodiscard]] std::optional<QString> setSpeed(int level);
    [[nodiscard]] std::optional<QString> setDirection(const QString &name);

    // To be called after anything may have changed the state: the commands above call it,
    // the window calls it for the user's own changes. One changed() follows once the
    // current event is handled, so that the half-done steps of a command are never seen.
    void notifyChanged();

Q_SIGNALS:
    // The state may have changed; whoever keeps an earlier state compares.
    void changed();

private:
    WindowAccess &m_window;
    StartStop &m_startStop;
    QTimer m_pending;
};
