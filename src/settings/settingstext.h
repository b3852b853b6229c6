// SPDX-License-Identifier: MIT
#pragma once

#include "window/colourvalue.h"

#include <QString>
#include <QStringView>

#include <optional>

// Conversions between the settings record's text fields and the window's values. The
// "to" functions give nothing when the text does not convert; the caller then leaves
// the property as it was.
namespace SettingsText {

// "True" or "False".
[[nodiscard]] QString fromBool(bool value);
// "True" or "False" in any letter case, or a decimal number such as 1, -1 or 0.5 (zero
// is false, any other number true). Surrounding blanks are ignored.
[[nodiscard]] std::optional<bool> toBool(QStringView text);

// Signed decimal: 255 for pure red, -2147483640 for the system's window text colour.
[[nodiscard]] QString fromColour(ColourValue colour);
// A decimal integer that fits in 32 signed bits and is a colour.
[[nodiscard]] std::optional<ColourValue> toColour(QStringView text);

// Points with a point as the decimal separator in every locale, without fraction digits
// when whole: 24, 10.5.
[[nodiscard]] QString fromFontSize(double points);
// The same for a size the font dialog gave in single precision: 12.3, not the double
// nearest to that float.
[[nodiscard]] QString fromFontSize(float points);
// A positive decimal number of points that the display can take.
[[nodiscard]] std::optional<double> toFontSize(QStringView text);

} // namespace SettingsText
