// zandor-cli info, dump and import on real table files of both kinds.
#include <gtest/gtest.h>

#include "cli_test_support.h"
#include "tables/table_file.h"

namespace zandor::cli {
namespace {

using tables::FieldDef;
using tables::FieldKind;
using testing::readFile;
using testing::runInProcess;
using testing::ScratchDir;
using testing::writeFile;

class CliTableCommands : public ::testing::TestWithParam<std::string> {
protected:
    std::string table(const std::string& stem) const { return scratch / (stem + GetParam()); }
    ScratchDir scratch;
};

INSTANTIATE_TEST_SUITE_P(Kinds, CliTableCommands, ::testing::Values(".db", ".dbf"),
                         [](const auto& info) { return info.param == ".db" ? "Paradox" : "dBase"; });

TEST_P(CliTableCommands, InfoShowsEveryType)
{
    const std::string path = table("every");
    {
        auto created = tables::createTableFile(
            path, tables::formatOfPath(path),
            {FieldDef{"地区", FieldKind::Char, 12}, FieldDef{"年龄", FieldKind::Integer},
             FieldDef{"人口", FieldKind::Float}, FieldDef{"日期", FieldKind::Date},
             FieldDef{"有效", FieldKind::Boolean}, FieldDef{"名, \"称\"", FieldKind::Char, 1}});
        created.table->flush();
    }
    const auto run = runInProcess({"info", path});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "number,name,type,width\n"
              "1,地区,Char,12\n"
              "2,年龄,Integer,\n"
              "3,人口,Float,\n"
              "4,日期,Date,\n"
              "5,有效,Boolean,\n"
              "6,\"名, \"\"称\"\"\",Char,1\n");
}

TEST_P(CliTableCommands, DumpWritesEveryTypeInItsForm)
{
    const std::string path = table("values");
    {
        auto created = tables::createTableFile(
            path, tables::formatOfPath(path),
            {FieldDef{"名称", FieldKind::Char, 20}, FieldDef{"年龄", FieldKind::Integer},
             FieldDef{"人口", FieldKind::Float}, FieldDef{"日期", FieldKind::Date},
             FieldDef{"有效", FieldKind::Boolean}});
        auto& file = *created.table;
        file.append({std::string("城镇,\"甲\""), std::int64_t{-3}, 0.1, tables::Date{2020, 1, 31}, true});
        file.append({std::string("x"), std::int64_t{2147483647}, -1.5e-7, tables::Date{1999, 12, 1}, false});
        file.append({std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}});
        file.flush();
    }
    const auto run = runInProcess({"dump", path});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out,
              "名称,年龄,人口,日期,有效\n"
              "\"城镇,\"\"甲\"\"\",-3,0.1,2020-01-31,True\n"
              "x,2147483647,-1.5e-07,1999-12-01,False\n"
              ",,,,\n");
}

TEST_P(CliTableCommands, ImportThenDumpGivesTheValuesBack)
{
    const std::string csv =
        "\xEF\xBB\xBF"
        "年龄,男性人口,女性死亡率,地区,备注\r\n"
        "0,1000,0.0125,城镇,\"含逗号,和\"\"引号\"\"\"\r\n"
        "1,,1e-3,农村,\r\n"
        "2,-5,2,\"两行\n文本\",普通\r\n";
    writeFile(scratch / "in.csv", csv);
    const std::string path = table("imported");
    const auto imported = runInProcess({"import", scratch / "in.csv", path});
    ASSERT_EQ(imported.status, kExitOk) << imported.err;
    EXPECT_EQ(imported.out, "");

    const auto info = runInProcess({"info", path});
    EXPECT_EQ(info.out,
              "number,name,type,width\n"
              "1,年龄,Integer,\n"
              "2,男性人口,Integer,\n"
              "3,女性死亡率,Float,\n"
              "4,地区,Char,9\n"
              "5,备注,Char,15\n");

    const auto dump = runInProcess({"dump", path});
    EXPECT_EQ(dump.status, kExitOk) << dump.err;
    EXPECT_EQ(dump.out,
              "年龄,男性人口,女性死亡率,地区,备注\n"
              "0,1000,0.0125,城镇,\"含逗号,和\"\"引号\"\"\"\n"
              "1,,0.001,农村,\n"
              "2,-5,2,\"两行\n文本\",普通\n");
}

TEST_P(CliTableCommands, ImportOfAHeaderOnlyCsvMakesAnEmptyTable)
{
    writeFile(scratch / "in.csv", "甲,乙\n");
    const std::string path = table("empty");
    ASSERT_EQ(runInProcess({"import", scratch / "in.csv", path}).status, kExitOk);
    EXPECT_EQ(runInProcess({"info", path}).out, "number,name,type,width\n1,甲,Char,1\n2,乙,Char,1\n");
    EXPECT_EQ(runInProcess({"dump", path}).out, "甲,乙\n");
}

TEST_P(CliTableCommands, AFailedImportLeavesNoFileBehind)
{
    // Duplicate field names, a value too wide for any text field, text outside GBK.
    const std::string csvs[] = {
        "a,a\n1,2\n",
        "a\n" + std::string(300, 'x') + "\n",
        "a\n\xF0\x9F\x98\x80\n",
    };
    for (const std::string& csv : csvs) {
        writeFile(scratch / "in.csv", csv);
        const auto run = runInProcess({"import", scratch / "in.csv", table("t")});
        EXPECT_EQ(run.status, kExitFailure) << csv;
        EXPECT_NE(run.err, "");
        EXPECT_EQ(scratch.files(), std::vector<std::string>{"in.csv"}) << csv;
    }
}

TEST_P(CliTableCommands, DumpOfADamagedOrMissingFileNamesIt)
{
    writeFile(table("damaged"), std::string(37, '\x7f'));
    for (const std::string& path : {table("damaged"), table("absent")}) {
        const auto run = runInProcess({"dump", path});
        EXPECT_EQ(run.status, kExitFailure);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_EQ(readFile(table("damaged")), std::string(37, '\x7f'));
}

TEST(CliImportDBase, ShortenedFieldNamesAreReportedOnStandardError)
{
    ScratchDir scratch;
    writeFile(scratch / "in.csv", "农村年龄别生育率,年龄\n0.5,1\n");
    const auto run = runInProcess({"import", scratch / "in.csv", scratch / "t.dbf"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.err.find("农村年龄别生育率"), std::string::npos) << run.err;
    const auto dump = runInProcess({"dump", scratch / "t.dbf"});
    EXPECT_EQ(dump.out, "农村年龄别,年龄\n0.5,1\n");
}

}  // namespace
}  // namespace zandor::cli
