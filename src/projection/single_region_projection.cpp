// The single-region run: checks, schedules, the yearly loop and its results.
#include "projection/single_region_projection.h"

#include <cmath>
#include <string>

#include "projection/base_life_table.h"
#include "projection/messages.h"
#include "projection/yearly_schedules.h"
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

void checkData(const SingleRegionInputs& in) {
    const auto outside01 = [](double v) { return v < 0 || v > 1; };
    for (int x = 0; x < in.ageCount; ++x) {
        const auto a = static_cast<std::size_t>(x);
        if (in.malePopulation[a] < 0) refuse(message::kBadMalePopulation);
        if (in.femalePopulation[a] < 0) refuse(message::kBadFemalePopulation);
        if (outside01(in.male.deathRates[a])) refuse(message::kBadMaleDeathRates);
        if (outside01(in.female.deathRates[a])) refuse(message::kBadFemaleDeathRates);
        if (outside01(in.fertilityRates(x, 0))) refuse(message::kBadFertility);
    }
}

double boxNumber(const std::string& text, std::string_view where) {
    if (auto value = text::parseNumber(text)) return *value;
    throw text::NumberFormatError(message::badBox(where, text));
}

void readMigrantSchedules(ProjectionResultSet& r, const SingleRegionInputs& in, const text::TextGrid& grid) {
    for (int y = 0; y < in.yearCount; ++y) {
        const auto t = static_cast<std::size_t>(y);
        r.newMigrants[t] = scheduleCell(grid, kNewMigrantsRow, y + 1, message::whereMigrants(label::kNewMigrants),
                                        in.baseYear);
        r.migrantBirthRate[t] = scheduleCell(grid, kMigrantBirthRateRow, y + 1,
                                             message::whereMigrants(label::kMigrantBirthRate), in.baseYear);
        r.migrantDeathRate[t] = scheduleCell(grid, kMigrantDeathRateRow, y + 1,
                                             message::whereMigrants(label::kMigrantDeathRate), in.baseYear);
    }
}

void fillParameterRecords(ProjectionResultSet& r, const SingleRegionInputs& in, const SingleRegionGrids& g,
                          double urbanShare) {
    const int base = in.baseYear;
    for (int y = 0; y < in.yearCount; ++y) {
        const int c = y + 1;
        ParameterRecord& p = r.parameters[static_cast<std::size_t>(y)];
        p[parameter::kTfr] = scheduleCell(g.tfr, 1, c, message::kWhereTfr, base);
        p[parameter::kMaleE0] = scheduleCell(g.lifeExpectancy, kMaleRow, c, message::kWhereMaleE0, base);
        p[parameter::kFemaleE0] = scheduleCell(g.lifeExpectancy, kFemaleRow, c, message::kWhereFemaleE0, base);
        p[parameter::kSexRatio] = scheduleCell(g.sexRatio, 1, c, message::kWhereSexRatio, base);
        for (int k = 0; k < kPatternAges; ++k) {
            p[static_cast<std::size_t>(parameter::kFirstPattern + k)] =
                scheduleCell(g.pattern, k + 1, c, message::wherePattern(kFirstFertileAge + k), base);
        }
        p[parameter::kUrbanShare] = urbanShare;
        p[parameter::kNewMigrants] =
            scheduleCell(g.migrants, kNewMigrantsRow, c, message::whereMigrants(label::kNewMigrants), base);
        p[parameter::kMigrantBirthRate] =
            scheduleCell(g.migrants, kMigrantBirthRateRow, c, message::whereMigrants(label::kMigrantBirthRate), base);
        p[parameter::kMigrantDeathRate] =
            scheduleCell(g.migrants, kMigrantDeathRateRow, c, message::whereMigrants(label::kMigrantDeathRate), base);
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

ProjectionResultSet projectSingleRegion(SingleRegionInputs& in, const SingleRegionGrids& grids,
                                        const RunOptions& options) {
    const bool full = options.edition == Edition::Full;

    // 1-2. The choice of fields and the base data.
    checkSelection(in, options);
    if (in.ageCount < kMinimumAgeRows) throw Refusal(message::tooFewAgeRows(static_cast<std::size_t>(in.ageCount)));
    if (in.yearCount < 0) throw Refusal(message::endBeforeBase(in.baseYear, in.endYear));
    sizeInputSet(in);
    checkData(in);

    // 3-4. The result set and the migrant schedules.
    const int n = in.ageCount;
    const int years = in.yearCount;
    ProjectionResultSet results = emptyResultSet(n, years, in.baseYear, in.endYear);
    readMigrantSchedules(results, in, grids.migrants);
    double migrantStock = 0;
    if (full) migrantStock = boxNumber(options.migrantStockText, message::kWhereMigrantStock);

    // 5. Base total and urban share.
    double baseTotal = 0;
    for (int x = 0; x < n; ++x) {
        baseTotal += in.malePopulation[static_cast<std::size_t>(x)] + in.femalePopulation[static_cast<std::size_t>(x)];
    }
    const double urbanShare = boxNumber(options.urbanShareText, message::kWhereUrbanShare);

    // 6-9. Yearly schedules.
    birthSharesFromGrid(in, grids.sexRatio);
    fertilityFromGrids(in, grids.tfr, grids.pattern);
    if (options.mortality == MortalityOption::SurvivalCurves) {
        mortalityFromSurvivalCurves(in, options.maleSurvival, options.femaleSurvival);
    } else {
        mortalityFromLifeExpectancy(in, Sex::Male, grids.lifeExpectancy);
        mortalityFromLifeExpectancy(in, Sex::Female, grids.lifeExpectancy);
    }

    // 10. Parameter records; without migrants the migrant population is the schedule as
    // entered.
    fillParameterRecords(results, in, grids, urbanShare);
    if (full && !in.includeMigrants) results.migrantPopulation = results.newMigrants;

    // 11. The years.
    const auto ages = static_cast<std::size_t>(n);
    std::vector<double> newMale(ages);
    std::vector<double> newFemale(ages);
    std::vector<double> roundedMale(ages);
    std::vector<double> roundedFemale(ages);
    UrbanState urban = startUrbanModel(urbanShare, baseTotal);
    for (int y = 0; y < years; ++y) {
        const int calendarYear = results.calendarYear(y);
        const YearSchedule schedule{.maleLx = in.male.Lx.year(y),
                                    .femaleLx = in.female.Lx.year(y),
                                    .fertility = in.fertilityRates.year(y),
                                    .maleBirthShare = in.maleBirthShare[static_cast<std::size_t>(y)],
                                    .femaleBirthShare = in.femaleBirthShare[static_cast<std::size_t>(y)]};
        const YearStepTotals step =
            projectOneYear(in.malePopulation, in.femalePopulation, schedule, newMale, newFemale, calendarYear);
        const YearOutcome outcome{.startMale = in.malePopulation,
                                  .startFemale = in.femalePopulation,
                                  .endMale = newMale,
                                  .endFemale = newFemale,
                                  .births = step.births,
                                  .deathsAbove0 = step.deathsAbove0};
        recordYear(results, y, outcome, urban, roundedMale, roundedFemale);
        in.malePopulation = roundedMale;
        in.femalePopulation = roundedFemale;
        if (full && in.includeMigrants) recordMigrants(results, y, migrantStock);
        if (!yearIsFinite(results, static_cast<std::size_t>(y))) throw Refusal(message::overflow(calendarYear));
    }
    results.malePopulation = in.malePopulation;
    results.femalePopulation = in.femalePopulation;
    results.pyramidFrameCursor = years;
    return results;
}

}  // namespace zandor::projection
