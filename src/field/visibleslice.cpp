// SPDX-License-Identifier: MIT
#include "field/visibleslice.h"

#include "characters/characters.h"

#include <QFontMetricsF>
#include <QTextOption>

#include <bitset>
#include <cmath>

namespace {

// One line never wraps: its width is set beyond any slice (the layout caps it).
constexpr qreal kUnbounded = 1e9;

// Of a longer run of combining marks (a letter under a pile of accents) or of format
// characters, which take no room (zero-width spaces, direction marks, soft hyphens), only
// the first are shaped and drawn: the marks would stand far outside the field, the format
// characters show nothing, and shaping thousands of them would cost more than a tick may.
constexpr qsizetype kLongestShownMarks = 16;

bool isUnseen(char32_t codePoint)
{
    return QChar::isMark(codePoint) || QChar::category(codePoint) == QChar::Other_Format;
}

// The end of the run of marks and format characters that starts at `position`: a table
// lookup a unit, for runs of thousands. A run already known to end at `knownEnd` from
// `knownFrom` on is not looked at again.
qsizetype endOfUnseen(QStringView text, qsizetype position, qsizetype knownFrom = -1, qsizetype knownEnd = -1)
{
    static const std::bitset<0x10000> unseen = [] {
        std::bitset<0x10000> made;
        for (char32_t unit = 0; unit < 0x10000; ++unit)
            made[unit] = !QChar::isSurrogate(unit) && isUnseen(unit);
        return made;
    }();
    while (position < text.size()) {
        if (position == knownFrom)
            return knownEnd;
        const char16_t unit = text[position].unicode();
        if (unseen[unit]) {
            ++position;
        } else if (QChar::isHighSurrogate(unit) && isUnseen(Characters::codePointAt(text, position))) {
            position += 2;
        } else {
            break;
        }
    }
    return position;
}

// Whether a character's direction runs against a line of this direction: letters of the
// other script, and in a right-to-left line the numbers too, which it shows left to right.
bool runsAgainst(QChar::Direction of, Qt::LayoutDirection line)
{
    if (line == Qt::RightToLeft)
        return of == QChar::DirL || of == QChar::DirEN || of == QChar::DirAN;
    return of == QChar::DirR || of == QChar::DirAL || of == QChar::DirAN;
}

bool runsWith(QChar::Direction of, Qt::LayoutDirection line)
{
    if (line == Qt::RightToLeft)
        return of == QChar::DirR || of == QChar::DirAL;
    return of == QChar::DirL;
}

// A slice that would cut a run of the other direction takes the rest of it, up to the
// next letter of the line's own direction: laid out alone, the run would show its cut end
// where the whole text shows its real one. Looked for only a little way on; `cut` tells
// whether the run goes on further.
qsizetype pastRunAgainst(QStringView text, qsizetype start, qsizetype end, Qt::LayoutDirection line,
                         bool *cut = nullptr)
{
    constexpr qsizetype kFurthest = VisibleSlice::kLooksPastEnd;
    bool against = false;
    for (qsizetype position = end; position > qMax(start, end - kFurthest);) {
        const QChar::Direction of = QChar::direction(Characters::codePointAt(text, --position));
        if (runsWith(of, line))
            break;
        if (runsAgainst(of, line)) {
            against = true;
            break;
        }
    }
    if (!against)
        return end;
    const qsizetype furthest = qMin(text.size(), end + kFurthest);
    for (qsizetype position = end; position < furthest; ++position) {
        if (runsWith(QChar::direction(Characters::codePointAt(text, position)), line))
            return Characters::next(text, position);
    }
    // A run that goes on to the end of the text is taken whole.
    if (furthest == text.size())
        return furthest;
    if (cut)
        *cut = true;
    return end;
}

// How a character's direction stands to a line's: a slice may start only where what
// follows resolves as in the whole text. Numbers take their direction from the letters
// before them, and explicit embeddings from what encloses them: both count as running
// against the line.
enum class Flow { With, Against, Neutral };

Flow flowOf(char32_t codePoint, Qt::LayoutDirection line)
{
    const QChar::Direction of = QChar::direction(codePoint);
    if (runsWith(of, line))
        return Flow::With;
    switch (of) {
    case QChar::DirL:
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirEN:
    case QChar::DirAN:
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirPDF:
    case QChar::DirLRI:
    case QChar::DirRLI:
    case QChar::DirFSI:
    case QChar::DirPDI:
        return Flow::Against;
    default:
        return Flow::Neutral;
    }
}

// The symbol that stands for a character the font would draw as nothing or that would
// break the line. The control pictures of Unicode where there is one; fonts without
// them show their box for a missing glyph, which serves as well.
char16_t symbolFor(char16_t unit)
{
    if (unit < 0x20)
        return char16_t(0x2400 + unit);
    if (unit == 0x7F)
        return u'\u2421';
    if (unit >= 0x80 && unit < 0xA0)
        return u'\uFFFD';
    switch (unit) {
    case 0x2028: // line separator
        return u'\u2424';
    case 0x2029: // paragraph separator
        return u'\u00B6';
    case 0xFFFC: // object replacement, drawn as nothing
        return u'\uFFFD';
    default:
        return unit;
    }
}

} // namespace

Qt::LayoutDirection VisibleSlice::paragraphDirection(QStringView text)
{
    static const std::bitset<0x10000> decides = [] {
        std::bitset<0x10000> made;
        for (char32_t unit = 0; unit < 0x10000; ++unit) {
            // A surrogate decides only as half of a pair; a lone one is no letter.
            if (QChar::isSurrogate(unit)) {
                made[unit] = QChar::isHighSurrogate(unit);
                continue;
            }
            switch (QChar::direction(unit)) {
            case QChar::DirL:
            case QChar::DirR:
            case QChar::DirAL:
            case QChar::DirLRI:
            case QChar::DirRLI:
            case QChar::DirFSI:
            case QChar::DirPDI:
                made[unit] = true;
                break;
            default:
                break;
            }
        }
        return made;
    }();
    int isolates = 0;
    for (qsizetype position = 0; position < text.size(); ++position) {
        const char16_t unit = text[position].unicode();
        if (!decides[unit])
            continue;
        char32_t codePoint = unit;
        if (QChar::isHighSurrogate(unit)) {
            if (position + 1 == text.size() || !text[position + 1].isLowSurrogate())
                continue;
            codePoint = QChar::surrogateToUcs4(unit, text[++position].unicode());
        }
        switch (QChar::direction(codePoint)) {
        case QChar::DirLRI:
        case QChar::DirRLI:
        case QChar::DirFSI:
            ++isolates;
            break;
        case QChar::DirPDI:
            isolates = qMax(0, isolates - 1);
            break;
        case QChar::DirL:
            if (isolates == 0)
                return Qt::LeftToRight;
            break;
        case QChar::DirR:
        case QChar::DirAL:
            if (isolates == 0)
                return Qt::RightToLeft;
            break;
        default:
            break;
        }
    }
    return Qt::LeftToRight;
}

QString VisibleSlice::displayText(QStringView text)
{
    QString shown = text.toString();
    for (QChar &unit : shown)
        unit = QChar(symbolFor(unit.unicode()));
    return shown;
}

qsizetype VisibleSlice::startAtOrBefore(QStringView text, qsizetype position, Qt::LayoutDirection line)
{
    // A slice may start at a character of the line's own direction, or at one that takes
    // it: punctuation or spaces followed by such a character, or preceded by one. What
    // lies before then stands on the line's start side, and what follows resolves as in
    // the whole text. Looked for only a little way either side.
    constexpr qsizetype kAhead = 64;
    constexpr qsizetype kFurthest = 512;
    position = Characters::startAtOrBefore(text, position);
    for (qsizetype ahead = position;;) {
        if (ahead >= text.size())
            return position;
        if (ahead >= position + kAhead)
            break;
        const char32_t codePoint = Characters::codePointAt(text, ahead);
        ahead += QChar::requiresSurrogates(codePoint) ? 2 : 1;
        const Flow flow = flowOf(codePoint, line);
        if (flow == Flow::With)
            return position;
        if (flow == Flow::Against)
            break;
    }
    // Back to the last character of the line's direction: the place just before the run
    // against it that follows serves, or that character itself.
    const bool neutralHere =
        position < text.size() && flowOf(Characters::codePointAt(text, position), line) == Flow::Neutral;
    qsizetype runStart = position;
    for (qsizetype back = position; back > 0;) {
        if (position - back >= kFurthest)
            return position;
        back = Characters::outsidePair(text, back - 1, Characters::Towards::Start);
        const Flow flow = flowOf(Characters::codePointAt(text, back), line);
        if (flow == Flow::Against) {
            runStart = back;
        } else if (flow == Flow::With) {
            if (runStart == position && neutralHere)
                return position;
            const qsizetype beforeRun =
                Characters::outsidePair(text, runStart - 1, Characters::Towards::Start);
            return Characters::startAtOrBefore(text, qMax(beforeRun, back));
        }
    }
    return 0;
}

qreal VisibleSlice::averageWidth(const QFont &font)
{
    if (m_averageWidth == 0 || !(font == m_averageFont)) {
        m_averageFont = font;
        m_averageWidth = qMax<qreal>(1, QFontMetricsF(font).averageCharWidth());
    }
    return m_averageWidth;
}

void VisibleSlice::layOut(QStringView text, qsizetype start, qreal reach, const QFont &font,
                          Qt::LayoutDirection direction, const Composition *composition)
{
    m_direction = direction;
    // Guess how many characters the reach needs and double the guess until the last
    // whole character laid out ends beyond it: the character at the very end of a slice
    // may be cut, so it never counts. A slice taken to the end of a run of marks or
    // format characters doubles from there.
    // At the display's sizes the reach holds a few characters, and each one shaped in vain
    // costs as much as one shown: the guess stays close.
    const qreal average = averageWidth(font);
    qsizetype guess = qsizetype(std::ceil(qMax<qreal>(0, reach) / average)) + 3;
    m_start = start;
    m_knownRun = {};
    for (;; guess = 2 * qMax(guess, m_end - start)) {
        m_end = Characters::outsidePair(text, qMin(text.size(), start + guess), Characters::Towards::End);
        // A slice that would end inside a long run of marks takes the rest of it, which
        // costs nothing: only the run's start is laid out. The run takes no room, so the
        // slice goes on past it before it is laid out.
        const qsizetype inRun = m_end;
        m_end = endOfUnseen(text, m_end);
        if (m_end - inRun > kLongestShownMarks && m_end < text.size()) {
            m_knownRun = {inRun, m_end - inRun};
            continue;
        }
        m_end = pastRunAgainst(text, start, m_end, direction);
        m_reachesEnd = m_end == text.size();
        build(text, font, composition);
        if (m_reachesEnd)
            return;
        // Measured by the slice's width less its last character, which a run of the other
        // direction too long to take whole holds beside the start, not at the far end.
        const int end = layoutPosition(m_end);
        const int lastWhole = m_layout->previousCursorPosition(end);
        if (lastWhole > 0 && width() - qAbs(visualX(end) - visualX(lastWhole)) >= reach)
            return;
    }
}

void VisibleSlice::layOutRange(QStringView text, qsizetype start, qsizetype end, const QFont &font,
                               Qt::LayoutDirection direction)
{
    m_direction = direction;
    m_start = start;
    m_knownRun = {};
    m_cutsRunAgainst = false;
    m_end = pastRunAgainst(text, start, end, direction, &m_cutsRunAgainst);
    m_reachesEnd = m_end == text.size();
    build(text, font, nullptr);
}

void VisibleSlice::build(QStringView text, const QFont &font, const Composition *composition)
{
    m_layout->clearLayout();
    m_gaps.clear();
    QString shown;
    qsizetype from = m_start;
    // A run the slice's end cuts, as a caret among format characters may, is shortened
    // up to that end.
    const QStringView sliced = text.first(m_end);
    for (qsizetype position = m_start; position < m_end;) {
        const qsizetype runEnd = qMin(m_end, endOfUnseen(sliced, position, m_knownRun.position,
                                                         m_knownRun.position + m_knownRun.length));
        if (runEnd - position > kLongestShownMarks) {
            const qsizetype kept =
                Characters::outsidePair(text, position + kLongestShownMarks, Characters::Towards::Start);
            shown += displayText(text.sliced(from, kept - from));
            from = runEnd;
            m_gaps.append({kept, runEnd - kept});
        }
        position = qMax(runEnd, position + 1);
    }
    shown += displayText(text.sliced(from, m_end - from));
    m_layout->setText(shown);
    m_layout->setFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(m_direction);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    m_layout->setTextOption(option);

    m_compositionLength = 0;
    QList<QTextLayout::FormatRange> formats;
    if (composition && !composition->text.isEmpty() && contains(composition->position)) {
        m_compositionPosition = composition->position;
        m_compositionLength = composition->text.size();
        const int local = int(shownOffset(m_compositionPosition));
        m_layout->setPreeditArea(local, composition->text);
        for (QTextLayout::FormatRange range : composition->formats) {
            range.start += local;
            formats.append(range);
        }
    } else {
        m_layout->setPreeditArea(-1, QString());
    }
    m_layout->setFormats(formats);
    // Without its cache a layout drops its glyphs at endLayout(), and the first measure
    // after it shapes the slice again: a few characters are worth keeping.
    m_layout->setCacheEnabled(true);

    m_layout->beginLayout();
    QTextLine line = m_layout->createLine();
    line.setLineWidth(kUnbounded);
    m_layout->endLayout();
}

int VisibleSlice::layoutPosition(qsizetype position) const
{
    qsizetype local = shownOffset(position);
    if (m_compositionLength > 0 && position > m_compositionPosition)
        local += m_compositionLength;
    return int(local);
}

qsizetype VisibleSlice::textPosition(int layoutPosition) const
{
    qsizetype local = layoutPosition;
    if (m_compositionLength > 0) {
        const qsizetype composed = shownOffset(m_compositionPosition);
        if (local > composed)
            local = qMax(composed, local - m_compositionLength);
    }
    // A gap's place in the layout is the end of the character it shortens.
    qsizetype position = m_start + local;
    for (const Gap &gap : m_gaps) {
        if (position >= gap.position)
            position += gap.length;
    }
    return qBound(m_start, position, m_end);
}

qsizetype VisibleSlice::shownOffset(qsizetype position) const
{
    position = qBound(m_start, position, m_end);
    qsizetype offset = position - m_start;
    for (const Gap &gap : m_gaps)
        offset -= qBound<qsizetype>(0, position - gap.position, gap.length);
    return offset;
}

qreal VisibleSlice::x(qsizetype position) const
{
    return layoutX(layoutPosition(position));
}

qreal VisibleSlice::layoutX(int layoutPosition) const
{
    const qreal visual = visualX(layoutPosition);
    return m_direction == Qt::RightToLeft ? width() - visual : visual;
}

qreal VisibleSlice::width() const
{
    return line().naturalTextWidth();
}

qsizetype VisibleSlice::positionAt(qreal visualX) const
{
    int position = line().xToCursor(visualX, QTextLine::CursorBetweenCharacters);
    // The end of a slice that stops short of the text's end may fall inside a character.
    if (!m_reachesEnd)
        position = qMin(position, m_layout->previousCursorPosition(layoutPosition(m_end)));
    return textPosition(position);
}

qsizetype VisibleSlice::endOfCharacterAt(qreal visualX) const
{
    int position = m_layout->nextCursorPosition(line().xToCursor(visualX, QTextLine::CursorOnCharacter));
    if (!m_reachesEnd)
        position = qMin(position, m_layout->previousCursorPosition(layoutPosition(m_end)));
    return textPosition(position);
}

qsizetype VisibleSlice::lastPositionAtOrBefore(qreal x) const
{
    int position = 0;
    const int end = layoutPosition(m_end);
    while (position < end) {
        const int next = m_layout->nextCursorPosition(position);
        if (next == position || layoutX(next) > x)
            break;
        position = next;
    }
    return textPosition(position);
}
