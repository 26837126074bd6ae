// Stacking and depth slots of the series of a chart.
#include <gtest/gtest.h>

#include "charts/series_arrangement.h"

namespace zandor::charts {
namespace {

ChartModel barsOf(Stacking stacking, std::vector<std::vector<double>> values, SeriesKind kind = SeriesKind::Bar)
{
    ChartModel model;
    int n = 0;
    for (const auto& column : values) {
        Series& s = model.addSeries(kind, QString("s%1").arg(n), seriesPaletteColor(n));
        ++n;
        s.stacking = stacking;
        for (double v : column)
            s.add(v);
    }
    return model;
}

TEST(Arrangement, StackedSegmentsSitOnThePreviousSeriesAndSignsStackApart)
{
    const Arrangement a = arrangeSeries(barsOf(Stacking::Stacked, {{10, -4}, {5, -6}, {1, 3}}));
    ASSERT_EQ(a.slotCount, 1);
    // Row 0: 0..10, 10..15, 15..16. Row 1: 0..-4, -4..-10, and the positive 3 from zero.
    EXPECT_EQ(a.series[0].base, (std::vector<double>{0, 0}));
    EXPECT_EQ(a.series[0].top, (std::vector<double>{10, -4}));
    EXPECT_EQ(a.series[1].base, (std::vector<double>{10, -4}));
    EXPECT_EQ(a.series[1].top, (std::vector<double>{15, -10}));
    EXPECT_EQ(a.series[2].base, (std::vector<double>{15, 0}));
    EXPECT_EQ(a.series[2].top, (std::vector<double>{16, 3}));
}

TEST(Arrangement, StackedToAHundredSumsEveryRowToAHundred)
{
    const Arrangement a = arrangeSeries(barsOf(Stacking::Stacked100, {{1, 30, 0}, {3, 10, 0}}, SeriesKind::Area));
    EXPECT_DOUBLE_EQ(a.series[0].top[0], 25);
    EXPECT_DOUBLE_EQ(a.series[1].top[0], 100);
    EXPECT_DOUBLE_EQ(a.series[0].top[1], 75);
    EXPECT_DOUBLE_EQ(a.series[1].top[1], 100);
    // A row of zeros stays at zero rather than dividing by zero.
    EXPECT_DOUBLE_EQ(a.series[1].top[2], 0);
}

TEST(Arrangement, OverlappedSeriesEachTakeADepthSlotSideBySideShareOne)
{
    const ChartModel bars = barsOf(Stacking::Overlap, {{1}, {2}, {3}});
    const Arrangement overlap = arrangeSeries(bars);
    EXPECT_EQ(overlap.slotCount, 3);
    EXPECT_EQ(overlap.series[2].slot, 2);
    EXPECT_EQ(pointBase(bars.series[1], overlap.series[1], 0), 0);
    EXPECT_EQ(pointTop(bars.series[1], overlap.series[1], 0), 2);

    const Arrangement side = arrangeSeries(barsOf(Stacking::SideBySide, {{1}, {2}, {3}}));
    EXPECT_EQ(side.slotCount, 1);
    EXPECT_EQ(side.series[2].memberIndex, 2);
    EXPECT_EQ(side.series[2].memberCount, 3);
}

TEST(Arrangement, LinesNeverStackAndDifferentKindsSplitGroups)
{
    ChartModel model = barsOf(Stacking::Stacked, {{1, 2}, {3, 4}});
    Series& line = model.addSeries(SeriesKind::Line, "line", Qt::black);
    line.stacking = Stacking::Stacked;
    line.add(7);
    model.addSeries(SeriesKind::Bar, "bar", Qt::blue).add(5);
    const Arrangement a = arrangeSeries(model);
    EXPECT_EQ(a.slotCount, 3);
    EXPECT_EQ(pointBase(model.series[2], a.series[2], 0), 7);
    EXPECT_EQ(pointTop(model.series[2], a.series[2], 0), 7);
    EXPECT_EQ(a.series[3].slot, 2);
    EXPECT_EQ(pointBase(model.series[3], a.series[3], 0), 0);
}

}  // namespace
}  // namespace zandor::charts
