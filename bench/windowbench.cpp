// SPDX-License-Identifier: MIT
// The real window scrolling the longest text at the fastest level for ten seconds, printed
// as a table with the bars each figure must meet. Run it by scripts/bench.sh, which runs
// it offscreen and under a virtual X server. Exits with 1 when a bar is missed.

#include "app/mainwindow.h"
#include "bareticker.h"
#include "benchtable.h"
#include "field/presentationview.h"
#include "procstatus.h"
#include "scroll/rotation.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <ctime>

#include <unistd.h>

namespace {

constexpr int kFastestInterval = 25;
constexpr qint64 kRunNanoseconds = 10'000'000'000;

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

// Paints what a tick left to paint now, in every window shown, as the event loop would
// when it next runs.
void paintNow()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(window, &request);
    }
}

// The CPU time the display server has used, in seconds, when it is an X server of this
// machine that the kernel tells about (Xvfb under scripts/bench.sh); -1 otherwise.
double displayServerCpuSeconds()
{
    static const QString statPath = [] {
        const QByteArray display = qgetenv("DISPLAY");
        if (QGuiApplication::platformName() != QLatin1String("xcb") || !display.startsWith(':'))
            return QString();
        const QByteArray number = display.split('.').value(0);
        for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile command(QStringLiteral("/proc/%1/cmdline").arg(pid));
            if (!command.open(QIODevice::ReadOnly))
                continue;
            const QList<QByteArray> arguments = command.readAll().split('\0');
            if (arguments.value(0).endsWith("Xvfb") || arguments.value(0).endsWith("Xorg")) {
                if (arguments.contains(number))
                    return QStringLiteral("/proc/%1/stat").arg(pid);
            }
        }
        return QString();
    }();
    QFile stat(statPath);
    if (statPath.isEmpty() || !stat.open(QIODevice::ReadOnly))
        return -1;
    // utime and stime, the 14th and 15th fields, counted after the command's closing ")".
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) /
           double(sysconf(_SC_CLK_TCK));
}

// The cost of a tick at a length in each of several windows: rotating the text, handling
// what that sets off and painting it, up to handing the frame to the display server.
// Ticks come at least 25 ms apart, by which time the server has long shown the last
// frame; so each tick here starts with the server idle, as in the program, and does not
// wait for the server's copying of the tick before. The windows tick in turn, so that a
// change in the load of this shared machine weighs on each alike. The median of 200
// ticks each, and the server's own CPU time per tick beside it, counted in clock ticks of
// the kernel's and so only a mean. The glyph images are made while the first ticks run,
// unmeasured.
struct TickCost
{
    double median = 0;
    double serverPerTick = -1;
};

std::vector<TickCost> tickCosts(const std::vector<MainWindow *> &windows, int length)
{
    const auto tick = [](MainWindow &window) {
        window.setText(*Rotation::left(window.text()));
        QCoreApplication::processEvents();
        paintNow();
    };
    for (MainWindow *window : windows) {
        window->setText(sampleText(length));
        for (int warmUp = 0; warmUp < 100; ++warmUp)
            tick(*window);
    }
    constexpr int kTicks = 200;
    std::vector<std::vector<double>> ticks(windows.size());
    std::vector<double> serverSeconds(windows.size());
    QElapsedTimer clock;
    QGuiApplication::sync();
    for (int count = 0; count < kTicks; ++count) {
        for (size_t index = 0; index < windows.size(); ++index) {
            const double serverBefore = displayServerCpuSeconds();
            clock.start();
            tick(*windows[index]);
            ticks[index].push_back(double(clock.nsecsElapsed()) / 1e6);
            QGuiApplication::sync();
            serverSeconds[index] += displayServerCpuSeconds() - serverBefore;
        }
    }
    std::vector<TickCost> costs;
    for (size_t index = 0; index < windows.size(); ++index) {
        TickCost cost;
        cost.median = summarise(ticks[index]).median;
        if (displayServerCpuSeconds() >= 0)
            cost.serverPerTick = serverSeconds[index] * 1000 / kTicks;
        costs.push_back(cost);
    }
    return costs;
}

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The figures of one way of showing the display: the cost of a tick (rotating the text
// and painting what it changed) at two lengths, and the process's share of a core
// scrolling the longest text at level 12 for ten seconds.
struct ShowRun
{
    TickCost tickShort;
    TickCost tickLong;
    double cpuShare = 0;
};

// The process's share of a core over ten seconds of whatever runs, from a moment on.
double measuredCpuShare()
{
    QTest::qWait(200);
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    // The program's own event loop, which sleeps until the next event: a test's wait
    // wakes every few milliseconds as well.
    QEventLoop loop;
    QTimer::singleShot(int(kRunNanoseconds / 1'000'000), &loop, &QEventLoop::quit);
    loop.exec();
    return (processCpuSeconds() - cpuBefore) / (double(wall.nsecsElapsed()) / 1e9);
}

// The process's share of a core while the window scrolls the longest text at level 12.
// Kept out of line so that a profiler can tell its calls apart.
[[gnu::noinline]] double cpuShare(MainWindow &window)
{
    window.setText(sampleText(kLongest - 1));
    auto *start = window.findChild<QPushButton *>(QStringLiteral("cmdStart"));
    start->click();
    const double share = measuredCpuShare();
    start->click();
    return share;
}

// The same for a bare ticker of the display field's size and font, ticking as fast, with
// no window of the program's open.
double bareTickerCpuShare(const QFont &font, const QSize &size)
{
    BareTicker ticker(sampleText(kLongest - 1), font, size);
    ticker.show();
    (void)QTest::qWaitForWindowExposed(&ticker);
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &ticker, &BareTicker::tick);
    timer.start(kFastestInterval);
    return measuredCpuShare();
}

// The real window at level 12 scrolling left, its top left corner at `at`, shown alone or
// with the presentation view of that size over it.
std::unique_ptr<MainWindow> showWindow(const QSize &presentation, QPoint at)
{
    auto window = std::make_unique<MainWindow>(WindowServices{});
    window->move(at);
    window->show();
    (void)QTest::qWaitForWindowExposed(window.get());
    if (!presentation.isEmpty()) {
        window->setPresentation(true);
        PresentationView *view = window->presentation();
        view->setWindowState(Qt::WindowNoState);
        view->setGeometry(QRect(at, presentation));
        (void)QTest::qWaitForWindowExposed(view);
    }
    window->setSpeedSelected(kSpeedLevelCount, true);
    window->setDirectionSelected(Direction::Left, true);
    return window;
}

// Ticks at 100 and at the longest length, of each window in turn.
std::vector<ShowRun> runTicks(const std::vector<MainWindow *> &windows)
{
    std::vector<ShowRun> runs(windows.size());
    for (const int length : {100, kLongest}) {
        const std::vector<TickCost> costs = tickCosts(windows, length);
        for (size_t index = 0; index < windows.size(); ++index)
            (length == kLongest ? runs[index].tickLong : runs[index].tickShort) = costs[index];
    }
    return runs;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    // With --ticks, only the ticks of the window alone and with the view at 1920x1080 are
    // measured, with --cpu only the window's CPU share: for a profiler.
    if (app.arguments().contains(QStringLiteral("--ticks"))) {
        auto alone = showWindow({}, {0, 0});
        auto fullHd = showWindow({1920, 1080}, {1920, 1080});
        const std::vector<ShowRun> runs = runTicks({alone.get(), fullHd.get()});
        for (const ShowRun &run : runs)
            std::printf("ticks: %s, %s\n", qPrintable(ms(run.tickShort.median)),
                        qPrintable(ms(run.tickLong.median)));
        return 0;
    }
    if (app.arguments().contains(QStringLiteral("--cpu"))) {
        std::printf("CPU share: %.2f %%\n", cpuShare(*showWindow({}, {0, 0})) * 100);
        return 0;
    }
    std::printf("Window benchmark: platform %s\n\n", qPrintable(QGuiApplication::platformName()));
    const WindowRun window = runWindow();
    std::printf(
        "The window scrolling %d characters left at level 12 for 10 s (interval between text changes):\n",
        kLongest);
    std::printf(
        "| ticks due | ticks seen | mean      | 99th percentile | max       | paints | peak resident |\n");
    std::printf(
        "|----------:|-----------:|----------:|----------------:|----------:|-------:|--------------:|\n");
    std::printf("| %9lld | %10lld | %9s | %15s | %9s | %6d | %9.1f MiB |\n\n", qlonglong(window.ticksDue),
                qlonglong(window.ticksSeen), qPrintable(ms(window.intervals.mean)),
                qPrintable(ms(window.intervals.p99)), qPrintable(ms(window.intervals.max)), window.paints,
                double(window.peakKib) / 1024);

    // The window alone and with the view at 1920 x 1080 side by side, ticking in turn; the
    // view at 3840 x 2160, over the whole virtual screen, on its own.
    ShowRun alone;
    ShowRun fullHd;
    ShowRun ultraHd;
    QFont fieldFont;
    QSize fieldSize;
    {
        auto aloneWindow = showWindow({}, {0, 0});
        {
            auto fullHdWindow = showWindow({1920, 1080}, {1920, 1080});
            const std::vector<ShowRun> runs = runTicks({aloneWindow.get(), fullHdWindow.get()});
            alone = runs[0];
            fullHd = runs[1];
            fullHd.cpuShare = cpuShare(*fullHdWindow);
        }
        alone.cpuShare = cpuShare(*aloneWindow);
        const auto *field = aloneWindow->findChild<QWidget *>(QStringLiteral("txtMarquee"));
        fieldFont = field->font();
        fieldSize = field->size();
    }
    const double bareShare = bareTickerCpuShare(fieldFont, fieldSize);
    {
        auto ultraHdWindow = showWindow({3840, 2160}, {0, 0});
        ultraHd = runTicks({ultraHdWindow.get()})[0];
        ultraHd.cpuShare = cpuShare(*ultraHdWindow);
    }
    std::printf("The window alone and with the presentation view (tick: rotate and paint, median of 200, "
                "each from an idle display server, and the server's CPU time per tick; CPU: level 12, %d "
                "characters, 10 s):\n",
                kLongest);
    std::printf(
        "| shown                  | tick, 100 chars | tick, %d chars | server, per tick | CPU share |\n",
        kLongest);
    std::printf(
        "|------------------------|----------------:|------------------:|-----------------:|----------:|\n");
    for (const auto &[name, show] :
         {std::pair{"window alone", alone}, std::pair{"presentation 1920x1080", fullHd},
          std::pair{"presentation 3840x2160", ultraHd}}) {
        const QString server =
            show.tickLong.serverPerTick < 0 ? QStringLiteral("-") : ms(show.tickLong.serverPerTick);
        std::printf("| %-22s | %15s | %17s | %16s | %7.2f %% |\n", name,
                    qPrintable(ms(show.tickShort.median)), qPrintable(ms(show.tickLong.median)),
                    qPrintable(server), show.cpuShare * 100);
    }
    std::printf("\n");
    std::printf("A bare ticker of the field's size and font at 25 ms, for reference (lays out the characters "
                "in view, moves its band and paints the strip from one image): CPU share %.2f %%; the window "
                "alone takes %.2fx that.\n\n",
                bareShare * 100, alone.cpuShare / bareShare);

    Bars bars;
    bars.check(fullHd.tickLong.median <= 3 * alone.tickLong.median,
               QStringLiteral("presentation tick at 1920x1080 <= 3x the window's"),
               QStringLiteral("%1 against %2").arg(ms(fullHd.tickLong.median), ms(alone.tickLong.median)));
    bars.check(alone.cpuShare < 0.025, QStringLiteral("window alone at level 12 < 2.5 % of a core"),
               QStringLiteral("%1 %").arg(alone.cpuShare * 100, 0, 'f', 2));
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
