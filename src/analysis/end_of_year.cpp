#include "analysis/end_of_year.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <utility>

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

// One sex's life table as the passes move it. A logit shift with slope 1 multiplies the odds
// (1 - l) / l of every age by exp(2 alpha), so shifts made one after another are one shift by
// the sum of their levels: the table after any number of passes is the loader's lx shifted by
// one level, which moveTo finds directly.
struct SexTable {
    std::vector<double> start;  // the loader's lx, ages 0..N, lx[N] = 0
    std::vector<double> startL;
    std::vector<double> lx;
    std::vector<double> ax;     // the open age's is 1 / m
    std::vector<double> Lx;
    double startE0 = 0;         // the sum of the loader's lx over ages 0..N-1
    double e0 = 0;
    double alpha = 0;           // the level of the shift from the loader's table

    explicit SexTable(const core::LifeTableColumns& table)
        : start(table.lx), startL(table.Lx), lx(table.lx), ax(table.ax), Lx(table.Lx),
          startE0(sum(std::span(start).first(start.size() - 1))), e0(startE0)
    {
    }

    // The sum of the shifted lx over ages 0..N-1 at level a, and its derivative in a.
    std::pair<double, double> shiftedSum(double a) const
    {
        const double c = std::exp(2 * a);
        double s = 0;
        double slope = 0;
        for (std::size_t x = 0; x + 1 < start.size(); ++x) {
            const double l = start[x];
            const double q = 1 / (c * (1.0 - l) + l);
            s += l * q;
            slope -= 2 * c * l * (1.0 - l) * q * q;
        }
        return {s, slope};
    }

    // Shifts the loader's table to the life expectancy `target` (within 0.0001 years): Newton
    // steps from the last level, kept within a bracket that halves whenever a step would leave
    // it. False when no level in [-100, 100] reaches the target.
    bool moveTo(double target)
    {
        if (target == startE0) {
            restart();
            return true;
        }
        double lo = -100;
        double hi = 100;
        double a = std::clamp(alpha, lo, hi);
        for (int guard = 0; guard < 400; ++guard) {
            const auto [s, slope] = shiftedSum(a);
            if (std::fabs(s - target) <= 0.0001) {
                apply(a, s);
                return true;
            }
            // The sum falls as the level rises.
            if (s < target)
                hi = a;
            else
                lo = a;
            if (!(hi - lo > 1e-15 * std::max(1.0, std::fabs(a))))
                return false;
            double next = slope < 0 ? a - (s - target) / slope : (lo + hi) / 2;
            if (!(next > lo && next < hi))
                next = (lo + hi) / 2;
            a = next;
        }
        return false;
    }

    void restart()
    {
        lx = start;
        Lx = startL;
        e0 = startE0;
        alpha = 0;
    }

private:
    void apply(double a, double s)
    {
        const double c = std::exp(2 * a);
        alpha = a;
        e0 = s;
        lx[0] = 1;
        for (std::size_t x = 1; x + 1 < lx.size(); ++x)
            lx[x] = projection::logitShifted(start[x], c);
        core::singleYearPersonYears(lx, ax, Lx);
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

std::string notSettled(double total, double closest)
{
    return "推算未能达到年末总人口数 " + text::formatGeneral(total) + ": 最接近的推算总人口为 " + text::formatGeneral(closest)
           + ", 未保存结果.";
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

// The passes walk the life expectancy of both sexes in steps of 0.02 years in one direction
// as long as the estimate stays short of the total (or above it); the walk ends at the first
// pass within TOT / 100000 of it. A pass that passes the total by more than that would turn
// the next pass back, and the walk would swing between the two for good: it is refused. As
// the estimate rises with the life expectancy, the pass that ends the walk is found by
// doubling the number of steps and then halving the interval, each pass worked out from the
// loader's tables directly (a few dozen passes, each linear in the ages, whatever the number
// of steps).
EndOfYearEstimate estimateEndOfYear(const EndOfYearProblem& p, const Feedback& feedback)
{
    const std::size_t n = p.malePopulation.size();
    SexTable male(p.maleTable);
    SexTable female(p.femaleTable);
    EndOfYearEstimate e;
    e.male.resize(n);
    e.female.resize(n);
    const double tolerance = p.total / 100000;

    // The estimate after `steps` steps of `direction` 0.02 years; nothing when a life table
    // cannot be moved that far.
    const auto estimateAt = [&](long long steps, double direction) -> std::optional<double> {
        feedback.throwIfStopped();
        if (steps == 0) {
            male.restart();
            female.restart();
        } else {
            const double moved = direction * msg::kStep * static_cast<double>(steps);
            if (!male.moveTo(male.startE0 + moved) || !female.moveTo(female.startE0 + moved))
                return std::nullopt;
        }
        ageOneYear(p.malePopulation, p.maleBirths, male, e.male);
        ageOneYear(p.femalePopulation, p.femaleBirths, female, e.female);
        // Person-years that fall to 0 before the last age (survivors too few for a double)
        // leave the aging without a number: no estimate.
        const double total = sum(e.male) + sum(e.female);
        return std::isfinite(total) ? std::optional<double>(total) : std::nullopt;
    };
    const auto settle = [&](long long steps, double total) {
        e.total = total;
        e.passes = static_cast<int>(steps + 1);
        e.maleE0 = male.e0;
        e.femaleE0 = female.e0;
        return e;
    };

    const std::optional<double> start = estimateAt(0, 0);
    if (!start)
        throw Refusal(notSettled(p.total, std::numeric_limits<double>::quiet_NaN()));
    const double first = *start;
    if (std::fabs(first - p.total) <= tolerance)
        return settle(0, first);
    const double direction = p.total >= first ? 1.0 : -1.0;
    double closest = first;
    // Whether the walk ends by `steps`: the estimate within the tolerance or past the total,
    // or a table that cannot move so far.
    const auto ended = [&](long long steps) {
        const std::optional<double> total = estimateAt(steps, direction);
        if (!total)
            return true;
        if (std::fabs(*total - p.total) < std::fabs(closest - p.total))
            closest = *total;
        return direction * (p.total - *total) <= tolerance;
    };
    const long long last = msg::kMaxPasses - 1;
    long long before = 0;  // a number of steps at which the walk goes on
    long long at = 1;
    while (!ended(at)) {
        feedback.progress(at, last);
        if (at == last)
            throw Refusal(notSettled(p.total, closest));
        before = at;
        at = std::min(last, 2 * at);
    }
    while (at - before > 1) {
        const long long middle = before + (at - before) / 2;
        if (ended(middle))
            at = middle;
        else
            before = middle;
    }
    const std::optional<double> total = estimateAt(at, direction);
    if (total && std::fabs(*total - p.total) <= tolerance)
        return settle(at, *total);
    throw Refusal(notSettled(p.total, closest));
}

EndOfYearStored saveEndOfYear(tables::Table& table, const EndOfYearEstimate& estimate, const std::string& maleName,
                              const std::string& femaleName)
{
    EndOfYearStored stored{wholePersons(estimate.male), wholePersons(estimate.female)};
    tables::addResultFields(table, {{maleName, stored.male}, {femaleName, stored.female}});
    return stored;
}

}  // namespace zandor::analysis
