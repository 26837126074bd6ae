// The UN joint sex-age accuracy index.
#include "analysis/un_sex_age.h"

#include <cmath>
#include <cstddef>
#include <span>
#include <stdexcept>

#include "analysis/age_series.h"
#include "text/refusal.h"

namespace zandor::analysis {

namespace {

// A table of this many records or more holds single years of age.
constexpr std::size_t kSingleYearTable = 25;

struct Groups {
    std::vector<double> male;
    std::vector<double> female;
    bool singleYears = false;
};

std::string groupName(const Groups& groups, std::size_t g)
{
    std::string name = "group " + std::to_string(g);
    if (groups.singleYears)
        name += " (ages " + std::to_string(5 * g) + "-" + std::to_string(5 * g + 4) + ")";
    return name;
}

Groups fiveYearGroups(const std::vector<double>& male, const std::vector<double>& female)
{
    if (male.size() != female.size())
        throw std::invalid_argument("UN index: male and female series of different lengths");
    // The first -1 in either series ends the data: a later record is never summed in.
    std::size_t end = male.size();
    for (std::size_t k = 0; k < male.size(); ++k)
        if (male[k] == kEndOfData || female[k] == kEndOfData) {
            end = k;
            break;
        }

    Groups groups;
    groups.singleYears = male.size() >= kSingleYearTable;
    if (!groups.singleYears) {
        groups.male.assign(male.begin(), male.begin() + static_cast<std::ptrdiff_t>(end));
        groups.female.assign(female.begin(), female.begin() + static_cast<std::ptrdiff_t>(end));
        return groups;
    }
    const std::size_t count = end / 5;  // complete groups only
    groups.male.assign(count, 0.0);
    groups.female.assign(count, 0.0);
    for (std::size_t age = 0; age < 5 * count; ++age) {
        groups.male[age / 5] += male[age];
        groups.female[age / 5] += female[age];
    }
    return groups;
}

// The mean of |200 P[g] / (P[g-1] + P[g+1]) - 100| over g = 1 .. E-2.
double ageRatioScore(const Groups& groups, const std::vector<double>& p, const char* sex)
{
    const std::size_t e = p.size();
    double sum = 0;
    for (std::size_t g = 1; g + 1 < e; ++g) {
        const double neighbours = p[g - 1] + p[g + 1];
        if (neighbours == 0)
            throw Refusal(std::string("Division by zero: the ") + sex + " groups next to "
                          + groupName(groups, g) + " sum to 0");
        sum += std::fabs(200 * p[g] / neighbours - 100);
    }
    return sum / static_cast<double>(e - 2);
}

}  // namespace

double unSexAgeIndex(const std::vector<double>& male, const std::vector<double>& female)
{
    const Groups groups = fiveYearGroups(male, female);
    const std::size_t e = groups.male.size();
    if (e < 3)
        throw Refusal("Not Enough Age Groups: the UN index needs 3 five-year groups, the data give "
                      + std::to_string(e));

    std::vector<double> sexRatio(e);
    for (std::size_t g = 0; g < e; ++g) {
        if (groups.female[g] == 0)
            throw Refusal("Division by zero: the female population of " + groupName(groups, g)
                          + " is 0");
        sexRatio[g] = 100 * groups.male[g] / groups.female[g];
    }
    double differences = 0;
    for (std::size_t g = 1; g < e; ++g)
        differences += std::fabs(sexRatio[g - 1] - sexRatio[g]);
    const double sexRatioScore = differences / static_cast<double>(e - 1);

    return 3 * sexRatioScore + ageRatioScore(groups, groups.male, "male")
           + ageRatioScore(groups, groups.female, "female");
}

IndexReport unIndexReport(const std::vector<double>& male, const std::vector<double>& female)
{
    const double index = unSexAgeIndex(male, female);
    IndexReport report;
    report.lines = {"联合国分性别指数:   " + formatIndex(index)};
    report.bands = {"<20", "20-40", ">40"};
    report.value = index;
    report.values = {{"联合国分性别指数", index}};
    report.band = unIndexBand(index);
    return report;
}

IndexReport unIndexReport(tables::Table& table, const std::string& maleField,
                          const std::string& femaleField)
{
    const std::vector<double> male = readQualitySeries(table, maleField);
    const std::vector<double> female = readQualitySeries(table, femaleField);
    // The records before the first -1 (which ends the data) must hold populations.
    std::size_t end = 0;
    while (end < male.size() && end < female.size() && male[end] != kEndOfData && female[end] != kEndOfData)
        ++end;
    requirePopulation(std::span(male).first(end), maleField);
    requirePopulation(std::span(female).first(end), femaleField);
    return unIndexReport(male, female);
}

}  // namespace zandor::analysis
