// Chart layout: margins, title, legend, axis titles, label room, the plot box and its 3-D
// projection, the axis scales and ticks, walls, grid and axes.
#include "charts/chart_layout.h"

#include <QFontMetricsF>
#include <QLinearGradient>

#include <algorithm>
#include <cmath>

#include "charts/chart_fonts.h"
#include "charts/series_geometry.h"

namespace zandor::charts {

namespace {

// A position far outside the box (a value beyond the axis' largest, a huge x value) is drawn
// a few box sizes away instead: the same on the page once the plot is clipped, where page
// coordinates of 1e300 would make filling a polygon take minutes.
double withinReach(double position, double extent)
{
    const double reach = 4 * std::max(extent, 1.0);
    return std::isnan(position) ? position : std::clamp(position, -reach, extent + reach);
}

}  // namespace

double ChartLayout::categoryToBox(double category) const
{
    const double extent = horizontal ? box.height : box.width;
    return withinReach((category - categoryMin) / (categoryMax - categoryMin) * extent, extent);
}

double ChartLayout::valueToBox(double value) const
{
    const double extent = horizontal ? box.width : box.height;
    return withinReach((value - valueScale.min) / (valueScale.max - valueScale.min) * extent, extent);
}

QPointF ChartLayout::pagePoint(double category, double value, double z) const
{
    const double c = categoryToBox(category);
    const double v = valueToBox(value);
    return horizontal ? projection.map(v, c, z) : projection.map(c, v, z);
}

namespace {

constexpr double kTick = 4;     // tick length, pixels
constexpr double kLabelGap = 3; // between a tick and its label
const QColor kAxisColor(64, 64, 64);
const QColor kGridColor(214, 214, 214);
const QColor kZeroColor(128, 128, 128);
const QColor kWallEdge(160, 160, 160);

// What the data asks of the axes.
struct DataExtent {
    bool horizontal = false;
    bool anyXValues = false;
    bool anyBars = false;
    std::size_t categoryCount = 0;
    std::vector<QString> labels;  // per category position; empty texts where none
    bool hasLabels = false;
    bool numbered = false;        // no labels: categories are numbered by row position
    double xMin = 0, xMax = 0;    // of series with their own x values
    double vMin = 0, vMax = 0;
    bool anyValue = false;
};

DataExtent measureData(const ChartModel& model, const Arrangement& arrangement)
{
    DataExtent d;
    bool anyX = false;
    for (std::size_t s = 0; s < model.series.size(); ++s) {
        const Series& series = model.series[s];
        const SeriesPlacement& place = arrangement.series[s];
        if (series.kind == SeriesKind::HorizBar)
            d.horizontal = true;
        if (isBarKind(series.kind))
            d.anyBars = true;
        if (series.hasXValues)
            d.anyXValues = true;
        const SeriesPoints& points = series.points;
        d.categoryCount = std::max(d.categoryCount, points.size());
        if (!series.hasXValues && !points.labels().empty()) {
            if (d.labels.size() < points.size())
                d.labels.resize(points.size());
            for (const auto& [i, label] : points.labels())
                if (d.labels[i].isEmpty())
                    d.labels[i] = label;
            d.hasLabels = true;
        }
        if (points.hasOwnX()) {
            for (std::size_t i = 0; i < points.size(); ++i) {
                const double x = points.x(i);
                if (std::isfinite(x)) {
                    d.xMin = anyX ? std::min(d.xMin, x) : x;
                    d.xMax = anyX ? std::max(d.xMax, x) : x;
                    anyX = true;
                }
            }
        } else if (!points.empty()) {
            const double last = static_cast<double>(points.size() - 1);
            d.xMin = anyX ? std::min(d.xMin, 0.0) : 0.0;
            d.xMax = anyX ? std::max(d.xMax, last) : last;
            anyX = true;
        }
        const auto widen = [&](double v) {
            if (!std::isfinite(v))
                return;
            d.vMin = d.anyValue ? std::min(d.vMin, v) : v;
            d.vMax = d.anyValue ? std::max(d.vMax, v) : v;
            d.anyValue = true;
        };
        for (std::size_t i = 0; i < points.size(); ++i) {
            widen(pointBase(series, place, i));
            widen(pointTop(series, place, i));
        }
        if (fillsFromZero(series.kind) && !series.points.empty()) {
            d.vMin = d.anyValue ? std::min(d.vMin, 0.0) : 0.0;
            d.vMax = d.anyValue ? std::max(d.vMax, 0.0) : 0.0;
            d.anyValue = true;
        }
    }
    if (!d.anyValue) {
        d.vMin = 0;
        d.vMax = 1;
    }
    // Rows without labels are numbered by their position (0, 1, 2, ...: ages, for a
    // population table), so that each bar gets its number when there is room.
    if (!d.hasLabels && !d.anyXValues && d.categoryCount > 0)
        d.numbered = true;
    else if (d.hasLabels)
        d.labels.resize(d.categoryCount);
    return d;
}

QString elided(const QString& text, const QFont& font, double width)
{
    return QFontMetricsF(font).elidedText(text, Qt::ElideRight, std::max(0.0, width));
}

TextItem textItem(const QRectF& box, const QString& text, const QFont& font, const QColor& color,
                  int flags)
{
    TextItem item;
    item.box = box;
    item.text = text;
    item.font = font;
    item.color = color;
    item.flags = flags;
    return item;
}

void addBackground(const ChartModel& model, const QSizeF& size, DisplayList& items)
{
    const QRectF all(QPointF(0, 0), size);
    QBrush brush(model.background);
    if (model.gradient.visible) {
        QLinearGradient gradient(all.topLeft(), all.bottomLeft());
        gradient.setColorAt(0, model.gradient.start);
        gradient.setColorAt(1, model.gradient.end);
        brush = QBrush(gradient);
    }
    items.push_back(PolygonItem{QPolygonF(all), brush, Qt::NoPen});
    if (model.border)
        items.push_back(PolygonItem{QPolygonF(all.adjusted(0.5, 0.5, -0.5, -0.5)), Qt::NoBrush,
                                    chartPen(QColor(128, 128, 128))});
}

// The legend at the right of `area`, which loses its width.
void placeLegend(const ChartModel& model, ChartLayout& layout, QRectF& area, DisplayList& top)
{
    std::vector<int> listed;
    for (std::size_t s = 0; s < model.series.size(); ++s)
        if (!model.series[s].title.isEmpty())
            listed.push_back(static_cast<int>(s));
    if (listed.empty())
        return;
    const QFont font = chartFont(kLegendPoints);
    const QFontMetricsF fm(font);
    const double row = std::max(fm.height(), 14.0) + 2;
    const double pad = 6;
    const double symbolWidth = 22;
    double textWidth = 0;
    for (int s : listed)
        textWidth = std::max(textWidth, fm.horizontalAdvance(model.series[s].title));
    textWidth = std::min(textWidth, area.width() * 0.3);
    const double width = pad + symbolWidth + pad + textWidth + pad;
    const auto fitting = static_cast<std::size_t>(std::max(0.0, (area.height() - 2 * pad) / row));
    if (fitting == 0 || width > area.width() / 2)
        return;
    const std::size_t shown = std::min(listed.size(), fitting);
    const double height = 2 * pad + row * static_cast<double>(shown);
    const QRectF box(area.right() - width, area.top() + (area.height() - height) / 2, width, height);
    layout.legendBox = box;
    top.push_back(PolygonItem{QPolygonF(box.adjusted(0.5, 0.5, -0.5, -0.5)), QBrush(Qt::white),
                              chartPen(kWallEdge)});
    for (std::size_t k = 0; k < shown; ++k) {
        const int s = listed[k];
        const double y = box.top() + pad + row * static_cast<double>(k);
        LegendEntry entry;
        entry.series = s;
        entry.symbol = QRectF(box.left() + pad, y + 2, symbolWidth, row - 4);
        entry.text = QRectF(entry.symbol.right() + pad, y, textWidth, row);
        addLegendSymbol(model.series[s], entry.symbol, top);
        QString text = model.series[s].title;
        if (k + 1 == shown && shown < listed.size())
            text = QStringLiteral("…");
        top.push_back(textItem(entry.text, elided(text, font, textWidth), font, Qt::black,
                               Qt::AlignLeft | Qt::AlignVCenter));
        layout.legend.push_back(entry);
    }
    area.setRight(box.left() - 10);
}

double widestText(const std::vector<AxisTick>& ticks, const QFontMetricsF& fm)
{
    double w = 0;
    for (const AxisTick& t : ticks)
        w = std::max(w, fm.horizontalAdvance(t.text));
    return w;
}

// The width of the widest label, measured on the longest texts only (a few hundred at most),
// so that ten thousand year labels cost no more than a hundred.
double widestLabel(const std::vector<QString>& labels, const QFontMetricsF& fm)
{
    qsizetype longest = 0;
    for (const QString& label : labels)
        longest = std::max(longest, label.size());
    double w = 0;
    int measured = 0;
    for (const QString& label : labels)
        if (label.size() + 1 >= longest && measured++ < 200)
            w = std::max(w, fm.horizontalAdvance(label));
    return w;
}

// widestLabel() of the labels 0, 1, ..., count - 1, without writing them all.
double widestNumberLabel(std::size_t count, const QFontMetricsF& fm)
{
    const qsizetype longest = QString::number(count - 1).size();
    std::size_t from = 0;
    for (qsizetype d = 2; d < longest; ++d)
        from = from == 0 ? 10 : from * 10;
    double w = 0;
    for (std::size_t i = from; i < count && i < from + 200; ++i)
        w = std::max(w, fm.horizontalAdvance(QString::number(i)));
    return w;
}

std::vector<AxisTick> valueTicks(const ValueScale& scale, const Axis& axis)
{
    std::vector<AxisTick> ticks;
    const bool grouped = scaleWantsGrouping(scale);
    for (double v : scale.ticks)
        ticks.push_back({v, formatTick(v, scale.decimals, grouped, axis.absoluteLabels)});
    return ticks;
}

// A value scale for an axis `length` pixels long; along a horizontal axis the labels' widths
// decide how many fit.
ValueScale scaleForLength(double lo, double hi, double length, bool alongHorizontal,
                          const Axis& axis, const QFontMetricsF& fm, double minStep = 0)
{
    if (!alongHorizontal) {
        const int intervals = static_cast<int>(std::floor(length / (fm.height() * 3.5)));
        return niceScale(lo, hi, std::clamp(intervals, 1, 20), minStep);
    }
    int intervals = std::clamp(static_cast<int>(length / 70), 1, 20);
    ValueScale scale = niceScale(lo, hi, intervals, minStep);
    for (int round = 0; round < 4; ++round) {
        const double w = widestText(valueTicks(scale, axis), fm) + 14;
        const int fit = std::clamp(static_cast<int>(std::floor(length / w)), 1, 20);
        if (fit >= static_cast<int>(scale.ticks.size()) - 1)
            break;
        scale = niceScale(lo, hi, fit, minStep);
    }
    return scale;
}

// Category ticks: thinned labels, or round row positions (or x values) when there are none.
void categoryTicks(ChartLayout& layout, const DataExtent& data, double length,
                   const QFontMetricsF& fm)
{
    layout.categoryTicks.clear();
    const double span = layout.categoryMax - layout.categoryMin;
    if ((data.hasLabels || data.numbered) && !data.anyXValues) {
        double extent = fm.height();
        if (!layout.horizontal) {
            // Numbered rows: the last number is the widest.
            extent = std::max(extent, data.numbered ? widestNumberLabel(data.categoryCount, fm)
                                                    : widestLabel(data.labels, fm));
        }
        const double spacing = length / span;
        const int step = categoryLabelStep(spacing, extent, layout.horizontal ? 2 : 8);
        layout.categoryStep = step;
        if (data.numbered) {
            for (std::size_t i = 0; i < data.categoryCount; i += static_cast<std::size_t>(step))
                layout.categoryTicks.push_back({static_cast<double>(i), QString::number(i)});
            return;
        }
        for (std::size_t i = static_cast<std::size_t>(firstLabelledCategory(data.labels, step));
             i < data.labels.size(); i += static_cast<std::size_t>(step))
            layout.categoryTicks.push_back({static_cast<double>(i), data.labels[i]});
        return;
    }
    Axis plain;
    const ValueScale scale = scaleForLength(layout.categoryMin, layout.categoryMax, length,
                                            !layout.horizontal, plain, fm,
                                            data.anyXValues ? 0.0 : 1.0);
    const bool grouped = scaleWantsGrouping(scale);
    for (double v : scale.ticks)
        if (v >= layout.categoryMin - 1e-9 && v <= layout.categoryMax + 1e-9)
            layout.categoryTicks.push_back({v, formatTick(v, scale.decimals, grouped, false)});
}

void addWall(DisplayList& items, const QPolygonF& face, const Wall& wall, const QColor& shade)
{
    items.push_back(PolygonItem{face, wall.transparent ? QBrush(Qt::NoBrush) : QBrush(shade),
                                chartPen(kWallEdge)});
}

QPolygonF quad(const Projection& p, double x0, double y0, double z0, double x1, double y1,
               double z1, int plane)
{
    // plane: 0 = constant x (x0), 1 = constant y (y0), 2 = constant z (z0)
    if (plane == 0)
        return QPolygonF({p.map(x0, y0, z0), p.map(x0, y1, z0), p.map(x0, y1, z1), p.map(x0, y0, z1)});
    if (plane == 1)
        return QPolygonF({p.map(x0, y0, z0), p.map(x1, y0, z0), p.map(x1, y0, z1), p.map(x0, y0, z1)});
    return QPolygonF({p.map(x0, y0, z0), p.map(x1, y0, z0), p.map(x1, y1, z0), p.map(x0, y1, z0)});
}

// A wall as a slab: its inner face, and with a thickness its front and outer visible faces.
void addWalls(const ChartModel& model, ChartLayout& layout)
{
    const Projection& p = layout.projection;
    const BoxExtent& b = layout.box;
    DisplayList& items = layout.items;
    if (!p.hasDepth()) {
        addWall(items, quad(p, 0, 0, 0, b.width, b.height, 0, 2), model.backWall, model.backWall.color);
        return;
    }
    const double W = b.width, H = b.height, D = b.depth;
    // Back wall at z = D, thickness behind it.
    if (b.backWall > 0) {
        const double z1 = D + b.backWall;
        addWall(items, quad(p, W, 0, D, W, H, z1, 0), model.backWall, model.backWall.color.darker(120));
        addWall(items, quad(p, 0, H, D, W, H, z1, 1), model.backWall, model.backWall.color.lighter(110));
    }
    addWall(items, quad(p, 0, 0, D, W, H, D, 2), model.backWall, model.backWall.color);
    // Left wall at x = 0, thickness to the left.
    if (b.leftWall > 0) {
        const double x0 = -b.leftWall;
        addWall(items, quad(p, x0, H, 0, 0, H, D, 1), model.leftWall, model.leftWall.color.lighter(110));
        addWall(items, quad(p, x0, 0, 0, 0, H, 0, 2), model.leftWall, model.leftWall.color.darker(115));
    }
    addWall(items, quad(p, 0, 0, 0, 0, H, D, 0), model.leftWall, model.leftWall.color);
    // Bottom wall at y = 0, thickness below.
    if (b.bottomWall > 0) {
        const double y0 = -b.bottomWall;
        addWall(items, quad(p, W, y0, 0, W, 0, D, 0), model.bottomWall, model.bottomWall.color.darker(120));
        addWall(items, quad(p, 0, y0, 0, W, 0, 0, 2), model.bottomWall, model.bottomWall.color.darker(110));
    }
    addWall(items, quad(p, 0, 0, 0, W, 0, D, 1), model.bottomWall, model.bottomWall.color);
}

// Grid lines of the value axis along the left (or bottom) wall and across the back wall, and a
// darker line at zero when the values change sign.
void addGrid(ChartLayout& layout)
{
    const Projection& p = layout.projection;
    const BoxExtent& b = layout.box;
    for (const AxisTick& t : layout.valueTicks) {
        const bool zero = t.position == 0 && layout.valueScale.min < 0 && layout.valueScale.max > 0;
        if (!zero && (t.position <= layout.valueScale.min || t.position >= layout.valueScale.max))
            continue;
        const double v = layout.valueToBox(t.position);
        QPolygonF line;
        if (layout.horizontal)
            line = QPolygonF({p.map(v, 0, 0), p.map(v, 0, b.depth), p.map(v, b.height, b.depth)});
        else
            line = QPolygonF({p.map(0, v, 0), p.map(0, v, b.depth), p.map(b.width, v, b.depth)});
        if (!p.hasDepth())
            line.removeFirst();
        layout.items.push_back(PolylineItem{line, chartPen(zero ? kZeroColor : kGridColor)});
    }
}

void addAxes(const ChartModel& model, ChartLayout& layout, const QRectF& titleRoom)
{
    const Projection& p = layout.projection;
    const BoxExtent& b = layout.box;
    DisplayList& items = layout.items;
    const QFont font = chartFont(kLabelPoints);
    const QFontMetricsF fm(font);
    const double lh = fm.height();
    items.push_back(PolylineItem{QPolygonF({p.map(0, b.height, 0), p.map(0, 0, 0), p.map(b.width, 0, 0)}),
                                 chartPen(kAxisColor)});
    const auto& leftTicks = layout.horizontal ? layout.categoryTicks : layout.valueTicks;
    const auto& bottomTicks = layout.horizontal ? layout.valueTicks : layout.categoryTicks;
    const bool leftIsCategory = layout.horizontal;
    for (const AxisTick& t : leftTicks) {
        const double y = leftIsCategory ? layout.categoryToBox(t.position) : layout.valueToBox(t.position);
        const QPointF at = p.map(0, y, 0);
        items.push_back(PolylineItem{QPolygonF({at, at - QPointF(kTick, 0)}), chartPen(kAxisColor)});
        const double w = fm.horizontalAdvance(t.text) + 1;
        items.push_back(textItem(QRectF(at.x() - kTick - kLabelGap - w, at.y() - lh / 2, w, lh), t.text,
                                 font, Qt::black, Qt::AlignRight | Qt::AlignVCenter));
    }
    for (const AxisTick& t : bottomTicks) {
        const double x = leftIsCategory ? layout.valueToBox(t.position) : layout.categoryToBox(t.position);
        const QPointF at = p.map(x, 0, 0);
        items.push_back(PolylineItem{QPolygonF({at, at + QPointF(0, kTick)}), chartPen(kAxisColor)});
        const double w = fm.horizontalAdvance(t.text) + 1;
        items.push_back(textItem(QRectF(at.x() - w / 2, at.y() + kTick + kLabelGap, w, lh), t.text, font,
                                 Qt::black, Qt::AlignHCenter | Qt::AlignTop));
    }
    const QPointF front0 = p.map(0, 0, 0);
    const QPointF frontTop = p.map(0, b.height, 0);
    const QPointF frontRight = p.map(b.width, 0, 0);
    if (!model.leftAxis.title.isEmpty()) {
        const QFont tf = chartFont(model.leftAxis.titleFont, kDefaultAxisTitlePoints);
        const double th = QFontMetricsF(tf).height();
        const double length = std::max(front0.y() - frontTop.y(), 10.0);
        TextItem item = textItem(QRectF(titleRoom.left(), (front0.y() + frontTop.y()) / 2 - length / 2, th, length),
                                 elided(model.leftAxis.title, tf, length), tf, model.leftAxis.titleFont.color,
                                 Qt::AlignCenter);
        item.vertical = true;
        items.push_back(item);
    }
    if (!model.bottomAxis.title.isEmpty()) {
        const QFont tf = chartFont(model.bottomAxis.titleFont, kDefaultAxisTitlePoints);
        const double th = QFontMetricsF(tf).height();
        const double length = std::max(frontRight.x() - front0.x(), 10.0);
        items.push_back(textItem(QRectF(front0.x(), titleRoom.bottom() - th, length, th),
                                 elided(model.bottomAxis.title, tf, length), tf, model.bottomAxis.titleFont.color,
                                 Qt::AlignCenter));
    }
}

}  // namespace

ChartLayout layoutChart(const ChartModel& model, const QSizeF& size)
{
    ChartLayout layout;
    layout.size = size;
    layout.arrangement = arrangeSeries(model);
    addBackground(model, size, layout.items);
    if (size.width() < 40 || size.height() < 40)
        return layout;

    QRectF area(size.width() * model.margins.left / 100.0, size.height() * model.margins.top / 100.0,
                size.width() * (100 - model.margins.left - model.margins.right) / 100.0,
                size.height() * (100 - model.margins.top - model.margins.bottom) / 100.0);
    area = area.adjusted(4, 4, -4, -4);
    layout.outer = area;
    if (area.width() < 40 || area.height() < 40)
        return layout;

    DisplayList onTop;  // title and legend, painted last
    if (!model.title.isEmpty()) {
        const QFont font = chartFont(model.titleFont, kDefaultTitlePoints);
        const double h = QFontMetricsF(font).height();
        layout.titleBox = QRectF(area.left(), area.top(), area.width(), h);
        onTop.push_back(textItem(layout.titleBox, elided(model.title, font, area.width()), font,
                                 model.titleFont.color, Qt::AlignCenter));
        area.setTop(area.top() + h + 6);
    }
    if (model.legendVisible)
        placeLegend(model, layout, area, onTop);
    const QRectF titleRoom = area;  // the axis titles sit at its left and bottom edges
    if (!model.leftAxis.title.isEmpty())
        area.setLeft(area.left() + QFontMetricsF(chartFont(model.leftAxis.titleFont, kDefaultAxisTitlePoints)).height() + 4);
    if (!model.bottomAxis.title.isEmpty())
        area.setBottom(area.bottom() - QFontMetricsF(chartFont(model.bottomAxis.titleFont, kDefaultAxisTitlePoints)).height() - 2);

    // Axis ranges.
    const DataExtent data = measureData(model, layout.arrangement);
    layout.horizontal = data.horizontal;
    if (data.anyXValues) {
        const ValueScale xs = niceScale(data.xMin, data.xMax, 10);
        layout.categoryMin = xs.min;
        layout.categoryMax = xs.max;
    } else {
        layout.categoryMin = 0;
        layout.categoryMax = data.categoryCount > 0 ? static_cast<double>(data.categoryCount - 1) : 0;
        if (data.anyBars) {
            layout.categoryMin -= 0.5;
            layout.categoryMax += 0.5;
        }
        if (layout.categoryMax - layout.categoryMin < 1e-9) {
            layout.categoryMin -= 0.5;
            layout.categoryMax += 0.5;
        }
    }
    const Axis& valueAxis = layout.horizontal ? model.bottomAxis : model.leftAxis;
    DataExtent range = data;
    if (valueAxis.absoluteLabels && range.vMin < 0 && range.vMax > 0) {
        // Both sides of a pyramid on one scale: the axis runs as far left as right.
        const double reach = std::max(-range.vMin, range.vMax);
        range.vMin = -reach;
        range.vMax = reach;
    }

    // Room for the labels: the bottom row, the widest left label, half a label above and to
    // the right so that the end labels stay inside.
    const QFont labelFont = chartFont(kLabelPoints);
    const QFontMetricsF fm(labelFont);
    const double lh = fm.height();
    area.setBottom(area.bottom() - (lh + kTick + kLabelGap));
    area.setTop(area.top() + lh / 2);
    double leftWidth = 0;
    double rightPad = 0;
    if (layout.horizontal) {
        categoryTicks(layout, data, area.height(), fm);
        leftWidth = widestText(layout.categoryTicks, fm);
        layout.valueScale = scaleForLength(range.vMin, range.vMax, area.width() - leftWidth, true, valueAxis, fm);
        rightPad = widestText(valueTicks(layout.valueScale, valueAxis), fm) / 2;
    } else {
        layout.valueScale = scaleForLength(range.vMin, range.vMax, area.height(), false, valueAxis, fm);
        leftWidth = widestText(valueTicks(layout.valueScale, valueAxis), fm);
        categoryTicks(layout, data, area.width() - leftWidth, fm);
        rightPad = widestText(layout.categoryTicks, fm) / 2;
    }
    area.setLeft(area.left() + leftWidth + kTick + kLabelGap + 2);
    area.setRight(area.right() - std::min(rightPad, area.width() / 4));
    if (area.width() < 10 || area.height() < 10) {
        layout.items.insert(layout.items.end(), onTop.begin(), onTop.end());
        return layout;
    }
    layout.plotArea = area;

    // The box and its projection.
    layout.box.width = area.width();
    layout.box.height = area.height();
    layout.box.depth = model.view.enabled
        ? std::clamp(model.view.depthPercent, 0, 100) / 100.0 * std::min(area.width(), area.height())
        : 0.0;
    layout.box.leftWall = std::max(0, model.leftWall.size);
    layout.box.bottomWall = std::max(0, model.bottomWall.size);
    layout.box.backWall = std::max(0, model.backWall.size);
    layout.projection = Projection::fitted(model.view, layout.box, area);
    if (!layout.projection.hasDepth())
        layout.box.depth = 0;
    layout.slotDepth = layout.arrangement.slotCount > 0 ? layout.box.depth / layout.arrangement.slotCount : 0;

    // Final scales for the lengths the axes have on the page.
    const double pageWidth = std::hypot(layout.projection.xAxis().x(), layout.projection.xAxis().y()) * layout.box.width;
    const double pageHeight = std::hypot(layout.projection.yAxis().x(), layout.projection.yAxis().y()) * layout.box.height;
    if (layout.horizontal) {
        layout.valueScale = scaleForLength(range.vMin, range.vMax, pageWidth, true, valueAxis, fm);
        categoryTicks(layout, data, pageHeight, fm);
    } else {
        layout.valueScale = scaleForLength(range.vMin, range.vMax, pageHeight, false, valueAxis, fm);
        categoryTicks(layout, data, pageWidth, fm);
    }
    layout.valueTicks = valueTicks(layout.valueScale, valueAxis);

    addWalls(model, layout);
    addGrid(layout);
    DisplayList marks;
    addSeriesItems(model, layout, marks);
    addAxes(model, layout, titleRoom);
    layout.items.insert(layout.items.end(), marks.begin(), marks.end());
    layout.items.insert(layout.items.end(), onTop.begin(), onTop.end());
    return layout;
}

}  // namespace zandor::charts
