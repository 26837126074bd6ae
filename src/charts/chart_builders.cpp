// Field charts and age pyramids.
#include "charts/chart_builders.h"

#include <cmath>

namespace zandor::charts {

ChartModel fieldChart(SeriesKind kind, const std::vector<FieldColumn>& columns, const QString& title,
                      bool threeD)
{
    ChartModel model;
    model.title = title;
    model.view.enabled = threeD;
    int n = 0;
    for (const FieldColumn& column : columns) {
        Series& s = model.addSeries(kind, column.name, seriesPaletteColor(n++));
        if (kind == SeriesKind::Line || kind == SeriesKind::FastLine)
            s.lineWidth = 2;
        s.points.reserve(column.values.size());
        for (double v : column.values)
            s.add(v);
    }
    return model;
}

PyramidShares pyramidShares(const std::vector<double>& male, const std::vector<double>& female)
{
    double total = 0;
    for (double v : male)
        total += v;
    for (double v : female)
        total += v;
    PyramidShares shares;
    shares.male.resize(male.size(), 0.0);
    shares.female.resize(female.size(), 0.0);
    if (total == 0 || !std::isfinite(total))
        return shares;
    for (std::size_t i = 0; i < male.size(); ++i)
        shares.male[i] = -male[i] / total;
    for (std::size_t i = 0; i < female.size(); ++i)
        shares.female[i] = female[i] / total;
    return shares;
}

void resetPyramidSeries(ChartModel& model, const QString& maleTitle, const QString& femaleTitle)
{
    model.series.clear();
    for (auto [title, color] : {std::pair{maleTitle, QColor(Qt::blue)}, std::pair{femaleTitle, QColor(Qt::red)}}) {
        Series& s = model.addSeries(SeriesKind::HorizBar, title, color);
        s.stacking = Stacking::Overlap;
        s.marksVisible = false;
        s.barWidthPercent = 90;
    }
    model.bottomAxis.absoluteLabels = true;
}

void setPyramidFrame(ChartModel& model, const std::vector<double>& male, const std::vector<double>& female)
{
    if (model.series.size() < 2)
        return;
    for (int k = 0; k < 2; ++k) {
        Series& s = model.series[static_cast<std::size_t>(k)];
        const std::vector<double>& values = k == 0 ? male : female;
        s.clear();
        s.points.reserve(values.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            s.add(values[i], QString::number(i));
    }
}

ChartModel pyramidChart(const QString& maleTitle, const QString& femaleTitle, const PyramidShares& shares,
                        const QString& title)
{
    ChartModel model;
    model.title = title;
    model.view.enabled = false;
    resetPyramidSeries(model, maleTitle, femaleTitle);
    setPyramidFrame(model, shares.male, shares.female);
    return model;
}

}  // namespace zandor::charts
