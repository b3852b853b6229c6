// SPDX-License-Identifier: MIT
// Fuzz target: the conversions between the settings' text fields and the window's
// values, in memory. Whatever converts is a value the window can have, and its text form
// converts back to the same value (and so to the same text).

#include "fuzzcheck.h"
#include "settings/settingstext.h"
#include "window/marqueefont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace SettingsText;
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto flag = toBool(value))
        FUZZ_CHECK(toBool(fromBool(*flag)) == flag);
    if (const auto colour = toColour(value))
        FUZZ_CHECK(Colours::isColour(*colour) && toColour(fromColour(*colour)) == colour);
    if (const auto points = toFontSize(value))
        FUZZ_CHECK(FontLimits::isAcceptableSize(*points) && toFontSize(fromFontSize(*points)) == points);
    return 0;
}
