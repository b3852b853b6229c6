#pragma once

class CommonDialog;
class MessageBox;
class WindowAccess;
struct SettingsRecord;

// The colour and font commands and clearing the text.
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
    WindowAccess &m_window;
    CommonDialog &m_dialog;
    SettingsRecord &m_record;
    MessageBox &m_messages;
};
