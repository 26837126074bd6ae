// Program-wide chart state: the newest chart window, the chart font settings the chart
// definition dialogs apply, the marker shapes last chosen in the point and scatter dialogs, and
// what the 3-D view dialog keeps between openings (the three
// wall sizes and the colour last chosen in its colour dialog). It lasts until the program ends.
#pragma once

#include <QColor>
#include <QPointer>

#include <array>

#include "charts/chart_model.h"

namespace zandor::ui {

class TGraph;

struct ChartSettings {
    // Set by every caller that creates a chart window.
    QPointer<TGraph> newestChartWindow;

    // Title: size 0 stands for the chart's default size; axis titles start at 10 points.
    charts::FontSpec titleFont{0, Qt::black};
    charts::FontSpec axisTitleFont{10, Qt::black};

    // The marker shape (0..8, as in the "点类型" lists) last chosen in the point-chart dialog,
    // and, apart from it, in the scatter dialog.
    int pointStyle = 0;
    int scatterPointStyle = 0;

    // The 3-D view dialog's "Size:" values of the left, bottom and back wall.
    std::array<int, 3> wallSizes{0, 0, 0};
    // The colour the 3-D view dialog's colour dialog holds (black at first).
    QColor lastColor = Qt::black;
};

}  // namespace zandor::ui
