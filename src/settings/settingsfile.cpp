#include "settings/settingsfile.h"

#include "io/textencoding.h"
#include "settings/recordformat.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    [[nodiscard]] int get() const { return m_fd; }

private:
    int m_fd;
};

// The name may change between the check and the open (a FIFO put in its place), so the
// open never waits and the opened object is checked again.
std::optional<QByteArray> readRegularFile(const QString &fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    const FileDescriptor fd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return std::nullopt;
    struct stat status
    {
    };
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > SettingsFile::kMaxFileSize)
        return std::nullopt;

    QByteArray bytes(static_cast<qsizetype>(status.st_size), Qt::Uninitialized);
    qsizetype filled = 0;
    // One byte beyond the limit tells a file that grew after the check.
    char probe = 0;
    for (;;) {
        const bool intoBuffer = filled < bytes.size();
        const ssize_t got = intoBuffer
                                ? ::read(fd.get(), bytes.data() + filled, size_t(bytes.size() - filled))
                                : ::read(fd.get(), &probe, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        if (!intoBuffer)
            return std::nullopt; // grew after the check; not worth chasing
        filled += got;
    }
    bytes.truncate(filled);
    return bytes;
}
#else
std::optional<QByteArray> readRegularFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(SettingsFile::kMaxFileSize + 1);
    if (bytes.size() > SettingsFile::kMaxFileSize || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}
#endif

} // namespace

namespace SettingsFile {

std::optional<QString> write(const QString &fileName, const QStringList &values)
{
    // A link to a device or FIFO would otherwise have its target replaced.
    if (const QFileInfo existing(fileName); existing.exists() && !existing.isFile() && !existing.isDir())
        return QStringLiteral("Not a regular file");
    const QByteArray bytes = TextEncoding::encode(RecordFormat::compose(values));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // commit() may install a short file after a failed flush, so every byte must be
    // accepted and flushed before it is called. A write cut short part-way (a disk that
    // fills up) sets no error of Qt's own, so the system's reason is taken.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        QString reason = errno != 0 ? qt_error_string(errno) : file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

std::optional<QByteArray> readBytes(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.isFile() || info.size() > kMaxFileSize)
        return std::nullopt;
    return readRegularFile(fileName);
}

QStringList read(const QString &fileName, int count)
{
    const std::optional<QByteArray> bytes = readBytes(fileName);
    if (!bytes)
        return {};
    return RecordFormat::parse(TextEncoding::decode(*bytes), count);
}

} // namespace SettingsFile
