// Import of a CSV file into a new table: the column types chosen from the values, then the
// records written through the safe rewrite.
#include "tables/table_import.h"

#include <charconv>
#include <stdexcept>

#include "tables/binary_file.h"
#include "tables/codepage.h"
#include "tables/table_error.h"
#include "text/csv_reader.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::tables {

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
        const auto encoded = encodeText(value, kDefaultCodePage);
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

FieldDef ColumnTypeGuess::field() const
{
    FieldDef def;
    def.name = name;
    if (anyValue && allWhole) {
        def.kind = FieldKind::Integer;
    } else if (anyValue && allNumbers) {
        def.kind = FieldKind::Float;
    } else {
        def.kind = FieldKind::Char;
        def.size = width < 1 ? 1 : static_cast<int>(width);
    }
    return def;
}

CsvLayout chooseFieldTypes(CsvReader& reader, const std::string& source, FirstRows* first, const ReadHook& afterRead)
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
        if (first && first->rows.size() < first->wanted)
            first->rows.push_back(values);
        if (afterRead)
            afterRead(layout.records);
    }
    layout.fields.reserve(columns.size());
    for (const ColumnTypeGuess& column : columns) {
        layout.fields.push_back(column.field());
        layout.holdsLowest.push_back(column.holdsLowest && layout.fields.back().kind == FieldKind::Integer);
    }
    return layout;
}

namespace {

Value cellValue(const std::string& text, FieldKind kind)
{
    if (text.empty())
        return std::monostate{};
    switch (kind) {
    case FieldKind::Integer:
        return static_cast<std::int64_t>(*parseWholeNumber(text));
    case FieldKind::Float:
        return *text::parseNumber(text);
    default:
        return text;
    }
}


// The field types chosen for the CSV file, as a new table of `format` takes them; broken
// quoting refused naming the file.
CsvLayout csvLayout(CsvReader& reader, const std::string& source, TableFormat format, FirstRows* first,
                    const ReadHook& afterRead)
{
    CsvLayout layout;
    try {
        layout = chooseFieldTypes(reader, source, first, afterRead);
    } catch (const CsvFormatError& e) {
        throw Refusal(source + " " + e.what());
    }
    fitLayoutToFormat(layout, format);
    return layout;
}

// The CSV file as the source of an import.
class CsvTable final : public ImportSource {
public:
    CsvTable(const std::string& path, CsvReader& reader, const CsvLayout& layout)
        : ImportSource(path, layout), reader_(reader)
    {
        rewind();
    }

private:
    void readAt(std::size_t index, Record& out) override
    {
        if (index < next_)
            rewind();
        while (next_ <= index) {
            reader_.next(values_);
            ++next_;
        }
        out.resize(fields().size());
        for (std::size_t i = 0; i < fields().size(); ++i)
            out[i] = cellValue(values_[i], fields()[i].kind());
    }

    void rewind()
    {
        reader_.rewind();
        reader_.next(values_);  // the header
        next_ = 0;
    }

    CsvReader& reader_;
    std::vector<std::string> values_;
    std::size_t next_ = 0;
};

}  // namespace

std::vector<std::string> importCsv(const std::string& source, const std::string& target, const ReadHook& afterRead,
                                   const CopyHook& afterRecord)
{
    const TableFormat format = formatOfPath(target);
    // Two passes over the file, one record in memory at a time: the first chooses the field
    // types, the second writes the records.
    const auto reader = CsvReader::openFile(source);
    const CsvLayout layout = csvLayout(*reader, source, format, nullptr, afterRead);
    return CsvTable(source, *reader, layout).importInto(target, format, afterRecord);
}

namespace {

ImportPreview previewCsv(const std::string& source, TableFormat format, std::size_t rows, const ReadHook& afterRead)
{
    const auto reader = CsvReader::openFile(source);
    FirstRows first{rows, {}};
    CsvLayout layout = csvLayout(*reader, source, format, &first, afterRead);
    ImportPreview preview;
    preview.fields = std::move(layout.fields);
    preview.rows = std::move(first.rows);
    preview.records = layout.records;
    return preview;
}

}  // namespace

ImportPreview previewWorkbook(const std::string& source, TableFormat format, const std::optional<std::string>& sheet,
                              std::size_t rows, const ReadHook& afterRead);

ImportPreview previewImport(const std::string& source, TableFormat format, const std::optional<std::string>& sheet,
                            std::size_t rows, const ReadHook& afterRead)
{
    if (isWorkbookPath(source))
        return previewWorkbook(source, format, sheet, rows, afterRead);
    return previewCsv(source, format, rows, afterRead);
}

void fitLayoutToFormat(CsvLayout& layout, TableFormat format)
{
    if (format == TableFormat::Paradox)
        for (std::size_t i = 0; i < layout.fields.size(); ++i)
            if (layout.holdsLowest[i])
                layout.fields[i].kind = FieldKind::Float;
}

ImportSource::ImportSource(std::string path, const CsvLayout& layout)
    : path_(std::move(path)), definitions_(layout.fields), records_(layout.records)
{
    for (const FieldDef& def : layout.fields) {
        FieldInfo info;
        info.name = def.name;
        switch (def.kind) {
        case FieldKind::Integer: info.storage = StorageType::LongInt; break;
        case FieldKind::Float: info.storage = StorageType::Number; break;
        case FieldKind::Date: info.storage = StorageType::Date; break;
        case FieldKind::Boolean: info.storage = StorageType::Logical; break;
        default: info.storage = StorageType::Alpha; break;
        }
        info.size = def.size;
        info.width = def.size;
        fields_.push_back(std::move(info));
    }
}

void ImportSource::read(std::size_t index, Record& out)
{
    if (index >= records_)
        throw TableError(path_ + ": there is no record " + std::to_string(index + 1));
    readAt(index, out);
}

void ImportSource::readOnlyError() const { throw TableError(path_ + " is read as a source only"); }

std::vector<std::string> ImportSource::importInto(const std::string& target, TableFormat format,
                                                  const CopyHook& afterRecord)
{
    std::vector<TargetField> fields;
    for (std::size_t i = 0; i < definitions_.size(); ++i)
        fields.push_back(TargetField{definitions_[i], static_cast<int>(i)});
    return rewriteTable(*this, target, format, fields, afterRecord, ExistingTarget::Refuse);
}

}  // namespace zandor::tables
