// SPDX-License-Identifier: MIT
// The soak: the real window scrolling a text of the field's full length at the fastest
// speed for a long run, each tick followed by a synchronous repaint of the field, as the
// timer would drive it over many hours on a shop window. It prints the resident memory
// and the live heap along the way and fails when memory keeps growing after warm-up.
// Run it by scripts/soak.sh, which runs it plain and again under LeakSanitizer.
//
// Usage: soak [--ticks N] [--warmup N] [--length N] [--level N] [--limit-kib N]

#include "app/mainwindow.h"
#include "benchtable.h"
#include "procstatus.h"
#include "scriptedservices.h"
#include "window/initialstate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <malloc.h>
#include <optional>

namespace {

struct Options
{
    long ticks = 100'000;
    long warmup = 1'000;
    int length = InitialState::kMaxTextLength;
    int level = kSpeedLevelCount;
    long limitKib = 1024;
};

std::optional<Options> parse(const QStringList &arguments)
{
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (i + 1 >= arguments.size())
            return std::nullopt;
        bool ok = false;
        const long value = arguments.at(i + 1).toLong(&ok);
        if (!ok || value < 0)
            return std::nullopt;
        const QString &name = arguments.at(i++);
        if (name == u"--ticks")
            options.ticks = value;
        else if (name == u"--warmup")
            options.warmup = value;
        else if (name == u"--length")
            options.length = static_cast<int>(value);
        else if (name == u"--level")
            options.level = static_cast<int>(value);
        else if (name == u"--limit-kib")
            options.limitKib = value;
        else
            return std::nullopt;
    }
    if (options.level < 1 || options.level > kSpeedLevelCount || options.warmup >= options.ticks)
        return std::nullopt;
    return options;
}

// Bytes handed out by malloc and not yet freed: the heap that the program holds live.
// Under the sanitizers their own allocator keeps the count.
extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));
long liveHeapKib()
{
    if (__sanitizer_get_current_allocated_bytes)
        return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
    return static_cast<long>(mallinfo2().uordblks / 1024);
}

// A text of the given length in letters, digits, blanks and a few accented letters, so
// that the rotation, the layout and the shaping all have real work.
QString soakText(int length)
{
    return repeatedText(QStringLiteral("Tickora soak 0123456789 \u00e4\u00f6\u00fc\u00df ABCDEFGHIJ "),
                        length);
}

struct Sample
{
    long tick;
    long rssKib;
    long heapKib;
    double msPerTick;
};

void printSample(const Sample &sample)
{
    std::printf("%10ld %12ld %12ld %12.3f\n", sample.tick, sample.rssKib, sample.heapKib, sample.msPerTick);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::optional<Options> options = parse(QCoreApplication::arguments());
    if (!options) {
        std::fprintf(stderr,
                     "usage: soak [--ticks N] [--warmup N] [--length N] [--level N] [--limit-kib N]\n");
        return 2;
    }

    // The window restores its settings from the current directory: keep it empty.
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return 2;

    // Scripted stand-ins for the modal parts, so that nothing can block the run.
    ScriptedDialog dialog;
    RecordingMessageBox messages;
    RecordingProgramEnd programEnd;
    int exitCode = 0;
    {
        MainWindow window(WindowServices{&dialog, &messages, &programEnd});
        window.show();
        QCoreApplication::processEvents();

        window.setText(soakText(options->length));
        window.setSpeedSelected(options->level, true);
        window.setDirectionSelected(Direction::Left, true);
        auto *start = window.findChild<QPushButton *>(QStringLiteral("cmdStart"));
        auto *tmrMain = window.findChild<QTimer *>(QStringLiteral("tmrMain"));
        auto *field = window.findChild<QWidget *>(QStringLiteral("txtMarquee"));
        if (!start || !tmrMain || !field) {
            std::fprintf(stderr, "soak: the window lacks cmdStart, tmrMain or txtMarquee\n");
            return 2;
        }
        start->click();
        if (!window.isScrollTimerEnabled()) {
            std::fprintf(stderr, "soak: Start did not start the scroll timer\n");
            return 2;
        }
        // The ticks are driven here, one after the other, rather than by the clock.
        tmrMain->stop();

        std::printf("soak: %d characters, speed level %d, %ld ticks, warm-up %ld\n", options->length,
                    options->level, options->ticks, options->warmup);
        std::printf("%10s %12s %12s %12s\n", "tick", "rss_kib", "heap_kib", "ms_per_tick");

        const QString first = window.text();
        const long step = std::max(1L, options->ticks / 20);
        std::optional<Sample> warm;
        Sample last{};
        QElapsedTimer clock;
        clock.start();
        long ticksSinceSample = 0;
        for (long tick = 1; tick <= options->ticks; ++tick) {
            QMetaObject::invokeMethod(tmrMain, "timeout");
            field->repaint();
            if (tick % 100 == 0)
                QCoreApplication::processEvents();
            ++ticksSinceSample;
            if (tick == options->warmup || tick % step == 0 || tick == options->ticks) {
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                last = {tick, procStatusKib("VmRSS"), liveHeapKib(),
                        static_cast<double>(clock.nsecsElapsed()) / 1e6 /
                            static_cast<double>(ticksSinceSample)};
                printSample(last);
                if (tick == options->warmup)
                    warm = last;
                clock.restart();
                ticksSinceSample = 0;
            }
        }

        // Every tick moves the text one character: after a whole number of turns it is
        // back where it started, so a wrong rotation shows here.
        const qsizetype length = first.size();
        const bool textIntact =
            window.text().size() == length && (options->ticks % length != 0 || window.text() == first);
        window.setScrollTimerEnabled(false);

        const long rssGrowth = last.rssKib - warm->rssKib;
        const long heapGrowth = last.heapKib - warm->heapKib;
        std::printf("\nfrom tick %ld to %ld: resident %+ld KiB, live heap %+ld KiB (limit %ld KiB)\n",
                    warm->tick, last.tick, rssGrowth, heapGrowth, options->limitKib);
        if (!textIntact) {
            std::printf("FAIL: the text changed length or did not come round\n");
            exitCode = 1;
        }
        if (rssGrowth >= options->limitKib || heapGrowth >= options->limitKib) {
            std::printf("FAIL: memory grew by %ld KiB\n", std::max(rssGrowth, heapGrowth));
            exitCode = 1;
        }
        if (!messages.messages.isEmpty()) {
            std::printf("FAIL: the window showed a message\n");
            exitCode = 1;
        }
    }
    if (exitCode == 0)
        std::printf("PASS\n");
    return exitCode;
}
