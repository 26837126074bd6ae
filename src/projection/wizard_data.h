// The projection wizard's data steps without their windows: the grids the steps show (one
// row per age: the population or death rates by sex, or the female fertility rates), the
// files their "读取" reads and "保存" writes, and what each "下一步" puts into the
// single-region input set and schedule grids. The base-year values come from the same
// routines as the projection dialog's field handlers (seedSexRatio, seedLifeExpectancy,
// seedFertility), so a typed block and a table field give the same schedules.
#pragma once

#include <string>
#include <vector>

#include "projection/single_region_inputs.h"
#include "text/text_grid.h"

namespace zandor::projection::wizard {

// Step 1: "基础数据年龄组数", "基础数据年份", "预测终止年份".
inline constexpr int kMinimumAgeGroups = 50;
inline constexpr int kMaximumAgeGroups = 120;
inline constexpr int kDefaultAgeGroups = 90;
inline constexpr int kDefaultBaseYear = 1990;
inline constexpr int kDefaultEndYear = 2000;

// The population and death-rate steps keep the ages 0 to 100 whatever the age-group count
// (and as many ages as chosen beyond), though they show only the chosen ones.
inline constexpr int kPreparedAges = 101;
int byAgeStoredRows(int ageGroups);  // with the heading row

// The fertility step shows ages 15 to 49 and keeps age 50 in a row it does not show.
inline constexpr int kFertilityFirstAge = kFirstFertileAge;  // 15
inline constexpr int kFertilityShownRows = kPatternAges + 1;  // heading + 15..49
inline constexpr int kFertilityStoredRows = kFertilityShownRows + 1;  // + age 50

// A step's grid: row 0 the headings ("年龄", "男性", "女性" or "年龄", "女性"), then `rows` - 1
// rows with the ages from firstAge in column 0 and "0.0" in each value column.
text::TextGrid dataGrid(const std::vector<std::string>& headings, int firstAge, int rows);

// "读取": the value columns from a file, in one of two forms:
//  - plain text: one age a line from the grid's first row on, the numbers separated by blanks
//    (two a line, male then female, or one), the rest of a line skipped, blank lines skipped;
//    each number goes into its cell in the general 15-digit form;
//  - UTF-8 CSV with a header line (a first line with a comma), as zandor-cli dump writes a
//    table: the first column is the age, which chooses the row, and the next one or two
//    columns, whatever their names, are the values (an empty value reads as 0), kept in the
//    form that reads back to the same number; ages the grid does not hold are passed over.
// Lines past the grid's last row are not read. Rows the file does not reach keep their
// content. A file that cannot be read, or a line that is not what its form needs, throws
// Refusal naming the file and the line, and the grid stays as it was.
void readValues(text::TextGrid& grid, int firstAge, const std::string& path);

// "保存": rows 1..lastRow as lines, the cell texts of the value columns separated by two
// blanks. The file is replaced only once it is complete; a failure throws Refusal naming it.
void writeValues(const text::TextGrid& grid, int lastRow, const std::string& path);

// The last row the fertility step saves: the shown rows, and the kept age-50 row when it
// holds a rate other than zero (so that saving a 36-line file gives the 36 lines back).
int fertilityRowsToSave(const text::TextGrid& grid);

// "下一步" of step 2: the populations of ages 0..ages-1 (grid rows 1..ages) become the input
// set's; the female population is checked and the birth shares and sex ratio at age 0
// derived as the field handler does; the sex-ratio grid gets the ratio and the migrant grid
// "10000", "0.012", "0.003" in every year. A cell that is not a number throws Refusal naming
// its row and column before anything changes.
void populationStep(SingleRegionInputs& inputs, SingleRegionGrids& grids, const text::TextGrid& entered, int ages,
                    int baseYear, int endYear);

// "下一步" of step 3: fewer than 71 age groups are refused first; then the death rates of
// each sex, male first, checked and turned into the base life table and the life-expectancy
// row as the field handlers do.
void deathRateStep(SingleRegionInputs& inputs, SingleRegionGrids& grids, const text::TextGrid& entered, int ages,
                   int baseYear, int endYear);

// "下一步" of step 4: the rates of ages 15 to 50 (rows 1..36, age 50 from the kept row) and 0
// at every other age; TFR (age 50 included), pattern (15..49), the TFR and pattern grids, as
// the fertility field handler does.
void fertilityStep(SingleRegionInputs& inputs, SingleRegionGrids& grids, const text::TextGrid& entered, int ages,
                   int baseYear, int endYear);

}  // namespace zandor::projection::wizard
