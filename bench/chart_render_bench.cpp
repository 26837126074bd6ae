// Chart drawing speed: a long chart (10 series of 10,000 points) and charts of the sizes the
// program draws (4 series of 200 points), flat and in the 3-D view, laid out and painted into
// an image; and painting alone from the cached layout, as a window repaint does.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdlib>

#include "charts/chart.h"

namespace {

using namespace zandor::charts;

ChartModel makeChart(SeriesKind kind, int seriesCount, int points, bool threeD)
{
    ChartModel model;
    model.title = "基准图形";
    model.view.enabled = threeD;
    for (int s = 0; s < seriesCount; ++s) {
        Series& series = model.addSeries(kind, QString("系列%1").arg(s + 1), seriesPaletteColor(s));
        series.points.reserve(static_cast<std::size_t>(points));
        for (int i = 0; i < points; ++i)
            series.add(1000 + 300 * s + 200 * std::sin(i * 0.01 + s) + (i % 7), QString::number(2000 + i));
    }
    return model;
}

// Lays the chart out afresh (as after a change or a resize) and paints it.
void layoutAndPaint(benchmark::State& state, SeriesKind kind, int seriesCount, int points, bool threeD)
{
    Chart chart(makeChart(kind, seriesCount, points, threeD));
    QImage image(1024, 768, QImage::Format_RGB32);
    for (auto _ : state) {
        chart.edit();
        image.fill(Qt::white);
        QPainter painter(&image);
        chart.render(painter, QRectF(0, 0, 1024, 768));
    }
    state.SetItemsProcessed(state.iterations() * seriesCount * points);
}

// Paints from the cached layout.
void paintOnly(benchmark::State& state, SeriesKind kind, int seriesCount, int points, bool threeD)
{
    const Chart chart(makeChart(kind, seriesCount, points, threeD));
    QImage image(1024, 768, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        chart.render(painter, QRectF(0, 0, 1024, 768));
    }
    state.SetItemsProcessed(state.iterations() * seriesCount * points);
}

BENCHMARK_CAPTURE(layoutAndPaint, line_10x10000_flat, SeriesKind::Line, 10, 10000, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(layoutAndPaint, line_10x10000_3d, SeriesKind::Line, 10, 10000, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(layoutAndPaint, fastline_10x10000_3d, SeriesKind::FastLine, 10, 10000, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(layoutAndPaint, bar_10x10000_flat, SeriesKind::Bar, 10, 10000, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paintOnly, line_10x10000_flat, SeriesKind::Line, 10, 10000, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(layoutAndPaint, line_4x200_flat, SeriesKind::Line, 4, 200, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(layoutAndPaint, bar_4x200_3d, SeriesKind::Bar, 4, 200, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(layoutAndPaint, area_4x200_3d, SeriesKind::Area, 4, 200, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(layoutAndPaint, hbar_2x200_flat, SeriesKind::HorizBar, 2, 200, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paintOnly, bar_4x200_3d, SeriesKind::Bar, 4, 200, true)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
