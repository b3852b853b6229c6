// SPDX-License-Identifier: MIT
#include "app/commandline.h"
#include "app/mainwindow.h"
#include "app/translations.h"
#include "io/textfollower.h"
#include "io/texttransfer.h"
#include "remote/remotecontrol.h"

#include <QApplication>
#include <QDBusConnection>
#include <QList>
#include <QLocale>
#include <QScreen>

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

int rejectUsage(const QString &error)
{
    print(stderr, QStringLiteral("tickora: %1\n%2\n").arg(error, usageHint()));
    return 2;
}

// The screen that --screen names, by its name or its number.
QScreen *findScreen(const QString &wanted)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    if (isNumber)
        return number >= 0 && number < screens.size() ? screens[number] : nullptr;
    for (QScreen *screen : screens) {
        if (screen->name() == wanted)
            return screen;
    }
    return nullptr;
}

QString screenNames()
{
    QStringList names;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (qsizetype index = 0; index < screens.size(); ++index)
        names.append(QStringLiteral("%1 (%2)").arg(index).arg(screens[index]->name()));
    return names.join(QStringLiteral(", "));
}

// What the command line asks of the display, after the start-up restore and for this run
// only: nothing here writes a file.
void applyDisplayOptions(const CommandLine &commandLine, const QString &importedText, MainWindow &window)
{
    MarqueeControl &control = window.control();
    if (commandLine.text || commandLine.importFile)
        (void)control.setText(commandLine.text ? *commandLine.text : importedText);
    if (commandLine.speed)
        (void)control.setSpeed(*commandLine.speed);
    if (commandLine.direction)
        (void)control.setDirection(*commandLine.direction == Direction::Left ? MarqueeControl::kLeft
                                                                             : MarqueeControl::kRight);
    if (commandLine.start)
        control.start();
}

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
        return rejectUsage(commandLine.message);
    case CommandLine::Action::Run:
        break;
    }
    QString importedText;
    if (commandLine.importFile) {
        if (const auto message = TextTransfer::readImport(*commandLine.importFile, importedText))
            return rejectUsage(*message);
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

    QScreen *presentationScreen = nullptr;
    if (commandLine.screen) {
        presentationScreen = findScreen(*commandLine.screen);
        if (!presentationScreen)
            return rejectUsage(QStringLiteral("There is no screen '%1'; the screens are %2.")
                                   .arg(*commandLine.screen, screenNames()));
    }

    MainWindow window;
    window.setPresentationScreen(presentationScreen);
    applyDisplayOptions(commandLine, importedText, window);

    RemoteControl remote(window.control());
    QObject::connect(&remote, &RemoteControl::presentationRequested, &window, &MainWindow::setPresentation);
    if (const auto failure = remote.registerOn(QDBusConnection::sessionBus()))
        print(stderr, QStringLiteral("tickora: %1\n").arg(*failure));

    TextFollower follower;
    if (commandLine.follow) {
        QObject::connect(&follower, &TextFollower::textChanged, &window,
                         [&window](const QString &text) { (void)window.control().setText(text); });
        QObject::connect(&follower, &TextFollower::problem, &window, [](const QString &message) {
            print(stderr, QStringLiteral("tickora: %1\n").arg(message));
        });
        follower.follow(*commandLine.follow);
    }

    window.show();
    if (commandLine.fullScreen)
        window.setPresentation(true);
    return QApplication::exec();
}
