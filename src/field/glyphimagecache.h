// SPDX-License-Identifier: MIT
#pragma once

#include <QCache>
#include <QColor>
#include <QImage>
#include <QList>
#include <QRawFont>
#include <QTransform>

class QFont;
class QGlyphRun;
class QPainter;

// Images of single glyphs. The toolkit keeps no images of glyphs larger than 64 pixels
// and fills their outlines anew on every paint; this cache renders each such glyph once
// per fraction of a pixel it can be placed at and afterwards only copies an image. It keeps each glyph's
// coverage, one byte a pixel, and the glyphs last drawn also in their colour, ready to
// blend; when either store is full, the glyphs used least recently make room.
//
// At these sizes a glyph placed half a pixel off its exact position shows no difference.
class GlyphImageCache
{
public:
    static constexpr qsizetype kCoverageBytes = 16 * 1024 * 1024;
    // Room for the glyphs of a line of ordinary sentences on a full screen of 1920 x 1080
    // (some forty glyphs at two places across, near a megabyte each in colour): in a smaller
    // store they push one another out and every tick renders its glyphs anew.
    static constexpr qsizetype kColouredBytes = 128 * 1024 * 1024;

    GlyphImageCache();

    // Whether glyphs of this font are drawn faster from the cache than by the toolkit.
    [[nodiscard]] static bool isWorthCaching(const QFont &font, qreal devicePixelRatio);

    // Draws the glyph runs of a line in `colour`, their positions taken from `origin`, and
    // returns the rectangle their images went into. The painter's transformation must be
    // a translation.
    QRect draw(QPainter &painter, const QList<QGlyphRun> &runs, QPointF origin, const QColor &colour);
    // Where draw() would put the images on a painter with this device transformation, on a
    // device of this pixel ratio.
    [[nodiscard]] QRect ink(const QTransform &toDevice, qreal ratio, const QList<QGlyphRun> &runs,
                            QPointF origin, const QColor &colour);

    void clear();

private:
    // Glyphs are placed to a half pixel across and a quarter pixel down: a scrolling
    // line puts every glyph at every offset across, so each step there costs an image
    // of every glyph, while the baseline stays put.
    static constexpr int kStepsAcross = 2;
    static constexpr int kStepsDown = 4;

    struct Key
    {
        QRawFont font;
        quint32 glyph = 0;
        int subpixelX = 0;
        int subpixelY = 0;
        qreal devicePixelRatio = 1;

        friend bool operator==(const Key &, const Key &) = default;
        friend size_t qHash(const Key &key, size_t seed = 0) noexcept
        {
            return qHashMulti(seed, key.font, key.glyph, key.subpixelX, key.subpixelY, key.devicePixelRatio);
        }
    };

    struct ColouredKey
    {
        Key glyph;
        QRgb colour = 0;

        friend bool operator==(const ColouredKey &, const ColouredKey &) = default;
        friend size_t qHash(const ColouredKey &key, size_t seed = 0) noexcept
        {
            return qHashMulti(seed, key.glyph, key.colour);
        }
    };

    // A glyph's ink in device pixels, placed relative to the pixel its origin falls in:
    // coverage alone (Alpha8), or the glyph's own colours for a colour font (ARGB).
    struct Glyph
    {
        QImage image;
        QPoint offset;
        bool hasOwnColours = false;
    };

    // Calls `use` with each glyph's image and the logical point of its top left corner.
    template<typename Use>
    void forEachGlyph(const QTransform &toDevice, qreal ratio, const QList<QGlyphRun> &runs, QPointF origin,
                      const QColor &colour, Use use);
    [[nodiscard]] const Glyph &find(const ColouredKey &key);
    [[nodiscard]] static Glyph render(const Key &key);
    [[nodiscard]] static Glyph inColour(const Glyph &coverage, QRgb colour);
    [[nodiscard]] static qsizetype costOf(const Glyph &glyph);

    QCache<Key, Glyph> m_coverage;
    QCache<ColouredKey, Glyph> m_coloured;
    Glyph m_unkept;
};
