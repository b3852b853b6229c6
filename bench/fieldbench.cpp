// SPDX-License-Identifier: MIT
// The display field against the toolkit's stock line edit, both measured in one run and
// printed as a table with the bars each figure must meet. Run it by scripts/bench.sh,
// which runs it offscreen and under a virtual X server. Exits with 1 when a bar is missed.

#include "benchtable.h"
#include "field/marqueefield.h"
#include "procstatus.h"
#include "scroll/rotation.h"
#include "window/marqueefont.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <functional>

namespace {

constexpr QSize kFieldSize(761, 417);

QFont marqueeFont(double points = 320)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
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

// A text that any script or font may bring: its name, the text and the font size.
struct HardCase
{
    const char *name;
    QString text;
    double points;
};

QString filled(const QString &piece)
{
    return piece.repeated(kLongest / piece.size() + 1).first(kLongest);
}

// The ticks of each case in turn on the field alone, the font set before each so that
// every case starts as the window would show it.
QList<Summary> hardTickCosts(MarqueeField &field, const QList<HardCase> &cases)
{
    QList<Summary> summaries;
    for (const HardCase &each : cases) {
        field.setFont(marqueeFont(each.points));
        QString text = each.text;
        const auto tick = [&] {
            field.setText(*Rotation::left(text));
            field.setCursorPosition(0);
            field.repaint();
            text = field.text();
        };
        for (int warmUp = 0; warmUp < 5; ++warmUp)
            tick();
        summaries << summarise(timeRepeatedly([] {}, tick, 15, 300, 1500));
    }
    field.setFont(marqueeFont());
    return summaries;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QFontInfo face(marqueeFont());
    std::printf("Display field benchmark: platform %s, font Arial 320 pt bold (%s, %d px), field %d x %d\n\n",
                qPrintable(QGuiApplication::platformName()), qPrintable(face.family()), face.pixelSize(),
                kFieldSize.width(), kFieldSize.height());

    Bench bench;
    // Any text the field accepts and any size the settings accept cost a bounded tick;
    // measured first, so that the peak memory is theirs and not the line edit's.
    const QString accents(kLongest - 1, QChar(u'\u0301'));
    const QList<HardCase> hardCases{
        {"ASCII, the reference", sampleText(kLongest), 320},
        {"Arabic", filled(QStringLiteral("مرحبا بالعالم، كيف حالك اليوم؟ ")), 320},
        {"Hebrew", filled(QStringLiteral("שלום עולם, מה שלומך היום? ")), 320},
        {"Hebrew and Latin", filled(QStringLiteral("שלום Hello, world 42 ")), 320},
        {"one letter, 65,534 accents", QLatin1Char('a') + accents, 320},
        {"letters with 1,000 accents", filled(QLatin1Char('a') + accents.first(1000)), 320},
        {"65,534 zero-width spaces", QLatin1Char('a') + QString(kLongest - 1, QChar(0x200B)), 320},
        {"65,534 Arabic number signs", QLatin1Char('a') + QString(kLongest - 1, QChar(0x0600)), 320},
        {"a right-to-left long number", QStringLiteral("ש") + QString(kLongest - 1, u'7'), 320},
        {"ASCII, largest font size", sampleText(kLongest), FontLimits::kMaxPointSize},
    };
    const QList<Summary> hardTicks = hardTickCosts(bench.field(), hardCases);
    const long peakKib = procStatusKib("VmHWM");
    std::printf("Per tick of %d units in any script or size (rotate left, set, repaint), median of n:\n",
                kLongest);
    std::printf("| text                         | points | MarqueeField | n   | / ASCII at 320 pt |\n");
    std::printf("|:-----------------------------|-------:|-------------:|----:|------------------:|\n");
    for (qsizetype index = 0; index < hardCases.size(); ++index) {
        std::printf("| %-28s | %6.0f | %12s | %3lld | %16.2fx |\n", hardCases[index].name,
                    hardCases[index].points, qPrintable(ms(hardTicks[index].median)),
                    qlonglong(hardTicks[index].count), hardTicks[index].median / hardTicks.first().median);
    }
    std::printf("Peak resident memory: %.1f MiB\n\n", double(peakKib) / 1024);

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

    std::printf("\n");

    Bars bars;
    for (qsizetype index = 1; index < hardCases.size(); ++index) {
        const double ratio = hardTicks[index].median / hardTicks.first().median;
        bars.check(
            ratio <= 3,
            QStringLiteral("tick of %1 <= 3 x ASCII at 320 pt").arg(QLatin1String(hardCases[index].name)),
            QStringLiteral("%1 (%2x)").arg(ms(hardTicks[index].median)).arg(ratio, 0, 'f', 2));
    }
    bars.check(peakKib >= 0 && peakKib < 120 * 1024, QStringLiteral("peak resident memory < 120 MiB"),
               QStringLiteral("%1 MiB").arg(double(peakKib) / 1024, 0, 'f', 1));
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
    return bars.allMet() ? 0 : 1;
}
