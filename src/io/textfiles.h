#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Whole-file reading and writing for the import and export commands. Each returns the
// reason in words when it fails, nothing when it succeeds.
namespace TextFiles {

// Reads the file as text into `text` when it holds at most `maxLength` characters.
// Only regular files are opened, so a pipe or device named by the user never blocks,
// and a file too large to hold that many characters is refused before it is read.
// On failure `text` is left as it was.
[[nodiscard]] std::optional<QString> read(const QString &fileName, qsizetype maxLength, QString &text);

// Replaces the file with `bytes` atomically: after any failure the old file is whole.
[[nodiscard]] std::optional<QString> write(const QString &fileName, const QByteArray &bytes);

} // namespace TextFiles
