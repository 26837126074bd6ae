// The end-of-year population by single year of age and sex, estimated from the population at
// the start of the year, the death rates by sex, the year's births by sex and the known total
// at the end of the year.
//
// Each sex has its single-year life table (the projection's a-values, radix 1). A pass:
//   1. ages the start population one year, E[x+1] = P[x] L[x+1] / L[x], and puts the
//      surviving births at age 0, E[0] = B L[0];
//   2. averages the start and the aged population at ages 1 and over, E[x] = (P[x] + E[x]) / 2;
//   3. stops when the estimated total is within TOT / 100000 of the known total TOT;
//   4. otherwise moves the mortality of both sexes one step of 0.02 years of life expectancy
//      (measured as the sum of lx over the ages) up when the estimate is short of TOT, down
//      when it is above: a Brass logit shift with slope 1 of the current lx column,
//      l'(x) = l(x) / (l(x) + exp(2 alpha) (1 - l(x))), alpha found by bisection on [-100, 100]
//      to within 0.0001 years; L follows from the shifted l and the a-values.
// The life tables carry over from pass to pass; as shifts add up, the table of any pass is the
// loader's table shifted once, so the pass that settles is found without working out every
// pass before it. An estimate that has not settled after kMaxPasses passes, that one pass
// carries past the total by more than the tolerance (the passes would then swing back and
// forth for good), or whose life expectancy cannot move further is refused, naming the
// closest total reached.
//
// Reference: W. Brass (1971), On the scale of mortality, in Biological Aspects of
// Demography, Taylor & Francis; S. H. Preston, P. Heuveline and M. Guillot (2001),
// Demography, ch. 3 and 6.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/feedback.h"
#include "core/life_table_core.h"
#include "projection/messages.h"

namespace zandor::tables {
class Table;
}

namespace zandor::analysis {

namespace end_of_year {
inline constexpr std::string_view kTooFewFields = "选定原始数据变量不够!";
inline constexpr std::string_view kBadMalePopulation = "男性年龄别人口数据格式不正确.";
inline constexpr std::string_view kBadFemalePopulation = "女性年龄别人口数据格式不正确.";
inline constexpr std::string_view kBadMaleRates = "男性年龄别死亡率数据格式不正确.";
inline constexpr std::string_view kBadFemaleRates = "女性年龄别死亡率数据格式不正确.";
inline constexpr std::string_view kLogicError = "数据逻辑错误!";
inline constexpr std::string_view kCheckData = "数据逻辑错误!!!请检查数据!";
// The labels of the three number boxes, which name a text that is no number.
inline constexpr std::string_view kTotalLabel = "年末总人口数";
inline constexpr std::string_view kMaleBirthsLabel = "当年男性出生数";
inline constexpr std::string_view kFemaleBirthsLabel = "当年女性出生数";
inline constexpr std::string_view kDefaultNumberText = "0.0";
inline constexpr std::string_view kDefaultMaleField = "Tcm01";
inline constexpr std::string_view kDefaultFemaleField = "Tcf01";
inline constexpr int kMaxPasses = 100000;
inline constexpr double kStep = 0.02;  // years of life expectancy a pass moves
}  // namespace end_of_year

// The life table a death-rate field gives one sex: single years, radix 1, the projection's
// a-values. Refused with "数据格式不正确." when a rate is below 0 or above 1; a table of fewer
// than 71 rows, or a last rate of 0 (an open age that never ends), throws std::runtime_error.
core::LifeTableColumns endOfYearLifeTable(projection::Sex sex, std::span<const double> rates);

// What the dialog holds when "运算" is pressed: the four series as last loaded (empty when
// the field is not chosen) and the texts of the three number boxes.
struct EndOfYearInputs {
    std::vector<double> malePopulation;
    std::vector<double> femalePopulation;
    std::vector<double> maleRates;
    std::vector<double> femaleRates;
    std::string totalText{end_of_year::kDefaultNumberText};
    std::string maleBirthsText{end_of_year::kDefaultNumberText};
    std::string femaleBirthsText{end_of_year::kDefaultNumberText};
};

// The checked problem: the populations, the life tables of both sexes, the births and TOT.
struct EndOfYearProblem {
    std::vector<double> malePopulation;
    std::vector<double> femalePopulation;
    core::LifeTableColumns maleTable;
    core::LifeTableColumns femaleTable;
    double total = 0;
    double maleBirths = 0;
    double femaleBirths = 0;
};

// The checks of "运算", in order, each refused (zandor::Refusal) with its message: a field not
// chosen; a value out of range, age by age (male then female population, male then female
// rates); a number box empty, "0.0", not above 0, or TOT not above the births; TOT not below
// the start population of every age plus the births; three times the births not below the
// women aged 15 to 49. A box whose text is no number is refused naming the box.
EndOfYearProblem checkEndOfYear(const EndOfYearInputs& inputs);

struct EndOfYearEstimate {
    std::vector<double> male;    // by age, unrounded
    std::vector<double> female;
    double total = 0;            // their sum, within TOT / 100000 of TOT
    int passes = 0;              // 1 when the first estimate already matched
    double maleE0 = 0;           // the sums of lx of the final life tables
    double femaleE0 = 0;
};

// The passes described above. Reports each pass to `feedback` and ends at a stop request.
EndOfYearEstimate estimateEndOfYear(const EndOfYearProblem& problem, const Feedback& feedback = {});

// The stored whole numbers of the two new fields.
struct EndOfYearStored {
    std::vector<double> male;
    std::vector<double> female;
};

// Adds the Float fields `maleName` and `femaleName` to `table` in one rewrite and stores the
// estimates in whole persons (halves to even); on any failure the table is as it was.
EndOfYearStored saveEndOfYear(tables::Table& table, const EndOfYearEstimate& estimate, const std::string& maleName,
                              const std::string& femaleName);

}  // namespace zandor::analysis
