// SPDX-License-Identifier: MIT
#include "field/marqueefield.h"

#include "characters/characters.h"
#include "field/marqueefieldaccessible.h"
#include "field/words.h"
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
// Styles round the panel's corners by a few pixels inside its frame.
constexpr int kPanelCornerRadius = 3;

bool isDecorated(const QFont &font)
{
    return font.underline() || font.overline() || font.strikeOut();
}

// Whether every pixel of `area` in `panel` is `colour`.
bool isUniform(const QImage &panel, const QRect &area, QRgb colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(panel.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (row[x] != colour)
                return false;
        }
    }
    return true;
}

// The panel's inside when it is one opaque colour: inside the frame and any shading along
// it, but for the rounded corners. Empty when it is not.
QRegion uniformInside(const QImage &panel, int frame, int corner)
{
    for (int inset = frame; inset <= frame + corner; ++inset) {
        const QRect inside = panel.rect().adjusted(inset, inset, -inset, -inset);
        const QRect across = inside.adjusted(0, corner, 0, -corner);
        const QRect down = inside.adjusted(corner, 0, -corner, 0);
        if (across.isEmpty() || down.isEmpty())
            return {};
        const QRgb colour = panel.pixel(across.topLeft());
        if (qAlpha(colour) == 255 && isUniform(panel, across, colour) && isUniform(panel, down, colour))
            return QRegion(across) | down;
    }
    return {};
}

// The raster engine hands a fill of more than about a hundred lines to worker threads:
// for a caret as tall as large letters, forty times a second, waking them costs more than
// the fill. Painted in lower bands, it stays on this thread.
template<typename Paint> void inBands(QPainter &painter, const QRect &area, Paint paint)
{
    constexpr int kBandHeight = 64;
    for (int top = area.top(); top <= area.bottom(); top += kBandHeight) {
        painter.save();
        painter.setClipRect(QRect(area.left(), top, area.width(), qMin(kBandHeight, area.bottom() + 1 - top)),
                            Qt::IntersectClip);
        paint();
        painter.restore();
    }
}

void notifyAccessibility(QAccessibleEvent &&event)
{
    QAccessible::updateAccessibility(&event);
}

} // namespace

MarqueeField::MarqueeField(QWidget *parent) : QWidget(parent), m_editor(InitialState::kMaxTextLength)
{
    MarqueeFieldAccessible::install();
    connect(&m_editor, &MarqueeEditor::edited, this, &MarqueeField::edited);
    connect(&m_editor, &MarqueeEditor::cursorMoved, this, &MarqueeField::cursorChanged);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression);
    setAttribute(Qt::WA_MacShowFocusRect);
    setBackgroundRole(QPalette::Base);
    // Every pixel is the field's own to paint: the toolkit then paints nothing beneath
    // it on each tick.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::IBeamCursor);
    setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed, QSizePolicy::LineEdit));
}

MarqueeField::~MarqueeField() = default;

// --- Text, caret and selection ------------------------------------------------------

void MarqueeField::setText(const QString &text)
{
    const MarqueeDocument &document = m_editor.document();
    const bool told = QAccessible::isActive() && !m_steadyText;
    const QString previous = told ? document.text() : QString();
    const bool caretMoved = document.cursor() != 0 || document.hasSelection();
    const bool composing = !m_editor.composition().isEmpty();
    m_editor.setText(text);
    if (composing && hasFocus())
        QGuiApplication::inputMethod()->reset();
    m_view.reset();
    repaintNewText();
    if (caretMoved && hasFocus())
        updateMicroFocus();
    if (told)
        notifyAccessibility(QAccessibleTextUpdateEvent(this, 0, previous, document.text()));
    Q_EMIT textChanged();
}

void MarqueeField::setCursorPosition(qsizetype position)
{
    // As in a line edit, a caret put where it stands changes nothing and repaints nothing.
    const MarqueeDocument &document = m_editor.document();
    if (position == document.cursor() && !document.hasSelection())
        return;
    m_editor.moveCursor(position, MarqueeDocument::Move::Jump);
}

void MarqueeField::setSteadyText(const std::optional<QString> &text)
{
    const QString previous = accessibleText();
    m_steadyText = text;
    if (QAccessible::isActive() && accessibleText() != previous)
        notifyAccessibility(QAccessibleTextUpdateEvent(this, 0, previous, accessibleText()));
}

void MarqueeField::setColours(const QColor &text, const QColor &background)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Text, text);
    colours.setColor(QPalette::Base, background);
    setPalette(colours);
}

void MarqueeField::setFrame(Frame frame)
{
    m_frame = frame;
    invalidateView();
}

void MarqueeField::edited(const MarqueeDocument::Change &change)
{
    Q_EMIT textChanged();
    if (!QAccessible::isActive() || m_steadyText)
        return;
    if (change.removed.isEmpty())
        notifyAccessibility(QAccessibleTextInsertEvent(this, int(change.position), change.inserted));
    else if (change.inserted.isEmpty())
        notifyAccessibility(QAccessibleTextRemoveEvent(this, int(change.position), change.removed));
    else
        notifyAccessibility(
            QAccessibleTextUpdateEvent(this, int(change.position), change.removed, change.inserted));
}

void MarqueeField::cursorChanged()
{
    invalidateView();
    restartBlinking();
    updateMicroFocus();
    if (QAccessible::isActive()) {
        const MarqueeDocument &document = m_editor.document();
        if (document.hasSelection()) {
            QAccessibleTextSelectionEvent event(this, int(document.selectionStart()),
                                                int(document.selectionEnd()));
            event.setCursorPosition(int(document.cursor()));
            QAccessible::updateAccessibility(&event);
        } else {
            notifyAccessibility(QAccessibleTextCursorEvent(this, int(document.cursor())));
        }
    }
}

// --- The view ---------------------------------------------------------------------

void MarqueeField::invalidateView()
{
    m_viewValid = false;
    update();
}

void MarqueeField::repaintNewText()
{
    m_viewValid = false;
    // A field that does not paint, hidden or under a full-screen view, lays nothing out
    // for a new text: it paints whole when it paints again.
    if (!m_paintedInk || !updatesEnabled() || !isVisible()) {
        update();
        return;
    }
    // The rest of the field shows its background already: a scrolling text in large
    // letters repaints, and sends to the screen, only where its glyphs were and go.
    ensureView();
    if (!drawsGlyphImages()) {
        update();
        return;
    }
    const LineGeometry geometry = lineGeometry();
    const QRect caret = m_paintedCaret | (hasFocus() ? cursorRect() & geometry.contents : QRect());
    const std::optional<GlyphMove> move = caret.isEmpty() ? followShownGlyphs() : std::nullopt;
    const GlyphImageCache::Placements &placed = placedGlyphs(m_paintedTransform);
    const QRect ink = GlyphImageCache::ink(placed) & geometry.contents;
    // A pixel more all round, for a paint into another device placing glyphs a step apart.
    const QRect changed = (*m_paintedInk | ink).adjusted(-1, -1, 1, 1) & geometry.contents;
    if (!move || !moveShownGlyphs(*move, changed))
        update(changed | caret);
    m_paintedInk = ink;
    m_shownGlyphs = placed;
}

std::optional<MarqueeField::GlyphMove> MarqueeField::followShownGlyphs()
{
    // A step of the text moves most glyphs by the width of the character that left, a
    // fraction of a pixel in most faces. Rounded with a phase that follows those
    // fractions, every glyph moves by the same whole pixels, and what is painted can be
    // moved instead of painted again. Whole pixels of the device are whole pixels of the
    // field only at a ratio of one.
    if (devicePixelRatio() != 1 || m_paintedTransform.type() > QTransform::TxTranslate)
        return std::nullopt;
    const GlyphImageCache::Placements &placed = placedGlyphs(m_paintedTransform);
    const std::optional<GlyphImageCache::Move> move = GlyphImageCache::moveBetween(m_shownGlyphs, placed);
    if (!move)
        return std::nullopt;
    // The phase that rounds the new places as the old ones were rounded, from 0 to 1.
    const int pixels = int(std::ceil(move->across - m_glyphPhase));
    m_glyphPhase += pixels - move->across;
    GlyphImageCache::rephase(m_placedGlyphs->placements, m_paintedTransform, m_glyphPhase);
    m_placedGlyphs->phase = m_glyphPhase;
    if (!GlyphImageCache::movedByPixels(m_shownGlyphs, placed, *move, pixels))
        return std::nullopt;
    return GlyphMove{*move, pixels};
}

bool MarqueeField::moveShownGlyphs(const GlyphMove &move, const QRect &changed)
{
    // Moved only where the field shows glyphs on one colour, in the largest such stretch.
    QRect band;
    for (const QRect &part : plainArea()) {
        const QRect piece = part & changed;
        if (qint64(piece.width()) * piece.height() > qint64(band.width()) * band.height())
            band = piece;
    }
    if (qAbs(move.pixels) >= band.width())
        return false;
    // The toolkit repaints the strip that moving the band uncovers.
    scroll(move.pixels, 0, band);
    QRegion inOrOut;
    const QTransform toLogical = m_paintedTransform.inverted();
    for (const QRect &glyph :
         GlyphImageCache::cameOrWent(m_shownGlyphs, m_placedGlyphs->placements, move.glyphs, move.pixels))
        inOrOut |= toLogical.mapRect(glyph) & changed;
    update((QRegion(changed) - band) | inOrOut);
    return true;
}

QRegion MarqueeField::plainArea() const
{
    if (m_frame == Frame::None) {
        const QBrush base = palette().brush(QPalette::Base);
        return base.style() == Qt::SolidPattern && base.color().alpha() == 255 ? QRegion(contentsRect())
                                                                               : QRegion();
    }
    if (m_panel.isNull())
        return {};
    return m_panelInside.translated(contentsRect().topLeft());
}

bool MarqueeField::drawsGlyphImages() const
{
    // Plain text in large letters comes from the glyph images; selections, composed
    // text and underlines are drawn by the layout.
    return selectionFormats().isEmpty() && !m_view.slice().hasComposition() && !isDecorated(font()) &&
           GlyphImageCache::isWorthCaching(font(), devicePixelRatio());
}

void MarqueeField::initStyleOption(QStyleOptionFrame *option) const
{
    option->initFrom(this);
    option->rect = contentsRect();
    option->lineWidth =
        m_frame == Frame::Drawn ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, option, this) : 0;
    option->midLineWidth = 0;
    option->state |= QStyle::State_Sunken;
    option->features = QStyleOptionFrame::None;
}

MarqueeField::LineGeometry MarqueeField::lineGeometry() const
{
    // Asked for several times a tick: the style's answer is kept while nothing it depends
    // on changes.
    const GeometryKey key{contentsRect(), m_frame, style(), layoutDirection(), font()};
    if (m_lineGeometry && m_lineGeometry->first == key)
        return m_lineGeometry->second;
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    // Centred vertically as a line edit centres its text; a line taller than the field
    // overflows at both edges alike.
    const int height = QFontMetrics(font()).height();
    const int top = contents.y() + (contents.height() - height + 1) / 2;
    const LineGeometry geometry{contents, QRect(contents.x() + kHorizontalMargin, top,
                                                contents.width() - 2 * kHorizontalMargin, height)};
    m_lineGeometry.emplace(key, geometry);
    return geometry;
}

QPointF MarqueeField::textOrigin(const QRect &line) const
{
    // The baseline stays where the field's own font puts it, whatever fallback fonts the
    // characters in view need.
    const qreal ascent = QFontMetricsF(font()).ascent();
    const qreal baseline = line.y() + QFontMetrics(font()).ascent() - qRound(ascent) + ascent;
    return {line.x() + m_view.layoutOffset(), baseline - m_view.slice().line().ascent()};
}

int MarqueeField::caretLayoutPosition() const
{
    return m_view.caretLayoutPosition(m_editor.document().cursor(), m_editor.compositionCursor());
}

void MarqueeField::ensureView() const
{
    if (m_viewValid)
        return;
    m_viewValid = true;
    m_placedGlyphs.reset();
    const qsizetype cursor = m_editor.document().cursor();
    const VisibleSlice::Composition composition{cursor, m_editor.composition(),
                                                m_editor.compositionFormats()};
    const QString &text = m_editor.text();
    m_view.update({text, cursor, composition.text.isEmpty() ? nullptr : &composition,
                   m_editor.compositionCursor(), font(), qreal(lineGeometry().line.width()),
                   VisibleSlice::paragraphDirection(text)});
}

const GlyphImageCache::Placements &MarqueeField::placedGlyphs(const QTransform &toDevice) const
{
    // A tick asks twice, for where its glyphs go and to draw them.
    ensureView();
    const QColor colour = palette().color(QPalette::Text);
    if (!m_placedGlyphs || m_placedGlyphs->toDevice != toDevice || m_placedGlyphs->colour != colour.rgba() ||
        m_placedGlyphs->phase != m_glyphPhase)
        m_placedGlyphs =
            PlacedGlyphs{toDevice, colour.rgba(), m_glyphPhase,
                         m_glyphs.place(toDevice, devicePixelRatio(), m_view.slice().line().glyphRuns(),
                                        textOrigin(lineGeometry().line), colour, m_glyphPhase)};
    return m_placedGlyphs->placements;
}

qsizetype MarqueeField::firstVisiblePosition() const
{
    ensureView();
    return m_view.start();
}

QList<QTextLayout::FormatRange> MarqueeField::selectionFormats() const
{
    const VisibleSlice &slice = m_view.slice();
    const MarqueeDocument &document = m_editor.document();
    const qsizetype start = qMax(document.selectionStart(), slice.start());
    const qsizetype end = qMin(document.selectionEnd(), slice.end());
    if (!document.hasSelection() || start >= end)
        return {};
    QTextLayout::FormatRange range{};
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
    ensureView();
    m_view.markShown();
    const LineGeometry geometry = lineGeometry();
    const QPointF origin = textOrigin(geometry.line);
    const QColor colour = palette().color(QPalette::Text);
    painter.setPen(colour);
    VisibleSlice &slice = m_view.slice();
    if (drawsGlyphImages()) {
        m_paintedTransform = painter.deviceTransform();
        const GlyphImageCache::Placements &placed = placedGlyphs(m_paintedTransform);
        // Under a clip of many rectangles the toolkit paints through worker threads, which
        // cost more to wake than the strips of a moved line take to paint: each rectangle
        // is painted under a clip of its own.
        for (const QRect &part : event->region()) {
            painter.setClipRect(part);
            drawPanel(painter, panel, part);
            painter.setClipRect(part & geometry.contents);
            GlyphImageCache::draw(painter, placed, part);
        }
        painter.setClipRect(geometry.contents);
        m_paintedInk = GlyphImageCache::ink(placed) & geometry.contents;
        m_shownGlyphs = placed;
    } else {
        drawPanel(painter, panel, event->region());
        painter.setClipRect(geometry.contents);
        slice.layout().draw(&painter, origin, selectionFormats(), event->rect());
        m_paintedInk.reset();
        m_shownGlyphs.clear();
    }
    m_paintedCaret = QRect();

    if (hasFocus() && m_caretShown && !m_editor.isCaretHidden()) {
        const int width = style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, this);
        // Clipped to the contents, as the painter is: a repaint of the caret then leaves
        // the frame alone.
        m_paintedCaret = cursorRect() & geometry.contents;
        inBands(painter, m_paintedCaret,
                [&] { slice.layout().drawCursor(&painter, origin, caretLayoutPosition(), width); });
    }
}

QBrush MarqueeField::behindBrush() const
{
    // What would show through the panel's rounded corners: the background of the widget
    // that paints one beneath the field.
    const QWidget *holder = parentWidget();
    while (holder && !holder->isWindow() && !holder->autoFillBackground())
        holder = holder->parentWidget();
    return holder ? holder->palette().brush(holder->backgroundRole()) : palette().brush(QPalette::Window);
}

void MarqueeField::fillBehind(QPainter &painter, const QRegion &area) const
{
    const QBrush brush = behindBrush();
    for (const QRect &part : area)
        painter.fillRect(part, brush);
}

void MarqueeField::drawPanel(QPainter &painter, const QStyleOptionFrame &panel, const QRegion &dirty)
{
    if (m_frame == Frame::None) {
        painter.fillRect(panel.rect, palette().brush(QPalette::Base));
        return;
    }
    const qreal ratio = devicePixelRatio();
    const QBrush behind = behindBrush();
    std::optional<QRgb> plainBehind;
    if (behind.style() == Qt::SolidPattern && behind.color().alpha() == 255)
        plainBehind = behind.color().rgb();
    const PanelKey key{panel.rect.size(), ratio,           int(panel.state), palette().cacheKey(),
                       style(),           panel.lineWidth, panel.direction,  plainBehind};
    if (!(key == m_panelKey) || m_panel.isNull()) {
        m_panelKey = key;
        m_panel = QImage(panel.rect.size() * ratio,
                         key.behind ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
        m_panel.setDevicePixelRatio(ratio);
        m_panel.fill(key.behind ? QColor::fromRgb(*key.behind) : QColor(Qt::transparent));
        QPainter onPanel(&m_panel);
        QStyleOptionFrame atOrigin = panel;
        atOrigin.rect.moveTopLeft(QPoint(0, 0));
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &atOrigin, &onPanel, this);
        onPanel.end();
        m_panelInside = ratio == 1 ? uniformInside(m_panel, panel.lineWidth, kPanelCornerRadius) : QRegion();
        if (!m_panelInside.isEmpty())
            m_panelInsideColour = QColor::fromRgb(m_panel.pixel(m_panelInside.boundingRect().center()));
        m_panelEdges = QRegion(m_panel.rect()) - m_panelInside;
    }
    const bool opaque = m_panelKey.behind.has_value();
    if (m_panelInside.isEmpty()) {
        if (!opaque)
            fillBehind(painter, dirty);
        painter.drawImage(panel.rect.topLeft(), m_panel);
        return;
    }
    // A line edit's panel is mostly its inside: filling that is far cheaper than blending
    // it, and only the frame and the corners around it are drawn from the image.
    const QPoint at = panel.rect.topLeft();
    if (!opaque)
        fillBehind(painter, dirty - m_panelInside.translated(at));
    for (const QRect &part : m_panelInside) {
        if (dirty.intersects(part.translated(at)))
            painter.fillRect(part.translated(at), m_panelInsideColour);
    }
    for (const QRect &edge : m_panelEdges) {
        if (dirty.intersects(edge.translated(at)))
            painter.drawImage(edge.topLeft() + at, m_panel, edge);
    }
}

QRect MarqueeField::cursorRect() const
{
    ensureView();
    const LineGeometry geometry = lineGeometry();
    const qreal x = m_view.slice().visualX(caretLayoutPosition()) + m_view.layoutOffset();
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
    const qsizetype next = qMin(Characters::next(m_editor.text(), position), slice.end());
    const qreal from = slice.visualX(slice.layoutPosition(position));
    const qreal to = slice.visualX(slice.layoutPosition(next));
    const QRectF rect(geometry.line.x() + m_view.layoutOffset() + qMin(from, to), geometry.line.y(),
                      std::abs(to - from), geometry.line.height());
    if (!rect.intersects(QRectF(geometry.line)))
        return {};
    return rect.toAlignedRect();
}

qsizetype MarqueeField::positionAt(QPoint point) const
{
    // The layout's own caret positions follow the text as shown, with control symbols
    // and shortened runs of marks; a caret stands only between the text's characters.
    return Characters::startAtOrBefore(m_editor.text(), layoutPositionAt(point));
}

qsizetype MarqueeField::layoutPositionAt(QPoint point) const
{
    ensureView();
    const LineGeometry geometry = lineGeometry();
    // Beyond either end of the line the caret goes past the character there, so that
    // dragging the pointer out of the field scrolls it, even by characters wider than it.
    const qreal x = point.x() - geometry.line.x() - m_view.layoutOffset();
    const bool rightToLeft = m_view.slice().direction() == Qt::RightToLeft;
    const bool beforeStart =
        rightToLeft ? point.x() > geometry.line.right() : point.x() < geometry.line.left();
    const bool pastEnd = rightToLeft ? point.x() < geometry.line.left() : point.x() > geometry.line.right();
    if (beforeStart && (m_view.start() > 0 || m_view.shift() > 0))
        return m_view.shift() < 1 ? Characters::previous(m_editor.text(), m_view.start()) : m_view.start();
    if (pastEnd)
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
        if (MarqueeEditor::isOwnKey(key)) {
            key->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void MarqueeField::keyPressEvent(QKeyEvent *event)
{
    // Enter, Esc and anything else unknown go on to the window.
    event->setAccepted(m_editor.handleKey(event));
}

// --- Input methods -------------------------------------------------------------------

void MarqueeField::inputMethodEvent(QInputMethodEvent *event)
{
    m_editor.handleInputMethod(event);
    event->accept();
}

QVariant MarqueeField::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled();
    case Qt::ImCursorRectangle:
        return cursorRect();
    case Qt::ImAnchorRectangle: {
        const QRect anchor = characterRect(m_editor.document().anchor());
        return anchor.isValid() ? QRect(anchor.topLeft(), QSize(1, anchor.height())) : cursorRect();
    }
    case Qt::ImFont:
        return font();
    default:
        break;
    }
    const QVariant answer = m_editor.inputMethodQuery(query);
    return answer.isValid() ? answer : QWidget::inputMethodQuery(query);
}

// --- Mouse, menu and focus -------------------------------------------------------------

void MarqueeField::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (!m_editor.composition().isEmpty())
        QGuiApplication::inputMethod()->commit();
    if (event->button() == Qt::LeftButton) {
        // A third click soon after a double-click selects everything.
        if (m_tripleClickTimer.isActive() &&
            (point - m_tripleClickPoint).manhattanLength() < QApplication::startDragDistance()) {
            m_tripleClickTimer.stop();
            m_editor.selectAll();
            return;
        }
        m_selectingWithMouse = true;
        m_editor.moveCursor(positionAt(point), event->modifiers() & Qt::ShiftModifier
                                                   ? MarqueeDocument::Move::Select
                                                   : MarqueeDocument::Move::Jump);
    } else if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        m_editor.pasteSelectionAt(positionAt(point));
    } else {
        event->ignore();
    }
}

void MarqueeField::mouseMoveEvent(QMouseEvent *event)
{
    if (m_selectingWithMouse && (event->buttons() & Qt::LeftButton))
        m_editor.moveCursor(positionAt(event->position().toPoint()), MarqueeDocument::Move::Select);
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
    const auto [start, end] = Words::at(m_editor.text(), positionAt(point));
    m_editor.setSelection(start, end);
    copyToSelectionClipboard();
    m_tripleClickPoint = point;
    m_tripleClickTimer.start(QApplication::doubleClickInterval(), this);
}

void MarqueeField::copyToSelectionClipboard() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    const MarqueeDocument &document = m_editor.document();
    if (document.hasSelection() && clipboard->supportsSelection())
        clipboard->setText(document.selectedText(), QClipboard::Selection);
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
        QAction *action = menu->addAction(text, &m_editor, slot);
        action->setEnabled(enabled);
        action->setObjectName(QString::fromLatin1(name));
    };
    const MarqueeDocument &document = m_editor.document();
    const bool selected = document.hasSelection();
    add("&Undo", QKeySequence::Undo, document.canUndo(), &MarqueeEditor::undo, "edit-undo");
    add("&Redo", QKeySequence::Redo, document.canRedo(), &MarqueeEditor::redo, "edit-redo");
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, selected, &MarqueeEditor::cut, "edit-cut");
    add("&Copy", QKeySequence::Copy, selected, &MarqueeEditor::copy, "edit-copy");
    add("&Paste", QKeySequence::Paste, !QGuiApplication::clipboard()->text().isEmpty(), &MarqueeEditor::paste,
        "edit-paste");
    add("Delete", QKeySequence::UnknownKey, selected, &MarqueeEditor::deleteSelection, "edit-delete");
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll,
        document.length() > 0 && document.selectionEnd() - document.selectionStart() != document.length(),
        &MarqueeEditor::selectAll, "select-all");
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
        !m_editor.document().hasSelection())
        m_editor.selectAll();
    else
        cursorChanged();
    QWidget::focusInEvent(event);
}

void MarqueeField::focusOutEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
        m_editor.document().hasSelection())
        m_editor.moveCursor(m_editor.document().cursor(), MarqueeDocument::Move::Jump);
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
        update(cursorRect() & lineGeometry().contents);
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
