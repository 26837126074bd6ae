// Painting a chart's display list.
#include "charts/display_list.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "charts/point_shapes.h"

namespace zandor::charts {

QPen chartPen(const QColor& color, double width)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

namespace {

// A wide smoothed pen turns a polyline into one outline that is filled scanline by scanline;
// when the line runs up and down across the same rows thousands of times (a jagged series),
// that fill grows with the square of the crossings and takes seconds. Drawn in pieces of a
// few turns each, the same line takes milliseconds; the pieces meet at shared points, so
// only their joins can differ, by a fraction of a pixel.
constexpr int kTurnsPerPiece = 2;

void drawPolylineInPieces(QPainter& p, const QPolygonF& points)
{
    const QPointF* pt = points.constData();
    const qsizetype n = points.size();
    qsizetype start = 0;
    int turns = 0;
    int direction = 0;  // +1 down the page, -1 up, 0 not yet known
    double extreme = pt[0].y();
    for (qsizetype i = 1; i < n; ++i) {
        const double y = pt[i].y();
        if (direction == 0) {
            if (std::abs(y - extreme) > 1)
                direction = y > extreme ? 1 : -1;
            extreme = y;
        } else if ((y - extreme) * direction > 0) {
            extreme = y;
        } else if (std::abs(y - extreme) > 1) {
            direction = -direction;
            extreme = y;
            if (++turns == kTurnsPerPiece) {
                p.drawPolyline(pt + start, static_cast<int>(i - start));
                start = i - 1;
                turns = 0;
            }
        }
    }
    p.drawPolyline(pt + start, static_cast<int>(n - start));
}

// Many markers (a point cloud) are stamped from small images, each marker drawn once per
// quarter-pixel offset: a stamp costs a fraction of filling and stroking its outline, and
// differs from it by at most an eighth of a pixel in position.
constexpr std::size_t kStampedMarkers = 2000;
constexpr int kOffsets = 4;  // positions per pixel

class MarkerStamps {
public:
    // Paints the markers of items[from, to) through `p`, whose device transform moves without
    // turning or scaling, each marker scaled by `scale` about the page origin and then moved
    // by `shift`.
    void paint(QPainter& p, const DisplayList& items, std::size_t from, std::size_t to, double scale, const QPointF& shift)
    {
        for (std::size_t i = from; i < to; ++i) {
            const MarkerItem& m = std::get<MarkerItem>(items[i]);
            const QPointF c = m.centre * scale + shift;
            const double fx = std::floor(c.x()), fy = std::floor(c.y());
            const int ox = static_cast<int>(std::lround((c.x() - fx) * kOffsets));
            const int oy = static_cast<int>(std::lround((c.y() - fy) * kOffsets));
            const Stamp& stamp = stampOf(m, scale, ox, oy);
            p.drawImage(QPointF(fx - stamp.margin, fy - stamp.margin), stamp.image);
        }
    }

private:
    struct Stamp {
        QImage image;
        int margin = 0;  // from the image's corner to the pixel the centre lies in
    };

    const Stamp& stampOf(const MarkerItem& m, double scale, int ox, int oy)
    {
        const auto key = std::make_tuple(static_cast<int>(m.shape), m.size.width() * scale, m.size.height() * scale,
                                         m.brush.color().rgba(), m.pen.color().rgba(), m.pen.widthF() * scale, ox, oy);
        auto found = stamps_.find(key);
        if (found != stamps_.end())
            return found->second;
        QPen pen = m.pen;
        pen.setWidthF(m.pen.widthF() * scale);
        const QSizeF size = m.size * scale;
        const int r = static_cast<int>(std::ceil(std::max(size.width(), size.height()) / 2 + pen.widthF())) + 2;
        QImage image(2 * r + 2, 2 * r + 2, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter q(&image);
        q.setRenderHint(QPainter::Antialiasing);
        q.setPen(pen);
        q.setBrush(markerIsStroked(m.shape) ? QBrush(Qt::NoBrush) : m.brush);
        q.drawPath(markerPath(m.shape, QPointF(r + double(ox) / kOffsets, r + double(oy) / kOffsets), size));
        q.end();
        return stamps_.emplace(key, Stamp{std::move(image), r}).first->second;
    }

    std::map<std::tuple<int, double, double, QRgb, QRgb, double, int, int>, Stamp> stamps_;
};

// The run items[from, to) of many markers. On an image the stamps go straight onto it; on a
// document (SVG, PDF, a printer) the run is stamped onto a transparent image at twice the
// chart's resolution, which the document shows in place of a million outlines.
void paintMarkerRun(QPainter& p, const DisplayList& items, std::size_t from, std::size_t to)
{
    MarkerStamps stamps;
    const QTransform device = p.deviceTransform();
    const bool raster = p.paintEngine() != nullptr && p.paintEngine()->type() == QPaintEngine::Raster;
    if (raster && device.type() <= QTransform::TxTranslate && p.testRenderHint(QPainter::Antialiasing)) {
        p.save();
        p.resetTransform();
        stamps.paint(p, items, from, to, 1, QPointF(device.dx(), device.dy()));
        p.restore();
        return;
    }
    QRectF bounds;
    for (std::size_t i = from; i < to; ++i)
        bounds |= QRectF(std::get<MarkerItem>(items[i]).centre, QSizeF(0.001, 0.001));
    bounds.adjust(-24, -24, 24, 24);
    constexpr double kScale = 2;
    QImage layer((bounds.size() * kScale).toSize(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter q(&layer);
        q.setRenderHint(QPainter::Antialiasing);
        stamps.paint(q, items, from, to, kScale, -bounds.topLeft() * kScale);
    }
    p.drawImage(bounds, layer);
}

struct Painter {
    QPainter& p;
    bool raster = p.paintEngine() != nullptr && p.paintEngine()->type() == QPaintEngine::Raster;

    void operator()(const PolygonItem& item) const
    {
        p.setPen(item.pen);
        p.setBrush(item.brush);
        if (item.convex)
            p.drawConvexPolygon(item.polygon);
        else
            p.drawPolygon(item.polygon);
    }
    void operator()(const PolylineItem& item) const
    {
        p.setPen(item.pen);
        p.setBrush(Qt::NoBrush);
        if (raster && item.pen.widthF() > 1 && item.points.size() > 4 * kTurnsPerPiece)
            drawPolylineInPieces(p, item.points);
        else
            p.drawPolyline(item.points);
    }
    void operator()(const RectsItem& item) const
    {
        p.setPen(item.pen);
        p.setBrush(item.brush);
        p.drawRects(item.rects);
    }
    void operator()(const SmoothingItem& item) const { p.setRenderHint(QPainter::Antialiasing, item.on); }
    void operator()(const TextItem& item) const
    {
        p.save();
        QRectF box = item.box;
        if (item.vertical) {
            const QPointF c = box.center();
            p.translate(c);
            p.rotate(-90);
            box = QRectF(-box.height() / 2, -box.width() / 2, box.height(), box.width());
        }
        if (item.background.isValid() || item.frame.isValid()) {
            p.setPen(item.frame.isValid() ? QPen(item.frame, 1) : QPen(Qt::NoPen));
            p.setBrush(item.background.isValid() ? QBrush(item.background) : QBrush(Qt::NoBrush));
            p.drawRect(box);
        }
        p.setFont(item.font);
        p.setPen(item.color);
        p.drawText(box, item.flags, item.text);
        p.restore();
    }
    void operator()(const MarkerItem& item) const
    {
        p.setPen(item.pen);
        p.setBrush(markerIsStroked(item.shape) ? QBrush(Qt::NoBrush) : item.brush);
        p.drawPath(markerPath(item.shape, item.centre, item.size));
    }
};

bool finite(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

bool finite(const QRectF& r) { return finite(r.topLeft()) && std::isfinite(r.width()) && std::isfinite(r.height()); }

bool finite(const DisplayItem& item)
{
    const auto allFinite = [](const auto& shapes) {
        return std::all_of(shapes.begin(), shapes.end(), [](const auto& shape) { return finite(shape); });
    };
    if (const auto* polygon = std::get_if<PolygonItem>(&item))
        return allFinite(polygon->polygon);
    if (const auto* line = std::get_if<PolylineItem>(&item))
        return allFinite(line->points);
    if (const auto* rects = std::get_if<RectsItem>(&item))
        return allFinite(rects->rects);
    if (const auto* text = std::get_if<TextItem>(&item))
        return finite(text->box);
    if (const auto* marker = std::get_if<MarkerItem>(&item))
        return finite(marker->centre) && std::isfinite(marker->size.width()) && std::isfinite(marker->size.height());
    return true;
}

// The items that can be painted: one with a coordinate that is not a number (a value the
// chart could not place) is left out, a line is broken at such a point. Painting a polygon
// through such a point would make the rasterizer run for minutes.
DisplayList paintable(const DisplayList& items)
{
    DisplayList kept;
    for (const DisplayItem& item : items) {
        if (finite(item)) {
            kept.push_back(item);
            continue;
        }
        const auto* line = std::get_if<PolylineItem>(&item);
        if (!line)
            continue;
        PolylineItem piece = *line;
        piece.points.clear();
        for (const QPointF& point : line->points) {
            if (finite(point)) {
                piece.points.append(point);
                continue;
            }
            if (piece.points.size() > 1)
                kept.push_back(piece);
            piece.points.clear();
        }
        if (piece.points.size() > 1)
            kept.push_back(piece);
    }
    return kept;
}

void paintFinite(QPainter& painter, const DisplayList& items)
{
    const Painter visitor{painter};
    for (std::size_t i = 0; i < items.size();) {
        // A long run of markers is painted at once.
        std::size_t end = i;
        while (end < items.size() && std::holds_alternative<MarkerItem>(items[end]))
            ++end;
        if (end - i > kStampedMarkers) {
            paintMarkerRun(painter, items, i, end);
            i = end;
            continue;
        }
        std::visit(visitor, items[i]);
        ++i;
    }
}

}  // namespace

void paintDisplayList(QPainter& painter, const DisplayList& items)
{
    if (std::all_of(items.begin(), items.end(), [](const DisplayItem& item) { return finite(item); }))
        paintFinite(painter, items);
    else
        paintFinite(painter, paintable(items));
}

}  // namespace zandor::charts
