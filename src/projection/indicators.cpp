// The indicator catalogue and each indicator's yearly values.
#include "projection/indicators.h"

#include <algorithm>
#include <stdexcept>

namespace zandor::projection {

namespace {

const std::vector<std::string> kFullCatalogue = {
    "总人口数",        "男性总人口数",   "女性总人口数",   "0--14岁人口数",  "15--64岁人口数", "老年人口数",
    "0--14岁人口比重", "15--64岁人口比重", "老年人口比重",   "城镇人口数",     "城镇人口比重",   "出生率",
    "死亡率",          "自然增长率",     "婴儿死亡率",     "出生人数",       "死亡人数",       "自然增加",
    "育龄妇女人口数",  "23岁女性",       "20-29岁女性",    "总人口年龄结构", "6岁人口",        "7岁人口",
    "11岁人口",        "15岁人口",       "18岁人口",       "6-10岁人口",     "15-24岁人口",    "25-44岁人口",
    "45-64岁人口",     "19_64岁人口",    "流动人口规模",   "流动人口出生数", "流动人口死亡数", "人口预测参数设置",
};

std::vector<std::string> targetCatalogue() {
    std::vector<std::string> entries(kFullCatalogue.begin(), kFullCatalogue.begin() + indicator::kMigrantPopulation);
    entries.push_back(kFullCatalogue[indicator::kParameters]);
    return entries;
}

// A share or rate of a year without population is 0.
std::vector<double> quotient(const std::vector<double>& numerator, const std::vector<double>& denominator) {
    std::vector<double> out(numerator.size());
    for (std::size_t t = 0; t < out.size(); ++t) out[t] = denominator[t] == 0 ? 0.0 : numerator[t] / denominator[t];
    return out;
}

std::vector<double> difference(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> out(a.size());
    for (std::size_t t = 0; t < out.size(); ++t) out[t] = a[t] - b[t];
    return out;
}

}  // namespace

const std::vector<std::string>& indicatorCatalogue(Edition edition) {
    static const std::vector<std::string> target = targetCatalogue();
    return edition == Edition::Target ? target : kFullCatalogue;
}

int indicatorCode(std::string_view listText, Edition edition) {
    const auto& entries = indicatorCatalogue(edition);
    const auto it = std::find(entries.begin(), entries.end(), listText);
    if (it == entries.end()) return indicator::kTotal;
    const auto position = static_cast<int>(it - entries.begin());
    if (edition == Edition::Target && position == indicator::kMigrantPopulation) return indicator::kParameters;
    return position;
}

std::vector<double> indicatorValues(const ProjectionResultSet& r, int code) {
    switch (code) {
    case 0: return r.total;
    case 1: return r.maleTotal;
    case 2: return r.femaleTotal;
    case 3: return r.age0to14;
    case 4: return r.age15to64;
    case 5: return r.age65plus;
    case 6: return quotient(r.age0to14, r.total);
    case 7: return quotient(r.age15to64, r.total);
    case 8: return quotient(r.age65plus, r.total);
    case 9: return r.urban;
    case 10: return quotient(r.urban, r.total);
    case 11: return r.crudeBirthRate;
    case 12: return r.crudeDeathRate;
    case 13: return difference(r.crudeBirthRate, r.crudeDeathRate);
    case 14: return r.infantMortalityRate;
    case 15: return r.births;
    case 16: return r.deaths;
    case 17: return difference(r.births, r.deaths);
    case 18: return r.women15to49;
    case 19: return r.womenAged23;
    case 20: return r.women20to29;
    case 22: return r.aged6;
    case 23: return r.aged7;
    case 24: return r.aged11;
    case 25: return r.aged15;
    case 26: return r.aged18;
    case 27: return r.age6to10;
    case 28: return r.age15to24;
    case 29: return r.age25to44;
    case 30: return r.age45to64;
    case 31: return r.age19to64;
    case 32: return r.migrantPopulation;
    case 33: return r.migrantBirths;
    case 34: return r.migrantDeaths;
    default: break;
    }
    throw std::invalid_argument("indicator " + std::to_string(code) + " has no yearly values");
}

}  // namespace zandor::projection
