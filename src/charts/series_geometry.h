// Display items of the series of a laid-out chart: bars with their faces, lines and ribbons,
// markers, areas, and the marks beside the points.
#pragma once

#include "charts/chart_layout.h"

namespace zandor::charts {

// Appends the series, back slot first, to layout.items, and their marks to `marks`.
void addSeriesItems(const ChartModel& model, ChartLayout& layout, DisplayList& marks);

// The legend symbol of a series inside `box`.
void addLegendSymbol(const Series& series, const QRectF& box, DisplayList& items);

}  // namespace zandor::charts
