#include "analysis/end_of_year.h"

#include <cmath>
#include <numeric>
#include <stdexcept>

#include "analysis/age_series.h"
#include "projection/base_life_table.h"
#include "tables/result_field.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::analysis {

namespace msg = end_of_year;
using projection::Sex;

core::LifeTableColumns endOfYearLifeTable(Sex sex, std::span<const double> rates)
{
    for (double m : rates)
        if (!(m >= 0 && m <= 1))
            throw Refusal(std::string(projection::message::kBadData));
    const std::string which(projection::message::sexName(sex));
    if (rates.size() < static_cast<std::size_t>(projection::kMinimumAgeRows))
        throw std::runtime_error(which + "死亡率只有 " + std::to_string(rates.size()) +
                                 " 个年龄, 生命表至少需要 0 至 70 岁");
    if (rates.back() == 0)
        throw std::runtime_error(which + "死亡率最后一个年龄 (" + std::to_string(rates.size() - 1) +
                                 " 岁) 为 0: 开口年龄组的人永远不会死亡, 无法计算生命表");
    return projection::baseLifeTable(sex, rates);
}

namespace {

// A number box: the empty text and the initial "0.0" mean nothing was entered.
double boxNumber(const std::string& text, std::string_view label)
{
    if (text.empty() || text == msg::kDefaultNumberText)
        throw Refusal(std::string(msg::kLogicError));
    if (auto value = text::parseNumber(text))
        return *value;
    throw Refusal(std::string(label) + ": " + text::invalidNumberMessage(text));
}

double sum(std::span<const double> values) { return std::accumulate(values.begin(), values.end(), 0.0); }

// One sex's life table as the passes move it.
struct SexTable {
    std::vector<double> lx;  // ages 0..N, lx[N] = 0
    std::vector<double> ax;  // the open age's is 1 / m
    std::vector<double> Lx;
    double e0 = 0;           // the sum of lx over ages 0..N-1

    explicit SexTable(const core::LifeTableColumns& table)
        : lx(table.lx), ax(table.ax), Lx(table.Lx), e0(sum(std::span(lx).first(lx.size() - 1)))
    {
    }

    double shiftedSum(double expTwoAlpha) const
    {
        double s = 0;
        for (std::size_t x = 0; x + 1 < lx.size(); ++x)
            s += projection::logitShifted(lx[x], expTwoAlpha);
        return s;
    }

    // Moves the life expectancy to `target` (within 0.0001 years) by a logit shift of lx.
    // False when no shift reaches it (the bisection interval no longer shrinks).
    bool shiftTo(double target)
    {
        double lo = -100;
        double hi = 100;
        double alpha = 0;
        double s = 0;
        for (;;) {
            alpha = (lo + hi) / 2;
            s = shiftedSum(std::exp(2 * alpha));
            if (std::fabs(s - target) <= 0.0001)
                break;
            if (!(alpha > lo && alpha < hi))
                return false;
            if (s < target)
                hi = alpha;
            else
                lo = alpha;
        }
        const double expTwoAlpha = std::exp(2 * alpha);
        e0 = s;
        for (std::size_t x = 1; x + 1 < lx.size(); ++x)
            lx[x] = projection::logitShifted(lx[x], expTwoAlpha);
        core::singleYearPersonYears(lx, ax, Lx);
        return true;
    }
};

// One pass for one sex: aging, the surviving births at age 0, and the averaging.
void ageOneYear(std::span<const double> population, double births, const SexTable& table, std::vector<double>& out)
{
    const std::size_t n = population.size();
    const auto& L = table.Lx;
    out[0] = births * L[0];
    for (std::size_t x = 0; x + 1 < n; ++x)
        out[x + 1] = population[x] * L[x + 1] / L[x];
    for (std::size_t x = 1; x < n; ++x)
        out[x] = (population[x] + out[x]) / 2;
}

}  // namespace

EndOfYearProblem checkEndOfYear(const EndOfYearInputs& in)
{
    if (in.malePopulation.empty() || in.femalePopulation.empty() || in.maleRates.empty() || in.femaleRates.empty())
        throw Refusal(std::string(msg::kTooFewFields));
    requireOneLength({in.malePopulation, in.femalePopulation, in.maleRates, in.femaleRates});
    const std::size_t n = in.malePopulation.size();
    auto isRate = [](double m) { return m >= 0 && m <= 1; };
    for (std::size_t x = 0; x < n; ++x) {
        if (!(in.malePopulation[x] >= 0))
            throw Refusal(std::string(msg::kBadMalePopulation));
        if (!(in.femalePopulation[x] >= 0))
            throw Refusal(std::string(msg::kBadFemalePopulation));
        if (!isRate(in.maleRates[x]))
            throw Refusal(std::string(msg::kBadMaleRates));
        if (!isRate(in.femaleRates[x]))
            throw Refusal(std::string(msg::kBadFemaleRates));
    }

    EndOfYearProblem p;
    p.total = boxNumber(in.totalText, msg::kTotalLabel);
    p.maleBirths = boxNumber(in.maleBirthsText, msg::kMaleBirthsLabel);
    p.femaleBirths = boxNumber(in.femaleBirthsText, msg::kFemaleBirthsLabel);
    const double births = p.maleBirths + p.femaleBirths;
    if (!(p.total > 0 && p.maleBirths > 0 && p.femaleBirths > 0 && p.total > births))
        throw Refusal(std::string(msg::kLogicError));
    // The end-of-year total cannot reach the whole start population (age 0 included) plus
    // the births: some of them die in the year.
    if (p.total >= sum(in.malePopulation) + sum(in.femalePopulation) + births)
        throw Refusal(std::string(msg::kCheckData));
    double women = 0;
    for (std::size_t x = 15; x <= 49 && x < n; ++x)
        women += in.femalePopulation[x];
    if (3 * births >= women)
        throw Refusal(std::string(msg::kCheckData));

    p.maleTable = endOfYearLifeTable(Sex::Male, in.maleRates);
    p.femaleTable = endOfYearLifeTable(Sex::Female, in.femaleRates);
    p.malePopulation = in.malePopulation;
    p.femalePopulation = in.femalePopulation;
    return p;
}

EndOfYearEstimate estimateEndOfYear(const EndOfYearProblem& p, const Feedback& feedback)
{
    const std::size_t n = p.malePopulation.size();
    SexTable male(p.maleTable);
    SexTable female(p.femaleTable);
    EndOfYearEstimate e;
    e.male.resize(n);
    e.female.resize(n);
    const double tolerance = p.total / 100000;
    double closest = 0;
    for (int pass = 1; pass <= msg::kMaxPasses; ++pass) {
        feedback.throwIfStopped();
        ageOneYear(p.malePopulation, p.maleBirths, male, e.male);
        ageOneYear(p.femalePopulation, p.femaleBirths, female, e.female);
        const double total = sum(e.male) + sum(e.female);
        if (pass == 1 || std::fabs(total - p.total) < std::fabs(closest - p.total))
            closest = total;
        if (std::fabs(total - p.total) <= tolerance) {
            e.total = total;
            e.passes = pass;
            e.maleE0 = male.e0;
            e.femaleE0 = female.e0;
            return e;
        }
        const double step = p.total >= total ? msg::kStep : -msg::kStep;
        if (!male.shiftTo(male.e0 + step) || !female.shiftTo(female.e0 + step))
            break;
        if (pass % 256 == 0)
            feedback.progress(pass, msg::kMaxPasses);
    }
    throw Refusal("推算未能达到年末总人口数 " + text::formatGeneral(p.total) + ": 最接近的推算总人口为 " +
                  text::formatGeneral(closest) + ", 未保存结果.");
}

EndOfYearStored saveEndOfYear(tables::Table& table, const EndOfYearEstimate& estimate, const std::string& maleName,
                              const std::string& femaleName)
{
    EndOfYearStored stored{wholePersons(estimate.male), wholePersons(estimate.female)};
    tables::addResultFields(table, {{maleName, stored.male}, {femaleName, stored.female}});
    return stored;
}

}  // namespace zandor::analysis
