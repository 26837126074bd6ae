// The urban-rural run: checks, the schedules of both regions, then the years of the rural and
// of the urban population, and the combined age structure.
#include "projection/urban_rural_projection.h"

#include <cmath>
#include <string>
#include <utility>

#include "projection/base_life_table.h"
#include "projection/yearly_schedules.h"
#include "projection/yearly_step.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {

namespace {

void refuse(std::string_view text) { throw Refusal(std::string(text)); }

// A refusal with the region named in front. (A cell that is no number names its region in
// the cell's name already.)
template <typename Work>
void inRegion(Region region, Work&& work) {
    try {
        work();
    } catch (const Refusal& refusal) {
        throw Refusal(std::string(regionName(region)) + "：" + refusal.what());
    }
}

void checkRegion(const SingleRegionInputs& in) {
    const ChosenFields& f = in.fields;
    if (f.malePopulation.empty() || f.femalePopulation.empty() || f.maleDeathRates.empty() ||
        f.femaleDeathRates.empty() || f.fertility.empty()) {
        refuse(message::kTooFewFields);
    }
    if (in.ageCount < kUrbanRuralMinimumAges || in.ageCount > kUrbanRuralMaximumAges) {
        throw Refusal(urbanRuralAgeRowsRefusal(static_cast<std::size_t>(in.ageCount)));
    }
    const RegionInputs& r = in.region;
    const auto outside01 = [](double v) { return v < 0 || v > 1; };
    for (int x = 0; x < in.ageCount; ++x) {
        const auto a = static_cast<std::size_t>(x);
        if (r.malePopulation[a] < 0) refuse(message::kBadMalePopulation);
        if (r.femalePopulation[a] < 0) refuse(message::kBadFemalePopulation);
        if (outside01(r.male.deathRates[a])) refuse(message::kBadMaleDeathRates);
        if (outside01(r.female.deathRates[a])) refuse(message::kBadFemaleDeathRates);
        if (outside01(r.fertilityRates(x, 0))) refuse(message::kBadFertility);
    }
}

// The rows of a region in the shared grids.
RegionSchedules parseRegion(const SingleRegionInputs& in, Region region, const UrbanRuralGrids& g) {
    const int row = regionRow(region);
    const std::string prefix(regionName(region));
    return parseRegionSchedules(in.region,
                                RegionRows{.sexRatio = &g.sexRatio,
                                           .sexRatioRow = row,
                                           .tfr = &g.tfr,
                                           .tfrRow = row,
                                           .pattern = region == Region::Rural ? &g.ruralPattern : &g.urbanPattern,
                                           .lifeExpectancy = &g.lifeExpectancy,
                                           .maleE0Row = lifeExpectancyRow(region, Sex::Male),
                                           .femaleE0Row = lifeExpectancyRow(region, Sex::Female),
                                           .prefix = prefix},
                                in.yearCount, in.baseYear);
}

// The yearly schedules of one region (birth shares, fertility, Lx of both sexes) in a copy of
// its base data sized for the run.
RegionInputs regionSchedules(const SingleRegionInputs& in, Region region, const RegionSchedules& s, bool exact) {
    RegionInputs work = in.region;
    sizeRegion(work, in.ageCount, in.yearCount);
    inRegion(region, [&] {
        birthSharesFromSchedule(work, s);
        fertilityFromSchedule(work, s);
        for (Sex sex : {Sex::Male, Sex::Female}) {
            if (exact) {
                exactMortalityFromLifeExpectancy(work, sex, s, in.baseYear);
            } else {
                mortalityFromLifeExpectancy(work, sex, s, in.baseYear);
            }
        }
    });
    return work;
}

// A mover cell as a number; a missing cell reads as empty. The cell's name is put together
// only for the message, as there are some twenty thousand cells in a long run.
template <typename Where>
double moverCell(const text::TextGrid& grid, int row, int column, int baseYear, Where where) {
    static const std::string empty;
    const std::string& cell = column < grid.columnCount() ? grid.cell(row, column) : empty;
    if (auto value = text::parseNumber(cell)) return *value;
    throw text::NumberFormatError(message::badCell(where(), baseYear + column, cell));
}

std::string moversWithoutPattern(int year, Sex sex, double volume) {
    const std::string sexName(message::sexName(sex));
    return std::to_string(year) + "年城镇化规模" + sexName + "为" + text::formatGeneral(volume) + "人, 但城镇化模式" +
           sexName + "各年龄的比例之和为0, 迁移人口无法分到各年龄. 请在“城镇化模式”页填写" + std::to_string(year) +
           "年" + sexName + "的模式.";
}

UrbanRuralMovers readMovers(const UrbanRuralGrids& g, int ageCount, int yearCount, int baseYear) {
    UrbanRuralMovers m;
    const int ages = ageCount - 1;
    m.maleShares = AgeYearMatrix(ages, yearCount);
    m.femaleShares = AgeYearMatrix(ages, yearCount);
    for (int y = 0; y < yearCount; ++y) {
        const int c = y + 1;
        m.male.push_back(moverCell(g.movers, 1, c, baseYear, [] { return std::string("城镇化规模男性"); }));
        m.female.push_back(moverCell(g.movers, 2, c, baseYear, [] { return std::string("城镇化规模女性"); }));
        double maleSum = 0;
        double femaleSum = 0;
        for (int i = 0; i < ages; ++i) {
            m.maleShares(i, y) = moverCell(g.maleMoverShares, i + 1, c, baseYear,
                                           [i] { return "城镇化模式男性" + std::to_string(i) + "岁"; });
            m.femaleShares(i, y) = moverCell(g.femaleMoverShares, i + 1, c, baseYear,
                                             [i] { return "城镇化模式女性" + std::to_string(i) + "岁"; });
            maleSum += m.maleShares(i, y);
            femaleSum += m.femaleShares(i, y);
        }
        // Movers spread over a pattern of zeros would move nobody without a word.
        if (m.male.back() != 0 && maleSum == 0)
            throw Refusal(moversWithoutPattern(baseYear + c, Sex::Male, m.male.back()));
        if (m.female.back() != 0 && femaleSum == 0)
            throw Refusal(moversWithoutPattern(baseYear + c, Sex::Female, m.female.back()));
    }
    return m;
}

std::string moversExceedPopulation(int year, Sex sex, int age, double population, double moving) {
    return std::to_string(year) + "年" + std::to_string(age) + "岁" + std::string(message::sexName(sex)) +
           "迁移人数" + text::formatGeneral(moving) + "超过了该年龄的人口" + text::formatGeneral(population) + ".";
}

std::string noPopulation(int year) { return std::to_string(year) + "年人口总数为0，无法计算年龄结构."; }

// Movers at the start of year y: taken from (sign -1) or added to (sign +1) each age.
void moveAge(std::vector<double>& population, double volume, double share, double sign, int year, Sex sex, int age) {
    double& p = population[static_cast<std::size_t>(age)];
    const double moving = volume * share;
    if (p + sign * moving < 0) throw Refusal(moversExceedPopulation(year, sex, age, p, moving));
    p += sign * moving;
}

// The end of year y for one region: totals, age groups and age-structure shares; the
// combined shares gather the absolute numbers until both regions are done.
void recordRegionYear(UrbanRuralResultSet& r, RegionResults& out, int y, const std::vector<double>& pm,
                      const std::vector<double>& pf) {
    const auto t = static_cast<std::size_t>(y);
    double male = 0;
    double female = 0;
    double young = 0;
    double working = 0;
    double old = 0;
    for (int a = 0; a < r.ageCount; ++a) {
        const double m = pm[static_cast<std::size_t>(a)];
        const double f = pf[static_cast<std::size_t>(a)];
        male += m;
        female += f;
        (a <= 14 ? young : a <= 59 ? working : old) += m + f;
    }
    const double total = male + female;
    if (!std::isfinite(total)) throw Refusal(message::overflow(r.calendarYear(y)));
    if (total == 0) throw Refusal(noPopulation(r.calendarYear(y)));
    out.total[t] = total;
    out.maleTotal[t] = male;
    out.femaleTotal[t] = female;
    out.age0to14[t] = young;
    out.age15to59[t] = working;
    out.age60plus[t] = old;
    for (int a = 0; a < r.ageCount; ++a) {
        const double m = pm[static_cast<std::size_t>(a)];
        const double f = pf[static_cast<std::size_t>(a)];
        out.maleShare(a, y) = -m / total;
        out.femaleShare(a, y) = f / total;
        r.totalMaleShare(a, y) += m;
        r.totalFemaleShare(a, y) += f;
    }
}

// The years of one region: movers, survival and births, rounding, the year's results.
void projectRegion(RegionInputs& w, const UrbanRuralMovers& movers, double sign, UrbanRuralResultSet& r,
                   RegionResults& out,
                   const Feedback& feedback, int stepsBefore) {
    const bool exact = r.exact;
    const int n = r.ageCount;
    std::vector<double>& pm = w.malePopulation;
    std::vector<double>& pf = w.femalePopulation;
    std::vector<double> newMale(static_cast<std::size_t>(n));
    std::vector<double> newFemale(static_cast<std::size_t>(n));
    for (int y = 0; y < r.yearCount; ++y) {
        feedback.throwIfStopped();
        feedback.progress(stepsBefore + y, 2LL * r.yearCount);
        const int year = r.calendarYear(y);
        const auto t = static_cast<std::size_t>(y);
        for (int i = 0; i + 1 < n; ++i) {
            moveAge(pm, movers.male[t], movers.maleShares(i, y), sign, year, Sex::Male, i);
            moveAge(pf, movers.female[t], movers.femaleShares(i, y), sign, year, Sex::Female, i);
        }
        const YearSchedule schedule{.maleLx = w.male.Lx.year(y),
                                    .femaleLx = w.female.Lx.year(y),
                                    .fertility = w.fertilityRates.year(y),
                                    .maleBirthShare = w.maleBirthShare[t],
                                    .femaleBirthShare = w.femaleBirthShare[t],
                                    .openLastAge = exact};
        projectOneYear(pm, pf, schedule, newMale, newFemale, year);
        for (std::size_t a = 0; a < pm.size(); ++a) {
            pm[a] = text::roundHalfEven(newMale[a]);
            pf[a] = text::roundHalfEven(newFemale[a]);
        }
        recordRegionYear(r, out, y, pm, pf);
    }
    out.malePopulation = pm;
    out.femalePopulation = pf;
}

// 1-4. The choice of fields and the base data of both regions. These messages are the
// program's own texts, the same for both regions.
void checkRegions(const SingleRegionInputs& rural, const SingleRegionInputs& urban) {
    checkRegion(rural);
    checkRegion(urban);
    if (urban.ageCount != rural.ageCount || urban.baseYear != rural.baseYear || urban.endYear != rural.endYear) {
        refuse("农村和城市的基础数据来自不同的数据表或预测年份，请重新选择变量.");
    }
    if (rural.yearCount < 0) throw Refusal(message::endBeforeBase(rural.baseYear, rural.endYear));
}

}  // namespace

UrbanRuralSchedules parseUrbanRuralSchedules(const SingleRegionInputs& rural, const SingleRegionInputs& urban,
                                             const UrbanRuralGrids& grids) {
    checkRegions(rural, urban);
    UrbanRuralSchedules s;
    inRegion(Region::Rural, [&] { s.rural = parseRegion(rural, Region::Rural, grids); });
    inRegion(Region::Urban, [&] { s.urban = parseRegion(urban, Region::Urban, grids); });
    s.movers = readMovers(grids, rural.ageCount, rural.yearCount, rural.baseYear);
    return s;
}

UrbanRuralRun projectUrbanRural(const SingleRegionInputs& rural, const SingleRegionInputs& urban,
                                const UrbanRuralSchedules& schedules, const UrbanRuralOptions& options,
                                const Feedback& feedback) {
    checkRegions(rural, urban);
    UrbanRuralRun run{.results = emptyUrbanRuralResultSet(rural.ageCount, rural.yearCount, rural.baseYear,
                                                          rural.endYear),
                      .rural = regionSchedules(rural, Region::Rural, schedules.rural, options.exact),
                      .urban = regionSchedules(urban, Region::Urban, schedules.urban, options.exact)};

    // 5-6. Rural, then urban.
    UrbanRuralResultSet& r = run.results;
    r.exact = options.exact;
    const UrbanRuralMovers& movers = schedules.movers;
    inRegion(Region::Rural, [&] { projectRegion(run.rural, movers, -1.0, r, r.rural, feedback, 0); });
    inRegion(Region::Urban, [&] { projectRegion(run.urban, movers, +1.0, r, r.urban, feedback, r.yearCount); });

    // 7. The combined age structure.
    for (int y = 0; y < r.yearCount; ++y) {
        const double total = r.rural.total[static_cast<std::size_t>(y)] + r.urban.total[static_cast<std::size_t>(y)];
        for (int a = 0; a < r.ageCount; ++a) {
            r.totalMaleShare(a, y) = -r.totalMaleShare(a, y) / total;
            r.totalFemaleShare(a, y) = r.totalFemaleShare(a, y) / total;
        }
    }
    return run;
}

}  // namespace zandor::projection
