// Period life tables: reading the series, the single-year and the abridged table, the result
// grid and the survival chart's labels.
#include "analysis/life_table.h"

#include <stdexcept>

#include "analysis/life_table_avalues.h"
#include "analysis/life_table_messages.h"
#include "tables/numeric_column.h"
#include "tables/table.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::analysis {

namespace messages = life_table_messages;

namespace life_table_messages {

namespace {

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

std::string methodName(AValueMethod method)
{
    switch (method) {
    case AValueMethod::Uniform: return "均匀分布";
    case AValueMethod::Chiang: return "蒋庆琅法";
    case AValueMethod::CoaleDemeny: return "Coale-Demeny";
    case AValueMethod::UN: return "联合国法";
    }
    return "";
}

}  // namespace

std::string rateSource(const LifeTableInput& input)
{
    if (input.mode == MortalityInput::Rates)
        return "field " + quoted(input.ratesField);
    return "fields " + quoted(input.deathsField) + " / " + quoted(input.populationField);
}

std::string noAgeGroups(const LifeTableInput& input)
{
    return "No age groups in " + rateSource(input) + ": the table has no records.";
}

std::string tooManyAgeGroups(const LifeTableInput& input, std::size_t groups)
{
    return "Too many age groups in " + rateSource(input) + ": " + std::to_string(groups)
           + ", but a life table takes at most 101 (age groups 0 to 100); age group 101 and"
             " later cannot be processed.";
}

std::string tooFewAbridgedGroups(const LifeTableInput& input, std::size_t groups)
{
    return "Too few age groups in " + rateSource(input) + " for an abridged life table: "
           + std::to_string(groups)
           + ", but it needs at least 3 (age 0, ages 1-4 and the open last group).";
}

std::string zeroPopulation(const LifeTableInput& input, std::size_t group)
{
    return "Population is 0 in field " + quoted(input.populationField) + ", age group "
           + std::to_string(group) + ": its death rate cannot be computed.";
}

std::string lastRateNotPositive(const LifeTableInput& input, std::size_t group, double rate)
{
    return "Death rate is " + text::formatGeneral(rate) + " in " + rateSource(input)
           + ", age group " + std::to_string(group)
           + " (the open last group): its a-value 1/Mx needs a rate above 0.";
}

std::string unknownSex(const LifeTableInput& input)
{
    return "Sex " + quoted(input.sex) + " is neither \"Male\" nor \"Female\": the "
           + methodName(input.method) + " method needs one of them.";
}

std::string unNeighbourNotPositive(const LifeTableInput& input, std::size_t neighbour,
                                   double rate, std::size_t group)
{
    return "Death rate is " + text::formatGeneral(rate) + " in " + rateSource(input)
           + ", age group " + std::to_string(neighbour) + ": the " + methodName(input.method)
           + " a-value of age group " + std::to_string(group)
           + " takes the logarithm of the ratio of its neighbours' rates, which must be above 0.";
}

std::string noSurvivors(const LifeTableInput& input, std::size_t group)
{
    return "No survivors are left at age group " + std::to_string(group)
           + " (lx = 0 before the last group): the death rate of age group "
           + std::to_string(group - 1) + " in " + rateSource(input)
           + " is too high for ex = Tx/lx to be computed.";
}

}  // namespace life_table_messages

namespace {

const std::vector<double>& leadingSeries(const LifeTableInput& input)
{
    return input.mode == MortalityInput::Rates ? input.rates : input.population;
}

// The checks on the shape of the input, before any value is used.
void checkGroupCount(const LifeTableInput& input, std::size_t groups)
{
    if (groups == 0)
        throw Refusal(messages::noAgeGroups(input));
    if (groups > kMaxAgeGroups)
        throw Refusal(messages::tooManyAgeGroups(input, groups));
    if (input.width == AgeWidth::Abridged && groups < 3)
        throw Refusal(messages::tooFewAbridgedGroups(input, groups));
}

}  // namespace

void readLifeTableSeries(tables::Table& table, LifeTableInput& input)
{
    const bool counts = input.mode == MortalityInput::DeathCounts;
    if (counts ? input.populationField.empty() || input.deathsField.empty() : input.ratesField.empty())
        throw Refusal(kNotEnoughVariables);
    const std::size_t n = table.recordCount();
    checkGroupCount(input, n);

    input.population.clear();
    input.deaths.clear();
    input.rates.clear();
    if (counts) {
        input.population = tables::readNumericColumn(table, input.populationField);
        input.deaths = tables::readNumericColumn(table, input.deathsField);
    } else {
        input.rates = tables::readNumericColumn(table, input.ratesField);
    }
}

std::vector<double> deathRates(const LifeTableInput& input)
{
    if (input.mode == MortalityInput::Rates)
        return input.rates;
    if (input.population.size() != input.deaths.size())
        throw std::invalid_argument("life table: population and deaths of different lengths");
    std::vector<double> rates(input.population.size());
    for (std::size_t k = 0; k < rates.size(); ++k) {
        if (input.population[k] == 0)
            throw Refusal(messages::zeroPopulation(input, k));
        rates[k] = input.deaths[k] / input.population[k];
    }
    return rates;
}

LifeTable computeLifeTable(const LifeTableInput& input)
{
    const std::size_t n = leadingSeries(input).size();
    checkGroupCount(input, n);

    std::vector<double> mx = deathRates(input);
    std::vector<double> ax = lifeTableAValues(input, mx);
    const std::size_t last = n - 1;
    if (!(mx[last] > 0))
        throw Refusal(messages::lastRateNotPositive(input, last, mx[last]));

    LifeTable t;
    static_cast<core::LifeTableColumns&>(t) = core::lifeTableFromRates(mx, std::move(ax), input.width);
    if (const auto group = core::firstGroupWithoutSurvivors(t))
        throw Refusal(messages::noSurvivors(input, *group));
    t.width = input.width;
    t.mx = std::move(mx);
    return t;
}

LifeTable computeLifeTable(tables::Table& table, LifeTableInput input)
{
    readLifeTableSeries(table, input);
    return computeLifeTable(input);
}

text::TextGrid lifeTableGrid(const LifeTable& table)
{
    static const char* const headings[] = {"年龄组", "Mx", "qx", "lx", "Dx", "Lx", "Tx", "ex"};
    constexpr std::string_view kValue = "####.######";
    constexpr std::string_view kExpectation = "####.##";
    const std::size_t n = table.groupCount();
    text::TextGrid grid(static_cast<int>(n) + 1, 8);
    for (int c = 0; c < 8; ++c)
        grid.setCell(0, c, headings[c]);
    for (std::size_t k = 0; k < n; ++k) {
        const int row = static_cast<int>(k) + 1;
        grid.setCell(row, 0, std::to_string(k));
        grid.setCell(row, 1, text::formatPattern(table.mx[k], kValue));
        grid.setCell(row, 2, text::formatPattern(table.qx[k], kValue));
        grid.setCell(row, 3, text::formatPattern(table.lx[k], kValue));
        grid.setCell(row, 4, text::formatPattern(table.dx[k], kValue));
        grid.setCell(row, 5, text::formatPattern(table.Lx[k], kValue));
        grid.setCell(row, 6, text::formatPattern(table.Tx[k], kValue));
        grid.setCell(row, 7, text::formatPattern(table.ex[k], kExpectation));
    }
    return grid;
}

std::vector<std::string> survivalChartLabels(const LifeTable& table)
{
    std::vector<std::string> labels;
    labels.reserve(table.groupCount());
    for (std::size_t k = 0; k < table.groupCount(); ++k) {
        if (table.width == AgeWidth::Single || k == 0)
            labels.push_back(std::to_string(k));
        else
            labels.push_back(k == 1 ? "4" : std::to_string(5 * k - 1));
    }
    return labels;
}

}  // namespace zandor::analysis
