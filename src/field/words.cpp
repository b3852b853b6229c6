// SPDX-License-Identifier: MIT
#include "field/words.h"

#include "characters/characters.h"

#include <QTextLayout>

namespace {

// Words are looked for this far from the position at first; the window doubles until
// the answer lies inside it.
constexpr qsizetype kWordWindow = 64;

enum class Way { Back, Forward };

// Where the caret moves by words from `position`, found in the window [start, end) of
// the text, which never starts or ends between the halves of a surrogate pair. A layout
// that is never laid out only answers where the caret may go.
struct WindowAnswer
{
    qsizetype position;
    qsizetype start;
    qsizetype end;
};

WindowAnswer moveByWords(QStringView text, qsizetype start, qsizetype end, qsizetype position, Way way)
{
    start = Characters::outsidePair(text, qMax<qsizetype>(0, start), Characters::Towards::Start);
    end = Characters::outsidePair(text, qMin(text.size(), end), Characters::Towards::End);
    QTextLayout layout(text.sliced(start, end - start).toString());
    const int local = int(position - start);
    return {start + (way == Way::Forward ? layout.nextCursorPosition(local, QTextLayout::SkipWords)
                                         : layout.previousCursorPosition(local, QTextLayout::SkipWords)),
            start, end};
}

} // namespace

namespace Words {

qsizetype next(QStringView text, qsizetype position)
{
    if (position >= text.size())
        return text.size();
    for (qsizetype size = kWordWindow;; size *= 2) {
        const WindowAnswer next = moveByWords(text, position - 2, position + size, position, Way::Forward);
        if (next.position < next.end || next.end == text.size())
            return next.position;
    }
}

qsizetype previous(QStringView text, qsizetype position)
{
    if (position <= 0)
        return 0;
    for (qsizetype size = kWordWindow;; size *= 2) {
        const WindowAnswer previous = moveByWords(text, position - size, position + 2, position, Way::Back);
        if (previous.position > previous.start || previous.start == 0)
            return previous.position;
    }
}

std::pair<qsizetype, qsizetype> at(QStringView text, qsizetype position)
{
    // As a one-line field selects: from the start of the word that holds the character
    // after the click to the start of the next word, less the spaces in between.
    const qsizetype after = qMin(position + 1, text.size());
    const qsizetype start = previous(text, after);
    qsizetype end = next(text, start);
    while (end > position && end > start && text[end - 1].isSpace())
        --end;
    return {start, qMax(start, end)};
}

} // namespace Words
