// SPDX-License-Identifier: MIT
#pragma once

#include "field/glyphimagecache.h"
#include "field/marqueeeditor.h"
#include "field/marqueeview.h"

#include <QBasicTimer>
#include <QRegion>
#include <QTransform>
#include <QWidget>

#include <optional>

class QMenu;
class QPainter;
class QStyleOptionFrame;

// The display field: one line of very large letters through which the text scrolls.
// It holds the whole document, up to the maximum length, but lays out and paints only
// the few characters in view, so that setting a new text on every tick and editing cost
// the same at any length. Its editor edits like a one-line field; the field paints,
// places the caret and handles the mouse and the focus. Enter and Esc are left to the
// window, Tab and Shift+Tab move on.
class MarqueeField : public QWidget
{
    Q_OBJECT

public:
    explicit MarqueeField(QWidget *parent = nullptr);
    ~MarqueeField() override;

    [[nodiscard]] MarqueeEditor &editor() { return m_editor; }
    [[nodiscard]] const MarqueeEditor &editor() const { return m_editor; }

    [[nodiscard]] QString text() const { return m_editor.text(); }
    // Replaces the document, cut to the maximum length, and shows its start with the
    // caret at the beginning; the undo history is forgotten.
    void setText(const QString &text);
    // While the text scrolls, assistive technology reads this steady text (the text as
    // typed) instead of the document, and hears of no step; none ends that. A change of
    // what it reads is sent as one change.
    void setSteadyText(const std::optional<QString> &text);
    [[nodiscard]] const std::optional<QString> &steadyText() const { return m_steadyText; }
    // What assistive technology reads: the steady text, or else the document.
    [[nodiscard]] QString accessibleText() const { return m_steadyText.value_or(text()); }
    void setColours(const QColor &text, const QColor &background);
    // Whether the line edit's frame is drawn around the text; without it the background
    // reaches the edges, as on a screen that shows the display alone.
    enum class Frame { Drawn, None };
    void setFrame(Frame frame);
    [[nodiscard]] qsizetype cursorPosition() const { return m_editor.document().cursor(); }
    void setCursorPosition(qsizetype position);

    // Where the character at `position` is drawn, in the field's coordinates; empty when
    // it is out of view.
    [[nodiscard]] QRect characterRect(qsizetype position) const;
    // The caret position nearest to a point in the field.
    [[nodiscard]] qsizetype positionAt(QPoint point) const;
    [[nodiscard]] QRect cursorRect() const;
    // The first character in view.
    [[nodiscard]] qsizetype firstVisiblePosition() const;

    // The menu of a one-line field: Undo, Redo, Cut, Copy, Paste, Delete, Select All.
    [[nodiscard]] QMenu *createStandardContextMenu();

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;
    [[nodiscard]] QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

Q_SIGNALS:
    // The text was set or edited.
    void textChanged();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Where the line of text stands: inside the frame, with a line edit's margins.
    struct LineGeometry
    {
        QRect contents;
        QRect line;
    };

    struct GeometryKey
    {
        QRect contents;
        Frame frame = Frame::Drawn;
        const QStyle *style = nullptr;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        QFont font;

        friend bool operator==(const GeometryKey &, const GeometryKey &) = default;
    };

    void initStyleOption(QStyleOptionFrame *option) const;
    void drawPanel(QPainter &painter, const QStyleOptionFrame &panel, const QRegion &dirty);
    [[nodiscard]] QBrush behindBrush() const;
    void fillBehind(QPainter &painter, const QRegion &area) const;
    [[nodiscard]] bool drawsGlyphImages() const;
    void repaintNewText();
    [[nodiscard]] LineGeometry lineGeometry() const;
    [[nodiscard]] QPointF textOrigin(const QRect &line) const;
    [[nodiscard]] qsizetype layoutPositionAt(QPoint point) const;

    // Works out what is in view again, lazily, after anything that may move it.
    void ensureView() const;
    // Where the images of the glyphs in view go on a device with this transformation.
    [[nodiscard]] const GlyphImageCache::Placements &placedGlyphs(const QTransform &toDevice) const;
    struct GlyphMove
    {
        GlyphImageCache::Move glyphs;
        int pixels = 0;
    };
    // How the glyphs shown moved to their new places, by whole pixels: nothing when they
    // did not move as a whole.
    [[nodiscard]] std::optional<GlyphMove> followShownGlyphs();
    // Moves the glyphs shown and repaints what else of `changed` differs; false when it
    // cannot.
    bool moveShownGlyphs(const GlyphMove &move, const QRect &changed);
    // Where the field shows nothing but its one background colour beneath the text.
    [[nodiscard]] QRegion plainArea() const;
    [[nodiscard]] int caretLayoutPosition() const;
    void invalidateView();

    void edited(const MarqueeDocument::Change &change);
    void cursorChanged();
    void restartBlinking();
    void copyToSelectionClipboard() const;
    [[nodiscard]] QList<QTextLayout::FormatRange> selectionFormats() const;

    // The frame and background as the style draws them, kept while nothing they depend
    // on changes: a large field's panel costs more to draw than its text.
    struct PanelKey
    {
        QSize size;
        qreal devicePixelRatio = 0;
        int state = 0;
        qint64 palette = 0;
        const QStyle *style = nullptr;
        int lineWidth = 0;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        // What shows through the rounded corners, when it is one colour.
        std::optional<QRgb> behind;

        friend bool operator==(const PanelKey &, const PanelKey &) = default;
    };

    MarqueeEditor m_editor;
    std::optional<QString> m_steadyText;
    Frame m_frame = Frame::Drawn;
    // Opaque when what lies behind it is one colour: drawn over it once, it is then
    // copied and not blended, with nothing to fill beneath.
    QImage m_panel;
    PanelKey m_panelKey;
    // The panel's inside when it is one opaque colour, filled instead of blended, and the
    // rest of the panel, drawn from the image.
    QRegion m_panelInside;
    QColor m_panelInsideColour;
    QRegion m_panelEdges;

    mutable std::optional<std::pair<GeometryKey, LineGeometry>> m_lineGeometry;
    mutable MarqueeView m_view;
    mutable bool m_viewValid = false;
    struct PlacedGlyphs
    {
        QTransform toDevice;
        QRgb colour = 0;
        qreal phase = 0;
        GlyphImageCache::Placements placements;
    };
    mutable std::optional<PlacedGlyphs> m_placedGlyphs;
    mutable GlyphImageCache m_glyphs;
    // Where the glyph images are that the field shows, once the paint pending is done, and
    // the caret the last paint put, and how that paint mapped to the device: a new text
    // repaints only there and where its own glyphs go. Unknown when the layout drew the
    // text.
    std::optional<QRect> m_paintedInk;
    QRect m_paintedCaret;
    QTransform m_paintedTransform;
    // Those glyph images, as they were placed.
    GlyphImageCache::Placements m_shownGlyphs;
    // What is added to the glyphs' places across before they are rounded down to whole
    // pixels: a half rounds them to the nearest.
    qreal m_glyphPhase = 0.5;

    QBasicTimer m_blinkTimer;
    bool m_caretShown = true;
    bool m_selectingWithMouse = false;
    QBasicTimer m_tripleClickTimer;
    QPoint m_tripleClickPoint;
};
