// SPDX-License-Identifier: MIT
#include "systemcolours.h"

#include <array>

namespace {

struct PaletteEntry
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr QPalette::ColorGroup kActive = QPalette::Active;
constexpr QPalette::ColorGroup kInactive = QPalette::Inactive;

// Index by index, the nearest palette role of each system colour.
constexpr std::array<PaletteEntry, Colours::kSystemColourCount> kSystemColours{{
    {kActive, QPalette::Button},          // scroll bars
    {kActive, QPalette::Window},          // desktop
    {kActive, QPalette::Highlight},       // active title bar
    {kInactive, QPalette::Window},        // inactive title bar
    {kActive, QPalette::Window},          // menu bar
    {kActive, QPalette::Base},            // window background
    {kActive, QPalette::Shadow},          // window frame
    {kActive, QPalette::WindowText},      // menu text
    {kActive, QPalette::Text},            // window text
    {kActive, QPalette::HighlightedText}, // active title bar text
    {kActive, QPalette::Mid},             // active border
    {kActive, QPalette::Midlight},        // inactive border
    {kActive, QPalette::Dark},            // application workspace
    {kActive, QPalette::Highlight},       // highlight
    {kActive, QPalette::HighlightedText}, // highlighted text
    {kActive, QPalette::Button},          // button face
    {kActive, QPalette::Dark},            // button shadow
    {kActive, QPalette::PlaceholderText}, // grey (disabled) text
    {kActive, QPalette::ButtonText},      // button text
    {kInactive, QPalette::WindowText},    // inactive title bar text
    {kActive, QPalette::Light},           // button highlight
    {kActive, QPalette::Shadow},          // 3-D dark shadow
    {kActive, QPalette::Midlight},        // 3-D light
    {kActive, QPalette::ToolTipText},     // tooltip text
    {kActive, QPalette::ToolTipBase},     // tooltip background
}};

} // namespace

QColor SystemColours::resolve(ColourValue value, const QPalette &palette)
{
    if (Colours::isSystemColour(value)) {
        const PaletteEntry &entry =
            kSystemColours[static_cast<std::size_t>(Colours::systemColourIndex(value))];
        return palette.color(entry.group, entry.role);
    }
    return QColor(Colours::red(value), Colours::green(value), Colours::blue(value));
}
