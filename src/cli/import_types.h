// The import rules zandor-cli shares with the 导入 dialog, under the names the command uses.
#pragma once

#include "tables/table_import.h"

namespace zandor::cli {

using tables::ColumnTypeGuess;
using tables::CsvLayout;
using tables::chooseFieldTypes;
using tables::escapedText;
using tables::importCsv;
using tables::importWorkbook;
using tables::isWorkbookPath;
using tables::parseWholeNumber;

}  // namespace zandor::cli
