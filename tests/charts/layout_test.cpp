// Chart layout in numbers: axis ticks of typical population charts, thinned category labels
// that never overlap, and every drawing inside the chart.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QLineF>

#include <variant>

#include "chart_test_support.h"
#include "charts/chart_builders.h"
#include "charts/chart_fonts.h"

namespace zandor::charts {
namespace {

ChartModel agesChart(SeriesKind kind, int rows, bool labels, bool threeD)
{
    ChartModel model;
    model.view.enabled = threeD;
    Series& s = model.addSeries(kind, "男性人口", Qt::blue);
    for (int a = 0; a < rows; ++a)
        s.add(10000 + 80.0 * a - a * a, labels ? QString::number(a) : QString());
    return model;
}

// The page rectangles of the category labels: for each tick, the text item of its text
// nearest to the tick's place on the axis.
std::vector<QRectF> labelBoxes(const ChartLayout& layout)
{
    std::vector<QRectF> boxes;
    for (const AxisTick& t : layout.categoryTicks) {
        const QPointF at = layout.pagePoint(t.position, layout.valueScale.min);
        const TextItem* best = nullptr;
        double bestDistance = 40;
        for (const DisplayItem& item : layout.items)
            if (const auto* text = std::get_if<TextItem>(&item); text && text->text == t.text) {
                const double d = QLineF(at, text->box.center()).length();
                if (d < bestDistance) {
                    bestDistance = d;
                    best = text;
                }
            }
        if (best)
            boxes.push_back(QFontMetricsF(best->font).boundingRect(best->box, best->flags, best->text));
    }
    return boxes;
}

struct ThinCase {
    SeriesKind kind;
    int rows;
    int width, height;
    bool threeD;
};

void PrintTo(const ThinCase& c, std::ostream* os)
{
    *os << "kind " << static_cast<int>(c.kind) << ", " << c.rows << " rows, " << c.width << "x" << c.height
        << (c.threeD ? " 3-D" : "");
}

class CategoryThinningTest : public ::testing::TestWithParam<ThinCase> {};

TEST_P(CategoryThinningTest, LabelsAreRoundAndNeverOverlap)
{
    const ThinCase& c = GetParam();
    const Chart chart(agesChart(c.kind, c.rows, true, c.threeD));
    const ChartLayout& layout = chart.layout(QSizeF(c.width, c.height));
    ASSERT_GE(layout.categoryTicks.size(), 2u);
    for (const AxisTick& t : layout.categoryTicks)
        EXPECT_EQ(t.text.toInt() % layout.categoryStep, 0) << t.text.toStdString();
    EXPECT_EQ(layout.categoryTicks.front().text, "0");
    const auto boxes = labelBoxes(layout);
    ASSERT_EQ(boxes.size(), layout.categoryTicks.size());
    for (std::size_t i = 1; i < boxes.size(); ++i)
        EXPECT_FALSE(boxes[i - 1].intersects(boxes[i])) << "labels " << i - 1 << " and " << i;
}

INSTANTIATE_TEST_SUITE_P(Sizes, CategoryThinningTest,
                         ::testing::Values(ThinCase{SeriesKind::Bar, 101, 800, 600, false},
                                           ThinCase{SeriesKind::Bar, 101, 300, 200, true},
                                           ThinCase{SeriesKind::Line, 81, 1600, 400, false},
                                           ThinCase{SeriesKind::HorizBar, 101, 800, 600, false},
                                           ThinCase{SeriesKind::HorizBar, 81, 400, 260, true},
                                           ThinCase{SeriesKind::Area, 12, 800, 600, false}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Layout, TheValueAxisOfAPopulationChartCoversTheDataInRoundThousands)
{
    const Chart chart(agesChart(SeriesKind::Bar, 101, true, false));
    const ChartLayout& layout = chart.layout(QSizeF(800, 600));
    // Values 10,000 .. 11,600: bars start at zero, so the axis runs from 0 to 12,000.
    EXPECT_EQ(layout.valueScale.min, 0);
    EXPECT_EQ(layout.valueScale.max, 12000);
    std::vector<std::string> texts;
    for (const AxisTick& t : layout.valueTicks)
        texts.push_back(t.text.toStdString());
    EXPECT_EQ(texts, (std::vector<std::string>{"0", "2,000", "4,000", "6,000", "8,000", "10,000", "12,000"}));
}

TEST(Layout, RowsWithoutLabelsAreNumberedByRoundRowPositions)
{
    const Chart chart(agesChart(SeriesKind::Line, 101, false, false));
    const ChartLayout& layout = chart.layout(QSizeF(800, 600));
    ASSERT_GE(layout.categoryTicks.size(), 3u);
    EXPECT_EQ(layout.categoryTicks.front().text, "0");
    EXPECT_EQ(layout.categoryTicks.back().text, "100");
    const double step = layout.categoryTicks[1].position - layout.categoryTicks[0].position;
    EXPECT_GE(step, 5);
}

TEST(Layout, ThePyramidValueAxisShowsSharesWithoutSign)
{
    const PyramidShares shares = pyramidShares({30, 20, 10}, {28, 22, 14});
    const Chart chart(pyramidChart("男性", "女性", shares, "年龄结构金字塔"));
    const ChartLayout& layout = chart.layout(QSizeF(640, 480));
    ASSERT_TRUE(layout.horizontal);
    EXPECT_LT(layout.valueScale.min, 0);
    EXPECT_GT(layout.valueScale.max, 0);
    for (const AxisTick& t : layout.valueTicks)
        EXPECT_FALSE(t.text.startsWith('-')) << t.text.toStdString();
    // Both sides on one scale.
    EXPECT_DOUBLE_EQ(layout.valueScale.min, -layout.valueScale.max);
}

// Every display item's extent, with the pen's half width.
QRectF itemBounds(const DisplayItem& item)
{
    if (const auto* p = std::get_if<PolygonItem>(&item))
        return p->polygon.boundingRect();
    if (const auto* l = std::get_if<PolylineItem>(&item))
        return l->points.boundingRect();
    if (const auto* t = std::get_if<TextItem>(&item))
        return t->box;
    if (const auto* rects = std::get_if<RectsItem>(&item)) {
        QRectF all;
        for (const QRectF& r : rects->rects)
            all = all.united(r);
        return all;
    }
    if (const auto* m = std::get_if<MarkerItem>(&item))
        return QRectF(m->centre - QPointF(m->size.width() / 2, m->size.height() / 2), m->size);
    return {};  // a switch of smoothing draws nothing
}

class InsideTest : public ::testing::TestWithParam<std::tuple<SeriesKind, bool, QSize>> {};

TEST_P(InsideTest, EverythingIsDrawnInsideTheChart)
{
    const auto [kind, threeD, size] = GetParam();
    ChartModel model = agesChart(kind, 101, true, threeD);
    model.title = "年龄别人口";
    model.leftAxis.title = "人口";
    model.bottomAxis.title = "年龄";
    model.series.front().marksVisible = true;
    model.leftWall.size = 6;
    model.bottomWall.size = 6;
    model.backWall.size = 6;
    model.view.orthogonal = false;
    model.view.rotation = 331;
    model.view.elevation = 353;
    model.addSeries(kind, "女性人口", Qt::red).add(9000);
    const Chart chart(model);
    const ChartLayout& layout = chart.layout(QSizeF(size));
    const QRectF page(QPointF(0, 0), QSizeF(size));
    for (const DisplayItem& item : layout.items) {
        const QRectF b = itemBounds(item);
        if (b.isNull())
            continue;
        const bool inside = b.left() >= -0.5 && b.top() >= -0.5 && b.right() <= page.right() + 0.5
                            && b.bottom() <= page.bottom() + 0.5;
        EXPECT_TRUE(inside)
            << "item at " << b.x() << "," << b.y() << " " << b.width() << "x" << b.height();
    }
}

INSTANTIATE_TEST_SUITE_P(
    KindsAndSizes, InsideTest,
    ::testing::Combine(::testing::Values(SeriesKind::Line, SeriesKind::Bar, SeriesKind::HorizBar, SeriesKind::Point,
                                         SeriesKind::Area),
                       ::testing::Bool(), ::testing::Values(QSize(800, 600), QSize(320, 240))));

TEST(Layout, TheLayoutIsKeptUntilTheModelOrTheSizeChanges)
{
    Chart chart(agesChart(SeriesKind::Line, 10, true, false));
    const ChartLayout* first = &chart.layout(QSizeF(400, 300));
    EXPECT_TRUE(first->titleBox.isEmpty());
    EXPECT_EQ(&chart.layout(QSizeF(400, 300)), first);
    chart.edit().title = "标题";
    EXPECT_FALSE(chart.layout(QSizeF(400, 300)).titleBox.isEmpty());
    EXPECT_EQ(chart.layout(QSizeF(500, 300)).size, QSizeF(500, 300));
}

TEST(Layout, TinyChartsDrawOnlyTheirBackground)
{
    const Chart chart(agesChart(SeriesKind::Bar, 10, true, true));
    for (QSizeF size : {QSizeF(0, 0), QSizeF(30, 300), QSizeF(300, 12)}) {
        const ChartLayout& layout = chart.layout(size);
        EXPECT_LE(layout.items.size(), 2u);
    }
}

}  // namespace
}  // namespace zandor::charts
