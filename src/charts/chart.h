// A chart: its model and the layout of the size it was last drawn at. render() lays the chart
// out for the target's size when the model or the size has changed since the last call, then
// paints the cached display list, clipped to the target.
#pragma once

#include <QRectF>

#include <cstdint>
#include <optional>

#include "charts/chart_layout.h"
#include "charts/chart_model.h"

class QPainter;

namespace zandor::charts {

class Chart {
public:
    Chart() = default;
    explicit Chart(ChartModel model) : model_(std::move(model)) {}

    const ChartModel& model() const { return model_; }
    // Access for changing the model; the cached layout is dropped.
    ChartModel& edit()
    {
        ++revision_;
        return model_;
    }
    std::uint64_t revision() const { return revision_; }

    // The layout at `size` (cached until the model or the size changes).
    const ChartLayout& layout(const QSizeF& size) const;

    void render(QPainter& painter, const QRectF& target) const;

private:
    ChartModel model_;
    std::uint64_t revision_ = 0;
    mutable std::optional<ChartLayout> layout_;
    mutable std::uint64_t layoutRevision_ = 0;
};

}  // namespace zandor::charts
