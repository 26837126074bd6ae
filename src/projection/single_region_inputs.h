// The single-region input set and the schedule grids of the projection dialog, with the
// work of the dialog's field handlers: choosing a field loads its series, checks it,
// derives the base-year values (life table, TFR, fertility pattern, sex ratio at age 0) and
// seeds the schedule grids with them as texts. The year rebuild re-runs the handlers for a
// new number of projected years.
//
// The input set outlives a run: the session puts a run's end state (the population of the
// last projected year, the fertility and Lx schedules it used) back into `region`, and the
// next run starts from what is there.
#pragma once

#include <string>
#include <vector>

#include "projection/messages.h"
#include "projection/region_inputs.h"
#include "text/edition.h"
#include "text/text_grid.h"

namespace zandor::tables {
class Table;
}

namespace zandor::projection {

// The five field lists of the dialog ("男性年龄别人口" ... "年龄别生育率"), as their texts.
struct ChosenFields {
    std::string malePopulation;
    std::string femalePopulation;
    std::string maleDeathRates;
    std::string femaleDeathRates;
    std::string fertility;
};

enum class InputField { MalePopulation, FemalePopulation, MaleDeathRates, FemaleDeathRates, Fertility };

// Each input field with the text of its list in ChosenFields.
struct InputFieldText {
    InputField field;
    std::string ChosenFields::*text;
};
inline constexpr InputFieldText kInputFieldTexts[] = {
    {InputField::MalePopulation, &ChosenFields::malePopulation},
    {InputField::FemalePopulation, &ChosenFields::femalePopulation},
    {InputField::MaleDeathRates, &ChosenFields::maleDeathRates},
    {InputField::FemaleDeathRates, &ChosenFields::femaleDeathRates},
    {InputField::Fertility, &ChosenFields::fertility},
};

// The chosen field name of `field`.
std::string& fieldText(ChosenFields& fields, InputField field);
const std::string& fieldText(const ChosenFields& fields, InputField field);

struct SingleRegionInputs {
    int ageCount = 0;   // N, the record count of the table
    int yearCount = 0;  // Y, end year - base year
    int baseYear = 2000;
    int endYear = 2010;
    ChosenFields fields;

    // The base data and schedules; also the rural region of the urban-rural input set.
    RegionInputs region;

    bool includeMigrants = false;  // "包含流动人口"
};

// The year-by-year schedule grids. Column 0 holds the row labels; column c (1..Y) the
// calendar year base year + c, whose number is the header cell (row 0).
struct SingleRegionGrids {
    text::TextGrid tfr;             // StringGrid1: row 1 "总和生育率"
    text::TextGrid sexRatio;        // StringGrid2: row 1 "性别比"
    text::TextGrid lifeExpectancy;  // StringGrid3: row 1 "男性", row 2 "女性"
    text::TextGrid pattern;         // StringGrid4: rows 1-35 ages 15-49, row 36 "合计"
    text::TextGrid migrants;        // StringGrid5: rows "新增人口", "出生率", "死亡率"
};

// Grid rows.
inline constexpr int kMaleRow = 1;
inline constexpr int kFemaleRow = 2;
inline constexpr int kPatternTotalRow = kPatternAges + 1;  // 36
inline constexpr int kNewMigrantsRow = 1;
inline constexpr int kMigrantBirthRateRow = 2;
inline constexpr int kMigrantDeathRateRow = 3;

// Every series of the input set sized to its N ages and Y years (the by-year series keep one
// column for the base year also when Y = 0); values that fit are kept, new ones are 0.
void sizeInputSet(SingleRegionInputs& inputs);

// N, Y and the years of the input set, and every series sized to them (keeping what fits).
// An end year before the base year is refused (Refusal) before anything changes.
void shapeInputSet(SingleRegionInputs& inputs, int ages, int baseYear, int endYear);

// What a field handler (and the projection wizard's step) does once a series is in the input
// set: its check ("数据格式不正确." and nothing derived), its base-year values, and the
// schedule grid seeded with them in every year:
//  - the population of `sex`: birth shares of year 0 and the sex ratio at age 0; the
//    sex-ratio grid;
//  - the death rates of `sex`: the base life table, its Lx in every year; that sex's row of
//    the life-expectancy grid;
//  - the fertility rates (column 0): TFR (every year) and pattern; the TFR and pattern grids.
void seedSexRatio(SingleRegionInputs& inputs, SingleRegionGrids& grids, Sex sex, int baseYear);
void seedLifeExpectancy(SingleRegionInputs& inputs, SingleRegionGrids& grids, Sex sex, int baseYear);
void seedFertility(SingleRegionInputs& inputs, SingleRegionGrids& grids, int baseYear);

// The grids as the dialog opens them for yearCount projected years (0 at the first opening
// of a session: only the label column): headers, labels and "0.0" in every schedule cell.
SingleRegionGrids openScheduleGrids(int yearCount, int baseYear);

// Reads a field of every record of the table, in record order, as floating-point numbers
// (the row position is the age). Throws TableError for an unknown field.
std::vector<double> loadAgeSeries(tables::Table& table, const std::string& fieldName);

// A field handler. Remembers the list text; an empty text does nothing more. Otherwise the
// table must have at least 71 records and the end year must not lie before the base year
// (Refusal with a message saying so, before anything changes). Then N and Y are set, every
// series of the input set is sized to N ages and Y years (keeping what it held), the field
// is loaded into its series, and the series is checked: a failed check throws Refusal
// "数据格式不正确." with the series loaded but nothing derived. Then:
//  - male or female population: birth shares of year 0 and the sex ratio at age 0; the
//    sex-ratio grid (and, for the male population, the migrant grid, reset to "0.0");
//  - death rates: the base life table of that sex, its Lx copied into every year; the
//    life-expectancy row of that sex;
//  - fertility: TFR (every year) and the pattern; the TFR grid and the pattern grid.
void chooseField(SingleRegionInputs& inputs, SingleRegionGrids& grids, InputField field,
                 const std::string& fieldName, tables::Table& table, int baseYear, int endYear);

// The same with the series already read: N is its size.
void chooseFieldSeries(SingleRegionInputs& inputs, SingleRegionGrids& grids, InputField field,
                       const std::string& fieldName, std::vector<double> series, int baseYear, int endYear);

// The year rebuild (double-click on a year box or change of page). When yearsChanged is set,
// the handlers of the chosen fields run again in the order male population, female
// population, fertility, male death rates, female death rates, each with the new years;
// a handler's refusal does not stop the others. Then yearsChanged is cleared (and the
// dialog enables "开始预测"). Returns the refusal messages in the order they arose. An end
// year before the base year, or a chosen field in a table of fewer than 71 records, is
// refused once (Refusal) before any handler runs, and yearsChanged stays set.
std::vector<std::string> rebuildYears(SingleRegionInputs& inputs, SingleRegionGrids& grids,
                                      tables::Table& table, int baseYear, int endYear, bool& yearsChanged);

// "不含流动人口" (include = false) or "包含流动人口": the migrant flag, and the migrant grid
// reset to "0.0" or to "10000", "0.012", "0.003" in every year. Does nothing in ZandorT.
void chooseMigrantOption(SingleRegionInputs& inputs, SingleRegionGrids& grids, bool include, int baseYear,
                         Edition edition);

// The limits and values the interpolation year boxes get from the year rebuild.
struct InterpolationBoxes {
    int startMinimum, startMaximum, startValue;
    int endMinimum, endMaximum, endValue;
};
InterpolationBoxes interpolationBoxes(int baseYear, int endYear);

}  // namespace zandor::projection
