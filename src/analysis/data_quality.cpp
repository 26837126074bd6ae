// Age preference, Whipple, Myers and age accuracy indexes, and their result report.
#include "analysis/data_quality.h"

#include <cmath>
#include <string_view>

#include "analysis/age_series.h"
#include "tables/table.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::analysis {

namespace {

constexpr std::string_view kIndexPattern = "#####.##";

// Ages 23 to 62 (Whipple) and 10 to 89 (Myers) must be present.
constexpr std::size_t kWhippleRows = 63;
constexpr std::size_t kMyersRows = 90;
// The age accuracy index uses five-year groups 0 to 14 (ages 0 to 74); a table of more than
// 25 records holds single years.
constexpr std::size_t kAccuracyGroups = 15;
constexpr std::size_t kLargestGroupedTable = 25;

std::string ageSpan(std::size_t first, std::size_t last)
{
    return std::to_string(first) + " to " + std::to_string(last);
}

std::string groupAges(std::size_t g)
{
    return std::to_string(5 * g) + "-" + std::to_string(5 * g + 4);
}

QualityBand bandOf(double value, double goodUpTo, double acceptableUpTo)
{
    // Classified as the window shows the value, so that "110" reads as the good band.
    const double shown = text::parseNumber(formatIndex(value)).value_or(0.0);
    if (shown <= goodUpTo)
        return QualityBand::Good;
    if (shown <= acceptableUpTo)
        return QualityBand::Acceptable;
    return QualityBand::Unacceptable;
}

// The five-year groups 0 to 14 of the series: summed single years in a table of more than 25
// records (complete groups only), the records themselves otherwise.
std::vector<double> accuracyGroups(const std::vector<double>& x)
{
    const std::size_t n = x.size();
    if (n > kLargestGroupedTable) {
        if (n < 5 * kAccuracyGroups)
            throw Refusal("Not Enough Age Groups: the age accuracy index needs "
                          + std::to_string(5 * kAccuracyGroups)
                          + " rows of single years (ages 0 to 74), the table has "
                          + std::to_string(n));
        std::vector<double> groups(kAccuracyGroups, 0.0);
        for (std::size_t age = 0; age < 5 * kAccuracyGroups; ++age)
            groups[age / 5] += x[age];
        return groups;
    }
    if (n < kAccuracyGroups)
        throw Refusal("Not Enough Age Groups: the age accuracy index needs "
                      + std::to_string(kAccuracyGroups)
                      + " rows of five-year groups (0-4 to 70-74), the table has "
                      + std::to_string(n));
    return {x.begin(), x.begin() + kAccuracyGroups};
}

}  // namespace

std::vector<double> agePreference(const std::vector<double>& x)
{
    // The series ends at its last zero: ages up to E - 3 keep their five-age window in it.
    std::size_t end = x.size();
    for (std::size_t k = 0; k < x.size(); ++k)
        if (x[k] == 0)
            end = k;

    std::vector<double> preference;
    for (std::size_t i = 2; i + 3 <= end; ++i) {
        const double window = x[i - 2] + x[i - 1] + x[i] + x[i + 1] + x[i + 2];
        if (window == 0)
            throw Refusal("Division by zero at age " + std::to_string(i) + ": ages "
                          + ageSpan(i - 2, i + 2) + " sum to 0");
        preference.push_back(100 * x[i] / (window / 5));
    }
    return preference;
}

double whippleIndex(const std::vector<double>& x)
{
    if (x.size() < kWhippleRows)
        throw Refusal(kWhippleTooFewAges);
    double all = 0;
    for (std::size_t age = 23; age <= 62; ++age)
        all += x[age];
    double heaped = 0;
    for (std::size_t age = 25; age <= 60; age += 5)
        heaped += x[age];
    if (all == 0)
        throw Refusal("Division by zero: ages " + ageSpan(23, 62) + " sum to 0");
    return 100 * heaped / (all / 5);
}

double myersIndex(const std::vector<double>& x)
{
    if (x.size() < kMyersRows)
        throw Refusal(kMyersTooFewAges);
    std::array<double, 10> blended{};
    for (std::size_t j = 0; j < 10; ++j) {
        double fromTen = 0;     // ages 10+j, 20+j, ..., 80+j
        double fromTwenty = 0;  // ages 20+j, ..., 80+j
        for (std::size_t decade = 1; decade <= 8; ++decade) {
            fromTen += x[10 * decade + j];
            if (decade >= 2)
                fromTwenty += x[10 * decade + j];
        }
        blended[j] = static_cast<double>(j + 1) * fromTen + static_cast<double>(9 - j) * fromTwenty;
    }
    double total = 0;
    for (double c : blended)
        total += c;
    if (total == 0)
        throw Refusal("Division by zero: the blended sums of ages " + ageSpan(10, 89) + " are 0");
    double deviations = 0;
    for (double c : blended)
        deviations += std::fabs(100 * c / total - 10);
    return deviations / 2;
}

double ageAccuracyIndex(const std::vector<double>& x)
{
    const std::vector<double> g = accuracyGroups(x);
    double deviations = 0;
    for (std::size_t k = 1; k + 1 < kAccuracyGroups; ++k) {
        const double three = g[k - 1] + g[k] + g[k + 1];
        if (three == 0)
            throw Refusal("Division by zero at group " + std::to_string(k) + " (ages "
                          + groupAges(k) + "): ages " + ageSpan(5 * k - 5, 5 * k + 9)
                          + " sum to 0");
        deviations += std::fabs(300 * g[k] / three - 100);
    }
    return deviations / static_cast<double>(kAccuracyGroups - 2);
}

QualityBand whippleBand(double value) { return bandOf(value, 110, 130); }
QualityBand myersBand(double value) { return bandOf(value, 5, 10); }
QualityBand accuracyBand(double value) { return bandOf(value, 3, 7); }
QualityBand unIndexBand(double value) { return bandOf(value, 20, 40); }

std::string bandLine(QualityBand band)
{
    static const char* const names[] = {"好", "可接受", "不可接受"};
    return std::string("所在范围: ") + names[static_cast<int>(band)];
}

std::string reportText(const IndexReport& report)
{
    static const char* const labels[] = {"好: ", "可接受: ", "不可接受: "};
    std::string text;
    for (const std::string& line : report.lines)
        text += line + "\n";
    for (std::size_t b = 0; b < report.bands.size(); ++b)
        text += labels[b] + report.bands[b] + "\n";
    if (report.band)
        text += bandLine(*report.band) + "\n";
    return text;
}

std::string formatIndex(double value) { return text::formatPattern(value, kIndexPattern); }

IndexReport qualityReport(AgeIndex index, const std::vector<double>& x)
{
    IndexReport report;
    auto single = [&report](const char* label, double value, QualityBand band) {
        report.lines.push_back(label + formatIndex(value));
        std::string name = label;
        name.erase(name.find_last_not_of(' ') + 1);
        report.values.emplace_back(name, value);
        report.value = value;
        report.band = band;
    };
    switch (index) {
    case AgeIndex::Preference: {
        const std::vector<double> p = agePreference(x);
        for (std::size_t k = 0; k < p.size(); ++k) {
            report.lines.push_back(std::to_string(k + 2) + "  " + formatIndex(p[k]));
            report.values.emplace_back(std::to_string(k + 2), p[k]);
        }
        report.labelHeading = "年龄";
        report.bands = {"Near 100", "<110", ">110"};
        break;
    }
    case AgeIndex::Whipple: {
        const double wi = whippleIndex(x);
        single("WI  ", wi, whippleBand(wi));
        report.bands = {"100-110", "110-130", ">130"};
        break;
    }
    case AgeIndex::Myers: {
        const double mi = myersIndex(x);
        single("Mayer_index  ", mi, myersBand(mi));
        report.bands = {"<5", "5-10", ">10"};
        break;
    }
    case AgeIndex::Accuracy: {
        const double ai = ageAccuracyIndex(x);
        single("ARCerret_Index   ", ai, accuracyBand(ai));
        report.bands = {"<3", "3-7", ">7"};
        break;
    }
    }
    return report;
}

std::vector<double> readQualitySeries(tables::Table& table, const std::string& name)
{
    if (name.find_first_not_of(' ') == std::string::npos)
        throw Refusal(kFieldNotSelected);
    if (table.fieldIndex(name) < 0)
        throw Refusal("Field '" + name + "' not found in " + table.path());
    const std::size_t n = table.recordCount();
    std::vector<double> x;
    x.reserve(n);
    table.first();
    for (std::size_t k = 0; k < n; ++k) {
        x.push_back(table.asFloat(name));
        table.next();
    }
    return x;
}

IndexReport qualityReport(tables::Table& table, const std::string& field, AgeIndex index)
{
    const std::vector<double> x = readQualitySeries(table, field);
    requirePopulation(x, field);
    IndexReport report = qualityReport(index, x);
    if (index == AgeIndex::Preference && report.lines.empty())
        throw Refusal("字段“" + field + "”中可用的年龄少于五个 (到最后一个为 0 的值之前), 无法计算年龄偏好指数.");
    return report;
}

}  // namespace zandor::analysis
