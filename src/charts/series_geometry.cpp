// Series geometry: bars (with top and side faces in the 3-D view), lines (ribbons in the 3-D
// view), fast lines, markers and areas, each in its depth slot, and the marks at the points.
#include "charts/series_geometry.h"

#include <QFontMetricsF>

#include <algorithm>
#include <array>
#include <cmath>

#include "charts/chart_fonts.h"
#include "charts/point_shapes.h"

namespace zandor::charts {

namespace {

// Shades of a solid's faces: the top catches the light, the side is in shadow.
QColor topShade(const QColor& c) { return c.lighter(125); }
QColor sideShade(const QColor& c) { return c.darker(140); }
QColor edgeShade(const QColor& c) { return c.darker(160); }

struct Slab {
    double z0 = 0;
    double z1 = 0;
};

// One bar (or one stacked segment) in box coordinates.
struct BarBox {
    double x0, x1, y0, y1;  // x0 < x1, y0 < y1
    QColor color;
};

QPolygonF face(const Projection& p, std::initializer_list<std::array<double, 3>> corners)
{
    QPolygonF poly;
    poly.reserve(static_cast<qsizetype>(corners.size()));
    for (const auto& c : corners)
        poly << p.map(c[0], c[1], c[2]);
    return poly;
}

void addBar(const Projection& p, const BarBox& b, const Slab& slab, bool outlined, DisplayList& items)
{
    const QPen pen = outlined ? chartPen(edgeShade(b.color)) : QPen(Qt::NoPen);
    if (p.hasDepth()) {
        const double sx = p.seesRightSide() ? b.x1 : b.x0;
        items.push_back(PolygonItem{face(p, {{sx, b.y0, slab.z0}, {sx, b.y1, slab.z0}, {sx, b.y1, slab.z1}, {sx, b.y0, slab.z1}}),
                                    QBrush(sideShade(b.color)), pen, true});
        const double ty = p.seesTop() ? b.y1 : b.y0;
        items.push_back(PolygonItem{face(p, {{b.x0, ty, slab.z0}, {b.x1, ty, slab.z0}, {b.x1, ty, slab.z1}, {b.x0, ty, slab.z1}}),
                                    QBrush(topShade(b.color)), pen, true});
    }
    items.push_back(PolygonItem{face(p, {{b.x0, b.y0, slab.z0}, {b.x1, b.y0, slab.z0}, {b.x1, b.y1, slab.z0}, {b.x0, b.y1, slab.z0}}),
                                QBrush(b.color), pen, true});
}

// The bars of one slot: every segment of every member, painted so that nearer faces cover
// farther ones (away from the depth direction first, then upwards).
void addBarGroup(const ChartModel& model, const ChartLayout& layout, const std::vector<int>& members,
                 const Slab& slab, DisplayList& items)
{
    const Projection& p = layout.projection;
    const double categoryExtent = layout.horizontal ? layout.box.height : layout.box.width;
    const double unit = categoryExtent / (layout.categoryMax - layout.categoryMin);
    std::vector<BarBox> bars;
    for (int m : members) {
        const Series& s = model.series[static_cast<std::size_t>(m)];
        const SeriesPlacement& place = layout.arrangement.series[static_cast<std::size_t>(m)];
        const double full = unit * std::clamp(s.barWidthPercent, 1, 100) / 100.0;
        const double width = full / place.memberCount;
        for (std::size_t i = 0; i < s.points.size(); ++i) {
            const double c = layout.categoryToBox(s.points[i].x) - full / 2 + place.memberIndex * width;
            const double a = layout.valueToBox(place.base[i]);
            const double b = layout.valueToBox(place.top[i]);
            if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c))
                continue;
            BarBox bar;
            if (layout.horizontal) {
                bar = BarBox{std::min(a, b), std::max(a, b), c, c + width, s.pointColor(i)};
            } else {
                bar = BarBox{c, c + width, std::min(a, b), std::max(a, b), s.pointColor(i)};
            }
            bars.push_back(bar);
        }
    }
    const bool right = p.seesRightSide();
    const bool up = p.seesTop();
    std::stable_sort(bars.begin(), bars.end(), [&](const BarBox& a, const BarBox& b) {
        const double ax = right ? a.x0 : -a.x1, bx = right ? b.x0 : -b.x1;
        const double ay = up ? a.y0 : -a.y1, by = up ? b.y0 : -b.y1;
        if (layout.horizontal)
            return ay != by ? ay < by : ax < bx;
        return ax != bx ? ax < bx : ay < by;
    });
    // Outlines only where bars are wide enough on the page for an edge to read as one.
    const QPointF along = layout.horizontal ? p.yAxis() : p.xAxis();
    const double pageUnit = std::hypot(along.x(), along.y()) * unit;
    const double pageBar = pageUnit * 0.7 / static_cast<double>(std::max<std::size_t>(1, members.size()));
    const bool outlined = pageBar >= 5;
    if (!p.hasDepth()) {
        // Flat bars of one slot never overlap: all bars of a colour go in one call. They are
        // smoothed (even gaps between narrow bars) unless they are very many or thinner than
        // two pixels.
        std::vector<RectsItem> byColour;
        for (const BarBox& bar : bars) {
            auto it = std::find_if(byColour.begin(), byColour.end(),
                                   [&](const RectsItem& e) { return e.brush.color() == bar.color; });
            if (it == byColour.end())
                it = byColour.insert(byColour.end(), RectsItem{{}, QBrush(bar.color),
                                                               outlined ? chartPen(edgeShade(bar.color)) : QPen(Qt::NoPen)});
            it->rects.push_back(QRectF(p.map(bar.x0, bar.y1, 0), p.map(bar.x1, bar.y0, 0)).normalized());
        }
        const bool smoothFlat = bars.size() <= 2000 && pageBar >= 2;
        if (!smoothFlat)
            items.push_back(SmoothingItem{false});
        items.insert(items.end(), byColour.begin(), byColour.end());
        if (!smoothFlat)
            items.push_back(SmoothingItem{true});
        return;
    }
    const bool smooth = pageBar >= 8;
    if (!smooth)
        items.push_back(SmoothingItem{false});
    for (const BarBox& bar : bars)
        addBar(p, bar, slab, outlined, items);
    if (!smooth)
        items.push_back(SmoothingItem{true});
}

// Faces of a ribbon, each edged in its own colour so that no seam shows; where the points
// crowd (less than a few pixels apart) they are drawn unsmoothed, which tiles them exactly
// and costs a fraction of the time.
class RibbonFaces {
public:
    RibbonFaces(const ChartLayout& layout, std::size_t points, DisplayList& items) : items_(items)
    {
        const QPointF along = layout.horizontal ? layout.projection.yAxis() : layout.projection.xAxis();
        const double extent = layout.horizontal ? layout.box.height : layout.box.width;
        dense_ = points > 1 && std::hypot(along.x(), along.y()) * extent / static_cast<double>(points - 1) < 3;
        if (dense_)
            items_.push_back(SmoothingItem{false});
    }
    ~RibbonFaces()
    {
        if (dense_)
            items_.push_back(SmoothingItem{true});
    }
    RibbonFaces(const RibbonFaces&) = delete;
    RibbonFaces& operator=(const RibbonFaces&) = delete;

    void add(const QPolygonF& face, const QColor& shade)
    {
        items_.push_back(PolygonItem{face, QBrush(shade), dense_ ? QPen(Qt::NoPen) : chartPen(shade), true});
    }

private:
    DisplayList& items_;
    bool dense_ = false;
};

// Page points of a line series at depth z (non-finite values break the line).
std::vector<QPolygonF> lineRuns(const Series& s, const ChartLayout& layout, double z)
{
    std::vector<QPolygonF> runs(1);
    for (const DataPoint& pt : s.points) {
        if (!std::isfinite(pt.y) || !std::isfinite(pt.x)) {
            if (!runs.back().isEmpty())
                runs.emplace_back();
            continue;
        }
        runs.back() << layout.pagePoint(pt.x, pt.y, z);
    }
    return runs;
}

// The line through the points at depth z, one polyline per run of points of one colour (the
// segment into a point takes that point's colour).
void addLineEdge(const Series& s, const ChartLayout& layout, double z, bool darker, int width, DisplayList& items)
{
    const auto colourOf = [&](const QColor& c) { return darker ? edgeShade(c) : c; };
    const bool perPoint = s.colourEachLine
        && std::any_of(s.points.begin(), s.points.end(), [](const DataPoint& d) { return d.color.isValid(); });
    if (!perPoint) {
        for (QPolygonF& run : lineRuns(s, layout, z))
            if (run.size() > 1)
                items.push_back(PolylineItem{std::move(run), chartPen(colourOf(s.color), width)});
        return;
    }
    QPolygonF run;
    QColor runColor;
    const auto flush = [&] {
        if (run.size() > 1)
            items.push_back(PolylineItem{run, chartPen(colourOf(runColor), width)});
        run.clear();
    };
    for (std::size_t i = 0; i + 1 < s.points.size(); ++i) {
        const DataPoint& a = s.points[i];
        const DataPoint& b = s.points[i + 1];
        const QColor c = s.pointColor(i + 1);
        const bool gap = !std::isfinite(a.y) || !std::isfinite(b.y);
        if (gap || c != runColor) {
            flush();
            runColor = c;
        }
        if (gap)
            continue;
        if (run.isEmpty())
            run << layout.pagePoint(a.x, a.y, z);
        run << layout.pagePoint(b.x, b.y, z);
    }
    flush();
}

void addLine(const Series& s, const ChartLayout& layout, const Slab& slab, DisplayList& items)
{
    const Projection& p = layout.projection;
    const std::size_t n = s.points.size();
    if (!p.hasDepth()) {
        addLineEdge(s, layout, slab.z0, false, s.lineWidth, items);
        return;
    }
    {
        // A ribbon from the front to the back of the slot, one face per segment: lit where
        // the line falls (its top shows), in the line's colour where it rises.
        RibbonFaces faces(layout, n, items);
        for (std::size_t k = 0; k + 1 < n; ++k) {
            const std::size_t i = p.seesRightSide() ? k : n - 2 - k;
            const DataPoint& a = s.points[i];
            const DataPoint& b = s.points[i + 1];
            if (!std::isfinite(a.y) || !std::isfinite(b.y))
                continue;
            const QColor c = s.segmentColor(i + 1);
            const QColor shade = b.y >= a.y ? c : topShade(c);
            const QPolygonF band({layout.pagePoint(a.x, a.y, slab.z0), layout.pagePoint(b.x, b.y, slab.z0),
                                  layout.pagePoint(b.x, b.y, slab.z1), layout.pagePoint(a.x, a.y, slab.z1)});
            faces.add(band, shade);
        }
    }
    // The ribbon's back and front edges, darker than its faces.
    addLineEdge(s, layout, slab.z1, true, 1, items);
    addLineEdge(s, layout, slab.z0, true, s.lineWidth, items);
}

void addMarkers(const Series& s, const ChartLayout& layout, double z, DisplayList& items)
{
    const QSizeF size(std::max(1, s.pointWidth), std::max(1, s.pointHeight));
    for (std::size_t i = 0; i < s.points.size(); ++i) {
        const DataPoint& pt = s.points[i];
        if (!std::isfinite(pt.y) || !std::isfinite(pt.x))
            continue;
        const QColor c = s.pointColor(i);
        const QPen pen = markerIsStroked(s.pointShape) ? chartPen(c, 1.5) : chartPen(edgeShade(c));
        items.push_back(MarkerItem{layout.pagePoint(pt.x, pt.y, z), s.pointShape, size, QBrush(c), pen});
    }
}

void addArea(const Series& s, const SeriesPlacement& place, const ChartLayout& layout, const Slab& slab,
             DisplayList& items)
{
    const Projection& p = layout.projection;
    const std::size_t n = s.points.size();
    if (n == 0)
        return;
    QPolygonF front;
    QPolygonF topEdge;
    for (std::size_t i = 0; i < n; ++i)
        topEdge << layout.pagePoint(s.points[i].x, place.top[i], slab.z0);
    front = topEdge;
    for (std::size_t i = n; i-- > 0;)
        front << layout.pagePoint(s.points[i].x, place.base[i], slab.z0);
    if (p.hasDepth()) {
        RibbonFaces faces(layout, n, items);
        for (std::size_t k = 0; k + 1 < n; ++k) {
            const std::size_t i = p.seesRightSide() ? k : n - 2 - k;
            const double xa = s.points[i].x, xb = s.points[i + 1].x;
            const double ya = place.top[i], yb = place.top[i + 1];
            const QPolygonF ribbon({layout.pagePoint(xa, ya, slab.z0), layout.pagePoint(xb, yb, slab.z0),
                                    layout.pagePoint(xb, yb, slab.z1), layout.pagePoint(xa, ya, slab.z1)});
            faces.add(ribbon, topShade(s.color));
        }
        QPolygonF backEdge;
        for (std::size_t i = 0; i < n; ++i)
            backEdge << layout.pagePoint(s.points[i].x, place.top[i], slab.z1);
        items.push_back(PolylineItem{backEdge, chartPen(edgeShade(s.color))});
        const std::size_t e = p.seesRightSide() ? n - 1 : 0;
        const double xe = s.points[e].x;
        const QPolygonF end({layout.pagePoint(xe, place.base[e], slab.z0), layout.pagePoint(xe, place.top[e], slab.z0),
                             layout.pagePoint(xe, place.top[e], slab.z1), layout.pagePoint(xe, place.base[e], slab.z1)});
        items.push_back(PolygonItem{end, QBrush(sideShade(s.color)), chartPen(edgeShade(s.color))});
    }
    items.push_back(PolygonItem{front, QBrush(s.color), Qt::NoPen});
    items.push_back(PolylineItem{topEdge, chartPen(edgeShade(s.color))});
}

// Marks: a small framed label at each point, left out where it would overlap a mark already
// placed (of any series; for very many marks only the previous one of the same series is
// looked at).
void addMarks(const Series& s, const SeriesPlacement& place, const ChartLayout& layout, double z,
              std::vector<QRectF>& placed, DisplayList& marks)
{
    const QFont font = chartFont(kMarkPoints);
    const QFontMetricsF fm(font);
    const bool checkAll = placed.size() + s.points.size() <= 2000;
    QRectF previous;
    for (std::size_t i = 0; i < s.points.size(); ++i) {
        const DataPoint& pt = s.points[i];
        const double value = place.top[i];
        if (!std::isfinite(value) || !std::isfinite(pt.x))
            continue;
        const QString text = s.marksShowLabels ? pt.label : formatMark(pt.y);
        if (text.isEmpty())
            continue;
        const QPointF at = layout.pagePoint(pt.x, value, z);
        const QSizeF size(fm.horizontalAdvance(text) + 6, fm.height() + 2);
        const bool negative = value < place.base[i];
        QRectF box;
        if (layout.horizontal) {
            box = QRectF(negative ? at.x() - 6 - size.width() : at.x() + 6, at.y() - size.height() / 2,
                         size.width(), size.height());
        } else {
            box = QRectF(at.x() - size.width() / 2, negative ? at.y() + 6 : at.y() - 6 - size.height(),
                         size.width(), size.height());
        }
        const QRectF room = box.adjusted(-1, -1, 1, 1);
        const bool overlaps = checkAll ? std::any_of(placed.begin(), placed.end(), [&](const QRectF& r) { return r.intersects(room); })
                                       : previous.isValid() && previous.intersects(room);
        if (overlaps)
            continue;
        previous = box;
        if (checkAll)
            placed.push_back(box);
        TextItem item;
        item.box = box;
        item.text = text;
        item.font = font;
        item.color = Qt::black;
        item.flags = Qt::AlignCenter;
        item.background = QColor(255, 255, 225);
        item.frame = QColor(128, 128, 128);
        marks.push_back(item);
    }
}

}  // namespace

void addSeriesItems(const ChartModel& model, ChartLayout& layout, DisplayList& marks)
{
    if (!layout.hasPlot())
        return;
    const Arrangement& arr = layout.arrangement;
    std::vector<QRectF> placedMarks;
    for (int slot = arr.slotCount - 1; slot >= 0; --slot) {
        std::vector<int> members;
        for (std::size_t s = 0; s < model.series.size(); ++s)
            if (arr.series[s].slot == slot)
                members.push_back(static_cast<int>(s));
        if (members.empty())
            continue;
        const Slab slab{layout.slotFront(slot), layout.slotBack(slot)};
        const Series& first = model.series[static_cast<std::size_t>(members.front())];
        if (isBarKind(first.kind)) {
            addBarGroup(model, layout, members, slab, layout.items);
        } else {
            for (int m : members) {
                const Series& s = model.series[static_cast<std::size_t>(m)];
                const SeriesPlacement& place = arr.series[static_cast<std::size_t>(m)];
                switch (s.kind) {
                case SeriesKind::Line:
                    addLine(s, layout, slab, layout.items);
                    if (s.pointerVisible)
                        addMarkers(s, layout, slab.z0, layout.items);
                    break;
                case SeriesKind::FastLine:
                    for (QPolygonF& run : lineRuns(s, layout, slab.z0))
                        if (run.size() > 1)
                            layout.items.push_back(PolylineItem{std::move(run), chartPen(s.color, s.lineWidth)});
                    break;
                case SeriesKind::Point:
                    addMarkers(s, layout, (slab.z0 + slab.z1) / 2, layout.items);
                    break;
                case SeriesKind::Area:
                    addArea(s, place, layout, slab, layout.items);
                    break;
                case SeriesKind::Bar:
                case SeriesKind::HorizBar:
                    break;
                }
            }
        }
        for (int m : members) {
            const Series& s = model.series[static_cast<std::size_t>(m)];
            if (s.marksVisible)
                addMarks(s, arr.series[static_cast<std::size_t>(m)], layout,
                         s.kind == SeriesKind::Point ? (slab.z0 + slab.z1) / 2 : slab.z0, placedMarks, marks);
        }
    }
}

namespace {

QColor legendMarkerColour(const Series& s)
{
    if (s.points.empty())
        return s.color;
    const QColor first = s.pointColor(0);
    for (std::size_t i = 1; i < s.points.size(); ++i)
        if (s.pointColor(i) != first)
            return s.color;
    return first;
}

}  // namespace

void addLegendSymbol(const Series& s, const QRectF& box, DisplayList& items)
{
    const QPointF c = box.center();
    switch (s.kind) {
    case SeriesKind::Line:
    case SeriesKind::FastLine:
        items.push_back(PolylineItem{QPolygonF({QPointF(box.left(), c.y()), QPointF(box.right(), c.y())}),
                                     chartPen(s.color, std::max(2, s.lineWidth))});
        if (s.pointerVisible && s.kind == SeriesKind::Line) {
            // The marker in the points' own colour when they all share one, as the plot shows them.
            const QColor m = legendMarkerColour(s);
            items.push_back(MarkerItem{c, s.pointShape, QSizeF(7, 7), QBrush(m), chartPen(edgeShade(m))});
        }
        break;
    case SeriesKind::Point:
        items.push_back(MarkerItem{c, s.pointShape, QSizeF(std::min(12.0, box.height()), std::min(12.0, box.height())),
                                   QBrush(s.color),
                                   markerIsStroked(s.pointShape) ? chartPen(s.color, 1.5) : chartPen(edgeShade(s.color))});
        break;
    case SeriesKind::Bar:
    case SeriesKind::HorizBar:
    case SeriesKind::Area: {
        const QRectF swatch(box.left() + 3, box.top(), box.width() - 6, box.height());
        items.push_back(PolygonItem{QPolygonF(swatch), QBrush(s.color), chartPen(edgeShade(s.color))});
        break;
    }
    }
}

}  // namespace zandor::charts
