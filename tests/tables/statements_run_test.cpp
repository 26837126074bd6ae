// Running the table statements on Paradox and dBase tables: the structure they make, the
// refusals that leave everything as it was, and restructuring that keeps every value and
// leaves the old table intact when the rewrite stops half way.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "tables/statements.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "statements_scratch.h"

namespace zandor::tables {
namespace {

using testing::allRecords;
using testing::fileBytes;
using testing::fieldNames;
using testing::sameValue;
using testing::ScratchFolder;

std::string createStatement(const std::string& path, const std::string& list)
{
    return "Create table \"" + path + "\" (" + list + ")";
}

std::string messageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const TableError& e) {
        return e.what();
    }
    return "(no error)";
}

// A table of five fields and four records, nulls and Chinese text among them.
const std::string kSampleList = "a integer,b float,名称 char(10),d date,e boolean";

std::vector<Record> sampleRecords()
{
    return {
        {std::int64_t{1}, 1.5, std::string("北京"), Date{2020, 1, 31}, true},
        {std::monostate{}, -2.25, std::string("abc"), std::monostate{}, false},
        {std::int64_t{-7}, 12345.678, std::monostate{}, Date{1999, 12, 31}, std::monostate{}},
        {std::int64_t{2147483647}, std::monostate{}, std::string("人口 x"), Date{1, 1, 1}, true},
    };
}

void makeSample(const std::string& path)
{
    runStatement(createStatement(path, kSampleList));
    auto file = openTableFile(path);
    for (const Record& r : sampleRecords()) {
        Record coerced;
        for (std::size_t i = 0; i < r.size(); ++i)
            coerced.push_back(coerceToField(r[i], file->fields()[i]));
        file->append(coerced);
    }
    file->flush();
}

class StatementRun : public ::testing::TestWithParam<std::string> {
protected:
    std::string table(const std::string& stem) const { return scratch.path(stem + GetParam()); }
    bool dbase() const { return GetParam() == ".dbf"; }
    ScratchFolder scratch;
};

INSTANTIATE_TEST_SUITE_P(Formats, StatementRun, ::testing::Values(".DB", ".dbf"),
                         [](const auto& info) { return info.param == ".DB" ? "Paradox" : "dBase"; });

TEST_P(StatementRun, CreateMakesTheStructureAsked)
{
    const struct {
        std::string list;
        std::vector<std::pair<std::string, FieldKind>> fields;
        int charWidth;  // of the Char field, if any
    } cases[] = {
        {"年龄 integer,男性人口 float,女性人口 float,男性死亡率 float",
         {{"年龄", FieldKind::Integer}, {"男性人口", FieldKind::Float}, {"女性人口", FieldKind::Float},
          {"男性死亡率", FieldKind::Float}},
         0},
        {"名称 char(20)", {{"名称", FieldKind::Char}}, 20},
        {"A Integer, b FLOAT,c date,  d Boolean,e CHAR(1)",
         {{"A", FieldKind::Integer}, {"b", FieldKind::Float}, {"c", FieldKind::Date}, {"d", FieldKind::Boolean},
          {"e", FieldKind::Char}},
         1},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string path = table("t" + std::to_string(n++));
        runStatement(createStatement(path, c.list));
        auto file = openTableFile(path, true);
        EXPECT_EQ(file->recordCount(), 0u);
        ASSERT_EQ(file->fields().size(), c.fields.size()) << c.list;
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            // dBase keeps ASCII names in capitals; the names still compare equal.
            EXPECT_TRUE(sameFieldName(file->fields()[i].name, c.fields[i].first))
                << c.list << ": " << file->fields()[i].name;
            EXPECT_EQ(file->fields()[i].kind(), c.fields[i].second) << c.list << " field " << i;
            if (c.fields[i].second == FieldKind::Char) {
                EXPECT_EQ(file->fields()[i].def().size, c.charWidth);
            }
        }
    }
}

TEST_P(StatementRun, RefusedCreateLeavesNothingBehind)
{
    const std::string path = table("t");
    const int limit = maxCharWidth(dbase() ? TableFormat::DBase : TableFormat::Paradox);
    const struct {
        std::string list;
        std::string message;
    } cases[] = {
        {"a integer,,b float", "The field definition 2 is empty"},
        {"a TEXT", "'TEXT' is not a known field type; use char(n), integer, float, date or boolean"},
        {"a integer,A float", "given twice"},
        {"x char(" + std::to_string(limit + 1) + ")", "outside 1 to " + std::to_string(limit)},
    };
    for (const auto& c : cases) {
        const std::string message = messageOf([&] { runStatement(createStatement(path, c.list)); });
        EXPECT_NE(message.find(c.message), std::string::npos) << c.list << ": " << message;
        EXPECT_TRUE(scratch.files().empty()) << c.list;
    }
    // The widest text field the format holds is accepted.
    runStatement(createStatement(path, "x char(" + std::to_string(limit) + ")"));
    EXPECT_EQ(openTableFile(path, true)->fields()[0].def().size, limit);
}

TEST_P(StatementRun, CreateRefusesAnExistingFile)
{
    const std::string path = table("t");
    makeSample(path);
    const std::string before = fileBytes(path);
    const auto files = scratch.files();
    const std::string message = messageOf([&] { runStatement(createStatement(path, "x integer")); });
    EXPECT_NE(message.find("already exists"), std::string::npos) << message;
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(scratch.files(), files);
}

TEST_P(StatementRun, AddAndDropKeepEveryValue)
{
    const std::string path = table("t");
    makeSample(path);
    const std::vector<Record> original = allRecords(path);
    ASSERT_EQ(original.size(), 4u);

    // Each step: the statement, the field names it leaves, and for each of them the column
    // of `original` its values come from (-1: new, null).
    const struct {
        std::string statement;
        std::vector<std::string> names;
        std::vector<int> from;
    } steps[] = {
        {"alter table \"" + path + "\" Add 结果 Float", {"a", "b", "名称", "d", "e", "结果"}, {0, 1, 2, 3, 4, -1}},
        {"alter table \"" + path + "\" drop b", {"a", "名称", "d", "e", "结果"}, {0, 2, 3, 4, -1}},
        {"ALTER TABLE \"" + path + "\"  ADD  说明 char(8)", {"a", "名称", "d", "e", "结果", "说明"}, {0, 2, 3, 4, -1, -1}},
        {"alter table \"" + path + "\" drop A", {"名称", "d", "e", "结果", "说明"}, {2, 3, 4, -1, -1}},
        {"alter table \"" + path + "\" drop 说明", {"名称", "d", "e", "结果"}, {2, 3, 4, -1}},
    };
    for (const auto& step : steps) {
        runStatement(step.statement);
        const auto names = fieldNames(path);
        ASSERT_EQ(names.size(), step.names.size()) << step.statement;
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_TRUE(sameFieldName(names[i], step.names[i])) << step.statement << ": " << names[i];
        const auto records = allRecords(path);
        ASSERT_EQ(records.size(), original.size()) << step.statement;
        for (std::size_t r = 0; r < records.size(); ++r)
            for (std::size_t i = 0; i < step.from.size(); ++i) {
                const Value expected = step.from[i] < 0 ? Value{} : original[r][static_cast<std::size_t>(step.from[i])];
                EXPECT_TRUE(sameValue(expected, records[r][i])) << step.statement << " record " << r << " field " << i;
            }
        // Only the table (and a dBase table's code page file) is left: no temporary files.
        for (const std::string& f : scratch.files())
            EXPECT_EQ(f.find("~tmp"), std::string::npos) << f;
        // A Paradox header records the table's file name: it is the table's own.
        EXPECT_EQ(fileBytes(path).find("~tmp"), std::string::npos);
    }
}

TEST_P(StatementRun, RefusedAlterLeavesTheTableAsItWas)
{
    const std::string path = table("t");
    makeSample(path);
    const std::string before = fileBytes(path);
    const auto files = scratch.files();
    const int limit = maxCharWidth(dbase() ? TableFormat::DBase : TableFormat::Paradox);
    const struct {
        std::string statement;
        std::string message;
    } cases[] = {
        {"alter table \"" + path + "\" Add 名称 Float", "The field 名称 already exists"},
        {"alter table \"" + path + "\" Add B Float", "The field B already exists"},
        {"alter table \"" + path + "\" Add x Text", "'Text' is not a known field type"},
        {"alter table \"" + path + "\" Add x char(" + std::to_string(limit + 1) + ")", "outside 1 to"},
        {"alter table \"" + path + "\" drop 人口", "The field 人口 does not exist"},
        {"alter table \"" + scratch.path("none" + GetParam()) + "\" drop a", "does not exist"},
    };
    for (const auto& c : cases) {
        const std::string message = messageOf([&] { runStatement(c.statement); });
        EXPECT_NE(message.find(c.message), std::string::npos) << c.statement << ": " << message;
        EXPECT_EQ(fileBytes(path), before) << c.statement;
        EXPECT_EQ(scratch.files(), files) << c.statement;
    }
}

TEST_P(StatementRun, TheLastFieldIsNotDropped)
{
    const std::string path = table("t");
    runStatement(createStatement(path, "a integer,b float"));
    runStatement("alter table \"" + path + "\" drop a");
    const std::string before = fileBytes(path);
    const std::string message = messageOf([&] { runStatement("alter table \"" + path + "\" drop b"); });
    EXPECT_NE(message.find("only field"), std::string::npos) << message;
    EXPECT_EQ(fileBytes(path), before);
}

TEST_P(StatementRun, RewriteStoppedHalfWayLeavesTheOldTableIntact)
{
    const std::string path = table("t");
    makeSample(path);
    const auto files = scratch.files();
    std::vector<std::string> before;
    for (const std::string& f : files)
        before.push_back(fileBytes(scratch.path(f)));

    auto stopAfterTwo = [](std::size_t copied) {
        if (copied == 2)
            throw std::runtime_error("disk full");
    };
    const struct {
        std::string what;
        std::function<void()> action;
    } cases[] = {
        {"add", [&] { addField(path, FieldDef{"结果", FieldKind::Float, 0, false}, stopAfterTwo); }},
        {"drop", [&] { dropField(path, "b", stopAfterTwo); }},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(c.action(), std::runtime_error) << c.what;
        ASSERT_EQ(scratch.files(), files) << c.what;
        for (std::size_t i = 0; i < files.size(); ++i)
            EXPECT_EQ(fileBytes(scratch.path(files[i])), before[i]) << c.what << ": " << files[i];
    }
    // The same rewrite without the interruption goes through.
    addField(path, FieldDef{"结果", FieldKind::Float, 0, false});
    EXPECT_EQ(allRecords(path).size(), 4u);
}

TEST_P(StatementRun, TheRewrittenTableKeepsItsLinkAndRights)
{
    const std::string path = table("t");
    makeSample(path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    const std::string link = scratch.path("link" + GetParam());
    std::filesystem::create_symlink(path, link);
    runStatement("alter table \"" + link + "\" Add 结果 Float");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(fieldNames(path).size(), 6u);
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
}

TEST(StatementRunDBase, NamesTooLongAreShortenedWithARemark)
{
    ScratchFolder scratch;
    const std::string path = scratch.path("t.dbf");
    const auto remarks = runStatement(createStatement(path, "年龄 integer,年龄别生育率 float"));
    ASSERT_EQ(remarks.size(), 1u);
    EXPECT_NE(remarks[0].find("年龄别生育率"), std::string::npos) << remarks[0];
    const auto names = fieldNames(path);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1], "年龄别生育");
    // Adding a field reports its own shortening only.
    const auto more = runStatement("alter table \"" + path + "\" Add 男性死亡率结果 Float");
    ASSERT_EQ(more.size(), 1u);
    EXPECT_NE(more[0].find("男性死亡率结果"), std::string::npos) << more[0];
}

}  // namespace
}  // namespace zandor::tables
