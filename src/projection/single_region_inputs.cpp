// The field handlers of the single-region projection dialog and the year rebuild.
#include "projection/single_region_inputs.h"

#include <algorithm>
#include <utility>

#include "projection/base_life_table.h"
#include "projection/schedule_grids.h"
#include "tables/numeric_column.h"
#include "tables/table.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {

void sizeInputSet(SingleRegionInputs& in) { sizeRegion(in.region, in.ageCount, in.yearCount); }

const std::string& fieldText(const ChosenFields& fields, InputField field) {
    for (const InputFieldText& entry : kInputFieldTexts)
        if (entry.field == field) return fields.*entry.text;
    return fields.malePopulation;
}

std::string& fieldText(ChosenFields& fields, InputField field) {
    return const_cast<std::string&>(fieldText(std::as_const(fields), field));
}

namespace {

void choosePopulation(SingleRegionInputs& in, SingleRegionGrids& grids, Sex sex, int baseYear) {
    seedSexRatio(in, grids, sex, baseYear);
    if (sex == Sex::Male) {
        fillMigrantGrid(grids.migrants, in.yearCount, baseYear, label::kEmptyCell, label::kEmptyCell,
                        label::kEmptyCell);
    }
}

}  // namespace

void shapeInputSet(SingleRegionInputs& inputs, int ages, int baseYear, int endYear) {
    if (endYear < baseYear) throw Refusal(message::endBeforeBase(baseYear, endYear));
    inputs.ageCount = ages;
    inputs.yearCount = endYear - baseYear;
    inputs.baseYear = baseYear;
    inputs.endYear = endYear;
    sizeInputSet(inputs);
}

void seedSexRatio(SingleRegionInputs& in, SingleRegionGrids& grids, Sex sex, int baseYear) {
    derivePopulationValues(in.region, sex);
    fillSexRatioGrid(grids.sexRatio, in.region.baseSexRatio, in.yearCount, baseYear);
}

void seedLifeExpectancy(SingleRegionInputs& in, SingleRegionGrids& grids, Sex sex, int baseYear) {
    deriveMortalityValues(in.region, sex);
    fillLifeExpectancyRow(grids.lifeExpectancy, sex, in.region.mortality(sex).baseLifeExpectancyText, in.yearCount,
                          baseYear);
}

void seedFertility(SingleRegionInputs& in, SingleRegionGrids& grids, int baseYear) {
    deriveFertilityValues(in.region);
    fillTfrGrid(grids.tfr, in.region.baseTfrText, in.yearCount, baseYear);
    fillPatternGrid(grids.pattern, in.region.fertilityPattern.year(0), in.yearCount, baseYear);
}

SingleRegionGrids openScheduleGrids(int yearCount, int baseYear) {
    SingleRegionGrids g;
    g.tfr = text::TextGrid(2, 1);
    g.sexRatio = text::TextGrid(2, 1);
    g.lifeExpectancy = text::TextGrid(3, 1);
    g.pattern = text::TextGrid(kPatternTotalRow + 1, 1);
    g.migrants = text::TextGrid(4, 1);
    for (text::TextGrid* grid : {&g.tfr, &g.sexRatio, &g.lifeExpectancy, &g.pattern, &g.migrants}) {
        setYearColumns(*grid, yearCount, baseYear);
    }
    fillRow(g.tfr, 1, label::kTfr, label::kEmptyCell);
    fillRow(g.sexRatio, 1, label::kSexRatio, label::kEmptyCell);
    fillRow(g.lifeExpectancy, kMaleRow, label::kMale, label::kEmptyCell);
    fillRow(g.lifeExpectancy, kFemaleRow, label::kFemale, label::kEmptyCell);
    for (int k = 0; k < kPatternAges; ++k) {
        fillRow(g.pattern, k + 1, std::to_string(kFirstFertileAge + k), label::kEmptyCell);
    }
    fillRow(g.pattern, kPatternTotalRow, label::kPatternTotal, label::kEmptyCell);
    fillRow(g.migrants, kNewMigrantsRow, label::kNewMigrants, label::kEmptyCell);
    fillRow(g.migrants, kMigrantBirthRateRow, label::kMigrantBirthRate, label::kEmptyCell);
    fillRow(g.migrants, kMigrantDeathRateRow, label::kMigrantDeathRate, label::kEmptyCell);
    return g;
}

std::vector<double> loadAgeSeries(tables::Table& table, const std::string& fieldName) {
    return tables::readNumericColumn(table, fieldName);
}

void chooseField(SingleRegionInputs& inputs, SingleRegionGrids& grids, InputField field,
                 const std::string& fieldName, tables::Table& table, int baseYear, int endYear) {
    if (fieldName.empty()) {
        fieldText(inputs.fields, field).clear();
        return;
    }
    // The size is checked before a record is read, so that a short table costs nothing.
    if (table.recordCount() < static_cast<std::size_t>(kMinimumAgeRows)) {
        fieldText(inputs.fields, field) = fieldName;
        throw Refusal(message::tooFewAgeRows(table.recordCount()));
    }
    chooseFieldSeries(inputs, grids, field, fieldName, loadAgeSeries(table, fieldName), baseYear, endYear);
}

void chooseFieldSeries(SingleRegionInputs& inputs, SingleRegionGrids& grids, InputField field,
                       const std::string& fieldName, std::vector<double> series, int baseYear, int endYear) {
    fieldText(inputs.fields, field) = fieldName;
    if (fieldName.empty()) return;
    if (series.size() < static_cast<std::size_t>(kMinimumAgeRows)) throw Refusal(message::tooFewAgeRows(series.size()));
    shapeInputSet(inputs, static_cast<int>(series.size()), baseYear, endYear);
    switch (field) {
    case InputField::MalePopulation:
        inputs.region.malePopulation = std::move(series);
        choosePopulation(inputs, grids, Sex::Male, baseYear);
        break;
    case InputField::FemalePopulation:
        inputs.region.femalePopulation = std::move(series);
        choosePopulation(inputs, grids, Sex::Female, baseYear);
        break;
    case InputField::MaleDeathRates:
        inputs.region.male.deathRates = std::move(series);
        seedLifeExpectancy(inputs, grids, Sex::Male, baseYear);
        break;
    case InputField::FemaleDeathRates:
        inputs.region.female.deathRates = std::move(series);
        seedLifeExpectancy(inputs, grids, Sex::Female, baseYear);
        break;
    case InputField::Fertility:
        std::copy(series.begin(), series.end(), inputs.region.fertilityRates.year(0).begin());
        seedFertility(inputs, grids, baseYear);
        break;
    }
}

std::vector<std::string> rebuildYears(SingleRegionInputs& inputs, SingleRegionGrids& grids,
                                      tables::Table& table, int baseYear, int endYear, bool& yearsChanged) {
    std::vector<std::string> refusals;
    if (!yearsChanged) return refusals;
    // What would refuse every handler alike is said once, and the grids wait for years that work.
    if (endYear < baseYear) throw Refusal(message::endBeforeBase(baseYear, endYear));
    if (table.recordCount() < static_cast<std::size_t>(kMinimumAgeRows)) {
        const ChosenFields& f = inputs.fields;
        for (const std::string* name : {&f.malePopulation, &f.femalePopulation, &f.maleDeathRates,
                                        &f.femaleDeathRates, &f.fertility}) {
            if (!name->empty()) throw Refusal(message::tooFewAgeRows(table.recordCount()));
        }
    }
    const InputField order[] = {InputField::MalePopulation, InputField::FemalePopulation, InputField::Fertility,
                                InputField::MaleDeathRates, InputField::FemaleDeathRates};
    for (InputField field : order) {
        const std::string name = fieldText(inputs.fields, field);
        try {
            chooseField(inputs, grids, field, name, table, baseYear, endYear);
        } catch (const Refusal& refusal) {
            refusals.emplace_back(refusal.what());
        }
    }
    yearsChanged = false;
    return refusals;
}

void chooseMigrantOption(SingleRegionInputs& inputs, SingleRegionGrids& grids, bool include, int baseYear,
                         Edition edition) {
    if (edition == Edition::Target) return;
    inputs.includeMigrants = include;
    if (include) {
        fillMigrantGrid(grids.migrants, inputs.yearCount, baseYear, label::kSeedNewMigrants,
                        label::kSeedMigrantBirthRate, label::kSeedMigrantDeathRate);
    } else {
        fillMigrantGrid(grids.migrants, inputs.yearCount, baseYear, label::kEmptyCell, label::kEmptyCell,
                        label::kEmptyCell);
    }
}

InterpolationBoxes interpolationBoxes(int baseYear, int endYear) {
    return InterpolationBoxes{.startMinimum = baseYear,
                              .startMaximum = endYear,
                              .startValue = baseYear + 1,
                              .endMinimum = baseYear + 2,
                              .endMaximum = endYear,
                              .endValue = endYear};
}

}  // namespace zandor::projection
