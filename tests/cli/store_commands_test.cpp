// zandor-cli prepare, sql and convert: the table store's commands from the command line.
#include <gtest/gtest.h>

#include "cli_test_support.h"

namespace zandor::cli {
namespace {

using testing::readFile;
using testing::runInProcess;
using testing::ScratchDir;
using testing::writeFile;

const std::string kExists = " 文件已存在，请输入新文件名.";

// The dump of a freshly prepared table: ages 0 to 80, every other field 0.
std::string preparedDump(const std::string& header, int otherFields)
{
    std::string text = header + "\n";
    for (int age = 0; age <= 80; ++age) {
        text += std::to_string(age);
        for (int f = 0; f < otherFields; ++f)
            text += ",0";
        text += "\n";
    }
    return text;
}

struct PrepareCase {
    std::string layout;
    std::string file;
    std::string header;  // as dump shows it (dBase keeps 10 bytes of each name)
    int otherFields;
};

class CliPrepare : public ::testing::TestWithParam<PrepareCase> {};

TEST_P(CliPrepare, MakesTheTableOnceAndRefusesTheSecondTime)
{
    const PrepareCase& c = GetParam();
    ScratchDir scratch;
    const std::string path = scratch / c.file;
    const auto first = runInProcess({"prepare", c.layout, path});
    ASSERT_EQ(first.status, kExitOk) << first.err;
    EXPECT_EQ(first.out, "");
    EXPECT_EQ(runInProcess({"dump", path}).out, preparedDump(c.header, c.otherFields));

    const std::vector<std::string> filesBefore = scratch.files();
    const std::string bytesBefore = readFile(path);
    const auto second = runInProcess({"prepare", c.layout, path});
    EXPECT_EQ(second.status, kExitRefused);
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err, kExists + "\n");
    EXPECT_EQ(readFile(path), bytesBefore);
    EXPECT_EQ(scratch.files(), filesBefore);

    // The other layout is refused on the same name just as well.
    const auto other = runInProcess({"prepare", c.layout == "single" ? "urban-rural" : "single", path});
    EXPECT_EQ(other.status, kExitRefused);
    EXPECT_EQ(readFile(path), bytesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliPrepare,
    ::testing::Values(
        PrepareCase{"single", "单区域.db", "年龄,男性人口,女性人口,男性死亡率,女性死亡率,年龄别生育率", 5},
        PrepareCase{"single", "single.DBF", "年龄,男性人口,女性人口,男性死亡率,女性死亡率,年龄别生育", 5},
        PrepareCase{"urban-rural", "城乡.DB",
                    "年龄,农村男性人口,农村女性人口,农村男性死亡率,农村女性死亡率,农村年龄别生育率,"
                    "城镇男性人口,城镇女性人口,城镇男性死亡率,城镇女性死亡率,城镇年龄别生育率",
                    10},
        PrepareCase{"urban-rural", "ur.dbf",
                    "年龄,农村男性人,农村女性人,农村男性死,农村女性死,农村年龄别,"
                    "城镇男性人,城镇女性人,城镇男性死,城镇女性死,城镇年龄别",
                    10}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(CliPrepareCommand, AddsTheParadoxExtensionToAPlainName)
{
    ScratchDir scratch;
    ASSERT_EQ(runInProcess({"prepare", "single", scratch / "pop"}).status, kExitOk);
    EXPECT_EQ(scratch.files(), std::vector<std::string>{"pop.DB"});
    EXPECT_EQ(runInProcess({"prepare", "single", scratch / "pop"}).err, kExists + "\n");
}

TEST(CliPrepareCommand, RefusesAnyExistingFileEvenOneThatIsNoTable)
{
    ScratchDir scratch;
    writeFile(scratch / "notes.db", "keep me");
    const auto run = runInProcess({"prepare", "single", scratch / "notes.db"});
    EXPECT_EQ(run.status, kExitRefused);
    EXPECT_EQ(run.err, kExists + "\n");
    EXPECT_EQ(readFile(scratch / "notes.db"), "keep me");
}

TEST(CliPrepareCommand, AnUnknownLayoutIsAUsageError)
{
    ScratchDir scratch;
    const auto run = runInProcess({"prepare", "rural", scratch / "p.db"});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_NE(run.err.find("'rural'"), std::string::npos) << run.err;
    EXPECT_TRUE(scratch.files().empty());
}

TEST(CliPrepareCommand, TheProgramExitsWith2AndTheMessageAlone)
{
    ScratchDir scratch;
    ASSERT_EQ(testing::runProgram({"prepare", "single", scratch / "p.db"}, scratch).status, 0);
    const auto run = testing::runProgram({"prepare", "single", scratch / "p.db"}, scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, kExists + "\n");
}

TEST(CliSqlCommand, CreatesAltersAndDropsFields)
{
    ScratchDir scratch;
    const std::string path = scratch / "t.db";
    auto run = runInProcess({"sql", "Create table \"" + path + "\" (地区 char(8),人口 float)"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, "");
    run = runInProcess({"sql", "alter table \"" + path + "\" add 年龄 integer"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    run = runInProcess({"sql", "alter table \"" + path + "\" drop 人口"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(runInProcess({"info", path}).out, "number,name,type,width\n1,地区,Char,8\n2,年龄,Integer,\n");
}

TEST(CliSqlCommand, ReportsShortenedDBaseNames)
{
    ScratchDir scratch;
    const auto run = runInProcess({"sql", "Create table \"" + (scratch / "t.dbf") + "\" (农村年龄别生育率 float)"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.err.find("农村年龄别生育率"), std::string::npos) << run.err;
}

TEST(CliSqlCommand, AFailingStatementExitsWith1AndChangesNothing)
{
    ScratchDir scratch;
    const std::string path = scratch / "t.db";
    ASSERT_EQ(runInProcess({"sql", "Create table \"" + path + "\" (a float)"}).status, kExitOk);
    const std::string before = readFile(path);
    for (const std::string& statement :
         {std::string("bogus"), "alter table \"" + path + "\" drop 没有",
          "alter table \"" + path + "\" add a float", "Create table \"" + path + "\" (b float)",
          "alter table \"" + (scratch / "absent.db") + "\" add b float"}) {
        const auto run = runInProcess({"sql", statement});
        EXPECT_EQ(run.status, kExitFailure) << statement;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
        EXPECT_EQ(readFile(path), before) << statement;
        EXPECT_EQ(scratch.files(), std::vector<std::string>{"t.db"}) << statement;
    }
}

struct ConvertCase {
    std::string to;
    std::string target;
};

class CliConvert : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(CliConvert, CopiesEveryRecordIntoTheOtherFormat)
{
    ScratchDir scratch;
    writeFile(scratch / "in.csv", "年龄,人口,地区\n0,1234.5,城镇\n1,,\"农村,山区\"\n2,-0.125,\n");
    ASSERT_EQ(runInProcess({"import", scratch / "in.csv", scratch / "source.db"}).status, kExitOk);
    const std::string source = runInProcess({"dump", scratch / "source.db"}).out;

    const std::string target = scratch / GetParam().target;
    const auto run = runInProcess({"convert", scratch / "source.db", target, "--to", GetParam().to});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(runInProcess({"dump", target}).out, source);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliConvert,
                         ::testing::Values(ConvertCase{"dbase", "t.dbf"}, ConvertCase{"foxpro", "t.DBF"},
                                           ConvertCase{"paradox", "t.db"}),
                         [](const auto& info) { return info.param.to; });

TEST(CliConvertCommand, ToAsciiWritesTheTextAndSchemaFiles)
{
    ScratchDir scratch;
    ASSERT_EQ(runInProcess({"prepare", "single", scratch / "p.db"}).status, kExitOk);
    const auto run = runInProcess({"convert", scratch / "p.db", scratch / "p.txt", "--to", "ascii"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(scratch.files(), (std::vector<std::string>{"p.db", "p.sch", "p.txt"}));
    const std::string text = readFile(scratch / "p.txt");
    EXPECT_EQ(text.substr(0, 26), "0,0,0,0,0,0\r\n1,0,0,0,0,0\r\n");
    // The schema names the table by its own name, not by a name used while writing it.
    EXPECT_EQ(readFile(scratch / "p.sch").substr(0, 5), "[p]\r\n");
}

TEST(CliConvertCommand, ReplacesAnExistingTargetOnlyWhenItCan)
{
    ScratchDir scratch;
    writeFile(scratch / "a.csv", "x\n1\n2\n");
    writeFile(scratch / "b.csv", "y\n3\n");
    ASSERT_EQ(runInProcess({"import", scratch / "a.csv", scratch / "a.db"}).status, kExitOk);
    ASSERT_EQ(runInProcess({"import", scratch / "b.csv", scratch / "b.dbf"}).status, kExitOk);

    // A target of the wrong extension, and a source that is no table: nothing changes.
    const std::vector<std::string> before = scratch.files();
    const std::string targetBytes = readFile(scratch / "b.dbf");
    EXPECT_EQ(runInProcess({"convert", scratch / "a.db", scratch / "b.dbf", "--to", "paradox"}).status, kExitFailure);
    EXPECT_EQ(runInProcess({"convert", scratch / "a.csv", scratch / "b.dbf", "--to", "dbase"}).status, kExitFailure);
    EXPECT_EQ(runInProcess({"convert", scratch / "b.dbf", scratch / "b.dbf", "--to", "dbase"}).status, kExitFailure);
    EXPECT_EQ(scratch.files(), before);
    EXPECT_EQ(readFile(scratch / "b.dbf"), targetBytes);

    const auto run = runInProcess({"convert", scratch / "a.db", scratch / "b.dbf", "--to", "dbase"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(runInProcess({"dump", scratch / "b.dbf"}).out, "x\n1\n2\n");
}

TEST(CliConvertCommand, TheFormatIsRequiredAndChecked)
{
    ScratchDir scratch;
    EXPECT_EQ(runInProcess({"convert", "a.db", "b.dbf"}).status, kExitUsage);
    EXPECT_EQ(runInProcess({"convert", "a.db", "b.dbf", "--to"}).status, kExitUsage);
    const auto run = runInProcess({"convert", "a.db", "b.dbf", "--to", "excel"});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_NE(run.err.find("ascii, dbase, foxpro, paradox"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace zandor::cli
