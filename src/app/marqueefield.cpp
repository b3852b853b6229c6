#include "marqueefield.h"

#include "window/initialstate.h"

MarqueeField::MarqueeField(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(InitialState::kMaxTextLength);
}

void MarqueeField::setText(const QString &text)
{
    QLineEdit::setText(text);
    setCursorPosition(0);
}

void MarqueeField::setColours(const QColor &text, const QColor &background)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Base, background);
    setPalette(palette);
}
