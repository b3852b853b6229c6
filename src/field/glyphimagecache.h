// SPDX-License-Identifier: MIT
#pragma once

#include <QCache>
#include <QColor>
#include <QImage>
#include <QList>
#include <QRawFont>
#include <QRect>
#include <QTransform>

#include <optional>

class QFont;
class QGlyphRun;
class QPainter;

// Images of single glyphs. The toolkit keeps no images of glyphs larger than 64 pixels
// and fills their outlines anew on every paint; this cache renders each such glyph once
// per fraction of a pixel it can be placed at down, and at whole pixels across, and
// afterwards only copies an image. It keeps each glyph's coverage, one byte a pixel, and
// the glyphs last drawn also in their colour, ready to blend; when either store is full,
// the glyphs used least recently make room.
//
// At these sizes a glyph placed a fraction of a pixel off its exact position shows no
// difference. Where a line's glyphs go across is rounded with a phase that the caller
// keeps: a line that moves by fractions of a pixel then moves its glyphs all alike, by
// whole pixels, and what is painted can be moved instead of painted again.
class GlyphImageCache
{
public:
    static constexpr qsizetype kCoverageBytes = 16 * 1024 * 1024;
    // Room for the glyphs of a line of ordinary sentences on a full screen of 1920 x 1080
    // (some forty glyphs, near a megabyte each in colour): in a smaller store they push one
    // another out and every tick renders its glyphs anew.
    static constexpr qsizetype kColouredBytes = 128 * 1024 * 1024;

    GlyphImageCache();

    // Whether glyphs of this font are drawn faster from the cache than by the toolkit.
    [[nodiscard]] static bool isWorthCaching(const QFont &font, qreal devicePixelRatio);

    // A glyph's image and where it goes: the device pixel of its top left corner and the
    // logical point that maps to it, and where across the device that corner is exactly,
    // unrounded.
    struct Placement
    {
        QImage image;
        QPoint pixel;
        QPointF at;
        qreal exactX = 0;
    };
    using Placements = QList<Placement>;

    // Where the images of a line's glyph runs go, in `colour`, their positions taken from
    // `origin`, on a painter with this device transformation and a device of this pixel
    // ratio: across at the whole pixel at or below the exact position plus `phase`, from
    // 0 to 1. The transformation must be a translation.
    [[nodiscard]] Placements place(const QTransform &toDevice, qreal ratio, const QList<QGlyphRun> &runs,
                                   QPointF origin, const QColor &colour, qreal phase);
    // Places the same images again with another phase.
    static void rephase(Placements &placements, const QTransform &toDevice, qreal phase);
    // Draws the placed images that meet `area`.
    static void draw(QPainter &painter, const Placements &placements, const QRect &area);
    // The rectangle the placed images cover.
    [[nodiscard]] static QRect ink(const Placements &placements);

    // How the glyphs of a line moved from one placing to the next: `after[i]` is the image
    // of `before[i + skip]` moved exactly `across` device pixels, for `i` from `first` to
    // before `end`; the glyphs outside came in or went out at either end.
    struct Move
    {
        qreal across = 0;
        qsizetype skip = 0;
        qsizetype first = 0;
        qsizetype end = 0;
    };
    [[nodiscard]] static std::optional<Move> moveBetween(const Placements &before, const Placements &after);
    // Whether the glyphs that moved went by `pixels` device pixels across, and not one
    // of them another way.
    [[nodiscard]] static bool movedByPixels(const Placements &before, const Placements &after,
                                            const Move &move, int pixels);
    // The device pixels of the glyphs that came in, and of those that went out as they
    // would be now, moved like the others.
    [[nodiscard]] static QList<QRect> cameOrWent(const Placements &before, const Placements &after,
                                                 const Move &move, int pixels);

    void clear();

private:
    // Glyphs are placed to a quarter pixel down, where the baseline stays put.
    static constexpr int kStepsDown = 4;

    struct Key
    {
        QRawFont font;
        quint32 glyph = 0;
        int subpixelY = 0;
        qreal devicePixelRatio = 1;

        friend bool operator==(const Key &, const Key &) = default;
        friend size_t qHash(const Key &key, size_t seed = 0) noexcept
        {
            return qHashMulti(seed, key.font, key.glyph, key.subpixelY, key.devicePixelRatio);
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

    [[nodiscard]] const Glyph &find(const ColouredKey &key);
    [[nodiscard]] static Glyph render(const Key &key);
    [[nodiscard]] static Glyph inColour(const Glyph &coverage, QRgb colour);
    [[nodiscard]] static qsizetype costOf(const Glyph &glyph);

    QCache<Key, Glyph> m_coverage;
    QCache<ColouredKey, Glyph> m_coloured;
    Glyph m_unkept;
};
