// Birth-share, fertility and mortality schedules of one region.
#include "projection/yearly_schedules.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/life_table_core.h"
#include "projection/base_life_table.h"
#include "projection/messages.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {

double scheduleCell(const text::TextGrid& grid, int row, int column, std::string_view where, int baseYear) {
    static const std::string missing;
    const std::string& cell = column < grid.columnCount() ? grid.cell(row, column) : missing;
    if (auto value = text::parseNumber(cell)) return *value;
    throw text::NumberFormatError(message::badCell(where, baseYear + column, cell));
}

bool rowEdited(const text::TextGrid& grid, int row, const std::string& baseText) {
    for (int c = 1; c < grid.columnCount(); ++c) {
        if (grid.cell(row, c) != baseText) return true;
    }
    return false;
}

RegionSchedules parseRegionSchedules(const RegionInputs& region, const RegionRows& rows, int years, int base) {
    const auto y = static_cast<std::size_t>(years);
    const auto where = [&rows](std::string_view name) { return std::string(rows.prefix) + std::string(name); };
    RegionSchedules r;
    r.sexRatio.resize(y);
    for (std::size_t t = 0; t < y; ++t) {
        r.sexRatio[t] = scheduleCell(*rows.sexRatio, rows.sexRatioRow, static_cast<int>(t) + 1,
                                     where(message::kWhereSexRatio), base);
        checkSexRatio(r.sexRatio[t], base + static_cast<int>(t) + 1);
    }
    r.tfrEdited = rowEdited(*rows.tfr, rows.tfrRow, region.baseTfrText);
    r.tfr.resize(y);
    for (std::size_t t = 0; t < y; ++t) {
        r.tfr[t] = scheduleCell(*rows.tfr, rows.tfrRow, static_cast<int>(t) + 1, where(message::kWhereTfr), base);
    }
    r.pattern.resize(kPatternAges, years);
    for (int t = 0; t < years; ++t) {
        for (int k = 0; k < kPatternAges; ++k) {
            r.pattern(k, t) =
                scheduleCell(*rows.pattern, k + 1, t + 1, where(message::wherePattern(kFirstFertileAge + k)), base);
        }
    }
    r.maleE0Edited = rowEdited(*rows.lifeExpectancy, rows.maleE0Row, region.male.baseLifeExpectancyText);
    r.femaleE0Edited = rowEdited(*rows.lifeExpectancy, rows.femaleE0Row, region.female.baseLifeExpectancyText);
    r.maleE0.resize(y);
    r.femaleE0.resize(y);
    for (std::size_t t = 0; t < y; ++t) {
        r.maleE0[t] = scheduleCell(*rows.lifeExpectancy, rows.maleE0Row, static_cast<int>(t) + 1,
                                   where(message::kWhereMaleE0), base);
    }
    for (std::size_t t = 0; t < y; ++t) {
        r.femaleE0[t] = scheduleCell(*rows.lifeExpectancy, rows.femaleE0Row, static_cast<int>(t) + 1,
                                     where(message::kWhereFemaleE0), base);
    }
    // A cell that was read is there, so the grid has the column.
    r.maleE0AtBase.resize(y);
    r.femaleE0AtBase.resize(y);
    for (std::size_t t = 0; t < y; ++t) {
        const int c = static_cast<int>(t) + 1;
        r.maleE0AtBase[t] = rows.lifeExpectancy->cell(rows.maleE0Row, c) == region.male.baseLifeExpectancyText;
        r.femaleE0AtBase[t] = rows.lifeExpectancy->cell(rows.femaleE0Row, c) == region.female.baseLifeExpectancyText;
    }
    return r;
}

void checkSexRatio(double sexRatio, int calendarYear) {
    if (sexRatio + 100 == 0) throw Refusal(message::noBirthShares(calendarYear, sexRatio));
}

void birthSharesFromSchedule(RegionInputs& region, const RegionSchedules& s) {
    for (std::size_t y = 0; y < s.sexRatio.size(); ++y) {
        const double r = s.sexRatio[y];
        region.maleBirthShare[y] = r / (r + 100);
        region.femaleBirthShare[y] = 100 / (r + 100);
    }
}

void fertilityFromSchedule(RegionInputs& region, const RegionSchedules& s) {
    const int n = region.fertilityRates.ageCount();
    const int years = static_cast<int>(s.tfr.size());
    AgeYearMatrix& asfr = region.fertilityRates;
    for (int y = 0; y < years; ++y) {
        for (int x = 1; x < n; ++x) asfr(x, y) = asfr(x, 0);
    }
    if (s.tfrEdited) {
        for (int y = 0; y < years; ++y) region.tfrByYear[static_cast<std::size_t>(y)] = s.tfr[static_cast<std::size_t>(y)];
    }
    for (int y = 0; y < years; ++y) {
        for (int k = 0; k < kPatternAges; ++k) region.fertilityPattern(k, y) = s.pattern(k, y);
    }
    for (int y = 0; y < years; ++y) {
        for (int k = 0; k < kPatternAges; ++k) {
            asfr(kFirstFertileAge + k, y) = region.fertilityPattern(k, y) * region.tfrByYear[static_cast<std::size_t>(y)];
        }
    }
}

void mortalityFromLifeExpectancy(RegionInputs& region, Sex sex, const RegionSchedules& s, int baseYear) {
    if (!(sex == Sex::Male ? s.maleE0Edited : s.femaleE0Edited)) return;
    SexMortality& m = region.mortality(sex);
    const std::vector<double>& targets = sex == Sex::Male ? s.maleE0 : s.femaleE0;
    const int n = m.Lx.ageCount();
    for (int y = 0; y < static_cast<int>(targets.size()); ++y) {
        const double target = targets[static_cast<std::size_t>(y)];
        // The base curve is column 0 of lx, which the first year's curve replaces; a shift of
        // a shifted curve is again a shift of the base curve, so every year still ends on the
        // base curve shifted to its own target.
        const auto base = m.lx.year(0).first(static_cast<std::size_t>(n));
        const auto fit = fitLogitShift(base, target);
        if (!fit) throw Refusal(message::unreachableLifeExpectancy(baseYear + y + 1, sex, target));
        const double expTwoAlpha = std::exp(2.0 * fit->alpha);
        const auto lx = m.lx.year(y);
        lx[0] = 1.0;
        for (int x = 1; x < n; ++x) lx[static_cast<std::size_t>(x)] = logitShifted(base[static_cast<std::size_t>(x)], expTwoAlpha);
        lx[static_cast<std::size_t>(n)] = 0.0;
        core::singleYearPersonYears(lx, m.aValues, m.Lx.year(y));
    }
}

void exactMortalityFromLifeExpectancy(RegionInputs& region, Sex sex, const RegionSchedules& s, int baseYear) {
    SexMortality& m = region.mortality(sex);
    const std::vector<double>& targets = sex == Sex::Male ? s.maleE0 : s.femaleE0;
    const std::vector<bool>& atBase = sex == Sex::Male ? s.maleE0AtBase : s.femaleE0AtBase;
    const int n = m.Lx.ageCount();
    const BaseLifeTable table = baseLifeTable(sex, std::span(m.deathRates).first(static_cast<std::size_t>(n)));
    const auto base = std::span(table.lx).first(static_cast<std::size_t>(n));
    for (int y = 0; y < static_cast<int>(targets.size()); ++y) {
        const auto t = static_cast<std::size_t>(y);
        const auto lx = m.lx.year(y);
        if (atBase[t]) {
            std::copy(table.lx.begin(), table.lx.end(), lx.begin());
            std::copy(table.Lx.begin(), table.Lx.end(), m.Lx.year(y).begin());
            continue;
        }
        const auto fit = fitLogitShiftToLifeExpectancy(base, table.ax, targets[t]);
        if (!fit) throw Refusal(message::unreachableLifeExpectancy(baseYear + y + 1, sex, targets[t]));
        const double expTwoAlpha = std::exp(2.0 * fit->alpha);
        for (int x = 0; x < n; ++x) lx[static_cast<std::size_t>(x)] = logitShifted(base[static_cast<std::size_t>(x)], expTwoAlpha);
        lx[static_cast<std::size_t>(n)] = 0.0;
        core::singleYearPersonYears(lx, table.ax, m.Lx.year(y));
    }
}

void mortalityFromSurvivalCurves(RegionInputs& region, int years, std::span<const double> maleLx,
                                 std::span<const double> femaleLx) {
    const int n = region.male.Lx.ageCount();
    if (years == 0) return;  // no year to reach the curves in
    const int last = years - 1;
    struct Curve {
        SexMortality* mortality;
        std::span<const double> lx;
        Sex sex;
    };
    const Curve curves[] = {{&region.male, maleLx, Sex::Male}, {&region.female, femaleLx, Sex::Female}};
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
