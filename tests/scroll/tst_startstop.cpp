#include "plainwindow.h"
#include "scroll/scrollstep.h"
#include "scroll/startstop.h"

#include <QTest>

class TestStartStop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startAppendsSpaceAndRuns();
    void stopRestoresText_data();
    void stopRestoresText();
    void cyclesNeverAccumulateSpaces();
    void startStopLeavesIntervalAlone();
    void unknownCaptionDoesNothing();
    void speedsMenu_data();
    void speedsMenu();
};

void TestStartStop::startAppendsSpaceAndRuns()
{
    PlainWindow window;
    StartStop startStop(window);
    window.setText(QStringLiteral("HELLO"));
    startStop.toggle();
    QCOMPARE(window.text(), QStringLiteral("HELLO "));
    QCOMPARE(window.startCaption(), QStringLiteral("Stop"));
    QVERIFY(window.isScrollTimerEnabled());
}

void TestStartStop::stopRestoresText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("changedWhileRunning");
    QTest::newRow("no tick") << "HELLO" << 0 << QString();
    QTest::newRow("some ticks") << "HELLO" << 3 << QString();
    QTest::newRow("a full turn and more") << "HELLO" << 13 << QString();
    QTest::newRow("empty text") << "" << 4 << QString();
    QTest::newRow("cleared while running") << "HELLO" << 2 << "";
    QTest::newRow("retyped while running") << "HELLO" << 2 << "other";
}

void TestStartStop::stopRestoresText()
{
    QFETCH(QString, text);
    QFETCH(int, ticks);
    QFETCH(QString, changedWhileRunning);
    PlainWindow window;
    StartStop startStop(window);
    window.setText(text);
    startStop.toggle();
    if (text.isEmpty())
        QCOMPARE(window.text(), QStringLiteral(" "));
    for (int tick = 0; tick < ticks; ++tick)
        runScrollStep(window);
    if (!changedWhileRunning.isNull())
        window.setText(changedWhileRunning);
    startStop.toggle();
    QCOMPARE(window.text(), text);
    QCOMPARE(window.startCaption(), QStringLiteral("Start"));
    QVERIFY(!window.isScrollTimerEnabled());
}

void TestStartStop::cyclesNeverAccumulateSpaces()
{
    PlainWindow window;
    StartStop startStop(window);
    window.setText(QStringLiteral("ab"));
    for (int cycle = 0; cycle < 5; ++cycle) {
        startStop.toggle();
        QCOMPARE(window.text(), QStringLiteral("ab "));
        runScrollStep(window);
        startStop.toggle();
        QCOMPARE(window.text(), QStringLiteral("ab"));
    }
}

void TestStartStop::startStopLeavesIntervalAlone()
{
    PlainWindow window;
    StartStop startStop(window);
    startStop.toggle();
    startStop.toggle();
    QCOMPARE(window.intervalWrites(), 0);
    QCOMPARE(window.scrollInterval(), 100);
}

void TestStartStop::unknownCaptionDoesNothing()
{
    PlainWindow window;
    StartStop startStop(window);
    window.setText(QStringLiteral("x"));
    window.setStartCaption(QStringLiteral("start"));
    startStop.toggle();
    QCOMPARE(window.text(), QStringLiteral("x"));
    QCOMPARE(window.startCaption(), QStringLiteral("start"));
    QVERIFY(!window.isScrollTimerEnabled());
}

void TestStartStop::speedsMenu_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("level");
    for (int item = 1; item <= 12; ++item) {
        const int level = item == 2 ? 11 : item == 11 ? 2 : item;
        QTest::addRow("item %02d", item) << item << level;
    }
}

void TestStartStop::speedsMenu()
{
    QFETCH(int, item);
    QFETCH(int, level);
    PlainWindow window;
    StartStop startStop(window);
    window.setText(QStringLiteral("abc"));
    startStop.chooseSpeedFromMenu(item);
    for (int other = 1; other <= kSpeedLevelCount; ++other)
        QCOMPARE(window.isSpeedSelected(other), other == level);
    QCOMPARE(window.text(), QStringLiteral("abc"));
    QVERIFY(!window.isScrollTimerEnabled());
    QCOMPARE(window.intervalWrites(), 0);
}

QTEST_GUILESS_MAIN(TestStartStop)
#include "tst_startstop.moc"
