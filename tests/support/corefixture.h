// SPDX-License-Identifier: MIT
#pragma once

#include "plainwindow.h"
#include "scriptedservices.h"
#include "settings/settingsrecord.h"
#include "tempcurrentdir.h"

// The core commands' surroundings: a temporary current directory, the plain window, the
// settings record and the scripted services.
struct CoreFixture
{
    TempCurrentDir dir;
    PlainWindow window;
    SettingsRecord record;
    ScriptedDialog dialog;
    RecordingMessageBox messages;
    RecordingProgramEnd programEnd;
};
