// SPDX-License-Identifier: MIT
#pragma once

#include "scroll/marqueecontrol.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>

#include <optional>

// The marquee's remote control on the session bus: the interface org.example.Tickora at
// /org/example/Tickora, under the bus name of the same id. Its properties follow the
// marquee control's changed() with PropertiesChanged signals for the ones that changed.
class RemoteControl final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.example.Tickora")
    Q_PROPERTY(QString Text READ text)
    Q_PROPERTY(bool Running READ isRunning)
    Q_PROPERTY(int Speed READ speed)
    Q_PROPERTY(QString Direction READ direction)

public:
    static constexpr QLatin1StringView kServiceName{"org.example.Tickora"};
    static constexpr QLatin1StringView kObjectPath{"/org/example/Tickora"};
    static constexpr QLatin1StringView kInterface{"org.example.Tickora"};

    explicit RemoteControl(MarqueeControl &control, QObject *parent = nullptr);
    ~RemoteControl() override;

    // Puts the object on the bus and takes the name; otherwise returns why not, in a line
    // for standard error. A name that another instance holds stays with it.
    [[nodiscard]] std::optional<QString> registerOn(const QDBusConnection &bus,
                                                    const QString &serviceName = kServiceName);

    [[nodiscard]] QString text() const { return m_control.state().text; }
    [[nodiscard]] bool isRunning() const { return m_control.state().running; }
    [[nodiscard]] int speed() const { return m_control.state().speed; }
    [[nodiscard]] QString direction() const { return m_control.state().direction; }

    // The methods of the interface, under the names it gives them.
public Q_SLOTS:
    Q_SCRIPTABLE void SetText(const QString &text);
    Q_SCRIPTABLE void Start();
    Q_SCRIPTABLE void Stop();
    Q_SCRIPTABLE void SetSpeed(int level);
    Q_SCRIPTABLE void SetDirection(const QString &direction);
    Q_SCRIPTABLE void SetPresentation(bool on);

Q_SIGNALS:
    // SetPresentation: the presentation view is the window's business.
    void presentationRequested(bool on);

private:
    void refuse(const std::optional<QString> &failure);
    void publishChanges();

    MarqueeControl &m_control;
    std::optional<QDBusConnection> m_bus;
    QString m_serviceName;
    MarqueeState m_published;
};
