// Year options, schedule files and listings of the projection commands.
#include "cli/schedule_file.h"

#include <map>
#include <stdexcept>

#include "text/csv_reader.h"

namespace zandor::cli {

using text::CsvReader;
using text::readWholeFile;

namespace {

using projection::Region;
using projection::Sex;
using projection::SingleRegionGrids;
using projection::UrbanRuralGrids;

// The grid cell a schedule-file row name stands for.
template <class Grids>
struct GridRow {
    text::TextGrid Grids::*grid;
    int row;
};

template <class Grids>
using GridRows = std::map<std::string, GridRow<Grids>>;

GridRows<SingleRegionGrids> scheduleRows(const SingleRegionGrids*)
{
    GridRows<SingleRegionGrids> rows = {
        {"tfr", {&SingleRegionGrids::tfr, 1}},
        {"e0_male", {&SingleRegionGrids::lifeExpectancy, projection::kMaleRow}},
        {"e0_female", {&SingleRegionGrids::lifeExpectancy, projection::kFemaleRow}},
        {"sex_ratio", {&SingleRegionGrids::sexRatio, 1}},
        {"new_migrants", {&SingleRegionGrids::migrants, projection::kNewMigrantsRow}},
        {"migrant_birth_rate", {&SingleRegionGrids::migrants, projection::kMigrantBirthRateRow}},
        {"migrant_death_rate", {&SingleRegionGrids::migrants, projection::kMigrantDeathRateRow}},
    };
    for (int age = projection::kFirstFertileAge; age <= projection::kLastFertileAge; ++age)
        rows["pattern_" + std::to_string(age)] = {&SingleRegionGrids::pattern, age - projection::kFirstFertileAge + 1};
    return rows;
}

GridRows<UrbanRuralGrids> scheduleRows(const UrbanRuralGrids*)
{
    using projection::lifeExpectancyRow;
    GridRows<UrbanRuralGrids> rows = {
        {"tfr_rural", {&UrbanRuralGrids::tfr, 1}},
        {"tfr_urban", {&UrbanRuralGrids::tfr, 2}},
        {"sex_ratio_rural", {&UrbanRuralGrids::sexRatio, 1}},
        {"sex_ratio_urban", {&UrbanRuralGrids::sexRatio, 2}},
        {"e0_rural_male", {&UrbanRuralGrids::lifeExpectancy, lifeExpectancyRow(Region::Rural, Sex::Male)}},
        {"e0_rural_female", {&UrbanRuralGrids::lifeExpectancy, lifeExpectancyRow(Region::Rural, Sex::Female)}},
        {"e0_urban_male", {&UrbanRuralGrids::lifeExpectancy, lifeExpectancyRow(Region::Urban, Sex::Male)}},
        {"e0_urban_female", {&UrbanRuralGrids::lifeExpectancy, lifeExpectancyRow(Region::Urban, Sex::Female)}},
        {"movers_male", {&UrbanRuralGrids::movers, 1}},
        {"movers_female", {&UrbanRuralGrids::movers, 2}},
    };
    for (int age = projection::kFirstFertileAge; age <= projection::kLastFertileAge; ++age) {
        const int row = age - projection::kFirstFertileAge + 1;
        rows["rural_pattern_" + std::to_string(age)] = {&UrbanRuralGrids::ruralPattern, row};
        rows["urban_pattern_" + std::to_string(age)] = {&UrbanRuralGrids::urbanPattern, row};
    }
    for (int age = 0; age < projection::kMoverShareAges; ++age) {
        rows["mover_share_male_" + std::to_string(age)] = {&UrbanRuralGrids::maleMoverShares, age + 1};
        rows["mover_share_female_" + std::to_string(age)] = {&UrbanRuralGrids::femaleMoverShares, age + 1};
    }
    return rows;
}

template <class Grids>
void applyRows(const std::string& path, Grids& grids, int baseYear, int endYear)
{
    const GridRows<Grids> rows = scheduleRows(&grids);
    const auto lines = readScheduleFile(path, baseYear, endYear,
                                        [&](const std::string& name) { return rows.contains(name); });
    for (const ScheduleLine& line : lines) {
        const GridRow<Grids>& row = rows.at(line.row);
        for (std::size_t i = 0; i < line.cells.size(); ++i)
            (grids.*row.grid).setCell(row.row, static_cast<int>(i) + 1, line.cells[i]);
    }
}

}  // namespace

std::vector<ScheduleLine> readScheduleFile(const std::string& path, int baseYear, int endYear,
                                           const std::function<bool(const std::string&)>& knownRow)
{
    const std::string content = readWholeFile(path);
    CsvReader reader(content);
    std::vector<std::string> fields;
    std::vector<std::string> expected = {"row"};
    for (int year = baseYear + 1; year <= endYear; ++year)
        expected.push_back(std::to_string(year));
    if (!reader.next(fields) || fields != expected)
        throw std::runtime_error("schedule file " + path + ": the first line must be 'row' followed by the years "
                                 + std::to_string(baseYear + 1) + " to " + std::to_string(endYear));
    std::vector<ScheduleLine> lines;
    while (reader.next(fields)) {
        if (fields.size() == 1 && fields[0].empty())
            continue;
        const std::string where = "schedule file " + path + ", line " + std::to_string(reader.line());
        if (!knownRow(fields[0]))
            throw std::runtime_error(where + ": unknown row '" + fields[0] + "'");
        if (fields.size() != expected.size())
            throw std::runtime_error(where + ": " + std::to_string(fields.size() - 1) + " cells for "
                                     + std::to_string(expected.size() - 1) + " years");
        lines.push_back({fields[0], std::vector<std::string>(fields.begin() + 1, fields.end())});
    }
    return lines;
}

void applyScheduleFile(const std::string& path, SingleRegionGrids& grids, int baseYear, int endYear)
{
    applyRows(path, grids, baseYear, endYear);
}

void applyScheduleFile(const std::string& path, UrbanRuralGrids& grids, int baseYear, int endYear)
{
    applyRows(path, grids, baseYear, endYear);
}

void writeLines(const std::vector<std::string>& lines, std::FILE* out)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fflush(out) != 0)
        throw std::runtime_error("cannot write the output");
}

}  // namespace zandor::cli
