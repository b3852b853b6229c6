// SPDX-License-Identifier: MIT
// Fuzz target: the conversions between the settings' text fields and the window's
// values, in memory. Whatever converts is a value the window can have, and its text form
// converts back to the same value and the same text.

#include "fuzzcheck.h"
#include "settings/settingstext.h"
#include "window/marqueefont.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto flag = SettingsText::toBool(value)) {
        const QString text = SettingsText::fromBool(*flag);
        FUZZ_CHECK(SettingsText::toBool(text) == flag);
    }
    if (const auto colour = SettingsText::toColour(value)) {
        FUZZ_CHECK(Colours::isColour(*colour));
        const QString text = SettingsText::fromColour(*colour);
        FUZZ_CHECK(SettingsText::toColour(text) == colour);
        FUZZ_CHECK(SettingsText::fromColour(*SettingsText::toColour(text)) == text);
    }
    if (const auto points = SettingsText::toFontSize(value)) {
        FUZZ_CHECK(FontLimits::isAcceptableSize(*points));
        const QString text = SettingsText::fromFontSize(*points);
        FUZZ_CHECK(SettingsText::toFontSize(text) == points);
        FUZZ_CHECK(SettingsText::fromFontSize(*SettingsText::toFontSize(text)) == text);
    }
    return 0;
}
