// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>

class QSocketNotifier;

// Follows a text file that another program rewrites, or the lines of standard input,
// and hands on each new text. The file is read as an import reads it (same decoding,
// same length limit) and loses one trailing line break. It is watched, together with its
// folder, so that a rewrite in place, a rename over it, and a deletion and new creation
// are all seen; after a change it is read only once it has stopped changing, so that a
// file in the middle of being written is never shown half. While the text cannot be
// read the last one stays, and the reason is said once.
class TextFollower final : public QObject
{
    Q_OBJECT

public:
    explicit TextFollower(QObject *parent = nullptr);
    ~TextFollower() override;

    // Follows the named file, or standard input for "-". A file's text comes at once.
    void follow(const QString &fileName);
    // Each line read from the descriptor becomes the new text, until its end. The
    // descriptor is left open.
    void followLines(int descriptor);

    // How long a changed file must keep its size and time of change before it is read.
    static constexpr std::chrono::milliseconds kSettleTime{100};
    void setSettleTime(std::chrono::milliseconds time) { m_settle.setInterval(time); }

Q_SIGNALS:
    void textChanged(const QString &text);
    // Why the text cannot be followed, in a line for standard error; said once for each
    // reason until a text comes through again.
    void problem(const QString &message);
    // The lines ended.
    void finished();

private:
    // What tells one version of the file from the next without reading it.
    struct Stamp
    {
        bool exists = false;
        qint64 size = 0;
        qint64 modified = 0;
        friend bool operator==(const Stamp &, const Stamp &) = default;
    };

    [[nodiscard]] Stamp stamp() const;
    void fileMayHaveChanged();
    void settleTimeOver();
    void watchFile();
    void readFile();

    void readLines();
    void takeLine(QByteArray line);
    void endLines();

    void deliver(const QString &text);
    void report(const QString &reason);

    QString m_fileName;
    QString m_shownName;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    Stamp m_stamp;

    std::unique_ptr<QSocketNotifier> m_lines;
    QByteArray m_partialLine;
    bool m_lineTooLong = false;

    QString m_text;
    bool m_hasText = false;
    QString m_problem;
};
