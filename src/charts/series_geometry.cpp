// Series geometry: bars (with top and side faces in the 3-D view), lines (ribbons in the 3-D
// view), fast lines, markers and areas, each in its depth slot, and the marks at the points.
#include "charts/series_geometry.h"

#include <QFontMetricsF>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <map>
#include <optional>

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

// Collects the bars of a slot. Where bars are thinner than a pixel, each series gets one bar a
// pixel column wide per column, reaching from the lowest to the highest value of the bars that
// touch the column (both signs): a spike among a million bars still shows, and a column that
// lies between two bars' edges is not left blank. A million bars become as many as the page
// has columns.
class BarCollector {
public:
    BarCollector(bool horizontal, double column) : horizontal_(horizontal), column_(column) {}

    void startSeries() { flush(); }
    void add(const BarBox& bar)
    {
        if (column_ <= 0) {
            bars.push_back(bar);
            return;
        }
        const double start = horizontal_ ? bar.y0 : bar.x0;
        const double end = horizontal_ ? bar.y1 : bar.x1;
        const double low = horizontal_ ? bar.x0 : bar.y0;
        const double high = horizontal_ ? bar.x1 : bar.y1;
        const auto first = static_cast<long long>(std::floor(start / column_));
        const auto last = std::max(first, static_cast<long long>(std::ceil(end / column_)) - 1);
        for (long long k = first; k <= last; ++k) {
            Envelope& e = columnAt(k);
            if (e.empty) {
                e = Envelope{low, high, bar.color, false};
            } else {
                e.low = std::min(e.low, low);
                e.high = std::max(e.high, high);
            }
        }
    }
    // The bars collected, once every series has been added.
    std::vector<BarBox>& finish()
    {
        flush();
        return bars;
    }

    std::vector<BarBox> bars;

private:
    struct Envelope {
        double low = 0, high = 0;
        QColor color;
        bool empty = true;
    };

    // Bars come in category order, so the column wanted is nearly always the last one used
    // or the one after it.
    Envelope& columnAt(long long k)
    {
        if (last_ != columns_.end()) {
            if (last_->first == k)
                return last_->second;
            const auto next = std::next(last_);
            if (next != columns_.end() && next->first == k)
                return (last_ = next)->second;
        }
        last_ = columns_.try_emplace(k).first;
        return last_->second;
    }

    void flush()
    {
        for (const auto& [k, e] : columns_) {
            const double a = static_cast<double>(k) * column_;
            const double b = static_cast<double>(k + 1) * column_;
            bars.push_back(horizontal_ ? BarBox{e.low, e.high, a, b, e.color} : BarBox{a, b, e.low, e.high, e.color});
        }
        columns_.clear();
        last_ = columns_.end();
    }

    bool horizontal_;
    double column_;  // in box units; 0: every bar is kept
    std::map<long long, Envelope> columns_;
    std::map<long long, Envelope>::iterator last_ = columns_.end();
};

// The bars of one slot: every segment of every member, painted so that nearer faces cover
// farther ones (away from the depth direction first, then upwards).
void addBarGroup(const ChartModel& model, const ChartLayout& layout, const std::vector<int>& members,
                 const Slab& slab, DisplayList& items)
{
    const Projection& p = layout.projection;
    const double categoryExtent = layout.horizontal ? layout.box.height : layout.box.width;
    const double unit = categoryExtent / (layout.categoryMax - layout.categoryMin);
    // Outlines only where bars are wide enough on the page for an edge to read as one.
    const QPointF along = layout.horizontal ? p.yAxis() : p.xAxis();
    const double pageUnit = std::hypot(along.x(), along.y()) * unit;
    const double pageBar = pageUnit * 0.7 / static_cast<double>(std::max<std::size_t>(1, members.size()));
    const bool outlined = pageBar >= 5;
    std::size_t total = 0;
    for (int m : members)
        total += model.series[static_cast<std::size_t>(m)].points.size();
    const bool thin = pageBar < 1;
    BarCollector collect(layout.horizontal, thin ? 1 / std::hypot(along.x(), along.y()) : 0.0);
    if (!thin)
        collect.bars.reserve(total);
    for (int m : members) {
        const Series& s = model.series[static_cast<std::size_t>(m)];
        const SeriesPlacement& place = layout.arrangement.series[static_cast<std::size_t>(m)];
        const double full = unit * std::clamp(s.barWidthPercent, 1, 100) / 100.0;
        const double width = full / place.memberCount;
        collect.startSeries();
        for (std::size_t i = 0; i < s.points.size(); ++i) {
            const double c = layout.categoryToBox(s.points.x(i)) - full / 2 + place.memberIndex * width;
            const double a = layout.valueToBox(pointBase(s, place, i));
            const double b = layout.valueToBox(pointTop(s, place, i));
            if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c))
                continue;
            if (layout.horizontal)
                collect.add(BarBox{std::min(a, b), std::max(a, b), c, c + width, s.pointColor(i)});
            else
                collect.add(BarBox{c, c + width, std::min(a, b), std::max(a, b), s.pointColor(i)});
        }
    }
    std::vector<BarBox>& bars = collect.finish();
    const bool right = p.seesRightSide();
    const bool up = p.seesTop();
    std::stable_sort(bars.begin(), bars.end(), [&](const BarBox& a, const BarBox& b) {
        const double ax = right ? a.x0 : -a.x1, bx = right ? b.x0 : -b.x1;
        const double ay = up ? a.y0 : -a.y1, by = up ? b.y0 : -b.y1;
        if (layout.horizontal)
            return ay != by ? ay < by : ax < bx;
        return ax != bx ? ax < bx : ay < by;
    });
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

// The page length of the category axis at the front of the box.
double categoryPageLength(const ChartLayout& layout)
{
    const QPointF along = layout.horizontal ? layout.projection.yAxis() : layout.projection.xAxis();
    return std::hypot(along.x(), along.y()) * (layout.horizontal ? layout.box.height : layout.box.width);
}

// True when the points of a series lie less than a few pixels apart along the category axis.
bool crowded(const ChartLayout& layout, std::size_t points)
{
    return points > 1 && categoryPageLength(layout) / static_cast<double>(points - 1) < 3;
}

// Faces of a ribbon, each edged in its own colour so that no seam shows; where the points
// crowd (less than a few pixels apart) they are drawn unsmoothed, which tiles them exactly
// and costs a fraction of the time.
class RibbonFaces {
public:
    RibbonFaces(const ChartLayout& layout, std::size_t points, DisplayList& items)
        : items_(items), dense_(crowded(layout, points))
    {
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

// The points of a long series that the page can show. Of the points that fall into one
// pixel column along the category axis, the first, the lowest, the highest and the last
// are kept, in their order: the line through them covers the pixels the line through all of
// them covers, and a field of a million rows becomes a few thousand segments. Points that are
// not finite are kept (they break the line). Short series keep every point.
template <class Value>
std::vector<std::size_t> shownPoints(const Series& s, const ChartLayout& layout, double z, Value value)
{
    const std::size_t n = s.points.size();
    std::vector<std::size_t> kept;
    const double pageLength = categoryPageLength(layout);
    if (static_cast<double>(n) <= 4 * pageLength + 16) {
        kept.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            kept[i] = i;
        return kept;
    }
    kept.reserve(static_cast<std::size_t>(4 * pageLength) + 16);
    const auto page = [&](std::size_t i) {
        const QPointF q = layout.pagePoint(s.points.x(i), value(i), z);
        return layout.horizontal ? QPointF(q.y(), q.x()) : q;  // (along the categories, across)
    };
    std::size_t first = 0, low = 0, high = 0, last = 0;
    double column = 0, lowY = 0, highY = 0;
    bool open = false;
    const auto close = [&] {
        if (!open)
            return;
        std::array<std::size_t, 4> picks{first, std::min(low, high), std::max(low, high), last};
        for (std::size_t k : picks)
            if (kept.empty() || kept.back() != k)
                kept.push_back(k);
        open = false;
    };
    for (std::size_t i = 0; i < n; ++i) {
        if (!std::isfinite(s.points.x(i)) || !std::isfinite(value(i))) {
            close();
            kept.push_back(i);
            continue;
        }
        const QPointF q = page(i);
        const double c = std::floor(q.x());
        if (open && c == column) {
            if (q.y() < lowY) {
                low = i;
                lowY = q.y();
            }
            if (q.y() > highY) {
                high = i;
                highY = q.y();
            }
            last = i;
            continue;
        }
        close();
        first = low = high = last = i;
        column = c;
        lowY = highY = q.y();
        open = true;
    }
    close();
    return kept;
}

std::vector<std::size_t> shownLinePoints(const Series& s, const ChartLayout& layout, double z)
{
    return shownPoints(s, layout, z, [&](std::size_t i) { return s.points.y(i); });
}

// Page points of a line series at depth z (non-finite values break the line).
std::vector<QPolygonF> lineRuns(const Series& s, const ChartLayout& layout, double z, const std::vector<std::size_t>& shown)
{
    std::vector<QPolygonF> runs(1);
    for (std::size_t i : shown) {
        const double x = s.points.x(i), y = s.points.y(i);
        if (!std::isfinite(y) || !std::isfinite(x)) {
            if (!runs.back().isEmpty())
                runs.emplace_back();
            continue;
        }
        runs.back() << layout.pagePoint(x, y, z);
    }
    return runs;
}

// The line through the points at depth z, one polyline per run of points of one colour (the
// segment into a point takes that point's colour).
void addLineEdge(const Series& s, const ChartLayout& layout, double z, const std::vector<std::size_t>& shown,
                 bool darker, int width, DisplayList& items)
{
    const auto colourOf = [&](const QColor& c) { return darker ? edgeShade(c) : c; };
    const bool perPoint = s.colourEachLine && s.points.anyColor();
    if (!perPoint) {
        for (QPolygonF& run : lineRuns(s, layout, z, shown))
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
    for (std::size_t k = 0; k + 1 < shown.size(); ++k) {
        const std::size_t a = shown[k], b = shown[k + 1];
        const double ay = s.points.y(a), by = s.points.y(b);
        const QColor c = s.pointColor(b);
        const bool gap = !std::isfinite(ay) || !std::isfinite(by);
        if (gap || c != runColor) {
            flush();
            runColor = c;
        }
        if (gap)
            continue;
        if (run.isEmpty())
            run << layout.pagePoint(s.points.x(a), ay, z);
        run << layout.pagePoint(s.points.x(b), by, z);
    }
    flush();
}

void addLine(const Series& s, const ChartLayout& layout, const Slab& slab, DisplayList& items)
{
    const Projection& p = layout.projection;
    const std::vector<std::size_t> shown = shownLinePoints(s, layout, slab.z0);
    if (!p.hasDepth()) {
        addLineEdge(s, layout, slab.z0, shown, false, s.lineWidth, items);
        return;
    }
    {
        // A ribbon from the front to the back of the slot, one face per segment: lit where
        // the line falls (its top shows), in the line's colour where it rises.
        const std::size_t n = shown.size();
        RibbonFaces faces(layout, n, items);
        for (std::size_t k = 0; k + 1 < n; ++k) {
            const std::size_t j = p.seesRightSide() ? k : n - 2 - k;
            const std::size_t a = shown[j], b = shown[j + 1];
            const double ax = s.points.x(a), ay = s.points.y(a);
            const double bx = s.points.x(b), by = s.points.y(b);
            if (!std::isfinite(ay) || !std::isfinite(by))
                continue;
            const QColor c = s.segmentColor(b);
            const QColor shade = by >= ay ? c : topShade(c);
            const QPolygonF band({layout.pagePoint(ax, ay, slab.z0), layout.pagePoint(bx, by, slab.z0),
                                  layout.pagePoint(bx, by, slab.z1), layout.pagePoint(ax, ay, slab.z1)});
            faces.add(band, shade);
        }
    }
    // The ribbon's back and front edges, darker than its faces.
    addLineEdge(s, layout, slab.z1, shown, true, 1, items);
    addLineEdge(s, layout, slab.z0, shown, true, s.lineWidth, items);
}

// The half width and half height of the part of a marker that its fill surely covers whole:
// pixels inside it take the marker's colours whatever lay beneath. Crosses cover nothing whole.
QSizeF solidCore(PointShape shape, const QSizeF& size)
{
    const double w = std::max(1.0, size.width()) / 2;
    const double h = std::max(1.0, size.height()) / 2;
    switch (shape) {
    case PointShape::Rectangle:
        return {w, h};
    case PointShape::Circle:
        return {w * 0.7, h * 0.7};
    case PointShape::Triangle:
    case PointShape::DownTriangle:
    case PointShape::Diamond:
        return {w / 2, h / 2};
    case PointShape::Star:
        return {w * 0.22, h * 0.22};
    case PointShape::SmallDot:
        return {1.05, 1.05};
    case PointShape::Cross:
    case PointShape::DiagonalCross:
        break;
    }
    return {0, 0};
}

// Which markers of a series show: those that later markers of the series do not hide, so
// that a cloud of a million points paints the few thousand that show. Walking from the last
// marker painted to the first, each pixel counts how it has been painted over: a pixel that a
// kept marker's fill covers whole is settled at once, a pixel that only markers' edges and
// smoothing fringes touch is settled after kSettled of them (painting the same colours over it
// again changes nothing one can see). A marker all of whose pixels are settled is dropped.
// All markers of a series have one shape, size and pen width.
// `centre(k)` gives marker k's centre on the page, or nothing for a point that is not drawn.
template <class Centre>
std::vector<bool> shownMarkers(std::size_t count, Centre centre, PointShape shape, const QSizeF& size,
                               double penWidth, const QSizeF& page)
{
    constexpr std::size_t kFewMarkers = 4000;
    constexpr unsigned char kSettled = 8;
    std::vector<bool> shown(count, true);
    const long long width = static_cast<long long>(std::ceil(page.width()));
    const long long height = static_cast<long long>(std::ceil(page.height()));
    if (count <= kFewMarkers || width <= 0 || height <= 0 || width * height > 64'000'000)
        return shown;
    std::vector<unsigned char> painted(static_cast<std::size_t>(width * height), 0);
    const auto clampX = [&](double v) { return static_cast<long long>(std::clamp<double>(v, 0, static_cast<double>(width))); };
    const auto clampY = [&](double v) { return static_cast<long long>(std::clamp<double>(v, 0, static_cast<double>(height))); };
    // The outline's miter corners reach at most a pen width beyond the shape.
    const double reach = std::max(size.width(), size.height()) / 2 + penWidth + 0.01;
    const QSizeF core = solidCore(shape, size);
    for (std::size_t k = count; k-- > 0;) {
        const std::optional<QPointF> at = centre(k);
        if (!at)
            continue;
        const QPointF c = *at;
        const long long x0 = clampX(std::floor(c.x() - reach)), x1 = clampX(std::ceil(c.x() + reach));
        const long long y0 = clampY(std::floor(c.y() - reach)), y1 = clampY(std::ceil(c.y() + reach));
        bool hidden = true;  // (pixels off the page are clipped away)
        for (long long y = y0; hidden && y < y1; ++y)
            for (long long x = x0; hidden && x < x1; ++x)
                hidden = painted[static_cast<std::size_t>(y * width + x)] >= kSettled;
        if (hidden) {
            shown[k] = false;
            continue;
        }
        for (long long y = y0; y < y1; ++y)
            for (long long x = x0; x < x1; ++x) {
                unsigned char& p = painted[static_cast<std::size_t>(y * width + x)];
                p = static_cast<unsigned char>(std::min(255, p + 1));
            }
        const double top = shape == PointShape::Triangle ? c.y() : c.y() - core.height();
        const double bottom = shape == PointShape::DownTriangle ? c.y() : c.y() + core.height();
        for (long long y = clampY(std::ceil(top)); y < clampY(std::floor(bottom)); ++y)
            for (long long x = clampX(std::ceil(c.x() - core.width())); x < clampX(std::floor(c.x() + core.width())); ++x)
                painted[static_cast<std::size_t>(y * width + x)] = 255;
    }
    return shown;
}

void addMarkers(const Series& s, const ChartLayout& layout, double z, DisplayList& items)
{
    const QSizeF size(std::max(1, s.pointWidth), std::max(1, s.pointHeight));
    const bool stroked = markerIsStroked(s.pointShape);
    // Centres are worked out as they are needed: a million points keep no copy of them.
    const auto centre = [&](std::size_t i) -> std::optional<QPointF> {
        const double x = s.points.x(i), y = s.points.y(i);
        if (!std::isfinite(y) || !std::isfinite(x))
            return std::nullopt;
        return layout.pagePoint(x, y, z);
    };
    const std::size_t n = s.points.size();
    const std::vector<bool> shown = shownMarkers(n, centre, s.pointShape, size, stroked ? 1.5 : 1.0, layout.size);
    QColor colour;
    QPen pen;
    QBrush brush;
    for (std::size_t i = 0; i < n; ++i) {
        if (!shown[i])
            continue;
        const std::optional<QPointF> at = centre(i);
        if (!at)
            continue;
        const QColor c = s.pointColor(i);
        if (c != colour) {  // one pen and brush shared by the points of a colour
            colour = c;
            pen = stroked ? chartPen(c, 1.5) : chartPen(edgeShade(c));
            brush = QBrush(c);
        }
        items.push_back(MarkerItem{*at, s.pointShape, size, brush, pen});
    }
}

void addArea(const Series& s, const SeriesPlacement& place, const ChartLayout& layout, const Slab& slab,
             DisplayList& items)
{
    const Projection& p = layout.projection;
    if (s.points.empty())
        return;
    // The points the page can show along the top, and along the base where it is not zero.
    std::vector<std::size_t> shown = shownPoints(s, layout, slab.z0, [&](std::size_t i) { return pointTop(s, place, i); });
    if (place.stacking != Stacking::Overlap && shown.size() < s.points.size()) {
        const std::vector<std::size_t> base = shownPoints(s, layout, slab.z0, [&](std::size_t i) { return pointBase(s, place, i); });
        std::vector<std::size_t> both;
        std::set_union(shown.begin(), shown.end(), base.begin(), base.end(), std::back_inserter(both));
        shown = std::move(both);
    }
    const std::size_t n = shown.size();
    QPolygonF front;
    QPolygonF topEdge;
    for (std::size_t i : shown)
        topEdge << layout.pagePoint(s.points.x(i), pointTop(s, place, i), slab.z0);
    front = topEdge;
    for (std::size_t k = n; k-- > 0;)
        front << layout.pagePoint(s.points.x(shown[k]), pointBase(s, place, shown[k]), slab.z0);
    if (p.hasDepth()) {
        RibbonFaces faces(layout, n, items);
        for (std::size_t k = 0; k + 1 < n; ++k) {
            const std::size_t j = p.seesRightSide() ? k : n - 2 - k;
            const std::size_t a = shown[j], b = shown[j + 1];
            const double xa = s.points.x(a), xb = s.points.x(b);
            const double ya = pointTop(s, place, a), yb = pointTop(s, place, b);
            const QPolygonF ribbon({layout.pagePoint(xa, ya, slab.z0), layout.pagePoint(xb, yb, slab.z0),
                                    layout.pagePoint(xb, yb, slab.z1), layout.pagePoint(xa, ya, slab.z1)});
            faces.add(ribbon, topShade(s.color));
        }
        QPolygonF backEdge;
        for (std::size_t i : shown)
            backEdge << layout.pagePoint(s.points.x(i), pointTop(s, place, i), slab.z1);
        items.push_back(PolylineItem{backEdge, chartPen(edgeShade(s.color))});
        const std::size_t e = p.seesRightSide() ? s.points.size() - 1 : 0;
        const double xe = s.points.x(e), be = pointBase(s, place, e), te = pointTop(s, place, e);
        const QPolygonF end({layout.pagePoint(xe, be, slab.z0), layout.pagePoint(xe, te, slab.z0),
                             layout.pagePoint(xe, te, slab.z1), layout.pagePoint(xe, be, slab.z1)});
        items.push_back(PolygonItem{end, QBrush(sideShade(s.color)), chartPen(edgeShade(s.color))});
    }
    // A crowded front is filled unsmoothed: smoothing a jagged one costs seconds, and its edge
    // is drawn over it anyway.
    const bool dense = crowded(layout, n);
    if (!dense) {
        items.push_back(PolygonItem{front, QBrush(s.color), Qt::NoPen});
    } else {
        // In strips of a few points: one polygon of thousands of jagged edges is filled
        // scanline by scanline at a cost that grows with the square of its crossings. Strips
        // of one colour drawn unsmoothed meet without a seam.
        constexpr std::size_t kStrip = 16;
        items.push_back(SmoothingItem{false});
        for (std::size_t a = 0; a + 1 < n; a += kStrip) {
            const std::size_t b = std::min(n - 1, a + kStrip);
            QPolygonF strip;
            strip.reserve(static_cast<qsizetype>(2 * (b - a + 1)));
            for (std::size_t k = a; k <= b; ++k)
                strip << topEdge[static_cast<qsizetype>(k)];
            for (std::size_t k = b + 1; k-- > a;)
                strip << front[static_cast<qsizetype>(2 * n - 1 - k)];
            items.push_back(PolygonItem{std::move(strip), QBrush(s.color), Qt::NoPen});
        }
        items.push_back(SmoothingItem{true});
    }
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
        const double x = s.points.x(i);
        const double value = pointTop(s, place, i);
        if (!std::isfinite(value) || !std::isfinite(x))
            continue;
        const QString text = s.marksShowLabels ? s.points.label(i) : formatMark(s.points.y(i));
        if (text.isEmpty())
            continue;
        const QPointF at = layout.pagePoint(x, value, z);
        const QSizeF size(fm.horizontalAdvance(text) + 6, fm.height() + 2);
        const bool negative = value < pointBase(s, place, i);
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
                    for (QPolygonF& run : lineRuns(s, layout, slab.z0, shownLinePoints(s, layout, slab.z0)))
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
