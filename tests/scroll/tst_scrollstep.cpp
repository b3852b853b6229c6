// SPDX-License-Identifier: MIT
#include "plainwindow.h"
#include "scroll/scrollstep.h"
#include "scroll/startstop.h"
#include "window/initialstate.h"

#include <QTest>

Q_DECLARE_METATYPE(Direction)

// The scroll and caption ticks, Start and Stop, on the plain window.
class TestScrollStep : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tick_data();
    void tick();
    void nothingSelectedDoesNothing();
    void captionTurnsOnceAround();
    void stopRestoresText_data();
    void stopRestoresText();
};

void TestScrollStep::tick_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<Direction>("direction");
    QTest::addColumn<int>("interval");
    // The speed table, left and right: level 4 runs fast to the right only.
    const int intervals[][2] = {{900, 900}, {800, 800}, {700, 700}, {600, 100}, {600, 500}, {400, 400},
                                {300, 300}, {200, 200}, {150, 150}, {100, 100}, {50, 50},   {25, 25}};
    for (int level = 1; level <= kSpeedLevelCount; ++level) {
        QTest::addRow("%d left", level) << level << Direction::Left << intervals[level - 1][0];
        QTest::addRow("%d right", level) << level << Direction::Right << intervals[level - 1][1];
    }
}

void TestScrollStep::tick()
{
    QFETCH(int, level);
    QFETCH(Direction, direction);
    QFETCH(int, interval);
    PlainWindow window;
    window.setSpeedSelected(level, true);
    window.setDirectionSelected(direction, true);
    runScrollStep(window); // an empty text stays empty, and the interval is set
    QCOMPARE(window.text(), QString());
    QCOMPARE(window.scrollInterval(), interval);
    window.setText(QStringLiteral("ABCD"));
    runScrollStep(window);
    QCOMPARE(window.text(), direction == Direction::Left ? QStringLiteral("BCDA") : QStringLiteral("DABC"));
    QCOMPARE(window.intervalWrites(), 2);
}

void TestScrollStep::nothingSelectedDoesNothing()
{
    for (const bool clearSpeed : {false, true}) {
        PlainWindow window;
        window.setText(QStringLiteral("ABCD"));
        if (clearSpeed)
            window.setSpeedSelected(InitialState::kSpeedLevel, false);
        else
            window.setDirectionSelected(Direction::Left, false);
        runScrollStep(window);
        QCOMPARE(window.text(), QStringLiteral("ABCD"));
        QCOMPARE(window.intervalWrites(), 0);
    }
}

void TestScrollStep::captionTurnsOnceAround()
{
    PlainWindow window;
    const QString initial = InitialState::caption();
    runCaptionStep(window);
    QCOMPARE(window.caption(), initial.mid(1) + initial.front());
    for (qsizetype tick = 1; tick < initial.size(); ++tick)
        runCaptionStep(window);
    QCOMPARE(window.caption(), initial);
}

void TestScrollStep::stopRestoresText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("changedWhileRunning");
    QTest::newRow("no tick") << "HELLO" << 0 << QString();
    QTest::newRow("a full turn and more") << "HELLO" << 13 << QString();
    QTest::newRow("empty text") << "" << 4 << QString();
    QTest::newRow("cleared while running") << "HELLO" << 2 << "";
    QTest::newRow("retyped while running") << "HELLO" << 2 << "other";
}

void TestScrollStep::stopRestoresText()
{
    QFETCH(QString, text);
    QFETCH(int, ticks);
    QFETCH(QString, changedWhileRunning);
    PlainWindow window;
    StartStop startStop(window);
    window.setText(text);
    for (int cycle = 0; cycle < 2; ++cycle) { // a second cycle adds no second space
        startStop.toggle();
        QCOMPARE(window.text(), text + QLatin1Char(' '));
        QCOMPARE(window.startCaption(), QStringLiteral("Stop"));
        QVERIFY(window.isScrollTimerEnabled());
        for (int tick = 0; tick < ticks; ++tick)
            runScrollStep(window);
        if (!changedWhileRunning.isNull())
            window.setText(changedWhileRunning);
        startStop.toggle();
        QCOMPARE(window.text(), text);
        QCOMPARE(window.startCaption(), QStringLiteral("Start"));
        QVERIFY(!window.isScrollTimerEnabled());
    }
    // Start and Stop leave the interval to the ticks; a caption of neither does nothing.
    QCOMPARE(window.intervalWrites(), 2 * ticks);
    window.setStartCaption(QStringLiteral("start"));
    startStop.toggle();
    QCOMPARE(window.text(), text);
    QVERIFY(!window.isScrollTimerEnabled());
}

QTEST_GUILESS_MAIN(TestScrollStep)
#include "tst_scrollstep.moc"
