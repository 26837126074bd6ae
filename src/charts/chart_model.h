// The chart model: series of values with their kind, colours, labels and stacking, and the
// chart's titles, axes, legend, margins, background, walls and 3-D view, all as plain values.
// The renderer (chart.h) lays it out and draws it; nothing here knows about painting.
#pragma once

#include <QColor>
#include <QString>

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

struct DataPoint {
    double x = 0;     // the row position unless the series has its own x values
    double y = 0;
    QString label;    // category label (a year, an age) or a mark text
    QColor color;     // invalid: the series colour
};

struct Series {
    SeriesKind kind = SeriesKind::Line;
    QString title;
    QColor color = Qt::red;
    std::vector<DataPoint> points;
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
