// SPDX-License-Identifier: MIT
#include "io/textfiles.h"

#include "io/textencoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// No character takes more than three bytes of UTF-8 per UTF-16 unit, and Windows-1252
// takes one; a longer file cannot fit, but for a byte-order mark in front, which is not
// part of the text.
constexpr qsizetype kMaxBytesPerCharacter = 3;
constexpr qsizetype kByteOrderMarkBytes = 3;

// A temporary file is named ".<name>.tickora-save-" and six random letters or digits, so
// that it is hidden, tells which file it replaces, and no file of the user's looks like it.
constexpr QLatin1String kTemporaryMark(".tickora-save-");
constexpr int kTemporaryRandomLength = 6;

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

QString temporaryPrefix(const QString &fileName)
{
    return QLatin1Char('.') + fileName + kTemporaryMark;
}

// Writes every byte and flushes. A short write or a failed flush must not count as
// written; Qt reports neither with a reason of its own, so the system's is taken.
std::optional<QString> writeAll(QFileDevice &file, const QByteArray &bytes)
{
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError)
        return writeFailure(file, errno);
    return std::nullopt;
}

QByteArray nativeName(const QString &fileName)
{
    return QFile::encodeName(fileName);
}

// Takes over `fd` into `file` when it is a regular file; closes it otherwise.
std::optional<QString> adoptRegularFile(int fd, const QString &fileName, QIODevice::OpenMode mode,
                                        QFile &file)
{
    if (fd < 0)
        return qt_error_string(errno);
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return notRegularFile(QFileInfo(fileName));
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return std::nullopt;
}

enum class NameKind { NotALink, SafeLink, UnsafeLink };

// A link is safe to follow when the running user owns it and no one else can replace
// it: its folder belongs to the user or root and no one else may write there, or the
// folder is sticky, so that only the link's owner may remove or rename it.
NameKind nameKind(const QString &fileName)
{
    struct stat link = {};
    if (::lstat(nativeName(fileName).constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return NameKind::NotALink;
    struct stat folder = {};
    const uid_t user = ::geteuid();
    if (link.st_uid != user || ::stat(nativeName(QFileInfo(fileName).path()).constData(), &folder) != 0)
        return NameKind::UnsafeLink;
    const bool trustedOwner = folder.st_uid == user || folder.st_uid == 0;
    const bool othersMayWrite = (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    const bool sticky = (folder.st_mode & S_ISVTX) != 0;
    return trustedOwner && (!othersMayWrite || sticky) ? NameKind::SafeLink : NameKind::UnsafeLink;
}

QString unsafeLink()
{
    return QCoreApplication::translate("TextFiles", "it is a link that another user owns or could replace");
}

// Opens a regular file for reading without ever waiting: the file may have been
// replaced by a pipe since it was looked at. A name that must not be followed is opened
// so that a link planted since it was looked at is refused.
std::optional<QString> openRegularFile(const QString &fileName, TextFiles::Links links, QFile &file)
{
    int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if (links == TextFiles::Links::FollowOwn) {
        const NameKind kind = nameKind(fileName);
        if (kind == NameKind::UnsafeLink)
            return unsafeLink();
        if (kind == NameKind::NotALink)
            flags |= O_NOFOLLOW;
    }
    return adoptRegularFile(::open(nativeName(fileName).constData(), flags), fileName, QIODevice::ReadOnly,
                            file);
}

// The data must be on the disk before the name points to it. A file system that cannot
// sync says so with EINVAL; that is no failure of the write.
std::optional<QString> syncToDisk(const QFile &file)
{
    if (::fsync(file.handle()) != 0 && errno != EINVAL)
        return qt_error_string(errno);
    return std::nullopt;
}

// Overwrites the file itself. This is not atomic: a failure or a crash part-way leaves
// the file cut short. It serves only where the folder takes no temporary file, and the
// alternative is to write nothing at all.
std::optional<QString> writeInPlace(const QString &target, const QByteArray &bytes)
{
    QFile file;
    const int fd =
        ::open(nativeName(target).constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (const auto failure = adoptRegularFile(fd, target, QIODevice::WriteOnly, file))
        return failure;
    if (::ftruncate(file.handle(), 0) != 0)
        return qt_error_string(errno);
    if (const auto failure = writeAll(file, bytes))
        return failure;
    return syncToDisk(file);
}

// A new file beside `target`, under a fresh hidden name. It never follows a link and
// never takes over a file that is there; a save killed before its rename leaves it
// behind for the next Save or Delete to remove. -1 and errno when none can be made.
int createTemporary(const QFileInfo &target, QString &name)
{
    static constexpr char kCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    constexpr int kTries = 100;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        name = target.dir().filePath(temporaryPrefix(target.fileName()));
        for (int index = 0; index < kTemporaryRandomLength; ++index)
            name +=
                QLatin1Char(kCharacters[QRandomGenerator::global()->bounded(int(sizeof kCharacters - 1))]);
        const int fd =
            ::open(nativeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Writes a new file beside the target and renames it over the target, which keeps its
// permissions.
std::optional<QString> replaceBeside(const QString &target, const struct stat *existing,
                                     const QByteArray &bytes)
{
    QString temporary;
    const int fd = createTemporary(QFileInfo(target), temporary);
    if (fd < 0) {
        const int error = errno;
        // A folder without write access: a writable file in it is still written.
        if (error == EACCES && existing)
            return writeInPlace(target, bytes);
        return qt_error_string(error);
    }
    QFile file;
    std::optional<QString> failure = adoptRegularFile(fd, target, QIODevice::WriteOnly, file);
    if (!failure && existing && ::fchmod(fd, existing->st_mode & 0777) != 0)
        failure = qt_error_string(errno);
    if (!failure)
        failure = writeAll(file, bytes);
    if (!failure)
        failure = syncToDisk(file);
    file.close();
    if (!failure && ::rename(nativeName(temporary).constData(), nativeName(target).constData()) != 0)
        failure = qt_error_string(errno);
    if (failure)
        ::unlink(nativeName(temporary).constData());
    return failure;
}

// The name at the end of a chain of links; it need not exist.
std::optional<QString> finalName(const QString &fileName)
{
    constexpr int kMaxLinks = 40; // as the system allows
    QFileInfo info(fileName);
    for (int link = 0; link < kMaxLinks && info.isSymLink(); ++link)
        info.setFile(info.symLinkTarget());
    if (info.isSymLink())
        return std::nullopt;
    return info.filePath();
}

} // namespace

namespace TextFiles {

std::variant<QByteArray, ReadFailure> readBytes(const QString &fileName, qsizetype maxBytes, Links links)
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
    if (const auto failure = openRegularFile(fileName, links, file))
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

std::optional<QString> write(const QString &fileName, const QByteArray &bytes, Links links)
{
    if (fileName.isEmpty())
        return QCoreApplication::translate("TextFiles", "no file name was given");
    const NameKind kind = links == Links::FollowOwn ? nameKind(fileName) : NameKind::SafeLink;
    if (kind == NameKind::UnsafeLink)
        return unsafeLink();
    // A name that was no link is written as it stands: the rename replaces whatever has
    // taken its place since, and the write in place refuses a link.
    const std::optional<QString> target = kind == NameKind::NotALink ? fileName : finalName(fileName);
    if (!target)
        return qt_error_string(ELOOP);

    struct stat status = {};
    const bool exists = ::stat(nativeName(*target).constData(), &status) == 0;
    // Replacing a device or pipe by a new file would be a surprise at best, and a file
    // that the user made read-only stays as it is.
    if (exists && !S_ISREG(status.st_mode))
        return notRegularFile(QFileInfo(*target));
    if (exists && ::faccessat(AT_FDCWD, nativeName(*target).constData(), W_OK, AT_EACCESS) != 0)
        return qt_error_string(errno);
    return replaceBeside(*target, exists ? &status : nullptr, bytes);
}

void removeLeftovers(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QDir folder = info.dir();
    const QString pattern = temporaryPrefix(info.fileName()) + QString(kTemporaryRandomLength, u'?');
    const QStringList names =
        folder.entryList({pattern}, QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::CaseSensitive);
    // Removing never follows a link, should one have taken a name's place meanwhile.
    for (const QString &name : names)
        QFile::remove(folder.filePath(name));
}

} // namespace TextFiles
