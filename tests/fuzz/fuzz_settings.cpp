// SPDX-License-Identifier: MIT
// Fuzz target: the settings files. Each input is put in place of all five settings files
// at once, so that every conversion (text, colours, speed and direction flags, font name,
// size and attributes) sees it; then the start-up restore and Save run on a plain window.
// Besides crashes, hangs and sanitizer reports it checks what must hold for any file: the
// restore says nothing and leaves the window in a state it can have, reading changes no
// file, and what Save writes the next start brings back. (The conversions and the
// record's layout alone have targets of their own.)

#include "fuzzcheck.h"
#include "plainwindow.h"
#include "scriptedservices.h"
#include "settings/settingscommands.h"
#include "settings/settingsrecord.h"
#include "window/initialstate.h"
#include "windowstate.h"

namespace {

// A program started in the folder, which restores the settings.
struct Program
{
    PlainWindow window;
    SettingsRecord record;
    RecordingMessageBox messages;
    RecordingProgramEnd programEnd;
    SettingsCommands commands{window, record, messages, programEnd};

    Program() { commands.restoreAtStartup(); }
    // It says nothing, and leaves the window in a state it can have.
    void check() const
    {
        FUZZ_CHECK(messages.messages.isEmpty() && programEnd.requests == 0);
        int speeds = 0;
        for (int level = 1; level <= kSpeedLevelCount; ++level)
            speeds += window.isSpeedSelected(level);
        FUZZ_CHECK(speeds <= 1 && !(window.isDirectionSelected(Direction::Left) &&
                                    window.isDirectionSelected(Direction::Right)));
        FUZZ_CHECK(Colours::isColour(window.foreColour()) && Colours::isColour(window.backColour()));
        FUZZ_CHECK(FontLimits::isAcceptableSize(window.font().size) &&
                   !window.font().name.trimmed().isEmpty());
        FUZZ_CHECK(window.text().size() <= InitialState::kMaxTextLength);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const SettingsFileId file : kSettingsFiles)
        fuzzFolder().write(settingsFileName(file), bytes);

    Program first;
    first.check();
    for (const SettingsFileId file : kSettingsFiles) // reading changes no file
        FUZZ_CHECK(fuzzFolder().read(settingsFileName(file)) == bytes);

    // What Save writes, the next start brings back, the untouched "font" file included.
    const QVariantMap restored = stateOf(first.window);
    first.commands.save();
    first.check();
    FUZZ_CHECK(stateOf(first.window) == restored);
    const Program second;
    second.check();
    FUZZ_CHECK(stateOf(second.window) == restored);
    return 0;
}
