// SPDX-License-Identifier: MIT
#pragma once

#include "window/colourvalue.h"
#include "window/initialstate.h"
#include "window/marqueefont.h"

#include <QString>

#include <optional>

enum class Direction { Left, Right };

inline constexpr int kSpeedLevelCount = 12;

// The properties of the main window that the program's logic reads and writes: the
// window caption, the display field, the speed and direction option buttons, the
// Start/Stop button and the scroll timer. The colours, the font and the speed levels
// are checked here, once for every window; an implementation only shows what passed.
class WindowAccess
{
public:
    virtual ~WindowAccess() = default;

    [[nodiscard]] virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;

    // The display field's document.
    [[nodiscard]] virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
    // While the text scrolls, the text as the user typed it, which Stop brings back; none
    // while stopped. A window may offer it in place of the rotating text to readers that
    // would otherwise hear of every step.
    virtual void setTextAsTyped(const std::optional<QString> &typed) { Q_UNUSED(typed); }

    // Colours are stored colour values (see colourvalue.h). A setter returns false,
    // and keeps the colour as it was, when the value is not a colour.
    [[nodiscard]] ColourValue foreColour() const { return m_foreColour; }
    bool setForeColour(ColourValue colour);
    [[nodiscard]] ColourValue backColour() const { return m_backColour; }
    bool setBackColour(ColourValue colour);

    // Each font attribute is set on its own; a rejected value keeps the attribute.
    [[nodiscard]] MarqueeFont font() const { return m_font; }
    bool setFontName(const QString &name);
    bool setFontSize(double points);
    void setFontBold(bool bold);
    void setFontItalic(bool italic);
    void setFontUnderline(bool underline);

    // Option buttons, levels 1 to 12. Selecting one clears the others of its group;
    // clearing one leaves the group with no selection.
    [[nodiscard]] bool isSpeedSelected(int level) const;
    void setSpeedSelected(int level, bool selected);
    [[nodiscard]] virtual bool isDirectionSelected(Direction direction) const = 0;
    virtual void setDirectionSelected(Direction direction, bool selected) = 0;

    [[nodiscard]] virtual QString startCaption() const = 0;
    virtual void setStartCaption(const QString &caption) = 0;

    [[nodiscard]] virtual bool isScrollTimerEnabled() const = 0;
    virtual void setScrollTimerEnabled(bool enabled) = 0;
    [[nodiscard]] virtual int scrollInterval() const = 0;
    virtual void setScrollInterval(int milliseconds) = 0;

protected:
    // Show colours and a font that were accepted.
    virtual void applyColours(ColourValue fore, ColourValue back) = 0;
    virtual void applyFont(const MarqueeFont &font) = 0;
    // The speed option button of a level from 1 to 12.
    [[nodiscard]] virtual bool isSpeedButtonChecked(int level) const = 0;
    virtual void setSpeedButtonChecked(int level, bool checked) = 0;

private:
    ColourValue m_foreColour = InitialState::kForeColour;
    ColourValue m_backColour = InitialState::kBackColour;
    MarqueeFont m_font = InitialState::font();
};
