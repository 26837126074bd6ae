// The layout of a chart at one size: where the title, legend, axes and the (projected) plot
// box go, the axis scales and tick labels, and the display list that paints it all.
#pragma once

#include <QRectF>
#include <QSizeF>

#include <vector>

#include "charts/axis_scale.h"
#include "charts/chart_model.h"
#include "charts/display_list.h"
#include "charts/projection3d.h"
#include "charts/series_arrangement.h"

namespace zandor::charts {

struct AxisTick {
    double position = 0;  // in axis units: a category position or a value
    QString text;
};

struct LegendEntry {
    int series = 0;
    QRectF symbol;
    QRectF text;
};

struct ChartLayout {
    QSizeF size;
    QRectF outer;     // the chart inside its margins
    QRectF titleBox;  // empty without a title
    QRectF legendBox; // empty when the legend is hidden or has no entries
    std::vector<LegendEntry> legend;

    QRectF plotArea;  // the room the projected plot box is fitted into
    BoxExtent box;
    Projection projection;
    Arrangement arrangement;
    double slotDepth = 0;  // depth of one series slot in the box

    bool horizontal = false;  // categories up the vertical axis (horizontal bars)
    double categoryMin = 0;
    double categoryMax = 1;
    ValueScale valueScale;
    std::vector<AxisTick> categoryTicks;
    std::vector<AxisTick> valueTicks;
    int categoryStep = 1;  // every categoryStep-th category label is written

    DisplayList items;

    bool hasPlot() const { return box.width > 0 && box.height > 0; }
    // Box coordinates of a category position and of a value.
    double categoryToBox(double category) const;
    double valueToBox(double value) const;
    // Page point of (category, value) at depth z of the box.
    QPointF pagePoint(double category, double value, double z = 0) const;
    // The depth range of a series slot.
    double slotFront(int slot) const { return slot * slotDepth; }
    double slotBack(int slot) const { return (slot + 1) * slotDepth; }
};

ChartLayout layoutChart(const ChartModel& model, const QSizeF& size);

}  // namespace zandor::charts
