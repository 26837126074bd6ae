// Writing Excel workbooks (.xlsx): sheets of a header row and rows of values. Numbers stay
// numbers (shown with the given decimals), texts are texts, dates dates; the header row is
// bold and frozen, the columns as wide as their longest content. The workbook is made in a
// private temporary file and handed to the one safe writer, so the target is replaced whole
// or not at all.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tables/field.h"

namespace zandor::tables {

struct XlsxSheetSpec {
    std::string name;                  // shortened and cleaned to what Excel takes as a sheet name
    std::vector<std::string> header;   // the field names, UTF-8
    std::vector<int> decimals;         // per column: decimals shown for numbers; -1 (or none): as they come
    // Fills the next row into `row` (one value per header column) and returns true, or
    // returns false after the last row.
    std::function<bool(Record& row)> nextRow;
};

// A sheet of rows made beforehand; the copies of the sheet share the rows.
XlsxSheetSpec xlsxSheetOfRows(std::string name, std::vector<std::string> header, std::vector<int> decimals,
                              std::vector<Record> rows);

// Writes the sheets, in order, as the workbook `path`. Throws OutputFileError or
// std::runtime_error naming the file on failure; the old file is then as it was.
void writeXlsxFile(const std::string& path, const std::vector<XlsxSheetSpec>& sheets);

class TableFile;

// Writes the whole table as the workbook `path`: one sheet named after the table's file, the
// field names as its header, one row per record; a dBase numeric field keeps its decimals as
// the cell format. Refuses (std::runtime_error) a table of more records than a sheet holds.
void writeTableXlsx(TableFile& table, const std::string& path);

// What Excel accepts as a sheet name made from `name`: at most 31 characters, none of
// []:*?/\ , not empty.
std::string xlsxSheetName(const std::string& name);

}  // namespace zandor::tables
