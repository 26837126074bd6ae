// What a user sees in a rendered chart: bars of their colour at their places, the legend's
// entries, the pyramid's sides, the 3-D faces, the marker shapes, and nothing outside the
// chart's rectangle.
#include <gtest/gtest.h>

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <set>
#include <variant>
#include <vector>

#include "chart_test_support.h"
#include "charts/chart_builders.h"

namespace zandor::charts {
namespace {

using testing::countPixels;
using testing::draw;
using testing::extentOf;
using testing::near;
using testing::oneSeries;
using testing::pixel;

const QColor kBarColor(200, 30, 30);

TEST(Render, BarsStandAtTheirCategoriesUpToTheirValues)
{
    const ChartModel model = oneSeries(SeriesKind::Bar, {1, 2, 3}, kBarColor);
    const Chart chart(model);
    const QImage image = renderToImage(chart, {640, 480});
    const ChartLayout& layout = chart.layout(QSizeF(640, 480));
    for (int i = 0; i < 3; ++i) {
        const double value = i + 1;
        EXPECT_TRUE(near(pixel(image, layout.pagePoint(i, value * 0.5)), kBarColor)) << "inside bar " << i;
        EXPECT_TRUE(near(pixel(image, layout.pagePoint(i, value * 0.97)), kBarColor)) << "top of bar " << i;
        EXPECT_FALSE(near(pixel(image, layout.pagePoint(i, value) - QPointF(0, 4)), kBarColor)) << "above bar " << i;
        // Bars take 70 % of a category: the middle between two bars is empty.
        EXPECT_FALSE(near(pixel(image, layout.pagePoint(i + 0.5, 0.5)), kBarColor)) << "after bar " << i;
    }
    // The tallest bar is three times the smallest.
    const QRect all = extentOf(image, kBarColor);
    const double base = layout.pagePoint(0, 0).y();
    EXPECT_NEAR((base - all.top()) / (base - layout.pagePoint(0, 1).y()), 3.0, 0.05);
}

TEST(Render, SideBySideBarsShareTheCategoryAndStackedBarsSitOnTopOfEachOther)
{
    for (Stacking stacking : {Stacking::SideBySide, Stacking::Stacked}) {
        ChartModel model;
        model.legendVisible = false;
        for (auto [title, colour, value] : {std::tuple{"a", Qt::blue, 4.0}, std::tuple{"b", Qt::green, 2.0}}) {
            Series& s = model.addSeries(SeriesKind::Bar, title, colour);
            s.stacking = stacking;
            s.add(value);
        }
        const Chart chart(model);
        const QImage image = renderToImage(chart, {400, 300});
        const ChartLayout& layout = chart.layout(QSizeF(400, 300));
        if (stacking == Stacking::SideBySide) {
            EXPECT_TRUE(near(pixel(image, layout.pagePoint(-0.15, 1)), Qt::blue));
            EXPECT_TRUE(near(pixel(image, layout.pagePoint(0.15, 1)), Qt::green));
            EXPECT_FALSE(near(pixel(image, layout.pagePoint(0.15, 3)), Qt::green));
        } else {
            EXPECT_TRUE(near(pixel(image, layout.pagePoint(0, 2)), Qt::blue));
            EXPECT_TRUE(near(pixel(image, layout.pagePoint(0, 5)), Qt::green));
            EXPECT_EQ(layout.valueScale.max, 6);
        }
    }
}

TEST(Render, TheLegendListsEverySeriesWithItsColourAndDisappearsWhenHidden)
{
    ChartModel model;
    const std::vector<QColor> colours = {QColor(20, 120, 20), QColor(220, 120, 0), QColor(90, 20, 160)};
    for (int k = 0; k < 3; ++k) {
        Series& s = model.addSeries(k == 1 ? SeriesKind::Line : SeriesKind::Bar, QString("系列%1").arg(k), colours[k]);
        s.add(1 + k);
        s.add(2);
    }
    const Chart chart(model);
    const QImage image = renderToImage(chart, {640, 480});
    const ChartLayout& layout = chart.layout(QSizeF(640, 480));
    ASSERT_EQ(layout.legend.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        const LegendEntry& e = layout.legend[static_cast<std::size_t>(k)];
        EXPECT_EQ(e.series, k);
        EXPECT_TRUE(near(pixel(image, e.symbol.center()), colours[k])) << "symbol " << k;
        EXPECT_GT(countPixels(image, Qt::black, e.text.toRect(), 80), 10) << "text " << k;
        EXPECT_TRUE(layout.legendBox.contains(e.text));
    }
    // The legend sits to the right of the plot.
    EXPECT_GT(layout.legendBox.left(), layout.plotArea.right());

    ChartModel hidden = model;
    hidden.legendVisible = false;
    const Chart plain(hidden);
    EXPECT_TRUE(plain.layout(QSizeF(640, 480)).legend.empty());
    EXPECT_TRUE(plain.layout(QSizeF(640, 480)).legendBox.isEmpty());
    EXPECT_GT(plain.layout(QSizeF(640, 480)).plotArea.width(), layout.plotArea.width());
}

TEST(Render, ThePyramidDrawsMalesLeftAndFemalesRightOfZero)
{
    std::vector<double> male, female;
    for (int a = 0; a <= 80; ++a) {
        male.push_back(1000 - 10 * a);
        female.push_back(1000 - 9 * a);
    }
    const Chart chart(pyramidChart("男性人口", "女性人口", pyramidShares(male, female), "年龄结构"));
    const QImage image = renderToImage(chart, {800, 600});
    const ChartLayout& layout = chart.layout(QSizeF(800, 600));
    const double zeroX = layout.pagePoint(0, 0).x();
    const QRect legendArea = layout.legendBox.toAlignedRect();
    int males = 0, females = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (legendArea.contains(x, y))
                continue;
            const QColor c = image.pixelColor(x, y);
            if (near(c, Qt::blue, 4)) {
                ++males;
                EXPECT_LE(x, zeroX + 1) << "male bar right of zero at " << x << "," << y;
            } else if (near(c, Qt::red, 4)) {
                ++females;
                EXPECT_GE(x, zeroX - 1) << "female bar left of zero at " << x << "," << y;
            }
        }
    EXPECT_GT(males, 1000);
    EXPECT_GT(females, 1000);
    // Age 0 at the bottom: the lowest bar is the widest.
    EXPECT_LT(layout.pagePoint(80, 0).y(), layout.pagePoint(0, 0).y());
    ASSERT_EQ(layout.legend.size(), 2u);
}

TEST(Render, PyramidSharesAddUpToOneAndAZeroPopulationDrawsNothing)
{
    const PyramidShares shares = pyramidShares({10, 30}, {20, 40});
    EXPECT_DOUBLE_EQ(shares.male[0], -0.1);
    EXPECT_DOUBLE_EQ(shares.female[1], 0.4);
    double sum = 0;
    for (double v : shares.male)
        sum += std::fabs(v);
    for (double v : shares.female)
        sum += v;
    EXPECT_DOUBLE_EQ(sum, 1.0);
    const PyramidShares empty = pyramidShares({0, 0}, {0, 0});
    EXPECT_EQ(empty.male, (std::vector<double>{0, 0}));
    const QImage image = draw(pyramidChart("m", "f", empty, ""));
    EXPECT_EQ(countPixels(image, Qt::blue, QRect(0, 0, 480, 480)), 0);
}

// A chart drawn into the middle of a bigger image leaves the rest untouched, whatever its
// settings push out of its rectangle.
class ClipTest : public ::testing::TestWithParam<SeriesKind> {};

TEST_P(ClipTest, NothingIsDrawnOutsideTheChart)
{
    ChartModel model = oneSeries(GetParam(), {3, -1, 4, 1, -5, 9}, kBarColor);
    model.series.front().marksVisible = true;
    model.series.front().pointWidth = 30;
    model.view.enabled = true;
    model.view.zoom = 400;
    model.view.horizOffset = 100;
    model.view.vertOffset = -100;
    model.view.depthPercent = 100;
    model.leftWall.size = 30;
    model.title = "一个很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长的标题";
    const QColor sentinel(1, 2, 3);
    QImage image(600, 400, QImage::Format_RGB32);
    image.fill(sentinel);
    const QRect target(150, 100, 300, 200);
    {
        QPainter painter(&image);
        Chart(model).render(painter, target);
    }
    int outside = 0, inside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool same = image.pixelColor(x, y) == sentinel;
            if (target.contains(x, y))
                inside += same ? 0 : 1;
            else
                outside += same ? 0 : 1;
        }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(inside, target.width() * target.height() / 2);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ClipTest,
                         ::testing::Values(SeriesKind::Line, SeriesKind::FastLine, SeriesKind::Bar, SeriesKind::HorizBar,
                                           SeriesKind::Point, SeriesKind::Area));

// With the 3-D view on, bars and areas show a lit top face and a shaded side face, and lines
// a ribbon; with the view off none of these appear.
class FacesTest : public ::testing::TestWithParam<std::tuple<SeriesKind, bool>> {};

TEST_P(FacesTest, FacesAppearOnlyInThe3DView)
{
    const auto [kind, orthogonal] = GetParam();
    const QColor colour(40, 140, 200);
    ChartModel model = oneSeries(kind, {5, 8, 6, 9}, colour);
    model.view.orthogonal = orthogonal;
    model.view.rotation = 331;
    model.view.elevation = 353;
    model.view.depthPercent = 30;
    model.view.enabled = false;
    const QImage flat = draw(model);
    model.view.enabled = true;
    const QImage deep = draw(model);
    const QColor top = colour.lighter(125);
    const QColor side = colour.darker(140);
    if (kind == SeriesKind::Line) {
        // The ribbon's faces in the line colour (rising) or its lit shade (falling).
        const int flatCount = countPixels(flat, colour) + countPixels(flat, top);
        const int deepCount = countPixels(deep, colour) + countPixels(deep, top);
        EXPECT_GT(deepCount, 10 * std::max(flatCount, 100));
        return;
    }
    EXPECT_EQ(countPixels(flat, top, {}, 3), 0);
    EXPECT_EQ(countPixels(flat, side, {}, 3), 0);
    EXPECT_GT(countPixels(deep, top, {}, 3), 200);
    EXPECT_GT(countPixels(deep, side, {}, 3), 100);
}

INSTANTIATE_TEST_SUITE_P(Kinds, FacesTest,
                         ::testing::Combine(::testing::Values(SeriesKind::Bar, SeriesKind::HorizBar, SeriesKind::Area,
                                                              SeriesKind::Line),
                                            ::testing::Bool()));

TEST(Render, EachSeriesOfA3DChartHasItsOwnDepth)
{
    ChartModel model;
    model.legendVisible = false;
    model.view.enabled = true;
    model.view.depthPercent = 40;
    model.addSeries(SeriesKind::Bar, "front", Qt::blue).add(5);
    model.addSeries(SeriesKind::Bar, "back", Qt::green).add(8);
    const Chart chart(model);
    const QImage image = renderToImage(chart, {500, 400});
    const ChartLayout& layout = chart.layout(QSizeF(500, 400));
    EXPECT_EQ(layout.slotFront(1), layout.slotBack(0));
    // The back bar's front face lies behind and up-right of the front bar's.
    const QPointF frontBar = layout.pagePoint(0, 2, layout.slotFront(0));
    const QPointF backBar = layout.pagePoint(0, 7, layout.slotFront(1));
    EXPECT_GT(backBar.x(), frontBar.x());
    EXPECT_TRUE(near(pixel(image, frontBar), Qt::blue));
    EXPECT_TRUE(near(pixel(image, backBar), Qt::green));
}

TEST(Render, TheBackgroundGradientRunsFromStartToEndColour)
{
    ChartModel model = oneSeries(SeriesKind::Line, {1, 2}, Qt::black);
    model.border = false;
    model.gradient.visible = true;
    model.gradient.start = QColor(192, 192, 192);
    model.gradient.end = QColor(0, 0, 128);
    const QImage image = draw(model, {300, 300});
    EXPECT_TRUE(near(image.pixelColor(1, 0), QColor(192, 192, 192), 4));
    EXPECT_TRUE(near(image.pixelColor(1, 299), QColor(0, 0, 128), 4));
    model.gradient.visible = false;
    EXPECT_TRUE(near(draw(model, {300, 300}).pixelColor(1, 299), Qt::white, 1));
}

TEST(Render, TheNinePointShapesDrawNineDifferentMarkers)
{
    std::set<std::vector<bool>> masks;
    for (int shape = 0; shape < kPointShapeCount; ++shape) {
        ChartModel model = oneSeries(SeriesKind::Point, {1}, QColor(0, 100, 0));
        model.series.front().pointShape = pointShapeFromIndex(shape);
        model.series.front().pointWidth = 24;
        model.series.front().pointHeight = 24;
        const Chart chart(model);
        const QImage image = renderToImage(chart, {300, 300});
        const QPoint c = chart.layout(QSizeF(300, 300)).pagePoint(0, 1).toPoint();
        std::vector<bool> mask;
        int marked = 0;
        for (int dy = -14; dy <= 14; ++dy)
            for (int dx = -14; dx <= 14; ++dx) {
                const QColor px = image.pixelColor(c + QPoint(dx, dy));
                const bool on = px.green() < 200 && px.red() < 120;
                mask.push_back(on);
                marked += on ? 1 : 0;
            }
        EXPECT_GT(marked, 4) << "shape " << shape;
        masks.insert(mask);
    }
    EXPECT_EQ(masks.size(), static_cast<std::size_t>(kPointShapeCount));
    EXPECT_EQ(pointShapeFromIndex(12), PointShape::Rectangle);
    EXPECT_EQ(pointShapeFromIndex(-1), PointShape::Rectangle);
}

TEST(Render, PerPointColoursOverrideTheSeriesColour)
{
    ChartModel model;
    model.legendVisible = false;
    Series& s = model.addSeries(SeriesKind::Bar, "s", Qt::red);
    s.add(3, "2021");
    s.add(3, "2022", Qt::blue);
    const Chart chart(model);
    const QImage image = renderToImage(chart, {400, 300});
    const ChartLayout& layout = chart.layout(QSizeF(400, 300));
    EXPECT_TRUE(near(pixel(image, layout.pagePoint(0, 1)), Qt::red));
    EXPECT_TRUE(near(pixel(image, layout.pagePoint(1, 1)), Qt::blue));
    ASSERT_EQ(layout.categoryTicks.size(), 2u);
    EXPECT_EQ(layout.categoryTicks[1].text, "2022");
}

// Long jagged series are drawn from the points the page can show. What must survive: every
// column's highest and lowest point (a line of 40,000 points swinging between 0 and 100 fills
// the band between them), few enough segments to draw at once, and a point cloud whose hidden
// markers are left out painting the very picture the markers that show paint.
TEST(Render, ALongJaggedLineKeepsEveryColumnsExtremes)
{
    ChartModel model;
    model.legendVisible = false;
    Series& s = model.addSeries(SeriesKind::Line, "swing", kBarColor);
    s.lineWidth = 2;
    for (int i = 0; i < 40000; ++i)
        s.add(i % 2 == 0 ? 0 : 100);
    const Chart chart(model);
    const QImage image = renderToImage(chart, {640, 480});
    const ChartLayout& layout = chart.layout(QSizeF(640, 480));
    qsizetype drawn = 0;
    for (const DisplayItem& item : layout.items)
        if (const auto* line = std::get_if<PolylineItem>(&item))
            drawn += line->points.size();
    EXPECT_LT(drawn, 4 * 640);
    for (double x : {1000.0, 20000.0, 39000.0})
        for (double y : {5.0, 50.0, 95.0})
            EXPECT_TRUE(near(pixel(image, layout.pagePoint(x, y)), kBarColor)) << x << " " << y;
    EXPECT_FALSE(near(pixel(image, layout.pagePoint(20000, 100) - QPointF(0, 6)), kBarColor));
}

TEST(Render, MarkersHiddenUnderLaterOnesAreLeftOutWithoutChangingThePicture)
{
    const auto cloud = [](int repeats) {
        ChartModel model;
        model.legendVisible = false;
        Series& s = model.addSeries(SeriesKind::Point, "cloud", kBarColor);
        s.addXY(0, 0);
        s.addXY(10, 10);
        for (int i = 0; i < repeats; ++i)
            s.addXY(4.3, 6.7);
        for (int i = 0; i < 6000; ++i)  // a spread that keeps the cloud long
            s.addXY(1 + (i % 97) * 0.05, 1 + (i % 89) * 0.05);
        return model;
    };
    const Chart many(cloud(6000));
    const Chart few(cloud(8));
    const auto markers = [](const Chart& chart) {
        return std::count_if(chart.layout(QSizeF(640, 480)).items.begin(), chart.layout(QSizeF(640, 480)).items.end(),
                             [](const DisplayItem& item) { return std::holds_alternative<MarkerItem>(item); });
    };
    EXPECT_EQ(markers(many), markers(few));
    EXPECT_EQ(renderToImage(many, {640, 480}), renderToImage(few, {640, 480}));
}

// Bars far thinner than a pixel: each pixel column draws from the lowest to the highest value
// of the bars it covers. Two plateaus of 100,000 bars fill every column up to their level,
// with no stripe between bars, in few display items.
TEST(Render, BarsThinnerThanAPixelFillEveryColumn)
{
    ChartModel model;
    model.legendVisible = false;
    Series& s = model.addSeries(SeriesKind::Bar, "many", kBarColor);
    for (int i = 0; i < 100000; ++i)
        s.add(i < 50000 ? 100 : 50);
    const Chart chart(model);
    const QImage image = renderToImage(chart, {640, 480});
    const ChartLayout& layout = chart.layout(QSizeF(640, 480));
    EXPECT_LT(layout.items.size(), 100u);
    const auto share = [&](double from, double to, double value) {
        const int x0 = static_cast<int>(layout.pagePoint(from, value).x());
        const int x1 = static_cast<int>(layout.pagePoint(to, value).x());
        const int y = static_cast<int>(layout.pagePoint(from, value).y());
        return static_cast<double>(countPixels(image, kBarColor, QRect(x0, y, x1 - x0, 1), 12)) / (x1 - x0);
    };
    EXPECT_EQ(share(1000, 49000, 90), 1.0);
    EXPECT_EQ(share(51000, 99000, 40), 1.0);
    EXPECT_EQ(share(52000, 98000, 60), 0.0);
}

// A million bars of 0 with 300 spikes, up and down in turn, vertical and horizontal: every
// spike shows in its pixel column (the one its bar's page position falls in, give or take the
// pixel a column edge may round to), on its side of zero.
TEST(Render, EverySpikeAmongAMillionBarsShows)
{
    constexpr int kRows = 1'000'000;
    constexpr int kSpikes = 300;
    for (SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
        ChartModel model;
        model.legendVisible = false;
        model.view.enabled = false;
        Series& s = model.addSeries(kind, "spikes", kBarColor);
        std::vector<double> values(kRows, 0.0);
        std::vector<int> at;
        for (int k = 0; k < kSpikes; ++k) {
            at.push_back(k * 3300 + 5000 + (k * 7919) % 1500);  // clear of the axes at both ends
            values[static_cast<std::size_t>(at.back())] = k % 2 == 0 ? 100 : -100;
        }
        s.points.assignValues(values);
        const Chart chart(model);
        const QImage image = renderToImage(chart, {800, 600});
        const ChartLayout& layout = chart.layout(QSizeF(800, 600));
        for (int k = 0; k < kSpikes; ++k) {
            const QPointF spike = layout.pagePoint(at[static_cast<std::size_t>(k)], k % 2 == 0 ? 90 : -90);
            const QPoint p(static_cast<int>(std::floor(spike.x())), static_cast<int>(std::floor(spike.y())));
            const QRect around = kind == SeriesKind::Bar ? QRect(p.x() - 1, p.y(), 3, 1) : QRect(p.x(), p.y() - 1, 1, 3);
            EXPECT_GE(countPixels(image, kBarColor, around, 12), 1) << "spike " << k << " at row " << at[static_cast<std::size_t>(k)];
        }
    }
}

// The pyramid of a million ages: every pixel row of the plot shows a male bar left of zero
// and a female bar right of it, and the share axis is labelled with distinct readable numbers.
TEST(Render, APyramidOfAMillionRowsHasNoEmptyBandAndReadableShares)
{
    constexpr std::size_t kRows = 1'000'000;
    std::vector<double> male(kRows), female(kRows);
    for (std::size_t a = 0; a < kRows; ++a) {
        male[a] = 1000 + static_cast<double>(a % 613);
        female[a] = 1100 + static_cast<double>(a % 419);
    }
    const Chart chart(pyramidChart("男性人口", "女性人口", pyramidShares(male, female), "年龄结构"));
    const QImage image = renderToImage(chart, {800, 600});
    const ChartLayout& layout = chart.layout(QSizeF(800, 600));
    const int top = static_cast<int>(std::ceil(layout.pagePoint(kRows - 1, 0).y()));
    const int bottom = static_cast<int>(std::floor(layout.pagePoint(0, 0).y()));
    ASSERT_GT(bottom - top, 300);
    const double scale = 1.0 / (2 * 1300.0 * kRows);  // shares lie near 1000 to 1500 of this
    const int maleX = static_cast<int>(layout.pagePoint(0, -800 * scale).x());
    const int femaleX = static_cast<int>(layout.pagePoint(0, 900 * scale).x());
    int missing = 0;
    for (int y = top + 1; y < bottom; ++y)
        missing += !near(image.pixelColor(maleX, y), Qt::blue, 4) || !near(image.pixelColor(femaleX, y), Qt::red, 4);
    EXPECT_EQ(missing, 0);
    std::set<QString> texts;
    for (const AxisTick& t : layout.valueTicks)
        texts.insert(t.text);
    EXPECT_GE(layout.valueTicks.size(), 3u);
    EXPECT_EQ(texts.size(), (layout.valueTicks.size() + 1) / 2) << "each share once on either side of zero";
    EXPECT_DOUBLE_EQ(layout.valueTicks.back().text.toDouble(), layout.valueScale.max);
}

}  // namespace
}  // namespace zandor::charts
