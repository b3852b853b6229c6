// SPDX-License-Identifier: MIT
#include "settings/settingscommands.h"

#include "settings/settingsfile.h"
#include "settings/settingstext.h"
#include "window/services.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

// The size the display takes before the stored font is applied.
constexpr double kPresetFontSize = 320;

// The files that Save and Exit write; "font" is written by the font command alone.
constexpr std::array<SettingsFileId, 4> kSavedFiles{SettingsFileId::Text, SettingsFileId::Colour,
                                                    SettingsFileId::Speed, SettingsFileId::Direction};

struct FileFailure
{
    QString fileName;
    QString reason;
};

// One message for every file that a command could not write or remove: the names, the
// reasons, and what that means for the user. The headline takes the names and the reasons.
QString failureMessage(const QString &headline, const QList<FileFailure> &failures,
                       const QString &consequence)
{
    QStringList names;
    QStringList reasons;
    for (const FileFailure &failure : failures) {
        names.append(QLatin1Char('"') + failure.fileName + QLatin1Char('"'));
        if (!reasons.contains(failure.reason))
            reasons.append(failure.reason);
    }
    return headline.arg(names.join(QStringLiteral(", ")), reasons.join(QStringLiteral("; "))) +
           QLatin1Char(' ') + consequence;
}

// Temporary files that a killed save left beside the settings files.
void removeLeftovers()
{
    for (const SettingsFileId file : kSettingsFiles)
        SettingsFile::removeLeftovers(settingsFileName(file));
}

} // namespace

void SettingsCommands::restoreAtStartup()
{
    m_window.setFontSize(kPresetFontSize);
    restoreSequence();
}

void SettingsCommands::load()
{
    restoreSequence();
}

// Each group reads its file and then applies its fields, whatever the read gave: a
// missing or short file leaves the record's earlier values, and those are applied.
void SettingsCommands::restoreSequence()
{
    read(SettingsFileId::Text);
    applyText();
    read(SettingsFileId::Colour);
    applyColours();
    read(SettingsFileId::Speed);
    applySpeeds();
    read(SettingsFileId::Direction);
    applyDirection();
    read(SettingsFileId::Font);
    applyFont();
}

void SettingsCommands::read(SettingsFileId file)
{
    const QList<QString *> fields = settingsFields(m_record, file);
    const QStringList values = SettingsFile::read(settingsFileName(file), int(fields.size()));
    for (qsizetype index = 0; index < values.size(); ++index)
        *fields[index] = values[index];
}

void SettingsCommands::applyText()
{
    m_window.setText(m_record.text);
}

// A value that does not convert, or that the window rejects, leaves that one property.
void SettingsCommands::applyColours()
{
    if (const auto colour = SettingsText::toColour(m_record.foreColour))
        m_window.setForeColour(*colour);
    if (const auto colour = SettingsText::toColour(m_record.backColour))
        m_window.setBackColour(*colour);
}

// One after the other, so the last level that reads true is the one selected, and no
// level is when all read false.
void SettingsCommands::applySpeeds()
{
    for (int level = 1; level <= kSpeedLevelCount; ++level) {
        if (const auto selected = SettingsText::toBool(m_record.speeds[level - 1]))
            m_window.setSpeedSelected(level, *selected);
    }
}

void SettingsCommands::applyDirection()
{
    if (const auto selected = SettingsText::toBool(m_record.left))
        m_window.setDirectionSelected(Direction::Left, *selected);
    if (const auto selected = SettingsText::toBool(m_record.right))
        m_window.setDirectionSelected(Direction::Right, *selected);
}

void SettingsCommands::applyFont()
{
    // The window keeps its face for an empty name.
    m_window.setFontName(m_record.fontName);
    if (const auto points = SettingsText::toFontSize(m_record.fontSize))
        m_window.setFontSize(*points);
    if (const auto bold = SettingsText::toBool(m_record.fontBold))
        m_window.setFontBold(*bold);
    if (const auto italic = SettingsText::toBool(m_record.fontItalic))
        m_window.setFontItalic(*italic);
    if (const auto underline = SettingsText::toBool(m_record.fontUnderline))
        m_window.setFontUnderline(*underline);
}

void SettingsCommands::save()
{
    gather();
    writeAndReport(Command::Save);
}

void SettingsCommands::exit()
{
    gather();
    if (writeAndReport(Command::Exit))
        m_programEnd.endProgram();
}

// The font fields are not gathered: the font reaches the store through the font command.
void SettingsCommands::gather()
{
    m_record.text = m_window.text();
    m_record.foreColour = SettingsText::fromColour(m_window.foreColour());
    m_record.backColour = SettingsText::fromColour(m_window.backColour());
    for (int level = 1; level <= kSpeedLevelCount; ++level)
        m_record.speeds[level - 1] = SettingsText::fromBool(m_window.isSpeedSelected(level));
    m_record.left = SettingsText::fromBool(m_window.isDirectionSelected(Direction::Left));
    m_record.right = SettingsText::fromBool(m_window.isDirectionSelected(Direction::Right));
}

bool SettingsCommands::writeAndReport(Command command)
{
    removeLeftovers();
    QList<FileFailure> failures;
    for (const SettingsFileId file : kSavedFiles) {
        const QString name = settingsFileName(file);
        if (const auto reason = SettingsFile::write(name, settingsValues(m_record, file)))
            failures.append({name, *reason});
    }
    if (failures.isEmpty())
        return true;
    const QString consequence =
        command == Command::Exit
            ? QCoreApplication::translate(
                  "SettingsCommands", "The program stays open so that your text and settings are not lost.")
            : QCoreApplication::translate("SettingsCommands",
                                          "Your text and settings are still in the window.");
    m_messages.showMessage(
        failureMessage(QCoreApplication::translate("SettingsCommands", "Could not save %1: %2."), failures,
                       consequence),
        MessageBox::Icon::Warning);
    return false;
}

// A file that is not there is passed over; one that stays is reported, as Save reports
// the files it could not write. A link is removed, never what it leads to.
void SettingsCommands::deleteFiles()
{
    removeLeftovers();
    QList<FileFailure> failures;
    for (const SettingsFileId file : kSettingsFiles) {
        QFile settingsFile(settingsFileName(file));
        const QFileInfo info(settingsFile.fileName());
        if ((info.exists() || info.isSymLink()) && !settingsFile.remove())
            failures.append({settingsFile.fileName(), settingsFile.errorString()});
    }
    if (!failures.isEmpty())
        m_messages.showMessage(
            failureMessage(QCoreApplication::translate("SettingsCommands", "Could not delete %1: %2."),
                           failures,
                           QCoreApplication::translate("SettingsCommands", "They stay as they are.")),
            MessageBox::Icon::Warning);
}

std::optional<QString> SettingsCommands::writeFontFile(const SettingsRecord &record)
{
    return SettingsFile::write(settingsFileName(SettingsFileId::Font),
                               settingsValues(record, SettingsFileId::Font));
}
