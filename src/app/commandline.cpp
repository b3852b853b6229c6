// SPDX-License-Identifier: MIT
#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kProgram = QStringLiteral("tickora");

// Every option of the program, in the order --help lists them.
struct Options
{
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};
    QCommandLineOption folder{QStringLiteral("folder"),
                              QStringLiteral("Keep the settings files in DIR (created with mode 0700 if "
                                             "missing) instead of the current directory."),
                              QStringLiteral("DIR")};
    QCommandLineOption ownFolder{QStringLiteral("own-folder"),
                                 QStringLiteral("Keep the settings files in Tickora's own folder, "
                                                "$XDG_DATA_HOME/tickora (by default ~/.local/share/tickora), "
                                                "as the menu launcher does.")};
    QCommandLineOption text{QStringLiteral("text"), QStringLiteral("Show TEXT in the display."),
                            QStringLiteral("TEXT")};
    QCommandLineOption import{QStringLiteral("import"),
                              QStringLiteral("Show the text of FILE, read as the Import button reads it."),
                              QStringLiteral("FILE")};
    QCommandLineOption speed{QStringLiteral("speed"), QStringLiteral("Select speed LEVEL, 1 to 12."),
                             QStringLiteral("LEVEL")};
    QCommandLineOption direction{QStringLiteral("direction"),
                                 QStringLiteral("Scroll to the left or to the right."),
                                 QStringLiteral("left|right")};
    QCommandLineOption start{QStringLiteral("start"), QStringLiteral("Start scrolling at once.")};
    QCommandLineOption fullScreen{QStringLiteral("fullscreen"),
                                  QStringLiteral("Show the display alone on a whole screen (F11 in the "
                                                 "window; Esc, F11 or a double-click leaves).")};
    QCommandLineOption screen{QStringLiteral("screen"),
                              QStringLiteral("The screen for the full-screen display, by its name or its "
                                             "number counted from 0; by default the window's screen."),
                              QStringLiteral("NAME|N")};
    QCommandLineOption follow{QStringLiteral("follow"),
                              QStringLiteral("Show the text of FILE and follow its changes; with -, show "
                                             "each line read from standard input."),
                              QStringLiteral("FILE")};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOptions({help, version, folder, ownFolder, text, import, speed, direction, start,
                           fullScreen, screen, follow});
    }
};

// The own folder lies below the user's data folder, never in the home folder itself,
// where the user's own files named "text" or "font" would be overwritten.
QString ownFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = QDir::cleanPath(data + QStringLiteral("/tickora"));
    return data.isEmpty() || folder == QDir::cleanPath(QDir::homePath()) ? QString() : folder;
}

CommandLine answer(CommandLine::Action action, const QString &message)
{
    CommandLine result;
    result.action = action;
    result.message = message;
    return result;
}

CommandLine rejected(const QString &error)
{
    return answer(CommandLine::Action::RejectUsage, error);
}

// The options that say what a display shows and how; the reason when a value is bad.
std::optional<QString> readDisplayOptions(const QCommandLineParser &parser, const Options &options,
                                          CommandLine &result)
{
    // One option, given once: a second value would silently win over the first.
    for (const QCommandLineOption *option : {&options.text, &options.import, &options.speed,
                                             &options.direction, &options.screen, &options.follow}) {
        if (parser.values(*option).size() > 1)
            return QStringLiteral("Option '--%1' is given more than once.").arg(option->names().constFirst());
        if (parser.isSet(*option) && parser.value(*option).isEmpty() && option != &options.text)
            return QStringLiteral("Empty value for option '--%1'.").arg(option->names().constFirst());
    }
    const int sources = int(parser.isSet(options.text)) + int(parser.isSet(options.import)) +
                        int(parser.isSet(options.follow));
    if (sources > 1)
        return QStringLiteral("Options '--text', '--import' and '--follow' exclude each other.");
    if (parser.isSet(options.text))
        result.text = parser.value(options.text);
    if (parser.isSet(options.import))
        result.importFile = QDir::current().absoluteFilePath(parser.value(options.import));
    if (parser.isSet(options.follow)) {
        const QString file = parser.value(options.follow);
        result.follow = file == QStringLiteral("-") ? file : QDir::current().absoluteFilePath(file);
    }
    if (parser.isSet(options.speed)) {
        bool isNumber = false;
        const int level = parser.value(options.speed).toInt(&isNumber);
        if (!isNumber || level < 1 || level > kSpeedLevelCount)
            return QStringLiteral("Invalid speed '%1': give a level from 1 to %2.")
                .arg(parser.value(options.speed))
                .arg(kSpeedLevelCount);
        result.speed = level;
    }
    if (parser.isSet(options.direction)) {
        const QString name = parser.value(options.direction);
        if (name != QLatin1String("left") && name != QLatin1String("right"))
            return QStringLiteral("Invalid direction '%1': give left or right.").arg(name);
        result.direction = name == QLatin1String("left") ? Direction::Left : Direction::Right;
    }
    result.start = parser.isSet(options.start);
    result.fullScreen = parser.isSet(options.fullScreen);
    if (parser.isSet(options.screen))
        result.screen = parser.value(options.screen);
    return std::nullopt;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    const Options options;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A desktop marquee: one window whose huge text field scrolls a text.\n"
                       "Without options the settings files are read and written in the current directory."));
    options.addTo(parser);

    if (!parser.parse(arguments))
        return rejected(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return rejected(
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    if (parser.isSet(options.help)) {
        // Without an application object the parser cannot know the program's name.
        QString help = parser.helpText();
        help.replace(QStringLiteral("<executable_name>"), kProgram);
        return answer(CommandLine::Action::ShowHelp, help);
    }
    if (parser.isSet(options.version))
        return answer(CommandLine::Action::ShowVersion,
                      kProgram + u' ' + QCoreApplication::applicationVersion() + u'\n');

    CommandLine result;
    if (parser.isSet(options.folder) && parser.isSet(options.ownFolder))
        return rejected(QStringLiteral("Options '--folder' and '--own-folder' exclude each other."));
    if (parser.isSet(options.folder)) {
        result.folder = parser.value(options.folder);
        if (result.folder->isEmpty())
            return rejected(QStringLiteral("Empty value for option '--folder'."));
    } else if (parser.isSet(options.ownFolder)) {
        result.folder = ownFolder();
    }
    if (const auto error = readDisplayOptions(parser, options, result))
        return rejected(*error);
    return result;
}

QString usageHint()
{
    return QStringLiteral("Try '%1 --help' for more information.").arg(kProgram);
}

std::optional<QString> enterFolder(const QString &folder)
{
    if (folder.isEmpty())
        return QStringLiteral("found no folder of its own: set HOME or XDG_DATA_HOME");
    const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(folder));
    // Every folder made on the way is private to the user, as the XDG base directories ask.
    for (qsizetype end = path.indexOf(u'/', 1);; end = path.indexOf(u'/', end + 1)) {
        const QByteArray part = QFile::encodeName(end < 0 ? path : path.left(end));
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return QStringLiteral("cannot create the folder '%1': %2").arg(folder, qt_error_string(errno));
        if (end < 0)
            break;
    }
    if (::chdir(QFile::encodeName(path).constData()) != 0)
        return QStringLiteral("cannot enter the folder '%1': %2").arg(folder, qt_error_string(errno));
    return std::nullopt;
}
