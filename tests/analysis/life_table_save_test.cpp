// Saving life-table grids as Paradox tables: the saved table holds the grid's texts, a second
// save under the same name is refused, and a failed save leaves no file behind.
#include <gtest/gtest.h>

#include "../cli/cli_test_support.h"
#include "analysis/life_table.h"
#include "analysis/life_table_save.h"
#include "tables/table.h"
#include "tables/table_error.h"
#include "text/refusal.h"

namespace zandor::analysis {
namespace {

using cli::testing::readFile;
using cli::testing::ScratchDir;

text::TextGrid sampleGrid()
{
    LifeTableInput input;
    input.ratesField = "m";
    input.rates = {0.1, 0.05, 0.0, 0.02, 0.5};
    return lifeTableGrid(computeLifeTable(input));
}

TEST(LifeTableSave, SavedTableHoldsTheGridTexts)
{
    ScratchDir scratch;
    const text::TextGrid grid = sampleGrid();
    const std::string path = scratch / "life.db";
    saveLifeTableGrid(grid, path);

    auto table = tables::Table::open(path, true);
    ASSERT_EQ(table.fieldCount(), 8);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(table.fields()[c].name, "field0" + std::to_string(c));
        EXPECT_EQ(table.fields()[c].kind(), tables::FieldKind::Char);
        EXPECT_EQ(table.fields()[c].width, 20);
    }
    ASSERT_EQ(table.recordCount(), 6u);
    table.first();
    EXPECT_EQ(table.asString("field00"), "年龄组");
    EXPECT_EQ(table.asString("field07"), "ex");
    for (int r = 0; r < grid.rowCount(); ++r, table.next())
        for (int c = 0; c < 8; ++c)
            EXPECT_EQ(table.asString("field0" + std::to_string(c)), grid.cell(r, c)) << r << "," << c;
    // Group 2 has the rate 0, which shows as the empty text.
    EXPECT_EQ(grid.cell(3, 1), "");
}

TEST(LifeTableSave, SecondSaveUnderTheSameNameIsRefused)
{
    ScratchDir scratch;
    const std::string path = scratch / "twice.db";
    saveLifeTableGrid(sampleGrid(), path);
    const std::string before = readFile(path);
    try {
        saveLifeTableGrid(sampleGrid(), path);
        ADD_FAILURE() << "no refusal";
    } catch (const Refusal& e) {
        EXPECT_EQ(e.what(), "File" + path + " already exist, Please change another file name!");
    }
    EXPECT_EQ(readFile(path), before);
}

TEST(LifeTableSave, FailedSaveLeavesNoFile)
{
    ScratchDir scratch;
    text::TextGrid grid = sampleGrid();
    grid.setCell(4, 3, "a text of more than twenty characters");
    const std::string path = scratch / "long.db";
    EXPECT_THROW(saveLifeTableGrid(grid, path), tables::TableError);
    EXPECT_EQ(scratch.files(), std::vector<std::string>{});
}

TEST(LifeTableSave, SavePaths)
{
    const struct {
        const char* chosen;
        const char* expected;
    } cases[] = {
        {"life", "/data/tables/life.db"},
        {"life.DB", "/data/tables/life.DB"},
        {"life.Db", "/data/tables/life.Db"},
        {"life.2020", "/data/tables/life.2020.db"},
        {"/elsewhere/life", "/elsewhere/life.db"},
        {"/elsewhere/life.db", "/elsewhere/life.db"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lifeTableSavePath(c.chosen, "/data/tables"), c.expected) << c.chosen;
}

}  // namespace
}  // namespace zandor::analysis
