// SPDX-License-Identifier: MIT
#pragma once

#include "field/marqueedocument.h"

#include <QList>
#include <QObject>
#include <QTextLayout>

#include <optional>

class QInputMethodEvent;
class QKeyEvent;

// The editing half of the display field, apart from how it is shown: the document with
// its caret, selection and undo history, which key does what, the clipboard, and the
// text an input method composes at the caret. The field hands it keys and input-method
// events and paints what it holds; the editor tells the field what changed.
class MarqueeEditor : public QObject
{
    Q_OBJECT

public:
    explicit MarqueeEditor(qsizetype maxLength, QObject *parent = nullptr);

    [[nodiscard]] const MarqueeDocument &document() const { return m_document; }
    [[nodiscard]] const QString &text() const { return m_document.text(); }

    // Replaces the document as MarqueeDocument::setText does and drops the composition.
    // It signals nothing: a new text is not an edit.
    void setText(const QString &text);

    void moveCursor(qsizetype position, MarqueeDocument::Move move);
    void setSelection(qsizetype anchor, qsizetype cursor);
    // Replaces [start, end) as one undoable edit, cut to the maximum length.
    void replace(qsizetype start, qsizetype end, const QString &text);
    // Puts the caret at `position` and inserts the selection clipboard's text there.
    void pasteSelectionAt(qsizetype position);

    // Whether the editor uses the key, so that it wins over the window's shortcuts.
    // Enter, Return and Esc are never its own.
    [[nodiscard]] static bool isOwnKey(const QKeyEvent *event);
    // Does what the key does; false when the key is not the editor's.
    [[nodiscard]] bool handleKey(const QKeyEvent *event);

    // Text an input method is composing, shown at the caret but not yet in the document,
    // with its formats and the caret's place within it.
    [[nodiscard]] const QString &composition() const { return m_composition; }
    [[nodiscard]] const QList<QTextLayout::FormatRange> &compositionFormats() const
    {
        return m_compositionFormats;
    }
    [[nodiscard]] int compositionCursor() const { return m_compositionCursor; }
    [[nodiscard]] bool isCaretHidden() const { return m_caretHidden; }
    void handleInputMethod(const QInputMethodEvent *event);
    // What an input method may learn of the text; an invalid value for other queries.
    [[nodiscard]] QVariant inputMethodQuery(Qt::InputMethodQuery query) const;

public Q_SLOTS:
    void undo();
    void redo();
    void cut();
    void copy() const;
    void paste();
    void deleteSelection();
    void selectAll();

Q_SIGNALS:
    // The text changed: `removed` at `position` was replaced by `inserted`.
    void edited(const MarqueeDocument::Change &change);
    // The caret, the selection, the composition or the text changed: the view follows.
    void cursorMoved();

private:
    void changed(const std::optional<MarqueeDocument::Change> &change);
    void insertAsOneStep(const QString &text);
    void clearComposition();
    // Where the text that input methods see starts, and where it ends.
    [[nodiscard]] qsizetype surroundingStart() const;
    [[nodiscard]] qsizetype surroundingEnd() const;

    MarqueeDocument m_document;
    QString m_composition;
    QList<QTextLayout::FormatRange> m_compositionFormats;
    int m_compositionCursor = 0;
    bool m_caretHidden = false;
};
