// Small steps the analyses that store results by age share: the loaders' check of a field,
// the check that the chosen fields come from one table, and whole persons for storing.
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace zandor::analysis {

// Whether a value of a population field is below 0 (the loader then says "数据格式不正确.",
// and keeps the values).
bool hasNegative(std::span<const double> values);

// The largest number of persons a population value may hold: far beyond any real population,
// far enough inside the range of doubles that sums and ratios of a few hundred ages stay finite.
inline constexpr double kLargestPopulation = 1e15;

// Refuses (Refusal, in Chinese) the first value of the population field `field` that is not
// a number, is negative, infinite or beyond kLargestPopulation, naming the field and the row
// (1 for the first record).
void requirePopulation(std::span<const double> values, const std::string& field);

// Throws std::runtime_error when the series have not all one length (they were read from
// the table at different times and it changed in between).
void requireOneLength(std::initializer_list<std::span<const double>> series);

// Every value rounded to whole persons, halves to the even neighbour.
std::vector<double> wholePersons(std::span<const double> values);

}  // namespace zandor::analysis
