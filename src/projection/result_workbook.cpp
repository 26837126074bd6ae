#include "projection/result_workbook.h"

#include <string>

#include "text/numbers.h"

namespace zandor::projection {

namespace {

// A column of yearly values under its heading, with the decimals the listing shows.
struct Column {
    std::string heading;
    std::vector<double> values;
    int decimals = -1;  // -1: as the general number form shows them
};

tables::XlsxSheetSpec yearSheet(std::string name, int yearCount, int baseYear, const std::vector<Column>& columns)
{
    std::vector<std::string> header{"年份"};
    std::vector<int> decimals{0};
    for (const Column& c : columns) {
        header.push_back(c.heading);
        decimals.push_back(c.decimals);
    }
    std::vector<tables::Record> rows;
    for (int t = 0; t < yearCount; ++t) {
        tables::Record row{std::int64_t{baseYear + 1 + t}};
        for (const Column& c : columns) {
            const double value = c.values[static_cast<std::size_t>(t)];
            row.emplace_back(c.decimals == 0 ? text::roundHalfEven(value) : value);
        }
        rows.push_back(std::move(row));
    }
    return tables::xlsxSheetOfRows(std::move(name), std::move(header), std::move(decimals), std::move(rows));
}

std::vector<Column> indicatorColumns(const ProjectionResultSet& r, const std::vector<int>& codes)
{
    const auto& catalogue = indicatorCatalogue(Edition::Full);
    std::vector<Column> columns;
    for (int code : codes) {
        // Births, deaths and natural increase are listed as whole persons.
        const bool whole = code == indicator::kBirths || code == indicator::kDeaths ||
                           code == indicator::kNaturalIncrease;
        columns.push_back({catalogue[static_cast<std::size_t>(code)], indicatorValues(r, code), whole ? 0 : -1});
    }
    return columns;
}

std::vector<double> parameterSeries(const ProjectionResultSet& r, int element)
{
    std::vector<double> values;
    for (const ParameterRecord& p : r.parameters)
        values.push_back(p[static_cast<std::size_t>(element)]);
    return values;
}

}  // namespace

std::vector<tables::XlsxSheetSpec> projectionSheets(const ProjectionResultSet& r, Edition edition)
{
    std::vector<tables::XlsxSheetSpec> sheets;
    sheets.push_back(yearSheet("人口总量", r.yearCount, r.baseYear, indicatorColumns(r, {0, 1, 2, 9, 10})));
    sheets.push_back(yearSheet("出生死亡", r.yearCount, r.baseYear, indicatorColumns(r, {11, 12, 13, 14, 15, 16, 17})));
    sheets.push_back(yearSheet("年龄结构", r.yearCount, r.baseYear,
                               indicatorColumns(r, {3, 4, 5, 6, 7, 8, 18, 19, 20, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31})));
    if (edition != Edition::Target)
        sheets.push_back(yearSheet("流动人口", r.yearCount, r.baseYear, indicatorColumns(r, {32, 33, 34})));

    std::vector<Column> parameters = {
        {"总和生育率", parameterSeries(r, parameter::kTfr)},
        {"出生性别比", parameterSeries(r, parameter::kSexRatio)},
        {"男性平均预期寿命", parameterSeries(r, parameter::kMaleE0)},
        {"女性平均预期寿命", parameterSeries(r, parameter::kFemaleE0)},
    };
    if (edition != Edition::Target) {
        parameters.push_back({"流动人口规模", parameterSeries(r, parameter::kNewMigrants)});
        parameters.push_back({"流动人口出生率", parameterSeries(r, parameter::kMigrantBirthRate)});
        parameters.push_back({"流动人口死亡率", parameterSeries(r, parameter::kMigrantDeathRate)});
    }
    // The fertility pattern, one column per age, with the six decimals of its listing.
    for (int age = 15; age <= 49; ++age)
        parameters.push_back({"生育模式" + std::to_string(age) + "岁",
                              parameterSeries(r, parameter::kFirstPattern + age - 15),
                              edition == Edition::Target ? -1 : 6});
    if (!r.parameters.empty())
        sheets.push_back(yearSheet("预测参数", r.yearCount, r.baseYear, parameters));

    std::vector<tables::Record> ages;
    for (int a = 0; a < r.ageCount; ++a) {
        const auto age = static_cast<std::size_t>(a);
        ages.push_back({std::int64_t{a}, r.malePopulation[age], r.femalePopulation[age]});
    }
    sheets.push_back(tables::xlsxSheetOfRows(std::to_string(r.endYear) + "年年龄结构", {"年龄", "男性", "女性"}, {0, 0, 0},
                             std::move(ages)));
    return sheets;
}

std::vector<tables::XlsxSheetSpec> urbanRuralSheets(const UrbanRuralResultSet& r)
{
    const auto& catalogue = urbanRuralCatalogue();
    std::vector<tables::XlsxSheetSpec> sheets;
    const std::pair<const char*, int> regions[] = {{"合计", urban_rural_indicator::kTotal},
                                                   {"农村", urban_rural_indicator::kRuralTotal},
                                                   {"城市", urban_rural_indicator::kUrbanTotal}};
    for (const auto& [name, first] : regions) {
        std::vector<Column> columns;
        for (int code = first; code < first + 9; ++code)
            columns.push_back({catalogue[static_cast<std::size_t>(code)], urbanRuralIndicatorValues(r, code)});
        sheets.push_back(yearSheet(name, r.yearCount, r.baseYear, columns));
    }
    std::vector<tables::Record> ages;
    for (int a = 0; a < r.ageCount; ++a) {
        const auto age = static_cast<std::size_t>(a);
        const double ruralMale = r.rural.malePopulation[age], ruralFemale = r.rural.femalePopulation[age];
        const double urbanMale = r.urban.malePopulation[age], urbanFemale = r.urban.femalePopulation[age];
        ages.push_back({std::int64_t{a}, ruralMale + urbanMale, ruralFemale + urbanFemale, ruralMale, ruralFemale,
                        urbanMale, urbanFemale});
    }
    sheets.push_back(tables::xlsxSheetOfRows(std::to_string(r.endYear) + "年年龄结构",
                             {"年龄", "男性", "女性", "农村男性", "农村女性", "城市男性", "城市女性"},
                             {0, 0, 0, 0, 0, 0, 0}, std::move(ages)));
    return sheets;
}

}  // namespace zandor::projection
