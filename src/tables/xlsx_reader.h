// Reading Office Open XML workbooks (.xlsx): the list of worksheets, and one worksheet row by
// row. The sheet is streamed out of the zip archive and parsed as it comes, so a sheet of a
// million rows is read in a few hundred kilobytes; only the shared strings (the texts cells
// refer to by number) and the cell styles are held whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tables/field.h"

namespace zandor::tables {

// The file is no workbook, or a part of it cannot be read. The message names the file.
class XlsxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class XlsxCellKind { Empty, Number, Text, Boolean, Error };

struct XlsxCell {
    std::uint32_t column = 0;  // 1-based (A = 1)
    XlsxCellKind kind = XlsxCellKind::Empty;
    double number = 0;         // Number
    bool truth = false;        // Boolean
    bool dateStyle = false;    // Number shown with a date format
    std::string text;          // Text, or the error value (#DIV/0!) of an Error cell
};

struct XlsxRow {
    std::uint32_t number = 0;      // 1-based
    std::vector<XlsxCell> cells;   // in the order of the file, empty cells left out
};

// A rectangle of merged cells, 1-based and inclusive.
struct XlsxMerge {
    std::uint32_t firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;
};

class XlsxSheetReader {
public:
    virtual ~XlsxSheetReader() = default;
    // The next row that holds at least one cell element; false after the last one.
    virtual bool nextRow(XlsxRow& row) = 0;
    // The merged ranges; complete once nextRow has returned false.
    virtual const std::vector<XlsxMerge>& merges() const = 0;
};

class XlsxWorkbook {
public:
    virtual ~XlsxWorkbook() = default;
    // Opens the workbook file `path`, reading its list of sheets, shared strings and styles.
    static std::unique_ptr<XlsxWorkbook> open(const std::string& path);
    // The same from the bytes of a file held in memory (kept by the caller while in use).
    static std::unique_ptr<XlsxWorkbook> openBytes(std::string_view bytes, const std::string& name);

    virtual const std::vector<std::string>& sheetNames() const = 0;
    // Starts reading the sheet at `index` of sheetNames() from its first row.
    virtual std::unique_ptr<XlsxSheetReader> openSheet(std::size_t index) = 0;
    // Whether serial day numbers count from 1904 rather than 1900.
    virtual bool dates1904() const = 0;
};

// The calendar date of a whole serial day number as the workbook counts them; false when the
// number is no date (below 1, the 29 February 1900 that the 1900 count wrongly holds, past 9999).
bool xlsxSerialDate(double serial, bool dates1904, Date& out);

// "A1" style reference of a cell.
std::string xlsxCellName(std::uint32_t column, std::uint32_t row);

// Whether the number format code (as in styles) shows a date or time.
bool xlsxIsDateFormat(std::string_view formatCode);

}  // namespace zandor::tables
