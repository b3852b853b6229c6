// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTextLayout>
#include <QWidget>

// The least that a ticker on the toolkit's widgets does on each tick, measured in the same
// run as the window for a reference: it lays out the few characters in view, moves its band
// by the first one's advance and paints the strip that this uncovers from one image made
// beforehand. It rotates no text, has no caret, frame or selection, and its strip shows
// that one image, not the glyphs that stand there.
class BareTicker : public QWidget
{
public:
    BareTicker(const QString &text, const QFont &font, const QSize &size) : m_text(text)
    {
        setWindowTitle(QStringLiteral("Bare ticker"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFont(font);
        resize(size);
        m_band = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
        m_strip = QImage(m_band.size(), QImage::Format_ARGB32_Premultiplied);
        m_strip.fill(Qt::transparent);
        QPainter painter(&m_strip);
        painter.setFont(font);
        painter.drawText(m_strip.rect(), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("W"));
    }

    void tick()
    {
        m_first = (m_first + 1) % qMax<qsizetype>(1, m_text.size() - kInView);
        m_layout.setText(m_text.mid(m_first, kInView));
        m_layout.setFont(font());
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        m_layout.setTextOption(option);
        m_layout.setCacheEnabled(true);
        m_layout.beginLayout();
        QTextLine line = m_layout.createLine();
        line.setLineWidth(1e9);
        m_layout.endLayout();
        const int step = qMax(1, qRound(line.cursorToX(1)));
        scroll(-qMin(step, m_band.width() - 1), 0, m_band);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        for (const QRect &part : event->region()) {
            painter.setClipRect(part);
            painter.fillRect(part, palette().base());
            painter.drawImage(part.topLeft(), m_strip);
        }
    }

private:
    static constexpr int kMargin = 4;
    static constexpr qsizetype kInView = 10;
    QString m_text;
    qsizetype m_first = 0;
    QTextLayout m_layout;
    QImage m_strip;
    QRect m_band;
};
