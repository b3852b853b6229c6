// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class CommonDialog;
class MessageBox;
class WindowAccess;
struct SettingsRecord;

// The colour and font commands and clearing the text. The colour commands apply the
// picked colour to the display field and the settings record and write no file; the
// font command applies and records the picked font and then writes the "font" file,
// also after Cancel.
class AppearanceCommands
{
public:
    AppearanceCommands(WindowAccess &window, CommonDialog &dialog, SettingsRecord &record,
                       MessageBox &messages)
        : m_window(window), m_dialog(dialog), m_record(record), m_messages(messages)
    {
    }

    void chooseForeColour();
    void chooseBackColour();
    void chooseFont();
    void clearText();

private:
    enum class ColourTarget { Fore, Back };

    void chooseColour(ColourTarget target);
    void applyPickedFont();

    WindowAccess &m_window;
    CommonDialog &m_dialog;
    SettingsRecord &m_record;
    MessageBox &m_messages;
};
