// "导出Excel" of the result windows: the save dialog for an .xlsx file, then the sheets
// written through the workbook writer (replacing the file whole or not at all).
#pragma once

#include <functional>
#include <vector>

#include "tables/xlsx_writer.h"

class QWidget;

namespace zandor::ui {

// Asks for the file and writes the sheets `makeSheets` gives; a failure is told in an
// information box. Returns whether a workbook was written.
bool exportWorkbook(QWidget* parent, const std::function<std::vector<tables::XlsxSheetSpec>()>& makeSheets);

}  // namespace zandor::ui
