#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QTextLayout>

// The few characters of a long one-line text that the field shows, laid out on their
// own: nothing before or after them is shaped. Control characters, line breaks
// included, stand as visible symbols of their own width, so the text stays on one line.
// The line runs left to right, as the text scrolls; right-to-left runs are ordered
// within it.
//
// Positions are those of the whole text; x is measured from the slice's start.
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

    // Lays out the text from `start`, a caret position, until its whole characters reach
    // `reach` pixels or the text ends. The composition is shown when it falls inside.
    void layOut(QStringView text, qsizetype start, qreal reach, const QFont &font,
                const Composition *composition = nullptr);
    // Lays out exactly [start, end), to measure what lies before a position.
    void layOutRange(QStringView text, qsizetype start, qsizetype end, const QFont &font);

    [[nodiscard]] qsizetype start() const { return m_start; }
    [[nodiscard]] qsizetype end() const { return m_end; }
    [[nodiscard]] bool reachesEnd() const { return m_reachesEnd; }
    [[nodiscard]] bool contains(qsizetype position) const { return position >= m_start && position <= m_end; }
    [[nodiscard]] bool hasComposition() const { return m_compositionLength > 0; }
    [[nodiscard]] QTextLayout &layout() { return m_layout; }
    [[nodiscard]] QTextLine line() const { return m_layout.lineAt(0); }

    // The layout's own position for a position of the text inside the slice; the
    // composition, when shown, stands before the character at its position.
    [[nodiscard]] int layoutPosition(qsizetype position) const;
    [[nodiscard]] qsizetype textPosition(int layoutPosition) const;

    [[nodiscard]] qreal x(qsizetype position) const;
    [[nodiscard]] qreal layoutX(int layoutPosition) const;
    [[nodiscard]] qreal width() const;
    // The caret position nearest to x.
    [[nodiscard]] qsizetype positionAt(qreal x) const;
    // The caret position after the character at x.
    [[nodiscard]] qsizetype endOfCharacterAt(qreal x) const;
    // The last caret position that stands at or left of x.
    [[nodiscard]] qsizetype lastPositionAtOrBefore(qreal x) const;

    // The text as shown: control characters replaced one for one by visible symbols.
    [[nodiscard]] static QString displayText(QStringView text);

private:
    void build(QStringView text, const QFont &font, const Composition *composition);

    QTextLayout m_layout;
    qsizetype m_start = 0;
    qsizetype m_end = 0;
    bool m_reachesEnd = true;
    qsizetype m_compositionPosition = 0;
    qsizetype m_compositionLength = 0;
};
