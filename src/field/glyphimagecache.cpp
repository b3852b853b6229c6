// SPDX-License-Identifier: MIT
#include "field/glyphimagecache.h"

#include <QFontInfo>
#include <QGlyphRun>
#include <QPainter>

#include <array>
#include <cmath>
#include <cstring>
#include <optional>

namespace {

// The toolkit's own limit: glyphs up to this many device pixels high are cached by it.
constexpr qreal kToolkitCachedPixels = 64;
// Above this size one glyph's images would fill the stores on their own: each paint would
// render glyphs anew, larger than the field, where filling the outlines within the
// field costs less.
constexpr qreal kLargestCachedPixels = 1024;

// Splits a device coordinate into its pixel and the nearest of `steps` fractions within it.
std::pair<int, int> pixelAndStep(qreal coordinate, int steps)
{
    int pixel = int(std::floor(coordinate));
    int step = qRound((coordinate - pixel) * steps);
    if (step == steps) {
        ++pixel;
        step = 0;
    }
    return {pixel, step};
}

// Whether `count` pixels from `row` are all blank, by a comparison the library vectorises.
bool isBlank(const QRgb *row, int count)
{
    return count <= 0 || (row[0] == 0 && std::memcmp(row, row + 1, (count - 1) * sizeof(QRgb)) == 0);
}

// The smallest rectangle that holds every pixel with any coverage. The canvas is mostly
// margin: each row is searched only where it could widen what the rows before it found,
// and blank stretches are passed over whole.
QRect inkBounds(const QImage &image)
{
    const int width = image.width();
    const auto row = [&](int y) {
        return reinterpret_cast<const QRgb *>(image.constScanLine(y));
    };
    int top = 0;
    int bottom = image.height() - 1;
    while (top <= bottom && isBlank(row(top), width))
        ++top;
    while (bottom > top && isBlank(row(bottom), width))
        --bottom;
    if (top > bottom)
        return {};
    int left = width;
    int right = -1;
    for (int y = top; y <= bottom; ++y) {
        const QRgb *pixels = row(y);
        if (!isBlank(pixels, left)) {
            left = 0;
            while (pixels[left] == 0)
                ++left;
        }
        if (!isBlank(pixels + right + 1, width - right - 1)) {
            right = width - 1;
            while (pixels[right] == 0)
                --right;
        }
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// The coverage of `area`, one byte a pixel, or nothing when a pixel there has a colour of
// its own: drawn in black, the glyphs of other fonts have none.
std::optional<QImage> coverageOf(const QImage &image, const QRect &area)
{
    QImage coverage(area.size(), QImage::Format_Alpha8);
    QRgb colours = 0;
    for (int y = 0; y < area.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(image.constScanLine(area.top() + y)) + area.left();
        uchar *to = coverage.scanLine(y);
        for (int x = 0; x < area.width(); ++x) {
            to[x] = uchar(qAlpha(from[x]));
            colours |= from[x];
        }
    }
    if ((colours & RGB_MASK) != 0)
        return std::nullopt;
    return coverage;
}

} // namespace

GlyphImageCache::GlyphImageCache() : m_coverage(kCoverageBytes), m_coloured(kColouredBytes) {}

bool GlyphImageCache::isWorthCaching(const QFont &font, qreal devicePixelRatio)
{
    const qreal pixels = QFontInfo(font).pixelSize() * devicePixelRatio;
    return pixels > kToolkitCachedPixels && pixels <= kLargestCachedPixels;
}

void GlyphImageCache::clear()
{
    m_coverage.clear();
    m_coloured.clear();
}

GlyphImageCache::Placements GlyphImageCache::place(const QTransform &toDevice, qreal ratio,
                                                   const QList<QGlyphRun> &runs, QPointF origin,
                                                   const QColor &colour, qreal phase)
{
    const QTransform toLogical = toDevice.inverted();
    Placements placements;
    for (const QGlyphRun &run : runs) {
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        placements.reserve(placements.size() + indexes.size());
        for (qsizetype index = 0; index < indexes.size(); ++index) {
            const QPointF device = toDevice.map(origin + positions[index]);
            const auto [pixelY, stepY] = pixelAndStep(device.y(), kStepsDown);
            const Glyph &glyph = find({{run.rawFont(), indexes[index], stepY, ratio}, colour.rgba()});
            if (glyph.image.isNull())
                continue;
            // The image's left edge, exactly: its offset is whole pixels.
            const qreal exactX = device.x() + glyph.offset.x();
            const QPoint pixel(int(std::floor(exactX + phase)), pixelY + glyph.offset.y());
            placements.append({glyph.image, pixel, toLogical.map(QPointF(pixel)), exactX});
        }
    }
    return placements;
}

void GlyphImageCache::rephase(Placements &placements, const QTransform &toDevice, qreal phase)
{
    const QTransform toLogical = toDevice.inverted();
    for (Placement &placement : placements) {
        placement.pixel.setX(int(std::floor(placement.exactX + phase)));
        placement.at = toLogical.map(QPointF(placement.pixel));
    }
}

namespace {

QRect logicalRect(const GlyphImageCache::Placement &placement)
{
    return QRectF(placement.at, placement.image.deviceIndependentSize()).toAlignedRect();
}

QRect deviceRect(const GlyphImageCache::Placement &placement)
{
    return QRect(placement.pixel, placement.image.size());
}

} // namespace

void GlyphImageCache::draw(QPainter &painter, const Placements &placements, const QRect &area)
{
    for (const Placement &placement : placements) {
        if (logicalRect(placement).intersects(area))
            painter.drawImage(placement.at, placement.image);
    }
}

QRect GlyphImageCache::ink(const Placements &placements)
{
    QRect ink;
    for (const Placement &placement : placements)
        ink |= logicalRect(placement);
    return ink;
}

std::optional<GlyphImageCache::Move> GlyphImageCache::moveBetween(const Placements &before,
                                                                  const Placements &after)
{
    // A step of the text brings in or takes out a character's glyphs at either end: a few,
    // unless marks pile up on one character.
    constexpr qsizetype kMostAtEnds = 8;
    // Positions are sums of advances in 64ths of a pixel: a line moved whole moves every
    // glyph by the same amount, to far less than this.
    constexpr qreal kSameAmount = 1.0 / 256;
    for (qsizetype tried = 0; tried <= 2 * kMostAtEnds; ++tried) {
        // From the smallest change outwards: 0, 1, -1, 2, -2 ...
        const qsizetype skip = tried % 2 == 0 ? -tried / 2 : (tried + 1) / 2;
        const qsizetype first = qMax<qsizetype>(0, -skip);
        const qsizetype end = qMin(after.size(), before.size() - skip);
        if (end - first < 1)
            continue;
        const qreal across = after[first].exactX - before[first + skip].exactX;
        bool moved = true;
        for (qsizetype index = first; moved && index < end; ++index) {
            const Placement &was = before[index + skip];
            const Placement &now = after[index];
            moved = was.image.cacheKey() == now.image.cacheKey() && was.pixel.y() == now.pixel.y() &&
                    std::abs(now.exactX - was.exactX - across) < kSameAmount;
        }
        if (moved)
            return Move{across, skip, first, end};
    }
    return std::nullopt;
}

bool GlyphImageCache::movedByPixels(const Placements &before, const Placements &after, const Move &move,
                                    int pixels)
{
    for (qsizetype index = move.first; index < move.end; ++index) {
        if (after[index].pixel.x() != before[index + move.skip].pixel.x() + pixels)
            return false;
    }
    return true;
}

QList<QRect> GlyphImageCache::cameOrWent(const Placements &before, const Placements &after, const Move &move,
                                         int pixels)
{
    QList<QRect> changed;
    for (qsizetype index = 0; index < after.size(); ++index) {
        if (index < move.first || index >= move.end)
            changed.append(deviceRect(after[index]));
    }
    for (qsizetype index = 0; index < before.size(); ++index) {
        if (index < move.first + move.skip || index >= move.end + move.skip)
            changed.append(deviceRect(before[index]).translated(pixels, 0));
    }
    return changed;
}

const GlyphImageCache::Glyph &GlyphImageCache::find(const ColouredKey &key)
{
    if (const Glyph *painted = m_coloured.object(key))
        return *painted;
    Glyph coverage;
    if (const Glyph *kept = m_coverage.object(key.glyph)) {
        coverage = *kept;
    } else {
        coverage = render(key.glyph);
        m_coverage.insert(key.glyph, new Glyph(coverage), costOf(coverage));
    }
    // A glyph too large for the store is drawn from a copy that the next one replaces.
    m_unkept = inColour(coverage, key.colour);
    m_unkept.image.setDevicePixelRatio(key.glyph.devicePixelRatio);
    if (m_coloured.insert(key, new Glyph(m_unkept), costOf(m_unkept)))
        return *m_coloured.object(key);
    return m_unkept;
}

qsizetype GlyphImageCache::costOf(const Glyph &glyph)
{
    return qMax<qsizetype>(64, glyph.image.sizeInBytes());
}

GlyphImageCache::Glyph GlyphImageCache::render(const Key &key)
{
    // Room for the outline as the font reports it, and a margin for faces whose outlines
    // go beyond (synthesised slants, accents), trimmed to the ink afterwards.
    const qreal ratio = key.devicePixelRatio;
    const qreal margin = 2 + key.font.pixelSize() / 4;
    const QRectF bounds = key.font.boundingRect(key.glyph).adjusted(-margin, -margin, margin, margin);
    const int left = int(std::floor(bounds.left() * ratio));
    const int top = int(std::floor(bounds.top() * ratio));
    const QSize size(int(std::ceil(bounds.right() * ratio)) - left + 1,
                     int(std::ceil(bounds.bottom() * ratio)) - top + 1);
    if (size.isEmpty())
        return {};

    // Drawn in black, the glyph's coverage is its alpha; any other colour is the font's.
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setPen(Qt::black);
        QGlyphRun run;
        run.setRawFont(key.font);
        run.setGlyphIndexes({key.glyph});
        run.setPositions({QPointF(0, 0)});
        const QPointF origin(-left, -top + qreal(key.subpixelY) / kStepsDown);
        painter.scale(ratio, ratio);
        painter.drawGlyphRun(origin / ratio, run);
    }
    const QRect ink = inkBounds(canvas);
    if (ink.isNull())
        return {};
    const QPoint offset(left + ink.left(), top + ink.top());
    if (std::optional<QImage> coverage = coverageOf(canvas, ink))
        return {std::move(*coverage), offset, false};
    return {canvas.copy(ink), offset, true};
}

GlyphImageCache::Glyph GlyphImageCache::inColour(const Glyph &coverage, QRgb colour)
{
    Glyph painted{coverage.image, coverage.offset, coverage.hasOwnColours};
    if (!coverage.hasOwnColours && !coverage.image.isNull()) {
        std::array<QRgb, 256> shades{};
        for (int alpha = 0; alpha < 256; ++alpha)
            shades[alpha] = qPremultiply(
                qRgba(qRed(colour), qGreen(colour), qBlue(colour), alpha * qAlpha(colour) / 255));
        const QImage &source = coverage.image;
        painted.image = QImage(source.size(), QImage::Format_ARGB32_Premultiplied);
        const int width = source.width();
        for (int y = 0; y < source.height(); ++y) {
            const uchar *from = source.constScanLine(y);
            auto *to = reinterpret_cast<QRgb *>(painted.image.scanLine(y));
            for (int x = 0; x < width; ++x)
                to[x] = shades[from[x]];
        }
    }
    return painted;
}
