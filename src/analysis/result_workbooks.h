// The results of the quality indexes and of target planning as the sheets of an Excel
// workbook ("导出Excel" of their windows), numbers shown with the decimals of the windows.
#pragma once

#include <vector>

#include "analysis/data_quality.h"
#include "analysis/target_planning.h"
#include "tables/xlsx_writer.h"

namespace zandor::analysis {

// "数据质量评价": the index values (by age for the age preference index) with two decimals;
// "指数范围": the three bands and, for a single index, the band its value falls in.
std::vector<tables::XlsxSheetSpec> qualitySheets(const IndexReport& report);

// "目标规划": per finished planning year the required births, the women 15-49 and their mean
// age, mean_TFR, TFR_up, TFR_low and the converged and retained runs; "生育模式": per
// finished year the mean fertility schedule of ages 15 to 49.
std::vector<tables::XlsxSheetSpec> targetPlanSheets(const TargetBirths& births,
                                                    const std::vector<TargetYearResult>& years);

}  // namespace zandor::analysis
