#include "analysis/age_series.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::analysis {

bool hasNegative(std::span<const double> values)
{
    return std::ranges::any_of(values, [](double v) { return v < 0; });
}

void requirePopulation(std::span<const double> values, const std::string& field)
{
    for (std::size_t row = 0; row < values.size(); ++row) {
        const double v = values[row];
        if (v >= 0 && v <= kLargestPopulation)
            continue;
        const std::string where = "字段“" + field + "”第 " + std::to_string(row + 1) + " 行的人口数";
        if (std::isnan(v))
            throw Refusal(where + "不是数值.");
        if (std::isinf(v))
            throw Refusal(where + "为无穷大.");
        if (v < 0)
            throw Refusal(where + " " + text::formatRoundTrip(v) + " 是负数.");
        throw Refusal(where + " " + text::formatRoundTrip(v) + " 太大.");
    }
}

void requireOneLength(std::initializer_list<std::span<const double>> series)
{
    for (const auto& s : series)
        if (s.size() != series.begin()->size())
            throw std::runtime_error("The chosen fields were read while the table had different numbers of rows; "
                                     "choose them again");
}

std::vector<double> wholePersons(std::span<const double> values)
{
    std::vector<double> whole(values.size());
    std::ranges::transform(values, whole.begin(), text::roundHalfEven);
    return whole;
}

}  // namespace zandor::analysis
