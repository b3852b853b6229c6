#include "app/marqueefield.h"

#include "app/marqueefieldaccessible.h"
#include "app/textboundaries.h"
#include "window/initialstate.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextCharFormat>

#include <cmath>

namespace {

// A line edit's margins between its frame and its text.
constexpr int kHorizontalMargin = 2;
constexpr int kVerticalMargin = 1;

// Input methods see this much of the text on either side of the caret.
constexpr qsizetype kSurroundingText = 1024;

bool isPrintable(const QString &text)
{
    if (text.isEmpty())
        return false;
    const char32_t first = text.at(0).isHighSurrogate() && text.size() > 1
                               ? QChar::surrogateToUcs4(text.at(0), text.at(1))
                               : char32_t(text.at(0).unicode());
    return QChar::isPrint(first);
}

bool isDecorated(const QFont &font)
{
    return font.underline() || font.overline() || font.strikeOut();
}

void notifyAccessibility(QAccessibleEvent &&event)
{
    QAccessible::updateAccessibility(&event);
}

} // namespace

MarqueeField::MarqueeField(QWidget *parent) : QWidget(parent), m_document(InitialState::kMaxTextLength)
{
    MarqueeFieldAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression);
    setAttribute(Qt::WA_MacShowFocusRect);
    setBackgroundRole(QPalette::Base);
    setCursor(Qt::IBeamCursor);
    setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed, QSizePolicy::LineEdit));
}

MarqueeField::~MarqueeField() = default;

// --- Text, caret and selection ------------------------------------------------------

void MarqueeField::setText(const QString &text)
{
    const QString previous = QAccessible::isActive() ? m_document.text() : QString();
    const bool caretMoved = m_document.cursor() != 0 || m_document.hasSelection();
    m_document.setText(text);
    if (!m_composition.isEmpty()) {
        m_composition.clear();
        m_compositionFormats.clear();
        if (hasFocus())
            QGuiApplication::inputMethod()->reset();
    }
    m_view.reset();
    invalidateView();
    if (caretMoved && hasFocus())
        updateMicroFocus();
    if (QAccessible::isActive())
        notifyAccessibility(QAccessibleTextUpdateEvent(this, 0, previous, m_document.text()));
}

void MarqueeField::setColours(const QColor &text, const QColor &background)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Text, text);
    colours.setColor(QPalette::Base, background);
    setPalette(colours);
}

void MarqueeField::setCursorPosition(qsizetype position)
{
    moveCursor(position, MarqueeDocument::Move::Jump);
}

void MarqueeField::setSelection(qsizetype anchor, qsizetype cursor)
{
    m_document.select(anchor, cursor);
    cursorChanged();
}

void MarqueeField::replace(qsizetype start, qsizetype end, const QString &text)
{
    edited(m_document.replace(start, end, text));
}

void MarqueeField::undo()
{
    edited(m_document.undo());
}

void MarqueeField::redo()
{
    edited(m_document.redo());
}

void MarqueeField::cut()
{
    if (!m_document.hasSelection())
        return;
    copy();
    deleteSelection();
}

void MarqueeField::copy() const
{
    if (m_document.hasSelection())
        QGuiApplication::clipboard()->setText(m_document.selectedText());
}

void MarqueeField::paste()
{
    const QString pasted = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    if (pasted.isEmpty() && !m_document.hasSelection())
        return;
    m_document.separate();
    edited(m_document.insert(pasted));
    m_document.separate();
}

void MarqueeField::deleteSelection()
{
    edited(m_document.removeSelection());
}

void MarqueeField::selectAll()
{
    m_document.selectAll();
    cursorChanged();
}

void MarqueeField::moveCursor(qsizetype position, MarqueeDocument::Move move)
{
    m_document.moveCursor(position, move);
    cursorChanged();
}

void MarqueeField::edited(const std::optional<MarqueeDocument::Change> &change)
{
    if (change && QAccessible::isActive()) {
        if (change->removed.isEmpty())
            notifyAccessibility(QAccessibleTextInsertEvent(this, int(change->position), change->inserted));
        else if (change->inserted.isEmpty())
            notifyAccessibility(QAccessibleTextRemoveEvent(this, int(change->position), change->removed));
        else
            notifyAccessibility(
                QAccessibleTextUpdateEvent(this, int(change->position), change->removed, change->inserted));
    }
    cursorChanged();
}

void MarqueeField::cursorChanged()
{
    invalidateView();
    restartBlinking();
    updateMicroFocus();
    if (QAccessible::isActive()) {
        if (m_document.hasSelection()) {
            QAccessibleTextSelectionEvent event(this, int(m_document.selectionStart()),
                                                int(m_document.selectionEnd()));
            event.setCursorPosition(int(m_document.cursor()));
            QAccessible::updateAccessibility(&event);
        } else {
            notifyAccessibility(QAccessibleTextCursorEvent(this, int(m_document.cursor())));
        }
    }
}

// --- The view ---------------------------------------------------------------------

void MarqueeField::invalidateView()
{
    m_viewValid = false;
    update();
}

void MarqueeField::initStyleOption(QStyleOptionFrame *option) const
{
    option->initFrom(this);
    option->rect = contentsRect();
    option->lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, option, this);
    option->midLineWidth = 0;
    option->state |= QStyle::State_Sunken;
    option->features = QStyleOptionFrame::None;
}

MarqueeField::LineGeometry MarqueeField::lineGeometry() const
{
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    // Centred vertically as a line edit centres its text; a line taller than the field
    // overflows at both edges alike.
    const int height = QFontMetrics(font()).height();
    const int top = contents.y() + (contents.height() - height + 1) / 2;
    return {contents,
            QRect(contents.x() + kHorizontalMargin, top, contents.width() - 2 * kHorizontalMargin, height)};
}

QPointF MarqueeField::textOrigin(const QRect &line) const
{
    // The baseline stays where the field's own font puts it, whatever fallback fonts the
    // characters in view need.
    const qreal ascent = QFontMetricsF(font()).ascent();
    const qreal baseline = line.y() + QFontMetrics(font()).ascent() - qRound(ascent) + ascent;
    return {line.x() - m_view.shift(), baseline - m_view.slice().line().ascent()};
}

int MarqueeField::caretLayoutPosition() const
{
    return m_view.caretLayoutPosition(m_document.cursor(), m_compositionCursor);
}

void MarqueeField::ensureView() const
{
    if (m_viewValid)
        return;
    m_viewValid = true;
    const VisibleSlice::Composition composition{m_document.cursor(), m_composition, m_compositionFormats};
    m_view.update({m_document.text(), m_document.cursor(), m_composition.isEmpty() ? nullptr : &composition,
                   m_compositionCursor, font(), qreal(lineGeometry().line.width())});
}

qsizetype MarqueeField::firstVisiblePosition() const
{
    ensureView();
    return m_view.start();
}

QList<QTextLayout::FormatRange> MarqueeField::selectionFormats() const
{
    const VisibleSlice &slice = m_view.slice();
    const qsizetype start = qMax(m_document.selectionStart(), slice.start());
    const qsizetype end = qMin(m_document.selectionEnd(), slice.end());
    if (!m_document.hasSelection() || start >= end)
        return {};
    QTextLayout::FormatRange range;
    range.start = slice.layoutPosition(start);
    range.length = slice.layoutPosition(end) - range.start;
    range.format.setBackground(palette().brush(QPalette::Highlight));
    range.format.setForeground(palette().brush(QPalette::HighlightedText));
    return {range};
}

void MarqueeField::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    drawPanel(painter, panel);

    ensureView();
    const LineGeometry geometry = lineGeometry();
    painter.setClipRect(geometry.contents);
    const QPointF origin = textOrigin(geometry.line);
    const QColor colour = palette().color(QPalette::Text);
    painter.setPen(colour);
    const QList<QTextLayout::FormatRange> selections = selectionFormats();
    VisibleSlice &slice = m_view.slice();
    // Plain text in large letters comes from the glyph images; selections, composed
    // text and underlines are drawn by the layout.
    if (selections.isEmpty() && !slice.hasComposition() && !isDecorated(font()) &&
        GlyphImageCache::isWorthCaching(font(), devicePixelRatio()))
        m_glyphs.draw(painter, slice.line().glyphRuns(), origin, colour);
    else
        slice.layout().draw(&painter, origin, selections, event->rect());

    if (hasFocus() && m_caretShown && !m_caretHiddenByComposition)
        slice.layout().drawCursor(&painter, origin, caretLayoutPosition(),
                                  style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, this));
}

void MarqueeField::drawPanel(QPainter &painter, const QStyleOptionFrame &panel)
{
    const qreal ratio = devicePixelRatio();
    const PanelKey key{panel.rect.size(), ratio,           int(panel.state), palette().cacheKey(),
                       style(),           panel.lineWidth, panel.direction};
    if (!(key == m_panelKey) || m_panel.isNull()) {
        m_panelKey = key;
        m_panel = QImage(panel.rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        m_panel.setDevicePixelRatio(ratio);
        m_panel.fill(Qt::transparent);
        QPainter onPanel(&m_panel);
        QStyleOptionFrame atOrigin = panel;
        atOrigin.rect.moveTopLeft(QPoint(0, 0));
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &atOrigin, &onPanel, this);
    }
    painter.drawImage(panel.rect.topLeft(), m_panel);
}

QRect MarqueeField::cursorRect() const
{
    ensureView();
    const LineGeometry geometry = lineGeometry();
    const qreal x = m_view.slice().layoutX(caretLayoutPosition()) - m_view.shift();
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const int width = style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, this);
    return QRect(geometry.line.x() + int(std::floor(x)) - 1, geometry.line.y(), width + 2,
                 geometry.line.height() + 1);
}

QRect MarqueeField::characterRect(qsizetype position) const
{
    ensureView();
    const VisibleSlice &slice = m_view.slice();
    if (position < slice.start() || position >= slice.end())
        return {};
    const LineGeometry geometry = lineGeometry();
    const qsizetype next = qMin(TextBoundaries::nextCharacter(m_document.text(), position), slice.end());
    const qreal from = slice.x(position);
    const qreal to = slice.x(next);
    const QRectF rect(geometry.line.x() - m_view.shift() + qMin(from, to), geometry.line.y(),
                      std::abs(to - from), geometry.line.height());
    if (!rect.intersects(QRectF(geometry.line)))
        return {};
    return rect.toAlignedRect();
}

qsizetype MarqueeField::positionAt(QPoint point) const
{
    ensureView();
    const LineGeometry geometry = lineGeometry();
    // Beyond either end of the line the caret goes past the character there, so that
    // dragging the pointer out of the field scrolls it, even by characters wider than it.
    const qreal x = point.x() - geometry.line.x() + m_view.shift();
    if (point.x() < geometry.line.left() && (m_view.start() > 0 || m_view.shift() > 0))
        return m_view.shift() < 1 ? TextBoundaries::previousCharacter(m_document.text(), m_view.start())
                                  : m_view.start();
    if (point.x() > geometry.line.right())
        return m_view.slice().endOfCharacterAt(x);
    return m_view.slice().positionAt(x);
}

QSize MarqueeField::sizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics(font());
    const int height = metrics.height() + 2 * kVerticalMargin;
    const int width = metrics.horizontalAdvance(QLatin1Char('x')) * 17 + 2 * kHorizontalMargin;
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(width, height), this);
}

QSize MarqueeField::minimumSizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics(font());
    const int height = metrics.height() + 2 * kVerticalMargin;
    const int width = metrics.maxWidth() + 2 * kHorizontalMargin;
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(width, height), this);
}

// --- Keys ---------------------------------------------------------------------------

bool MarqueeField::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Keys the field uses itself win over the window's shortcuts; Enter, Return and
        // Esc are not among them and reach the window.
        auto *key = static_cast<QKeyEvent *>(event);
        static constexpr QKeySequence::StandardKey kOwnKeys[] = {
            QKeySequence::Copy,
            QKeySequence::Paste,
            QKeySequence::Cut,
            QKeySequence::Undo,
            QKeySequence::Redo,
            QKeySequence::SelectAll,
            QKeySequence::MoveToNextWord,
            QKeySequence::MoveToPreviousWord,
            QKeySequence::MoveToStartOfLine,
            QKeySequence::MoveToEndOfLine,
            QKeySequence::MoveToStartOfBlock,
            QKeySequence::MoveToEndOfBlock,
            QKeySequence::MoveToStartOfDocument,
            QKeySequence::MoveToEndOfDocument,
            QKeySequence::SelectNextWord,
            QKeySequence::SelectPreviousWord,
            QKeySequence::SelectStartOfLine,
            QKeySequence::SelectEndOfLine,
            QKeySequence::SelectStartOfBlock,
            QKeySequence::SelectEndOfBlock,
            QKeySequence::SelectStartOfDocument,
            QKeySequence::SelectEndOfDocument,
            QKeySequence::DeleteStartOfWord,
            QKeySequence::DeleteEndOfWord,
        };
        for (const QKeySequence::StandardKey own : kOwnKeys) {
            if (key->matches(own)) {
                key->accept();
                return true;
            }
        }
        const Qt::KeyboardModifiers modifiers = key->modifiers();
        if (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier ||
            modifiers == Qt::KeypadModifier) {
            switch (key->key()) {
            case Qt::Key_Delete:
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_Backspace:
            case Qt::Key_Left:
            case Qt::Key_Right:
                key->accept();
                return true;
            default:
                if (key->key() < Qt::Key_Escape) {
                    key->accept();
                    return true;
                }
                break;
            }
        }
    }
    return QWidget::event(event);
}

void MarqueeField::keyPressEvent(QKeyEvent *event)
{
    if (handleKey(event)) {
        event->accept();
        return;
    }
    // Enter, Esc and anything else unknown go on to the window.
    event->ignore();
}

bool MarqueeField::handleKey(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (event->matches(QKeySequence::Redo)) {
        redo();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::Cut)) {
        cut();
    } else if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (!moveByKey(event) && !editByKey(event)) {
        return false;
    }
    return true;
}

qsizetype MarqueeField::characterAfter(Direction direction) const
{
    const qsizetype cursor = m_document.cursor();
    return direction == Direction::Forward ? TextBoundaries::nextCharacter(m_document.text(), cursor)
                                           : TextBoundaries::previousCharacter(m_document.text(), cursor);
}

qsizetype MarqueeField::wordAfter(Direction direction) const
{
    const qsizetype cursor = m_document.cursor();
    return direction == Direction::Forward ? TextBoundaries::nextWord(m_document.text(), cursor)
                                           : TextBoundaries::previousWord(m_document.text(), cursor);
}

bool MarqueeField::moveByKey(QKeyEvent *event)
{
    using Move = MarqueeDocument::Move;
    // The line runs left to right: Right goes forward, Left back.
    constexpr Direction right = Direction::Forward;
    constexpr Direction left = Direction::Backward;
    const qsizetype end = m_document.length();

    if (event->matches(QKeySequence::MoveToStartOfLine) || event->matches(QKeySequence::MoveToStartOfBlock) ||
        event->matches(QKeySequence::MoveToStartOfDocument)) {
        moveCursor(0, Move::Jump);
    } else if (event->matches(QKeySequence::MoveToEndOfLine) ||
               event->matches(QKeySequence::MoveToEndOfBlock) ||
               event->matches(QKeySequence::MoveToEndOfDocument)) {
        moveCursor(end, Move::Jump);
    } else if (event->matches(QKeySequence::SelectStartOfLine) ||
               event->matches(QKeySequence::SelectStartOfBlock) ||
               event->matches(QKeySequence::SelectStartOfDocument)) {
        moveCursor(0, Move::Select);
    } else if (event->matches(QKeySequence::SelectEndOfLine) ||
               event->matches(QKeySequence::SelectEndOfBlock) ||
               event->matches(QKeySequence::SelectEndOfDocument)) {
        moveCursor(end, Move::Select);
    } else if (event->matches(QKeySequence::MoveToNextChar) ||
               event->matches(QKeySequence::MoveToPreviousChar)) {
        const bool forward = event->matches(QKeySequence::MoveToNextChar);
        // With a selection, the caret goes to its edge on that side.
        if (m_document.hasSelection())
            moveCursor(forward ? m_document.selectionEnd() : m_document.selectionStart(), Move::Jump);
        else
            moveCursor(characterAfter(forward ? Direction::Forward : Direction::Backward), Move::Jump);
    } else if (event->matches(QKeySequence::SelectNextChar)) {
        moveCursor(characterAfter(right), Move::Select);
    } else if (event->matches(QKeySequence::SelectPreviousChar)) {
        moveCursor(characterAfter(left), Move::Select);
    } else if (event->matches(QKeySequence::MoveToNextWord)) {
        moveCursor(wordAfter(right), Move::Jump);
    } else if (event->matches(QKeySequence::MoveToPreviousWord)) {
        moveCursor(wordAfter(left), Move::Jump);
    } else if (event->matches(QKeySequence::SelectNextWord)) {
        moveCursor(wordAfter(right), Move::Select);
    } else if (event->matches(QKeySequence::SelectPreviousWord)) {
        moveCursor(wordAfter(left), Move::Select);
    } else {
        return false;
    }
    return true;
}

bool MarqueeField::editByKey(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Delete)) {
        edited(m_document.deleteNextCharacter());
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        edited(m_document.deleteNextWord());
    } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
        edited(m_document.deletePreviousWord());
    } else if (event->key() == Qt::Key_Backspace &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        edited(m_document.deletePreviousCharacter());
    } else if (isPrintable(event->text()) &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        edited(m_document.insert(event->text()));
    } else {
        return false;
    }
    return true;
}

// --- Input methods -------------------------------------------------------------------

qsizetype MarqueeField::surroundingStart() const
{
    const QString &text = m_document.text();
    qsizetype start = qMax<qsizetype>(0, m_document.cursor() - kSurroundingText);
    if (start > 0 && text[start].isLowSurrogate())
        --start;
    return start;
}

void MarqueeField::inputMethodEvent(QInputMethodEvent *event)
{
    const qsizetype surrounding = surroundingStart();
    const bool commits = !event->commitString().isEmpty() || event->replacementLength() > 0;
    // Text coming in, committed or composed, replaces the selection.
    if (commits || event->preeditString() != m_composition) {
        if (std::optional<MarqueeDocument::Change> removed = m_document.removeSelection())
            edited(removed);
    }
    if (commits) {
        // The committed text replaces the range the input method names relative to the
        // caret, if any.
        const qsizetype start = m_document.cursor() + event->replacementStart();
        edited(m_document.replace(start, start + event->replacementLength(), event->commitString()));
    }

    m_composition = event->preeditString();
    m_compositionCursor = int(m_composition.size());
    m_caretHiddenByComposition = false;
    m_compositionFormats.clear();
    for (const QInputMethodEvent::Attribute &attribute : event->attributes()) {
        switch (attribute.type) {
        case QInputMethodEvent::Selection:
            m_document.select(surrounding + attribute.start,
                              surrounding + attribute.start + attribute.length);
            break;
        case QInputMethodEvent::Cursor:
            m_compositionCursor = attribute.start;
            m_caretHiddenByComposition = attribute.length == 0;
            break;
        case QInputMethodEvent::TextFormat: {
            const QTextCharFormat format = qvariant_cast<QTextFormat>(attribute.value).toCharFormat();
            if (format.isValid()) {
                QTextLayout::FormatRange range;
                range.start = attribute.start;
                range.length = attribute.length;
                range.format = format;
                m_compositionFormats.append(range);
            }
            break;
        }
        default:
            break;
        }
    }
    cursorChanged();
    event->accept();
}

QVariant MarqueeField::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // Input methods see the text around the caret rather than the whole document.
    const QString &text = m_document.text();
    const qsizetype cursor = m_document.cursor();
    const qsizetype start = surroundingStart();
    qsizetype end = qMin(text.size(), cursor + kSurroundingText);
    if (end < text.size() && text[end].isLowSurrogate())
        ++end;
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled();
    case Qt::ImCursorRectangle:
        return cursorRect();
    case Qt::ImAnchorRectangle: {
        const QRect anchor = characterRect(m_document.anchor());
        return anchor.isValid() ? QRect(anchor.topLeft(), QSize(1, anchor.height())) : cursorRect();
    }
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return int(cursor - start);
    case Qt::ImAnchorPosition:
        return int(qBound(start, m_document.anchor(), end) - start);
    case Qt::ImSurroundingText:
        return text.sliced(start, end - start);
    case Qt::ImTextBeforeCursor:
        return text.sliced(start, cursor - start);
    case Qt::ImTextAfterCursor:
        return text.sliced(cursor, end - cursor);
    case Qt::ImCurrentSelection:
        return m_document.selectedText();
    case Qt::ImMaximumTextLength:
        return int(m_document.maxLength());
    case Qt::ImAbsolutePosition:
        return int(cursor);
    case Qt::ImReadOnly:
        return false;
    default:
        return QWidget::inputMethodQuery(query);
    }
}

// --- Mouse, menu and focus -------------------------------------------------------------

void MarqueeField::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (!m_composition.isEmpty())
        QGuiApplication::inputMethod()->commit();
    if (event->button() == Qt::LeftButton) {
        // A third click soon after a double-click selects everything.
        if (m_tripleClickTimer.isActive() &&
            (point - m_tripleClickPoint).manhattanLength() < QApplication::startDragDistance()) {
            m_tripleClickTimer.stop();
            selectAll();
            return;
        }
        m_selectingWithMouse = true;
        moveCursor(positionAt(point), event->modifiers() & Qt::ShiftModifier ? MarqueeDocument::Move::Select
                                                                             : MarqueeDocument::Move::Jump);
    } else if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        moveCursor(positionAt(point), MarqueeDocument::Move::Jump);
        m_document.separate();
        edited(m_document.insert(QGuiApplication::clipboard()->text(QClipboard::Selection)));
        m_document.separate();
    } else {
        event->ignore();
    }
}

void MarqueeField::mouseMoveEvent(QMouseEvent *event)
{
    if (m_selectingWithMouse && (event->buttons() & Qt::LeftButton))
        moveCursor(positionAt(event->position().toPoint()), MarqueeDocument::Move::Select);
}

void MarqueeField::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_selectingWithMouse) {
        m_selectingWithMouse = false;
        copyToSelectionClipboard();
    }
}

void MarqueeField::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint point = event->position().toPoint();
    const auto [start, end] = TextBoundaries::wordAt(m_document.text(), positionAt(point));
    setSelection(start, end);
    copyToSelectionClipboard();
    m_tripleClickPoint = point;
    m_tripleClickTimer.start(QApplication::doubleClickInterval(), this);
}

void MarqueeField::copyToSelectionClipboard() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (m_document.hasSelection() && clipboard->supportsSelection())
        clipboard->setText(m_document.selectedText(), QClipboard::Selection);
}

QMenu *MarqueeField::createStandardContextMenu()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("qt_edit_menu"));
    const auto add = [&](const char *caption, QKeySequence::StandardKey key, bool enabled, auto slot,
                         const char *name) {
        // The captions of the toolkit's own field, so that its translations apply.
        QString text = QCoreApplication::translate("QLineEdit", caption);
        const QKeySequence shortcut(key);
        if (!shortcut.isEmpty())
            text += QLatin1Char('\t') + shortcut.toString(QKeySequence::NativeText);
        QAction *action = menu->addAction(text, this, slot);
        action->setEnabled(enabled);
        action->setObjectName(QString::fromLatin1(name));
    };
    const bool selected = m_document.hasSelection();
    add("&Undo", QKeySequence::Undo, m_document.canUndo(), &MarqueeField::undo, "edit-undo");
    add("&Redo", QKeySequence::Redo, m_document.canRedo(), &MarqueeField::redo, "edit-redo");
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, selected, &MarqueeField::cut, "edit-cut");
    add("&Copy", QKeySequence::Copy, selected, &MarqueeField::copy, "edit-copy");
    add("&Paste", QKeySequence::Paste, !QGuiApplication::clipboard()->text().isEmpty(), &MarqueeField::paste,
        "edit-paste");
    add("Delete", QKeySequence::UnknownKey, selected, &MarqueeField::deleteSelection, "edit-delete");
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll,
        m_document.length() > 0 && m_document.selectedText().size() != m_document.length(),
        &MarqueeField::selectAll, "select-all");
    return menu;
}

void MarqueeField::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void MarqueeField::focusInEvent(QFocusEvent *event)
{
    // Tabbing into the field selects its text, as it does in a line edit.
    const Qt::FocusReason reason = event->reason();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
         reason == Qt::ShortcutFocusReason) &&
        !m_document.hasSelection())
        m_document.selectAll();
    cursorChanged();
    QWidget::focusInEvent(event);
}

void MarqueeField::focusOutEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && m_document.hasSelection())
        m_document.moveCursor(m_document.cursor(), MarqueeDocument::Move::Jump);
    m_blinkTimer.stop();
    invalidateView();
    QWidget::focusOutEvent(event);
}

void MarqueeField::restartBlinking()
{
    m_caretShown = true;
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flashTime >= 2)
        m_blinkTimer.start(flashTime / 2, this);
    else
        m_blinkTimer.stop();
}

void MarqueeField::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_blinkTimer.timerId()) {
        m_caretShown = !m_caretShown;
        update(cursorRect());
    } else if (event->timerId() == m_tripleClickTimer.timerId()) {
        m_tripleClickTimer.stop();
    } else {
        QWidget::timerEvent(event);
    }
}

void MarqueeField::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
        m_glyphs.clear();
        updateGeometry();
        invalidateView();
        break;
    case QEvent::PaletteChange:
        m_glyphs.clear();
        update();
        break;
    case QEvent::LayoutDirectionChange:
    case QEvent::StyleChange:
        invalidateView();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void MarqueeField::resizeEvent(QResizeEvent *event)
{
    invalidateView();
    QWidget::resizeEvent(event);
}
