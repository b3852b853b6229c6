// SPDX-License-Identifier: MIT
#include "remote/remotecontrol.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QVariantMap>

RemoteControl::RemoteControl(MarqueeControl &control, QObject *parent) : QObject(parent), m_control(control)
{
}

RemoteControl::~RemoteControl()
{
    // The connection forgets the object by itself, but keeps the name until told.
    if (m_bus)
        m_bus->unregisterService(m_serviceName);
}

std::optional<QString> RemoteControl::registerOn(const QDBusConnection &bus, const QString &serviceName)
{
    if (m_bus)
        return QStringLiteral("Remote control is already on.");
    if (!bus.isConnected())
        return QStringLiteral("Remote control is off: there is no session bus (%1).")
            .arg(bus.lastError().message());
    QDBusConnection connection = bus;
    if (!connection.registerObject(kObjectPath, this,
                                   QDBusConnection::ExportScriptableSlots |
                                       QDBusConnection::ExportScriptableProperties))
        return QStringLiteral("Remote control is off: the object path %1 is taken.").arg(kObjectPath);
    if (!connection.registerService(serviceName)) {
        connection.unregisterObject(kObjectPath);
        return QStringLiteral("Remote control stays with the first Tickora: the name %1 is taken on the "
                              "session bus.")
            .arg(serviceName);
    }
    m_bus = connection;
    m_serviceName = serviceName;
    m_published = m_control.state();
    connect(&m_control, &MarqueeControl::changed, this, &RemoteControl::publishChanges);
    return std::nullopt;
}

void RemoteControl::SetText(const QString &text)
{
    refuse(m_control.setText(text));
}

void RemoteControl::Start()
{
    m_control.start();
}

void RemoteControl::Stop()
{
    m_control.stop();
}

void RemoteControl::SetSpeed(int level)
{
    refuse(m_control.setSpeed(level));
}

void RemoteControl::SetDirection(const QString &direction)
{
    refuse(m_control.setDirection(direction));
}

void RemoteControl::SetPresentation(bool on)
{
    Q_EMIT presentationRequested(on);
}

void RemoteControl::refuse(const std::optional<QString> &failure)
{
    if (failure && calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, *failure);
}

void RemoteControl::publishChanges()
{
    const MarqueeState state = m_control.state();
    QVariantMap changed;
    if (state.text != m_published.text)
        changed.insert(QStringLiteral("Text"), state.text);
    if (state.running != m_published.running)
        changed.insert(QStringLiteral("Running"), state.running);
    if (state.speed != m_published.speed)
        changed.insert(QStringLiteral("Speed"), state.speed);
    if (state.direction != m_published.direction)
        changed.insert(QStringLiteral("Direction"), state.direction);
    m_published = state;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << QString(kInterface) << changed << QStringList();
    m_bus->send(signal);
}
