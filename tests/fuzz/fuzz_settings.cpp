// SPDX-License-Identifier: MIT
// Fuzz target: the settings files. Each input is put in place of all five settings files
// at once, so that every conversion (text, colours, speed and direction flags, font name,
// size and attributes) sees it; then the start-up restore and Save run on a plain window.
// Besides crashes, hangs and sanitizer reports it checks what must hold for any file:
// nothing is reported, the restore leaves the window in a state it can have and changes no
// file, and what Save writes the next start brings back. (The conversions and the
// record's layout alone have targets of their own.)

#include "corefixture.h"
#include "fuzzcheck.h"
#include "settings/settingscommands.h"
#include "windowstate.h"

namespace {

void checkReachable(const WindowAccess &window)
{
    int speeds = 0;
    for (int level = 1; level <= kSpeedLevelCount; ++level)
        speeds += window.isSpeedSelected(level);
    FUZZ_CHECK(speeds <= 1 && !(window.isDirectionSelected(Direction::Left) &&
                                window.isDirectionSelected(Direction::Right)));
    FUZZ_CHECK(Colours::isColour(window.foreColour()) && Colours::isColour(window.backColour()));
    FUZZ_CHECK(FontLimits::isAcceptableSize(window.font().size) && !window.font().name.trimmed().isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    CoreFixture fixture; // in a fresh folder
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const SettingsFileId file : kSettingsFiles)
        fixture.dir.write(settingsFileName(file), bytes);
    SettingsCommands commands(fixture.window, fixture.record, fixture.messages, fixture.programEnd);
    commands.restoreAtStartup();
    checkReachable(fixture.window);
    for (const SettingsFileId file : kSettingsFiles)
        FUZZ_CHECK(fixture.dir.read(settingsFileName(file)) == bytes);

    // What Save writes, the next start brings back, the untouched "font" file included.
    const QVariantMap restored = stateOf(fixture.window);
    commands.save();
    PlainWindow window;
    SettingsRecord record;
    SettingsCommands(window, record, fixture.messages, fixture.programEnd).restoreAtStartup();
    FUZZ_CHECK(stateOf(fixture.window) == restored && stateOf(window) == restored);
    FUZZ_CHECK(fixture.messages.messages.isEmpty() && fixture.programEnd.requests == 0);
    return 0;
}
