// SPDX-License-Identifier: MIT
#include "io/textfollower.h"

#include "io/textencoding.h"
#include "io/textfiles.h"
#include "window/initialstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace {

// No character takes more than three bytes; a line break may end in a carriage return.
constexpr qsizetype kMaxLineBytes = qsizetype(InitialState::kMaxTextLength) * 3 + 1;

QString withoutLineBreak(QString text)
{
    if (text.endsWith(u"\r\n"))
        text.chop(2);
    else if (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    return text;
}

QString lineTooLong()
{
    return QCoreApplication::translate("TextFollower",
                                       "a line holds more than %1 characters, more than the display holds")
        .arg(QLocale().toString(InitialState::kMaxTextLength));
}

} // namespace

TextFollower::TextFollower(QObject *parent) : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleTime);
    connect(&m_settle, &QTimer::timeout, this, &TextFollower::settleTimeOver);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &TextFollower::fileMayHaveChanged);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &TextFollower::fileMayHaveChanged);
}

TextFollower::~TextFollower() = default;

void TextFollower::follow(const QString &fileName)
{
    if (fileName == u"-") {
        followLines(STDIN_FILENO);
        return;
    }
    const QFileInfo info(fileName);
    m_fileName = info.absoluteFilePath();
    m_shownName = QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(fileName));
    // The folder sees the file replaced, deleted and created again; the file's own
    // watch sees it rewritten in place.
    if (QFileInfo(info.absolutePath()).isDir())
        m_watcher.addPath(info.absolutePath());
    watchFile();
    readFile();
}

void TextFollower::watchFile()
{
    // After a rename or a deletion the watch is on the old file, or gone: it goes on
    // whatever file bears the name now.
    if (m_watcher.files().contains(m_fileName))
        m_watcher.removePath(m_fileName);
    if (QFileInfo::exists(m_fileName))
        m_watcher.addPath(m_fileName);
}

void TextFollower::fileMayHaveChanged()
{
    watchFile();
    // A wait under way compares the file at its end, and so sees this change too.
    if (m_settle.isActive())
        return;
    m_stamp = stamp();
    m_settle.start();
}

void TextFollower::settleTimeOver()
{
    const Stamp now = stamp();
    if (now != m_stamp) {
        m_stamp = now;
        m_settle.start();
        return;
    }
    readFile();
}

TextFollower::Stamp TextFollower::stamp() const
{
    const QFileInfo info(m_fileName);
    if (!info.exists())
        return {};
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch()};
}

void TextFollower::readFile()
{
    QString text;
    if (const auto failure = TextFiles::read(m_fileName, InitialState::kMaxTextLength, text)) {
        report(*failure);
        return;
    }
    deliver(withoutLineBreak(std::move(text)));
}

void TextFollower::followLines(int descriptor)
{
    m_shownName = tr("standard input");
    if (::fcntl(descriptor, F_GETFL) < 0) {
        report(qt_error_string(errno));
        Q_EMIT finished();
        return;
    }
    m_lines = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    connect(m_lines.get(), &QSocketNotifier::activated, this, &TextFollower::readLines);
}

void TextFollower::readLines()
{
    char buffer[16384];
    const ssize_t count = ::read(int(m_lines->socket()), buffer, sizeof buffer);
    if (count < 0) {
        if (errno == EAGAIN || errno == EINTR)
            return;
        report(qt_error_string(errno));
        endLines();
        return;
    }
    if (count == 0) {
        // The last line may lack its line break.
        if (!m_partialLine.isEmpty() || m_lineTooLong)
            takeLine(std::exchange(m_partialLine, {}));
        endLines();
        return;
    }
    const char *const end = buffer + count;
    for (const char *start = buffer; start < end;) {
        const char *const lineEnd = std::find(start, end, '\n');
        m_partialLine.append(start, lineEnd - start);
        if (lineEnd != end)
            takeLine(std::exchange(m_partialLine, {}));
        start = lineEnd + 1;
    }
    // A line that cannot fit is not kept while it lasts.
    if (m_partialLine.size() > kMaxLineBytes) {
        m_lineTooLong = true;
        m_partialLine.clear();
    }
}

void TextFollower::takeLine(QByteArray line)
{
    if (std::exchange(m_lineTooLong, false)) {
        report(lineTooLong());
        return;
    }
    if (line.endsWith('\r'))
        line.chop(1);
    const QString text = TextEncoding::decode(line);
    if (text.size() > InitialState::kMaxTextLength) {
        report(lineTooLong());
        return;
    }
    deliver(text);
}

void TextFollower::endLines()
{
    m_lines->setEnabled(false);
    Q_EMIT finished();
}

void TextFollower::deliver(const QString &text)
{
    m_problem.clear();
    if (m_hasText && text == m_text)
        return;
    m_text = text;
    m_hasText = true;
    Q_EMIT textChanged(text);
}

void TextFollower::report(const QString &reason)
{
    const QString message = tr("Cannot follow %1: %2.").arg(m_shownName, reason);
    if (message == m_problem)
        return;
    m_problem = message;
    Q_EMIT problem(message);
}
