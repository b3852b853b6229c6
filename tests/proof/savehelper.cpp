// SPDX-License-Identifier: MIT
// Saves over and over until it is killed, for the crash-safety test. With "settings" it
// puts the two states of crashsafestates.h in turn on a plain window and runs Save and
// the "font" file write; with "export" it runs the text and HTML exports of the two
// texts in turn. Once every file has been written whole, it prints "ready". Given a number
// of rounds, it ends after them.
//
// Usage: tickora_savehelper settings|export [rounds]   (in the folder to write)

#include "crashsafestates.h"
#include "io/texttransfer.h"
#include "plainwindow.h"
#include "scriptedservices.h"
#include "settings/settingscommands.h"

#include <QCoreApplication>

#include <climits>
#include <cstdio>

namespace {

void announceReady()
{
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
}

int failed(const RecordingMessageBox &messages)
{
    std::fprintf(stderr, "tickora_savehelper: %s\n", qPrintable(messages.messages.constFirst().text));
    return 1;
}

int saveSettings(unsigned rounds)
{
    PlainWindow window;
    SettingsRecord record;
    RecordingMessageBox messages;
    RecordingProgramEnd programEnd;
    SettingsCommands commands(window, record, messages, programEnd);
    for (unsigned round = 0; round != rounds; ++round) {
        const CrashSafe::State &state = CrashSafe::states()[round % 2];
        window.setText(state.text);
        window.setForeColour(state.foreColour);
        window.setBackColour(state.backColour);
        window.setSpeedSelected(state.speedLevel, true);
        window.setDirectionSelected(state.direction, true);
        commands.save();
        record.fontName = state.font[0];
        record.fontSize = state.font[1];
        record.fontBold = state.font[2];
        record.fontItalic = state.font[3];
        record.fontUnderline = state.font[4];
        if (const auto failure = SettingsCommands::writeFontFile(record)) {
            std::fprintf(stderr, "tickora_savehelper: font: %s\n", qPrintable(*failure));
            return 1;
        }
        if (!messages.messages.isEmpty())
            return failed(messages);
        if (round == 0)
            announceReady();
    }
    return 0;
}

int exportTexts(unsigned rounds)
{
    PlainWindow window;
    ScriptedDialog dialog;
    RecordingMessageBox messages;
    TextTransfer transfer(window, dialog, messages);
    for (unsigned round = 0; round != rounds; ++round) {
        window.setText(CrashSafe::states()[round % 2].text);
        dialog.expect(CrashSafe::kExportName);
        transfer.exportText();
        dialog.expect(CrashSafe::kHtmlName);
        transfer.exportHtml();
        if (!messages.messages.isEmpty())
            return failed(messages);
        if (round == 0)
            announceReady();
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const unsigned rounds = arguments.size() > 2 ? arguments[2].toUInt() : UINT_MAX; // till killed
    if (arguments.value(1) == u"settings")
        return saveSettings(rounds);
    if (arguments.value(1) == u"export")
        return exportTexts(rounds);
    std::fputs("usage: tickora_savehelper settings|export [rounds]\n", stderr);
    return 2;
}
