// SPDX-License-Identifier: MIT
#pragma once

#include <QLatin1StringView>
#include <QString>

#include <optional>

class CommonDialog;
class MessageBox;
class WindowAccess;

// Text import, text export and the HTML marquee export, through the shared dialog.
// Cancel ends a command silently; a file that cannot be read or written is reported
// by a message naming it and the reason, and changes nothing.
class TextTransfer
{
public:
    TextTransfer(WindowAccess &window, CommonDialog &dialog, MessageBox &messages)
        : m_window(window), m_dialog(dialog), m_messages(messages)
    {
    }

    // The filter lists of the file dialogs. The import offers all files first and finds
    // web pages by "*.htm"; the exports have no all-files entry and find web pages by
    // "*.htm*", and the text export's list ends without "|".
    static constexpr QLatin1StringView kImportFilter{
        "All Files (*)|*|Text Files (*.txt)|*.txt|Batch Files (*.bat)|*.bat|Web Page (*.htm)|*.htm|"
        "Rich Text Format (*.rtf)|*.rtf|"};
    static constexpr QLatin1StringView kExportFilter{
        "Text Files (*.txt)|*.txt|Batch Files (*.bat)|*.bat|Web Page (*.htm*)|*.htm*|"
        "Rich Text Format (*.rtf)|*.rtf"};
    static constexpr QLatin1StringView kHtmlFilter{"Web Page (*.htm*)|*.htm*|"};

    void importText();
    // Reads a file as Import does: the text, or the message that says why not.
    [[nodiscard]] static std::optional<QString> readImport(const QString &fileName, QString &text);
    void exportText();
    void exportHtml();

private:
    enum class FileDialog { Open, Save };

    [[nodiscard]] bool askFileName(FileDialog kind, QLatin1StringView filter);
    void write(const QString &fileName, const QString &content);

    WindowAccess &m_window;
    CommonDialog &m_dialog;
    MessageBox &m_messages;
};
