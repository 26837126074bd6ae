// The urban-rural indicator catalogue, its listings and its pyramids.
#include "projection/urban_rural_results.h"

#include <algorithm>
#include <stdexcept>

#include "projection/messages.h"
#include "text/numbers.h"

namespace zandor::projection {

namespace {

namespace code = urban_rural_indicator;

const std::vector<std::string> kCatalogue = {
    "总人口数",           "男性总人口数",       "女性总人口数",         "0--14岁人口数",
    "15--59岁人口数",     "老年人口数",         "0--14岁人口比重",      "15--59岁人口比重",
    "老年人口比重",       "农村总人口数",       "农村男性总人口数",     "农村女性总人口数",
    "农村0--14岁人口数",  "农村15--59岁人口数", "农村老年人口数",       "农村0--14岁人口比重",
    "农村15--59岁人口比重", "农村老年人口比重", "城市总人口数",         "城市男性总人口数",
    "城市女性总人口数",   "城市0--14岁人口数",  "城市15--59岁人口数",   "城市老年人口数",
    "城市0--14岁人口比重", "城市15--59岁人口比重", "城市老年人口比重",  "总人口年龄结构",
    "农村人口年龄结构",   "城市人口年龄结构",
};

std::vector<double> sum(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> out(a.size());
    for (std::size_t t = 0; t < out.size(); ++t) out[t] = a[t] + b[t];
    return out;
}

// A share of a year without population is 0.
std::vector<double> quotient(const std::vector<double>& numerator, const std::vector<double>& denominator) {
    std::vector<double> out(numerator.size());
    for (std::size_t t = 0; t < out.size(); ++t) out[t] = denominator[t] == 0 ? 0.0 : numerator[t] / denominator[t];
    return out;
}

// Codes 0-8 (both regions) and, shifted by 9 and 18, the rural and the urban codes.
std::vector<double> regionValues(const RegionResults& r, int offset) {
    switch (offset) {
    case 0: return r.total;
    case 1: return r.maleTotal;
    case 2: return r.femaleTotal;
    case 3: return r.age0to14;
    case 4: return r.age15to59;
    case 5: return r.age60plus;
    case 6: return quotient(r.age0to14, r.total);
    case 7: return quotient(r.age15to59, r.total);
    case 8: return quotient(r.age60plus, r.total);
    default: break;
    }
    throw std::invalid_argument("no regional indicator " + std::to_string(offset));
}

RegionResults combined(const UrbanRuralResultSet& r) {
    RegionResults both;
    both.total = sum(r.rural.total, r.urban.total);
    both.maleTotal = sum(r.rural.maleTotal, r.urban.maleTotal);
    both.femaleTotal = sum(r.rural.femaleTotal, r.urban.femaleTotal);
    both.age0to14 = sum(r.rural.age0to14, r.urban.age0to14);
    both.age15to59 = sum(r.rural.age15to59, r.urban.age15to59);
    both.age60plus = sum(r.rural.age60plus, r.urban.age60plus);
    return both;
}

bool isStructure(int c) { return c >= code::kTotalStructure && c <= code::kUrbanStructure; }

// The age table of the last projected year: code 27 adds the two parts before rounding.
void ageTableLines(const UrbanRuralResultSet& r, int c, std::vector<std::string>& lines) {
    lines.push_back(std::to_string(r.endYear) + "年 " + "年龄结构");
    lines.push_back("年龄  男性        女性");
    for (int a = 0; a < r.ageCount; ++a) {
        const auto i = static_cast<std::size_t>(a);
        double male = 0;
        double female = 0;
        if (c != code::kUrbanStructure) {
            male += r.rural.malePopulation[i];
            female += r.rural.femalePopulation[i];
        }
        if (c != code::kRuralStructure) {
            male += r.urban.malePopulation[i];
            female += r.urban.femalePopulation[i];
        }
        lines.push_back(std::to_string(a) + "  " + text::formatGeneral(text::roundHalfEven(male)) + "   " +
                        text::formatGeneral(text::roundHalfEven(female)));
    }
}

}  // namespace

UrbanRuralResultSet emptyUrbanRuralResultSet(int ageCount, int yearCount, int baseYear, int endYear) {
    UrbanRuralResultSet r;
    r.ageCount = ageCount;
    r.yearCount = yearCount;
    r.baseYear = baseYear;
    r.endYear = endYear;
    const auto years = static_cast<std::size_t>(yearCount);
    const auto ages = static_cast<std::size_t>(ageCount);
    for (RegionResults* region : {&r.rural, &r.urban}) {
        for (auto* series : {&region->total, &region->maleTotal, &region->femaleTotal, &region->age0to14,
                             &region->age15to59, &region->age60plus}) {
            series->assign(years, 0.0);
        }
        region->maleShare = AgeYearMatrix(ageCount, yearCount);
        region->femaleShare = AgeYearMatrix(ageCount, yearCount);
        region->malePopulation.assign(ages, 0.0);
        region->femalePopulation.assign(ages, 0.0);
    }
    r.totalMaleShare = AgeYearMatrix(ageCount, yearCount);
    r.totalFemaleShare = AgeYearMatrix(ageCount, yearCount);
    return r;
}

const std::vector<std::string>& urbanRuralCatalogue() { return kCatalogue; }

int urbanRuralIndicatorCode(std::string_view listText) {
    const auto it = std::find(kCatalogue.begin(), kCatalogue.end(), listText);
    return it == kCatalogue.end() ? code::kTotal : static_cast<int>(it - kCatalogue.begin());
}

std::vector<double> urbanRuralIndicatorValues(const UrbanRuralResultSet& r, int c) {
    if (c >= 0 && c < code::kRuralTotal) return regionValues(combined(r), c);
    if (c >= code::kRuralTotal && c < code::kUrbanTotal) return regionValues(r.rural, c - code::kRuralTotal);
    if (c >= code::kUrbanTotal && c <= code::kLastSeries) return regionValues(r.urban, c - code::kUrbanTotal);
    throw std::invalid_argument("urban-rural indicator " + std::to_string(c) + " has no yearly values");
}

std::vector<std::string> urbanRuralTextListing(const UrbanRuralResultSet& r, std::string_view listText) {
    const int c = urbanRuralIndicatorCode(listText);
    std::vector<std::string> lines;
    lines.emplace_back();  // the empty line at the top
    lines.push_back(r.exact ? std::string(listText) + std::string(label::kExactModeMark) : std::string(listText));
    if (isStructure(c)) {
        ageTableLines(r, c, lines);
        return lines;
    }
    const std::vector<double> values = urbanRuralIndicatorValues(r, c);
    for (int t = 0; t < r.yearCount; ++t) {
        lines.push_back(std::to_string(r.calendarYear(t)) + "   " +
                        text::formatGeneral(values[static_cast<std::size_t>(t)]));
    }
    return lines;
}

ChartPlan urbanRuralChartPlan(const UrbanRuralResultSet& r, std::string_view listText) {
    ChartPlan plan;
    plan.title = std::string(listText);
    const int c = urbanRuralIndicatorCode(listText);
    if (isStructure(c)) {
        plan.kind = ChartPlan::Kind::Pyramid;
        return plan;
    }
    plan.kind = ChartPlan::Kind::Series;
    plan.values = urbanRuralIndicatorValues(r, c);
    for (int t = 0; t < r.yearCount; ++t) plan.labels.push_back(std::to_string(r.calendarYear(t)));
    return plan;
}

PyramidAnimation urbanRuralPyramid(const UrbanRuralResultSet& r, int c) {
    const AgeYearMatrix* male = &r.totalMaleShare;
    const AgeYearMatrix* female = &r.totalFemaleShare;
    PyramidAnimation animation{"总人口年龄结构金字塔", {}};
    if (c == code::kRuralStructure) {
        male = &r.rural.maleShare;
        female = &r.rural.femaleShare;
        animation.title = "农村人口年龄结构金字塔";
    } else if (c == code::kUrbanStructure) {
        male = &r.urban.maleShare;
        female = &r.urban.femaleShare;
        animation.title = "城市人口年龄结构金字塔";
    }
    for (int t = 0; t < r.yearCount; ++t) {
        PyramidFrame frame;
        frame.title = std::to_string(r.calendarYear(t)) + animation.title;
        for (int a = 0; a < r.ageCount; ++a) {
            frame.ageLabels.push_back(std::to_string(a));
            frame.maleShares.push_back((*male)(a, t));
            frame.femaleShares.push_back((*female)(a, t));
        }
        animation.frames.push_back(std::move(frame));
    }
    return animation;
}

}  // namespace zandor::projection
