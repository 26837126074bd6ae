// The projection results as the sheets of an Excel workbook ("导出Excel" of the results
// dialogs): every indicator of the catalogue, one sheet per group of indicators with the
// calendar years as rows, numbers shown with the decimals of the text listing.
#pragma once

#include <vector>

#include "projection/indicators.h"
#include "projection/urban_rural_results.h"
#include "tables/xlsx_writer.h"

namespace zandor::projection {

// Single region: "人口总量" (total, male, female, urban population and its share), "出生死亡"
// (the rates, births, deaths, natural increase), "年龄结构" (the age groups, their shares and
// the women of childbearing age), "流动人口" (not in ZandorT), "预测参数" (the run's
// parameters and fertility pattern by year) and "年末年龄结构" (the last projected year's
// population by age and sex).
std::vector<tables::XlsxSheetSpec> projectionSheets(const ProjectionResultSet& results, Edition edition);

// Urban-rural: "合计", "农村" and "城市" (each region's totals, age groups and shares by
// year) and "年末年龄结构" (the last projected year's population by age, sex and region).
std::vector<tables::XlsxSheetSpec> urbanRuralSheets(const UrbanRuralResultSet& results);

}  // namespace zandor::projection
