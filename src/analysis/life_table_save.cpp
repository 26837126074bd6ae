// Life-table result grids saved as Paradox tables.
#include "analysis/life_table_save.h"

#include <filesystem>
#include <system_error>

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
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored))
        throw Refusal("File" + path + " already exist, Please change another file name!");

    std::vector<tables::FieldDef> fields;
    for (int c = 0; c < grid.columnCount(); ++c)
        fields.push_back(tables::FieldDef{fieldName(c), tables::FieldKind::Char, kFieldWidth, false});
    auto created = tables::createTableFile(path, tables::TableFormat::Paradox, fields);
    try {
        for (int r = 0; r < grid.rowCount(); ++r) {
            tables::Record record;
            for (int c = 0; c < grid.columnCount(); ++c)
                record.push_back(tables::coerceToField(grid.cell(r, c), created.table->fields()[c]));
            created.table->append(record);
        }
        created.table->flush();
    } catch (...) {
        created.table.reset();
        std::filesystem::remove(path, ignored);
        throw;
    }
}

}  // namespace zandor::analysis
