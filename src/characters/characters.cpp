// SPDX-License-Identifier: MIT
#include "characters/characters.h"

#include <QTextBoundaryFinder>

namespace {

// The first window looked at; it doubles until it decides.
constexpr qsizetype kFirstWindow = 32;

bool isRegionalIndicator(char32_t codePoint)
{
    return codePoint >= 0x1F1E6 && codePoint <= 0x1F1FF;
}

// Whether a grapheme boundary that a window found at `position` holds in the whole text
// as well. A boundary depends on the character before it and the one after it, except
// where the rules look further back: an emoji joined on after a zero-width joiner, and a
// flag letter after a flag letter (pairs count from the start of their run). Those wait
// for a window that starts further back.
bool holdsWithoutContext(QStringView text, qsizetype position)
{
    const char32_t before = Characters::codePointAt(
        text, Characters::outsidePair(text, position - 1, Characters::Towards::Start));
    if (before == 0x200D)
        return false;
    return !(isRegionalIndicator(before) && isRegionalIndicator(Characters::codePointAt(text, position)));
}

struct Boundaries
{
    qsizetype last = 0;
    qsizetype withoutContext = 0;
};

// The last grapheme boundary before `end`, which the caller takes as a boundary, and the
// last one at or before it that holds without context (the start of the text serves as
// one). They are found in a window ending at `end` that grows until it holds such a
// boundary: from there on, the window's answers are those of the whole text.
Boundaries boundariesBefore(QStringView text, qsizetype end)
{
    for (qsizetype window = kFirstWindow;; window *= 2) {
        const qsizetype start =
            Characters::outsidePair(text, qMax<qsizetype>(0, end - window), Characters::Towards::Start);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data() + start, end - start);
        finder.toEnd();
        const qsizetype last = start + finder.toPreviousBoundary();
        for (qsizetype boundary = last; boundary > start; boundary = start + finder.toPreviousBoundary()) {
            if (holdsWithoutContext(text, boundary))
                return {last, boundary};
        }
        if (start == 0)
            return {last, 0};
    }
}

} // namespace

namespace Characters {

qsizetype outsidePair(QStringView text, qsizetype position, Towards towards)
{
    if (position <= 0 || position >= text.size() || !text[position].isLowSurrogate() ||
        !text[position - 1].isHighSurrogate())
        return position;
    return towards == Towards::Start ? position - 1 : position + 1;
}

char32_t codePointAt(QStringView text, qsizetype position)
{
    const QChar unit = text[position];
    if (unit.isHighSurrogate() && position + 1 < text.size() && text[position + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(unit, text[position + 1]);
    return unit.unicode();
}

qsizetype next(QStringView text, qsizetype position)
{
    if (position >= text.size())
        return text.size();
    if (text[position] == u'\r')
        return position + 1;
    // The window starts one code point before a boundary that holds without context, so
    // that from there on the finder is in the state it is in over the whole text. The
    // first boundary after the position is then exact once the character after it lies
    // whole inside the window too.
    const qsizetype anchor = position == 0 || holdsWithoutContext(text, position)
                                 ? position
                                 : boundariesBefore(text, position).withoutContext;
    const qsizetype start = outsidePair(text, qMax<qsizetype>(0, anchor - 1), Towards::Start);
    for (qsizetype window = kFirstWindow;; window *= 2) {
        const qsizetype end = outsidePair(text, qMin(text.size(), position + window), Towards::End);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data() + start, end - start);
        finder.setPosition(position - start);
        const qsizetype boundary = start + finder.toNextBoundary();
        if (boundary < end || end == text.size())
            return outsidePair(text, boundary, Towards::End);
    }
}

qsizetype previous(QStringView text, qsizetype position)
{
    if (position <= 0)
        return 0;
    position = qMin(position, text.size());
    if (text[position - 1] == u'\n')
        return position - 1;
    return outsidePair(text, boundariesBefore(text, position).last, Towards::Start);
}

qsizetype startAtOrBefore(QStringView text, qsizetype position)
{
    if (position <= 0)
        return 0;
    if (position >= text.size())
        return text.size();
    // The last boundary of the text that ends right after that unit.
    return previous(text, outsidePair(text, position + 1, Towards::End));
}

qsizetype fittingLength(QStringView text, qsizetype room)
{
    if (room <= 0)
        return 0;
    return room >= text.size() ? text.size() : startAtOrBefore(text, room);
}

} // namespace Characters
