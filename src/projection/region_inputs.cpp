// One region's base data: sizing, and the checks and base-year values of the field handlers.
#include "projection/region_inputs.h"

#include <algorithm>
#include <utility>

#include "projection/base_life_table.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {

namespace {

void sizeSexMortality(SexMortality& m, int ages, int years) {
    const auto n = static_cast<std::size_t>(ages);
    for (auto* v : {&m.deathRates, &m.qx, &m.dx, &m.Tx, &m.ex, &m.aValues}) v->resize(n);
    m.lx.resize(ages + 1, years);
    m.Lx.resize(ages, years);
}

void refuseBadData() { throw Refusal(std::string(message::kBadData)); }

}  // namespace

void sizeRegion(RegionInputs& r, int ages, int yearCount) {
    const int years = yearColumns(yearCount);
    const auto n = static_cast<std::size_t>(ages);
    r.malePopulation.resize(n);
    r.femalePopulation.resize(n);
    sizeSexMortality(r.male, ages, years);
    sizeSexMortality(r.female, ages, years);
    r.fertilityRates.resize(ages, years);
    r.fertilityPattern.resize(kPatternAges, years);
    const auto y = static_cast<std::size_t>(years);
    r.tfrByYear.resize(y);
    r.maleBirthShare.resize(y);
    r.femaleBirthShare.resize(y);
}

void derivePopulationValues(RegionInputs& r, Sex sex) {
    for (double v : r.population(sex)) {
        if (!(v >= 0)) refuseBadData();
    }
    // Birth shares and the sex ratio at age 0; both ways of writing it equal 100 M0 / F0.
    r.baseSexRatio = 0;
    const double m0 = r.malePopulation[0];
    const double f0 = r.femalePopulation[0];
    if (m0 != 0 && f0 != 0) {
        r.maleBirthShare[0] = m0 / (m0 + f0);
        r.femaleBirthShare[0] = f0 / (m0 + f0);
        r.baseSexRatio = sex == Sex::Male ? 100 * r.maleBirthShare[0] / (1 - r.maleBirthShare[0])
                                          : (100 - 100 * r.femaleBirthShare[0]) / r.femaleBirthShare[0];
    }
}

void deriveMortalityValues(RegionInputs& r, Sex sex) {
    SexMortality& m = r.mortality(sex);
    for (double v : m.deathRates) {
        if (!(v > 0 && v <= 1)) refuseBadData();
    }
    BaseLifeTable table = baseLifeTable(sex, m.deathRates);
    m.aValues = std::move(table.ax);
    m.qx = std::move(table.qx);
    m.dx = std::move(table.dx);
    m.Tx = std::move(table.Tx);
    m.ex = std::move(table.ex);
    const int ages = static_cast<int>(m.deathRates.size());
    for (int x = 0; x <= ages; ++x) m.lx(x, 0) = table.lx[static_cast<std::size_t>(x)];
    for (int y = 0; y < m.Lx.yearCount(); ++y) std::copy(table.Lx.begin(), table.Lx.end(), m.Lx.year(y).begin());
    m.baseLifeExpectancyText = text::formatPattern(m.ex[0], "#####.####");
}

void deriveFertilityValues(RegionInputs& r) {
    const auto rates = r.fertilityRates.year(0);
    double tfr = 0;
    for (double v : rates) tfr += v;
    if (tfr == 0) refuseBadData();
    for (double v : rates) {
        if (!(v >= 0 && v <= 1)) refuseBadData();
    }
    r.baseTfr = tfr;
    r.baseTfrText = text::formatPattern(tfr, "#####.##");
    std::fill(r.tfrByYear.begin(), r.tfrByYear.end(), tfr);
    for (int k = 0; k < kPatternAges; ++k) r.fertilityPattern(k, 0) = rates[kFirstFertileAge + k] / tfr;
}

}  // namespace zandor::projection
