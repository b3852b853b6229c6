// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class QGroupBox;
class QWidget;

// The font of the window's own controls: push buttons, option buttons and frames. Their
// places and sizes are fixed in pixels whatever the desktop's font, so the font is made to
// fit them: the desktop's family at the largest size, up to the desktop's own, at which
// every caption fits its control; a common sans family only where the desktop's cannot fit
// at any readable size.
namespace CaptionFont {

inline constexpr double kSmallestPoints = 6;
inline constexpr double kStepPoints = 0.5;

// A control and every caption it may show ("Start" also shows "Stop").
struct Caption
{
    QWidget *control = nullptr;
    QStringList texts;
};

[[nodiscard]] QFont choose(const QList<Caption> &captions, const QFont &desktopFont);

// Whether each text, drawn in that font, fits inside the control's contents: a button's
// inside its bevel, an option button's beside its indicator, a frame's caption between
// the frame's sides and above the controls inside the frame.
[[nodiscard]] bool fits(const Caption &caption, const QFont &font);

// Sets the frame's caption into its top border: the caption's letters start one pixel
// below the frame's top and the border runs through their middle.
void placeFrameCaption(QGroupBox *frame, const QFont &font);

} // namespace CaptionFont
