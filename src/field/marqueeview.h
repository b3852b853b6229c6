// SPDX-License-Identifier: MIT
#pragma once

#include "field/slicesahead.h"
#include "field/visibleslice.h"

#include <QFont>

// Which part of a one-line text is in view: the first character laid out and how far the
// line is moved past it, towards the end. It scrolls as a line edit does (the
// caret stays inside the line, and the end of the text leaves no room while anything is
// hidden at the start) but works on a slice of the text instead of the whole. A
// right-to-left line is the mirror image: it starts at the right edge.
class MarqueeView
{
public:
    struct State
    {
        QStringView text;
        qsizetype cursor = 0;
        // Composed text shown at the cursor, and the caret's place within it.
        const VisibleSlice::Composition *composition = nullptr;
        int compositionCursor = 0;
        QFont font;
        qreal width = 0;
        // The paragraph's direction, as the text's first strong character decides.
        Qt::LayoutDirection direction = Qt::LeftToRight;
    };

    // Shows the start of the text, placed anew until it has been shown.
    void reset();
    void markShown() { m_fresh = false; }
    // Scrolls as little as the new state needs and lays out what is then in view.
    void update(const State &state);

    [[nodiscard]] qsizetype start() const { return m_start; }
    [[nodiscard]] qreal shift() const { return m_shift; }
    // Where the slice's layout starts, from the left of the line.
    [[nodiscard]] qreal layoutOffset() const;
    [[nodiscard]] const VisibleSlice &slice() const { return m_slice; }
    [[nodiscard]] VisibleSlice &slice() { return m_slice; }
    // The caret's position in the slice's layout, inside the composition if there is one.
    [[nodiscard]] int caretLayoutPosition(qsizetype cursor, int compositionCursor) const;

private:
    // What stands at the edge a placement puts it at: the caret at a position, or the far
    // end of the text up to that position (in mixed text not where its last caret stands).
    enum class Measure { Caret, Width };

    // What a new start must keep where it was on the line: letters kerned across the start
    // of a slice stand apart by other amounts than in the slice measured before.
    struct Pin
    {
        qsizetype position = -1;
        Measure measure = Measure::Caret;
        qreal at = 0;
    };

    void layOut(const State &state);
    void scrollTo(const State &state, qreal shift);
    void placeBefore(const State &state, qsizetype position, qreal edge, Measure measure);

    VisibleSlice m_slice;
    SlicesAhead m_ahead;
    qsizetype m_start = 0;
    qreal m_shift = 0;
    qreal m_width = 0;
    bool m_fresh = true;
    Pin m_pin;
};
