// Where each series of a chart goes: its depth slot in the 3-D view, its share of a category's
// width when bars stand side by side, and the bottom and top of each bar or area segment once
// series are stacked.
#pragma once

#include <vector>

#include "charts/chart_model.h"

namespace zandor::charts {

struct SeriesPlacement {
    int slot = 0;         // depth slot, 0 = front
    int memberIndex = 0;  // position among side-by-side bars
    int memberCount = 1;
    Stacking stacking = Stacking::Overlap;
    // Per point: the value where the bar or area starts and where it ends (equal to y for
    // unstacked lines and points; the base is 0 for unstacked bars and areas).
    std::vector<double> base;
    std::vector<double> top;
};

struct Arrangement {
    std::vector<SeriesPlacement> series;
    int slotCount = 0;
};

// Consecutive bar (or horizontal bar, or area) series with the same non-overlapping stacking
// form one group sharing one depth slot; every other series has a slot of its own.
// Stacking adds values at the same row position; positive and negative values stack apart.
// Stacked100 scales each row position so that its absolute values sum to 100.
Arrangement arrangeSeries(const ChartModel& model);

bool isBarKind(SeriesKind kind);
bool fillsFromZero(SeriesKind kind);  // bars and areas start at zero

}  // namespace zandor::charts
