#include "ui/analysis/survival_chart.h"

namespace zandor::ui {

void describeSurvivalChart(const analysis::LifeTable& table, charts::ChartModel& chart)
{
    chart.series.clear();
    chart.view.enabled = true;
    chart.title = QStringLiteral("存活曲线图");
    chart.bottomAxis.title = QStringLiteral("年龄");
    chart.leftAxis.title = QStringLiteral("存活概率(lx)");

    // The line and its ribbon in the 3-D view red, a blue marker at every point; the legend
    // shows the same.
    charts::Series& curve =
        chart.addSeries(charts::SeriesKind::Line, QStringLiteral("存活曲线"), QColor(255, 0, 0));
    curve.colourEachLine = false;
    curve.pointerVisible = true;
    const std::vector<std::string> labels = analysis::survivalChartLabels(table);
    for (std::size_t k = 0; k < table.groupCount(); ++k)
        curve.add(table.lx[k], QString::fromStdString(labels[k]), QColor(0, 0, 255));
}

}  // namespace zandor::ui
