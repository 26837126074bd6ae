// The projection wizard's data steps: grids, files and the values each step derives.
#include "projection/wizard_data.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

#include "projection/base_life_table.h"
#include "projection/schedule_grids.h"
#include "tables/output_file.h"
#include "text/csv_reader.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection::wizard {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

[[noreturn]] void refuseLine(const std::string& path, std::size_t line, const std::string& what)
{
    throw Refusal("文件" + path + "第" + std::to_string(line) + "行" + what);
}

std::string inQuotes(std::string_view text) { return std::string("'").append(text).append("'"); }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> found;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        const std::size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i > start) found.push_back(line.substr(start, i - start));
    }
    return found;
}

std::string_view firstLine(std::string_view content) { return content.substr(0, content.find('\n')); }

// Plain text: the numbers of one age a line, from row 1 on.
void readPlain(text::TextGrid& grid, std::string_view content, const std::string& path)
{
    const int valueColumns = grid.columnCount() - 1;
    int row = 1;
    std::size_t lineNumber = 0;
    std::size_t pos = 0;
    while (pos < content.size() && row < grid.rowCount()) {
        const std::size_t end = std::min(content.find('\n', pos), content.size());
        const std::string_view line = content.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        const auto numbers = words(line);
        if (numbers.empty()) continue;
        if (static_cast<int>(numbers.size()) < valueColumns)
            refuseLine(path, lineNumber, "应有" + std::to_string(valueColumns) + "个数字: " + inQuotes(trimmed(line)));
        for (int c = 0; c < valueColumns; ++c) {
            const auto value = text::parseNumber(numbers[static_cast<std::size_t>(c)]);
            if (!value) refuseLine(path, lineNumber, ": " + text::invalidNumberMessage(numbers[static_cast<std::size_t>(c)]));
            grid.setCell(row, c + 1, text::formatGeneral(*value));
        }
        ++row;
    }
}

// CSV with a header line: the age in the first column chooses the row.
void readCsv(text::TextGrid& grid, int firstAge, std::string_view content, const std::string& path)
{
    const int valueColumns = grid.columnCount() - 1;
    text::CsvReader reader(content);
    std::vector<std::string> fields;
    try {
        reader.next(fields);
        if (text::parseNumber(fields.front()))
            refuseLine(path, 1, "应是各列的名称（CSV文件的第一行是标题行）: " + inQuotes(firstLine(content)));
        while (reader.next(fields)) {
            const std::size_t line = reader.line();
            if (fields.size() == 1 && trimmed(fields[0]).empty()) continue;
            if (static_cast<int>(fields.size()) < valueColumns + 1)
                refuseLine(path, line, "应有年龄和" + std::to_string(valueColumns) + "个数值");
            const auto age = text::parseNumber(fields[0]);
            if (!age || *age != static_cast<double>(static_cast<long long>(*age)) || *age < 0)
                refuseLine(path, line, "的年龄不是非负整数: " + inQuotes(fields[0]));
            std::vector<std::string> values;
            for (int c = 1; c <= valueColumns; ++c) {
                const std::string_view cell = fields[static_cast<std::size_t>(c)];
                // An empty value is a null of the table, which the table loaders read as 0.
                const auto value = trimmed(cell).empty() ? std::optional<double>(0.0) : text::parseNumber(cell);
                if (!value) refuseLine(path, line, ": " + text::invalidNumberMessage(cell));
                values.push_back(text::formatRoundTrip(*value));
            }
            const double row = *age - firstAge + 1;
            if (row < 1 || row >= grid.rowCount()) continue;
            for (int c = 1; c <= valueColumns; ++c)
                grid.setCell(static_cast<int>(row), c, std::move(values[static_cast<std::size_t>(c - 1)]));
        }
    } catch (const text::CsvFormatError& e) {
        // The reader's message starts with the line, which the refusal names already.
        std::string_view what = e.what();
        if (what.starts_with("line ") && what.find(": ") != std::string_view::npos)
            what.remove_prefix(what.find(": ") + 2);
        refuseLine(path, e.line(), ": " + std::string(what));
    }
}

// The numbers of one value column, grid rows 1..rows.
std::vector<double> valuesOf(const text::TextGrid& grid, int column, int rows)
{
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(rows));
    for (int row = 1; row <= rows; ++row) {
        const std::string empty;
        const std::string& cell = row < grid.rowCount() ? grid.cell(row, column) : empty;
        const auto value = text::parseNumber(cell);
        if (!value) {
            throw Refusal("第" + std::to_string(row) + "行" + grid.cell(0, column) + "列(" + grid.cell(0, 0) +
                          (row < grid.rowCount() ? grid.cell(row, 0) : std::string("?")) +
                          "): " + text::invalidNumberMessage(cell));
        }
        values.push_back(*value);
    }
    return values;
}

}  // namespace

int byAgeStoredRows(int ageGroups) { return std::max(ageGroups, kPreparedAges) + 1; }

text::TextGrid dataGrid(const std::vector<std::string>& headings, int firstAge, int rows)
{
    text::TextGrid grid(rows, static_cast<int>(headings.size()));
    for (int c = 0; c < grid.columnCount(); ++c) grid.setCell(0, c, headings[static_cast<std::size_t>(c)]);
    for (int r = 1; r < rows; ++r) {
        grid.setCell(r, 0, std::to_string(firstAge + r - 1));
        for (int c = 1; c < grid.columnCount(); ++c) grid.setCell(r, c, std::string(label::kEmptyCell));
    }
    return grid;
}

void readValues(text::TextGrid& grid, int firstAge, const std::string& path)
{
    std::string content;
    try {
        content = text::readWholeFile(path);
    } catch (const std::runtime_error& e) {
        throw Refusal(e.what());
    }
    std::string_view view = content;
    if (view.starts_with(kByteOrderMark)) view.remove_prefix(kByteOrderMark.size());
    // The grid changes only once the whole file has been read.
    text::TextGrid read = grid;
    if (firstLine(view).find(',') != std::string_view::npos)
        readCsv(read, firstAge, content, path);
    else
        readPlain(read, view, path);
    grid = std::move(read);
}

void writeValues(const text::TextGrid& grid, int lastRow, const std::string& path)
{
    std::string content;
    for (int row = 1; row <= lastRow && row < grid.rowCount(); ++row) {
        for (int c = 1; c < grid.columnCount(); ++c) {
            if (c > 1) content += "  ";
            content += grid.cell(row, c);
        }
        content += '\n';
    }
    // Written beside the file and moved over it whole: a full disk leaves the old file, and
    // a pipe or a device is refused.
    try {
        tables::writeOutputFile(path, content);
    } catch (const tables::OutputFileError& e) {
        throw Refusal("无法写入文件" + path + ": " + e.reason());
    }
}

int fertilityRowsToSave(const text::TextGrid& grid)
{
    const int hidden = kFertilityStoredRows - 1;
    if (grid.rowCount() > hidden) {
        const auto value = text::parseNumber(grid.cell(hidden, 1));
        if (!value || *value != 0) return hidden;
    }
    return kFertilityShownRows - 1;
}

void populationStep(SingleRegionInputs& inputs, SingleRegionGrids& grids, const text::TextGrid& entered, int ages,
                    int baseYear, int endYear)
{
    std::vector<double> male = valuesOf(entered, 1, ages);
    std::vector<double> female = valuesOf(entered, 2, ages);
    shapeInputSet(inputs, ages, baseYear, endYear);
    inputs.region.malePopulation = std::move(male);
    inputs.region.femalePopulation = std::move(female);
    // The female population is checked here; the run checks the male one.
    seedSexRatio(inputs, grids, Sex::Female, baseYear);
    fillMigrantGrid(grids.migrants, inputs.yearCount, baseYear, label::kSeedNewMigrants,
                    label::kSeedMigrantBirthRate, label::kSeedMigrantDeathRate);
}

void deathRateStep(SingleRegionInputs& inputs, SingleRegionGrids& grids, const text::TextGrid& entered, int ages,
                   int baseYear, int endYear)
{
    if (ages < kMinimumAgeRows) throw Refusal(message::tooFewAgeGroups(ages));
    std::vector<double> male = valuesOf(entered, 1, ages);
    std::vector<double> female = valuesOf(entered, 2, ages);
    shapeInputSet(inputs, ages, baseYear, endYear);
    inputs.region.male.deathRates = std::move(male);
    inputs.region.female.deathRates = std::move(female);
    seedLifeExpectancy(inputs, grids, Sex::Male, baseYear);
    seedLifeExpectancy(inputs, grids, Sex::Female, baseYear);
}

void fertilityStep(SingleRegionInputs& inputs, SingleRegionGrids& grids, const text::TextGrid& entered, int ages,
                   int baseYear, int endYear)
{
    const std::vector<double> rates = valuesOf(entered, 1, kFertilityStoredRows - 1);
    shapeInputSet(inputs, ages, baseYear, endYear);
    const auto base = inputs.region.fertilityRates.year(0);
    std::fill(base.begin(), base.end(), 0.0);
    for (std::size_t i = 0; i < rates.size(); ++i) {
        const std::size_t age = kFertilityFirstAge + i;
        if (age < base.size()) base[age] = rates[i];
    }
    seedFertility(inputs, grids, baseYear);
}

}  // namespace zandor::projection::wizard
