// Import of one worksheet of an Excel workbook into a new table: each column's type chosen
// from its cells as for a CSV file, with dates and truth values kept as such.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

#include "tables/table_import.h"
#include "tables/batch_move.h"
#include "tables/codepage.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "tables/xlsx_reader.h"
#include "text/refusal.h"

namespace zandor::tables {

namespace {


// The text form of a number into `text` (32 bytes); returns its length.
std::size_t numberChars(double number, char* text)
{
    // Whole numbers as digits (the shortest form would write 2000000000 as 2e+09).
    const auto result = number == std::floor(number) && std::fabs(number) < 1e15
                            ? std::to_chars(text, text + 32, static_cast<std::int64_t>(number))
                            : std::to_chars(text, text + 32, number);
    return static_cast<std::size_t>(result.ptr - text);
}

std::string numberText(double number)
{
    char text[32];
    return std::string(text, numberChars(number, text));
}

// The length of a number cell's text form, without making the text.
std::size_t numberWidth(const XlsxCell& cell, bool dates1904)
{
    Date d;
    if (cell.dateStyle && xlsxSerialDate(cell.number, dates1904, d))
        return 10;  // a date as 2024-01-31
    char text[32];
    return numberChars(cell.number, text);
}

std::string dateText(const Date& d)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return text;
}

// What a cell reads as in a Char field.
std::string cellText(const XlsxCell& cell, bool dates1904)
{
    switch (cell.kind) {
    case XlsxCellKind::Text: return cell.text;
    case XlsxCellKind::Boolean: return cell.truth ? "TRUE" : "FALSE";
    case XlsxCellKind::Number: {
        Date d;
        if (cell.dateStyle && xlsxSerialDate(cell.number, dates1904, d))
            return dateText(d);
        return numberText(cell.number);
    }
    default: return {};
    }
}

// What one column's cells allow so far.
struct SheetColumnGuess {
    bool allWhole = true;     // every number is whole and within 32 bits
    bool holdsLowest = false; // some number is -2147483648, which Paradox keeps for an empty value
    bool anyValue = false;
    bool allBoolean = true;
    bool allDate = true;
    bool allNumber = true;
    std::size_t width = 0;    // longest text form in GBK bytes
    std::string lastText;     // the last text cell and its width, as a column repeats its texts
    std::size_t lastTextBytes = 0;
    // The widths of numbers count only in a column that becomes Char, which takes a text or
    // truth value; they are measured from the row of the first of these on, and the numbers
    // of the rows before it, if any, measured again afterwards.
    std::uint32_t measuredFrom = 0;
    bool numbersBefore = false;

    void measureNumbersFrom(std::uint32_t row)
    {
        if (measuredFrom == 0)
            measuredFrom = row;
    }

    FieldDef field(const std::string& name) const
    {
        FieldDef def;
        if (anyValue && allBoolean)
            def.kind = FieldKind::Boolean;
        else if (anyValue && allDate)
            def.kind = FieldKind::Date;
        else if (anyValue && allNumber)
            def.kind = allWhole ? FieldKind::Integer : FieldKind::Float;
        else {
            def.kind = FieldKind::Char;
            def.size = width < 1 ? 1 : static_cast<int>(width);
        }
        def.name = name;
        return def;
    }
};

struct SheetLayout {
    CsvLayout layout;
    std::uint32_t headerRow = 0;
    std::size_t columns = 0;
};

class SheetRefusal {
public:
    SheetRefusal(std::string source, std::string sheet) : prefix_(std::move(source) + ", sheet '" + std::move(sheet) + "'") {}
    [[noreturn]] void cell(std::uint32_t column, std::uint32_t row, const std::string& why) const
    {
        throw Refusal(prefix_ + ", cell " + xlsxCellName(column, row) + ": " + why);
    }
    [[noreturn]] void sheet(const std::string& why) const { throw Refusal(prefix_ + " " + why); }

private:
    std::string prefix_;
};

// The GBK width of a text cell's value, refusing what a table cannot hold.
std::size_t textBytes(const XlsxCell& cell, std::uint32_t row, const SheetRefusal& refuse)
{
    const std::string& value = cell.text;
    bool ascii = true;
    for (char c : value)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        return value.size();
    if (escapedText(value) != value)
        refuse.cell(cell.column, row, "the text '" + escapedText(value) + "' is no UTF-8 text");
    const auto encoded = encodeText(value, kDefaultCodePage);
    if (!encoded)
        refuse.cell(cell.column, row, "the text '" + value + "' has characters outside the GBK code page");
    return encoded->size();
}

SheetLayout chooseSheetTypes(XlsxSheetReader& sheet, bool dates1904, const SheetRefusal& refuse, FirstRows* first,
                             const ReadHook& afterRead,
                             const std::function<std::unique_ptr<XlsxSheetReader>()>& readAgain)
{
    SheetLayout out;
    XlsxRow row;
    std::vector<XlsxCell> header;
    std::vector<SheetColumnGuess> guesses;
    std::uint32_t lastRow = 0;
    while (sheet.nextRow(row)) {
        if (row.cells.empty())
            continue;
        if (out.headerRow == 0) {
            out.headerRow = row.number;
            header = row.cells;
            for (const XlsxCell& cell : header)
                if (cell.kind == XlsxCellKind::Error)
                    refuse.cell(cell.column, row.number, "the field name is the error value " + cell.text);
            out.columns = header.back().column;
            continue;
        }
        lastRow = row.number;
        if (first) {
            // Rows without values inside the sheet are records of empty values.
            while (first->rows.size() < first->wanted && out.headerRow + first->rows.size() + 1 < row.number)
                first->rows.emplace_back();
            if (first->rows.size() < first->wanted) {
                std::vector<std::string>& texts = first->rows.emplace_back(row.cells.back().column);
                for (const XlsxCell& cell : row.cells)
                    texts[cell.column - 1] = cellText(cell, dates1904);
            }
        }
        if (afterRead)
            afterRead(lastRow - out.headerRow);
        if (row.cells.back().column > guesses.size())
            guesses.resize(row.cells.back().column);
        for (const XlsxCell& cell : row.cells) {
            SheetColumnGuess& g = guesses[cell.column - 1];
            g.anyValue = true;
            switch (cell.kind) {
            case XlsxCellKind::Error:
                refuse.cell(cell.column, row.number, "the error value " + cell.text + " fits no field type");
            case XlsxCellKind::Text:
                g.allBoolean = g.allDate = g.allNumber = false;
                g.measureNumbersFrom(row.number);
                if (cell.text != g.lastText) {
                    g.lastTextBytes = textBytes(cell, row.number, refuse);
                    g.lastText = cell.text;
                }
                g.width = std::max(g.width, g.lastTextBytes);
                break;
            case XlsxCellKind::Boolean:
                g.allDate = g.allNumber = false;
                g.measureNumbersFrom(row.number);
                g.width = std::max<std::size_t>(g.width, 5);
                break;
            case XlsxCellKind::Number: {
                g.allBoolean = false;
                Date d;
                if (!(cell.dateStyle && xlsxSerialDate(cell.number, dates1904, d)))
                    g.allDate = false;
                if (g.measuredFrom != 0)
                    g.width = std::max(g.width, numberWidth(cell, dates1904));
                else
                    g.numbersBefore = true;
                if (!(cell.number == std::floor(cell.number) && cell.number >= INT32_MIN && cell.number <= INT32_MAX))
                    g.allWhole = false;
                g.holdsLowest = g.holdsLowest || cell.number == INT32_MIN;
                break;
            }
            case XlsxCellKind::Empty: break;
            }
        }
    }
    if (out.headerRow == 0)
        refuse.sheet("is empty: its first row must hold the field names");
    // The numbers above the first text or truth value of a column that holds both.
    std::uint32_t measureBelow = 0;
    for (const SheetColumnGuess& g : guesses)
        if (g.measuredFrom != 0 && g.numbersBefore)
            measureBelow = std::max(measureBelow, g.measuredFrom);
    if (measureBelow != 0) {
        const auto again = readAgain();
        while (again->nextRow(row) && row.number < measureBelow) {
            if (row.number <= out.headerRow)
                continue;
            for (const XlsxCell& cell : row.cells) {
                if (cell.kind != XlsxCellKind::Number || cell.column > guesses.size())
                    continue;
                SheetColumnGuess& g = guesses[cell.column - 1];
                if (g.numbersBefore && row.number < g.measuredFrom)
                    g.width = std::max(g.width, numberWidth(cell, dates1904));
            }
        }
    }
    out.columns = std::max(out.columns, guesses.size());
    guesses.resize(out.columns);
    out.layout.records = lastRow == 0 ? 0 : lastRow - out.headerRow;

    // Field names: the header's cells; the columns under a merged header cell after its first
    // are named after it with _2, _3, ...
    std::vector<std::string> names(out.columns);
    for (const XlsxCell& cell : header)
        names[cell.column - 1] = cellText(cell, dates1904);
    for (std::size_t c = 1; c <= out.columns; ++c) {
        if (!names[c - 1].empty())
            continue;
        for (const XlsxMerge& m : sheet.merges())
            if (m.firstRow <= out.headerRow && out.headerRow <= m.lastRow && m.firstColumn < c && c <= m.lastColumn &&
                !names[m.firstColumn - 1].empty())
                names[c - 1] = names[m.firstColumn - 1] + "_" + std::to_string(c - m.firstColumn + 1);
        if (names[c - 1].empty())
            refuse.cell(static_cast<std::uint32_t>(c), out.headerRow,
                        "the header row gives no field name to a column that holds values");
    }
    if (first)
        for (std::vector<std::string>& texts : first->rows)
            texts.resize(out.columns);
    for (std::size_t c = 0; c < out.columns; ++c) {
        out.layout.fields.push_back(guesses[c].field(names[c]));
        out.layout.holdsLowest.push_back(guesses[c].allNumber && guesses[c].holdsLowest &&
                                         out.layout.fields.back().kind == FieldKind::Integer);
    }
    return out;
}


// The worksheet as the source of an import, written into the new table by the same safe
// rewrite as a CSV file.
class SheetTable final : public ImportSource {
public:
    SheetTable(const std::string& path, XlsxWorkbook& book, std::size_t sheet, const SheetLayout& layout)
        : ImportSource(path, layout.layout), book_(book), sheet_(sheet), headerRow_(layout.headerRow)
    {
        rewind();
    }

private:
    void readAt(std::size_t index, Record& out) override
    {
        if (index < next_)
            rewind();
        const std::uint32_t wanted = headerRow_ + 1 + static_cast<std::uint32_t>(index);
        while (haveRow_ && row_.number < wanted)
            haveRow_ = reader_->nextRow(row_);
        next_ = index + 1;
        out.assign(fields().size(), std::monostate{});
        if (!haveRow_ || row_.number != wanted)
            return;
        for (const XlsxCell& cell : row_.cells) {
            if (cell.column > fields().size())
                continue;
            out[cell.column - 1] = value(cell, fields()[cell.column - 1].kind());
        }
    }

    Value value(const XlsxCell& cell, FieldKind kind) const
    {
        switch (kind) {
        case FieldKind::Integer: return static_cast<std::int64_t>(cell.number);
        case FieldKind::Float: return cell.number;
        case FieldKind::Boolean: return cell.truth;
        case FieldKind::Date: {
            Date d;
            xlsxSerialDate(cell.number, book_.dates1904(), d);
            return d;
        }
        default: return cellText(cell, book_.dates1904());
        }
    }
    void rewind()
    {
        reader_ = book_.openSheet(sheet_);
        haveRow_ = true;
        row_.number = 0;
        next_ = 0;
    }

    XlsxWorkbook& book_;
    std::size_t sheet_;
    std::uint32_t headerRow_;
    std::unique_ptr<XlsxSheetReader> reader_;
    XlsxRow row_;
    bool haveRow_ = false;
    std::size_t next_ = 0;
};

}  // namespace

bool isWorkbookPath(const std::string& path)
{
    if (path.size() < 5)
        return false;
    std::string tail = path.substr(path.size() - 5);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".xlsx" || tail.substr(1) == ".xlsm";
}

namespace {

// The workbook open at the chosen sheet, with the fields a table of `format` gets from it.
struct ChosenSheet {
    std::unique_ptr<XlsxWorkbook> book;
    std::size_t index = 0;
    SheetLayout layout;
};

ChosenSheet chooseSheet(const std::string& source, TableFormat format, const std::optional<std::string>& sheetName,
                        FirstRows* first, const ReadHook& afterRead)
{
    ChosenSheet chosen;
    chosen.book = XlsxWorkbook::open(source);
    const std::vector<std::string>& names = chosen.book->sheetNames();
    if (sheetName) {
        const auto found = std::find(names.begin(), names.end(), *sheetName);
        if (found == names.end()) {
            std::string list;
            for (const std::string& n : names)
                list += (list.empty() ? "'" : ", '") + n + "'";
            throw Refusal(source + " has no sheet named '" + *sheetName + "' (its sheets: " + list + ")");
        }
        chosen.index = static_cast<std::size_t>(found - names.begin());
    }
    const SheetRefusal refuse(source, names[chosen.index]);
    {
        const auto reader = chosen.book->openSheet(chosen.index);
        XlsxWorkbook& book = *chosen.book;
        const std::size_t index = chosen.index;
        chosen.layout = chooseSheetTypes(*reader, book.dates1904(), refuse, first, afterRead,
                                         [&book, index] { return book.openSheet(index); });
    }
    CsvLayout& layout = chosen.layout.layout;
    const std::size_t maxFields = format == TableFormat::FoxPro ? 254 : 255;
    if (layout.fields.size() > maxFields)
        refuse.sheet("has " + std::to_string(layout.fields.size()) + " columns; a "
                     + (format == TableFormat::Paradox ? "Paradox" : "dBase") + " table holds at most "
                     + std::to_string(maxFields) + " fields");
    fitLayoutToFormat(layout, format);
    return chosen;
}

}  // namespace

std::vector<std::string> workbookSheets(const std::string& source)
{
    try {
        return XlsxWorkbook::open(source)->sheetNames();
    } catch (const XlsxError& e) {
        throw Refusal(e.what());
    }
}

ImportPreview previewWorkbook(const std::string& source, TableFormat format, const std::optional<std::string>& sheet,
                              std::size_t rows, const ReadHook& afterRead)
{
    try {
        FirstRows first{rows, {}};
        ChosenSheet chosen = chooseSheet(source, format, sheet, &first, afterRead);
        ImportPreview preview;
        preview.sheet = chosen.book->sheetNames()[chosen.index];
        preview.fields = std::move(chosen.layout.layout.fields);
        preview.records = chosen.layout.layout.records;
        preview.rows = std::move(first.rows);
        return preview;
    } catch (const XlsxError& e) {
        throw Refusal(e.what());
    }
}

std::vector<std::string> importWorkbook(const std::string& source, const std::string& target,
                                        const std::optional<std::string>& sheetName, const ReadHook& afterRead,
                                        const CopyHook& afterRecord)
{
    const TableFormat format = formatOfPath(target);
    try {
        ChosenSheet chosen = chooseSheet(source, format, sheetName, nullptr, afterRead);
        return SheetTable(source, *chosen.book, chosen.index, chosen.layout).importInto(target, format, afterRecord);
    } catch (const XlsxError& e) {
        throw Refusal(e.what());
    }
}

}  // namespace zandor::tables
