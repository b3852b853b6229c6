// SPDX-License-Identifier: MIT
#include "field/marqueeeditor.h"

#include "characters/characters.h"
#include "field/words.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTextCharFormat>

#include <algorithm>

namespace {

using Move = MarqueeDocument::Move;

// Input methods see this much of the text on either side of the caret.
constexpr qsizetype kSurroundingText = 1024;

// The keys, each a standard key so that the platform's own bindings apply, looked up
// in this order.
struct CommandKey
{
    QKeySequence::StandardKey key;
    void (*command)(MarqueeEditor &editor);
};

constexpr CommandKey kCommandKeys[] = {
    {QKeySequence::Undo,
     [](MarqueeEditor &editor) {
         editor.undo();
     }},
    {QKeySequence::Redo,
     [](MarqueeEditor &editor) {
         editor.redo();
     }},
    {QKeySequence::SelectAll,
     [](MarqueeEditor &editor) {
         editor.selectAll();
     }},
    {QKeySequence::Copy,
     [](MarqueeEditor &editor) {
         editor.copy();
     }},
    {QKeySequence::Cut,
     [](MarqueeEditor &editor) {
         editor.cut();
     }},
    {QKeySequence::Paste,
     [](MarqueeEditor &editor) {
         editor.paste();
     }},
};

enum class Target { Start, End, NextCharacter, PreviousCharacter, NextWord, PreviousWord };

struct CaretKey
{
    QKeySequence::StandardKey key;
    Target target;
    Move move;
};

// The line runs left to right: Right goes forward, Left back.
constexpr CaretKey kCaretKeys[] = {
    {QKeySequence::MoveToStartOfLine, Target::Start, Move::Jump},
    {QKeySequence::MoveToStartOfBlock, Target::Start, Move::Jump},
    {QKeySequence::MoveToStartOfDocument, Target::Start, Move::Jump},
    {QKeySequence::MoveToEndOfLine, Target::End, Move::Jump},
    {QKeySequence::MoveToEndOfBlock, Target::End, Move::Jump},
    {QKeySequence::MoveToEndOfDocument, Target::End, Move::Jump},
    {QKeySequence::SelectStartOfLine, Target::Start, Move::Select},
    {QKeySequence::SelectStartOfBlock, Target::Start, Move::Select},
    {QKeySequence::SelectStartOfDocument, Target::Start, Move::Select},
    {QKeySequence::SelectEndOfLine, Target::End, Move::Select},
    {QKeySequence::SelectEndOfBlock, Target::End, Move::Select},
    {QKeySequence::SelectEndOfDocument, Target::End, Move::Select},
    {QKeySequence::MoveToNextChar, Target::NextCharacter, Move::Jump},
    {QKeySequence::MoveToPreviousChar, Target::PreviousCharacter, Move::Jump},
    {QKeySequence::SelectNextChar, Target::NextCharacter, Move::Select},
    {QKeySequence::SelectPreviousChar, Target::PreviousCharacter, Move::Select},
    {QKeySequence::MoveToNextWord, Target::NextWord, Move::Jump},
    {QKeySequence::MoveToPreviousWord, Target::PreviousWord, Move::Jump},
    {QKeySequence::SelectNextWord, Target::NextWord, Move::Select},
    {QKeySequence::SelectPreviousWord, Target::PreviousWord, Move::Select},
};

struct EditKey
{
    QKeySequence::StandardKey key;
    std::optional<MarqueeDocument::Change> (MarqueeDocument::*edit)();
};

constexpr EditKey kEditKeys[] = {
    {QKeySequence::Delete, &MarqueeDocument::deleteNextCharacter},
    {QKeySequence::DeleteEndOfWord, &MarqueeDocument::deleteNextWord},
    {QKeySequence::DeleteStartOfWord, &MarqueeDocument::deletePreviousWord},
};

template<typename Binding, size_t size>
const Binding *find(const Binding (&bindings)[size], const QKeyEvent *event)
{
    const Binding *found =
        std::find_if(std::begin(bindings), std::end(bindings),
                     [event](const Binding &binding) { return event->matches(binding.key); });
    return found == std::end(bindings) ? nullptr : found;
}

// Where a caret key takes the caret. An arrow without Shift ends a selection at its edge
// on that side instead.
qsizetype positionOf(const MarqueeDocument &document, const CaretKey &key)
{
    const QString &text = document.text();
    const qsizetype cursor = document.cursor();
    const bool endsSelection = key.move == Move::Jump && document.hasSelection();
    switch (key.target) {
    case Target::Start:
        return 0;
    case Target::End:
        return text.size();
    case Target::NextCharacter:
        return endsSelection ? document.selectionEnd() : Characters::next(text, cursor);
    case Target::PreviousCharacter:
        return endsSelection ? document.selectionStart() : Characters::previous(text, cursor);
    case Target::NextWord:
        return Words::next(text, cursor);
    case Target::PreviousWord:
        return Words::previous(text, cursor);
    }
    return cursor;
}

bool hasCommandModifier(const QKeyEvent *event)
{
    return event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

bool isPrintable(const QString &text)
{
    return !text.isEmpty() && QChar::isPrint(Characters::codePointAt(text, 0));
}

} // namespace

MarqueeEditor::MarqueeEditor(qsizetype maxLength, QObject *parent) : QObject(parent), m_document(maxLength) {}

void MarqueeEditor::setText(const QString &text)
{
    m_document.setText(text);
    clearComposition();
}

void MarqueeEditor::moveCursor(qsizetype position, MarqueeDocument::Move move)
{
    m_document.moveCursor(position, move);
    Q_EMIT cursorMoved();
}

void MarqueeEditor::setSelection(qsizetype anchor, qsizetype cursor)
{
    m_document.select(anchor, cursor);
    Q_EMIT cursorMoved();
}

void MarqueeEditor::selectAll()
{
    setSelection(0, m_document.length());
}

void MarqueeEditor::replace(qsizetype start, qsizetype end, const QString &text)
{
    changed(m_document.replace(start, end, text));
}

void MarqueeEditor::undo()
{
    changed(m_document.undo());
}

void MarqueeEditor::redo()
{
    changed(m_document.redo());
}

void MarqueeEditor::cut()
{
    if (!m_document.hasSelection())
        return;
    copy();
    deleteSelection();
}

void MarqueeEditor::copy() const
{
    if (m_document.hasSelection())
        QGuiApplication::clipboard()->setText(m_document.selectedText());
}

void MarqueeEditor::paste()
{
    const QString pasted = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    if (!pasted.isEmpty() || m_document.hasSelection())
        insertAsOneStep(pasted);
}

void MarqueeEditor::pasteSelectionAt(qsizetype position)
{
    moveCursor(position, Move::Jump);
    insertAsOneStep(QGuiApplication::clipboard()->text(QClipboard::Selection));
}

void MarqueeEditor::deleteSelection()
{
    changed(m_document.removeSelection());
}

void MarqueeEditor::insertAsOneStep(const QString &text)
{
    m_document.separate();
    changed(m_document.insert(text));
    m_document.separate();
}

void MarqueeEditor::changed(const std::optional<MarqueeDocument::Change> &change)
{
    if (change)
        Q_EMIT edited(*change);
    Q_EMIT cursorMoved();
}

// --- Keys ---------------------------------------------------------------------------

bool MarqueeEditor::isOwnKey(const QKeyEvent *event)
{
    if (find(kCommandKeys, event) || find(kCaretKeys, event) || find(kEditKeys, event))
        return true;
    // Plain and shifted keys that type or edit; Enter, Return and Esc come after Esc.
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier && modifiers != Qt::KeypadModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Backspace:
    case Qt::Key_Left:
    case Qt::Key_Right:
        return true;
    default:
        return event->key() < Qt::Key_Escape;
    }
}

bool MarqueeEditor::handleKey(const QKeyEvent *event)
{
    if (const CommandKey *key = find(kCommandKeys, event)) {
        key->command(*this);
    } else if (const CaretKey *key = find(kCaretKeys, event)) {
        moveCursor(positionOf(m_document, *key), key->move);
    } else if (const EditKey *key = find(kEditKeys, event)) {
        changed((m_document.*key->edit)());
    } else if (event->key() == Qt::Key_Backspace && !hasCommandModifier(event)) {
        changed(m_document.deletePreviousCharacter());
    } else if (isPrintable(event->text()) && !hasCommandModifier(event)) {
        changed(m_document.insert(event->text()));
    } else {
        return false;
    }
    return true;
}

// --- Input methods -------------------------------------------------------------------

void MarqueeEditor::clearComposition()
{
    m_composition.clear();
    m_compositionFormats.clear();
    m_compositionCursor = 0;
    m_caretHidden = false;
}

qsizetype MarqueeEditor::surroundingStart() const
{
    return Characters::outsidePair(text(), qMax<qsizetype>(0, m_document.cursor() - kSurroundingText),
                                   Characters::Towards::Start);
}

qsizetype MarqueeEditor::surroundingEnd() const
{
    return Characters::outsidePair(text(), qMin(text().size(), m_document.cursor() + kSurroundingText),
                                   Characters::Towards::End);
}

void MarqueeEditor::handleInputMethod(const QInputMethodEvent *event)
{
    const qsizetype surrounding = surroundingStart();
    const bool commits = !event->commitString().isEmpty() || event->replacementLength() > 0;
    // Text coming in, committed or composed, replaces the selection.
    if (commits || event->preeditString() != m_composition) {
        if (std::optional<MarqueeDocument::Change> removed = m_document.removeSelection())
            changed(removed);
    }
    if (commits) {
        // The committed text replaces the range the input method names relative to the
        // caret, if any.
        const qsizetype start = m_document.cursor() + event->replacementStart();
        changed(m_document.replace(start, start + event->replacementLength(), event->commitString()));
    }

    clearComposition();
    m_composition = event->preeditString();
    m_compositionCursor = int(m_composition.size());
    for (const QInputMethodEvent::Attribute &attribute : event->attributes()) {
        switch (attribute.type) {
        case QInputMethodEvent::Selection:
            m_document.select(surrounding + attribute.start,
                              surrounding + attribute.start + attribute.length);
            break;
        case QInputMethodEvent::Cursor:
            m_compositionCursor = attribute.start;
            m_caretHidden = attribute.length == 0;
            break;
        case QInputMethodEvent::TextFormat: {
            const QTextCharFormat format = qvariant_cast<QTextFormat>(attribute.value).toCharFormat();
            if (format.isValid())
                m_compositionFormats.append({attribute.start, attribute.length, format});
            break;
        }
        default:
            break;
        }
    }
    Q_EMIT cursorMoved();
}

QVariant MarqueeEditor::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // Input methods see the text around the caret rather than the whole document.
    const QString &all = text();
    const qsizetype cursor = m_document.cursor();
    const qsizetype start = surroundingStart();
    const qsizetype end = surroundingEnd();
    switch (query) {
    case Qt::ImCursorPosition:
        return int(cursor - start);
    case Qt::ImAnchorPosition:
        return int(qBound(start, m_document.anchor(), end) - start);
    case Qt::ImSurroundingText:
        return all.sliced(start, end - start);
    case Qt::ImTextBeforeCursor:
        return all.sliced(start, cursor - start);
    case Qt::ImTextAfterCursor:
        return all.sliced(cursor, end - cursor);
    case Qt::ImCurrentSelection:
        return m_document.selectedText();
    case Qt::ImMaximumTextLength:
        return int(m_document.maxLength());
    case Qt::ImAbsolutePosition:
        return int(cursor);
    case Qt::ImReadOnly:
        return false;
    default:
        return {};
    }
}
