#include "app/textboundaries.h"

#include "scroll/rotation.h"

#include <QTextBoundaryFinder>
#include <QTextLayout>

namespace {

// Words are looked for this far from the position at first; the window doubles until
// the answer lies inside it.
constexpr qsizetype kWordWindow = 64;

// The window never starts or ends between the two halves of a surrogate pair.
qsizetype safeStart(QStringView text, qsizetype start)
{
    if (start > 0 && start < text.size() && text[start].isLowSurrogate())
        --start;
    return start;
}

qsizetype safeEnd(QStringView text, qsizetype end)
{
    if (end > 0 && end < text.size() && text[end].isLowSurrogate())
        ++end;
    return end;
}

// A layout that is never laid out: it only answers where the caret may move by words.
int moveByWords(QStringView window, int position, bool forward)
{
    QTextLayout layout(window.toString());
    return forward ? layout.nextCursorPosition(position, QTextLayout::SkipWords)
                   : layout.previousCursorPosition(position, QTextLayout::SkipWords);
}

} // namespace

namespace TextBoundaries {

qsizetype nextCharacter(QStringView text, qsizetype position)
{
    if (position >= text.size())
        return text.size();
    return position + Rotation::firstCharacterLength(text.sliced(position));
}

qsizetype previousCharacter(QStringView text, qsizetype position)
{
    if (position <= 0)
        return 0;
    return position - Rotation::lastCharacterLength(text.first(position));
}

qsizetype characterStartAtOrBefore(QStringView text, qsizetype position)
{
    if (position <= 0)
        return 0;
    if (position >= text.size())
        return text.size();
    // The character that holds the unit at `position` starts at the last boundary of the
    // text that ends right after that unit.
    return previousCharacter(text, safeEnd(text, position + 1));
}

qsizetype nextWord(QStringView text, qsizetype position)
{
    if (position >= text.size())
        return text.size();
    for (qsizetype window = kWordWindow;; window *= 2) {
        const qsizetype start = safeStart(text, qMax<qsizetype>(0, position - 2));
        const qsizetype end = safeEnd(text, qMin(text.size(), position + window));
        const qsizetype next =
            start + moveByWords(text.sliced(start, end - start), int(position - start), true);
        if (next < end || end == text.size())
            return next;
    }
}

qsizetype previousWord(QStringView text, qsizetype position)
{
    if (position <= 0)
        return 0;
    for (qsizetype window = kWordWindow;; window *= 2) {
        const qsizetype start = safeStart(text, qMax<qsizetype>(0, position - window));
        const qsizetype end = safeEnd(text, qMin(text.size(), position + 2));
        const qsizetype previous =
            start + moveByWords(text.sliced(start, end - start), int(position - start), false);
        if (previous > start || start == 0)
            return previous;
    }
}

std::pair<qsizetype, qsizetype> wordAt(QStringView text, qsizetype position)
{
    // As a one-line field selects: from the start of the word that holds the character
    // after the click to the start of the next word, less the spaces in between.
    const qsizetype after = qMin(position + 1, text.size());
    const qsizetype start = previousWord(text, after);
    qsizetype end = nextWord(text, start);
    while (end > position && end > start && text[end - 1].isSpace())
        --end;
    return {start, qMax(start, end)};
}

qsizetype fittingLength(QStringView text, qsizetype room)
{
    if (room <= 0)
        return 0;
    if (text.size() <= room)
        return text.size();
    // A boundary depends on what stands before it and on the character right after it.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), room + 1);
    finder.setPosition(room);
    if (text[room - 1] == u'\r' || finder.isAtBoundary())
        return room;
    return qMax<qsizetype>(0, finder.toPreviousBoundary());
}

} // namespace TextBoundaries
