// SPDX-License-Identifier: MIT
#include "appearance/appearancecommands.h"

#include "settings/settingscommands.h"
#include "settings/settingsrecord.h"
#include "settings/settingstext.h"
#include "window/commondialog.h"
#include "window/services.h"
#include "window/windowaccess.h"

#include <QCoreApplication>
#include <QDir>

void AppearanceCommands::chooseForeColour()
{
    chooseColour(ColourTarget::Fore);
}

void AppearanceCommands::chooseBackColour()
{
    chooseColour(ColourTarget::Back);
}

void AppearanceCommands::chooseColour(ColourTarget target)
{
    // The dialog starts on the colour it returned last, in either colour command, not on
    // the field's colour.
    if (!m_dialog.showColour())
        return;
    const ColourValue colour = m_dialog.colour();
    const bool applied =
        target == ColourTarget::Fore ? m_window.setForeColour(colour) : m_window.setBackColour(colour);
    if (!applied)
        return;
    (target == ColourTarget::Fore ? m_record.foreColour : m_record.backColour) =
        SettingsText::fromColour(colour);
}

void AppearanceCommands::chooseFont()
{
    applyPickedFont();
    // The "font" file is written whether a font was picked or not.
    if (const auto failure = SettingsCommands::writeFontFile(m_record)) {
        m_messages.showMessage(
            QCoreApplication::translate("AppearanceCommands",
                                        "Cannot write the font settings file \"%1\": %2.")
                .arg(QDir::toNativeSeparators(QDir::current().absoluteFilePath(QStringLiteral("font"))),
                     *failure),
            MessageBox::Icon::Warning);
    }
}

void AppearanceCommands::applyPickedFont()
{
    // Field by field, in order; a value the field refuses ends the picking there, and
    // what was applied before it stays applied and recorded. The dialog opens on the
    // field's font.
    m_dialog.setFont(m_window.font());
    if (!m_dialog.showFont())
        return;
    const MarqueeFont picked = m_dialog.font();

    if (!m_window.setFontName(picked.name))
        return;
    m_record.fontName = picked.name;

    const auto size = static_cast<float>(picked.size);
    if (!m_window.setFontSize(size))
        return;
    m_record.fontSize = SettingsText::fromFontSize(size);

    m_window.setFontBold(picked.bold);
    m_record.fontBold = SettingsText::fromBool(picked.bold);
    m_window.setFontItalic(picked.italic);
    m_record.fontItalic = SettingsText::fromBool(picked.italic);
    m_window.setFontUnderline(picked.underline);
    m_record.fontUnderline = SettingsText::fromBool(picked.underline);
}

void AppearanceCommands::clearText()
{
    m_window.setText(QString());
}
