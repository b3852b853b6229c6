#include "app/commandline.h"
#include "app/mainwindow.h"
#include "app/translations.h"

#include <QApplication>
#include <QList>
#include <QLocale>

#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// Without a usable display Qt warns about its platform plugin and then ends the program
// with a fatal message ("... Reinstalling the application may fix this problem") and a
// core dump. While the application object is made, its messages are held back, and that
// failure becomes one line and status 1.
class PlatformGuard
{
public:
    PlatformGuard() { s_previous = qInstallMessageHandler(&PlatformGuard::handle); }

    // The platform started: what it said goes out as usual.
    ~PlatformGuard()
    {
        qInstallMessageHandler(s_previous);
        for (const HeldMessage &held : std::as_const(s_held))
            s_previous(held.type, QMessageLogContext(nullptr, 0, nullptr, held.category), held.text);
        s_held.clear();
    }

private:
    struct HeldMessage
    {
        QtMsgType type;
        const char *category;
        QString text;
    };

    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (type != QtFatalMsg) {
            s_held.append({type, context.category, text});
            return;
        }
        if (!text.contains(QLatin1String("platform plugin"))) {
            s_previous(type, context, text); // Qt aborts after any other fatal message
            return;
        }
        // The platform's own words say why best; the plugin loader's say which one failed.
        QString platformWords;
        QString loaderWords;
        for (const HeldMessage &held : std::as_const(s_held))
            (qstrcmp(held.category, "qt.qpa.plugin") == 0 ? loaderWords : platformWords) =
                held.text.trimmed();
        const QString reason = !platformWords.isEmpty() ? platformWords
                               : !loaderWords.isEmpty() ? loaderWords
                                                        : QStringLiteral("no usable display");
        print(stderr, QStringLiteral("tickora: cannot show the window (%1); set DISPLAY or WAYLAND_DISPLAY "
                                     "to a running display server\n")
                          .arg(reason));
        _exit(1);
    }

    static inline QtMessageHandler s_previous = nullptr;
    static inline QList<HeldMessage> s_held;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("tickora"));
    QApplication::setApplicationVersion(QStringLiteral(TICKORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.example.Tickora"));

    // Help, version and usage errors need no display; the folder is entered before the
    // window's start-up restore reads the settings files.
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments.append(QString::fromLocal8Bit(argv[index]));
    const CommandLine commandLine = parseCommandLine(arguments);
    switch (commandLine.action) {
    case CommandLine::Action::ShowHelp:
    case CommandLine::Action::ShowVersion:
        print(stdout, commandLine.message);
        return 0;
    case CommandLine::Action::RejectUsage:
        print(stderr, QStringLiteral("tickora: %1\n%2\n").arg(commandLine.message, usageHint()));
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    if (commandLine.folder) {
        if (const auto error = enterFolder(*commandLine.folder)) {
            print(stderr, QStringLiteral("tickora: %1\n").arg(*error));
            return 1;
        }
    }

    std::optional<PlatformGuard> guard(std::in_place);
    QApplication app(argc, argv);
    guard.reset();
    const Translations translations{QLocale()};

    MainWindow window;
    window.show();
    return QApplication::exec();
}
