// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <chrono>

class MarqueeField;
class QScreen;

// The display alone on a whole screen: a frameless window that shows the text of a
// display field as it is on every tick, in its colours and face, the letters grown so
// that one line fills most of the screen's height. It only shows: the field it follows
// keeps the text, the timer and the commands. Esc, F11, a double-click or closing the
// window ask to leave; the pointer hides while it does not move. While the view is the
// active window and covers the window of the field it follows, that field is not painted:
// it keeps its text and shows it again as soon as its window can be seen.
class PresentationView final : public QWidget
{
    Q_OBJECT

public:
    // The share of the screen's height that one line of text fills.
    static constexpr qreal kLineShare = 0.8;
    static constexpr std::chrono::milliseconds kPointerHideDelay{2000};

    explicit PresentationView(MarqueeField &source, QWidget *parent = nullptr);
    ~PresentationView() override;

    // Shows the view full screen on `screen`, chosen before the window exists so that
    // platforms which place windows themselves put it there too.
    void showOn(QScreen *screen);

    [[nodiscard]] MarqueeField &field() { return *m_field; }

Q_SIGNALS:
    void leaveRequested();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void copyText();
    void copyLook();
    void showPointer(bool shown);
    void updateSourcePainting();

    MarqueeField &m_source;
    // The field followed, for as long as it lives: the view may outlive it.
    QPointer<MarqueeField> m_painted;
    MarqueeField *m_field;
    QTimer m_pointerTimer;
};
