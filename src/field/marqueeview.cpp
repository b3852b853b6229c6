// SPDX-License-Identifier: MIT
#include "field/marqueeview.h"

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
    // Until it is shown, a new text is placed anew from its start on every change, as a
    // line edit places it when it first paints it.
    if (m_fresh) {
        m_start = 0;
        m_shift = 0;
    }
    if (state.cursor < m_start) {
        // A caret before the line's start edge brings that edge to it.
        placeBefore(state, state.cursor, 0, Measure::Caret);
    }
    layOut(state);
    // A line edit starts a new text from the line's left end, which in a right-to-left
    // line is the text's end: at rest, the caret at the start then scrolls to the right.
    const bool fresh = m_fresh;
    if (fresh && rightToLeft)
        m_shift = m_slice.reachesEnd() ? m_slice.width() - width + 1 : std::numeric_limits<qreal>::max();
    if (!m_slice.contains(state.cursor)) {
        // A caret beyond the far edge comes to that edge; a new right-to-left text shows
        // its end there, and the caret, if it then stands beyond the start edge, brings
        // that edge to it.
        if (fresh && rightToLeft)
            placeBefore(state, state.text.size(), width - 1, Measure::Width);
        else
            placeBefore(state, state.cursor, width - 1, Measure::Caret);
        if (state.cursor < m_start)
            placeBefore(state, state.cursor, 0, Measure::Caret);
        layOut(state);
    }
    // The caret at the right edge or at the left edge, as a line edit puts it.
    const qreal caretX = qRound(m_slice.layoutX(caretLayoutPosition(state.cursor, state.compositionCursor)));
    if (caretX - m_shift >= width) {
        scrollTo(state, caretX - width + 1);
        layOut(state);
    } else if (caretX < m_shift) {
        scrollTo(state, caretX);
        layOut(state);
    }
    // The end stays at the far edge, as a line edit keeps it: one pixel further in on
    // the right of a left-to-right line.
    const auto fits = [&] {
        return m_start == 0 && m_slice.width() + 1 <= width;
    };
    if (m_slice.reachesEnd()) {
        if (!fits() && m_slice.width() + 1 - m_shift < width) {
            placeBefore(state, state.text.size(), width - (rightToLeft ? 1 : 2), Measure::Width);
            layOut(state);
        }
        if (fits())
            m_shift = rightToLeft ? -1 : 0;
    }
}

void MarqueeView::layOut(const State &state)
{
    const qreal reach = m_shift + state.width;
    if (state.composition) {
        m_ahead.clear();
        m_slice.layOut(state.text, m_start, reach, state.font, state.direction, state.composition);
    } else {
        const SlicesAhead::Request request{state.text, m_start, reach, state.font, state.direction};
        if (!m_ahead.take(request, m_slice))
            m_slice.layOut(state.text, m_start, reach, state.font, state.direction);
        m_ahead.follow(request, m_slice);
    }
    if (m_pin.position < 0)
        return;
    if (m_pin.measure == Measure::Width && m_slice.reachesEnd())
        m_shift = m_slice.width() - m_pin.at;
    else if (m_pin.measure == Measure::Caret && m_slice.contains(m_pin.position))
        m_shift = m_slice.x(m_pin.position) - m_pin.at;
    m_pin = {};
}

void MarqueeView::scrollTo(const State &state, qreal shift)
{
    // The view starts from the last place before the shift where a slice may start.
    const qsizetype first =
        qMax(m_slice.start(), VisibleSlice::startAtOrBefore(state.text, m_slice.lastPositionAtOrBefore(shift),
                                                            state.direction));
    m_shift = shift - (first == m_slice.start() ? 0 : m_slice.x(first));
    m_start = first;
    m_pin = {state.cursor, Measure::Caret, m_slice.x(state.cursor) - shift};
}

void MarqueeView::placeBefore(const State &state, qsizetype position, qreal edge, Measure measure)
{
    // Measure backwards from the position, over more text each time, until what lies
    // before it fills the line up to the edge.
    const qreal average = qMax<qreal>(1, QFontMetricsF(state.font).averageCharWidth());
    for (qsizetype reach = qsizetype(std::ceil(edge / average)) * 2 + 16;; reach *= 2) {
        const qsizetype from =
            VisibleSlice::startAtOrBefore(state.text, qMax<qsizetype>(0, position - reach), state.direction);
        VisibleSlice before;
        before.layOutRange(state.text, from, position, state.font, state.direction);
        const qreal span = measure == Measure::Caret ? before.x(position) : before.width();
        // Measuring further back cannot help where the range cuts a run too long to take
        // whole: a caret inside it stands beside the cut, wherever the range starts.
        if (span < edge && from > 0 && !before.cutsRunAgainst())
            continue;
        const qreal shift = qMax<qreal>(0, span - edge);
        m_start = qMax(from, VisibleSlice::startAtOrBefore(state.text, before.lastPositionAtOrBefore(shift),
                                                           state.direction));
        m_shift = shift - (m_start == from ? 0 : before.x(m_start));
        m_pin = m_start == from ? Pin() : Pin{position, measure, span - shift};
        return;
    }
}
