// Feeds raw numbers (any bit pattern: NaN, infinities, 1.7e308, denormals) to the axis scales
// and to the layout of a chart of one to three series at a size taken from the input. The
// scale must cover finite data with at most the intervals asked for plus the guard's, its
// ticks finite and increasing; the layout must finish and paint into an image, never crash,
// hang or ask for an impossible amount of memory.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "charts/axis_scale.h"
#include "charts/chart.h"
#include "charts/chart_layout.h"

namespace zc = zandor::charts;

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t remaining() const { return pos_ < size_ ? size_ - pos_ : 0; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    double number()
    {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = (bits << 8) | byte();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const int maxIntervals = in.byte() % 24;
    const double lo = in.number();
    const double hi = in.number();
    const double minStep = in.byte() & 1 ? in.number() : 0.0;

    const zc::ValueScale scale = zc::niceScale(lo, hi, maxIntervals, minStep);
    check(std::isfinite(scale.min) && std::isfinite(scale.max) && std::isfinite(scale.step) && scale.step > 0);
    check(!scale.ticks.empty() && scale.ticks.size() <= 70);
    for (std::size_t i = 1; i < scale.ticks.size(); ++i)
        check(std::isfinite(scale.ticks[i]) && scale.ticks[i] > scale.ticks[i - 1]);
    const bool grouped = zc::scaleWantsGrouping(scale);
    for (double tick : scale.ticks)
        (void)zc::formatTick(tick, scale.decimals, grouped, in.byte() & 1);
    (void)zc::formatMark(lo);
    (void)zc::categoryLabelStep(lo, hi, minStep);

    // A chart of the rest of the numbers.
    zc::ChartModel model;
    const int seriesCount = 1 + in.byte() % 3;
    const QSizeF page(1 + in.byte() % 100 * 4, 1 + in.byte() % 100 * 4);
    model.view.enabled = in.byte() % 4 == 0;
    for (int s = 0; s < seriesCount; ++s) {
        const std::uint8_t kind = in.byte();
        auto& series = model.addSeries(static_cast<zc::SeriesKind>(kind % 6), QStringLiteral("s"), zc::seriesPaletteColor(s));
        series.stacking = static_cast<zc::Stacking>((kind >> 3) % 4);
        series.marksVisible = kind & 0x80;
        const bool xy = kind & 0x40;
        for (int p = 0; p < 40 && in.remaining() >= 8; ++p) {
            if (xy)
                series.addXY(in.number(), in.number());
            else
                series.add(in.number(), QString::number(1990 + p));
        }
    }
    const zc::ChartLayout layout = zc::layoutChart(model, page);
    check(layout.valueScale.ticks.size() <= 70);
    QImage image(page.toSize(), QImage::Format_RGB32);
    QPainter painter(&image);
    zc::Chart chart(model);
    chart.render(painter, QRectF(QPointF(0, 0), page));
    return 0;
}
