// SPDX-License-Identifier: MIT
#include "field/marqueefieldaccessible.h"

#include "field/marqueefield.h"

namespace {

QAccessibleInterface *createInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("MarqueeField") && object && object->isWidgetType())
        return new MarqueeFieldAccessible(static_cast<MarqueeField *>(object));
    return nullptr;
}

} // namespace

MarqueeFieldAccessible::MarqueeFieldAccessible(MarqueeField *field)
    : QAccessibleWidget(field, QAccessible::EditableText)
{
}

void MarqueeFieldAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(createInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

MarqueeField *MarqueeFieldAccessible::field() const
{
    return static_cast<MarqueeField *>(widget());
}

QString MarqueeFieldAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return field()->accessibleText();
    return QAccessibleWidget::text(type);
}

void MarqueeFieldAccessible::setText(QAccessible::Text type, const QString &text)
{
    if (type == QAccessible::Value)
        field()->editor().replace(0, field()->text().size(), text);
    else
        QAccessibleWidget::setText(type, text);
}

QAccessible::State MarqueeFieldAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.selectableText = true;
    state.multiLine = false;
    return state;
}

void *MarqueeFieldAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

void MarqueeFieldAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const MarqueeDocument &document = field()->editor().document();
    if (selectionIndex == 0 && document.hasSelection()) {
        *startOffset = int(document.selectionStart());
        *endOffset = int(document.selectionEnd());
    }
}

int MarqueeFieldAccessible::selectionCount() const
{
    return field()->editor().document().hasSelection() ? 1 : 0;
}

void MarqueeFieldAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void MarqueeFieldAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        field()->setCursorPosition(field()->cursorPosition());
}

void MarqueeFieldAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        field()->editor().setSelection(startOffset, endOffset);
}

int MarqueeFieldAccessible::cursorPosition() const
{
    return int(field()->cursorPosition());
}

void MarqueeFieldAccessible::setCursorPosition(int position)
{
    field()->setCursorPosition(position);
}

QString MarqueeFieldAccessible::text(int startOffset, int endOffset) const
{
    const QString text = field()->accessibleText();
    const qsizetype start = qBound(qsizetype(0), qsizetype(startOffset), text.size());
    const qsizetype end = qBound(start, qsizetype(endOffset), text.size());
    return text.sliced(start, end - start);
}

int MarqueeFieldAccessible::characterCount() const
{
    return int(field()->accessibleText().size());
}

QRect MarqueeFieldAccessible::characterRect(int offset) const
{
    const QRect rect = field()->characterRect(offset);
    if (rect.isEmpty())
        return {};
    return QRect(field()->mapToGlobal(rect.topLeft()), rect.size());
}

int MarqueeFieldAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = field()->mapFromGlobal(point);
    if (!field()->rect().contains(local))
        return -1;
    return int(field()->positionAt(local));
}

void MarqueeFieldAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    field()->setCursorPosition(endIndex);
    field()->setCursorPosition(startIndex);
}

QString MarqueeFieldAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // One run of one font and colour: no attributes that differ along the text.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void MarqueeFieldAccessible::deleteText(int startOffset, int endOffset)
{
    field()->editor().replace(startOffset, endOffset, QString());
}

void MarqueeFieldAccessible::insertText(int offset, const QString &text)
{
    field()->editor().replace(offset, offset, text);
}

void MarqueeFieldAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    field()->editor().replace(startOffset, endOffset, text);
}
