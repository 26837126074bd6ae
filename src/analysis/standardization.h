// Direct standardization of population numbers: the age-sex structure of a standard
// population (a male and a female series, or rural and urban male and female series) is kept
// and its level set so that all the series together sum to a chosen total S. Each value v
// becomes v / T x S, T being the sum of every value of every series, so the sex ratio and
// the rural-urban split of the standard are kept; the stored values are whole persons
// (halves to even) and sum to S up to that rounding. No rates are involved.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zandor::tables {
class Table;
}

namespace zandor::analysis {

namespace standardization {
inline constexpr std::string_view kTooFewFields = "选定原始数据变量不够!";
inline constexpr std::string_view kBadTotal = "总人口数据不正确.";
inline constexpr std::string_view kZeroStandard = "标准人口的总和为0, 无法标准化.";
inline constexpr std::string_view kTotalLabel = "被标准化总人口";
inline constexpr std::string_view kDefaultTotal = "10000000";
// The new fields' default names: by age (male, female), then by rural/urban and age (rural
// male, rural female, urban male, urban female).
inline constexpr std::string_view kByAgeFields[] = {"Smale01", "Sfemale01"};
inline constexpr std::string_view kRuralUrbanFields[] = {"Rmale01", "Rfemale01", "Umale01", "Ufemale01"};
}  // namespace standardization

// One page's press of "确定": the standard series (empty when its field is not chosen), the
// text of the total box and the names of the new fields, in the order they are added.
struct StandardizationRequest {
    std::vector<std::vector<double>> standard;
    std::string totalText{standardization::kDefaultTotal};
    std::vector<std::string> names;
    std::vector<std::string> fields;  // the standard's field names, for messages
};

// The rescaled series, v / T x S, unrounded. Refused (zandor::Refusal) when a series is
// empty ("选定原始数据变量不够!") or every value sums to 0.
std::vector<std::vector<double>> standardize(const std::vector<std::vector<double>>& standard, double total);

// The total box: empty, negative or beyond kLargestPopulation is refused with "总人口数据不正确.",
// a text that is no number names the box.
double standardTotal(const std::string& text);

// The whole press, in the dialog's order: fields chosen, every standard value a population
// (requirePopulation, naming the field and row), the standard's sum, the total, a
// new name the table has (refused before any field is added), then the new fields added in
// one rewrite with the whole persons. Returns the stored values, series by series. On any
// refusal or failure the table is as it was.
std::vector<std::vector<double>> standardizeInto(tables::Table& table, const StandardizationRequest& request);

}  // namespace zandor::analysis
