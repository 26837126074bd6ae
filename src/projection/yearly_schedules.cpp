// Birth-share, fertility and mortality schedules of a single-region run.
#include "projection/yearly_schedules.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "projection/base_life_table.h"
#include "projection/messages.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {

namespace {

// Whether any year cell of the row differs as text from the base text.
bool rowEdited(const text::TextGrid& grid, int row, const std::string& baseText) {
    for (int c = 1; c < grid.columnCount(); ++c) {
        if (grid.cell(row, c) != baseText) return true;
    }
    return false;
}

}  // namespace

double scheduleCell(const text::TextGrid& grid, int row, int column, std::string_view where, int baseYear) {
    const std::string& cell = grid.cell(row, column);
    if (auto value = text::parseNumber(cell)) return *value;
    throw text::NumberFormatError(message::badCell(where, baseYear + column, cell));
}

void birthSharesFromGrid(SingleRegionInputs& in, const text::TextGrid& grid) {
    for (int y = 0; y < in.yearCount; ++y) {
        const double r = scheduleCell(grid, 1, y + 1, message::kWhereSexRatio, in.baseYear);
        if (r + 100 == 0) throw Refusal(message::noBirthShares(in.baseYear + y + 1, r));
        in.maleBirthShare[static_cast<std::size_t>(y)] = r / (r + 100);
        in.femaleBirthShare[static_cast<std::size_t>(y)] = 100 / (r + 100);
    }
}

void fertilityFromGrids(SingleRegionInputs& in, const text::TextGrid& tfrGrid, const text::TextGrid& patternGrid) {
    const int n = in.ageCount;
    const int years = in.yearCount;
    AgeYearMatrix& asfr = in.fertilityRates;
    for (int y = 0; y < years; ++y) {
        for (int x = 1; x < n; ++x) asfr(x, y) = asfr(x, 0);
    }
    if (rowEdited(tfrGrid, 1, in.baseTfrText)) {
        for (int y = 0; y < years; ++y) {
            in.tfrByYear[static_cast<std::size_t>(y)] = scheduleCell(tfrGrid, 1, y + 1, message::kWhereTfr, in.baseYear);
        }
    }
    for (int y = 0; y < years; ++y) {
        for (int k = 0; k < kPatternAges; ++k) {
            in.fertilityPattern(k, y) =
                scheduleCell(patternGrid, k + 1, y + 1, message::wherePattern(kFirstFertileAge + k), in.baseYear);
        }
    }
    for (int y = 0; y < years; ++y) {
        for (int k = 0; k < kPatternAges; ++k) {
            asfr(kFirstFertileAge + k, y) = in.fertilityPattern(k, y) * in.tfrByYear[static_cast<std::size_t>(y)];
        }
    }
}

void mortalityFromLifeExpectancy(SingleRegionInputs& in, Sex sex, const text::TextGrid& grid) {
    SexMortality& m = sex == Sex::Male ? in.male : in.female;
    const int row = sex == Sex::Male ? kMaleRow : kFemaleRow;
    if (!rowEdited(grid, row, m.baseLifeExpectancyText)) return;
    const int n = in.ageCount;
    const std::string_view where = sex == Sex::Male ? message::kWhereMaleE0 : message::kWhereFemaleE0;
    for (int y = 0; y < in.yearCount; ++y) {
        const double target = scheduleCell(grid, row, y + 1, where, in.baseYear);
        // The base curve is column 0 of lx, which the first year's curve replaces; a shift of
        // a shifted curve is again a shift of the base curve, so every year still ends on the
        // base curve shifted to its own target.
        const auto base = m.lx.year(0).first(static_cast<std::size_t>(n));
        const auto fit = fitLogitShift(base, target);
        if (!fit) throw Refusal(message::unreachableLifeExpectancy(in.baseYear + y + 1, sex, target));
        const double expTwoAlpha = std::exp(2.0 * fit->alpha);
        const auto lx = m.lx.year(y);
        lx[0] = 1.0;
        for (int x = 1; x < n; ++x) lx[static_cast<std::size_t>(x)] = logitShifted(base[static_cast<std::size_t>(x)], expTwoAlpha);
        lx[static_cast<std::size_t>(n)] = 0.0;
        core::singleYearPersonYears(lx, m.aValues, m.Lx.year(y));
    }
}

void mortalityFromSurvivalCurves(SingleRegionInputs& in, std::span<const double> maleLx,
                                 std::span<const double> femaleLx) {
    const int n = in.ageCount;
    const int years = in.yearCount;
    if (years == 0) return;  // no year to reach the curves in
    const int last = years - 1;
    struct Curve {
        SexMortality* mortality;
        std::span<const double> lx;
        Sex sex;
    };
    const Curve curves[] = {{&in.male, maleLx, Sex::Male}, {&in.female, femaleLx, Sex::Female}};
    for (const Curve& curve : curves) {
        if (curve.lx.size() != static_cast<std::size_t>(n)) {
            throw std::invalid_argument("the survival curve of " + std::string(message::sexName(curve.sex)) + " has " +
                                        std::to_string(curve.lx.size()) + " ages, the population " +
                                        std::to_string(n));
        }
        auto& lx = curve.mortality->lx;
        for (int x = 0; x < n; ++x) lx(x, last) = curve.lx[static_cast<std::size_t>(x)];
        lx(n, last) = 0.0;
    }
    for (const Curve& curve : curves) {
        curve.mortality->aValues = singleYearAValues(curve.sex, n, curve.mortality->deathRates[0]);
    }
    for (const Curve& curve : curves) {
        SexMortality& m = *curve.mortality;
        std::vector<double> endLx(static_cast<std::size_t>(n));
        core::singleYearPersonYears(m.lx.year(last), m.aValues, endLx);
        const auto baseColumn = m.Lx.year(0);
        const std::vector<double> baseLx(baseColumn.begin(), baseColumn.end());
        for (int y = 0; y < years; ++y) {
            const auto column = m.Lx.year(y);
            for (std::size_t x = 0; x < column.size(); ++x) {
                column[x] = baseLx[x] + (endLx[x] - baseLx[x]) * (y + 1) / years;
            }
        }
    }
}

}  // namespace zandor::projection
