// The field handlers, grids, interpolation of the mover shares and year rebuild of the
// urban-rural projection dialog.
#include "projection/urban_rural_inputs.h"

#include <utility>

#include "projection/schedule_grids.h"
#include "tables/table.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {

namespace {

void fillYearGrid(text::TextGrid& grid, int rows, int yearCount, int baseYear) {
    if (grid.rowCount() < rows) grid.setRowCount(rows);
    setYearColumns(grid, yearCount, baseYear);
}

void labelMoverShares(text::TextGrid& grid, int yearCount, int baseYear, std::string_view cellText) {
    fillYearGrid(grid, kMoverShareTotalRow + 1, yearCount, baseYear);
    for (int age = 0; age < kMoverShareAges; ++age) fillRow(grid, age + 1, std::to_string(age), cellText);
    fillRow(grid, kMoverShareTotalRow, label::kPatternTotal, cellText);
}

void labelTwoRows(text::TextGrid& grid, std::string_view first, std::string_view second, int yearCount,
                  int baseYear, std::string_view cellText) {
    fillYearGrid(grid, 3, yearCount, baseYear);
    fillRow(grid, 1, first, cellText);
    fillRow(grid, 2, second, cellText);
}

std::string lifeExpectancyLabel(Region region, Sex sex) {
    return std::string(regionName(region)) + std::string(message::sexName(sex));
}

bool sizeRefused(std::size_t rows) {
    return rows < static_cast<std::size_t>(kUrbanRuralMinimumAges) ||
           rows > static_cast<std::size_t>(kUrbanRuralMaximumAges);
}

// The rows a handler seeds once the single-region handler has derived the base values.
void seedRows(const SingleRegionInputs& in, Region which, UrbanRuralGrids& grids, InputField field, int baseYear) {
    const int years = in.yearCount;
    const int row = regionRow(which);
    switch (field) {
    case InputField::MalePopulation:
    case InputField::FemalePopulation: {
        double value = 0;
        const double m0 = in.region.malePopulation[0];
        const double f0 = in.region.femalePopulation[0];
        if (m0 != 0 && f0 != 0) {
            const double s = in.region.maleBirthShare[0];
            value = 100 * s / (1 - s);
        }
        setYearColumns(grids.sexRatio, years, baseYear);
        // The female handler also writes the row's label.
        const std::string label = field == InputField::FemalePopulation ? std::string(regionName(which))
                                                                        : grids.sexRatio.cell(row, 0);
        fillRow(grids.sexRatio, row, label, text::formatPattern(value, "#####.####"));
        break;
    }
    case InputField::MaleDeathRates:
    case InputField::FemaleDeathRates: {
        const Sex sex = field == InputField::MaleDeathRates ? Sex::Male : Sex::Female;
        const SexMortality& m = in.region.mortality(sex);
        setYearColumns(grids.lifeExpectancy, years, baseYear);
        fillRow(grids.lifeExpectancy, lifeExpectancyRow(which, sex), lifeExpectancyLabel(which, sex),
                m.baseLifeExpectancyText);
        break;
    }
    case InputField::Fertility:
        setYearColumns(grids.tfr, years, baseYear);
        fillRow(grids.tfr, row, regionName(which), in.region.baseTfrText);
        fillPatternGrid(which == Region::Rural ? grids.ruralPattern : grids.urbanPattern, in.region.fertilityPattern.year(0),
                        years, baseYear);
        break;
    }
}

constexpr InputField kHandlerOrder[] = {InputField::MalePopulation, InputField::FemalePopulation,
                                        InputField::MaleDeathRates, InputField::FemaleDeathRates,
                                        InputField::Fertility};

}  // namespace

std::string_view regionName(Region region) { return region == Region::Rural ? ur_label::kRural : ur_label::kUrban; }

int regionRow(Region region) { return region == Region::Rural ? 1 : 2; }

int lifeExpectancyRow(Region region, Sex sex) {
    return (region == Region::Rural ? 1 : 3) + (sex == Sex::Male ? 0 : 1);
}

std::string urbanRuralAgeRowsRefusal(std::size_t rows) {
    return "数据表有" + std::to_string(rows) + "行，分城乡人口预测需要71至102个年龄行（0至70岁到0至101岁）.";
}

UrbanRuralGrids openUrbanRuralGrids(int yearCount, int baseYear) {
    UrbanRuralGrids g;
    const std::string_view empty = label::kEmptyCell;
    labelTwoRows(g.tfr, ur_label::kRural, ur_label::kUrban, yearCount, baseYear, empty);
    labelTwoRows(g.sexRatio, ur_label::kRural, ur_label::kUrban, yearCount, baseYear, empty);
    fillYearGrid(g.lifeExpectancy, 5, yearCount, baseYear);
    for (Region region : {Region::Rural, Region::Urban}) {
        for (Sex sex : {Sex::Male, Sex::Female}) {
            fillRow(g.lifeExpectancy, lifeExpectancyRow(region, sex), lifeExpectancyLabel(region, sex), empty);
        }
    }
    for (text::TextGrid* pattern : {&g.ruralPattern, &g.urbanPattern}) {
        fillYearGrid(*pattern, kPatternTotalRow + 1, yearCount, baseYear);
        for (int k = 0; k < kPatternAges; ++k) fillRow(*pattern, k + 1, std::to_string(kFirstFertileAge + k), empty);
        fillRow(*pattern, kPatternTotalRow, label::kPatternTotal, empty);
    }
    labelMoverShares(g.maleMoverShares, yearCount, baseYear, empty);
    labelMoverShares(g.femaleMoverShares, yearCount, baseYear, empty);
    labelTwoRows(g.movers, label::kMale, label::kFemale, yearCount, baseYear, empty);
    return g;
}

void chooseUrbanRuralField(SingleRegionInputs& region, Region which, UrbanRuralGrids& grids, InputField field,
                           const std::string& name, tables::Table& table, int baseYear, int endYear) {
    if (name.empty()) {
        chooseUrbanRuralFieldSeries(region, which, grids, field, name, {}, baseYear, endYear);
        return;
    }
    // The size is checked before a record is read, so that a wrong table costs nothing.
    if (sizeRefused(table.recordCount())) throw Refusal(urbanRuralAgeRowsRefusal(table.recordCount()));
    chooseUrbanRuralFieldSeries(region, which, grids, field, name, loadAgeSeries(table, name), baseYear, endYear);
}

void chooseUrbanRuralFieldSeries(SingleRegionInputs& region, Region which, UrbanRuralGrids& grids, InputField field,
                                 const std::string& name, std::vector<double> series, int baseYear, int endYear) {
    if (!name.empty() && sizeRefused(series.size())) throw Refusal(urbanRuralAgeRowsRefusal(series.size()));
    // The single-region handler loads, checks and derives; the grids it would seed are not
    // this dialog's.
    SingleRegionGrids unused;
    chooseFieldSeries(region, unused, field, name, std::move(series), baseYear, endYear);
    if (!name.empty()) seedRows(region, which, grids, field, baseYear);
}

std::vector<std::string> rebuildUrbanRuralYears(UrbanRuralInputs inputs, UrbanRuralGrids& grids,
                                                tables::Table& table, int baseYear, int endYear,
                                                bool& yearsChanged) {
    std::vector<std::string> refusals;
    if (!yearsChanged) return refusals;
    // What would refuse every handler alike is said once, and the grids wait for years that work.
    if (endYear < baseYear) throw Refusal(message::endBeforeBase(baseYear, endYear));
    if (sizeRefused(table.recordCount())) {
        for (const SingleRegionInputs* region : {&inputs.rural, &inputs.urban}) {
            for (InputField field : kHandlerOrder) {
                if (!fieldText(region->fields, field).empty()) {
                    throw Refusal(urbanRuralAgeRowsRefusal(table.recordCount()));
                }
            }
        }
    }
    const int years = endYear - baseYear;
    labelTwoRows(grids.tfr, ur_label::kRural, ur_label::kUrban, years, baseYear, "0");
    labelTwoRows(grids.movers, label::kMale, label::kFemale, years, baseYear, "0");
    labelMoverShares(grids.maleMoverShares, years, baseYear, "0");
    labelMoverShares(grids.femaleMoverShares, years, baseYear, "0");
    for (Region which : {Region::Rural, Region::Urban}) {
        SingleRegionInputs& region = which == Region::Rural ? inputs.rural : inputs.urban;
        for (InputField field : kHandlerOrder) {
            try {
                // A copy: the handler sets the chosen name again.
                const std::string name = fieldText(region.fields, field);
                chooseUrbanRuralField(region, which, grids, field, name, table, baseYear, endYear);
            } catch (const Refusal& refusal) {
                refusals.emplace_back(refusal.what());
            }
        }
    }
    yearsChanged = false;
    return refusals;
}

void interpolateMoverShares(text::TextGrid& grid, int baseYear, int startYear, int endYear,
                            InterpolationMethod method) {
    text::TextGrid result = grid;
    for (int row = 1; row <= kMoverShareAges; ++row) interpolateRow(result, row, baseYear, startYear, endYear, method);
    for (int c = startYear - baseYear; c <= endYear - baseYear; ++c) {
        double total = 0;
        for (int row = 1; row <= kMoverShareAges; ++row) {
            const std::string& cell = result.cell(row, c);
            const auto value = text::parseNumber(cell);
            if (!value) {
                throw text::NumberFormatError(message::badCell(result.cell(row, 0), baseYear + c, cell));
            }
            total += *value;
        }
        result.setCell(kMoverShareTotalRow, c, text::formatPattern(total, "####.####"));
    }
    grid = std::move(result);
}

}  // namespace zandor::projection
