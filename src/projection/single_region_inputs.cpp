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

namespace {

// Year-indexed series always keep a column for the base-year values, also for Y = 0.
int yearColumns(int yearCount) { return std::max(yearCount, 1); }

void sizeSexMortality(SexMortality& m, int ages, int years) {
    const auto n = static_cast<std::size_t>(ages);
    for (auto* v : {&m.deathRates, &m.qx, &m.dx, &m.Tx, &m.ex, &m.aValues}) v->resize(n);
    m.lx.resize(ages + 1, years);
    m.Lx.resize(ages, years);
}

}  // namespace

void sizeInputSet(SingleRegionInputs& in) {
    const int years = yearColumns(in.yearCount);
    const auto n = static_cast<std::size_t>(in.ageCount);
    in.malePopulation.resize(n);
    in.femalePopulation.resize(n);
    sizeSexMortality(in.male, in.ageCount, years);
    sizeSexMortality(in.female, in.ageCount, years);
    in.fertilityRates.resize(in.ageCount, years);
    in.fertilityPattern.resize(kPatternAges, years);
    const auto y = static_cast<std::size_t>(years);
    in.tfrByYear.resize(y);
    in.maleBirthShare.resize(y);
    in.femaleBirthShare.resize(y);
}

namespace {

std::string& fieldText(ChosenFields& fields, InputField field) {
    switch (field) {
    case InputField::MalePopulation: return fields.malePopulation;
    case InputField::FemalePopulation: return fields.femalePopulation;
    case InputField::MaleDeathRates: return fields.maleDeathRates;
    case InputField::FemaleDeathRates: return fields.femaleDeathRates;
    case InputField::Fertility: return fields.fertility;
    }
    return fields.malePopulation;
}

void refuseBadData() { throw Refusal(std::string(message::kBadData)); }

void choosePopulation(SingleRegionInputs& in, SingleRegionGrids& grids, Sex sex, int baseYear) {
    const auto& series = sex == Sex::Male ? in.malePopulation : in.femalePopulation;
    for (double v : series) {
        if (!(v >= 0)) refuseBadData();
    }
    // Birth shares and the sex ratio at age 0; both ways of writing it equal 100 M0 / F0.
    in.baseSexRatio = 0;
    const double m0 = in.malePopulation[0];
    const double f0 = in.femalePopulation[0];
    if (m0 != 0 && f0 != 0) {
        in.maleBirthShare[0] = m0 / (m0 + f0);
        in.femaleBirthShare[0] = f0 / (m0 + f0);
        in.baseSexRatio = sex == Sex::Male ? 100 * in.maleBirthShare[0] / (1 - in.maleBirthShare[0])
                                           : (100 - 100 * in.femaleBirthShare[0]) / in.femaleBirthShare[0];
    }
    fillSexRatioGrid(grids.sexRatio, in.baseSexRatio, in.yearCount, baseYear);
    if (sex == Sex::Male) {
        fillMigrantGrid(grids.migrants, in.yearCount, baseYear, label::kEmptyCell, label::kEmptyCell,
                        label::kEmptyCell);
    }
}

void chooseDeathRates(SingleRegionInputs& in, SingleRegionGrids& grids, Sex sex, int baseYear) {
    SexMortality& m = sex == Sex::Male ? in.male : in.female;
    for (double v : m.deathRates) {
        if (!(v > 0 && v <= 1)) refuseBadData();
    }
    BaseLifeTable table = baseLifeTable(sex, m.deathRates);
    m.aValues = std::move(table.aValues);
    m.qx = std::move(table.qx);
    m.dx = std::move(table.dx);
    m.Tx = std::move(table.Tx);
    m.ex = std::move(table.ex);
    for (int x = 0; x <= in.ageCount; ++x) m.lx(x, 0) = table.lx[static_cast<std::size_t>(x)];
    for (int y = 0; y < m.Lx.yearCount(); ++y) std::copy(table.Lx.begin(), table.Lx.end(), m.Lx.year(y).begin());
    m.baseLifeExpectancyText = text::formatPattern(m.ex[0], "#####.####");
    fillLifeExpectancyRow(grids.lifeExpectancy, sex, m.baseLifeExpectancyText, in.yearCount, baseYear);
}

void chooseFertility(SingleRegionInputs& in, SingleRegionGrids& grids, int baseYear) {
    const auto rates = in.fertilityRates.year(0);
    double tfr = 0;
    for (double v : rates) tfr += v;
    if (tfr == 0) refuseBadData();
    for (double v : rates) {
        if (!(v >= 0 && v <= 1)) refuseBadData();
    }
    in.baseTfr = tfr;
    in.baseTfrText = text::formatPattern(tfr, "#####.##");
    std::fill(in.tfrByYear.begin(), in.tfrByYear.end(), tfr);
    for (int k = 0; k < kPatternAges; ++k) in.fertilityPattern(k, 0) = rates[kFirstFertileAge + k] / tfr;
    fillTfrGrid(grids.tfr, in.baseTfrText, in.yearCount, baseYear);
    fillPatternGrid(grids.pattern, in.fertilityPattern.year(0), in.yearCount, baseYear);
}

}  // namespace

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
    if (endYear < baseYear) throw Refusal(message::endBeforeBase(baseYear, endYear));

    inputs.ageCount = static_cast<int>(series.size());
    inputs.yearCount = endYear - baseYear;
    inputs.baseYear = baseYear;
    inputs.endYear = endYear;
    sizeInputSet(inputs);
    switch (field) {
    case InputField::MalePopulation:
        inputs.malePopulation = std::move(series);
        choosePopulation(inputs, grids, Sex::Male, baseYear);
        break;
    case InputField::FemalePopulation:
        inputs.femalePopulation = std::move(series);
        choosePopulation(inputs, grids, Sex::Female, baseYear);
        break;
    case InputField::MaleDeathRates:
        inputs.male.deathRates = std::move(series);
        chooseDeathRates(inputs, grids, Sex::Male, baseYear);
        break;
    case InputField::FemaleDeathRates:
        inputs.female.deathRates = std::move(series);
        chooseDeathRates(inputs, grids, Sex::Female, baseYear);
        break;
    case InputField::Fertility:
        std::copy(series.begin(), series.end(), inputs.fertilityRates.year(0).begin());
        chooseFertility(inputs, grids, baseYear);
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
        fillMigrantGrid(grids.migrants, inputs.yearCount, baseYear, "10000", "0.012", "0.003");
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
