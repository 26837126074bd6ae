// Painting a chart's display list.
#include "charts/display_list.h"

#include <QPainter>

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

struct Painter {
    QPainter& p;

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

}  // namespace

void paintDisplayList(QPainter& painter, const DisplayList& items)
{
    const Painter visitor{painter};
    for (const DisplayItem& item : items)
        std::visit(visitor, item);
}

}  // namespace zandor::charts
