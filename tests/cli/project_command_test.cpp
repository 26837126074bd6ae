// zandor-cli project on real Paradox tables: the indicators, the listings, the last year's
// population, the schedule file, and the exit statuses with their messages.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "../projection/projection_test_support.h"
#include "cli_test_support.h"
#include "projection/base_life_table.h"
#include "projection/indicators.h"
#include "projection/single_region_projection.h"
#include "tables/table_file.h"
#include "text/numbers.h"

namespace zandor::cli {
namespace {

using testing::runInProcess;
using testing::runProgram;
using testing::ScratchDir;
using testing::writeFile;
namespace pt = projection::testing;

const std::string kHeader =
    "year,总人口数,男性总人口数,女性总人口数,0--14岁人口数,15--64岁人口数,老年人口数,0--14岁人口比重,"
    "15--64岁人口比重,老年人口比重,城镇人口数,城镇人口比重,出生率,死亡率,自然增长率,婴儿死亡率,出生人数,"
    "死亡人数,自然增加,育龄妇女人口数,23岁女性,20-29岁女性,6岁人口,7岁人口,11岁人口,15岁人口,18岁人口,"
    "6-10岁人口,15-24岁人口,25-44岁人口,45-64岁人口,19_64岁人口,流动人口规模,流动人口出生数,流动人口死亡数";

// A single-region table of the synthetic data with two survival-curve fields (the life
// table of constant rates 0.01 for both sexes).
std::string writeTable(const ScratchDir& scratch, const pt::SyntheticTable& t, const std::string& name = "pop.db")
{
    const std::string path = scratch / name;
    using tables::FieldDef;
    using tables::FieldKind;
    auto created = tables::createTableFile(
        path, tables::TableFormat::Paradox,
        {FieldDef{"年龄", FieldKind::Integer}, FieldDef{"男性人口", FieldKind::Float},
         FieldDef{"女性人口", FieldKind::Float}, FieldDef{"男性死亡率", FieldKind::Float},
         FieldDef{"女性死亡率", FieldKind::Float}, FieldDef{"年龄别生育率", FieldKind::Float},
         FieldDef{"男性lx", FieldKind::Float}, FieldDef{"女性lx", FieldKind::Float}});
    const std::size_t ages = t.malePopulation.size();
    const auto better = projection::baseLifeTable(projection::Sex::Male, std::vector<double>(std::max<std::size_t>(ages, 71), 0.01));
    for (std::size_t x = 0; x < ages; ++x)
        created.table->append({std::int64_t(x), t.malePopulation[x], t.femalePopulation[x], t.maleRates[x],
                               t.femaleRates[x], t.fertility[x], better.lx[x], better.lx[x]});
    created.table->flush();
    return path;
}

std::vector<std::string> projectArgs(const std::string& table, int base = 2020, int end = 2030)
{
    return {"project",      table,    "--male-pop",  "男性人口",    "--female-pop",   "女性人口",
            "--male-rates", "男性死亡率", "--female-rates", "女性死亡率", "--fertility", "年龄别生育率",
            "--base-year",  std::to_string(base), "--end-year", std::to_string(end)};
}

std::vector<std::string> plus(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::vector<std::string> split(const std::string& line)
{
    std::vector<std::string> cells;
    std::istringstream in(line);
    for (std::string cell; std::getline(in, cell, ',');)
        cells.push_back(cell);
    return cells;
}

// One column of the indicator CSV, by its header name.
std::vector<std::string> column(const std::string& csv, const std::string& name)
{
    const auto rows = lines(csv);
    const auto header = split(rows.at(0));
    const auto at = static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
    std::vector<std::string> values;
    for (std::size_t i = 1; i < rows.size(); ++i)
        values.push_back(split(rows[i]).at(at));
    return values;
}

// The same run through the engine, as the dialog makes it.
projection::ProjectionResultSet engineRun(const pt::SyntheticTable& t, int base, int end)
{
    projection::SingleRegionInputs in;
    projection::SingleRegionGrids grids = projection::openScheduleGrids(0, base);
    pt::chooseAll(in, grids, t, base, end);
    const projection::RunOptions options;
    return projection::projectSingleRegion(in, projection::parseSchedules(in, grids, options), options).results;
}

class CliProject : public ::testing::Test {
protected:
    ScratchDir scratch;
    pt::SyntheticTable data = pt::syntheticTable();
    std::string table = writeTable(scratch, data);
};

TEST_F(CliProject, IndicatorsOfEveryYearInRoundTripForm)
{
    const auto run = runInProcess(projectArgs(table));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.err, "");
    const auto rows = lines(run.out);
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[0], kHeader);
    const auto results = engineRun(data, 2020, 2030);
    std::vector<int> codes;
    for (int code = 0; code <= 34; ++code)
        if (code != 21)
            codes.push_back(code);
    for (int t = 0; t < 10; ++t) {
        std::string expected = std::to_string(2021 + t);
        for (int code : codes)
            expected.append(",").append(text::formatRoundTrip(projection::indicatorValues(results, code)[t]));
        EXPECT_EQ(rows[t + 1], expected);
    }
}

TEST_F(CliProject, ListingOfEveryCatalogueEntryIsTheWindowsListing)
{
    const auto results = engineRun(data, 2020, 2023);
    auto entries = projection::indicatorCatalogue(Edition::Full);
    entries.push_back("不在目录中的文字");
    for (const std::string& entry : entries) {
        const auto run = runInProcess(plus(projectArgs(table, 2020, 2023), {"--listing", entry}));
        ASSERT_EQ(run.status, kExitOk) << run.err;
        std::string expected;
        for (const std::string& line : projection::textListing(results, entry, Edition::Full))
            expected += line + "\n";
        EXPECT_EQ(run.out, expected) << entry;
    }
}

TEST_F(CliProject, ExactTicksTheExactMode)
{
    const auto literal = runInProcess(plus(projectArgs(table, 2020, 2022), {"--listing", "死亡人数"}));
    const auto exact = runInProcess(plus(projectArgs(table, 2020, 2022), {"--exact", "--listing", "死亡人数"}));
    ASSERT_EQ(exact.status, kExitOk) << exact.err;
    EXPECT_EQ(lines(literal.out).at(1), "死亡人数");
    EXPECT_EQ(lines(exact.out).at(1), "死亡人数（精确模式）");
    EXPECT_NE(lines(exact.out).at(2), lines(literal.out).at(2));
}

TEST_F(CliProject, AgesOfTheLastYear)
{
    const auto run = runInProcess(plus(projectArgs(table, 2020, 2022), {"--ages"}));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const auto rows = lines(run.out);
    ASSERT_EQ(rows.size(), 102u);
    EXPECT_EQ(rows[0], "age,male,female");
    const auto results = engineRun(data, 2020, 2022);
    for (int a = 0; a < 101; ++a)
        EXPECT_EQ(rows[a + 1], std::to_string(a) + "," + text::formatRoundTrip(results.malePopulation[a]) + ","
                                   + text::formatRoundTrip(results.femalePopulation[a]));
}

TEST_F(CliProject, ScheduleFileCellsAreTypedIntoTheGrids)
{
    writeFile(scratch / "s.csv",
              "row,2021,2022,2023\n"
              "e0_male,76,77,78\n"
              "tfr,1.8,1.8,1.9\n"
              "\n"
              "pattern_15,0.1,0.1,0.1\n"
              "new_migrants,1,2,3\n");
    const auto run = runInProcess(plus(projectArgs(table, 2020, 2023),
                                       {"--schedule", scratch / "s.csv", "--listing", "人口预测参数设置"}));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const auto out = lines(run.out);
    const auto after = [&](const std::string& heading) {
        const auto at = std::find(out.begin(), out.end(), heading);
        return std::vector<std::string>(at + 1, at + 4);
    };
    EXPECT_EQ(after("总和生育率"), (std::vector<std::string>{"2021    1.8", "2022    1.8", "2023    1.9"}));
    EXPECT_EQ(after("男性平均预期寿命"), (std::vector<std::string>{"2021    76", "2022    77", "2023    78"}));
    EXPECT_EQ(after("流动人口规模"), (std::vector<std::string>{"2021    1", "2022    2", "2023    3"}));
    const auto blocks = std::find(out.begin(), out.end(), "生育模式");
    EXPECT_TRUE(blocks[2].starts_with("2021     .1  .")) << blocks[2];
}

struct ScheduleError {
    const char* name;
    const char* content;
    const char* message;  // what standard error must contain
};

class CliProjectScheduleErrors : public ::testing::TestWithParam<ScheduleError> {
protected:
    ScratchDir scratch;
};

INSTANTIATE_TEST_SUITE_P(
    Cases, CliProjectScheduleErrors,
    ::testing::Values(
        ScheduleError{"WrongYears", "row,2021,2022,2024\n", "the first line must be 'row' followed by the years 2021 to 2023"},
        ScheduleError{"UnknownRow", "row,2021,2022,2023\ntfr,1,1,1\ne0_男性,70,70,70\n", "line 3: unknown row 'e0_男性'"},
        ScheduleError{"TooFewCells", "row,2021,2022,2023\ne0_female,80,81\n", "line 2: 2 cells for 3 years"},
        ScheduleError{"CellThatIsNoNumber", "row,2021,2022,2023\ne0_male,70,abc,71\n",
                      "男性期望寿命 2022年: “abc”不是有效的数值"},
        // No content: the file is a named pipe no one writes to, refused at once.
        ScheduleError{"NamedPipe", nullptr, "s.csv: it is a named pipe, not a regular file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(CliProjectScheduleErrors, ExitWith1NamingTheFileOrCell)
{
    const std::string table = writeTable(scratch, pt::syntheticTable());
    if (GetParam().content)
        writeFile(scratch / "s.csv", GetParam().content);
    else
        ASSERT_EQ(::mkfifo((scratch / "s.csv").c_str(), 0600), 0);
    const auto run = runInProcess(plus(projectArgs(table, 2020, 2023), {"--schedule", scratch / "s.csv"}));
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
}

// --variants: the four variants in order under a first column; the medium rows are the plain
// run's rows to the byte, the others differ.
TEST_F(CliProject, VariantsInOneCsv)
{
    const auto plain = runInProcess(projectArgs(table, 2020, 2023));
    const auto run = runInProcess(plus(projectArgs(table, 2020, 2023), {"--variants"}));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const auto rows = lines(run.out);
    const auto plainRows = lines(plain.out);
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[0], "variant," + kHeader);
    const char* names[] = {"中方案", "高方案", "低方案", "不变方案"};
    for (std::size_t v = 0; v < 4; ++v) {
        for (std::size_t t = 0; t < 3; ++t) {
            const std::string& row = rows[1 + v * 3 + t];
            ASSERT_TRUE(row.starts_with(std::string(names[v]) + ",")) << row;
            const std::string rest = row.substr(std::string(names[v]).size() + 1);
            if (v == 0) {
                EXPECT_EQ(rest, plainRows[1 + t]);
            } else if (v < 3) {
                EXPECT_NE(rest, plainRows[1 + t]);
            }
        }
    }
    const auto ages = runInProcess(plus(projectArgs(table, 2020, 2023), {"--variants", "--ages"}));
    EXPECT_EQ(lines(ages.out).at(0), "variant,age,male,female");
    EXPECT_EQ(lines(ages.out).size(), 1u + 4 * 101);
}

TEST_F(CliProject, MigrantsAndUrbanShareFromTheirOptions)
{
    // 10000 new migrants a year with rates .012 and .003 from a stock of 50000:
    // 60000 + 720 - 180 = 60540, then 70000 + 840 - 210 = 70630.
    auto run = runInProcess(plus(projectArgs(table, 2020, 2022), {"--migrants"}));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(column(run.out, "流动人口规模"), (std::vector<std::string>{"60540", "70630"}));
    EXPECT_EQ(column(run.out, "流动人口出生数"), (std::vector<std::string>{"720", "840"}));
    run = runInProcess(plus(projectArgs(table, 2020, 2022), {"--migrants", "--migrant-stock", "0"}));
    EXPECT_EQ(column(run.out, "流动人口规模"), (std::vector<std::string>{"10090", "20180"}));
    run = runInProcess(projectArgs(table, 2020, 2022));
    EXPECT_EQ(column(run.out, "流动人口规模"), (std::vector<std::string>{"0", "0"}));

    run = runInProcess(plus(projectArgs(table, 2020, 2022), {"--urban-share", "0"}));
    EXPECT_EQ(column(run.out, "城镇人口数"), (std::vector<std::string>{"0", "0"}));
    run = runInProcess(plus(projectArgs(table, 2020, 2022), {"--urban-share", "1"}));
    EXPECT_EQ(column(run.out, "城镇人口数"), column(run.out, "总人口数"));
    run = runInProcess(plus(projectArgs(table, 2020, 2022), {"--urban-share", "一半"}));
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.err, "zandor-cli: 起始年城镇人口比重: “一半”不是有效的数值\n");
}

TEST_F(CliProject, SurvivalCurvesChangeTheDeaths)
{
    const auto plain = runInProcess(projectArgs(table, 2020, 2022));
    const auto curves = runInProcess(
        plus(projectArgs(table, 2020, 2022), {"--survival-male", "男性lx", "--survival-female", "女性lx"}));
    ASSERT_EQ(curves.status, kExitOk) << curves.err;
    EXPECT_NE(column(curves.out, "死亡人数"), column(plain.out, "死亡人数"));
    // Constant rates of .01 kill fewer old people than the table's Gompertz rates.
    EXPECT_LT(std::stod(column(curves.out, "死亡人数")[1]), std::stod(column(plain.out, "死亡人数")[1]));
}

struct Refused {
    const char* name;
    std::function<std::vector<std::string>(const ScratchDir&)> args;
    std::string message;
};

class CliProjectRefusals : public ::testing::TestWithParam<Refused> {};

std::vector<std::string> withoutOption(std::vector<std::string> args, const std::string& option)
{
    const auto at = std::find(args.begin(), args.end(), option);
    args.erase(at, at + 2);
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliProjectRefusals,
    ::testing::Values(
        Refused{"FieldLeftOut",
                [](const ScratchDir& s) {
                    return withoutOption(projectArgs(writeTable(s, pt::syntheticTable())), "--fertility");
                },
                "选定原始数据变量不够!"},
        Refused{"NegativePopulation",
                [](const ScratchDir& s) {
                    auto t = pt::syntheticTable();
                    t.femalePopulation[30] = -5;
                    return projectArgs(writeTable(s, t));
                },
                "数据格式不正确."},
        Refused{"SeventyRows",
                [](const ScratchDir& s) { return projectArgs(writeTable(s, pt::syntheticTable(70))); },
                "数据表只有70行，单区域人口预测至少需要71个年龄行（0至70岁）."},
        Refused{"UrbanShareOutsideZeroToOne",
                [](const ScratchDir& s) {
                    return plus(projectArgs(writeTable(s, pt::syntheticTable())), {"--urban-share", "1.26"});
                },
                "起始年城镇人口比重必须在0到1之间，不能是1.26."},
        Refused{"UnreachableTarget",
                [](const ScratchDir& s) {
                    writeFile(s / "s.csv", "row,2021,2022\ne0_female,80,150\n");
                    return plus(projectArgs(writeTable(s, pt::syntheticTable()), 2020, 2022),
                                {"--schedule", s / "s.csv"});
                },
                "2022年女性出生预期寿命150无法由基础生命表的logit变换达到."},
        // Every variant shares the unreachable target: the first refused is named.
        Refused{"VariantRefused",
                [](const ScratchDir& s) {
                    writeFile(s / "s.csv", "row,2021,2022\ne0_female,80,150\n");
                    return plus(projectArgs(writeTable(s, pt::syntheticTable()), 2020, 2022),
                                {"--schedule", s / "s.csv", "--variants"});
                },
                "中方案: 2022年女性出生预期寿命150无法由基础生命表的logit变换达到."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(CliProjectRefusals, ExitWith2AndTheMessageAlone)
{
    ScratchDir scratch;
    const auto run = runInProcess(GetParam().args(scratch));
    EXPECT_EQ(run.status, kExitRefused);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, GetParam().message + "\n");
}

TEST_F(CliProject, UsageErrorsExitWith64)
{
    for (const auto& args : {plus(projectArgs(table), {"--ages", "--listing", "总人口数"}),
                             plus(projectArgs(table), {"--survival-male", "男性lx"}),
                             plus(projectArgs(table), {"--variants", "--listing", "总人口数"}),
                             withoutOption(projectArgs(table), "--end-year"),
                             std::vector<std::string>{"project", table, "--base-year", "2020年", "--end-year", "2030"}}) {
        const auto run = runInProcess(args);
        EXPECT_EQ(run.status, kExitUsage) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(CliProject, TheProgramThroughItsStreams)
{
    const auto ok = runProgram(projectArgs(table, 2020, 2021), scratch);
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(lines(ok.out).size(), 2u);
    const auto refused = runProgram(withoutOption(projectArgs(table), "--male-pop"), scratch);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "选定原始数据变量不够!\n");
}

// The sample table a new user opens first, when it has been generated into samples/.
TEST(CliProjectSample, PrintsEveryIndicatorOfTheSampleTable)
{
    const std::string sample = std::string(ZANDOR_SOURCE_DIR) + "/samples/single_region.DB";
    if (!std::filesystem::exists(sample))
        GTEST_SKIP() << sample << " is not there";
    const auto run = runInProcess(projectArgs(sample, 2020, 2050));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const auto rows = lines(run.out);
    ASSERT_EQ(rows.size(), 31u);
    EXPECT_EQ(rows[0], kHeader);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto cells = split(rows[i]);
        EXPECT_EQ(cells.size(), 35u);
        for (const auto& cell : cells)
            EXPECT_TRUE(text::parseNumber(cell).has_value()) << cell;
    }
}

}  // namespace
}  // namespace zandor::cli
