#include "plainwindow.h"
#include "scroll/scrollintervals.h"
#include "scroll/scrollstep.h"
#include "window/initialstate.h"

#include <QTest>

class TestScrollStep : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void intervalTable_data();
    void intervalTable();
    void stepSetsIntervalAndRotates_data();
    void stepSetsIntervalAndRotates();
    void emptyTextStaysEmptyButIntervalIsSet();
    void nothingSelectedDoesNothing_data();
    void nothingSelectedDoesNothing();
    void oneRotationPerTick();
    void captionRotatesLeftAndComesBack();
};

void TestScrollStep::intervalTable_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    const int table[][2] = {{900, 900}, {800, 800}, {700, 700}, {600, 100}, {600, 500}, {400, 400},
                            {300, 300}, {200, 200}, {150, 150}, {100, 100}, {50, 50},   {25, 25}};
    for (int level = 1; level <= kSpeedLevelCount; ++level)
        QTest::addRow("level %d", level) << level << table[level - 1][0] << table[level - 1][1];
}

void TestScrollStep::intervalTable()
{
    QFETCH(int, level);
    QFETCH(int, left);
    QFETCH(int, right);
    QCOMPARE(ScrollIntervals::interval(level, Direction::Left), left);
    QCOMPARE(ScrollIntervals::interval(level, Direction::Right), right);
}

void TestScrollStep::stepSetsIntervalAndRotates_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("right");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("text");
    QTest::newRow("level 4 right is fast") << 4 << true << 100 << "DABC";
    QTest::newRow("level 4 left") << 4 << false << 600 << "BCDA";
}

void TestScrollStep::stepSetsIntervalAndRotates()
{
    QFETCH(int, level);
    QFETCH(bool, right);
    QFETCH(int, interval);
    QFETCH(QString, text);
    PlainWindow window;
    window.setText(QStringLiteral("ABCD"));
    window.setSpeedSelected(level, true);
    window.setDirectionSelected(right ? Direction::Right : Direction::Left, true);
    runScrollStep(window);
    QCOMPARE(window.scrollInterval(), interval);
    QCOMPARE(window.text(), text);
}

void TestScrollStep::emptyTextStaysEmptyButIntervalIsSet()
{
    PlainWindow window;
    for (int level = 1; level <= kSpeedLevelCount; ++level) {
        for (const Direction direction : {Direction::Left, Direction::Right}) {
            window.setSpeedSelected(level, true);
            window.setDirectionSelected(direction, true);
            const int writes = window.intervalWrites();
            runScrollStep(window);
            QCOMPARE(window.text(), QString());
            QCOMPARE(window.scrollInterval(), ScrollIntervals::interval(level, direction).value());
            QCOMPARE(window.intervalWrites(), writes + 1);
        }
    }
}

void TestScrollStep::nothingSelectedDoesNothing_data()
{
    QTest::addColumn<bool>("clearSpeed");
    QTest::addColumn<bool>("clearDirection");
    QTest::newRow("no speed") << true << false;
    QTest::newRow("no direction") << false << true;
    QTest::newRow("neither") << true << true;
}

void TestScrollStep::nothingSelectedDoesNothing()
{
    QFETCH(bool, clearSpeed);
    QFETCH(bool, clearDirection);
    PlainWindow window;
    window.setText(QStringLiteral("ABCD"));
    if (clearSpeed)
        window.setSpeedSelected(InitialState::kSpeedLevel, false);
    if (clearDirection)
        window.setDirectionSelected(Direction::Left, false);
    runScrollStep(window);
    QCOMPARE(window.text(), QStringLiteral("ABCD"));
    QCOMPARE(window.scrollInterval(), InitialState::kScrollInterval);
    QCOMPARE(window.intervalWrites(), 0);
}

// A window whose option buttons are not exclusive, so that several combinations match:
// the first in the order (level 1 left, level 1 right, level 2 left, ...) must act alone.
class LooseWindow final : public WindowAccess
{
public:
    QString caption() const override { return {}; }
    void setCaption(const QString &) override {}
    QString text() const override { return m_text; }
    void setText(const QString &text) override
    {
        m_text = text;
        ++textWrites;
    }
    void applyColours(ColourValue, ColourValue) override {}
    void applyFont(const MarqueeFont &) override {}
    bool isSpeedButtonChecked(int level) const override { return level == 3 || level == 9; }
    void setSpeedButtonChecked(int, bool) override {}
    bool isDirectionSelected(Direction) const override { return true; }
    void setDirectionSelected(Direction, bool) override {}
    QString startCaption() const override { return {}; }
    void setStartCaption(const QString &) override {}
    bool isScrollTimerEnabled() const override { return true; }
    void setScrollTimerEnabled(bool) override {}
    int scrollInterval() const override { return interval; }
    void setScrollInterval(int milliseconds) override { interval = milliseconds; }

    QString m_text = QStringLiteral("ABCD");
    int textWrites = 0;
    int interval = 0;
};

void TestScrollStep::oneRotationPerTick()
{
    LooseWindow window;
    runScrollStep(window);
    QCOMPARE(window.textWrites, 1);
    QCOMPARE(window.text(), QStringLiteral("BCDA")); // level 3, left: the first match
    QCOMPARE(window.interval, 700);
}

void TestScrollStep::captionRotatesLeftAndComesBack()
{
    PlainWindow window;
    const QString initial = InitialState::caption();
    QCOMPARE(initial.size(), 15 + 17 + 40);
    runCaptionStep(window);
    QCOMPARE(window.caption(), initial.mid(1) + initial.front());
    for (qsizetype tick = 1; tick < initial.size(); ++tick) {
        runCaptionStep(window);
        QCOMPARE(window.caption().size(), initial.size());
    }
    QCOMPARE(window.caption(), initial);
}

QTEST_GUILESS_MAIN(TestScrollStep)
#include "tst_scrollstep.moc"
