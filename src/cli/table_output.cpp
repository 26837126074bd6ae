// A command's table on standard output as CSV, or in an Excel workbook for --xlsx.
#include "cli/table_output.h"

#include "cli/args.h"
#include "tables/output_file.h"
#include "tables/xlsx_writer.h"
#include "text/refusal.h"

#include <type_traits>
#include <variant>
#include <vector>

namespace zandor::cli {

struct TableOutput::Workbook {
    std::string path;
    std::string sheet;
    std::vector<tables::Record> rows;
    tables::Record current;
};

TableOutput::TableOutput(std::FILE* out, std::size_t bufferSize) : csv_(out, bufferSize) {}

TableOutput::~TableOutput() = default;

void TableOutput::writeWorkbookInstead(std::string path, std::string sheet)
{
    workbook_ = std::make_unique<Workbook>(Workbook{std::move(path), std::move(sheet), {}, {}});
}

void applyWorkbookOption(const ParsedArgs& args, TableOutput& output, const std::string& sheet)
{
    if (const auto path = args.value("xlsx")) {
        checkWorkbookOption(args);
        output.writeWorkbookInstead(*path, sheet);
    }
}

void checkWorkbookOption(const ParsedArgs& args)
{
    const auto path = args.value("xlsx");
    if (!path)
        return;
    if (args.has("listing"))
        throw Refusal("--xlsx writes the CSV rows as a workbook; --listing gives a text listing");
    try {
        tables::requireWritableOutput(*path);
    } catch (const tables::OutputFileError& e) {
        throw Refusal(e.what());
    }
}

void TableOutput::text(std::string_view utf8)
{
    if (workbook_)
        workbook_->current.emplace_back(std::string(utf8));
    else
        csv_.text(utf8);
}

void TableOutput::integer(std::int64_t v)
{
    if (workbook_)
        workbook_->current.emplace_back(v);
    else
        csv_.integer(v);
}

void TableOutput::number(double v)
{
    if (workbook_)
        workbook_->current.emplace_back(v);
    else
        csv_.number(v);
}

void TableOutput::date(const tables::Date& d)
{
    if (workbook_)
        workbook_->current.emplace_back(d);
    else
        csv_.date(d.year, d.month, d.day);
}

void TableOutput::boolean(bool v)
{
    if (workbook_)
        workbook_->current.emplace_back(v);
    else
        csv_.boolean(v);
}

void TableOutput::empty()
{
    if (workbook_)
        workbook_->current.emplace_back(std::monostate{});
    else
        csv_.empty();
}

void TableOutput::value(const tables::Value& v)
{
    std::visit(
        [this](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                empty();
            else if constexpr (std::is_same_v<T, std::int64_t>)
                integer(x);
            else if constexpr (std::is_same_v<T, double>)
                number(x);
            else if constexpr (std::is_same_v<T, std::string>)
                text(x);
            else if constexpr (std::is_same_v<T, bool>)
                boolean(x);
            else
                date(x);
        },
        v);
}

void TableOutput::endRow()
{
    if (workbook_) {
        workbook_->rows.push_back(std::move(workbook_->current));
        workbook_->current.clear();
    } else {
        csv_.endRow();
    }
}

void TableOutput::finish()
{
    if (!workbook_) {
        csv_.finish();
        return;
    }
    tables::XlsxSheetSpec sheet;
    sheet.name = workbook_->sheet;
    if (!workbook_->rows.empty())
        for (const tables::Value& v : workbook_->rows.front())
            sheet.header.push_back(tables::toText(v));
    std::size_t next = 1;
    sheet.nextRow = [&](tables::Record& row) {
        if (next >= workbook_->rows.size())
            return false;
        row = workbook_->rows[next++];
        return true;
    };
    tables::writeXlsxFile(workbook_->path, {sheet});
}

}  // namespace zandor::cli
