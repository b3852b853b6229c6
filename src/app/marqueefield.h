#pragma once

#include <QLineEdit>

// The display field: one line of very large letters through which the text scrolls.
class MarqueeField : public QLineEdit
{
    Q_OBJECT

public:
    explicit MarqueeField(QWidget *parent = nullptr);

    // Replaces the document and shows its start, caret at the beginning.
    void setText(const QString &text);
    void setColours(const QColor &text, const QColor &background);
};
