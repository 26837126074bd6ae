// zandor-cli import SOURCE.csv TABLE: a new table from a CSV file, with each column's type
// chosen from its values.
#include "cli/import_types.h"

#include <charconv>
#include <cstdio>
#include <stdexcept>

#include "cli/commands.h"
#include "text/csv_reader.h"
#include "tables/batch_move.h"
#include "tables/binary_file.h"
#include "tables/codepage.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::cli {

using text::CsvFormatError;
using text::CsvReader;

namespace {

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool isAscii(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

std::string lineText(std::size_t line)
{
    return "line " + std::to_string(line);
}

}  // namespace

std::optional<std::int32_t> parseWholeNumber(std::string_view text)
{
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+'))
            return std::nullopt;
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

void ColumnTypeGuess::add(std::string_view value, std::size_t line)
{
    if (value.empty())
        return;
    if (value.find('\0') != std::string_view::npos)
        throw std::runtime_error(lineText(line) + ", column " + std::to_string(column) + ", field " + name +
                                 ": the value '" + escapedText(value) + "' holds a NUL byte, which no table stores");
    anyValue = true;
    const std::optional<std::int32_t> parsed = allWhole ? parseWholeNumber(value) : std::nullopt;
    const bool whole = parsed.has_value();
    holdsLowest = holdsLowest || (whole && *parsed == INT32_MIN);
    const bool number = whole || (allNumbers && text::parseNumber(value).has_value());
    allWhole = whole;
    allNumbers = number;
    std::size_t bytes = value.size();
    if (!number && !isAscii(value)) {
        const std::string where = lineText(line) + (column > 0 ? ", column " + std::to_string(column) : "")
                                  + ", field " + name + ": the value '" + escapedText(value) + "'";
        if (escapedText(value) != value)
            throw std::runtime_error(where + " is no UTF-8 text");
        const auto encoded = tables::encodeText(value, tables::kDefaultCodePage);
        if (!encoded)
            throw std::runtime_error(where + " has characters outside the GBK code page");
        bytes = encoded->size();
    }
    if (bytes > width)
        width = bytes;
}

std::string escapedText(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        // The length of a well-formed sequence starting here (0: none).
        // A NUL is shown as \x00: it would end the message where it is printed.
        std::size_t n = c == 0 ? 0 : c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        if (n > 1) {
            if (i + n > bytes.size())
                n = 0;
            for (std::size_t k = 1; n && k < n; ++k)
                if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                    n = 0;
            if (n) {
                const auto c1 = static_cast<unsigned char>(bytes[i + 1]);
                if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) || (c == 0xF0 && c1 < 0x90) ||
                    (c == 0xF4 && c1 > 0x8F))
                    n = 0;  // overlong forms, surrogates, beyond U+10FFFF
            }
        }
        if (n == 0) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
            ++i;
            continue;
        }
        out.append(bytes.substr(i, n));
        i += n;
    }
    return out;
}

tables::FieldDef ColumnTypeGuess::field() const
{
    tables::FieldDef def;
    def.name = name;
    if (anyValue && allWhole) {
        def.kind = tables::FieldKind::Integer;
    } else if (anyValue && allNumbers) {
        def.kind = tables::FieldKind::Float;
    } else {
        def.kind = tables::FieldKind::Char;
        def.size = width < 1 ? 1 : static_cast<int>(width);
    }
    return def;
}

CsvLayout chooseFieldTypes(CsvReader& reader, const std::string& source)
{
    std::vector<std::string> values;
    if (!reader.next(values))
        throw Refusal(source + " is empty: the first line must hold the field names");
    std::vector<ColumnTypeGuess> columns(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        // Field names are text like any other: UTF-8 without NUL bytes.
        const std::string where = source + " " + lineText(reader.line()) + ", column " + std::to_string(i + 1) +
                                  ": the field name '" + escapedText(values[i]) + "'";
        if (values[i].find('\0') != std::string::npos)
            throw std::runtime_error(where + " holds a NUL byte, which no table stores");
        if (escapedText(values[i]) != values[i])
            throw std::runtime_error(where + " is no UTF-8 text: the file must be written in UTF-8");
        columns[i].name = values[i];
        columns[i].column = i + 1;
    }
    CsvLayout layout;
    while (reader.next(values)) {
        ++layout.records;
        if (values.size() != columns.size())
            throw Refusal(source + " " + lineText(reader.line()) + " has "
                          + std::to_string(values.size()) + " values, the header has "
                          + std::to_string(columns.size()));
        for (std::size_t i = 0; i < values.size(); ++i)
            columns[i].add(values[i], reader.line());
    }
    layout.fields.reserve(columns.size());
    for (const ColumnTypeGuess& column : columns) {
        layout.fields.push_back(column.field());
        layout.holdsLowest.push_back(column.holdsLowest && layout.fields.back().kind == tables::FieldKind::Integer);
    }
    return layout;
}

namespace {

tables::Value cellValue(const std::string& text, tables::FieldKind kind)
{
    if (text.empty())
        return std::monostate{};
    switch (kind) {
    case tables::FieldKind::Integer:
        return static_cast<std::int64_t>(*parseWholeNumber(text));
    case tables::FieldKind::Float:
        return *text::parseNumber(text);
    default:
        return text;
    }
}

tables::StorageType storageOf(tables::FieldKind kind)
{
    switch (kind) {
    case tables::FieldKind::Integer: return tables::StorageType::LongInt;
    case tables::FieldKind::Float: return tables::StorageType::Number;
    default: return tables::StorageType::Alpha;
    }
}

// The CSV file seen as a read-only table whose fields have the chosen types, so that the
// table store's safe rewrite (new file beside the target, moved into place with its
// companion files only when complete) writes the new table.
class CsvTable final : public tables::TableFile {
public:
    CsvTable(std::string path, CsvReader& reader, const CsvLayout& layout)
        : path_(std::move(path)), reader_(reader), records_(layout.records)
    {
        for (const tables::FieldDef& def : layout.fields) {
            tables::FieldInfo info;
            info.name = def.name;
            info.storage = storageOf(def.kind);
            info.size = def.size;
            info.width = def.size;
            fields_.push_back(info);
        }
        rewind();
    }

    tables::TableFormat format() const override { return tables::TableFormat::Ascii; }
    const std::string& path() const override { return path_; }
    const std::vector<tables::FieldInfo>& fields() const override { return fields_; }
    std::size_t recordCount() const override { return records_; }
    bool readOnly() const override { return true; }

    void read(std::size_t index, tables::Record& out) override
    {
        if (index >= records_)
            throw tables::TableError(path_ + ": there is no record " + std::to_string(index + 1));
        if (index < next_)
            rewind();
        while (next_ <= index) {
            reader_.next(values_);
            ++next_;
        }
        out.resize(fields_.size());
        for (std::size_t i = 0; i < fields_.size(); ++i)
            out[i] = cellValue(values_[i], fields_[i].kind());
    }

    void write(std::size_t, const tables::Record&) override { readOnlyError(); }
    void append(const tables::Record&) override { readOnlyError(); }
    void remove(std::size_t) override { readOnlyError(); }
    void flush() override {}

private:
    void rewind()
    {
        reader_.rewind();
        reader_.next(values_);  // the header
        next_ = 0;
    }
    [[noreturn]] void readOnlyError() const
    {
        throw tables::TableError(path_ + " is read as a source only");
    }

    std::string path_;
    CsvReader& reader_;
    std::size_t records_;
    std::vector<tables::FieldInfo> fields_;
    std::vector<std::string> values_;
    std::size_t next_ = 0;
};

std::string existingMessage(const std::string& target)
{
    return target + " exists already: import only creates new tables";
}

int runImport(const ParsedArgs& args, Streams& io)
{
    const std::string& source = args.positional(0);
    const std::string& target = args.positional(1);
    const tables::TableFormat format = tables::formatOfPath(target);
    if (tables::fileExists(target))
        throw Refusal(existingMessage(target));
    if (isWorkbookPath(source)) {
        std::vector<std::string> remarks;
        try {
            remarks = importWorkbook(source, target, args.value("sheet"));
        } catch (const tables::TableExists&) {
            throw Refusal(existingMessage(target));
        }
        for (const std::string& remark : remarks)
            std::fprintf(io.err, "%s\n", remark.c_str());
        return 0;
    }
    if (args.has("sheet"))
        throw Refusal("--sheet is for a workbook (.xlsx); " + source + " is read as a CSV file");

    // Two passes over the file, one record in memory at a time: the first chooses the field
    // types, the second writes the records.
    const auto reader = CsvReader::openFile(source);
    CsvLayout layout;
    try {
        layout = chooseFieldTypes(*reader, source);
    } catch (const CsvFormatError& e) {
        throw Refusal(source + " " + e.what());
    }

    // Paradox keeps the lowest 32-bit number for an empty value: a column holding it becomes
    // a Float field there, so the value is kept.
    if (format == tables::TableFormat::Paradox)
        for (std::size_t i = 0; i < layout.fields.size(); ++i)
            if (layout.holdsLowest[i])
                layout.fields[i].kind = tables::FieldKind::Float;
    CsvTable csv(source, *reader, layout);
    std::vector<tables::TargetField> fields;
    for (std::size_t i = 0; i < layout.fields.size(); ++i)
        fields.push_back(tables::TargetField{layout.fields[i], static_cast<int>(i)});
    std::vector<std::string> remarks;
    try {
        // Created under the table's lock, never replacing: an import to the same new name that
        // another program finished meanwhile is kept, and this one refused.
        remarks = tables::rewriteTable(csv, target, format, fields, {}, tables::ExistingTarget::Refuse);
    } catch (const tables::TableExists&) {
        throw Refusal(existingMessage(target));
    }
    for (const std::string& remark : remarks)
        std::fprintf(io.err, "%s\n", remark.c_str());
    return 0;
}

}  // namespace

const CommandSpec& importCommand()
{
    static const CommandSpec command{
        .name = "import",
        .summary = "a new table from a CSV file or an Excel workbook",
        .usage = "import SOURCE.csv|SOURCE.xlsx TABLE [--sheet NAME]",
        .help =
            "Creates the table TABLE (Paradox for .db, dBase for .dbf) from the UTF-8 CSV file\n"
            "SOURCE.csv, whose first line holds the field names. Quoted values (RFC 4180),\n"
            "a UTF-8 byte order mark and CRLF line ends are accepted.\n"
            "\n"
            "Each column's type comes from its values; empty values are left out of the\n"
            "choice and stored as empty (null) values:\n"
            "  Integer  every value is a whole number written without a point or exponent\n"
            "           that fits 32 bits (-2147483648 to 2147483647; a Paradox table keeps\n"
            "           -2147483648 for an empty value, so there such a column is Float)\n"
            "  Float    every value is a number (sign, digits, optional point and exponent)\n"
            "  Char     otherwise, as wide as the longest value in GBK bytes; a column with\n"
            "           no value at all becomes Char of width 1\n"
            "\n"
            "Refused (exit 2, no table written): TABLE exists already; a line whose number of\n"
            "values differs from the header's (the message names the line); broken quoting;\n"
            "a TABLE that another program creates while the import runs (that table is kept).\n"
            "A field name or value that is no UTF-8 text or holds a NUL byte fails (exit 1),\n"
            "naming the line and column.\n"
            "Field names that the format has to change (dBase keeps 10 bytes) are reported\n"
            "on standard error.\n"
            "\n"
            "A SOURCE ending in .xlsx is read as an Excel workbook: the first worksheet, or\n"
            "the one --sheet names. Its first row with values holds the field names; a\n"
            "header cell merged over several columns names the first, the others get\n"
            "NAME_2, NAME_3, ... Rows and columns without values at the end are left out.\n"
            "Texts stay texts (a column holding any text is Char), numbers are typed as\n"
            "above, formulas give their last computed value; besides:\n"
            "  Date     every value is a whole day shown with a date format\n"
            "  Boolean  every value is TRUE or FALSE\n"
            "In a Char column numbers are written out, dates as YYYY-MM-DD, truth values as\n"
            "TRUE and FALSE. Refused, naming the sheet and the cell (e.g. C17): an error value\n"
            "such as #DIV/0!, a text outside the GBK code page; refused as well: a file that is\n"
            "no workbook or is cut short, a missing sheet, more fields than the table holds.\n"
            "\n"
            "From a CSV file:\n"
            "  zandor-cli import data.csv 人口.DB\n",
        .example = "import 普查.xlsx 人口.DB --sheet 分年龄",
        .positionals = {"SOURCE", "TABLE"},
        .options = {{"sheet", true}},
        .requiredOptions = {},
        .run = runImport,
    };
    return command;
}

}  // namespace zandor::cli
