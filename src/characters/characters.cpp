// SPDX-License-Identifier: MIT
#include "characters/characters.h"

#include <QTextBoundaryFinder>

namespace {

bool isRegionalIndicator(char32_t codePoint)
{
    return codePoint >= 0x1F1E6 && codePoint <= 0x1F1FF;
}

// Marks, joiners, emoji modifiers and tags: what belongs to the character before it.
bool isJoining(char32_t codePoint)
{
    switch (QChar::category(codePoint)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return codePoint == 0x200C || codePoint == 0x200D || (codePoint >= 0x1F3FB && codePoint <= 0x1F3FF) ||
               (codePoint >= 0xE0020 && codePoint <= 0xE007F);
    }
}

qsizetype codePointBefore(QStringView text, qsizetype position)
{
    return Characters::outsidePair(text, position - 1, Characters::Towards::Start);
}

// Whether a character starts at `position`, a code point's start. The answer depends on
// the code point there and on the character before it: its base with the marks and
// joiners after it (an emoji joined on after a joiner), or the run of flag letters
// (pairs count from its start). The finder is asked about that stretch alone: over a
// whole text, the toolkit's rules for Indic and Thai letters also break inside surrogate
// pairs, flags and emoji sequences, and before marks, where punctuation or emoji follow
// such a letter however far back, which no bounded look could repeat.
bool isBoundary(QStringView text, qsizetype position)
{
    if (position <= 0 || position >= text.size())
        return true;
    if (text[position - 1] == u'\r' || text[position] == u'\n')
        return true;
    const char32_t after = Characters::codePointAt(text, position);
    qsizetype start = codePointBefore(text, position);
    char32_t before = Characters::codePointAt(text, start);
    // A mark after a mark never starts a character, whatever the base.
    if (isJoining(after) && isJoining(before))
        return false;
    const bool inFlagRun = isRegionalIndicator(before) && isRegionalIndicator(after);
    while (start > 0) {
        const qsizetype earlier = codePointBefore(text, start);
        const char32_t previous = Characters::codePointAt(text, earlier);
        if (inFlagRun ? !isRegionalIndicator(previous) : !isJoining(before))
            break;
        start = earlier;
        before = previous;
    }
    const qsizetype end = Characters::outsidePair(text, position + 1, Characters::Towards::End);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data() + start, end - start);
    finder.setPosition(position - start);
    return finder.isAtBoundary();
}

// The code point start at or before `position` where a character starts.
qsizetype boundaryAtOrBefore(QStringView text, qsizetype position)
{
    position = Characters::outsidePair(text, position, Characters::Towards::Start);
    while (!isBoundary(text, position))
        position = codePointBefore(text, position);
    return position;
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
    position = outsidePair(text, qMax<qsizetype>(0, position), Towards::Start);
    do
        position = outsidePair(text, position + 1, Towards::End);
    while (!isBoundary(text, position));
    return position;
}

qsizetype previous(QStringView text, qsizetype position)
{
    if (position <= 0)
        return 0;
    return boundaryAtOrBefore(text, codePointBefore(text, qMin(position, text.size())));
}

qsizetype startAtOrBefore(QStringView text, qsizetype position)
{
    if (position <= 0)
        return 0;
    if (position >= text.size())
        return text.size();
    return boundaryAtOrBefore(text, position);
}

qsizetype fittingLength(QStringView text, qsizetype room)
{
    if (room <= 0)
        return 0;
    return room >= text.size() ? text.size() : startAtOrBefore(text, room);
}

} // namespace Characters
