#include "analysis/age_series.h"

#include <algorithm>
#include <stdexcept>

#include "text/numbers.h"

namespace zandor::analysis {

bool hasNegative(std::span<const double> values)
{
    return std::ranges::any_of(values, [](double v) { return v < 0; });
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
