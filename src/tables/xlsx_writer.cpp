#include "tables/xlsx_writer.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>

#include "tables/output_file.h"
#include "tables/table_file.h"

namespace zandor::tables {

namespace {

constexpr std::uint32_t kMaxRows = 1048576;
constexpr std::size_t kMaxColumns = 16384;

// The width of a text in Excel's character units: East Asian characters count two.
double displayWidth(const std::string& text)
{
    double width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        width += n >= 3 ? 2 : 1;
        i += n;
    }
    return width;
}

std::string temporaryFolder()
{
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

// A private file that is removed when this goes out of scope, whatever happens.
class TemporaryFile {
public:
    TemporaryFile()
    {
        std::string pattern = temporaryFolder() + "/zandor-xlsx-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0)
            throw std::runtime_error("no temporary file can be made in " + temporaryFolder());
        ::close(fd);
        path_ = pattern;
    }
    ~TemporaryFile() { ::unlink(path_.c_str()); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct WorkbookCloser {
    void operator()(lxw_workbook* wb) const
    {
        if (wb)
            workbook_close(wb);
    }
};

std::string numberFormat(int decimals)
{
    if (decimals <= 0)
        return "0";
    return "0." + std::string(static_cast<std::size_t>(std::min(decimals, 15)), '0');
}

void check(lxw_error error, const std::string& path, const std::string& what)
{
    if (error != LXW_NO_ERROR)
        throw std::runtime_error(path + ": " + what + ": " + lxw_strerror(error));
}

void writeSheet(lxw_workbook* wb, const XlsxSheetSpec& sheet, const std::string& path, lxw_format* bold,
                lxw_format* dateFormat, std::map<int, lxw_format*>& numberFormats, std::vector<std::string>& used)
{
    std::string name = xlsxSheetName(sheet.name);
    // Sheet names are unique without regard to case.
    auto taken = [&](const std::string& candidate) {
        for (const std::string& u : used) {
            if (u.size() != candidate.size())
                continue;
            bool same = true;
            for (std::size_t i = 0; i < u.size() && same; ++i)
                same = std::tolower(static_cast<unsigned char>(u[i])) == std::tolower(static_cast<unsigned char>(candidate[i]));
            if (same)
                return true;
        }
        return false;
    };
    for (int n = 2; taken(name); ++n)
        name = xlsxSheetName(sheet.name.substr(0, 25) + " (" + std::to_string(n) + ")");
    used.push_back(name);
    lxw_worksheet* ws = workbook_add_worksheet(wb, name.c_str());
    if (!ws)
        throw std::runtime_error(path + ": the sheet '" + name + "' cannot be made");
    const std::size_t columns = sheet.header.size();
    if (columns > kMaxColumns)
        throw std::runtime_error(path + ": " + std::to_string(columns) + " columns are more than a worksheet holds");
    std::vector<lxw_format*> formats(columns, nullptr);
    std::vector<double> widths(columns, 0);
    for (std::size_t c = 0; c < columns; ++c) {
        const int d = c < sheet.decimals.size() ? sheet.decimals[c] : -1;
        if (d >= 0) {
            lxw_format*& f = numberFormats[d];
            if (!f) {
                f = workbook_add_format(wb);
                format_set_num_format(f, numberFormat(d).c_str());
            }
            formats[c] = f;
        }
        check(worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c), sheet.header[c].c_str(), bold), path,
              "the header");
        widths[c] = displayWidth(sheet.header[c]) * 1.1;  // bold
    }
    worksheet_freeze_panes(ws, 1, 0);
    Record row;
    lxw_row_t r = 0;
    while (sheet.nextRow && sheet.nextRow(row)) {
        if (++r >= kMaxRows)
            throw std::runtime_error(path + ": the sheet '" + name + "' has more rows than a worksheet holds ("
                                     + std::to_string(kMaxRows - 1) + " below the header)");
        for (std::size_t c = 0; c < columns && c < row.size(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            const Value& v = row[c];
            lxw_error e = LXW_NO_ERROR;
            double w = 0;
            if (const auto* i = std::get_if<std::int64_t>(&v)) {
                e = worksheet_write_number(ws, r, col, static_cast<double>(*i), formats[c]);
                w = static_cast<double>(std::to_string(*i).size());
            } else if (const auto* d = std::get_if<double>(&v)) {
                if (std::isfinite(*d)) {
                    e = worksheet_write_number(ws, r, col, *d, formats[c]);
                    char text[64];
                    const int dec = c < sheet.decimals.size() ? sheet.decimals[c] : -1;
                    w = dec >= 0 ? std::snprintf(text, sizeof text, "%.*f", std::min(dec, 15), *d)
                                 : std::snprintf(text, sizeof text, "%.15g", *d);
                }
            } else if (const auto* s = std::get_if<std::string>(&v)) {
                if (!s->empty())
                    e = worksheet_write_string(ws, r, col, s->c_str(), nullptr);
                w = displayWidth(*s);
            } else if (const auto* b = std::get_if<bool>(&v)) {
                e = worksheet_write_boolean(ws, r, col, *b ? 1 : 0, nullptr);
                w = 5;
            } else if (const auto* date = std::get_if<Date>(&v)) {
                lxw_datetime dt{date->year, static_cast<std::uint8_t>(date->month), static_cast<std::uint8_t>(date->day), 0, 0, 0};
                e = worksheet_write_datetime(ws, r, col, &dt, dateFormat);
                w = 10;
            }
            if (e != LXW_NO_ERROR)
                throw std::runtime_error(path + ": the value in row " + std::to_string(r + 1) + ", column "
                                         + std::to_string(c + 1) + " cannot be written: " + lxw_strerror(e));
            widths[c] = std::max(widths[c], w);
        }
    }
    for (std::size_t c = 0; c < columns; ++c)
        worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             std::clamp(widths[c] + 2, 8.0, 60.0), nullptr);
}

}  // namespace

std::string xlsxSheetName(const std::string& name)
{
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size() && characters < 31;) {
        const auto c = static_cast<unsigned char>(name[i]);
        const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        if (i + n > name.size())
            break;
        const bool forbidden = n == 1 && (std::string_view("[]:*?/\\").find(name[i]) != std::string_view::npos ||
                                          c < 0x20 || (characters == 0 && name[i] == '\''));
        if (forbidden)
            out.push_back('_');
        else
            out.append(name, i, n);
        ++characters;
        i += n;
    }
    if (!out.empty() && out.back() == '\'')
        out.back() = '_';
    return out.empty() ? std::string("Sheet1") : out;
}

void writeXlsxFile(const std::string& path, const std::vector<XlsxSheetSpec>& sheets)
{
    requireWritableOutput(path);
    TemporaryFile temporary;
    const std::string tmpdir = temporaryFolder();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(tmpdir.c_str());
    {
        lxw_workbook* wb = workbook_new_opt(temporary.path().c_str(), &options);
        if (!wb)
            throw std::runtime_error(path + ": the workbook cannot be started");
        std::unique_ptr<lxw_workbook, WorkbookCloser> guard(wb);
        lxw_format* bold = workbook_add_format(wb);
        format_set_bold(bold);
        lxw_format* dateFormat = workbook_add_format(wb);
        format_set_num_format(dateFormat, "yyyy-mm-dd");
        std::map<int, lxw_format*> numberFormats;
        std::vector<std::string> used;
        for (const XlsxSheetSpec& sheet : sheets)
            writeSheet(wb, sheet, path, bold, dateFormat, numberFormats, used);
        if (sheets.empty())
            workbook_add_worksheet(wb, nullptr);
        const lxw_error closed = workbook_close(guard.release());
        check(closed, path, "the workbook cannot be completed");
    }
    std::ifstream in(temporary.path(), std::ios::binary);
    if (!in)
        throw std::runtime_error(path + ": the workbook made in " + temporary.path() + " cannot be read back");
    writeOutputFile(path, [&](std::ostream& out) {
        char block[1 << 16];
        while (in.read(block, sizeof block) || in.gcount() > 0)
            out.write(block, in.gcount());
        if (in.bad())
            throw std::runtime_error(path + ": the workbook made in " + temporary.path() + " cannot be read back");
    });
}

void writeTableXlsx(TableFile& table, const std::string& path)
{
    const std::size_t count = table.recordCount();
    if (count >= kMaxRows)
        throw std::runtime_error(table.path() + " holds " + std::to_string(count)
                                 + " records; a worksheet holds 1048575 below its header");
    XlsxSheetSpec sheet;
    std::string stem = table.path();
    if (const std::size_t slash = stem.find_last_of('/'); slash != std::string::npos)
        stem.erase(0, slash + 1);
    if (const std::size_t dot = stem.find_last_of('.'); dot != std::string::npos && dot > 0)
        stem.erase(dot);
    sheet.name = stem;
    for (const FieldInfo& field : table.fields()) {
        sheet.header.push_back(field.name);
        sheet.decimals.push_back(field.kind() == FieldKind::Float && field.decimals > 0 ? field.decimals : -1);
    }
    std::size_t next = 0;
    sheet.nextRow = [&](Record& row) {
        if (next >= count)
            return false;
        table.read(next++, row);
        return true;
    };
    writeXlsxFile(path, {sheet});
}

XlsxSheetSpec xlsxSheetOfRows(std::string name, std::vector<std::string> header, std::vector<int> decimals,
                              std::vector<Record> rows)
{
    auto held = std::make_shared<std::vector<Record>>(std::move(rows));
    auto next = std::make_shared<std::size_t>(0);
    return {std::move(name), std::move(header), std::move(decimals), [held, next](Record& row) {
                if (*next >= held->size())
                    return false;
                row = (*held)[(*next)++];
                return true;
            }};
}

}  // namespace zandor::tables
