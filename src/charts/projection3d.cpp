// Parallel projection of the chart box for the 3-D view.
#include "charts/projection3d.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace zandor::charts {

namespace {

constexpr double kPi = 3.14159265358979323846;

double turnAngle(int degrees)
{
    // 360 (or 0) faces the viewer; 270 is a quarter turn. Positions outside 270..360 are
    // taken round the circle and held to that quarter.
    int d = ((degrees % 360) + 360) % 360;
    if (d == 0)
        d = 360;
    const int turned = std::clamp(360 - d, 0, 90);
    return turned * kPi / 180.0;
}

}  // namespace

void viewDirections(const View3D& view, QPointF& ex, QPointF& ey, QPointF& ez)
{
    if (!view.enabled) {
        ex = {1, 0};
        ey = {0, -1};
        ez = {0, 0};
        return;
    }
    if (view.orthogonal) {
        const double a = 45 * kPi / 180.0;
        ex = {1, 0};
        ey = {0, -1};
        ez = {std::cos(a), -std::sin(a)};
        return;
    }
    // Turn about the vertical axis by a, then tip towards the viewer by b; page y grows down.
    const double a = turnAngle(view.rotation);
    const double b = turnAngle(view.elevation);
    ex = {std::cos(a), std::sin(a) * std::sin(b)};
    ey = {0, -std::cos(b)};
    ez = {std::sin(a), -std::cos(a) * std::sin(b)};
}

Projection Projection::flat(const QRectF& front)
{
    Projection p;
    p.origin_ = front.bottomLeft();
    p.ex_ = {1, 0};
    p.ey_ = {0, -1};
    p.ez_ = {0, 0};
    return p;
}

Projection Projection::fitted(const View3D& view, const BoxExtent& box, const QRectF& area)
{
    Projection p;
    viewDirections(view, p.ex_, p.ey_, p.ez_);
    const double depth = view.enabled ? box.depth : 0.0;
    const double back = view.enabled ? box.backWall : 0.0;
    const double left = view.enabled ? box.leftWall : 0.0;
    const double bottom = view.enabled ? box.bottomWall : 0.0;
    double minX = std::numeric_limits<double>::max();
    double minY = minX;
    double maxX = -minX;
    double maxY = -minX;
    for (double x : {-left, box.width})
        for (double y : {-bottom, box.height})
            for (double z : {0.0, depth + back}) {
                const QPointF q = x * p.ex_ + y * p.ey_ + z * p.ez_;
                minX = std::min(minX, q.x());
                maxX = std::max(maxX, q.x());
                minY = std::min(minY, q.y());
                maxY = std::max(maxY, q.y());
            }
    const double spanX = std::max(maxX - minX, 1e-9);
    const double spanY = std::max(maxY - minY, 1e-9);
    double scale = std::min(area.width() / spanX, area.height() / spanY);
    scale *= std::max(view.zoom, 1) / 100.0;
    p.ex_ *= scale;
    p.ey_ *= scale;
    p.ez_ *= scale;
    const QPointF centre((minX + maxX) / 2 * scale, (minY + maxY) / 2 * scale);
    p.origin_ = area.center() - centre + QPointF(view.horizOffset, view.vertOffset);
    return p;
}

}  // namespace zandor::charts
