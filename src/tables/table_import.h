// How zandor-cli import chooses the type of each CSV column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/field.h"

namespace zandor::text {
class CsvReader;
}

namespace zandor::cli {

using text::CsvReader;

// A whole number as import takes it for an Integer field: optional blanks around, optional
// sign, decimal digits only, within 32 bits.
std::optional<std::int32_t> parseWholeNumber(std::string_view text);

// What one column's values allow so far.
struct ColumnTypeGuess {
    std::string name;
    std::size_t column = 0;   // 1-based position in the line, for messages (0: not given)
    bool anyValue = false;    // some value is not empty
    bool allWhole = true;     // every value so far is a whole number within 32 bits
    bool allNumbers = true;   // every value so far is a number
    std::size_t width = 0;    // longest value in GBK bytes
    bool holdsLowest = false; // some value is -2147483648, which Paradox keeps for an empty value

    // Takes one value of the column into account. Throws std::runtime_error naming the line
    // and the field when the value is no UTF-8 or has characters outside the GBK code page.
    void add(std::string_view value, std::size_t line);
    tables::FieldDef field() const;
};

struct CsvLayout {
    std::vector<tables::FieldDef> fields;  // one per header name, in order
    std::vector<bool> holdsLowest;         // per field: an Integer column holds -2147483648
    std::size_t records = 0;               // lines after the header
};

// Bytes that are no UTF-8 shown as \xHH, the rest as it is.
std::string escapedText(std::string_view bytes);

// Reads the whole CSV (header first) and returns the field definitions of the new table.
// Throws Refusal for a line with the wrong number of values, CsvFormatError for broken quoting.
CsvLayout chooseFieldTypes(CsvReader& reader, const std::string& source);

// Whether the source of an import is an Excel workbook (.xlsx, .xlsm), by its name.
bool isWorkbookPath(const std::string& path);

// Creates the table `target` from the worksheet `sheet` (the first when not given) of the
// workbook `source`, by the same rewrite as a CSV import. Returns the remarks of the rewrite
// (field names the format changed). Throws Refusal, naming the sheet and cell where a cell
// is the cause; nothing is written then.
std::vector<std::string> importWorkbook(const std::string& source, const std::string& target,
                                        const std::optional<std::string>& sheet);

}  // namespace zandor::cli
