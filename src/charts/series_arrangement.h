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
    bool fromZero = false;  // bars and areas start at 0 unless stacked
    // Stacked series only, per point: the value where the segment starts and where it ends.
    // Other series keep no copy of their values (see pointBase and pointTop).
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

// Where point i of series s (placed as p) starts and ends: its stacked segment, or for a
// series that does not stack 0 (bars, areas) or its value (lines, points) and its value.
inline double pointTop(const Series& s, const SeriesPlacement& p, std::size_t i)
{
    return p.top.empty() ? s.points.y(i) : p.top[i];
}
inline double pointBase(const Series& s, const SeriesPlacement& p, std::size_t i)
{
    return p.base.empty() ? (p.fromZero ? 0.0 : s.points.y(i)) : p.base[i];
}

bool isBarKind(SeriesKind kind);
bool fillsFromZero(SeriesKind kind);  // bars and areas start at zero

}  // namespace zandor::charts
