// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// One settings file: a single record of double-quoted values joined by commas and ended
// by CR LF, found by its bare name in the current directory.
namespace SettingsFile {

// No record comes near this; anything larger is not a settings file.
inline constexpr qint64 kMaxFileSize = 1024 * 1024;

// A settings name that is a symbolic link is followed only when the running user owns
// the link and no one else can replace it; otherwise the file is unreadable, and a write
// is refused.

// Writes the record atomically: after a failure the old file is whole (but for a folder
// without write access, where a writable file is written in place). Returns the reason
// on failure.
[[nodiscard]] std::optional<QString> write(const QString &fileName, const QStringList &values);

// The values of the file's record, at most `count` of them; fewer (or none) when the
// file is short, missing or unreadable.
[[nodiscard]] QStringList read(const QString &fileName, int count);

// The whole content of a regular file of at most kMaxFileSize bytes. Anything else (a
// folder, a FIFO, a device, a link to one, a larger file) is unreadable, and is found
// so without waiting on it.
[[nodiscard]] std::optional<QByteArray> readBytes(const QString &fileName);

// Removes the temporary files of `fileName` that a killed write left behind.
void removeLeftovers(const QString &fileName);

} // namespace SettingsFile
