// SPDX-License-Identifier: MIT
#pragma once

#include "settings/settingsrecord.h"

#include <QString>

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

    // Presets the 320-point size, then reads and applies every settings file. Silent.
    void restoreAtStartup();
    // Gathers the window's state into the record and writes "text", "color", "speed"
    // and "dirct"; one message names the files that could not be written.
    void save();
    // Reads and applies every settings file; where a file is missing or short, the
    // record's values are applied again. Silent.
    void load();
    // Removes the five settings files; one message names those that stay. The window
    // and the record stay as they are.
    void deleteFiles();
    // Saves, and ends the program only when all four files were written; otherwise the
    // message says so and the window stays open.
    void exit();

    // Writes the "font" file from the record's five font fields; the reason on failure.
    [[nodiscard]] static std::optional<QString> writeFontFile(const SettingsRecord &record);

private:
    enum class Command { Save, Exit };

    void restoreSequence();
    void read(SettingsFileId file);
    void applyText();
    void applyColours();
    void applySpeeds();
    void applyDirection();
    void applyFont();
    void gather();
    // True when all four files were written; otherwise shows the message.
    bool writeAndReport(Command command);

    WindowAccess &m_window;
    SettingsRecord &m_record;
    MessageBox &m_messages;
    ProgramEnd &m_programEnd;
};
