// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

// Whole-file reading and writing, for every file the program touches: the settings
// files, imported text and the exports. Failures come back as a reason in words.
namespace TextFiles {

// Which symbolic links a name may lead through.
enum class Links {
    // Any: the user picked the name.
    FollowAny,
    // Only a link that the running user owns and that no one else can replace (its
    // folder belongs to the user or root and is writable by no one else, or is sticky):
    // for fixed names in a folder where someone else may have planted a link.
    FollowOwn,
};

struct ReadFailure
{
    QString reason;
    bool tooLarge = false;
};

// The bytes of a regular file of at most `maxBytes` bytes. Only regular files are
// opened, and never in a way that waits, so a pipe or device never blocks; a larger
// file is refused before it is read.
[[nodiscard]] std::variant<QByteArray, ReadFailure> readBytes(const QString &fileName, qsizetype maxBytes,
                                                              Links links = Links::FollowAny);

// Reads the file as text into `text` when it holds at most `maxLength` characters.
// On failure `text` is left as it was.
[[nodiscard]] std::optional<QString> read(const QString &fileName, qsizetype maxLength, QString &text);

// Replaces the file with `bytes` atomically through a hidden temporary file beside it:
// after any failure the old file is whole. Where the folder takes no new file, an
// existing file is written in place instead, which is not atomic. A name that leads to
// anything but a regular file (a folder, a device, a pipe, a link to one) is refused
// rather than replaced.
[[nodiscard]] std::optional<QString> write(const QString &fileName, const QByteArray &bytes,
                                           Links links = Links::FollowAny);

// Removes the temporary files of `fileName` that a killed write left beside it: regular
// files only, links are left alone.
void removeLeftovers(const QString &fileName);

} // namespace TextFiles
