// SPDX-License-Identifier: MIT
#include "field/marqueeview.h"

#include "characters/characters.h"

#include <QFontMetricsF>

#include <cmath>
#include <limits>

void MarqueeView::reset()
{
    m_start = 0;
    m_shift = 0;
    m_fresh = true;
}

int MarqueeView::caretLayoutPosition(qsizetype cursor, int compositionCursor) const
{
    int position = m_slice.layoutPosition(cursor);
    if (m_slice.hasComposition())
        position += compositionCursor;
    return position;
}

qreal MarqueeView::layoutOffset() const
{
    // A right-to-left line is mirrored as a line edit mirrors it: its start side one pixel
    // inside the right edge.
    if (m_slice.direction() == Qt::RightToLeft)
        return m_width - 1 + m_shift - m_slice.width();
    return -m_shift;
}

void MarqueeView::update(const State &state)
{
    const qreal width = state.width;
    const bool rightToLeft = state.direction == Qt::RightToLeft;
    m_width = width;
    if (state.cursor < m_start) {
        m_start = state.cursor;
        m_shift = 0;
    }
    layOut(state);
    // A line edit starts a new text from the line's left end, which in a right-to-left
    // line is the text's end: at rest, the caret at the start then scrolls to the right.
    if (m_fresh && rightToLeft)
        m_shift = m_slice.reachesEnd() ? m_slice.width() - width + 1 : std::numeric_limits<qreal>::max();
    m_fresh = false;
    if (!m_slice.contains(state.cursor)) {
        placeAtRightEdge(state, state.cursor, width - 1);
        layOut(state);
    }
    // The caret at the right edge or at the left edge, as a line edit puts it.
    const qreal caretX = qRound(m_slice.layoutX(caretLayoutPosition(state.cursor, state.compositionCursor)));
    if (caretX - m_shift >= width) {
        scrollTo(caretX - width + 1);
        layOut(state);
    } else if (caretX < m_shift) {
        scrollTo(caretX);
        layOut(state);
    }
    // The end stays at the far edge, as a line edit keeps it: one pixel further in on
    // the right of a left-to-right line.
    if (m_slice.reachesEnd()) {
        const qreal used = m_slice.width() + 1;
        if (m_start == 0 && used <= width) {
            m_shift = rightToLeft ? -1 : 0;
        } else if (used - m_shift < width) {
            placeAtRightEdge(state, state.text.size(), width - (rightToLeft ? 1 : 2));
            layOut(state);
        }
    }
}

void MarqueeView::layOut(const State &state)
{
    m_slice.layOut(state.text, m_start, m_shift + state.width, state.font, state.direction,
                   state.composition);
}

void MarqueeView::scrollTo(qreal shift)
{
    // The first character in view is the last one that starts at or left of the shift.
    const qsizetype first = m_slice.lastPositionAtOrBefore(shift);
    m_shift = shift - m_slice.x(first);
    m_start = first;
}

void MarqueeView::placeAtRightEdge(const State &state, qsizetype position, qreal edge)
{
    // Measure backwards from the position, over more text each time, until what lies
    // before it fills the line.
    const qreal average = qMax<qreal>(1, QFontMetricsF(state.font).averageCharWidth());
    for (qsizetype reach = qsizetype(std::ceil(edge / average)) * 2 + 16;; reach *= 2) {
        const qsizetype from = Characters::startAtOrBefore(state.text, qMax<qsizetype>(0, position - reach));
        VisibleSlice before;
        before.layOutRange(state.text, from, position, state.font, state.direction);
        const qreal span = before.x(position);
        if (span < edge && from > 0)
            continue;
        if (span <= edge) {
            reset();
        } else {
            const qreal shift = span - edge;
            m_start = before.lastPositionAtOrBefore(shift);
            m_shift = shift - before.x(m_start);
        }
        return;
    }
}
