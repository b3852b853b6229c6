#include "io/textfiles.h"

#include "io/textencoding.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// No character takes more than three bytes of UTF-8 per UTF-16 unit, and Windows-1252
// takes one; a longer file cannot fit, but for a byte-order mark in front, which is not
// part of the text.
constexpr qsizetype kMaxBytesPerCharacter = 3;
constexpr qsizetype kByteOrderMarkBytes = 3;

QString notRegularFile(const QFileInfo &info)
{
    return info.isDir() ? QCoreApplication::translate("TextFiles", "it is a folder")
                        : QCoreApplication::translate(
                              "TextFiles", "it is not an ordinary file (a device, pipe or socket)");
}

QString tooLong(qsizetype maxLength)
{
    return QCoreApplication::translate("TextFiles",
                                       "it holds more than %1 characters, more than the display holds")
        .arg(QLocale().toString(maxLength));
}

QString writeFailure(const QFileDevice &file, int systemError)
{
    if (systemError != 0)
        return qt_error_string(systemError);
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return QCoreApplication::translate("TextFiles", "not every byte could be written");
}

// Opens a regular file for reading without ever waiting: the file may have been
// replaced by a pipe since it was looked at.
std::optional<QString> openRegularFile(const QString &fileName, QFile &file)
{
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return qt_error_string(errno);
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return notRegularFile(QFileInfo(fileName));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
#else
    file.setFileName(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
#endif
    return std::nullopt;
}

} // namespace

namespace TextFiles {

std::variant<QByteArray, ReadFailure> readBytes(const QString &fileName, qsizetype maxBytes)
{
    if (fileName.isEmpty())
        return ReadFailure{QCoreApplication::translate("TextFiles", "no file name was given")};
    const QFileInfo info(fileName);
    if (!info.exists())
        return ReadFailure{QCoreApplication::translate("TextFiles", "the file does not exist")};
    if (!info.isFile())
        return ReadFailure{notRegularFile(info)};
    if (info.size() > maxBytes)
        return ReadFailure{QString(), true};

    QFile file;
    if (const auto failure = openRegularFile(fileName, file))
        return ReadFailure{*failure};
    // One byte more than allowed tells a file that grew since it was looked at.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return ReadFailure{file.errorString()};
    if (bytes.size() > maxBytes)
        return ReadFailure{QString(), true};
    return bytes;
}

std::optional<QString> read(const QString &fileName, qsizetype maxLength, QString &text)
{
    const auto bytes = readBytes(fileName, maxLength * kMaxBytesPerCharacter + kByteOrderMarkBytes);
    if (const auto *failure = std::get_if<ReadFailure>(&bytes))
        return failure->tooLarge ? tooLong(maxLength) : failure->reason;
    QString decoded = TextEncoding::decode(std::get<QByteArray>(bytes));
    if (decoded.size() > maxLength)
        return tooLong(maxLength);
    text = std::move(decoded);
    return std::nullopt;
}

std::optional<QString> write(const QString &fileName, const QByteArray &bytes)
{
    if (fileName.isEmpty())
        return QCoreApplication::translate("TextFiles", "no file name was given");
    // Replacing a device or pipe by a new file would be a surprise at best.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return notRegularFile(info);

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // A short write or a failed flush must not reach commit(), which would put the
    // incomplete file in place of the old one. Qt reports neither with a reason of its
    // own, so the system's is taken.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = writeFailure(file, errno);
        file.cancelWriting();
        return reason;
    }
    errno = 0;
    if (!file.commit())
        return writeFailure(file, errno);
    return std::nullopt;
}

} // namespace TextFiles
