// The 3-D view as a parallel projection of the chart's box onto the page. The box has its
// width along the category axis (x, to the right), its height along the value axis (y, up)
// and its depth away from the viewer (z). With the orthogonal view the depth is drawn
// obliquely at 45 degrees up and to the right; otherwise the box is turned by the rotation
// angle about the vertical axis and tipped by the elevation angle towards the viewer. The
// projection is affine, so faces stay parallelograms and the fit into a rectangle is exact.
#pragma once

#include <QPointF>
#include <QRectF>

#include "charts/chart_model.h"

namespace zandor::charts {

struct BoxExtent {
    double width = 0;
    double height = 0;
    double depth = 0;
    // Wall thickness outside the box: the left wall at x < 0, the bottom wall at y < 0, the
    // back wall at z > depth.
    double leftWall = 0;
    double bottomWall = 0;
    double backWall = 0;
};

class Projection {
public:
    Projection() = default;

    // The flat view: the box's front face fills `front`.
    static Projection flat(const QRectF& front);
    // The view of `view` (flat when it is off), scaled so that the projected box with its
    // walls fits into `area`, then zoomed about the centre of `area` and moved by the offsets.
    static Projection fitted(const View3D& view, const BoxExtent& box, const QRectF& area);

    // Page position of the box point (x, y, z).
    QPointF map(double x, double y, double z) const
    {
        return origin_ + x * ex_ + y * ey_ + z * ez_;
    }

    // Which sides of a solid standing in the box the viewer sees besides its front: the right
    // side when the depth runs to the right, the top when it runs upwards.
    bool seesRightSide() const { return ez_.x() >= 0; }
    bool seesTop() const { return ez_.y() <= 0; }
    bool hasDepth() const { return ez_.x() != 0 || ez_.y() != 0; }
    // Page length of one unit of the box along each axis.
    QPointF xAxis() const { return ex_; }
    QPointF yAxis() const { return ey_; }
    QPointF zAxis() const { return ez_; }

private:
    QPointF origin_;
    QPointF ex_{1, 0};
    QPointF ey_{0, -1};
    QPointF ez_{0, 0};
};

// The unit directions of the box axes on the page for a view (before any scaling).
void viewDirections(const View3D& view, QPointF& ex, QPointF& ey, QPointF& ez);

}  // namespace zandor::charts
