#include "settings/settingsfile.h"

namespace SettingsFile {

std::optional<QString> write(const QString &, const QStringList &)
{
    return std::nullopt;
}

QStringList read(const QString &, int)
{
    return {};
}

} // namespace SettingsFile
