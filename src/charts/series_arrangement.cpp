// Depth slots, side-by-side members and stacked segments of the series of a chart.
#include "charts/series_arrangement.h"

#include <algorithm>
#include <cmath>

namespace zandor::charts {

bool isBarKind(SeriesKind kind)
{
    return kind == SeriesKind::Bar || kind == SeriesKind::HorizBar;
}

bool fillsFromZero(SeriesKind kind)
{
    return isBarKind(kind) || kind == SeriesKind::Area;
}

namespace {

Stacking effectiveStacking(const Series& s)
{
    if (!fillsFromZero(s.kind))
        return Stacking::Overlap;
    if (s.kind == SeriesKind::Area && s.stacking == Stacking::SideBySide)
        return Stacking::Overlap;
    return s.stacking;
}

// Row by row, each member's segment starts where the members before it of the same sign end.
void stackGroup(const ChartModel& model, std::vector<SeriesPlacement>& placements,
                const std::vector<std::size_t>& members, Stacking stacking)
{
    std::size_t longest = 0;
    for (std::size_t m : members) {
        const std::size_t n = model.series[m].points.size();
        longest = std::max(longest, n);
        placements[m].base.resize(n);
        placements[m].top.resize(n);
    }
    const auto valueAt = [&](std::size_t m, std::size_t i) {
        const SeriesPoints& pts = model.series[m].points;
        return i < pts.size() && std::isfinite(pts.y(i)) ? pts.y(i) : 0.0;
    };
    for (std::size_t i = 0; i < longest; ++i) {
        double scale = 1;
        if (stacking == Stacking::Stacked100) {
            double total = 0;
            for (std::size_t m : members)
                total += std::fabs(valueAt(m, i));
            scale = total > 0 ? 100.0 / total : 0.0;
        }
        double positive = 0;
        double negative = 0;
        for (std::size_t m : members) {
            SeriesPlacement& p = placements[m];
            if (i >= p.top.size())
                continue;
            const double v = valueAt(m, i) * scale;
            double& level = v < 0 ? negative : positive;
            p.base[i] = level;
            level += v;
            p.top[i] = level;
        }
    }
}

}  // namespace

Arrangement arrangeSeries(const ChartModel& model)
{
    Arrangement result;
    result.series.resize(model.series.size());
    std::size_t i = 0;
    while (i < model.series.size()) {
        const Series& first = model.series[i];
        const Stacking stacking = effectiveStacking(first);
        std::vector<std::size_t> members{i};
        if (stacking != Stacking::Overlap) {
            while (i + members.size() < model.series.size()) {
                const Series& next = model.series[i + members.size()];
                if (next.kind != first.kind || effectiveStacking(next) != stacking)
                    break;
                members.push_back(i + members.size());
            }
        }
        const int slot = result.slotCount++;
        for (std::size_t k = 0; k < members.size(); ++k) {
            SeriesPlacement& p = result.series[members[k]];
            p.slot = slot;
            p.stacking = stacking;
            p.memberIndex = stacking == Stacking::SideBySide ? static_cast<int>(k) : 0;
            p.memberCount = stacking == Stacking::SideBySide ? static_cast<int>(members.size()) : 1;
        }
        for (std::size_t m : members)
            result.series[m].fromZero = fillsFromZero(model.series[m].kind);
        if (stacking == Stacking::Stacked || stacking == Stacking::Stacked100)
            stackGroup(model, result.series, members, stacking);
        i += members.size();
    }
    return result;
}

}  // namespace zandor::charts
