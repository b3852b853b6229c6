// SPDX-License-Identifier: MIT
#pragma once

#include "window/colourvalue.h"
#include "window/marqueefont.h"

#include <QList>
#include <QString>
#include <QStringList>

// The one dialog component shared by the file, colour and font commands. Its settings
// outlast each use: a command sets only what it needs, and the rest (the path chosen
// last, the colour picked last) is what the previous use left. The font command hands
// in the field's font each time.
// The show functions run a modal dialog and return false when the user cancelled.
class CommonDialog
{
public:
    // One entry of a filter: the text the user sees and the file name patterns it stands for.
    struct FilterEntry
    {
        QString description;
        QStringList patterns;

        friend bool operator==(const FilterEntry &, const FilterEntry &) = default;
    };

    virtual ~CommonDialog() = default;

    // A filter in the "Description|pattern|Description|pattern" form, kept verbatim; the
    // closing "|" after the last pattern is optional, and a pattern may list several
    // patterns separated by ";".
    void setFilter(const QString &filter) { m_filter = filter; }
    [[nodiscard]] QString filter() const { return m_filter; }
    // 1-based, as the filter's entries are counted.
    void setFilterIndex(int index) { m_filterIndex = index; }
    [[nodiscard]] int filterIndex() const { return m_filterIndex; }

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

    // The filter's entries in order. A description without a pattern after it stands
    // for all files.
    [[nodiscard]] static QList<FilterEntry> filterEntries(const QString &filter)
    {
        QStringList parts = filter.split(QLatin1Char('|'));
        if (!parts.isEmpty() && parts.last().isEmpty())
            parts.removeLast();
        QList<FilterEntry> entries;
        for (qsizetype index = 0; index < parts.size(); index += 2) {
            const QString pattern = index + 1 < parts.size() ? parts.at(index + 1) : QString();
            QStringList patterns = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
            for (QString &each : patterns)
                each = each.trimmed();
            patterns.removeAll(QString());
            if (patterns.isEmpty())
                patterns << QStringLiteral("*");
            entries.append({parts.at(index), patterns});
        }
        return entries;
    }

    // The entries as name filters in the "Description (pattern pattern)" form that
    // toolkits read: a description that already ends with its patterns in parentheses
    // is shown unchanged, any other gets them appended.
    [[nodiscard]] static QStringList nameFilters(const QString &filter)
    {
        QStringList result;
        const QList<FilterEntry> entries = filterEntries(filter);
        for (const FilterEntry &entry : entries) {
            const QString patterns =
                QLatin1Char('(') + entry.patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
            if (entry.description.trimmed().endsWith(patterns))
                result << entry.description.trimmed();
            else
                result << (entry.description.trimmed() + QLatin1Char(' ') + patterns).trimmed();
        }
        return result;
    }

    // The 0-based entry that FilterIndex preselects; the first when it is out of range.
    [[nodiscard]] static qsizetype selectedFilterEntry(int filterIndex, qsizetype entryCount)
    {
        return filterIndex >= 1 && filterIndex <= entryCount ? filterIndex - 1 : 0;
    }

private:
    QString m_filter;
    int m_filterIndex = 0;
    QString m_fileName;
    ColourValue m_colour = 0;
    MarqueeFont m_font;
};
