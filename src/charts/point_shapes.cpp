// Marker outlines: rectangle, circle, triangles, crosses, star, diamond and the small dot.
#include "charts/point_shapes.h"

#include <cmath>

namespace zandor::charts {

bool markerIsStroked(PointShape shape)
{
    return shape == PointShape::Cross || shape == PointShape::DiagonalCross;
}

QPainterPath markerPath(PointShape shape, const QPointF& c, const QSizeF& size)
{
    const double w = std::max(1.0, size.width()) / 2;
    const double h = std::max(1.0, size.height()) / 2;
    QPainterPath path;
    switch (shape) {
    case PointShape::Rectangle:
        path.addRect(QRectF(c.x() - w, c.y() - h, 2 * w, 2 * h));
        break;
    case PointShape::Circle:
        path.addEllipse(c, w, h);
        break;
    case PointShape::Triangle:
        path.moveTo(c.x(), c.y() - h);
        path.lineTo(c.x() + w, c.y() + h);
        path.lineTo(c.x() - w, c.y() + h);
        path.closeSubpath();
        break;
    case PointShape::DownTriangle:
        path.moveTo(c.x() - w, c.y() - h);
        path.lineTo(c.x() + w, c.y() - h);
        path.lineTo(c.x(), c.y() + h);
        path.closeSubpath();
        break;
    case PointShape::Cross:
        path.moveTo(c.x() - w, c.y());
        path.lineTo(c.x() + w, c.y());
        path.moveTo(c.x(), c.y() - h);
        path.lineTo(c.x(), c.y() + h);
        break;
    case PointShape::DiagonalCross:
        path.moveTo(c.x() - w, c.y() - h);
        path.lineTo(c.x() + w, c.y() + h);
        path.moveTo(c.x() + w, c.y() - h);
        path.lineTo(c.x() - w, c.y() + h);
        break;
    case PointShape::Star: {
        // Five points, the inner corners at 40 % of the radius.
        constexpr double kPi = 3.14159265358979323846;
        for (int k = 0; k < 10; ++k) {
            const double r = (k % 2 == 0) ? 1.0 : 0.4;
            const double angle = -kPi / 2 + k * kPi / 5;
            const QPointF p(c.x() + r * w * std::cos(angle), c.y() + r * h * std::sin(angle));
            if (k == 0)
                path.moveTo(p);
            else
                path.lineTo(p);
        }
        path.closeSubpath();
        break;
    }
    case PointShape::Diamond:
        path.moveTo(c.x(), c.y() - h);
        path.lineTo(c.x() + w, c.y());
        path.lineTo(c.x(), c.y() + h);
        path.lineTo(c.x() - w, c.y());
        path.closeSubpath();
        break;
    case PointShape::SmallDot:
        path.addEllipse(c, 1.5, 1.5);
        break;
    }
    return path;
}

}  // namespace zandor::charts
