#include "analysis/result_workbooks.h"

#include <memory>
#include <string>

namespace zandor::analysis {

namespace {

// A sheet of rows made beforehand.
tables::XlsxSheetSpec sheetOf(std::string name, std::vector<std::string> header, std::vector<int> decimals,
                              std::vector<tables::Record> rows)
{
    auto held = std::make_shared<std::vector<tables::Record>>(std::move(rows));
    auto next = std::make_shared<std::size_t>(0);
    return {std::move(name), std::move(header), std::move(decimals), [held, next](tables::Record& row) {
                if (*next >= held->size())
                    return false;
                row = (*held)[(*next)++];
                return true;
            }};
}

}  // namespace

std::vector<tables::XlsxSheetSpec> qualitySheets(const IndexReport& report)
{
    std::vector<tables::XlsxSheetSpec> sheets;
    // The window shows the indexes with two decimals.
    std::vector<tables::Record> values;
    const bool byAge = report.labelHeading == "年龄";
    for (const auto& [label, value] : report.values)
        values.push_back({byAge ? tables::Value{std::int64_t{std::stoi(label)}} : tables::Value{label}, value});
    sheets.push_back(sheetOf("数据质量评价", {report.labelHeading, "数值"}, {byAge ? 0 : -1, 2}, std::move(values)));

    static const char* const names[] = {"好", "可接受", "不可接受"};
    std::vector<tables::Record> bands;
    for (std::size_t b = 0; b < report.bands.size(); ++b)
        bands.push_back({std::string(names[b]), report.bands[b]});
    if (report.band)
        bands.push_back({std::string("所在范围"), std::string(names[static_cast<int>(*report.band)])});
    sheets.push_back(sheetOf("指数范围", {"范围", "指数"}, {}, std::move(bands)));
    return sheets;
}

std::vector<tables::XlsxSheetSpec> targetPlanSheets(const TargetBirths& births,
                                                    const std::vector<TargetYearResult>& years)
{
    std::vector<tables::Record> summary, schedules;
    for (const TargetYearResult& year : years) {
        const auto y = static_cast<std::size_t>(year.yearIndex);
        const std::int64_t calendar = births.fromYear + year.yearIndex;
        summary.push_back({calendar, births.births[y], births.womenCount[y], births.meanAge[y], year.meanTfr,
                           year.tfrUp, year.tfrLow, std::int64_t{year.converged}, std::int64_t{year.retained}});
        tables::Record row{calendar};
        for (double c : year.meanSchedule)
            row.emplace_back(c);
        schedules.push_back(std::move(row));
    }
    std::vector<std::string> ages{"年份"};
    for (int age = 15; age < 15 + kTargetGenes; ++age)
        ages.push_back(std::to_string(age) + "岁");
    std::vector<tables::XlsxSheetSpec> sheets;
    sheets.push_back(sheetOf("目标规划",
                             {"年份", "所需出生人数", "育龄妇女人数", "平均年龄", "mean_TFR", "TFR_up", "TFR_low",
                              "收敛次数", "保留曲线数"},
                             {0, -1, -1, -1, -1, -1, -1, 0, 0}, std::move(summary)));
    sheets.push_back(sheetOf("生育模式", std::move(ages), {0}, std::move(schedules)));
    return sheets;
}

}  // namespace zandor::analysis
