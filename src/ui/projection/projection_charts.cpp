#include "ui/projection/projection_charts.h"

#include <QColor>

#include "charts/chart_builders.h"
#include "projection/messages.h"
#include "ui/charts/graph.h"

namespace zandor::ui {

namespace {

const QColor kSilver(192, 192, 192);

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
constexpr int kTitleSize = 18;

std::vector<double> column(const projection::AgeYearMatrix& shares, int y)
{
    const auto values = shares.year(y);
    return {values.begin(), values.end()};
}

void titleChart(charts::ChartModel& m, const QString& title)
{
    m.titleFont.size = kTitleSize;
    m.titleFont.color = Qt::black;
    m.title = title;
}

// Pass 1 puts every year in light grey; pass 2 sets each point again in red, one per frame.
void animateLine(TGraph* graph, const projection::ChartPlan& plan)
{
    charts::ChartModel& m = graph->editChart();
    m.view.enabled = false;
    m.legendVisible = false;
    titleChart(m, QString::fromStdString(plan.title));
    charts::Series& series = m.addSeries(charts::SeriesKind::Line, QString(), kSilver);
    series.marksVisible = false;
    series.lineWidth = 1;

    graph->animator().enqueue(
        [graph, plan] {
            charts::Series& s = graph->editChart().series.front();
            for (std::size_t t = 0; t < plan.values.size(); ++t)
                s.add(plan.values[t], QString::fromStdString(plan.labels[t]), kSilver);
            graph->showMaximized();
        },
        0);
    for (std::size_t t = 0; t < plan.values.size(); ++t) {
        graph->animator().enqueue(
            [graph, t, value = plan.values[t]] {
                charts::Series& s = graph->editChart().series.front();
                s.color = Qt::red;
                s.points.setY(t, value);
                s.points.setColor(t, Qt::red);
            },
            kSeriesFrameMs);
    }
}

// The bars appear one by one; the chart keeps the window's 3-D view.
void animateBars(TGraph* graph, const projection::ChartPlan& plan)
{
    charts::ChartModel& m = graph->editChart();
    m.legendVisible = false;
    titleChart(m, QString::fromStdString(plan.title));
    charts::Series& series = m.addSeries(charts::SeriesKind::Bar, QString(), Qt::red);
    series.marksVisible = false;
    graph->showMaximized();
    for (std::size_t t = 0; t < plan.values.size(); ++t) {
        graph->animator().enqueue(
            [graph, label = QString::fromStdString(plan.labels[t]), value = plan.values[t]] {
                graph->editChart().series.front().add(value, label, Qt::red);
            },
            kSeriesFrameMs);
    }
}

// One frame after the other, then the last again so that it stays on screen. The frames are
// taken when the chart starts, so a later run does not change a pyramid that is still playing.
void animatePyramid(TGraph* graph, const QString& title, std::vector<projection::PyramidFrame> frames,
                    const PyramidStyle& style)
{
    charts::ChartModel& m = graph->editChart();
    m.view.enabled = false;
    m.legendVisible = true;
    titleChart(m, title);
    m.titleFont.size = style.titleSize;
    charts::resetPyramidSeries(m, qs(projection::kPyramidMale), qs(projection::kPyramidFemale));
    graph->showMaximized();
    const auto showFrame = [graph](const projection::PyramidFrame& frame) {
        return [graph, frame] {
            charts::ChartModel& chart = graph->editChart();
            chart.title = QString::fromStdString(frame.title);
            charts::setPyramidFrame(chart, frame.maleShares, frame.femaleShares);
        };
    };
    for (const projection::PyramidFrame& frame : frames)
        graph->animator().enqueue(showFrame(frame), style.frameMs);
    if (!frames.empty())
        graph->animator().enqueue(showFrame(frames.back()), 0);
}

}  // namespace

QString resultsCaption(bool exact)
{
    return QStringLiteral("预测结果") + (exact ? qs(projection::label::kExactModeMark) : QString());
}

std::vector<double> ResultSetPyramidFrames::maleShares(int y) const { return column(results_.maleShare, y); }
std::vector<double> ResultSetPyramidFrames::femaleShares(int y) const { return column(results_.femaleShare, y); }

TGraph* showSeriesChart(ChartSettings& settings, Edition edition, QWidget* owner, const projection::ChartPlan& plan,
                        bool bars)
{
    auto* graph = new TGraph(settings, edition, owner);
    graph->setWindowModality(Qt::NonModal);
    if (plan.kind != projection::ChartPlan::Kind::Series)
        return graph;
    if (bars)
        animateBars(graph, plan);
    else
        animateLine(graph, plan);
    return graph;
}

TGraph* showPyramidChart(ChartSettings& settings, Edition edition, QWidget* owner, const std::string& title,
                         std::vector<projection::PyramidFrame> frames, const PyramidStyle& style)
{
    auto* graph = new TGraph(settings, edition, owner);
    graph->setWindowModality(Qt::NonModal);
    animatePyramid(graph, QString::fromStdString(title), std::move(frames), style);
    return graph;
}

TGraph* showIndicatorChart(ChartSettings& settings, Edition edition, QWidget* owner,
                           const projection::ProjectionResultSet& results, const projection::ChartPlan& plan,
                           bool bars, PyramidFrames* frames)
{
    if (plan.kind != projection::ChartPlan::Kind::Pyramid)
        return showSeriesChart(settings, edition, owner, plan, bars);
    std::vector<projection::PyramidFrame> pyramid;
    for (int t = 0; t < results.yearCount; ++t)
        pyramid.push_back(projection::pyramidFrame(results, t));
    TGraph* graph = showPyramidChart(settings, edition, owner, std::string(projection::kPyramidTitle),
                                     std::move(pyramid), PyramidStyle{});
    graph->setPyramidFrames(frames);
    graph->setPyramidButtonsVisible(true);
    return graph;
}

TGraph* showLinesChart(ChartSettings& settings, Edition edition, QWidget* owner, const QString& title,
                       const std::vector<std::string>& labels, const std::vector<NamedLine>& lines)
{
    auto* graph = new TGraph(settings, edition, owner);
    graph->setWindowModality(Qt::NonModal);
    charts::ChartModel& m = graph->editChart();
    m.view.enabled = false;
    m.legendVisible = true;
    titleChart(m, title);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        charts::Series& series = m.addSeries(charts::SeriesKind::Line, lines[i].name, charts::seriesPaletteColor(static_cast<int>(i)));
        series.marksVisible = false;
        series.colourEachLine = false;
        series.lineWidth = 2;
        for (std::size_t t = 0; t < lines[i].values.size() && t < labels.size(); ++t)
            series.add(lines[i].values[t], QString::fromStdString(labels[t]));
    }
    graph->showMaximized();
    return graph;
}

}  // namespace zandor::ui
