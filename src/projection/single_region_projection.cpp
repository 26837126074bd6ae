// The single-region run: the checks, the parse step, the schedules, the yearly loop and its
// results.
#include "projection/single_region_projection.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "projection/base_life_table.h"
#include "projection/messages.h"
#include "projection/yearly_step.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {

namespace {

void refuse(std::string_view text) { throw Refusal(std::string(text)); }

void checkSelection(const SingleRegionInputs& in, const RunOptions& options) {
    if (options.wizardData) return;
    const ChosenFields& f = in.fields;
    if (f.malePopulation.empty() || f.femalePopulation.empty() || f.maleDeathRates.empty() ||
        f.femaleDeathRates.empty() || f.fertility.empty()) {
        refuse(message::kTooFewFields);
    }
}

// A value of a by-age series as the run sizes it: ages beyond the series count as 0.
double atAge(const std::vector<double>& series, int age) {
    return static_cast<std::size_t>(age) < series.size() ? series[static_cast<std::size_t>(age)] : 0.0;
}

double baseFertility(const AgeYearMatrix& rates, int age) {
    return age < rates.ageCount() && rates.yearCount() > 0 ? rates(age, 0) : 0.0;
}

// Steps 1-2 of a run: the choice of fields and the base data.
void checkBaseData(const SingleRegionInputs& in, const RunOptions& options) {
    checkSelection(in, options);
    if (in.ageCount < kMinimumAgeRows) throw Refusal(message::tooFewAgeRows(static_cast<std::size_t>(in.ageCount)));
    if (in.yearCount < 0) throw Refusal(message::endBeforeBase(in.baseYear, in.endYear));
    const RegionInputs& r = in.region;
    const auto outside01 = [](double v) { return v < 0 || v > 1; };
    for (int x = 0; x < in.ageCount; ++x) {
        if (atAge(r.malePopulation, x) < 0) refuse(message::kBadMalePopulation);
        if (atAge(r.femalePopulation, x) < 0) refuse(message::kBadFemalePopulation);
        if (outside01(atAge(r.male.deathRates, x))) refuse(message::kBadMaleDeathRates);
        if (outside01(atAge(r.female.deathRates, x))) refuse(message::kBadFemaleDeathRates);
        if (outside01(baseFertility(r.fertilityRates, x))) refuse(message::kBadFertility);
    }
}

double boxNumber(const std::string& text, std::string_view where) {
    if (auto value = text::parseNumber(text)) return *value;
    throw text::NumberFormatError(message::badBox(where, text));
}

void fillParameterRecords(ProjectionResultSet& r, const SingleRegionSchedules& s) {
    const RegionSchedules& g = s.region;
    for (std::size_t t = 0; t < r.parameters.size(); ++t) {
        ParameterRecord& p = r.parameters[t];
        p[parameter::kTfr] = g.tfr[t];
        p[parameter::kMaleE0] = g.maleE0[t];
        p[parameter::kFemaleE0] = g.femaleE0[t];
        p[parameter::kSexRatio] = g.sexRatio[t];
        for (int k = 0; k < kPatternAges; ++k) {
            p[static_cast<std::size_t>(parameter::kFirstPattern + k)] = g.pattern(k, static_cast<int>(t));
        }
        p[parameter::kUrbanShare] = s.urbanShare;
        p[parameter::kNewMigrants] = s.newMigrants[t];
        p[parameter::kMigrantBirthRate] = s.migrantBirthRate[t];
        p[parameter::kMigrantDeathRate] = s.migrantDeathRate[t];
    }
}

bool yearIsFinite(const ProjectionResultSet& r, std::size_t t) {
    for (double v : {r.total[t], r.births[t], r.deaths[t], r.infantMortalityRate[t], r.crudeBirthRate[t],
                     r.crudeDeathRate[t], r.urban[t], r.migrantPopulation[t], r.migrantBirths[t], r.migrantDeaths[t]}) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}

}  // namespace

SingleRegionSchedules parseSchedules(const SingleRegionInputs& in, const SingleRegionGrids& g,
                                     const RunOptions& options) {
    checkBaseData(in, options);
    const int years = in.yearCount;
    const int base = in.baseYear;
    const auto y = static_cast<std::size_t>(years);
    SingleRegionSchedules s;

    // The migrant schedules and the two boxes.
    s.newMigrants.resize(y);
    s.migrantBirthRate.resize(y);
    s.migrantDeathRate.resize(y);
    for (std::size_t t = 0; t < y; ++t) {
        const int c = static_cast<int>(t) + 1;
        s.newMigrants[t] = scheduleCell(g.migrants, kNewMigrantsRow, c, message::whereMigrants(label::kNewMigrants), base);
        s.migrantBirthRate[t] = scheduleCell(g.migrants, kMigrantBirthRateRow, c,
                                             message::whereMigrants(label::kMigrantBirthRate), base);
        s.migrantDeathRate[t] = scheduleCell(g.migrants, kMigrantDeathRateRow, c,
                                             message::whereMigrants(label::kMigrantDeathRate), base);
    }
    if (options.edition == Edition::Full) s.migrantStock = boxNumber(options.migrantStockText, message::kWhereMigrantStock);
    s.urbanShare = boxNumber(options.urbanShareText, message::kWhereUrbanShare);
    if (!(s.urbanShare >= 0 && s.urbanShare <= 1)) throw Refusal(message::urbanShareOutOfRange(options.urbanShareText));

    // The region's rows.
    s.region = parseRegionSchedules(in.region,
                                    RegionRows{.sexRatio = &g.sexRatio,
                                               .sexRatioRow = 1,
                                               .tfr = &g.tfr,
                                               .tfrRow = 1,
                                               .pattern = &g.pattern,
                                               .lifeExpectancy = &g.lifeExpectancy,
                                               .maleE0Row = kMaleRow,
                                               .femaleE0Row = kFemaleRow,
                                               .prefix = {}},
                                    years, base);
    return s;
}

ProjectionRun projectSingleRegion(const SingleRegionInputs& in, const SingleRegionSchedules& s,
                                  const RunOptions& options, const Feedback& feedback) {
    const bool full = options.edition == Edition::Full;

    // 1-3. The choice of fields and the base data; the region sized for the run.
    checkBaseData(in, options);
    const int n = in.ageCount;
    const int years = in.yearCount;
    const auto y = static_cast<std::size_t>(years);
    const RegionSchedules& rs = s.region;
    bool sized = rs.pattern.yearCount() == years;
    for (std::size_t size : {s.newMigrants.size(), s.migrantBirthRate.size(), s.migrantDeathRate.size(),
                             rs.sexRatio.size(), rs.tfr.size(), rs.maleE0.size(), rs.femaleE0.size()}) {
        sized = sized && size == y;
    }
    if (!sized) throw std::invalid_argument("single-region run: schedules of another number of years");
    ProjectionRun run;
    RegionInputs& state = run.endState;
    state = in.region;
    sizeRegion(state, n, years);

    // 4-5. The result set, the migrant schedules, the base total.
    ProjectionResultSet& results = run.results;
    results = emptyResultSet(n, years, in.baseYear, in.endYear);
    results.exact = options.exact;
    results.newMigrants = s.newMigrants;
    results.migrantBirthRate = s.migrantBirthRate;
    results.migrantDeathRate = s.migrantDeathRate;
    double baseTotal = 0;
    for (int x = 0; x < n; ++x) {
        baseTotal += state.malePopulation[static_cast<std::size_t>(x)] + state.femalePopulation[static_cast<std::size_t>(x)];
    }

    // 6-9. Yearly schedules.
    birthSharesFromSchedule(state, rs);
    fertilityFromSchedule(state, rs);
    if (options.mortality == MortalityOption::SurvivalCurves) {
        mortalityFromSurvivalCurves(state, years, options.maleSurvival, options.femaleSurvival);
    } else if (options.exact) {
        exactMortalityFromLifeExpectancy(state, Sex::Male, rs, in.baseYear);
        exactMortalityFromLifeExpectancy(state, Sex::Female, rs, in.baseYear);
    } else {
        mortalityFromLifeExpectancy(state, Sex::Male, rs, in.baseYear);
        mortalityFromLifeExpectancy(state, Sex::Female, rs, in.baseYear);
    }

    // 10. Parameter records; without migrants the migrant population is the schedule as
    // entered.
    fillParameterRecords(results, s);
    if (full && !in.includeMigrants) results.migrantPopulation = results.newMigrants;

    // 11. The years.
    const auto ages = static_cast<std::size_t>(n);
    std::vector<double> newMale(ages);
    std::vector<double> newFemale(ages);
    std::vector<double> roundedMale(ages);
    std::vector<double> roundedFemale(ages);
    double migrantStock = full ? s.migrantStock : 0;
    UrbanState urban = startUrbanModel(s.urbanShare, baseTotal);
    for (int t = 0; t < years; ++t) {
        feedback.throwIfStopped();
        const int calendarYear = results.calendarYear(t);
        const YearSchedule schedule{.maleLx = state.male.Lx.year(t),
                                    .femaleLx = state.female.Lx.year(t),
                                    .fertility = state.fertilityRates.year(t),
                                    .maleBirthShare = state.maleBirthShare[static_cast<std::size_t>(t)],
                                    .femaleBirthShare = state.femaleBirthShare[static_cast<std::size_t>(t)],
                                    .openLastAge = options.exact};
        const YearStepTotals step =
            projectOneYear(state.malePopulation, state.femalePopulation, schedule, newMale, newFemale, calendarYear);
        const YearOutcome outcome{.startMale = state.malePopulation,
                                  .startFemale = state.femalePopulation,
                                  .endMale = newMale,
                                  .endFemale = newFemale,
                                  .births = step.births,
                                  .deathsAbove0 = step.deathsAbove0};
        recordYear(results, t, outcome, urban, roundedMale, roundedFemale);
        state.malePopulation = roundedMale;
        state.femalePopulation = roundedFemale;
        if (full && in.includeMigrants) recordMigrants(results, t, migrantStock);
        if (!yearIsFinite(results, static_cast<std::size_t>(t))) throw Refusal(message::overflow(calendarYear));
        feedback.progress(t + 1, years, std::to_string(calendarYear) + "年");
    }
    results.malePopulation = state.malePopulation;
    results.femalePopulation = state.femalePopulation;
    return run;
}

}  // namespace zandor::projection
