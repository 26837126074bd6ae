// The chart model: series of values with their kind, colours, labels and stacking, and the
// chart's titles, axes, legend, margins, background, walls and 3-D view, all as plain values.
// The renderer (chart.h) lays it out and draws it; nothing here knows about painting.
#pragma once

#include <QColor>
#include <QString>

#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

namespace zandor::charts {

enum class SeriesKind {
    Line,      // a line through the points; a ribbon in the 3-D view
    FastLine,  // a plain polyline, one colour, no markers: for long series
    Bar,       // vertical bars from zero
    HorizBar,  // horizontal bars from zero, categories up the vertical axis
    Point,     // a marker per point
    Area,      // the region between zero (or the series below) and the line
};

// How the bars (or areas) of several series meet at one category.
enum class Stacking {
    Overlap,     // drawn over each other (in the 3-D view each series at its own depth)
    SideBySide,  // bars only: the category's width shared among the series
    Stacked,     // each series on top of the previous ones
    Stacked100,  // stacked and scaled so that every category sums to 100
};

// The nine marker shapes, in the order of the point dialogs' shape lists.
enum class PointShape {
    Rectangle,
    Circle,
    Triangle,
    DownTriangle,
    Cross,
    DiagonalCross,
    Star,
    Diamond,
    SmallDot,
};
inline constexpr int kPointShapeCount = 9;
PointShape pointShapeFromIndex(int index);  // outside 0..8 gives Rectangle

// One point of a series as a value: what SeriesPoints holds for it.
struct DataPoint {
    double x = 0;     // the row position unless the series has its own x values
    double y = 0;
    QString label;    // category label (a year, an age) or a mark text
    QColor color;     // invalid: the series colour
};

// The points of a series. The values sit in a plain array; x values only when the series has
// its own (otherwise a point's x is its row position); labels and colours only for the points
// that have them, as (row, text) and (row, colour) pairs in row order. A series of a million
// values thus takes 8 bytes a value (16 with its own x values).
class SeriesPoints {
public:
    std::size_t size() const { return ys_.size(); }
    bool empty() const { return ys_.empty(); }
    void reserve(std::size_t n) { ys_.reserve(n); }
    void clear();

    double x(std::size_t i) const { return xs_.empty() ? static_cast<double>(i) : xs_[i]; }
    double y(std::size_t i) const { return ys_[i]; }
    const std::vector<double>& values() const { return ys_; }
    bool hasOwnX() const { return !xs_.empty(); }
    QString label(std::size_t i) const;  // empty where none
    QColor color(std::size_t i) const;   // invalid where none
    // The rows that have a label (or a colour), in row order.
    const std::vector<std::pair<std::size_t, QString>>& labels() const { return labels_; }
    bool anyColor() const { return !colors_.empty(); }

    void append(double y, const QString& label = {}, const QColor& color = {});
    void appendXY(double x, double y, const QString& label = {}, const QColor& color = {});
    // Replaces the points by these values (x = row position), without labels or colours.
    void assignValues(std::vector<double> values);
    void setY(std::size_t i, double y) { ys_[i] = y; }
    void setLabel(std::size_t i, const QString& label);
    void setColor(std::size_t i, const QColor& color);

    // A point as a value (its label and colour looked up): for reading a few points.
    DataPoint operator[](std::size_t i) const;
    DataPoint at(std::size_t i) const;
    DataPoint front() const { return (*this)[0]; }
    DataPoint back() const { return (*this)[size() - 1]; }

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = DataPoint;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = DataPoint;
        const_iterator() = default;
        const_iterator(const SeriesPoints* points, std::size_t i) : points_(points), i_(i) {}
        DataPoint operator*() const { return (*points_)[i_]; }
        const_iterator& operator++()
        {
            ++i_;
            return *this;
        }
        const_iterator operator++(int)
        {
            auto before = *this;
            ++i_;
            return before;
        }
        bool operator==(const const_iterator& other) const { return i_ == other.i_; }

    private:
        const SeriesPoints* points_ = nullptr;
        std::size_t i_ = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    void push(double y, const QString& label, const QColor& color);

    std::vector<double> xs_;  // empty: x is the row position
    std::vector<double> ys_;
    std::vector<std::pair<std::size_t, QString>> labels_;
    std::vector<std::pair<std::size_t, QColor>> colors_;
};

struct Series {
    SeriesKind kind = SeriesKind::Line;
    QString title;
    QColor color = Qt::red;
    SeriesPoints points;
    bool hasXValues = false;         // points carry their own x (scatter plots)
    bool marksVisible = false;       // a value (or label) mark at every point
    bool marksShowLabels = false;    // marks show the point's label instead of its value
    bool pointerVisible = false;     // line series: a marker at every point
    bool colourEachLine = true;      // line series: a segment takes the colour of the point it
                                     // runs into; false: the line keeps the series colour and
                                     // only the markers take the points' colours
    PointShape pointShape = PointShape::Rectangle;
    int pointWidth = 4;              // marker width and height in pixels
    int pointHeight = 4;
    int lineWidth = 1;
    Stacking stacking = Stacking::Overlap;
    int barWidthPercent = 70;        // of the category's width

    // Appends a point at the next row position.
    void add(double y, const QString& label = {}, const QColor& color = {});
    // Appends a point with its own x value (marks the series as having x values).
    void addXY(double x, double y, const QString& label = {}, const QColor& color = {});
    void clear() { points.clear(); }
    QColor pointColor(std::size_t i) const;
    QColor segmentColor(std::size_t i) const;  // of the segment that runs into point i
};

struct FontSpec {
    int size = 0;  // points; 0 = the chart's default size for that text
    QColor color = Qt::black;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

struct Axis {
    QString title;
    FontSpec titleFont{10};
    bool absoluteLabels = false;  // labels without sign (the value axis of a pyramid)
};

struct Wall {
    QColor color = Qt::white;
    int size = 0;                 // thickness in pixels (3-D view)
    bool transparent = false;     // clear: only its outline is drawn
};

struct Gradient {
    bool visible = false;
    QColor start = QColor(192, 192, 192);  // silver
    QColor end = QColor(0, 128, 255);
};

struct View3D {
    bool enabled = false;
    int rotation = 345;     // 270..360: 360 looks straight at the front
    int elevation = 345;    // 270..360: 360 looks straight at the front
    int horizOffset = 0;    // pixels
    int vertOffset = 0;     // pixels
    bool orthogonal = true; // depth drawn obliquely at 45 degrees; rotation and elevation unused
    int depthPercent = 15;  // depth of the chart as a percentage of its plot size
    int zoom = 100;         // percent
};

struct Margins {
    // Percent of the chart's width (left, right) and height (top, bottom).
    int left = 5;
    int top = 5;
    int right = 5;
    int bottom = 5;
};

struct ChartModel {
    std::vector<Series> series;

    QString title;
    FontSpec titleFont;
    Axis bottomAxis;
    Axis leftAxis;
    bool legendVisible = true;

    Margins margins;
    QColor background = Qt::white;
    Gradient gradient;
    bool border = true;

    Wall leftWall{QColor(236, 236, 236)};
    Wall bottomWall{QColor(236, 236, 236)};
    Wall backWall{Qt::white, 0, true};

    View3D view;

    Series& addSeries(SeriesKind kind, const QString& title, const QColor& color);
};

// The default colour of the n-th series of a chart: distinct hues that print well.
QColor seriesPaletteColor(int n);

}  // namespace zandor::charts
