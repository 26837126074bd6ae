// The a-values of the four methods of the life-table dialog.
#include "analysis/life_table_avalues.h"

#include <cmath>
#include <stdexcept>

#include "analysis/life_table_messages.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::analysis {

namespace {

namespace messages = life_table_messages;

// Fills `table` from consecutive runs: {first index, value}, each run reaching to the next.
std::array<double, kMaxAgeGroups> fromRuns(std::initializer_list<std::pair<std::size_t, double>> runs)
{
    std::array<double, kMaxAgeGroups> table{};
    const auto* run = runs.begin();
    for (std::size_t i = 0; i < kMaxAgeGroups; ++i) {
        if (run + 1 != runs.end() && (run + 1)->first == i)
            ++run;
        table[i] = run->second;
    }
    return table;
}

// a0 (fraction of year 0) and 4a1 (years of the interval 1-4) of the Coale-Demeny rules.
struct FirstIntervals {
    double a0 = 0;
    double a1 = 0;
};

FirstIntervals coaleDemenyFirstIntervals(const LifeTableInput& input, double m0)
{
    const double q0 = 1 - std::exp(-m0);
    const bool high = q0 >= 0.1;
    if (input.sex == "Male")
        return high ? FirstIntervals{0.33, 1.352} : FirstIntervals{0.0425 + 2.875 * q0, 1.63 - 3.013 * q0};
    if (input.sex == "Female")
        return high ? FirstIntervals{0.35, 1.361} : FirstIntervals{0.05 + 3.0 * q0, 1.524 - 1.627 * q0};
    throw Refusal(messages::unknownSex(input));
}

// The UN rule's Greville-type value for row x, in years of a five-year interval.
double unGreville(const LifeTableInput& input, const std::vector<double>& m, std::size_t x)
{
    for (const std::size_t neighbour : {x - 1, x + 1})
        if (!(m[neighbour] > 0))
            throw Refusal(messages::unNeighbourNotPositive(input, neighbour, m[neighbour], x));
    return 2.5 - (25.0 / 12.0) * (m[x] - 0.2 * std::log(m[x + 1] / m[x - 1]));
}

// The uniform method's a0 and a1 boxes, named in the message when they hold no number.
double boxValue(const char* box, const std::string& text)
{
    if (auto value = text::parseNumber(text))
        return *value;
    throw text::NumberFormatError("均匀分布的 " + std::string(box) + ": " + text::invalidNumberMessage(text));
}

void setRange(std::vector<double>& a, std::size_t from, std::size_t to, double value)
{
    for (std::size_t i = from; i <= to && i < a.size(); ++i)
        a[i] = value;
}

}  // namespace

const std::array<double, kMaxAgeGroups>& chiangSingleYear()
{
    // The block of the eighties has six ages: 85 still takes 0.48.
    static const auto table = fromRuns({{0, 0.09}, {1, 0.39}, {5, 0.46}, {10, 0.54}, {15, 0.57},
                                        {20, 0.49}, {25, 0.50}, {30, 0.52}, {35, 0.54}, {50, 0.53},
                                        {55, 0.52}, {70, 0.51}, {80, 0.48}, {86, 0.46}});
    return table;
}

const std::array<double, kMaxAgeGroups>& chiangAbridged()
{
    static const auto table = fromRuns({{0, 0.09}, {1, 1.56}, {2, 2.3}, {3, 2.7}, {4, 2.85},
                                        {5, 2.45}, {6, 2.5}, {7, 2.6}, {8, 2.7}, {11, 2.65},
                                        {12, 2.6}, {15, 2.55}, {17, 2.4}, {18, 2.3}});
    return table;
}

std::vector<double> lifeTableAValues(const LifeTableInput& input, const std::vector<double>& rates)
{
    const std::size_t n = rates.size();
    if (n > kMaxAgeGroups)
        throw std::invalid_argument("lifeTableAValues: more than 101 age groups");
    const bool single = input.width == AgeWidth::Single;
    std::vector<double> a(n, 0.0);
    if (n == 0)
        return a;

    switch (input.method) {
    case AValueMethod::Uniform: {
        const double a0 = boxValue("a0", input.uniformA0);
        const double a1 = boxValue("a1", input.uniformA1);
        a[0] = a0;
        if (single) {
            setRange(a, 1, 4, a1 / 4);
            setRange(a, 5, n - 1, 0.5);
        } else {
            setRange(a, 1, 1, a1);
            setRange(a, 2, n - 1, 2.5);
        }
        break;
    }
    case AValueMethod::Chiang: {
        const auto& table = single ? chiangSingleYear() : chiangAbridged();
        std::copy(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(n), a.begin());
        break;
    }
    case AValueMethod::CoaleDemeny:
    case AValueMethod::UN: {
        const FirstIntervals first = coaleDemenyFirstIntervals(input, rates[0]);
        a[0] = first.a0;
        if (single)
            setRange(a, 1, 4, first.a1 / 4);
        else
            setRange(a, 1, 1, first.a1);
        if (input.method == AValueMethod::CoaleDemeny) {
            if (single) {
                setRange(a, 5, 9, 0.45);
                setRange(a, 10, 70, 0.52);
                setRange(a, 71, n - 1, 0.5);
            } else {
                setRange(a, 2, 2, 2.25);
                setRange(a, 3, 15, 2.6);
                setRange(a, 16, n - 1, 2.5);
            }
        } else if (single) {
            setRange(a, 5, 14, 0.5);
            for (std::size_t x = 15; x + 2 <= n; ++x)
                a[x] = unGreville(input, rates, x) / 5;
        } else {
            setRange(a, 2, 3, 2.5);
            for (std::size_t k = 4; k + 2 <= n; ++k)
                a[k] = unGreville(input, rates, k);
        }
        break;
    }
    }
    return a;
}

}  // namespace zandor::analysis
