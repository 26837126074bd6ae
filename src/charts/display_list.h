// What a laid-out chart draws: a list of filled polygons, polylines, texts and markers in page
// coordinates, in painting order (back to front). The layout builds it once per size; painting
// only walks it, so the screen, images, SVG and PDF all get the same drawing.
#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QVector>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <variant>
#include <vector>

#include "charts/chart_model.h"

class QPainter;

namespace zandor::charts {

struct PolygonItem {
    QPolygonF polygon;
    QBrush brush;
    QPen pen;  // Qt::NoPen for none
    bool convex = false;  // faces of solids: painted by the faster convex fill
};

struct PolylineItem {
    QPolygonF points;
    QPen pen;
};

struct TextItem {
    QRectF box;            // the text is aligned inside this box (before rotation)
    QString text;
    QFont font;
    QColor color;
    int flags = 0;         // Qt::AlignmentFlag values
    bool vertical = false; // turned a quarter anticlockwise about the box's centre
    QColor background;     // invalid: none
    QColor frame;          // invalid: none
};

// Many upright rectangles of one brush and pen (flat bars of one colour), painted in one call.
struct RectsItem {
    QVector<QRectF> rects;
    QBrush brush;
    QPen pen;
};

// Switches edge smoothing for the items that follow; dense faces a few pixels wide are drawn
// without it, since smoothing them costs much time and shows nothing.
struct SmoothingItem {
    bool on = true;
};

struct MarkerItem {
    QPointF centre;
    PointShape shape = PointShape::Rectangle;
    QSizeF size;
    QBrush brush;
    QPen pen;
};

using DisplayItem = std::variant<PolygonItem, PolylineItem, RectsItem, SmoothingItem, TextItem, MarkerItem>;
using DisplayList = std::vector<DisplayItem>;

void paintDisplayList(QPainter& painter, const DisplayList& items);

// A pen one pixel wide (or `width`) with square caps, as chart outlines use.
QPen chartPen(const QColor& color, double width = 1.0);

}  // namespace zandor::charts
