#pragma once

#include "settings/settingsrecord.h"

#include <optional>

class MessageBox;
class ProgramEnd;
class WindowAccess;

// The start-up restore and the Save, Load, Delete and Exit commands.
class SettingsCommands
{
public:
    SettingsCommands(WindowAccess &window, SettingsRecord &record, MessageBox &messages,
                     ProgramEnd &programEnd)
        : m_window(window), m_record(record), m_messages(messages), m_programEnd(programEnd)
    {
    }

    void restoreAtStartup();
    void save();
    void load();
    void deleteFiles();
    void exit();

    // Writes the "font" file from the record's five font fields; the reason on failure.
    [[nodiscard]] static std::optional<QString> writeFontFile(const SettingsRecord &record);

private:
    WindowAccess &m_window;
    SettingsRecord &m_record;
    MessageBox &m_messages;
    ProgramEnd &m_programEnd;
};
