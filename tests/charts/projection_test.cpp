// The 3-D view's projection: the flat view, the direction of the depth, and the fit of the
// box with its walls into the plot area at every angle the 3-D dialog allows.
#include <gtest/gtest.h>

#include "charts/projection3d.h"

namespace zandor::charts {
namespace {

TEST(Projection, TheFlatViewMapsTheFrontFaceOntoTheArea)
{
    View3D view;
    view.enabled = false;
    const QRectF area(10, 20, 300, 200);
    const Projection p = Projection::fitted(view, BoxExtent{300, 200, 50}, area);
    EXPECT_EQ(p.map(0, 0, 0), area.bottomLeft());
    EXPECT_EQ(p.map(300, 200, 0), area.topRight());
    EXPECT_EQ(p.map(0, 0, 50), area.bottomLeft());  // no depth when the view is off
    EXPECT_FALSE(p.hasDepth());
}

TEST(Projection, TheOrthogonalDepthRunsUpAndRightAtFortyFiveDegrees)
{
    View3D view;
    view.enabled = true;
    view.orthogonal = true;
    const Projection p = Projection::fitted(view, BoxExtent{300, 200, 40}, QRectF(0, 0, 400, 300));
    const QPointF d = p.map(0, 0, 40) - p.map(0, 0, 0);
    EXPECT_GT(d.x(), 0);
    EXPECT_NEAR(d.x(), -d.y(), 1e-9);
    EXPECT_TRUE(p.seesRightSide());
    EXPECT_TRUE(p.seesTop());
}

TEST(Projection, FacingTheFrontLeavesNoDepth)
{
    View3D view;
    view.enabled = true;
    view.orthogonal = false;
    view.rotation = 360;
    view.elevation = 360;
    QPointF ex, ey, ez;
    viewDirections(view, ex, ey, ez);
    EXPECT_NEAR(ez.x(), 0, 1e-12);
    EXPECT_NEAR(ez.y(), 0, 1e-12);
}

struct AngleCase {
    int rotation, elevation;
    bool orthogonal;
    int depth;
    int walls;
};

void PrintTo(const AngleCase& c, std::ostream* os)
{
    *os << c.rotation << "/" << c.elevation << (c.orthogonal ? " orthogonal" : "") << " depth " << c.depth;
}

class ProjectionFitTest : public ::testing::TestWithParam<AngleCase> {};

TEST_P(ProjectionFitTest, TheBoxAndItsWallsFitTheAreaAndTouchItsSides)
{
    const AngleCase& c = GetParam();
    View3D view;
    view.enabled = true;
    view.orthogonal = c.orthogonal;
    view.rotation = c.rotation;
    view.elevation = c.elevation;
    const QRectF area(50, 40, 500, 300);
    BoxExtent box{500, 300, 300 * c.depth / 100.0, double(c.walls), double(c.walls), double(c.walls)};
    const Projection p = Projection::fitted(view, box, area);
    QRectF bounds;
    for (double x : {-box.leftWall, box.width})
        for (double y : {-box.bottomWall, box.height})
            for (double z : {0.0, box.depth + box.backWall}) {
                const QPointF q = p.map(x, y, z);
                bounds = bounds.isNull() ? QRectF(q, QSizeF(1e-9, 1e-9)) : bounds.united(QRectF(q, QSizeF(1e-9, 1e-9)));
            }
    EXPECT_TRUE(area.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(bounds)) << "bounds " << bounds.x() << "," << bounds.y()
                                                                         << " " << bounds.width() << "x" << bounds.height();
    // Fitted, not shrunk needlessly: the box spans the area's width or its height.
    EXPECT_TRUE(std::abs(bounds.width() - area.width()) < 0.01 || std::abs(bounds.height() - area.height()) < 0.01);
    // Depth recedes to the right and upwards at these angles.
    EXPECT_TRUE(p.seesRightSide());
    EXPECT_TRUE(p.seesTop());
}

INSTANTIATE_TEST_SUITE_P(Angles, ProjectionFitTest,
                         ::testing::Values(AngleCase{331, 353, false, 15, 0}, AngleCase{270, 270, false, 100, 0},
                                           AngleCase{360, 270, false, 50, 5}, AngleCase{270, 360, false, 1, 0},
                                           AngleCase{345, 345, true, 15, 0}, AngleCase{300, 300, false, 100, 20},
                                           AngleCase{331, 353, true, 100, 10}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Projection, ZoomScalesAboutTheCentreAndOffsetsMoveInPixels)
{
    View3D view;
    view.enabled = false;
    view.zoom = 50;
    view.horizOffset = 7;
    view.vertOffset = -3;
    const QRectF area(0, 0, 200, 100);
    const Projection p = Projection::fitted(view, BoxExtent{200, 100, 0}, area);
    EXPECT_EQ(p.map(0, 0, 0), QPointF(50 + 7, 75 - 3));
    EXPECT_EQ(p.map(200, 100, 0), QPointF(150 + 7, 25 - 3));
}

}  // namespace
}  // namespace zandor::charts
