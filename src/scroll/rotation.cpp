#include "scroll/rotation.h"

#include <QTextBoundaryFinder>

namespace {

// Characters are found in a window at the end of the text that grows until it decides,
// so that a tick costs the same at any text length.
constexpr qsizetype kFirstWindow = 32;

// The first grapheme boundary after position 0 of the window [0, size): exact whenever
// it lies inside the window, since a boundary depends only on what stands before it and
// on the character right after it.
qsizetype firstBoundary(QStringView text, qsizetype size)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), size);
    finder.toStart();
    return finder.toNextBoundary();
}

// The last grapheme boundary before the end of the window that ends the text and
// starts at `start`, counted from the start of the text.
qsizetype lastBoundary(QStringView text, qsizetype start)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data() + start, text.size() - start);
    finder.toEnd();
    return start + finder.toPreviousBoundary();
}

bool isRegionalIndicatorEndingAt(QStringView text, qsizetype end)
{
    if (end < 2 || !text[end - 1].isLowSurrogate() || !text[end - 2].isHighSurrogate())
        return false;
    const char32_t codePoint = QChar::surrogateToUcs4(text[end - 2], text[end - 1]);
    return codePoint >= 0x1F1E6 && codePoint <= 0x1F1FF;
}

// Where a window that should start at `start` must start instead: never inside a
// surrogate pair, and before a whole run of flag letters, which pair up counted from
// the start of the run.
qsizetype windowStart(QStringView text, qsizetype start)
{
    if (start > 0 && text[start].isLowSurrogate())
        --start;
    while (isRegionalIndicatorEndingAt(text, start))
        start -= 2;
    return start;
}

} // namespace

namespace Rotation {

qsizetype firstCharacterLength(QStringView text)
{
    Q_ASSERT(!text.isEmpty());
    if (text.front() == u'\r')
        return 1;
    for (qsizetype window = kFirstWindow;; window *= 2) {
        const qsizetype size = qMin(window, text.size());
        const qsizetype boundary = firstBoundary(text, size);
        if (boundary > 0 && (boundary < size || size == text.size()))
            return boundary;
    }
}

qsizetype lastCharacterLength(QStringView text)
{
    Q_ASSERT(!text.isEmpty());
    if (text.back() == u'\n')
        return 1;
    // A boundary near the end can depend on context before the window (an emoji
    // sequence, a long run of accents): accept a window's answer once a window twice as
    // long agrees.
    qsizetype previous = -1;
    for (qsizetype window = kFirstWindow;; window *= 2) {
        const qsizetype start = windowStart(text, qMax<qsizetype>(0, text.size() - window));
        const qsizetype boundary = lastBoundary(text, start);
        if (start == 0 || (boundary > start && boundary == previous))
            return text.size() - boundary;
        previous = boundary;
    }
}

std::optional<QString> left(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    const qsizetype first = firstCharacterLength(text);
    QString result;
    result.reserve(text.size());
    result.append(text.mid(first)).append(text.left(first));
    return result;
}

std::optional<QString> right(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    const qsizetype last = lastCharacterLength(text);
    QString result;
    result.reserve(text.size());
    result.append(text.right(last)).append(text.left(text.size() - last));
    return result;
}

} // namespace Rotation
