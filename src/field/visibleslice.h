// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QTextLayout>

#include <memory>

// The few characters of a long one-line text that the field shows, laid out on their
// own: nothing before or after them is shaped. Control characters, line breaks
// included, stand as visible symbols of their own width, so the text stays on one line.
// The line runs in the paragraph's direction, which the whole text's first strong
// character decides, as in a line edit; runs of the other direction are ordered within it.
//
// Positions are those of the whole text. x is measured from the slice's start side,
// leftwards in a right-to-left line; visual x is the layout's own, from its left.
class VisibleSlice
{
public:
    // Text an input method is composing at the caret, shown but not yet in the text.
    struct Composition
    {
        qsizetype position = 0;
        QString text;
        QList<QTextLayout::FormatRange> formats; // relative to the composed text
    };

    // How far past its end laying out a slice may read the text. A slice laid out from the
    // first part of a longer text, ending further than this before that part's end, is the
    // slice that the whole text gives.
    static constexpr qsizetype kLooksPastEnd = 512;

    // Lays out the text from `start`, a caret position, until its whole characters reach
    // `reach` pixels or the text ends. The composition is shown when it falls inside.
    void layOut(QStringView text, qsizetype start, qreal reach, const QFont &font,
                Qt::LayoutDirection direction, const Composition *composition = nullptr);
    // The last place at or before `position`, a caret position, where a slice may start
    // and show what follows as the whole text shows it: no run of the other direction
    // crosses it. Slices start there, so that what lies before them stands on the line's
    // start side and x grows with the position from one such place to the next.
    [[nodiscard]] static qsizetype startAtOrBefore(QStringView text, qsizetype position,
                                                   Qt::LayoutDirection line);

    // Lays out [start, end), or past `end` to the end of a run of the other direction it
    // would cut, to measure what lies before a position.
    void layOutRange(QStringView text, qsizetype start, qsizetype end, const QFont &font,
                     Qt::LayoutDirection direction);

    [[nodiscard]] qsizetype start() const { return m_start; }
    [[nodiscard]] qsizetype end() const { return m_end; }
    [[nodiscard]] bool reachesEnd() const { return m_reachesEnd; }
    // Whether a range ends inside a run of the other direction too long to take whole:
    // what stands beside its end is then not what the whole text shows there.
    [[nodiscard]] bool cutsRunAgainst() const { return m_cutsRunAgainst; }
    [[nodiscard]] bool contains(qsizetype position) const { return position >= m_start && position <= m_end; }
    [[nodiscard]] bool hasComposition() const { return m_compositionLength > 0; }
    [[nodiscard]] QTextLayout &layout() { return *m_layout; }
    [[nodiscard]] QTextLine line() const { return m_layout->lineAt(0); }

    // The layout's own position for a position of the text inside the slice; the
    // composition, when shown, stands before the character at its position.
    [[nodiscard]] int layoutPosition(qsizetype position) const;
    [[nodiscard]] qsizetype textPosition(int layoutPosition) const;

    [[nodiscard]] qreal x(qsizetype position) const;
    [[nodiscard]] qreal layoutX(int layoutPosition) const;
    [[nodiscard]] qreal visualX(int layoutPosition) const { return line().cursorToX(layoutPosition); }
    [[nodiscard]] qreal width() const;
    [[nodiscard]] Qt::LayoutDirection direction() const { return m_direction; }
    // The caret position nearest to visual x.
    [[nodiscard]] qsizetype positionAt(qreal visualX) const;
    // The caret position after the character at visual x.
    [[nodiscard]] qsizetype endOfCharacterAt(qreal visualX) const;
    // The last caret position that stands at or left of x.
    [[nodiscard]] qsizetype lastPositionAtOrBefore(qreal x) const;

    // The direction of a paragraph of this text, as its first strong character decides
    // outside isolates, the rule of QString::isRightToLeft(); looks past runs of thousands of
    // neutral characters a table lookup a unit.
    [[nodiscard]] static Qt::LayoutDirection paragraphDirection(QStringView text);

    // The text as shown: control characters replaced one for one by visible symbols.
    [[nodiscard]] static QString displayText(QStringView text);

private:
    // Units of a long character left out of the layout.
    struct Gap
    {
        qsizetype position = -1;
        qsizetype length = 0;
    };

    // Where a position of the text stands in the laid-out text, before any composition.
    [[nodiscard]] qsizetype shownOffset(qsizetype position) const;
    void build(QStringView text, const QFont &font, const Composition *composition);
    // The font's average character width, kept from one layout to the next.
    [[nodiscard]] qreal averageWidth(const QFont &font);

    // Behind a pointer, so that a slice can move: two slices trade what they laid out.
    std::unique_ptr<QTextLayout> m_layout = std::make_unique<QTextLayout>();
    qsizetype m_start = 0;
    qsizetype m_end = 0;
    bool m_reachesEnd = true;
    bool m_cutsRunAgainst = false;
    Qt::LayoutDirection m_direction = Qt::LeftToRight;
    qsizetype m_compositionPosition = 0;
    qsizetype m_compositionLength = 0;
    QList<Gap> m_gaps;
    // The end of a long run of marks that laying out found, so that building does not
    // look through it again.
    Gap m_knownRun;
    QFont m_averageFont;
    qreal m_averageWidth = 0;
};
