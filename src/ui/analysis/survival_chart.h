// The survival curve of a life table, as the result window's "图形" puts it on a chart.
#pragma once

#include "analysis/life_table.h"
#include "charts/chart_model.h"

namespace zandor::ui {

// Sets `chart` to the survival chart of `table`: 3-D view on, title "存活曲线图", axis titles
// "年龄" and "存活概率(lx)", and one red line series "存活曲线" with a blue point lx for
// every age group, labelled by age (abridged groups by the last age of the group: 0, 4, 9,
// 14, ...). Earlier series are removed; the chart's other settings stay.
void describeSurvivalChart(const analysis::LifeTable& table, charts::ChartModel& chart);

}  // namespace zandor::ui
