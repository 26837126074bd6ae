// Single-year base life table, a-values and the logit-shift fit of the projection.
#include "projection/base_life_table.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace zandor::projection {

std::vector<double> singleYearAValues(Sex sex, int ageCount, double m0) {
    if (ageCount < kMinimumAgeRows) {
        throw std::invalid_argument("a-values need at least 71 ages, not " + std::to_string(ageCount));
    }
    std::vector<double> a(static_cast<std::size_t>(ageCount));
    const double q0 = 1.0 - std::exp(-m0);
    const bool male = sex == Sex::Male;
    double a0 = 0;
    double a1to4 = 0;
    if (q0 >= 0.1) {
        a0 = male ? 0.33 : 0.35;
        a1to4 = male ? 0.338 : 0.34025;
    } else {
        a0 = male ? 0.0425 + 2.875 * q0 : 0.05 + 3.0 * q0;
        a1to4 = male ? (1.63 - 3.013 * q0) / 4 : (1.524 - 1.627 * q0) / 4;
    }
    a[0] = a0;
    for (int x = 1; x <= 4; ++x) a[static_cast<std::size_t>(x)] = a1to4;
    for (int x = 5; x <= 9; ++x) a[static_cast<std::size_t>(x)] = 0.45;
    for (int x = 10; x <= 69; ++x) a[static_cast<std::size_t>(x)] = 0.52;
    for (int x = 70; x < ageCount; ++x) a[static_cast<std::size_t>(x)] = 0.5;
    return a;
}

BaseLifeTable baseLifeTable(Sex sex, std::span<const double> mx) {
    return core::lifeTableFromRates(mx, singleYearAValues(sex, static_cast<int>(mx.size()), mx[0]));
}

namespace {

double shiftedSum(std::span<const double> baseLx, double alpha) {
    const double expTwoAlpha = std::exp(2.0 * alpha);
    double sum = 0;
    for (double l : baseLx) sum += logitShifted(l, expTwoAlpha);
    return sum;
}

// e0 as a weighted sum of lx: with Lx = a(x) lx + (1 - a(x)) l(x+1) and l(N) = 0 (the
// oldest age closed as core::singleYearPersonYears closes it), the sum of Lx is the sum of
// w(x) lx, w(0) = a(0) and w(x) = a(x) + 1 - a(x-1).
std::vector<double> lifeExpectancyWeights(std::span<const double> ax) {
    std::vector<double> w(ax.begin(), ax.end());
    for (std::size_t x = 1; x < w.size(); ++x) w[x] += 1.0 - ax[x - 1];
    return w;
}

double shiftedLifeExpectancy(std::span<const double> baseLx, std::span<const double> weights, double alpha) {
    const double expTwoAlpha = std::exp(2.0 * alpha);
    double sum = 0;
    for (std::size_t x = 0; x < baseLx.size(); ++x) sum += weights[x] * logitShifted(baseLx[x], expTwoAlpha);
    return sum;
}

// Bisection for alpha in [-100, 100]; sumAt(alpha) falls as alpha grows.
template <typename SumAt>
std::optional<LogitShiftFit> bisectShift(double target, SumAt sumAt) {
    double lo = -100.0;
    double hi = 100.0;
    for (;;) {
        const double alpha = (lo + hi) / 2.0;
        const double sum = sumAt(alpha);
        if (std::isnan(sum) || std::isnan(target)) return std::nullopt;
        if (std::fabs(sum - target) <= 1e-9) return LogitShiftFit{alpha, sum};
        // Once lo and hi are neighbouring doubles the midpoint is one of them: no shift
        // between them comes closer, so the target lies outside what a shift can reach.
        if (alpha <= lo || alpha >= hi) return std::nullopt;
        if (target > sum) {
            hi = alpha;
        } else {
            lo = alpha;
        }
    }
}

}  // namespace

std::optional<LogitShiftFit> fitLogitShift(std::span<const double> baseLx, double target) {
    return bisectShift(target, [&](double alpha) { return shiftedSum(baseLx, alpha); });
}

std::optional<LogitShiftFit> fitLogitShiftToLifeExpectancy(std::span<const double> baseLx,
                                                           std::span<const double> ax, double target) {
    if (baseLx.empty() || ax.size() != baseLx.size()) {
        throw std::invalid_argument("life-expectancy fit: " + std::to_string(ax.size()) + " a-values for " +
                                    std::to_string(baseLx.size()) + " ages");
    }
    const std::vector<double> weights = lifeExpectancyWeights(ax);
    return bisectShift(target, [&](double alpha) { return shiftedLifeExpectancy(baseLx, weights, alpha); });
}

}  // namespace zandor::projection
