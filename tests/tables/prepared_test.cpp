// The prepared population tables: the exact statements, the 81 rows of ages the full edition
// fills in, the empty table of the target-planning edition, and the refusal of an existing file.
#include <gtest/gtest.h>

#include "tables/prepared.h"
#include "tables/statements.h"
#include "tables/table.h"
#include "tables/table_error.h"
#include "text/refusal.h"
#include "statements_scratch.h"

namespace zandor::tables {
namespace {

using testing::fileBytes;
using testing::fieldNames;
using testing::ScratchFolder;

TEST(PreparedTable, StatementTexts)
{
    EXPECT_EQ(populationFieldList(PopulationSchema::SingleRegion),
              "年龄 integer,男性人口 float,女性人口 float,男性死亡率 float,女性死亡率 float,年龄别生育率 float");
    EXPECT_EQ(populationFieldList(PopulationSchema::RuralUrban),
              "年龄 integer,农村男性人口 float,农村女性人口 float,农村男性死亡率 float,农村女性死亡率 float,"
              "农村年龄别生育率 float,城镇男性人口 float,城镇女性人口 float,城镇男性死亡率 float,"
              "城镇女性死亡率 float,城镇年龄别生育率 float");
    EXPECT_EQ(populationCreateStatement("/d/人口.DB", PopulationSchema::SingleRegion),
              "Create table \"/d/人口.DB\" (年龄 integer,男性人口 float,女性人口 float,男性死亡率 float,"
              "女性死亡率 float,年龄别生育率 float)");
}

struct Case {
    PopulationSchema schema;
    const char* file;      // as typed in the save dialog
    const char* created;   // the file made
    std::size_t fields;
};

class PreparedFull : public ::testing::TestWithParam<Case> {};

INSTANTIATE_TEST_SUITE_P(
    Schemas, PreparedFull,
    ::testing::Values(Case{PopulationSchema::SingleRegion, "人口", "人口.DB", 6},
                      Case{PopulationSchema::RuralUrban, "城乡.db", "城乡.db", 11},
                      Case{PopulationSchema::SingleRegion, "pop.dbf", "pop.dbf", 6},
                      Case{PopulationSchema::RuralUrban, "城乡.dbf", "城乡.dbf", 11}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_P(PreparedFull, AgesZeroToEightyWithZeros)
{
    const Case c = GetParam();
    ScratchFolder scratch;
    const PreparedTable made = preparePopulationTable(scratch.path(c.file), c.schema, Edition::Full);
    EXPECT_EQ(made.path, scratch.path(c.created));
    EXPECT_EQ(made.remarks.empty(), !std::string(c.created).ends_with("dbf")) << "Paradox keeps the full names";

    Table table = Table::open(made.path);
    ASSERT_EQ(static_cast<std::size_t>(table.fieldCount()), c.fields);
    EXPECT_EQ(table.fields()[0].kind(), FieldKind::Integer);
    for (int f = 1; f < table.fieldCount(); ++f)
        EXPECT_EQ(table.fields()[f].kind(), FieldKind::Float) << table.fields()[f].name;
    ASSERT_EQ(table.recordCount(), 81u);
    int age = 0;
    for (table.first(); !table.eof(); table.next(), ++age) {
        EXPECT_EQ(table.value(0), Value{std::int64_t{age}});
        for (int f = 1; f < table.fieldCount(); ++f)
            ASSERT_EQ(table.value(f), Value{0.0}) << "age " << age << " field " << f;
    }
    EXPECT_EQ(age, 81);
}

TEST(PreparedTable, DBaseNamesAreShortenedWithRemarks)
{
    ScratchFolder scratch;
    const PreparedTable made =
        preparePopulationTable(scratch.path("t.dbf"), PopulationSchema::SingleRegion, Edition::Full);
    ASSERT_EQ(made.remarks.size(), 1u);
    EXPECT_NE(made.remarks[0].find("年龄别生育率"), std::string::npos);
}

TEST(PreparedTable, TheFullEditionRefusesAnExistingFile)
{
    ScratchFolder scratch;
    const std::string existing = preparePopulationTable(scratch.path("人口"), PopulationSchema::SingleRegion,
                                                        Edition::Full).path;
    const std::string before = fileBytes(existing);
    const auto files = scratch.files();
    // Typed with or without the extension, for either layout.
    for (const std::string& typed : {scratch.path("人口"), existing})
        for (PopulationSchema schema : {PopulationSchema::SingleRegion, PopulationSchema::RuralUrban}) {
            try {
                preparePopulationTable(typed, schema, Edition::Full);
                ADD_FAILURE() << "accepted " << typed;
            } catch (const Refusal& e) {
                EXPECT_STREQ(e.what(), " 文件已存在，请输入新文件名.");
            }
        }
    EXPECT_EQ(fileBytes(existing), before);
    EXPECT_EQ(scratch.files(), files);
}

TEST(PreparedTable, TheTargetEditionMakesAnEmptyTable)
{
    ScratchFolder scratch;
    for (PopulationSchema schema : {PopulationSchema::SingleRegion, PopulationSchema::RuralUrban}) {
        const std::string name = schema == PopulationSchema::SingleRegion ? "single" : "ruralurban";
        const PreparedTable made = preparePopulationTable(scratch.path(name), schema, Edition::Target);
        EXPECT_EQ(made.path, scratch.path(name + ".DB"));
        Table table = Table::open(made.path);
        EXPECT_EQ(table.recordCount(), 0u);
        EXPECT_EQ(table.fieldCount(), schema == PopulationSchema::SingleRegion ? 6 : 11);
    }
    // No refusal of its own: the table store's error, and the file stays as it was.
    const std::string existing = scratch.path("single.DB");
    const std::string before = fileBytes(existing);
    EXPECT_THROW(preparePopulationTable(existing, PopulationSchema::RuralUrban, Edition::Target), TableError);
    EXPECT_EQ(fileBytes(existing), before);
}

}  // namespace
}  // namespace zandor::tables
