// Round axis scales, tick label texts and category label thinning.
#include "charts/axis_scale.h"

#include <algorithm>
#include <cmath>

namespace zandor::charts {

namespace {

// Round steps 1, 2, 5 times powers of ten, from the one at or below `raw`.
double roundStepAtLeast(double raw)
{
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw * (1 - 1e-12))
            return m * power;
    return 10 * power;
}

double nextRoundStep(double step)
{
    const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    const double mantissa = step / power;
    if (mantissa < 1.5)
        return 2 * power;
    if (mantissa < 3.5)
        return 5 * power;
    return 10 * power;
}

}  // namespace

int decimalsForStep(double step)
{
    step = std::fabs(step);
    if (!(step > 0) || !std::isfinite(step))
        return 0;
    for (int d = 0; d <= 12; ++d) {
        const double scaled = step * std::pow(10.0, d);
        // A step below 1e-6 is no whole number of units at 0 decimals: it rounds to 0.
        if (std::round(scaled) >= 1 && std::fabs(scaled - std::round(scaled)) <= 1e-6 * std::max(1.0, scaled))
            return d;
    }
    return 12;
}

ValueScale niceScale(double lo, double hi, int maxIntervals, double minStep)
{
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        lo = 0;
        hi = 1;
    }
    // Beyond this the round bounds, their difference and the tick count would overflow.
    lo = std::clamp(lo, -kLargestChartValue, kLargestChartValue);
    hi = std::clamp(hi, -kLargestChartValue, kLargestChartValue);
    if (lo > hi)
        std::swap(lo, hi);
    if (hi - lo <= std::max(std::fabs(hi), std::fabs(lo)) * 1e-12) {
        // One value: show it with room on both sides (or from zero to it).
        if (lo == 0) {
            hi = 1;
        } else if (lo > 0) {
            lo = 0;
        } else {
            hi = 0;
        }
    }
    maxIntervals = std::max(1, maxIntervals);
    // A step below 1e-300 would underflow to 0 in its powers of ten.
    double step = roundStepAtLeast(std::max((hi - lo) / maxIntervals, 1e-300));
    if (minStep > 0 && step < minStep && std::isfinite(minStep))
        step = roundStepAtLeast(std::min(minStep, kLargestChartValue));
    // A range across zero needs two intervals at the least, whatever the step.
    const int fewest = std::max(maxIntervals, lo < 0 && hi > 0 ? 2 : 1);
    ValueScale scale;
    for (int guard = 0; guard < 64; ++guard) {
        const double first = std::floor(lo / step + 1e-9);
        const double last = std::ceil(hi / step - 1e-9);
        if (last - first <= fewest || guard == 63) {
            scale.min = first * step;
            scale.max = last * step;
            break;
        }
        step = nextRoundStep(step);
    }
    scale.step = step;
    scale.decimals = decimalsForStep(step);
    const auto count = static_cast<long>(std::llround((scale.max - scale.min) / step));
    scale.ticks.reserve(static_cast<std::size_t>(count + 1));
    for (long k = 0; k <= count; ++k) {
        double v = scale.min + static_cast<double>(k) * step;
        if (std::fabs(v) < step * 1e-9)
            v = 0;
        scale.ticks.push_back(v);
    }
    return scale;
}

bool scaleWantsGrouping(const ValueScale& scale)
{
    return std::max(std::fabs(scale.min), std::fabs(scale.max)) >= 10000;
}

QString formatTick(double value, int decimals, bool grouped, bool absolute)
{
    if (absolute)
        value = std::fabs(value);
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith('-')
        && std::all_of(text.cbegin() + 1, text.cend(), [](QChar c) { return c == '0' || c == '.'; }))
        text.remove(0, 1);
    if (!grouped)
        return text;
    const bool negative = text.startsWith('-');
    const qsizetype begin = negative ? 1 : 0;
    qsizetype end = text.indexOf('.');
    if (end < 0)
        end = text.size();
    for (qsizetype pos = end - 3; pos > begin; pos -= 3)
        text.insert(pos, ',');
    return text;
}

QString formatMark(double value)
{
    if (!std::isfinite(value))
        return {};
    if (std::fabs(value) >= 1e15 || (value != 0 && std::fabs(value) < 1e-6))
        return QString::number(value, 'g', 4);
    // Four significant digits (all digits of whole numbers), thousands separated, no
    // trailing zeros.
    const int magnitude = value == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::clamp(3 - magnitude, 0, 9);
    QString text = formatTick(value, decimals, std::fabs(value) >= 10000, false);
    if (text.contains('.')) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.'))
            text.chop(1);
    }
    return text;
}

int categoryLabelStep(double spacing, double extent, double gap)
{
    if (!(spacing > 0))
        return 1;
    const double needed = extent + gap;
    constexpr long long kLargest = 1000000000;
    for (long long power = 1; power <= kLargest; power *= 10)
        for (long long m : {1, 2, 5})
            if (m * power >= kLargest || spacing * static_cast<double>(m * power) >= needed)
                return static_cast<int>(std::min(m * power, kLargest));
    return static_cast<int>(kLargest);
}

int firstLabelledCategory(const std::vector<QString>& labels, int step)
{
    if (step <= 1 || labels.empty())
        return 0;
    bool ok = false;
    const long long first = labels.front().trimmed().toLongLong(&ok);
    if (!ok)
        return 0;
    // Consecutive whole numbers only: check both ends and a middle label.
    const auto n = labels.size();
    for (std::size_t i : {n / 2, n - 1}) {
        bool good = false;
        if (labels[i].trimmed().toLongLong(&good) != first + static_cast<long long>(i) || !good)
            return 0;
    }
    const long long rem = ((first % step) + step) % step;
    const auto offset = static_cast<int>(rem == 0 ? 0 : step - rem);
    return offset < static_cast<int>(n) ? offset : 0;
}

}  // namespace zandor::charts
