// zandor-cli import SOURCE.csv TABLE: a new table from a CSV file, with each column's type
// chosen from its values.
#include "cli/import_types.h"

#include <charconv>
#include <cstdio>
#include <stdexcept>

#include "cli/commands.h"
#include "cli/csv_reader.h"
#include "tables/binary_file.h"
#include "tables/codepage.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::cli {

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
    anyValue = true;
    const bool whole = allWhole && parseWholeNumber(value).has_value();
    const bool number = whole || (allNumbers && text::parseNumber(value).has_value());
    allWhole = whole;
    allNumbers = number;
    std::size_t bytes = value.size();
    if (!number && !isAscii(value)) {
        const auto encoded = tables::encodeText(value, tables::kDefaultCodePage);
        if (!encoded)
            throw std::runtime_error(lineText(line) + ", field " + name + ": the value '"
                                     + std::string(value)
                                     + "' has characters that the GBK code page cannot hold");
        bytes = encoded->size();
    }
    if (bytes > width)
        width = bytes;
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

std::vector<tables::FieldDef> chooseFieldTypes(CsvReader& reader, const std::string& source)
{
    std::vector<std::string> values;
    if (!reader.next(values))
        throw Refusal(source + " is empty: the first line must hold the field names");
    std::vector<ColumnTypeGuess> columns(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        columns[i].name = values[i];
    while (reader.next(values)) {
        if (values.size() != columns.size())
            throw Refusal(source + " " + lineText(reader.line()) + " has "
                          + std::to_string(values.size()) + " values, the header has "
                          + std::to_string(columns.size()));
        for (std::size_t i = 0; i < values.size(); ++i)
            columns[i].add(values[i], reader.line());
    }
    std::vector<tables::FieldDef> fields;
    fields.reserve(columns.size());
    for (const ColumnTypeGuess& column : columns)
        fields.push_back(column.field());
    return fields;
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

void writeTable(CsvReader& reader, const std::string& path, tables::TableFormat format,
                const std::vector<tables::FieldDef>& fields, std::vector<std::string>& remarks)
{
    tables::CreateResult created = tables::createTableFile(path, format, fields);
    remarks = std::move(created.remarks);
    tables::TableFile& table = *created.table;
    std::vector<std::string> values;
    tables::Record record(fields.size());
    reader.rewind();
    reader.next(values);  // the header
    while (reader.next(values)) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            record[i] = cellValue(values[i], fields[i].kind);
        table.append(record);
    }
    table.flush();
}

int runImport(const ParsedArgs& args, Streams& io)
{
    const std::string& source = args.positional(0);
    const std::string& target = args.positional(1);
    const tables::TableFormat format = tables::formatOfPath(target);
    if (tables::fileExists(target))
        throw Refusal(target + " exists already: import only creates new tables");

    const std::string content = readWholeFile(source);
    CsvReader reader(content);
    std::vector<tables::FieldDef> fields;
    try {
        fields = chooseFieldTypes(reader, source);
    } catch (const CsvFormatError& e) {
        throw Refusal(source + " " + e.what());
    }

    // The table is written under a temporary name and put in place only when complete, so a
    // failure leaves no half-written table behind.
    const std::string temporary = tables::temporarySibling(target);
    std::vector<std::string> remarks;
    try {
        writeTable(reader, temporary, format, fields, remarks);
        if (tables::fileExists(target))
            throw Refusal(target + " exists already: import only creates new tables");
        tables::replaceFile(temporary, target);
    } catch (...) {
        std::remove(temporary.c_str());
        throw;
    }
    for (const std::string& remark : remarks)
        std::fprintf(io.err, "%s\n", remark.c_str());
    return 0;
}

}  // namespace

const CommandSpec& importCommand()
{
    static const CommandSpec spec{
        .name = "import",
        .summary = "a new table from a CSV file",
        .usage = "import SOURCE.csv TABLE",
        .help =
            "Creates the table TABLE (Paradox for .db, dBase for .dbf) from the UTF-8 CSV file\n"
            "SOURCE.csv, whose first line holds the field names. Quoted values (RFC 4180),\n"
            "a UTF-8 byte order mark and CRLF line ends are accepted.\n"
            "\n"
            "Each column's type comes from its values; empty values are left out of the\n"
            "choice and stored as empty (null) values:\n"
            "  Integer  every value is a whole number written without a point or exponent\n"
            "           that fits 32 bits (-2147483648 to 2147483647)\n"
            "  Float    every value is a number (sign, digits, optional point and exponent)\n"
            "  Char     otherwise, as wide as the longest value in GBK bytes; a column with\n"
            "           no value at all becomes Char of width 1\n"
            "\n"
            "Refused (exit 2, no table written): TABLE exists already; a line whose number of\n"
            "values differs from the header's (the message names the line); broken quoting.\n"
            "Field names that the format has to change (dBase keeps 10 bytes) are reported\n"
            "on standard error.\n",
        .positionals = {"SOURCE.csv", "TABLE"},
        .options = {},
        .requiredOptions = {},
        .run = runImport,
    };
    return spec;
}

}  // namespace zandor::cli
