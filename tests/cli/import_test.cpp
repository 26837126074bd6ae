// zandor-cli import: how a column's type is chosen, and what is refused before any table is
// written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "text/csv_reader.h"
#include "cli/import_types.h"
#include "cli_test_support.h"
#include "text/refusal.h"

namespace zandor::cli {

using text::CsvReader;
namespace {

using testing::readFile;
using testing::runInProcess;
using testing::ScratchDir;
using testing::writeFile;
using tables::FieldKind;

TEST(CliParseWholeNumber, TakesOnlyDigitsWithin32Bits)
{
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"0", 0},
        {"42", 42},
        {"-7", -7},
        {"+7", 7},
        {" 12 ", 12},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"1.0", std::nullopt},
        {"1e3", std::nullopt},
        {"+-1", std::nullopt},
        {"++1", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"", std::nullopt},
        {"1 2", std::nullopt},
        {"0x10", std::nullopt},
        {"１２", std::nullopt},  // full-width digits
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseWholeNumber(text), expected) << "'" << text << "'";
}

struct TypeCase {
    std::string name;
    std::vector<std::string> values;
    FieldKind kind;
    int size;  // Char only
};

class CliColumnType : public ::testing::TestWithParam<TypeCase> {};

TEST_P(CliColumnType, FollowsEveryNonEmptyValue)
{
    ColumnTypeGuess guess;
    guess.name = "f";
    std::size_t line = 2;
    for (const std::string& value : GetParam().values)
        guess.add(value, line++);
    const tables::FieldDef def = guess.field();
    EXPECT_EQ(def.name, "f");
    EXPECT_EQ(def.kind, GetParam().kind);
    if (GetParam().kind == FieldKind::Char) {
        EXPECT_EQ(def.size, GetParam().size);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliColumnType,
    ::testing::Values(
        TypeCase{"Whole", {"1", "-2", "300"}, FieldKind::Integer, 0},
        TypeCase{"WholeWithEmpties", {"", "5", "", "6"}, FieldKind::Integer, 0},
        TypeCase{"Int32Limits", {"2147483647", "-2147483648"}, FieldKind::Integer, 0},
        TypeCase{"BeyondInt32IsFloat", {"1", "2147483648"}, FieldKind::Float, 0},
        TypeCase{"PointMakesFloat", {"1", "2.0"}, FieldKind::Float, 0},
        TypeCase{"ExponentMakesFloat", {"1e3", "4"}, FieldKind::Float, 0},
        TypeCase{"Fractions", {"0.25", "-.5", "3."}, FieldKind::Float, 0},
        TypeCase{"OneWordMakesChar", {"1", "2.5", "n/a"}, FieldKind::Char, 3},
        TypeCase{"CharWidthIsTheLongestValueInBytes", {"12345", "ab"}, FieldKind::Char, 5},
        TypeCase{"ChineseCountsTwoBytesACharacter", {"男", "城镇人口"}, FieldKind::Char, 8},
        TypeCase{"MixedChineseAndAscii", {"A组1"}, FieldKind::Char, 4},
        TypeCase{"AllEmptyIsCharOfWidthOne", {"", "", ""}, FieldKind::Char, 1},
        TypeCase{"NoRowsIsCharOfWidthOne", {}, FieldKind::Char, 1},
        TypeCase{"BlankIsNotEmpty", {" "}, FieldKind::Char, 1},
        TypeCase{"NanIsNoNumber", {"nan", "inf"}, FieldKind::Char, 3}),
    [](const auto& info) { return info.param.name; });

TEST(CliColumnType, TextOutsideGbkOrUtf8IsRefusedNamingLineAndField)
{
    ColumnTypeGuess guess;
    guess.name = "备注";
    guess.add("正常", 2);
    // A character GBK lacks, and Latin-1 bytes that are no UTF-8.
    for (const char* value : {"smile \xF0\x9F\x98\x80", "caf\xE9"}) {
        try {
            guess.add(value, 3);
            FAIL() << "accepted " << value;
        } catch (const std::runtime_error& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("line 3"), std::string::npos) << message;
            EXPECT_NE(message.find("备注"), std::string::npos) << message;
        }
    }
}

TEST(CliChooseFieldTypes, OneDefinitionPerHeaderName)
{
    CsvReader reader("年龄,人口,地区,备注\n0,1.5,城镇,\n1,2,农村,\n");
    const CsvLayout layout = chooseFieldTypes(reader, "p.csv");
    EXPECT_EQ(layout.records, 2u);
    const auto& fields = layout.fields;
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0].name, "年龄");
    EXPECT_EQ(fields[0].kind, FieldKind::Integer);
    EXPECT_EQ(fields[1].kind, FieldKind::Float);
    EXPECT_EQ(fields[2].kind, FieldKind::Char);
    EXPECT_EQ(fields[2].size, 4);
    EXPECT_EQ(fields[3].kind, FieldKind::Char);
    EXPECT_EQ(fields[3].size, 1);
}

struct RaggedCase {
    std::string name;
    std::string csv;
    std::string messagePart;
};

class CliImportRefuses : public ::testing::TestWithParam<RaggedCase> {};

TEST_P(CliImportRefuses, NamingTheLineAndWritingNothing)
{
    ScratchDir scratch;
    writeFile(scratch / "in.csv", GetParam().csv);
    for (const char* table : {"out.db", "out.dbf"}) {
        const auto run = runInProcess({"import", scratch / "in.csv", scratch / table});
        EXPECT_EQ(run.status, kExitRefused);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(GetParam().messagePart), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(scratch.files(), std::vector<std::string>{"in.csv"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliImportRefuses,
    ::testing::Values(
        RaggedCase{"TooFewValues", "a,b,c\n1,2,3\n4,5\n", "line 3 has 2 values, the header has 3"},
        RaggedCase{"TooManyValues", "a,b\n1,2\n3,4\n5,6,7\n", "line 4 has 3 values, the header has 2"},
        // The quoted line break makes the third record start on line 4.
        RaggedCase{"LinesCountedAcrossQuotedBreaks", "a,b\n1,\"x\ny\"\n2\n", "line 4 has 1 values"},
        RaggedCase{"EmptyLineInTheMiddle", "a,b\n1,2\n\n3,4\n", "line 3 has 1 values"},
        RaggedCase{"CrlfLines", "a,b\r\n1,2\r\n3\r\n", "line 3 has 1 values"},
        RaggedCase{"UnclosedQuote", "a,b\n1,\"2\n3,4\n", "line 2: a quoted value is not closed"},
        RaggedCase{"EmptyFile", "", "the first line must hold the field names"}),
    [](const auto& info) { return info.param.name; });

TEST(CliImport, AnExistingTableIsRefusedAndLeftAsItWas)
{
    ScratchDir scratch;
    writeFile(scratch / "in.csv", "a\n1\n");
    writeFile(scratch / "t.dbf", "not really a table");
    const auto run = runInProcess({"import", scratch / "in.csv", scratch / "t.dbf"});
    EXPECT_EQ(run.status, kExitRefused);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("t.dbf exists already"), std::string::npos) << run.err;
    EXPECT_EQ(readFile(scratch / "t.dbf"), "not really a table");
    EXPECT_EQ(scratch.files(), (std::vector<std::string>{"in.csv", "t.dbf"}));
}

TEST(CliImport, AMissingSourceOrOneThatIsNoRegularFileIsAFailureNamingIt)
{
    ScratchDir scratch;
    const auto run = runInProcess({"import", scratch / "absent.csv", scratch / "t.db"});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_NE(run.err.find("absent.csv"), std::string::npos) << run.err;
    EXPECT_TRUE(scratch.files().empty());
    // A named pipe no one writes to is refused at once, not waited on.
    ASSERT_EQ(::mkfifo((scratch / "pipe.csv").c_str(), 0600), 0);
    const auto pipe = runInProcess({"import", scratch / "pipe.csv", scratch / "t.db"});
    EXPECT_EQ(pipe.status, kExitFailure);
    EXPECT_NE(pipe.err.find("pipe.csv: it is a named pipe, not a regular file"), std::string::npos) << pipe.err;
    EXPECT_EQ(scratch.files(), std::vector<std::string>{"pipe.csv"});
}

TEST(CliImport, ATargetThatIsNoTableFileIsAFailure)
{
    ScratchDir scratch;
    writeFile(scratch / "in.csv", "a\n1\n");
    const auto run = runInProcess({"import", scratch / "in.csv", scratch / "t.xls"});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_NE(run.err.find("t.xls"), std::string::npos) << run.err;
    EXPECT_EQ(scratch.files(), std::vector<std::string>{"in.csv"});
}

}  // namespace
}  // namespace zandor::cli
