#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// One settings file: a single record of double-quoted values joined by commas and ended
// by CR LF, found by its bare name in the current directory.
namespace SettingsFile {

// Writes the record atomically: after a failure the old file is whole. Returns the
// reason on failure.
[[nodiscard]] std::optional<QString> write(const QString &fileName, const QStringList &values);

// The values of the file's record, at most `count` of them; fewer (or none) when the
// file is short, missing or unreadable.
[[nodiscard]] QStringList read(const QString &fileName, int count);

} // namespace SettingsFile
