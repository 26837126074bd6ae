// Chart drawing speed: a long chart (10 series of 10,000 points) and charts of the sizes the
// program draws (4 series of 200 points), flat and in the 3-D view, laid out and painted into
// an image; painting alone from the cached layout, as a window repaint does; and charts of one
// whole jagged table field (random values, or the sawtooth of an age column) of up to
// 1,000,000 rows, as the chart definition dialogs and zandor-cli chart draw them, written in
// every export format.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "charts/chart.h"
#include "charts/chart_builders.h"
#include "charts/chart_export.h"

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

// One field of `rows` jagged values: uniform random numbers (a fixed sequence), or ages
// 0..100 over and over as an age column of a long table holds them.
enum class Jagged { Random, Ages };

std::vector<double> jaggedValues(Jagged shape, int rows)
{
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(rows));
    std::uint64_t state = 12345;
    for (int i = 0; i < rows; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        values.push_back(shape == Jagged::Ages ? i % 101 : static_cast<double>(state >> 11) / 9007199254740992.0 * 1000.0);
    }
    return values;
}

ChartModel fieldModel(SeriesKind kind, Jagged shape, int rows, bool threeD)
{
    return fieldChart(kind, {FieldColumn{QStringLiteral("人口"), jaggedValues(shape, rows)}}, QStringLiteral("基准"), threeD);
}

// The age pyramid of the field against itself.
void pyramidExport(benchmark::State& state, Jagged shape, const char* suffix)
{
    const int rows = static_cast<int>(state.range(0));
    const std::vector<double> values = jaggedValues(shape, rows);
    const ChartModel model = pyramidChart(QStringLiteral("男"), QStringLiteral("女"), pyramidShares(values, values), QString());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.") + QLatin1String(suffix));
    for (auto _ : state)
        exportChart(Chart(model), path, QSize(800, 600));
    state.SetItemsProcessed(state.iterations() * rows);
}

// A chart of one whole field laid out and written as a file of the chart command's default
// size, as zandor-cli chart does it.
void fieldChartExport(benchmark::State& state, SeriesKind kind, Jagged shape, bool threeD, const char* suffix)
{
    const int rows = static_cast<int>(state.range(0));
    const ChartModel model = fieldModel(kind, shape, rows, threeD);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.") + QLatin1String(suffix));
    for (auto _ : state)
        exportChart(Chart(model), path, QSize(800, 600));
    state.SetItemsProcessed(state.iterations() * rows);
}

// One jagged polyline with the width-2 smoothed pen of a line series, painted alone.
void jaggedPolyline(benchmark::State& state)
{
    const int points = static_cast<int>(state.range(0));
    const std::vector<double> y = jaggedValues(Jagged::Random, points);
    PolylineItem line{{}, chartPen(Qt::red, 2)};
    for (int i = 0; i < points; ++i)
        line.points << QPointF(20 + 760.0 * i / points, 20 + 0.56 * y[static_cast<std::size_t>(i)]);
    const DisplayList items{line};
    QImage image(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paintDisplayList(painter, items);
    }
    state.SetItemsProcessed(state.iterations() * points);
}

#define FIELD_CHART(kind, shape, threeD, suffix, name)                                                         \
    BENCHMARK_CAPTURE(fieldChartExport, name, SeriesKind::kind, Jagged::shape, threeD, suffix)                \
        ->Arg(16000)->Arg(1000000)->Unit(benchmark::kMillisecond)

BENCHMARK(jaggedPolyline)->Arg(4000)->Unit(benchmark::kMillisecond);
FIELD_CHART(Line, Random, false, "png", line_random_flat_png);
FIELD_CHART(Line, Random, true, "png", line_random_3d_png);
FIELD_CHART(Line, Ages, false, "png", line_ages_flat_png);
FIELD_CHART(Line, Ages, true, "bmp", line_ages_3d_bmp);
FIELD_CHART(Line, Random, false, "svg", line_random_flat_svg);
FIELD_CHART(Line, Random, true, "pdf", line_random_3d_pdf);
FIELD_CHART(Bar, Random, false, "png", bar_random_flat_png);
FIELD_CHART(Bar, Random, true, "png", bar_random_3d_png);
FIELD_CHART(Bar, Ages, true, "svg", bar_ages_3d_svg);
FIELD_CHART(HorizBar, Random, false, "png", hbar_random_flat_png);
FIELD_CHART(HorizBar, Ages, true, "pdf", hbar_ages_3d_pdf);
FIELD_CHART(Point, Random, false, "png", point_random_flat_png);
FIELD_CHART(Point, Random, true, "svg", point_random_3d_svg);
FIELD_CHART(Point, Ages, false, "pdf", point_ages_flat_pdf);
FIELD_CHART(Area, Random, false, "png", area_random_flat_png);
FIELD_CHART(Area, Random, true, "png", area_random_3d_png);
FIELD_CHART(Area, Ages, false, "svg", area_ages_flat_svg);
FIELD_CHART(Area, Ages, true, "pdf", area_ages_3d_pdf);
BENCHMARK_CAPTURE(pyramidExport, pyramid_random_png, Jagged::Random, "png")->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pyramidExport, pyramid_ages_svg, Jagged::Ages, "svg")->Arg(1000000)->Unit(benchmark::kMillisecond);

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
