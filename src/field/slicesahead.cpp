// SPDX-License-Identifier: MIT
#include "field/slicesahead.h"

#include "characters/characters.h"

#include <utility>

namespace {

// What is kept of a text to tell it: all of a short one, the start of a longer one.
QStringView windowOf(QStringView text)
{
    return text.first(qMin(text.size(), SlicesAhead::kWindow));
}

} // namespace

bool SlicesAhead::take(const Request &request, VisibleSlice &slice)
{
    // Another request for the text just shown is laid out from another start, to place
    // the line: the slices ahead are for the next text.
    if (m_ahead.empty() || isSeen(request.text))
        return false;
    Ahead &next = m_ahead.front();
    // A longer text's length does not count: a slice ahead reads nothing near the end of
    // what is kept of it.
    if (request.start != m_start || request.reach != m_reach || request.direction != next.direction ||
        windowOf(request.text) != next.window || request.font != m_font)
        return false;
    std::swap(slice, *next.slice);
    m_spares.push_back(std::move(next.slice));
    see(request.text, std::move(next.window));
    m_ahead.pop_front();
    if (m_ahead.empty() && isKeptEnough(request, slice))
        layOutAhead(request);
    return true;
}

void SlicesAhead::follow(const Request &request, const VisibleSlice &current)
{
    if (isSeen(request.text))
        return;
    m_step = stepTo(request.text);
    see(request.text, windowOf(request.text).toString());
    clear();
    if (m_step != Step::None && isKeptEnough(request, current))
        layOutAhead(request);
}

bool SlicesAhead::isKeptEnough(const Request &request, const VisibleSlice &current)
{
    // A slice that reads close to the end of what is kept of a longer text, or a
    // direction that only a character past it decides, tells that the next steps' would.
    if (request.text.size() <= kWindow)
        return true;
    return current.end() + VisibleSlice::kLooksPastEnd < kWindow &&
           VisibleSlice::paragraphDirection(windowOf(request.text)) == request.direction;
}

void SlicesAhead::clear()
{
    for (Ahead &ahead : m_ahead)
        m_spares.push_back(std::move(ahead.slice));
    m_ahead.clear();
}

bool SlicesAhead::isSeen(QStringView text) const
{
    return text.size() == m_seenLength && windowOf(text) == m_seen;
}

SlicesAhead::Step SlicesAhead::stepTo(QStringView text) const
{
    if (text.isEmpty() || text.size() != m_seenLength)
        return Step::None;
    const QStringView window = windowOf(text);
    const QStringView seen = m_seen;
    // To the left the first character goes to the end, to the right the last comes first:
    // what is kept of the texts tells which, except for the character that came in.
    const qsizetype first = Characters::next(seen, 0);
    if (window.first(window.size() - first) == seen.sliced(first))
        return Step::Left;
    const qsizetype last = m_seenLast.size();
    if (last < window.size() && window.first(last) == m_seenLast &&
        window.sliced(last) == seen.first(seen.size() - last))
        return Step::Right;
    return Step::None;
}

void SlicesAhead::see(QStringView text, QString window)
{
    m_seen = std::move(window);
    m_seenLength = text.size();
    m_seenLast = text.sliced(Characters::previous(text, text.size())).toString();
}

void SlicesAhead::layOutAhead(const Request &request)
{
    m_start = request.start;
    m_reach = request.reach;
    m_font = request.font;
    const QStringView text = request.text;
    const qsizetype length = text.size();
    const qsizetype kept = qMin(length, kWindow);
    // The text after n steps: from the start of its n-th character on, then what lies
    // before it; to the right, counted from the end.
    qsizetype split = m_step == Step::Left ? 0 : length;
    for (int step = 0; step < kSteps; ++step) {
        split = m_step == Step::Left ? Characters::next(text, split) : Characters::previous(text, split);
        if (split <= 0 || split >= length)
            break;
        QString window;
        window.reserve(kept);
        window.append(text.sliced(split, qMin(length - split, kept)));
        window.append(text.first(kept - window.size()));
        const Qt::LayoutDirection direction = VisibleSlice::paragraphDirection(window);
        std::unique_ptr<VisibleSlice> slice = spare();
        slice->layOut(window, m_start, m_reach, m_font, direction);
        ++m_laidOut;
        if (kept < length && slice->end() + VisibleSlice::kLooksPastEnd >= kept) {
            m_spares.push_back(std::move(slice));
            break;
        }
        m_ahead.push_back({std::move(window), direction, std::move(slice)});
    }
}

std::unique_ptr<VisibleSlice> SlicesAhead::spare()
{
    if (m_spares.empty())
        return std::make_unique<VisibleSlice>();
    std::unique_ptr<VisibleSlice> slice = std::move(m_spares.back());
    m_spares.pop_back();
    return slice;
}
