// Life-table result grids saved as Paradox tables.
#include "analysis/life_table_save.h"

#include <filesystem>
#include <system_error>

#include "tables/batch_move.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "text/refusal.h"

namespace zandor::analysis {

namespace {

constexpr int kFieldWidth = 20;

std::string fieldName(int column)
{
    return "field0" + std::to_string(column);
}

bool hasDbExtension(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return extension == ".db";
}

}  // namespace

std::string lifeTableSavePath(const std::string& chosenName, const std::string& tableFolder)
{
    std::filesystem::path path(chosenName);
    if (!path.has_parent_path() && !tableFolder.empty())
        path = std::filesystem::path(tableFolder) / path;
    std::string text = path.string();
    if (!hasDbExtension(path))
        text += ".db";
    return text;
}

void saveLifeTableGrid(const text::TextGrid& grid, const std::string& path)
{
    const std::string exists = "File" + path + " already exist, Please change another file name!";
    std::error_code ignored;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, ignored)))
        throw Refusal(exists);

    std::vector<tables::FieldDef> fields;
    for (int c = 0; c < grid.columnCount(); ++c)
        fields.push_back(tables::FieldDef{fieldName(c), tables::FieldKind::Char, kFieldWidth, false});
    // Written beside the name under its lock and put in place only when whole, never over a
    // table another program saved there meanwhile.
    try {
        tables::createTable(path, tables::TableFormat::Paradox, fields, [&](tables::TableFile& table) {
            for (int r = 0; r < grid.rowCount(); ++r) {
                tables::Record record;
                for (int c = 0; c < grid.columnCount(); ++c)
                    record.push_back(tables::coerceToField(grid.cell(r, c), table.fields()[static_cast<std::size_t>(c)]));
                table.append(record);
            }
        });
    } catch (const tables::TableExists&) {
        throw Refusal(exists);
    }
}

}  // namespace zandor::analysis
