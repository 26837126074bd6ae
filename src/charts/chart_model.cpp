// Chart model helpers: adding points and series, the series palette and marker shapes.
#include "charts/chart_model.h"

#include <array>

namespace zandor::charts {

PointShape pointShapeFromIndex(int index)
{
    if (index < 0 || index >= kPointShapeCount)
        return PointShape::Rectangle;
    return static_cast<PointShape>(index);
}

void Series::add(double y, const QString& label, const QColor& color)
{
    points.push_back(DataPoint{static_cast<double>(points.size()), y, label, color});
}

void Series::addXY(double x, double y, const QString& label, const QColor& color)
{
    hasXValues = true;
    points.push_back(DataPoint{x, y, label, color});
}

QColor Series::pointColor(std::size_t i) const
{
    const QColor& own = points[i].color;
    return own.isValid() ? own : color;
}

QColor Series::segmentColor(std::size_t i) const
{
    return colourEachLine ? pointColor(i) : color;
}

Series& ChartModel::addSeries(SeriesKind kind, const QString& seriesTitle, const QColor& color)
{
    Series s;
    s.kind = kind;
    s.title = seriesTitle;
    s.color = color;
    series.push_back(std::move(s));
    return series.back();
}

QColor seriesPaletteColor(int n)
{
    // Hues that stay apart on screen and in grey-scale print.
    static constexpr std::array<QRgb, 10> palette = {
        0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd,
        0x8c564b, 0xe377c2, 0x7f7f7f, 0xbcbd22, 0x17becf,
    };
    const auto i = static_cast<std::size_t>(n < 0 ? 0 : n) % palette.size();
    return QColor::fromRgb(palette[i]);
}

}  // namespace zandor::charts
