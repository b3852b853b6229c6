// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

#include <optional>

// The text of the display field with its caret, selection and undo history: what a
// one-line field edits, apart from how it is shown. Every edit splices the one string
// and records only what it changed, so that an edit costs the same at any length but
// for that splice.
class MarqueeDocument
{
public:
    enum class Move { Jump, Select };

    // What one edit changed: `removed` at `position` was replaced by `inserted`.
    struct Change
    {
        qsizetype position = 0;
        QString removed;
        QString inserted;
    };

    explicit MarqueeDocument(qsizetype maxLength) : m_maxLength(maxLength) {}

    [[nodiscard]] const QString &text() const { return m_text; }
    [[nodiscard]] qsizetype length() const { return m_text.size(); }
    [[nodiscard]] qsizetype maxLength() const { return m_maxLength; }
    [[nodiscard]] qsizetype cursor() const { return m_cursor; }
    [[nodiscard]] qsizetype anchor() const { return m_anchor; }
    [[nodiscard]] bool hasSelection() const { return m_cursor != m_anchor; }
    [[nodiscard]] qsizetype selectionStart() const { return qMin(m_cursor, m_anchor); }
    [[nodiscard]] qsizetype selectionEnd() const { return qMax(m_cursor, m_anchor); }
    [[nodiscard]] QString selectedText() const;

    // Replaces the whole text, cut to the maximum length; the caret goes to the start and
    // the history is forgotten.
    void setText(const QString &text);

    // The caret and the anchor stand only between characters: a position inside one
    // goes to its start.
    void moveCursor(qsizetype position, Move move);
    void select(qsizetype anchor, qsizetype cursor);
    void selectAll() { select(0, m_text.size()); }

    // The edits. Each replaces the selection when there is one and returns what changed,
    // nothing when the text stayed as it was. Inserted text is cut, between two
    // characters, to what the maximum length leaves room for.
    std::optional<Change> insert(QStringView text);
    std::optional<Change> replace(qsizetype start, qsizetype end, QStringView text);
    std::optional<Change> removeSelection();
    std::optional<Change> deletePreviousCharacter();
    std::optional<Change> deleteNextCharacter();
    std::optional<Change> deletePreviousWord();
    std::optional<Change> deleteNextWord();

    [[nodiscard]] bool canUndo() const { return m_undone > 0; }
    [[nodiscard]] bool canRedo() const { return m_undone < m_history.size(); }
    std::optional<Change> undo();
    std::optional<Change> redo();

    // Ends the current run of typing: the next edit starts a step of its own.
    void separate() { m_typing = Typing::None; }

private:
    enum class Typing { None, Inserting, Backspacing, Deleting };

    struct Step
    {
        Change change;
        qsizetype cursorBefore = 0;
        qsizetype anchorBefore = 0;
    };

    std::optional<Change> apply(qsizetype start, qsizetype end, QStringView text, Typing typing);
    void record(const Change &change, qsizetype cursorBefore, qsizetype anchorBefore, Typing typing);
    [[nodiscard]] qsizetype characterEdge(qsizetype position) const;
    // The position itself between two characters, else the end of the one it stands in.
    [[nodiscard]] qsizetype characterEndAtOrAfter(qsizetype position) const;
    [[nodiscard]] qsizetype clamp(qsizetype position) const
    {
        return qBound<qsizetype>(0, position, m_text.size());
    }

    QString m_text;
    qsizetype m_maxLength;
    qsizetype m_cursor = 0;
    qsizetype m_anchor = 0;
    QList<Step> m_history;
    qsizetype m_undone = 0; // the steps before this index are done, the rest undone
    Typing m_typing = Typing::None;
};
