// SPDX-License-Identifier: MIT
#include "field/marqueedocument.h"

#include "characters/characters.h"
#include "field/words.h"

QString MarqueeDocument::selectedText() const
{
    return m_text.sliced(selectionStart(), selectionEnd() - selectionStart());
}

void MarqueeDocument::setText(const QString &text)
{
    m_text = text.size() > m_maxLength ? text.first(Characters::fittingLength(text, m_maxLength)) : text;
    m_cursor = m_anchor = 0;
    if (!m_history.isEmpty())
        m_history.clear();
    m_undone = 0;
    m_typing = Typing::None;
}

qsizetype MarqueeDocument::characterEdge(qsizetype position) const
{
    return Characters::startAtOrBefore(m_text, clamp(position));
}

qsizetype MarqueeDocument::characterEndAtOrAfter(qsizetype position) const
{
    position = clamp(position);
    const qsizetype edge = characterEdge(position);
    return edge == position ? position : Characters::next(m_text, edge);
}

void MarqueeDocument::moveCursor(qsizetype position, Move move)
{
    position = characterEdge(position);
    if (position != m_cursor)
        separate();
    m_cursor = position;
    if (move == Move::Jump)
        m_anchor = position;
}

void MarqueeDocument::select(qsizetype anchor, qsizetype cursor)
{
    separate();
    m_anchor = characterEdge(anchor);
    m_cursor = characterEdge(cursor);
}

std::optional<MarqueeDocument::Change> MarqueeDocument::insert(QStringView text)
{
    return apply(selectionStart(), selectionEnd(), text, hasSelection() ? Typing::None : Typing::Inserting);
}

std::optional<MarqueeDocument::Change> MarqueeDocument::replace(qsizetype start, qsizetype end,
                                                                QStringView text)
{
    start = clamp(start);
    end = clamp(end);
    return apply(qMin(start, end), qMax(start, end), text, Typing::None);
}

std::optional<MarqueeDocument::Change> MarqueeDocument::removeSelection()
{
    if (!hasSelection())
        return std::nullopt;
    return apply(selectionStart(), selectionEnd(), {}, Typing::None);
}

std::optional<MarqueeDocument::Change> MarqueeDocument::deletePreviousCharacter()
{
    if (hasSelection())
        return removeSelection();
    return apply(Characters::previous(m_text, m_cursor), m_cursor, {}, Typing::Backspacing);
}

std::optional<MarqueeDocument::Change> MarqueeDocument::deleteNextCharacter()
{
    if (hasSelection())
        return removeSelection();
    return apply(m_cursor, Characters::next(m_text, m_cursor), {}, Typing::Deleting);
}

std::optional<MarqueeDocument::Change> MarqueeDocument::deletePreviousWord()
{
    if (hasSelection())
        return removeSelection();
    return apply(Words::previous(m_text, m_cursor), m_cursor, {}, Typing::None);
}

std::optional<MarqueeDocument::Change> MarqueeDocument::deleteNextWord()
{
    if (hasSelection())
        return removeSelection();
    return apply(m_cursor, Words::next(m_text, m_cursor), {}, Typing::None);
}

std::optional<MarqueeDocument::Change> MarqueeDocument::apply(qsizetype start, qsizetype end,
                                                              QStringView text, Typing typing)
{
    const qsizetype room = m_maxLength - (m_text.size() - (end - start));
    const QStringView fitting = text.first(Characters::fittingLength(text, room));
    if (start == end && fitting.isEmpty())
        return std::nullopt;

    Change change{start, m_text.sliced(start, end - start), fitting.toString()};
    const qsizetype cursorBefore = m_cursor;
    const qsizetype anchorBefore = m_anchor;
    m_text.replace(start, end - start, change.inserted);
    // An edit inside a character, or one that joins its neighbours into one, leaves the
    // caret after the character it then stands in.
    m_cursor = m_anchor = characterEndAtOrAfter(start + change.inserted.size());
    record(change, cursorBefore, anchorBefore, typing);
    return change;
}

void MarqueeDocument::record(const Change &change, qsizetype cursorBefore, qsizetype anchorBefore,
                             Typing typing)
{
    m_history.resize(m_undone);
    // A run of typing, of Backspace or of Delete is undone as one step.
    if (typing != Typing::None && typing == m_typing && !m_history.isEmpty()) {
        Change &last = m_history.last().change;
        switch (typing) {
        case Typing::Inserting:
            if (change.position == last.position + last.inserted.size()) {
                last.inserted += change.inserted;
                return;
            }
            break;
        case Typing::Backspacing:
            if (last.inserted.isEmpty() && change.position + change.removed.size() == last.position) {
                last.removed.prepend(change.removed);
                last.position = change.position;
                return;
            }
            break;
        case Typing::Deleting:
            if (last.inserted.isEmpty() && change.position == last.position) {
                last.removed += change.removed;
                return;
            }
            break;
        case Typing::None:
            break;
        }
    }
    m_history.append(Step{change, cursorBefore, anchorBefore});
    m_undone = m_history.size();
    m_typing = typing;
}

std::optional<MarqueeDocument::Change> MarqueeDocument::undo()
{
    if (!canUndo())
        return std::nullopt;
    const Step &step = m_history[--m_undone];
    const Change &done = step.change;
    m_text.replace(done.position, done.inserted.size(), done.removed);
    m_cursor = step.cursorBefore;
    m_anchor = step.anchorBefore;
    m_typing = Typing::None;
    return Change{done.position, done.inserted, done.removed};
}

std::optional<MarqueeDocument::Change> MarqueeDocument::redo()
{
    if (!canRedo())
        return std::nullopt;
    const Change &change = m_history[m_undone++].change;
    m_text.replace(change.position, change.removed.size(), change.inserted);
    // As the edit itself did: the caret goes after the character the insertion ends in.
    m_cursor = m_anchor = characterEndAtOrAfter(change.position + change.inserted.size());
    m_typing = Typing::None;
    return change;
}
