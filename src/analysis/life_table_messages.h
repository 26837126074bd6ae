// The refusal messages of the life table, in one place. Each names where the offending value
// comes from (the rate field, or the deaths and population fields) and the age group.
#pragma once

#include <cstddef>
#include <string>

#include "analysis/life_table.h"

namespace zandor::analysis::life_table_messages {

// `字段“男性死亡率”` in rate mode, `字段“死亡人数”/“人口”` in death-count mode.
std::string rateSource(const LifeTableInput& input);

std::string noAgeGroups(const LifeTableInput& input);
std::string tooManyAgeGroups(const LifeTableInput& input, std::size_t groups);
std::string tooFewAbridgedGroups(const LifeTableInput& input, std::size_t groups);
std::string singleYearsAsAbridged(const LifeTableInput& input, std::size_t groups);
std::string zeroPopulation(const LifeTableInput& input, std::size_t group);
std::string lastRateNotPositive(const LifeTableInput& input, std::size_t group, double rate);
std::string unknownSex(const LifeTableInput& input);
std::string unNeighbourNotPositive(const LifeTableInput& input, std::size_t neighbour,
                                   double rate, std::size_t group);
std::string noSurvivors(const LifeTableInput& input, std::size_t group);

}  // namespace zandor::analysis::life_table_messages
