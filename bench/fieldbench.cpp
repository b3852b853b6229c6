// The display field against the toolkit's stock line edit, and the real window scrolling
// the longest text at the fastest level, all measured in one run and printed as a table
// with the bars each figure must meet. Run it by scripts/bench.sh, which runs it
// offscreen and under a virtual X server. Exits with 1 when a bar is missed.

#include "app/mainwindow.h"
#include "app/marqueefield.h"
#include "procstatus.h"
#include "scroll/rotation.h"
#include "window/initialstate.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kLongest = InitialState::kMaxTextLength;
constexpr QSize kFieldSize(761, 417);
constexpr int kFastestInterval = 25;
constexpr qint64 kRunNanoseconds = 10'000'000'000;

// A text of the given length made of ordinary sentences, so that the field shows the
// usual mix of letters, capitals, digits and punctuation.
QString sampleText(int length)
{
    static const QString sentence =
        QStringLiteral("The quick brown fox jumps over the lazy dog, 1234567890 times! ");
    QString text;
    text.reserve(length);
    while (text.size() < length)
        text += sentence;
    text.truncate(length);
    return text;
}

QFont marqueeFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(320);
    font.setBold(true);
    return font;
}

struct Summary
{
    double median = 0;
    double mean = 0;
    double p99 = 0;
    double max = 0;
    qsizetype count = 0;
};

Summary summarise(std::vector<double> values)
{
    Summary summary;
    summary.count = qsizetype(values.size());
    if (values.empty())
        return summary;
    std::sort(values.begin(), values.end());
    summary.median = values[values.size() / 2];
    double total = 0;
    for (const double value : values)
        total += value;
    summary.mean = total / double(values.size());
    summary.p99 = values[std::min(values.size() - 1, size_t(double(values.size()) * 0.99))];
    summary.max = values.back();
    return summary;
}

// Runs `step` until it has been timed `most` times or for `budget` milliseconds, but at
// least `least` times; returns the times in milliseconds.
std::vector<double> timeRepeatedly(const std::function<void()> &prepare, const std::function<void()> &step,
                                   int least, int most, qint64 budget)
{
    std::vector<double> times;
    QElapsedTimer total;
    total.start();
    QElapsedTimer clock;
    while (int(times.size()) < most && (int(times.size()) < least || total.elapsed() < budget)) {
        prepare();
        clock.start();
        step();
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    return times;
}

// Both fields side by side in one window, with the same font, size and text.
class Bench
{
public:
    Bench()
    {
        m_window.setWindowTitle(QStringLiteral("field benchmark"));
        auto *layout = new QVBoxLayout(&m_window);
        for (QWidget *field : {static_cast<QWidget *>(&m_field), static_cast<QWidget *>(&m_edit)}) {
            field->setFont(marqueeFont());
            field->setFixedSize(kFieldSize);
            layout->addWidget(field);
        }
        m_edit.setMaxLength(kLongest);
        m_window.show();
        if (!QTest::qWaitForWindowExposed(&m_window))
            std::fprintf(stderr, "the benchmark window was not shown\n");
    }

    MarqueeField &field() { return m_field; }
    QLineEdit &edit() { return m_edit; }

private:
    QWidget m_window;
    MarqueeField m_field{&m_window};
    QLineEdit m_edit{&m_window};
};

// Ticks as the window runs them (rotate, set, paint at once), at every length in turn
// so that the machine's other work weighs on all lengths alike.
template<typename Field> QList<Summary> tickCosts(Field &field, const QList<int> &lengths)
{
    QList<QString> texts;
    for (const int length : lengths)
        texts << sampleText(length);
    const auto tick = [&field, &texts](qsizetype index) {
        field.setText(*Rotation::left(texts[index]));
        field.setCursorPosition(0);
        field.repaint();
        texts[index] = field.text();
    };
    for (int warmUp = 0; warmUp < 5; ++warmUp) {
        for (qsizetype index = 0; index < lengths.size(); ++index)
            tick(index);
    }
    std::vector<std::vector<double>> times(size_t(lengths.size()));
    QElapsedTimer total;
    total.start();
    QElapsedTimer clock;
    for (int round = 0; round < 400 && (round < 15 || total.elapsed() < 3000); ++round) {
        for (qsizetype index = 0; index < lengths.size(); ++index) {
            clock.start();
            tick(index);
            times[size_t(index)].push_back(double(clock.nsecsElapsed()) / 1e6);
        }
    }
    QList<Summary> summaries;
    for (const std::vector<double> &each : times)
        summaries << summarise(each);
    return summaries;
}

// One character typed in the middle of a text that it fills to the longest length.
template<typename Field> Summary typingCost(Field &field)
{
    const QString text = sampleText(kLongest - 1);
    field.setFocus();
    const auto prepare = [&] {
        field.setText(text);
        field.setCursorPosition(text.size() / 2);
        field.repaint();
    };
    const auto type = [&] {
        QTest::keyClick(&field, Qt::Key_X);
        field.repaint();
    };
    Summary summary = summarise(timeRepeatedly(prepare, type, 15, 200, 1500));
    if (field.text().size() != kLongest)
        std::fprintf(stderr, "typing did not insert the character\n");
    return summary;
}

struct WindowRun
{
    Summary intervals;
    qsizetype ticksDue = 0;
    qsizetype ticksSeen = 0;
    int paints = 0;
    long peakKib = 0;
};

// Counts the paints of the display field.
class PaintCounter : public QObject
{
public:
    using QObject::QObject;
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// The real window, in a folder of its own so that it reads and writes no settings of
// the user's, scrolling the longest text left at level 12 for ten seconds.
WindowRun runWindow()
{
    WindowRun run;
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    {
        MainWindow window{WindowServices{}};
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            std::fprintf(stderr, "the window was not shown\n");
        // Start adds a space: the text scrolls at the longest length.
        window.setText(sampleText(kLongest - 1));
        window.setSpeedSelected(kSpeedLevelCount, true);
        window.setDirectionSelected(Direction::Left, true);

        auto *timer = window.findChild<QTimer *>(QStringLiteral("tmrMain"));
        auto *field = window.findChild<QWidget *>(QStringLiteral("txtMarquee"));
        PaintCounter counter;
        field->installEventFilter(&counter);

        std::vector<qint64> changes;
        QElapsedTimer clock;
        QString last = window.text();
        QEventLoop loop;
        QObject::connect(timer, &QTimer::timeout, &loop, [&] {
            const qint64 now = clock.nsecsElapsed();
            // Ten seconds from the first tick, with half an interval's grace for the last.
            if (!changes.empty() && now - changes.front() > kRunNanoseconds + kFastestInterval * 500'000LL) {
                loop.quit();
                return;
            }
            QString text = window.text();
            if (text != last) {
                changes.push_back(now);
                last = std::move(text);
            }
        });
        clock.start();
        window.findChild<QPushButton *>(QStringLiteral("cmdStart"))->click();
        const int paintsBefore = counter.paints;
        QTimer::singleShot(kRunNanoseconds / 1'000'000 + 5000, &loop, &QEventLoop::quit);
        loop.exec();
        window.findChild<QPushButton *>(QStringLiteral("cmdStart"))->click();
        run.paints = counter.paints - paintsBefore;

        std::vector<double> intervals;
        for (size_t index = 1; index < changes.size(); ++index)
            intervals.push_back(double(changes[index] - changes[index - 1]) / 1e6);
        run.intervals = summarise(intervals);
        run.ticksSeen = qsizetype(changes.size());
        run.ticksDue = kRunNanoseconds / (kFastestInterval * 1'000'000LL) + 1;
        run.peakKib = procStatusKib("VmHWM");
    }
    QDir::setCurrent(previous);
    return run;
}

class Bars
{
public:
    void check(bool met, const QString &bar, const QString &figures)
    {
        m_allMet = m_allMet && met;
        std::printf("%s  %s: %s\n", met ? "PASS" : "FAIL", qPrintable(bar), qPrintable(figures));
    }
    [[nodiscard]] bool allMet() const { return m_allMet; }

private:
    bool m_allMet = true;
};

QString ms(double milliseconds)
{
    return QString::number(milliseconds, 'f', milliseconds < 10 ? 3 : 1) + QStringLiteral(" ms");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QFontInfo face(marqueeFont());
    std::printf("Display field benchmark: platform %s, font Arial 320 pt bold (%s, %d px), field %d x %d\n\n",
                qPrintable(QGuiApplication::platformName()), qPrintable(face.family()), face.pixelSize(),
                kFieldSize.width(), kFieldSize.height());

    // The window's run comes first, so that its peak memory is that of the program.
    const WindowRun window = runWindow();

    Bench bench;
    const QList<int> lengths{100, 1000, 8000, 32000, kLongest};
    const QList<Summary> fieldTicks = tickCosts(bench.field(), lengths);
    const QList<Summary> editTicks = tickCosts(bench.edit(), lengths);
    std::printf("Per tick (rotate left, set the text, repaint at once), median of n ticks:\n");
    std::printf("| characters | MarqueeField | n   | QLineEdit | n   | QLineEdit / MarqueeField |\n");
    std::printf("|-----------:|-------------:|----:|----------:|----:|-------------------------:|\n");
    for (qsizetype index = 0; index < lengths.size(); ++index) {
        const Summary &field = fieldTicks[index];
        const Summary &edit = editTicks[index];
        std::printf("| %10d | %12s | %3lld | %9s | %3lld | %23.1fx |\n", lengths[index],
                    qPrintable(ms(field.median)), qlonglong(field.count), qPrintable(ms(edit.median)),
                    qlonglong(edit.count), edit.median / field.median);
    }

    const Summary fieldTyping = typingCost(bench.field());
    const Summary editTyping = typingCost(bench.edit());
    std::printf("\nOne character typed in the middle of %d characters, then a repaint, median of n:\n",
                kLongest);
    std::printf("| MarqueeField | n   | QLineEdit | n   | QLineEdit / MarqueeField |\n");
    std::printf("|-------------:|----:|----------:|----:|-------------------------:|\n");
    std::printf("| %12s | %3lld | %9s | %3lld | %23.1fx |\n", qPrintable(ms(fieldTyping.median)),
                qlonglong(fieldTyping.count), qPrintable(ms(editTyping.median)), qlonglong(editTyping.count),
                editTyping.median / fieldTyping.median);

    std::printf(
        "\nThe window scrolling %d characters left at level 12 for 10 s (interval between text changes):\n",
        kLongest);
    std::printf(
        "| ticks due | ticks seen | mean      | 99th percentile | max       | paints | peak resident |\n");
    std::printf(
        "|----------:|-----------:|----------:|----------------:|----------:|-------:|--------------:|\n");
    std::printf("| %9lld | %10lld | %9s | %15s | %9s | %6d | %9.1f MiB |\n\n", qlonglong(window.ticksDue),
                qlonglong(window.ticksSeen), qPrintable(ms(window.intervals.mean)),
                qPrintable(ms(window.intervals.p99)), qPrintable(ms(window.intervals.max)), window.paints,
                double(window.peakKib) / 1024);

    Bars bars;
    const double longest = fieldTicks.last().median;
    const double shortest = fieldTicks.first().median;
    bars.check(
        longest <= 1.5 * shortest, QStringLiteral("tick at %1 chars <= 1.5 x tick at 100").arg(kLongest),
        QStringLiteral("%1 vs %2 (%3x)").arg(ms(longest), ms(shortest)).arg(longest / shortest, 0, 'f', 2));
    const double tickRatio = editTicks.last().median / longest;
    bars.check(tickRatio >= 40,
               QStringLiteral("tick at %1 chars >= 40 x faster than QLineEdit").arg(kLongest),
               QStringLiteral("%1x").arg(tickRatio, 0, 'f', 1));
    const double typingRatio = editTyping.median / fieldTyping.median;
    bars.check(typingRatio >= 20, QStringLiteral("typed character >= 20 x faster than QLineEdit"),
               QStringLiteral("%1x").arg(typingRatio, 0, 'f', 1));
    const double drift = std::abs(window.intervals.mean - kFastestInterval) / kFastestInterval;
    bars.check(drift <= 0.02, QStringLiteral("level 12 mean interval within 2 % of 25 ms"),
               QStringLiteral("%1 (%2 %)").arg(ms(window.intervals.mean)).arg(drift * 100, 0, 'f', 2));
    bars.check(window.intervals.p99 <= 30, QStringLiteral("level 12 99th percentile <= 30 ms"),
               ms(window.intervals.p99));
    bars.check(window.ticksSeen >= window.ticksDue, QStringLiteral("level 12 no tick lost"),
               QStringLiteral("%1 seen of %2 due").arg(window.ticksSeen).arg(window.ticksDue));
    bars.check(window.peakKib > 0 && window.peakKib < 120 * 1024,
               QStringLiteral("peak resident memory < 120 MiB"),
               QStringLiteral("%1 MiB").arg(double(window.peakKib) / 1024, 0, 'f', 1));
    return bars.allMet() ? 0 : 1;
}
