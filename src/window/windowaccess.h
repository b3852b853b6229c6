#pragma once

#include "window/colourvalue.h"
#include "window/marqueefont.h"

#include <QString>

enum class Direction { Left, Right };

inline constexpr int kSpeedLevelCount = 12;

// The properties of the main window that the program's logic reads and writes: the
// window caption, the display field, the speed and direction option buttons, the
// Start/Stop button and the scroll timer. Implemented by the real Qt window and by a
// plain object for tests that run without a display.
class WindowAccess
{
public:
    virtual ~WindowAccess() = default;

    [[nodiscard]] virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;

    // The display field's document.
    [[nodiscard]] virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;

    // Colours are stored colour values (see colourvalue.h). A setter returns false,
    // and keeps the colour as it was, when the value is not a colour.
    [[nodiscard]] virtual ColourValue foreColour() const = 0;
    virtual bool setForeColour(ColourValue colour) = 0;
    [[nodiscard]] virtual ColourValue backColour() const = 0;
    virtual bool setBackColour(ColourValue colour) = 0;

    // Each font attribute is set on its own; a rejected value keeps the attribute.
    [[nodiscard]] virtual MarqueeFont font() const = 0;
    virtual bool setFontName(const QString &name) = 0;
    virtual bool setFontSize(double points) = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual void setFontItalic(bool italic) = 0;
    virtual void setFontUnderline(bool underline) = 0;

    // Option buttons, levels 1 to 12. Selecting one clears the others of its group;
    // clearing one leaves the group with no selection.
    [[nodiscard]] virtual bool isSpeedSelected(int level) const = 0;
    virtual void setSpeedSelected(int level, bool selected) = 0;
    [[nodiscard]] virtual bool isDirectionSelected(Direction direction) const = 0;
    virtual void setDirectionSelected(Direction direction, bool selected) = 0;

    [[nodiscard]] virtual QString startCaption() const = 0;
    virtual void setStartCaption(const QString &caption) = 0;

    [[nodiscard]] virtual bool isScrollTimerEnabled() const = 0;
    virtual void setScrollTimerEnabled(bool enabled) = 0;
    [[nodiscard]] virtual int scrollInterval() const = 0;
    virtual void setScrollInterval(int milliseconds) = 0;
};
