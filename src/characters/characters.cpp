// SPDX-License-Identifier: MIT
#include "characters/characters.h"

#include <QTextBoundaryFinder>

#include <bitset>

namespace {

// The first window looked at; it doubles until it decides.
constexpr qsizetype kFirstWindow = 32;

// A run of marks longer than this after a character is skipped without the boundary rules.
constexpr qsizetype kLongMarkRun = 64;

struct MarkTables
{
    std::bitset<0x10000> any;     // nonspacing, spacing or enclosing marks
    std::bitset<0x10000> joining; // nonspacing or enclosing: they always join what precedes
};

const MarkTables &markTables()
{
    static const MarkTables tables = [] {
        MarkTables made;
        for (char32_t unit = 0; unit < 0x10000; ++unit) {
            const QChar::Category category = QChar::category(unit);
            made.joining[unit] = category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing;
            made.any[unit] = made.joining[unit] || category == QChar::Mark_SpacingCombining;
        }
        return made;
    }();
    return tables;
}

bool isJoiner(char16_t unit)
{
    return unit == 0x200C || unit == 0x200D;
}

enum class Before { Joins, Stands, Unsure };

// Whether marks after this code point join it or, after a control or a line break, stand
// alone. Format characters and unassigned ones are left to the boundary rules.
Before marksAfter(char32_t codePoint)
{
    switch (QChar::category(codePoint)) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return Before::Stands;
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_NotAssigned:
        return Before::Unsure;
    default:
        return Before::Joins;
    }
}

qsizetype codePointLength(QStringView text, qsizetype position)
{
    return Characters::codePointAt(text, position) > 0xFFFF ? 2 : 1;
}

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

qsizetype endOfMarks(QStringView text, qsizetype position)
{
    const auto &any = markTables().any;
    while (position < text.size()) {
        const char16_t unit = text[position].unicode();
        if (!QChar::isSurrogate(unit)) {
            if (!any[unit] && !isJoiner(unit))
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
    if (text[position] == u'\r')
        return position + 1;
    // A letter under thousands of accents: the accents all belong to it, and the rules
    // decide what follows the pile as they would after one of them.
    const qsizetype afterFirst = position + codePointLength(text, position);
    const auto &joining = markTables().joining;
    qsizetype runEnd = afterFirst;
    while (runEnd < text.size() && joining[text[runEnd].unicode()])
        ++runEnd;
    if (runEnd - afterFirst > kLongMarkRun && marksAfter(codePointAt(text, position)) == Before::Joins &&
        (position == 0 || holdsWithoutContext(text, position))) {
        const qsizetype tail = outsidePair(text, qMin(text.size(), runEnd + kLongMarkRun), Towards::End);
        const qsizetype kept = afterFirst - position + 1;
        QString pile = text.sliced(position, afterFirst - position).toString();
        pile += text[runEnd - 1];
        pile += text.sliced(runEnd, tail - runEnd);
        const qsizetype boundary = next(pile, 0);
        if (boundary >= kept && (boundary < pile.size() || tail == text.size()))
            return runEnd + boundary - kept;
    }
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
    // Within a long pile of accents no character starts: the one before the pile decides.
    const auto &joining = markTables().joining;
    qsizetype runStart = position;
    while (runStart > 0 && joining[text[runStart - 1].unicode()])
        --runStart;
    if (position - runStart > kLongMarkRun) {
        if (runStart == 0)
            return 0;
        switch (marksAfter(codePointAt(text, outsidePair(text, runStart - 1, Towards::Start)))) {
        case Before::Joins:
            return previous(text, runStart);
        case Before::Stands:
            return runStart;
        case Before::Unsure:
            break;
        }
    }
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
