// SPDX-License-Identifier: MIT
#include "settings/settingsfile.h"

#include "io/textencoding.h"
#include "io/textfiles.h"
#include "settings/recordformat.h"

namespace SettingsFile {

std::optional<QString> write(const QString &fileName, const QStringList &values)
{
    return TextFiles::write(fileName, TextEncoding::encode(RecordFormat::compose(values)),
                            TextFiles::Links::FollowOwn);
}

std::optional<QByteArray> readBytes(const QString &fileName)
{
    auto bytes = TextFiles::readBytes(fileName, kMaxFileSize, TextFiles::Links::FollowOwn);
    if (auto *content = std::get_if<QByteArray>(&bytes))
        return std::move(*content);
    return std::nullopt;
}

QStringList read(const QString &fileName, int count)
{
    const std::optional<QByteArray> bytes = readBytes(fileName);
    if (!bytes)
        return {};
    return RecordFormat::parse(TextEncoding::decode(*bytes), count);
}

void removeLeftovers(const QString &fileName)
{
    TextFiles::removeLeftovers(fileName);
}

} // namespace SettingsFile
