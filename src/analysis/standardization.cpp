#include "analysis/standardization.h"

#include <numeric>

#include "analysis/age_series.h"
#include "tables/result_field.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::analysis {

namespace msg = standardization;

std::vector<std::vector<double>> standardize(const std::vector<std::vector<double>>& standard, double total)
{
    double sum = 0;
    for (const auto& series : standard) {
        if (series.empty())
            throw Refusal(std::string(msg::kTooFewFields));
        sum = std::accumulate(series.begin(), series.end(), sum);
    }
    if (sum == 0)
        throw Refusal(std::string(msg::kZeroStandard));
    std::vector<std::vector<double>> scaled = standard;
    for (auto& series : scaled)
        for (double& v : series)
            v = v / sum * total;
    return scaled;
}

double standardTotal(const std::string& text)
{
    if (text.empty())
        throw Refusal(std::string(msg::kBadTotal));
    if (auto value = text::parseNumber(text)) {
        // A total of persons: not negative, not beyond what a population can hold.
        if (!(*value >= 0 && *value <= kLargestPopulation))
            throw Refusal(std::string(msg::kBadTotal));
        return *value;
    }
    throw Refusal(std::string(msg::kTotalLabel) + ": " + text::invalidNumberMessage(text));
}

std::vector<std::vector<double>> standardizeInto(tables::Table& table, const StandardizationRequest& request)
{
    for (std::size_t k = 0; k < request.standard.size(); ++k)
        requirePopulation(request.standard[k], k < request.fields.size() ? request.fields[k] : std::string());
    // The shares of the standard are taken before the total is read, as the dialog does.
    const auto shares = standardize(request.standard, 1);
    for (const auto& series : request.standard)
        requireOneLength({series, request.standard.front()});
    const double total = standardTotal(request.totalText);
    tables::refuseExistingNames(table, request.names);

    std::vector<tables::ResultColumn> columns;
    std::vector<std::vector<double>> stored;
    for (std::size_t k = 0; k < shares.size(); ++k) {
        std::vector<double> scaled = shares[k];
        for (double& v : scaled)
            v *= total;
        stored.push_back(wholePersons(scaled));
        columns.push_back({request.names.at(k), stored.back()});
    }
    tables::addResultFields(table, columns);
    return stored;
}

}  // namespace zandor::analysis
