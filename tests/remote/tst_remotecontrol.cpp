// SPDX-License-Identifier: MIT
#include "plainwindow.h"
#include "remote/remotecontrol.h"
#include "scroll/marqueecontrol.h"
#include "scroll/scrollstep.h"
#include "scroll/startstop.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");

// The plain window with the marquee control and its remote control.
struct Marquee
{
    PlainWindow window;
    StartStop startStop{window};
    MarqueeControl control{window, startStop};
    RemoteControl remote{control};
};

QVariantMap properties(const QString &text, bool running, int speed, const QString &direction)
{
    return {{u"Text"_qs, text}, {u"Running"_qs, running}, {u"Speed"_qs, speed}, {u"Direction"_qs, direction}};
}

} // namespace

// Records the PropertiesChanged signals of the interface, as another program sees them.
class ChangeRecorder : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void record(const QString &interface, const QVariantMap &changed, const QStringList &)
    {
        if (interface == RemoteControl::kInterface)
            changes.append(changed);
    }

public:
    QList<QVariantMap> changes;
};

class TestRemoteControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        m_client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
        QVERIFY(m_client.isConnected());
    }

    void init()
    {
        m_marquee.reset();
        m_marquee = std::make_unique<Marquee>();
        m_marquee->window.setText(QStringLiteral("HELLO"));
        const auto failure = m_marquee->remote.registerOn(QDBusConnection::sessionBus());
        QVERIFY2(!failure, qPrintable(failure.value_or(QString())));
    }

    void methods_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QVariantMap>("after");
        QTest::addColumn<QString>("field");
        // Running rows start with one tick taken: the field shows "ELLO H".
        const auto row = [](const char *name, bool running, const char *method, const QVariantList &arguments,
                            const QString &error, const QVariantMap &after, const QString &field) {
            QTest::newRow(name) << running << QString::fromLatin1(method) << arguments << error << after
                                << field;
        };
        const QString ok;
        const QVariantMap stopped = properties("HELLO", false, 7, "left");
        const QVariantMap running = properties("HELLO", true, 7, "left");
        row("text while stopped", false, "SetText", {"news"}, ok, properties("news", false, 7, "left"),
            "news");
        row("text while running", true, "SetText", {"news"}, ok, properties("news", true, 7, "left"),
            "news ");
        row("text of the longest length", false, "SetText", {QString(65535, u'x')}, ok,
            properties(QString(65535, u'x'), false, 7, "left"), QString(65535, u'x'));
        row("text too long", false, "SetText", {QString(65536, u'x')}, kInvalidArgs, stopped, "HELLO");
        row("start", false, "Start", {}, ok, running, "HELLO ");
        row("start while running", true, "Start", {}, ok, running, "ELLO H");
        row("stop", true, "Stop", {}, ok, stopped, "HELLO");
        row("stop while stopped", false, "Stop", {}, ok, stopped, "HELLO");
        row("speed 2, not the menu's 11", false, "SetSpeed", {2}, ok, properties("HELLO", false, 2, "left"),
            "HELLO");
        row("speed 13", false, "SetSpeed", {13}, kInvalidArgs, stopped, "HELLO");
        row("speed 0", false, "SetSpeed", {0}, kInvalidArgs, stopped, "HELLO");
        row("direction right", false, "SetDirection", {"right"}, ok, properties("HELLO", false, 7, "right"),
            "HELLO");
        row("direction up", false, "SetDirection", {"up"}, kInvalidArgs, stopped, "HELLO");
        row("presentation, handed on", true, "SetPresentation", {true}, ok, running, "ELLO H");
    }

    void methods()
    {
        QFETCH(bool, running);
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, error);
        QFETCH(QVariantMap, after);
        QFETCH(QString, field);
        if (running) {
            m_marquee->startStop.toggle();
            runScrollStep(m_marquee->window);
        }
        QSignalSpy presentation(&m_marquee->remote, &RemoteControl::presentationRequested);
        const QDBusMessage reply = call(RemoteControl::kInterface, method, arguments);
        QCOMPARE(reply.errorName(), error);
        QCOMPARE(presentation,
                 method == u"SetPresentation" ? QList<QVariantList>{arguments} : QList<QVariantList>{});
        QCOMPARE(readProperties(), after);
        QCOMPARE(m_marquee->window.text(), field);
        QCOMPARE(m_marquee->window.isScrollTimerEnabled(), after.value(u"Running"_qs).toBool());
    }

    void propertiesChangedOncePerChange()
    {
        ChangeRecorder recorder;
        QVERIFY(m_client.connect(RemoteControl::kServiceName, RemoteControl::kObjectPath, kProperties,
                                 QStringLiteral("PropertiesChanged"), &recorder,
                                 SLOT(record(QString, QVariantMap, QStringList))));
        // Start changes the field's text, but not the text as typed.
        call(RemoteControl::kInterface, QStringLiteral("Start"));
        QTRY_COMPARE(recorder.changes.size(), 1);
        QCOMPARE(recorder.changes.at(0), (QVariantMap{{u"Running"_qs, true}}));

        // The user's own changes, told by the window as often as it likes.
        m_marquee->window.setSpeedSelected(7, false);
        m_marquee->control.notifyChanged();
        m_marquee->window.setDirectionSelected(Direction::Right, true);
        m_marquee->control.notifyChanged();
        runScrollStep(m_marquee->window);
        m_marquee->control.notifyChanged();
        QTRY_COMPARE(recorder.changes.size(), 2);
        QCOMPARE(recorder.changes.at(1), (QVariantMap{{u"Speed"_qs, 0}, {u"Direction"_qs, u"right"_qs}}));

        // A new text that sorts before the old one is a change too.
        call(RemoteControl::kInterface, QStringLiteral("SetText"), {u"ABC"_qs});
        QTRY_COMPARE(recorder.changes.size(), 3);
        QCOMPARE(recorder.changes.at(2), (QVariantMap{{u"Text"_qs, u"ABC"_qs}}));
        call(RemoteControl::kInterface, QStringLiteral("Stop"));
        QTRY_COMPARE(recorder.changes.size(), 4);
        QCOMPARE(recorder.changes.at(3), (QVariantMap{{u"Running"_qs, false}}));
    }

    void secondInstanceLeavesNameToFirst()
    {
        QDBusConnection secondBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"second"_qs);
        Marquee second;
        const auto failure = second.remote.registerOn(secondBus);
        QVERIFY(failure);
        QVERIFY2(failure->startsWith(u"Remote control stays with the first Tickora"), qPrintable(*failure));
        QVERIFY(!secondBus.objectRegisteredAt(RemoteControl::kObjectPath));
        QCOMPARE(readProperties().value(u"Text"_qs), u"HELLO"_qs);
        QDBusConnection::disconnectFromBus(u"second"_qs);
    }

private:
    // Another program's call on its own connection; the event loop runs meanwhile, so
    // that this process can answer.
    QDBusMessage call(const QString &interface, const QString &method, const QVariantList &arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(RemoteControl::kServiceName,
                                                              RemoteControl::kObjectPath, interface, method);
        message.setArguments(arguments);
        return m_client.call(message, QDBus::BlockWithGui);
    }

    QVariantMap readProperties()
    {
        const QDBusMessage reply =
            call(kProperties, QStringLiteral("GetAll"), {QString(RemoteControl::kInterface)});
        return qdbus_cast<QVariantMap>(reply.arguments().value(0));
    }

    QDBusConnection m_client{QString()};
    std::unique_ptr<Marquee> m_marquee;
};

QTEST_GUILESS_MAIN(TestRemoteControl)
#include "tst_remotecontrol.moc"
