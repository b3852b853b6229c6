// SPDX-License-Identifier: MIT
#include "io/texttransfer.h"

#include "io/textencoding.h"
#include "io/textfiles.h"
#include "window/commondialog.h"
#include "window/initialstate.h"
#include "window/services.h"
#include "window/windowaccess.h"

#include <QCoreApplication>
#include <QDir>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString shownName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

} // namespace

bool TextTransfer::askFileName(FileDialog kind, QLatin1StringView filter)
{
    m_dialog.setFilter(QString(filter));
    m_dialog.setFilterIndex(1);
    return kind == FileDialog::Save ? m_dialog.showSave() : m_dialog.showOpen();
}

void TextTransfer::importText()
{
    if (!askFileName(FileDialog::Open, kImportFilter))
        return;
    QString text;
    if (const auto message = readImport(m_dialog.fileName(), text)) {
        m_messages.showMessage(*message, MessageBox::Icon::Warning);
        return;
    }
    m_window.setText(text);
}

std::optional<QString> TextTransfer::readImport(const QString &fileName, QString &text)
{
    if (const auto failure = TextFiles::read(fileName, InitialState::kMaxTextLength, text))
        return QCoreApplication::translate("TextTransfer", "Cannot import \"%1\": %2.")
            .arg(shownName(fileName), *failure);
    return std::nullopt;
}

void TextTransfer::exportText()
{
    if (!askFileName(FileDialog::Save, kExportFilter))
        return;
    // The text of the moment the dialog closed: while scrolling runs, the rotated text.
    write(m_dialog.fileName(), m_window.text() + kLineEnd);
}

void TextTransfer::exportHtml()
{
    if (!askFileName(FileDialog::Save, kHtmlFilter))
        return;
    // The text goes in unescaped, so that markup typed into it takes effect.
    write(m_dialog.fileName(),
          QStringLiteral("<MARQUEE> ") + m_window.text() + QStringLiteral(" </MARQUEE>") + kLineEnd);
}

void TextTransfer::write(const QString &fileName, const QString &content)
{
    // The name is used exactly as chosen: no extension is added.
    if (const auto failure = TextFiles::write(fileName, TextEncoding::encode(content)))
        m_messages.showMessage(QCoreApplication::translate("TextTransfer", "Cannot write \"%1\": %2.")
                                   .arg(shownName(fileName), *failure),
                               MessageBox::Icon::Warning);
}
