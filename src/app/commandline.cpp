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

    void addTo(QCommandLineParser &parser) const { parser.addOptions({help, version, folder, ownFolder}); }
};

// The own folder lies below the user's data folder, never in the home folder itself,
// where the user's own files named "text" or "font" would be overwritten.
QString ownFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = QDir::cleanPath(data + QStringLiteral("/tickora"));
    return data.isEmpty() || folder == QDir::cleanPath(QDir::homePath()) ? QString() : folder;
}

CommandLine rejected(const QString &error)
{
    return {CommandLine::Action::RejectUsage, error, std::nullopt};
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
        return {CommandLine::Action::ShowHelp, help, std::nullopt};
    }
    if (parser.isSet(options.version))
        return {CommandLine::Action::ShowVersion,
                kProgram + u' ' + QCoreApplication::applicationVersion() + u'\n', std::nullopt};

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
