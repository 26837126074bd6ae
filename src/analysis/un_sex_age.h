// The United Nations joint sex-age accuracy index of a male and a female population by age:
// three times the sex-ratio score plus the age-ratio scores of both sexes, over five-year
// age groups.
//
//   - The data end before the first record whose male or female value is -1 (the marker of
//     the end of the usable rows); all records are used when there is none.
//   - A table of 25 records or more holds single years, summed into complete five-year groups
//     (ages 5g to 5g+4; a trailing incomplete group is dropped); a shorter table holds one
//     five-year group per record.
//   - Sex-ratio score: the mean absolute difference between successive sex ratios
//     100 M[g] / F[g]. Age-ratio scores: the mean of |200 P[g] / (P[g-1] + P[g+1]) - 100|
//     over the groups that have two neighbours, for each sex.
//   - Index = 3 x sex-ratio score + male age-ratio score + female age-ratio score. Below 20
//     the data are accurate, 20 to 40 inaccurate, above 40 highly inaccurate.
//
// Reference: United Nations (1952), Accuracy tests for census age distributions tabulated in
// five-year and ten-year groups, Population Bulletin of the United Nations no. 2, pp. 59-79;
// H. S. Shryock and J. S. Siegel (1976), The Methods and Materials of Demography, ch. 8.
#pragma once

#include <string>
#include <vector>

#include "analysis/data_quality.h"

namespace zandor::analysis {

// The marker value that ends the usable rows.
inline constexpr double kEndOfData = -1;

// The joint index. Throws zandor::Refusal when fewer than three groups are left, and with a
// message naming the group when a female group is 0 or the two neighbours of a group sum to 0.
double unSexAgeIndex(const std::vector<double>& male, const std::vector<double>& female);

// The result window's report: "联合国分性别指数:   " and the index, bands "<20", "20-40", ">40".
IndexReport unIndexReport(const std::vector<double>& male, const std::vector<double>& female);

// Reads both fields of `table` (see readQualitySeries) and reports the index.
IndexReport unIndexReport(tables::Table& table, const std::string& maleField,
                          const std::string& femaleField);

}  // namespace zandor::analysis
