// The projection's own single-year life table: the a-values derived from the death rate at
// age 0, the base life table of one sex computed from central death rates m(x), and the
// Brass logit shift (slope 1) that moves a base lx curve to a wanted sum of lx.
//
// The a-values follow the Coale-Demeny single-year separation factors for ages 0 and 1-4
// (the male 1-4 factor with 1.63, as the program has always used it), 0.45 for ages 5-9,
// 0.52 for 10-69 and 0.5 from 70 on. The open age group N-1 is closed with a = 1/m, so that
// its person-years are l/m.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "core/life_table_core.h"
#include "projection/messages.h"

namespace zandor::projection {

// The a-value routine needs ages 0 to 70.
inline constexpr int kMinimumAgeRows = 71;

// Single-year a-values of one sex for ages 0..ageCount-1 from the death rate at age 0.
// ageCount must be at least kMinimumAgeRows (std::invalid_argument otherwise).
std::vector<double> singleYearAValues(Sex sex, int ageCount, double m0);

// The base life table of one sex: the shared life-table arithmetic with these a-values.
using BaseLifeTable = core::LifeTableColumns;

// The base life table of one sex from central death rates (each > 0, at least 71 ages):
// qx = 1 - exp(-mx), lx[0] = 1, Lx = (lx - lx+1) a + lx+1, the last age closed with
// qx = 1 and Lx = lx / mx, Tx summed from the top, ex = Tx / lx.
BaseLifeTable baseLifeTable(Sex sex, std::span<const double> mx);

// The logit shift of one survival probability: l / (exp(2 alpha) (1 - l) + l), given
// expTwoAlpha = exp(2 alpha).
inline double logitShifted(double l, double expTwoAlpha) { return l / (expTwoAlpha * (1.0 - l) + l); }

struct LogitShiftFit {
    double alpha = 0;
    double sum = 0;  // the sum of the shifted lx over ages 0..N-1
};

// Bisection for the shift alpha in [-100, 100] whose shifted curve has a sum of lx over the
// ages of baseLx equal to target within 1e-9. The sum falls as alpha grows, from about N
// (alpha = -100) to about 1 (alpha = 100). Returns nothing when the target cannot be met:
// the search stops once the interval no longer shrinks.
std::optional<LogitShiftFit> fitLogitShift(std::span<const double> baseLx, double target);

// The same search, but for the shift whose life table has the life expectancy at birth
// `target`: e0 = the sum of Lx over the ages of baseLx, each Lx from the shifted lx with the
// a-values ax (one per age; the last, 1 / m of the open age, gives the open age l / m).
// `sum` of the result is that e0.
std::optional<LogitShiftFit> fitLogitShiftToLifeExpectancy(std::span<const double> baseLx,
                                                           std::span<const double> ax, double target);

}  // namespace zandor::projection
