// The presentations of an indicator: the text listing of "数据显示", the chart series and the
// frames of the age pyramid.
#include "projection/indicators.h"

#include "projection/messages.h"
#include "text/numbers.h"

namespace zandor::projection {

namespace {

// What follows a listing's heading when the run used the exact mode.
std::string exactMark(bool exact) { return exact ? std::string(label::kExactModeMark) : std::string(); }

std::string yearLine(int year, std::string_view value) { return std::to_string(year) + "    " + std::string(value); }

// The age table of the last projected year (the end year given to the run as heading).
void ageStructureLines(const ProjectionResultSet& r, std::vector<std::string>& lines) {
    lines.push_back(std::to_string(r.endYear) + "年 " + "年龄结构" + exactMark(r.exact));
    lines.push_back("年龄  男性        女性");
    for (int a = 0; a < r.ageCount; ++a) {
        const auto age = static_cast<std::size_t>(a);
        lines.push_back(std::to_string(a) + "  " + text::formatGeneral(text::roundHalfEven(r.malePopulation[age])) +
                        "   " + text::formatGeneral(text::roundHalfEven(r.femalePopulation[age])));
    }
}

void parameterBlock(const ProjectionResultSet& r, std::string_view heading, int element,
                    std::vector<std::string>& lines) {
    lines.emplace_back(heading);
    for (int t = 0; t < r.yearCount; ++t) {
        lines.push_back(yearLine(r.calendarYear(t), text::formatGeneral(r.parameters[static_cast<std::size_t>(t)]
                                                                             [static_cast<std::size_t>(element)])));
    }
}

// Zandor: five blocks of seven ages (15-21 ... 43-49), a row of values per year.
void patternBlocks(const ProjectionResultSet& r, std::vector<std::string>& lines) {
    for (int block = 0; block < 5; ++block) {
        const int firstAge = 15 + 7 * block;
        std::string header(9, ' ');
        for (int age = firstAge; age < firstAge + 7; ++age) header += "      " + std::to_string(age);
        lines.push_back(header);
        for (int t = 0; t < r.yearCount; ++t) {
            std::string line = std::to_string(r.calendarYear(t)) + "   ";
            for (int age = firstAge; age < firstAge + 7; ++age) {
                const double value = r.parameters[static_cast<std::size_t>(t)]
                                                 [static_cast<std::size_t>(parameter::kFirstPattern + age - 15)];
                line += "  " + text::formatPattern(value, "####.######");
            }
            lines.push_back(line);
        }
    }
}

// ZandorT: one line per year and age.
void patternLines(const ProjectionResultSet& r, std::vector<std::string>& lines) {
    for (int t = 0; t < r.yearCount; ++t) {
        for (int age = 15; age <= 49; ++age) {
            const double value =
                r.parameters[static_cast<std::size_t>(t)][static_cast<std::size_t>(parameter::kFirstPattern + age - 15)];
            lines.push_back(yearLine(r.calendarYear(t), text::formatGeneral(value)));
        }
    }
}

void parameterLines(const ProjectionResultSet& r, Edition edition, std::vector<std::string>& lines) {
    parameterBlock(r, "总和生育率", parameter::kTfr, lines);
    parameterBlock(r, "出生性别比", parameter::kSexRatio, lines);
    parameterBlock(r, "男性平均预期寿命", parameter::kMaleE0, lines);
    parameterBlock(r, "女性平均预期寿命", parameter::kFemaleE0, lines);
    lines.emplace_back("生育模式");
    if (edition == Edition::Target) {
        patternLines(r, lines);
    } else {
        patternBlocks(r, lines);
    }
    parameterBlock(r, "流动人口规模", parameter::kNewMigrants, lines);
    parameterBlock(r, "流动人口出生率", parameter::kMigrantBirthRate, lines);
    parameterBlock(r, "流动人口死亡率", parameter::kMigrantDeathRate, lines);
    if (r.exact) lines.emplace_back(label::kExactModeRecord);
}

bool listedRounded(int code) {
    return code == indicator::kBirths || code == indicator::kDeaths || code == indicator::kNaturalIncrease;
}

}  // namespace

std::vector<std::string> textListing(const ProjectionResultSet& r, std::string_view listText, Edition edition) {
    const int code = indicatorCode(listText, edition);
    std::vector<std::string> lines;
    lines.emplace_back();  // the empty line at the top
    if (code == indicator::kAgeStructure) {
        ageStructureLines(r, lines);
        return lines;
    }
    lines.push_back(std::string(listText) + exactMark(r.exact));
    if (code == indicator::kParameters) {
        parameterLines(r, edition, lines);
        return lines;
    }
    const std::vector<double> values = indicatorValues(r, code);
    for (int t = 0; t < r.yearCount; ++t) {
        double value = values[static_cast<std::size_t>(t)];
        if (listedRounded(code)) value = text::roundHalfEven(value);
        lines.push_back(yearLine(r.calendarYear(t), text::formatGeneral(value)));
    }
    return lines;
}

ChartPlan chartPlan(const ProjectionResultSet& r, std::string_view listText, Edition edition) {
    ChartPlan plan;
    plan.title = std::string(listText);
    int code = indicatorCode(listText, edition);
    if (code == indicator::kAgeStructure) {
        plan.kind = ChartPlan::Kind::Pyramid;
        return plan;
    }
    // ZandorT has no chart for its parameter entry and draws the total population instead.
    if (edition == Edition::Target && code == indicator::kParameters) code = indicator::kTotal;
    if (code >= indicator::kMigrantPopulation) return plan;
    plan.kind = ChartPlan::Kind::Series;
    plan.values = indicatorValues(r, code);
    for (int t = 0; t < r.yearCount; ++t) plan.labels.push_back(std::to_string(r.calendarYear(t)));
    return plan;
}

PyramidFrame pyramidFrame(const ProjectionResultSet& r, int t) {
    PyramidFrame frame;
    frame.title = std::to_string(r.calendarYear(t)) + " " + std::string(kPyramidTitle);
    for (int a = 0; a < r.ageCount; ++a) {
        frame.ageLabels.push_back(std::to_string(a));
        frame.maleShares.push_back(r.maleShare(a, t));
        frame.femaleShares.push_back(r.femaleShare(a, t));
    }
    return frame;
}

}  // namespace zandor::projection
