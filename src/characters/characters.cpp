// SPDX-License-Identifier: MIT
#include "characters/characters.h"

#include <QTextBoundaryFinder>

#include <bitset>

namespace {

// Of a longer run of marks, or of flag letters, the boundary rules see its ends only: the
// rules read any number of marks after a character as one.
constexpr qsizetype kLongRun = 64;
constexpr qsizetype kKeptMarks = 8;

// The nonspacing, spacing and enclosing marks of the Basic Multilingual Plane: a table
// lookup a unit, for the piles of thousands of accents.
const std::bitset<0x10000> &markTable()
{
    static const std::bitset<0x10000> marks = [] {
        std::bitset<0x10000> made;
        for (char32_t unit = 0; unit < 0x10000; ++unit)
            made[unit] = QChar::isMark(unit);
        return made;
    }();
    return marks;
}

// The characters of the Basic Multilingual Plane that join the character after them (the
// Arabic number signs, a repha), as far as the toolkit's rules agree: a run of thousands
// of them is one character with what follows, stepped over a table lookup a unit.
const std::bitset<0x10000> &prependedTable()
{
    static const std::bitset<0x10000> prepended = [] {
        std::bitset<0x10000> made;
        for (const auto &[first, last] : {std::pair<char16_t, char16_t>(0x0600, 0x0605),
                                          {0x06DD, 0x06DD},
                                          {0x070F, 0x070F},
                                          {0x0890, 0x0891},
                                          {0x08E2, 0x08E2},
                                          {0x0D4E, 0x0D4E}}) {
            for (char16_t unit = first; unit <= last; ++unit) {
                const QChar pair[] = {QChar(unit), QChar(unit)};
                QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, pair, 2);
                finder.setPosition(1);
                made[unit] = !finder.isAtBoundary();
            }
        }
        return made;
    }();
    return prepended;
}

bool isPrepended(char16_t unit)
{
    return prependedTable()[unit];
}

// The start of the run of prepended characters that ends at `position`.
qsizetype startOfPrepended(QStringView text, qsizetype position)
{
    const auto &prepended = prependedTable();
    while (position > 0 && prepended[text[position - 1].unicode()])
        --position;
    return position;
}

// The end of the run of prepended characters that starts at `position`.
qsizetype endOfPrepended(QStringView text, qsizetype position)
{
    const auto &prepended = prependedTable();
    while (position < text.size() && prepended[text[position].unicode()])
        ++position;
    return position;
}

bool isJoiner(char32_t codePoint)
{
    return codePoint == 0x200C || codePoint == 0x200D;
}

bool isRegionalIndicator(char32_t codePoint)
{
    return codePoint >= 0x1F1E6 && codePoint <= 0x1F1FF;
}

// Marks, joiners, emoji modifiers and tags: what belongs to the character before it.
bool isJoining(char32_t codePoint)
{
    if (codePoint < 0x10000)
        return markTable()[codePoint] || isJoiner(codePoint);
    return QChar::isMark(codePoint) || (codePoint >= 0x1F3FB && codePoint <= 0x1F3FF) ||
           (codePoint >= 0xE0020 && codePoint <= 0xE007F);
}

qsizetype codePointBefore(QStringView text, qsizetype position)
{
    return Characters::outsidePair(text, position - 1, Characters::Towards::Start);
}

qsizetype codePointEnd(QStringView text, qsizetype position)
{
    return Characters::outsidePair(text, position + 1, Characters::Towards::End);
}

// The start of the run of marks and joiners that ends at `position`.
qsizetype startOfJoining(QStringView text, qsizetype position)
{
    const auto &marks = markTable();
    while (position > 0) {
        const char16_t unit = text[position - 1].unicode();
        if (marks[unit] || isJoiner(unit)) {
            --position;
            continue;
        }
        const qsizetype before = codePointBefore(text, position);
        if (before == position - 1 || !isJoining(Characters::codePointAt(text, before)))
            break;
        position = before;
    }
    return position;
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
    // Between two printable ASCII characters there is always one: the rules need asking
    // only beside others. A tick of a long ASCII text asks once.
    const auto isPrintableAscii = [](QChar unit) {
        return unit.unicode() >= 0x20 && unit.unicode() < 0x7F;
    };
    if (isPrintableAscii(text[position - 1]) && isPrintableAscii(text[position]))
        return true;
    if (isPrepended(text[position - 1].unicode()) && isPrepended(text[position].unicode()))
        return false;
    const char32_t after = Characters::codePointAt(text, position);
    const char32_t before = Characters::codePointAt(text, codePointBefore(text, position));
    // A mark after a mark never starts a character, whatever the base.
    if (isJoining(after) && isJoining(before))
        return false;
    const qsizetype end = codePointEnd(text, position);
    QString shortened;
    QStringView stretch;
    if (isRegionalIndicator(before) && isRegionalIndicator(after)) {
        qsizetype start = codePointBefore(text, position);
        while (start > 0 && isRegionalIndicator(Characters::codePointAt(text, codePointBefore(text, start))))
            start = codePointBefore(text, start);
        // One flag letter before when it is the first of a pair, else two.
        const qsizetype kept = (position - start) / 2 % 2 == 1 ? 2 : 4;
        stretch = text.sliced(qMax(start, position - kept), end - qMax(start, position - kept));
    } else {
        const qsizetype marks = startOfJoining(text, position);
        const qsizetype start = marks > 0 ? codePointBefore(text, marks) : 0;
        stretch = text.sliced(start, end - start);
        if (position - marks > kLongRun) {
            const qsizetype kept =
                Characters::outsidePair(text, position - kKeptMarks, Characters::Towards::Start);
            shortened = text.sliced(start, marks - start).toString();
            shortened += text.sliced(kept, end - kept);
            stretch = shortened;
        }
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, stretch.data(), stretch.size());
    finder.setPosition(stretch.size() - (end - position));
    return finder.isAtBoundary();
}

// The code point start at or before `position` where a character starts.
qsizetype boundaryAtOrBefore(QStringView text, qsizetype position)
{
    position = Characters::outsidePair(text, position, Characters::Towards::Start);
    while (!isBoundary(text, position)) {
        // Inside a run of marks none starts one: on to the run's first; so too in a run of
        // prepended characters.
        const qsizetype marks = startOfJoining(text, position);
        const qsizetype prepended = startOfPrepended(text, position);
        if (marks < position && isJoining(Characters::codePointAt(text, position)))
            position = marks;
        else if (prepended < position)
            position = prepended;
        else
            position = codePointBefore(text, position);
    }
    return position;
}

} // namespace

namespace Characters {

qsizetype endOfMarks(QStringView text, qsizetype position)
{
    const auto &marks = markTable();
    while (position < text.size()) {
        const char16_t unit = text[position].unicode();
        if (!QChar::isSurrogate(unit)) {
            if (!marks[unit] && !isJoiner(unit))
                break;
            ++position;
        } else {
            const char32_t codePoint = codePointAt(text, position);
            if (!QChar::isMark(codePoint))
                break;
            position += 2;
        }
    }
    return position;
}

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
    position = codePointEnd(text, outsidePair(text, qMax<qsizetype>(0, position), Towards::Start));
    while (!isBoundary(text, position)) {
        // After a mark that starts no character, none of the marks after it starts one; nor
        // does a prepended character after one.
        const qsizetype marks = endOfMarks(text, position);
        const qsizetype prepended = endOfPrepended(text, position);
        position = qMax(marks, prepended) > position ? qMax(marks, prepended) : codePointEnd(text, position);
    }
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
