#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

// Whole-file reading and writing, for every file the program touches: the settings
// files, imported text and the exports. Failures come back as a reason in words.
namespace TextFiles {

struct ReadFailure
{
    QString reason;
    bool tooLarge = false;
};

// The bytes of a regular file of at most `maxBytes` bytes. Only regular files are
// opened, and never in a way that waits, so a pipe or device never blocks; a larger
// file is refused before it is read.
[[nodiscard]] std::variant<QByteArray, ReadFailure> readBytes(const QString &fileName, qsizetype maxBytes);

// Reads the file as text into `text` when it holds at most `maxLength` characters.
// On failure `text` is left as it was.
[[nodiscard]] std::optional<QString> read(const QString &fileName, qsizetype maxLength, QString &text);

// Replaces the file with `bytes` atomically: after any failure the old file is whole.
// A name that leads to anything but a regular file (a folder, a device, a pipe, a link
// to one) is refused rather than replaced.
[[nodiscard]] std::optional<QString> write(const QString &fileName, const QByteArray &bytes);

} // namespace TextFiles
