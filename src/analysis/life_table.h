// Period life tables from age-specific mortality: single years or abridged groups (0, 1-4,
// then five-year groups), from death counts with population or from ready death rates, with
// four ways of setting the a-values (see life_table_avalues.h).
//
// Inputs (LifeTableInput, defaults as the life-table dialog opens):
//   - mortality: death rates Mx per person-year of each age group (no scaling: 0.012, not
//     12 per thousand), or population Px and deaths Dx, from which Mx = Dx / Px;
//   - width: 1 (single years) or 5 (abridged); default 1;
//   - a-value method and its settings; default the uniform method with a0 = 0.2, 4a1 = 1.5.
//
// Computation (radix l0 = 1, so lx is a survival probability; core/life_table_core.h):
//   qx = 1 - exp(-n Mx) with n the width of the group (1; in the abridged table 1, 4, 5, 5, ...),
//   dx = lx qx, l(x+n) = lx - dx, Lx = n l(x+n) + ax dx (ax in years of the interval; in the
//   single-year table ax is the fraction of the year and Lx = l(x+1) + ax dx).
//   The last group is open: qx = 1, dx = lx, ax = 1 / Mx and Lx = lx / Mx (the person-years of
//   a stationary population with constant mortality Mx beyond the last age).
//   Tx sums Lx from x to the last group; ex = Tx / lx.
//
// Refusals (zandor::Refusal, with a message naming the field and the age group), checked
// before the table is used: no field chosen, an empty table, more than 101 age groups, an
// abridged table of fewer than three groups, a zero population in death-count mode, a death
// rate of the last group that is not above 0, a sex other than "Male" or "Female" with the
// Coale-Demeny or UN method, a neighbouring rate not above 0 in the UN method's logarithm,
// and survivors lx that reach 0 before the last group.
//
// References: C. L. Chiang (1984), The Life Table and Its Applications, Krieger;
// A. J. Coale and P. Demeny (1983), Regional Model Life Tables and Stable Populations,
// 2nd ed., Academic Press; S. H. Preston, P. Heuveline and M. Guillot (2001), Demography:
// Measuring and Modeling Population Processes, Blackwell, ch. 3.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/life_table_core.h"
#include "text/text_grid.h"

namespace zandor::tables {
class Table;
}

namespace zandor::analysis {

using AgeWidth = core::AgeWidth;

enum class AValueMethod {
    Uniform,      // "均匀分布": a0 and 4a1 given, the middle of the interval elsewhere
    Chiang,       // "蒋庆琅法": a fixed table
    CoaleDemeny,  // "Coale-Demeny": a0 and 4a1 from q0 by sex, fixed values elsewhere
    UN,           // "联合国法": as Coale-Demeny for ages 0 and 1-4, a Greville-type rule later
};

enum class MortalityInput {
    DeathCounts,  // "死亡人口数": population and deaths of each age group
    Rates,        // "死亡率": age-specific death rates
};

// Largest number of age groups a life table takes (ages or groups 0 to 100).
inline constexpr std::size_t kMaxAgeGroups = 101;
// A series of more than 30 records holds single years, not five-year groups: the abridged
// table refuses it.
inline constexpr std::size_t kMaxAbridgedGroups = 30;

struct LifeTableInput {
    MortalityInput mode = MortalityInput::Rates;
    // Field names: where the series come from, and what a refusal names.
    std::string populationField;
    std::string deathsField;
    std::string ratesField;
    // The series, one value per age group in table order (counts or rates by mode).
    std::vector<double> population;
    std::vector<double> deaths;
    std::vector<double> rates;

    AgeWidth width = AgeWidth::Single;
    AValueMethod method = AValueMethod::Uniform;
    // The uniform method's a0 (fraction of year 0) and 4a1 (years of the interval 1-4), as
    // typed; read as numbers only when the uniform method is chosen.
    std::string uniformA0 = "0.2";
    std::string uniformA1 = "1.5";
    // "Male" or "Female" (exactly), for the Coale-Demeny and UN methods.
    std::string sex = "Male";
};

// The columns of the shared life-table arithmetic (ax, qx, dx, lx, Lx, Tx, ex; the a-values
// as used, the open group's 1 / Mx), with the width and the death rates they came from.
struct LifeTable : core::LifeTableColumns {
    AgeWidth width = AgeWidth::Single;
    std::vector<double> mx;

    std::size_t groupCount() const { return mx.size(); }
};

// The message for a mode whose field names are not all given.
inline constexpr const char* kNotEnoughVariables = "Not enough variable selected!";

// Reads the series of input.mode from `table`, record k being age group k: population and
// deaths, or rates, by the field names in `input`. Refuses with kNotEnoughVariables when a
// needed name is empty, and with its own message when the table has no records or more
// than kMaxAgeGroups; an unknown field name throws the table store's TableError.
void readLifeTableSeries(tables::Table& table, LifeTableInput& input);

// The death rates of the input: `rates` in rate mode, deaths / population in death-count
// mode (a zero population is refused, naming the field and the age group).
std::vector<double> deathRates(const LifeTableInput& input);

// Computes the life table from the series already in `input`. Throws zandor::Refusal as
// listed above, and text::NumberFormatError when the uniform method's a0 or 4a1 is no number.
LifeTable computeLifeTable(const LifeTableInput& input);

// Reads the series from `table` and computes the table.
LifeTable computeLifeTable(tables::Table& table, LifeTableInput input);

// The result grid: N + 1 rows by 8 columns. Row 0 holds the headings "年龄组", "Mx", "qx",
// "lx", "Dx", "Lx", "Tx", "ex"; row k + 1 the group index k, then Mx, qx, lx, Dx, Lx, Tx in the
// pattern "####.######" and ex in "####.##" (zero shows as the empty text).
text::TextGrid lifeTableGrid(const LifeTable& table);

// The x labels of the survival chart, one per age group: the age for single years; for
// abridged groups "0", "4", then the last age of each five-year group (9, 14, 19, ...).
std::vector<std::string> survivalChartLabels(const LifeTable& table);

}  // namespace zandor::analysis
