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
    void tick_data()
    {
        QTest::addColumn<int>("level"); // 0: none selected
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<int>("interval"); // 0: the tick does nothing
        // The speed table, left and right: level 4 runs fast to the right only.
        const int intervals[][2] = {{900, 900}, {800, 800}, {700, 700}, {600, 100}, {600, 500}, {400, 400},
                                    {300, 300}, {200, 200}, {150, 150}, {100, 100}, {50, 50},   {25, 25}};
        for (int level = 1; level <= kSpeedLevelCount; ++level) {
            QTest::addRow("%d left", level) << level << Direction::Left << intervals[level - 1][0];
            QTest::addRow("%d right", level) << level << Direction::Right << intervals[level - 1][1];
        }
        QTest::newRow("no speed") << 0 << Direction::Left << 0;
        QTest::newRow("no direction") << InitialState::kSpeedLevel << Direction(-1) << 0;
    }

    void tick()
    {
        QFETCH(int, level);
        QFETCH(Direction, direction);
        QFETCH(int, interval);
        PlainWindow window;
        window.setSpeedSelected(InitialState::kSpeedLevel, false);
        window.setDirectionSelected(Direction::Left, false);
        if (level > 0)
            window.setSpeedSelected(level, true);
        if (direction != Direction(-1))
            window.setDirectionSelected(direction, true);
        runScrollStep(window); // an empty text stays empty
        QCOMPARE(window.text(), QString());
        window.setText(QStringLiteral("ABCD"));
        runScrollStep(window);
        QCOMPARE(window.intervalWrites(), interval ? 2 : 0);
        QCOMPARE(window.scrollInterval(), interval ? interval : window.scrollInterval());
        const QString turned = direction == Direction::Left ? QStringLiteral("BCDA") : QStringLiteral("DABC");
        QCOMPARE(window.text(), interval ? turned : QStringLiteral("ABCD"));
    }

    void captionTurnsOnceAround()
    {
        PlainWindow window;
        const QString initial = InitialState::caption();
        runCaptionStep(window);
        QCOMPARE(window.caption(), initial.mid(1) + initial.front());
        for (qsizetype tick = 1; tick < initial.size(); ++tick)
            runCaptionStep(window);
        QCOMPARE(window.caption(), initial);
    }

    void stopRestoresText_data()
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

    void stopRestoresText()
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
            QCOMPARE(std::pair(window.startCaption(), window.isScrollTimerEnabled()),
                     std::pair(u"Stop"_qs, true));
            for (int tick = 0; tick < ticks; ++tick)
                runScrollStep(window);
            if (!changedWhileRunning.isNull())
                window.setText(changedWhileRunning);
            startStop.toggle();
            QCOMPARE(window.text(), text);
            QCOMPARE(std::pair(window.startCaption(), window.isScrollTimerEnabled()),
                     std::pair(u"Start"_qs, false));
        }
        // Start and Stop leave the interval to the ticks; a caption of neither does nothing.
        QCOMPARE(window.intervalWrites(), 2 * ticks);
        window.setStartCaption(QStringLiteral("start"));
        startStop.toggle();
        QCOMPARE(std::pair(window.text(), window.isScrollTimerEnabled()), std::pair(text, false));
    }
};

QTEST_GUILESS_MAIN(TestScrollStep)
#include "tst_scrollstep.moc"
