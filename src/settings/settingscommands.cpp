#include "settings/settingscommands.h"

#include "settings/settingsfile.h"
#include "window/services.h"

void SettingsCommands::restoreAtStartup()
{
    m_window.setFontSize(320);
}

void SettingsCommands::save() {}

void SettingsCommands::load() {}

void SettingsCommands::deleteFiles() {}

void SettingsCommands::exit()
{
    m_programEnd.endProgram();
}

std::optional<QString> SettingsCommands::writeFontFile(const SettingsRecord &record)
{
    return SettingsFile::write(QStringLiteral("font"),
                               {record.strFontName, record.strFontSize, record.strFontBold,
                                record.strFontItalic, record.strFontUnderline});
}
