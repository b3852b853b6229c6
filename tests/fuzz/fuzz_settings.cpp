// SPDX-License-Identifier: MIT
// Fuzz target: the settings files. Each input is put in place of all five settings
// files at once, so that every conversion (text, colours, speed and direction flags,
// font name, size and attributes) sees it, and then the start-up restore, Save, Load
// and Delete run on a plain window. Besides crashes, hangs and sanitizer reports it
// checks what must hold for any file: the window stays in a state it can have, reading
// changes no file, what Save writes a restore brings back, and every value that
// converts comes back the same through its text form.

#include "fuzzcheck.h"
#include "io/textencoding.h"
#include "plainwindow.h"
#include "scriptedservices.h"
#include "settings/recordformat.h"
#include "settings/settingscommands.h"
#include "settings/settingsrecord.h"
#include "settings/settingstext.h"
#include "tempcurrentdir.h"
#include "window/initialstate.h"

#include <QFile>

#include <cstdint>

namespace {

// Everything of the window that the settings store reads or writes.
struct WindowState
{
    QString text;
    ColourValue foreColour;
    ColourValue backColour;
    MarqueeFont font;
    std::array<bool, kSpeedLevelCount> speeds;
    bool left;
    bool right;

    explicit WindowState(const WindowAccess &window)
        : text(window.text()), foreColour(window.foreColour()), backColour(window.backColour()),
          font(window.font()), left(window.isDirectionSelected(Direction::Left)),
          right(window.isDirectionSelected(Direction::Right))
    {
        for (int level = 1; level <= kSpeedLevelCount; ++level)
            speeds[level - 1] = window.isSpeedSelected(level);
    }
    friend bool operator==(const WindowState &, const WindowState &) = default;
};

void checkReachable(const WindowState &state)
{
    FUZZ_CHECK(std::count(state.speeds.begin(), state.speeds.end(), true) <= 1);
    FUZZ_CHECK(!(state.left && state.right));
    FUZZ_CHECK(Colours::isColour(state.foreColour));
    FUZZ_CHECK(Colours::isColour(state.backColour));
    FUZZ_CHECK(FontLimits::isAcceptableSize(state.font.size));
    FUZZ_CHECK(!state.font.name.trimmed().isEmpty());
    FUZZ_CHECK(state.text.size() <= InitialState::kMaxTextLength);
}

// A value that converts converts back to the same text form and value.
void checkConversions(const QString &value)
{
    if (const auto flag = SettingsText::toBool(value))
        FUZZ_CHECK(SettingsText::toBool(SettingsText::fromBool(*flag)) == flag);
    if (const auto colour = SettingsText::toColour(value)) {
        FUZZ_CHECK(Colours::isColour(*colour));
        FUZZ_CHECK(SettingsText::toColour(SettingsText::fromColour(*colour)) == colour);
    }
    if (const auto points = SettingsText::toFontSize(value)) {
        FUZZ_CHECK(FontLimits::isAcceptableSize(*points));
        FUZZ_CHECK(SettingsText::toFontSize(SettingsText::fromFontSize(*points)) == points);
    }
}

struct Program
{
    PlainWindow window;
    SettingsRecord record;
    RecordingMessageBox messages;
    RecordingProgramEnd programEnd;
    SettingsCommands commands{window, record, messages, programEnd};

    void checkSilent() const
    {
        FUZZ_CHECK(messages.messages.isEmpty());
        FUZZ_CHECK(programEnd.requests == 0);
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startInFreshDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const SettingsFileId file : kSettingsFiles)
        writeFile(settingsFileName(file), bytes);

    // The longest record, "speed", holds twelve values; the others read a prefix of them.
    const QStringList values = RecordFormat::parse(TextEncoding::decode(bytes), kSpeedLevelCount);
    FUZZ_CHECK(values.size() <= kSpeedLevelCount);
    for (const QString &value : values)
        checkConversions(value);
    FUZZ_CHECK(RecordFormat::parse(RecordFormat::compose(values), values.size()) == values);

    Program first;
    first.commands.restoreAtStartup();
    first.checkSilent();
    const WindowState restored(first.window);
    checkReachable(restored);
    for (const SettingsFileId file : kSettingsFiles) {
        const QStringList fields = settingsValues(first.record, file);
        const QStringList read = values.mid(0, fields.size());
        FUZZ_CHECK(fields.mid(0, read.size()) == read);
        for (qsizetype index = read.size(); index < fields.size(); ++index)
            FUZZ_CHECK(fields[index].isEmpty());
        // Reading changes no file.
        FUZZ_CHECK(readFile(settingsFileName(file)) == bytes);
    }

    // What Save writes, the next start brings back, the untouched "font" file included.
    first.commands.save();
    first.checkSilent();
    FUZZ_CHECK(WindowState(first.window) == restored);
    Program second;
    second.commands.restoreAtStartup();
    second.checkSilent();
    FUZZ_CHECK(WindowState(second.window) == restored);
    for (const SettingsFileId file :
         {SettingsFileId::Text, SettingsFileId::Colour, SettingsFileId::Speed, SettingsFileId::Direction})
        FUZZ_CHECK(settingsValues(second.record, file) == settingsValues(first.record, file));

    // Delete then Load: the record's values are applied again, and change nothing.
    first.commands.deleteFiles();
    for (const SettingsFileId file : kSettingsFiles)
        FUZZ_CHECK(!QFile::exists(settingsFileName(file)));
    first.commands.load();
    first.checkSilent();
    FUZZ_CHECK(WindowState(first.window) == restored);
    return 0;
}
