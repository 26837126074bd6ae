// Depth slots, side-by-side members and stacked segments of the series of a chart.
#include "charts/series_arrangement.h"

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

void stackGroup(const ChartModel& model, std::vector<SeriesPlacement>& placements,
                const std::vector<std::size_t>& members, Stacking stacking)
{
    std::size_t longest = 0;
    for (std::size_t m : members)
        longest = std::max(longest, model.series[m].points.size());
    std::vector<double> positive(longest, 0.0);
    std::vector<double> negative(longest, 0.0);
    std::vector<double> scale(longest, 1.0);
    if (stacking == Stacking::Stacked100) {
        std::vector<double> total(longest, 0.0);
        for (std::size_t m : members) {
            const auto& pts = model.series[m].points;
            for (std::size_t i = 0; i < pts.size(); ++i)
                if (std::isfinite(pts[i].y))
                    total[i] += std::fabs(pts[i].y);
        }
        for (std::size_t i = 0; i < longest; ++i)
            scale[i] = total[i] > 0 ? 100.0 / total[i] : 0.0;
    }
    for (std::size_t m : members) {
        const auto& pts = model.series[m].points;
        SeriesPlacement& p = placements[m];
        p.base.resize(pts.size());
        p.top.resize(pts.size());
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const double v = std::isfinite(pts[i].y) ? pts[i].y * scale[i] : 0.0;
            double& level = v < 0 ? negative[i] : positive[i];
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
        if (stacking == Stacking::Stacked || stacking == Stacking::Stacked100) {
            stackGroup(model, result.series, members, stacking);
        } else {
            for (std::size_t m : members) {
                const Series& s = model.series[m];
                SeriesPlacement& p = result.series[m];
                const bool fromZero = fillsFromZero(s.kind);
                p.base.resize(s.points.size());
                p.top.resize(s.points.size());
                for (std::size_t k = 0; k < s.points.size(); ++k) {
                    p.top[k] = s.points[k].y;
                    p.base[k] = fromZero ? 0.0 : s.points[k].y;
                }
            }
        }
        i += members.size();
    }
    return result;
}

}  // namespace zandor::charts
