// SPDX-License-Identifier: MIT
#include "field/presentationview.h"

#include "field/marqueefield.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QScreen>

PresentationView::PresentationView(MarqueeField &source, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_source(source), m_field(new MarqueeField(this))
{
    setObjectName(QStringLiteral("presentation"));
    setWindowTitle(source.window()->windowTitle());
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // The field only shows: keys and the mouse are the view's.
    m_field->setObjectName(QStringLiteral("presentationText"));
    m_field->setFocusPolicy(Qt::NoFocus);
    m_field->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_field->setFrame(MarqueeField::Frame::None);

    m_pointerTimer.setSingleShot(true);
    m_pointerTimer.setInterval(kPointerHideDelay);
    connect(&m_pointerTimer, &QTimer::timeout, this, [this] { showPointer(false); });
    showPointer(false);

    connect(&source, &MarqueeField::textChanged, this, &PresentationView::copyText);
    source.installEventFilter(this);
    m_painted = &source;
    source.window()->installEventFilter(this);
    copyLook();
    copyText();
}

PresentationView::~PresentationView()
{
    if (m_painted)
        m_painted->setUpdatesEnabled(true);
}

void PresentationView::showOn(QScreen *screen)
{
    if (screen) {
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    showFullScreen();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
}

void PresentationView::copyText()
{
    // The same string, shared: the copy costs nothing at any length. While the text
    // scrolls, assistive technology hears of no step here either.
    m_field->setSteadyText(m_source.steadyText());
    m_field->setText(m_source.text());
}

void PresentationView::copyLook()
{
    const QPalette colours = m_source.palette();
    m_field->setColours(colours.color(QPalette::Text), colours.color(QPalette::Base));
    QPalette own = palette();
    own.setColor(QPalette::Window, colours.color(QPalette::Base));
    setPalette(own);

    // Letters of a known size tell how tall a line of this face is.
    QFont font = m_source.font();
    constexpr int kProbeSize = 1000;
    font.setPixelSize(kProbeSize);
    const qreal lineHeight = QFontMetricsF(font).height();
    if (lineHeight > 0)
        font.setPixelSize(qMax(1, qRound(kProbeSize * kLineShare * height() / lineHeight)));
    m_field->setFont(font);
}

bool PresentationView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_source &&
        (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange))
        copyLook();
    if (m_painted && watched == m_painted->window() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
         event->type() == QEvent::ActivationChange))
        updateSourcePainting();
    return QWidget::eventFilter(watched, event);
}

bool PresentationView::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ActivationChange:
        updateSourcePainting();
        break;
    default:
        break;
    }
    return handled;
}

void PresentationView::updateSourcePainting()
{
    if (!m_painted)
        return;
    // A window under a full-screen view is not seen; once the view has lost the focus,
    // another window may stand over it.
    const QWidget *window = m_painted->window();
    const bool covered = isVisible() && QApplication::activeWindow() == this &&
                         screen() == window->screen() && geometry().contains(window->frameGeometry());
    if (m_painted->updatesEnabled() == covered)
        m_painted->setUpdatesEnabled(!covered);
}

void PresentationView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F11)
        Q_EMIT leaveRequested();
    else
        QWidget::keyPressEvent(event);
}

void PresentationView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT leaveRequested();
}

void PresentationView::mouseMoveEvent(QMouseEvent *event)
{
    showPointer(true);
    m_pointerTimer.start();
    QWidget::mouseMoveEvent(event);
}

void PresentationView::closeEvent(QCloseEvent *event)
{
    // Closed by the window manager (Alt+F4): the window that opened the view decides.
    event->ignore();
    Q_EMIT leaveRequested();
}

void PresentationView::resizeEvent(QResizeEvent *event)
{
    m_field->setGeometry(rect());
    copyLook();
    QWidget::resizeEvent(event);
}

void PresentationView::showPointer(bool shown)
{
    const QCursor cursor(shown ? Qt::ArrowCursor : Qt::BlankCursor);
    setCursor(cursor);
    m_field->setCursor(cursor);
}
