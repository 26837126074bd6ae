// A new table from a CSV file or one worksheet of an Excel workbook, with each column's type
// chosen from its values: the rules zandor-cli import and the 导入 dialog share. The source
// is read twice, one record in memory at a time: the first pass chooses the field types, the
// second writes the records through the table store's safe rewrite.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/batch_move.h"
#include "tables/field.h"
#include "tables/table_file.h"

namespace zandor::text {
class CsvReader;
}

namespace zandor::tables {

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
    FieldDef field() const;
};

struct CsvLayout {
    std::vector<FieldDef> fields;   // one per header name, in order
    std::vector<bool> holdsLowest;  // per field: an Integer column holds -2147483648
    std::size_t records = 0;        // lines after the header
};

// The layout as a new table of `format` takes it: Paradox keeps the lowest 32-bit number for
// an empty value, so a column holding it becomes a Float field there and the value is kept.
void fitLayoutToFormat(CsvLayout& layout, TableFormat format);

// An import's source (a CSV file, a worksheet) seen as a read-only table whose fields have
// the chosen types: its chosen kinds as the table store's stored types, each as wide as the
// field. A source reads its records in order, from the start again for an earlier one.
class ImportSource : public TableFile {
public:
    ImportSource(std::string path, const CsvLayout& layout);

    TableFormat format() const override { return TableFormat::Ascii; }
    const std::string& path() const override { return path_; }
    const std::vector<FieldInfo>& fields() const override { return fields_; }
    std::size_t recordCount() const override { return records_; }
    bool readOnly() const override { return true; }
    // Throws TableError for an index past the last record, else readAt.
    void read(std::size_t index, Record& out) final;
    void write(std::size_t, const Record&) override { readOnlyError(); }
    void append(const Record&) override { readOnlyError(); }
    void remove(std::size_t) override { readOnlyError(); }
    void flush() override {}

    // Creates the table `target` of `format` from every record, by the table store's safe
    // rewrite (the new file beside the target, moved into place with its companion files
    // only when complete), under the table's lock and never replacing: an import to the same
    // new name that another program finished meanwhile is kept, and this one refused.
    // Returns the remarks of the rewrite.
    std::vector<std::string> importInto(const std::string& target, TableFormat format, const CopyHook& afterRecord);

protected:
    // Record `index` (below recordCount()), one value per field.
    virtual void readAt(std::size_t index, Record& out) = 0;

private:
    [[noreturn]] void readOnlyError() const;

    std::string path_;
    std::vector<FieldDef> definitions_;
    std::vector<FieldInfo> fields_;
    std::size_t records_;
};

// The first rows of the source as text, kept while the types are chosen (for a preview).
struct FirstRows {
    std::size_t wanted = 0;
    std::vector<std::vector<std::string>> rows;
};

// Called during the pass that chooses the types, with the number of records read so far;
// it may throw to abandon the import.
using ReadHook = std::function<void(std::size_t read)>;

// Bytes that are no UTF-8 shown as \xHH, the rest as it is.
std::string escapedText(std::string_view bytes);

// Reads the whole CSV (header first) and returns the field definitions of the new table.
// Throws Refusal for a line with the wrong number of values, text::CsvFormatError for broken
// quoting.
CsvLayout chooseFieldTypes(text::CsvReader& reader, const std::string& source, FirstRows* first = nullptr,
                           const ReadHook& afterRead = {});

// Whether the source of an import is an Excel workbook (.xlsx, .xlsm), by its name.
bool isWorkbookPath(const std::string& path);

// The worksheets of the workbook `source`, in order. Throws Refusal when it is no workbook.
std::vector<std::string> workbookSheets(const std::string& source);

// What an import would create, found without writing anything.
struct ImportPreview {
    std::string sheet;                           // the worksheet read (a workbook only)
    std::vector<FieldDef> fields;                // as the new table of the given format gets them
    std::vector<std::vector<std::string>> rows;  // the first records as text, one value per field
    std::size_t records = 0;
};

// Reads `source` (a CSV file, or the worksheet `sheet` of a workbook, the first when not
// given) as an import into a table of `format` would, keeping its first `rows` records.
// Throws what the import itself would refuse.
ImportPreview previewImport(const std::string& source, TableFormat format, const std::optional<std::string>& sheet,
                            std::size_t rows, const ReadHook& afterRead = {});

// Creates the table `target` (its format from the extension) from the CSV file `source`.
// Returns the remarks of the rewrite (field names the format changed). Throws Refusal for
// broken quoting or a line of the wrong length, std::runtime_error for a value no table
// holds, TableExists when the target exists or appears meanwhile; nothing is written then.
std::vector<std::string> importCsv(const std::string& source, const std::string& target,
                                   const ReadHook& afterRead = {}, const CopyHook& afterRecord = {});

// Creates the table `target` from the worksheet `sheet` (the first when not given) of the
// workbook `source`, by the same rewrite as a CSV import. Returns the remarks of the rewrite
// (field names the format changed). Throws Refusal, naming the sheet and cell where a cell
// is the cause; nothing is written then.
std::vector<std::string> importWorkbook(const std::string& source, const std::string& target,
                                        const std::optional<std::string>& sheet, const ReadHook& afterRead = {},
                                        const CopyHook& afterRecord = {});

}  // namespace zandor::tables
