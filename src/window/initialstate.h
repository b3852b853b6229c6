// SPDX-License-Identifier: MIT
#pragma once

#include "window/colourvalue.h"
#include "window/marqueefont.h"

#include <QString>

// The values the main window has when it is created, before the stored settings are
// applied: the real window and the plain one of the tests start from these.
namespace InitialState {

[[nodiscard]] QString caption();
inline constexpr const char *kStartCaption = "Start";
inline constexpr const char *kStopCaption = "Stop";
inline constexpr int kSpeedLevel = 7;
inline constexpr int kScrollInterval = 100;
inline constexpr int kCaptionInterval = 300;
[[nodiscard]] MarqueeFont font();
inline constexpr ColourValue kForeColour = Colours::systemColour(Colours::kWindowText);
inline constexpr ColourValue kBackColour = Colours::systemColour(Colours::kWindowBackground);
// The longest document the display field holds.
inline constexpr int kMaxTextLength = 65535;

} // namespace InitialState
