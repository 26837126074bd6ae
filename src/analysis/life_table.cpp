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

std::string quoted(const std::string& name) { return "“" + name + "”"; }

std::string group(std::size_t index) { return "第 " + std::to_string(index) + " 年龄组"; }

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
        return "字段" + quoted(input.ratesField);
    return "字段" + quoted(input.deathsField) + "/" + quoted(input.populationField);
}

std::string noAgeGroups(const LifeTableInput& input)
{
    return rateSource(input) + "没有年龄组: 数据表没有记录.";
}

std::string tooManyAgeGroups(const LifeTableInput& input, std::size_t groups)
{
    return rateSource(input) + "有 " + std::to_string(groups)
           + " 个年龄组, 生命表最多处理 101 个 (0 至 100 岁组); 第 101 组及以后无法处理.";
}

std::string tooFewAbridgedGroups(const LifeTableInput& input, std::size_t groups)
{
    return rateSource(input) + "只有 " + std::to_string(groups)
           + " 个年龄组, 简略生命表至少需要 3 个 (0 岁, 1-4 岁和最后的开口组).";
}

std::string singleYearsAsAbridged(const LifeTableInput& input, std::size_t groups)
{
    return "\"5 Years\" 要求按 0, 1-4, 5-9 ... 岁分组的数据, 而" + rateSource(input) + "有 "
           + std::to_string(groups) + " 个记录 (多于 " + std::to_string(kMaxAbridgedGroups)
           + " 个, 是单岁数据): 请选择 \"1 Year\".";
}

std::string zeroPopulation(const LifeTableInput& input, std::size_t index)
{
    return "字段" + quoted(input.populationField) + group(index) + "的人口为 0: 无法计算其死亡率.";
}

std::string lastRateNotPositive(const LifeTableInput& input, std::size_t index, double rate)
{
    return rateSource(input) + group(index) + " (最后的开口组) 的死亡率为 " + text::formatGeneral(rate)
           + ": 其 a 值 1/Mx 要求死亡率大于 0.";
}

std::string unknownSex(const LifeTableInput& input)
{
    return "性别" + quoted(input.sex) + "既不是 \"Male\" 也不是 \"Female\": " + methodName(input.method)
           + " 需要其中之一.";
}

std::string unNeighbourNotPositive(const LifeTableInput& input, std::size_t neighbour,
                                   double rate, std::size_t index)
{
    return rateSource(input) + group(neighbour) + "的死亡率为 " + text::formatGeneral(rate) + ": "
           + methodName(input.method) + "计算" + group(index)
           + "的 a 值要取相邻两组死亡率之比的对数, 它们必须大于 0.";
}

std::string noSurvivors(const LifeTableInput& input, std::size_t index)
{
    return group(index) + "已无存活者 (最后一组之前 lx = 0): " + rateSource(input) + group(index - 1)
           + "的死亡率过高, 无法计算 ex = Tx/lx.";
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
    // Abridged groups reach age 100 in 22 groups; a longer series is one of single years, and
    // reading it as groups would make every age five years wide.
    if (input.width == AgeWidth::Abridged && groups > kMaxAbridgedGroups)
        throw Refusal(messages::singleYearsAsAbridged(input, groups));
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
