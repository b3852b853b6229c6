#pragma once

#include "window/colourvalue.h"
#include "window/marqueefont.h"

#include <QString>

// The one dialog component shared by the file, colour and font commands. Its settings
// outlast each use: a command sets only what it needs, and the rest (the path chosen
// last, the colour picked last, the font of the last use) is what the previous use left.
// The show functions run a modal dialog and return false when the user cancelled.
class CommonDialog
{
public:
    virtual ~CommonDialog() = default;

    void setCancelError(bool cancelError) { m_cancelError = cancelError; }
    [[nodiscard]] bool cancelError() const { return m_cancelError; }
    // A filter in the "Description|pattern|Description|pattern" form.
    void setFilter(const QString &filter) { m_filter = filter; }
    [[nodiscard]] QString filter() const { return m_filter; }
    // 1-based, as the filter's entries are counted.
    void setFilterIndex(int index) { m_filterIndex = index; }
    [[nodiscard]] int filterIndex() const { return m_filterIndex; }
    void setFlags(int flags) { m_flags = flags; }
    [[nodiscard]] int flags() const { return m_flags; }

    void setFileName(const QString &fileName) { m_fileName = fileName; }
    [[nodiscard]] QString fileName() const { return m_fileName; }
    void setColour(ColourValue colour) { m_colour = colour; }
    [[nodiscard]] ColourValue colour() const { return m_colour; }
    void setFont(const MarqueeFont &font) { m_font = font; }
    [[nodiscard]] MarqueeFont font() const { return m_font; }

    [[nodiscard]] virtual bool showOpen() = 0;
    [[nodiscard]] virtual bool showSave() = 0;
    [[nodiscard]] virtual bool showColour() = 0;
    [[nodiscard]] virtual bool showFont() = 0;

private:
    bool m_cancelError = false;
    QString m_filter;
    int m_filterIndex = 0;
    int m_flags = 0;
    QString m_fileName;
    ColourValue m_colour = 0;
    MarqueeFont m_font;
};
