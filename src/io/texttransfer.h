#pragma once

class CommonDialog;
class MessageBox;
class WindowAccess;

// Text import, text export and the HTML marquee export, through the shared dialog.
class TextTransfer
{
public:
    TextTransfer(WindowAccess &window, CommonDialog &dialog, MessageBox &messages)
        : m_window(window), m_dialog(dialog), m_messages(messages)
    {
    }

    void importText();
    void exportText();
    void exportHtml();

private:
    WindowAccess &m_window;
    CommonDialog &m_dialog;
    MessageBox &m_messages;
};
