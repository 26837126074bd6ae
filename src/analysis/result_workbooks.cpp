#include "analysis/result_workbooks.h"

#include <string>

namespace zandor::analysis {

std::vector<tables::XlsxSheetSpec> qualitySheets(const IndexReport& report)
{
    std::vector<tables::XlsxSheetSpec> sheets;
    // The window shows the indexes with two decimals.
    std::vector<tables::Record> values;
    const bool byAge = report.labelHeading == "年龄";
    for (const auto& [label, value] : report.values)
        values.push_back({byAge ? tables::Value{std::int64_t{std::stoi(label)}} : tables::Value{label}, value});
    sheets.push_back(tables::xlsxSheetOfRows("数据质量评价", {report.labelHeading, "数值"}, {byAge ? 0 : -1, 2}, std::move(values)));

    static const char* const names[] = {"好", "可接受", "不可接受"};
    std::vector<tables::Record> bands;
    for (std::size_t b = 0; b < report.bands.size(); ++b)
        bands.push_back({std::string(names[b]), report.bands[b]});
    if (report.band)
        bands.push_back({std::string("所在范围"), std::string(names[static_cast<int>(*report.band)])});
    sheets.push_back(tables::xlsxSheetOfRows("指数范围", {"范围", "指数"}, {}, std::move(bands)));
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
    sheets.push_back(tables::xlsxSheetOfRows("目标规划",
                             {"年份", "所需出生人数", "育龄妇女人数", "平均年龄", "mean_TFR", "TFR_up", "TFR_low",
                              "收敛次数", "保留曲线数"},
                             {0, -1, -1, -1, -1, -1, -1, 0, 0}, std::move(summary)));
    sheets.push_back(tables::xlsxSheetOfRows("生育模式", std::move(ages), {0}, std::move(schedules)));
    return sheets;
}

}  // namespace zandor::analysis
