// zandor-cli lifetable: output in both forms, both input modes, and the exit statuses of
// refusals, usage errors and failures.
#include <gtest/gtest.h>

#include <charconv>
#include <sstream>

#include "cli_test_support.h"
#include "tables/table_file.h"

namespace zandor::cli {
namespace {

using testing::runInProcess;
using testing::runProgram;
using testing::ScratchDir;

const std::string kHeader = "年龄组,Mx,qx,lx,Dx,Lx,Tx,ex\n";

class CliLifeTable : public ::testing::Test {
protected:
    // A table of four age groups: population, deaths, rates = deaths / population, and a
    // rate series whose last group has a rate of 0.
    void SetUp() override
    {
        path = scratch / "mortality.DB";
        auto created = tables::createTableFile(
            path, tables::TableFormat::Paradox,
            {tables::FieldDef{"人口"}, tables::FieldDef{"死亡人数"}, tables::FieldDef{"死亡率"},
             tables::FieldDef{"无死亡"}, tables::FieldDef{"三组"}});
        const double rows[][5] = {{1000, 100, 0.1, 0.1, 0.1},
                                  {2000, 100, 0.05, 0.05, 0.05},
                                  {400, 40, 0.1, 0.1, 0.2},
                                  {800, 400, 0.5, 0, 0}};
        for (const auto& row : rows)
            created.table->append({row[0], row[1], row[2], row[3], row[4]});
        created.table->flush();
    }

    ScratchDir scratch;
    std::string path;
};

std::vector<std::vector<std::string>> csvLines(const std::string& text)
{
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::istringstream cellsIn(line);
        std::string cell;
        while (std::getline(cellsIn, cell, ','))
            cells.push_back(cell);
        lines.push_back(cells);
    }
    return lines;
}

double numberOf(const std::string& text)
{
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << "not a number: " << text;
    return v;
}

// M = 0.1, 0.05, 0.1, 0.5 in single years, uniform a0 = 0.2, 4a1 = 1.5 (ages 1-4 take 0.375):
//   l1 = e^-0.1 = 0.904837418, l2 = e^-0.15 = 0.860707976, l3 = e^-0.25 = 0.778800783,
//   L3 = l3 / 0.5 = 1.557601566, e3 = 2.
TEST_F(CliLifeTable, RatesGiveRoundTripNumbers)
{
    const auto run = runInProcess({"lifetable", path, "--rates", "死亡率"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.err, "");
    ASSERT_TRUE(run.out.starts_with(kHeader));
    const auto lines = csvLines(run.out);
    ASSERT_EQ(lines.size(), 5u);
    const double lx[] = {1, 0.904837418, 0.860707976, 0.778800783};
    for (int k = 0; k < 4; ++k) {
        ASSERT_EQ(lines[k + 1].size(), 8u);
        EXPECT_EQ(lines[k + 1][0], std::to_string(k));
        EXPECT_NEAR(numberOf(lines[k + 1][3]), lx[k], 1e-9) << "lx of group " << k;
    }
    EXPECT_EQ(lines[4][1], "0.5");
    EXPECT_EQ(lines[4][2], "1");
    EXPECT_NEAR(numberOf(lines[4][5]), 1.557601566, 1e-9);
    EXPECT_EQ(lines[4][7], "2");
    // L1 = l2 + 0.375 (l1 - l2) = 0.860707976 + 0.375 x 0.044129442 = 0.877256517
    EXPECT_NEAR(numberOf(lines[2][5]), 0.877256517, 1e-9);
}

TEST_F(CliLifeTable, CountsGiveTheSameOutputAsRates)
{
    for (const char* width : {"1", "5"}) {
        const auto rates = runInProcess({"lifetable", path, "--rates", "死亡率", "--width", width});
        const auto counts = runInProcess(
            {"lifetable", path, "--population", "人口", "--deaths", "死亡人数", "--width", width});
        ASSERT_EQ(rates.status, kExitOk) << rates.err;
        ASSERT_EQ(counts.status, kExitOk) << counts.err;
        EXPECT_EQ(counts.out, rates.out) << "width " << width;
    }
}

// The three abridged groups M = 0.1, 0.05, 0.2 worked by hand: l1 = e^-0.1, l2 = e^-0.3,
// L1 = 4 l2 + 1.5 (l1 - l2) = 3.2093017, L2 = l2 / 0.2, T0 = 7.8372627.
TEST_F(CliLifeTable, FormattedGivesTheWindowTexts)
{
    ScratchDir own;
    const std::string three = own / "three.db";
    {
        auto created = tables::createTableFile(three, tables::TableFormat::Paradox,
                                               {tables::FieldDef{"m"}});
        for (double m : {0.1, 0.05, 0.2})
            created.table->append({m});
        created.table->flush();
    }
    const auto run = runInProcess({"lifetable", three, "--rates", "m", "--width", "5", "--formatted"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, kHeader
                           + "0,.1,.095163,1,.095163,.92387,7.837263,7.84\n"
                             "1,.05,.181269,.904837,.164019,3.209302,6.913393,7.64\n"
                             "2,.2,1,.740818,.740818,3.704091,3.704091,5\n");
}

struct ExitCase {
    std::string name;
    std::vector<std::string> options;  // after "lifetable TABLE"
    int status;
    std::string err;  // the whole standard error, or its start for usage errors and failures
};

void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class CliLifeTableExits : public CliLifeTable, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(CliLifeTableExits, StatusAndMessage)
{
    const ExitCase& c = GetParam();
    std::vector<std::string> args = {"lifetable", path};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const auto run = runInProcess(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out, "");
    if (c.status == kExitRefused)
        EXPECT_EQ(run.err, c.err + "\n");
    else
        EXPECT_TRUE(run.err.starts_with(c.err)) << run.err;
}

const ExitCase kExitCases[] = {
    {"EmptyFieldName", {"--rates", ""}, kExitRefused, "Not enough variable selected!"},
    {"ZeroLastRate", {"--rates", "无死亡"}, kExitRefused,
     "字段“无死亡”第 3 年龄组 (最后的开口组) 的死亡率为 0: 其 a 值 1/Mx 要求死亡率大于 0."},
    {"SexOtherThanMaleOrFemale", {"--rates", "死亡率", "--method", "un", "--sex", "女"}, kExitRefused,
     "性别“女”既不是 \"Male\" 也不是 \"Female\": 联合国法 需要其中之一."},
    {"BothModes", {"--rates", "死亡率", "--population", "人口", "--deaths", "死亡人数"}, kExitUsage,
     "zandor-cli: give either --rates or --population and --deaths, not both"},
    {"DeathsMissing", {"--population", "人口"}, kExitUsage, "zandor-cli: missing option '--deaths'"},
    {"NoMortality", {}, kExitUsage, "zandor-cli: missing option '--rates'"},
    {"WidthThree", {"--rates", "死亡率", "--width", "3"}, kExitUsage,
     "zandor-cli: option '--width' takes one of 1, 5, not '3'"},
    {"UnknownMethod", {"--rates", "死亡率", "--method", "greville"}, kExitUsage,
     "zandor-cli: option '--method' takes one of"},
    {"UnknownField", {"--rates", "死亡"}, kExitFailure, "zandor-cli: Field '死亡' not found in "},
    {"A0NoNumber", {"--rates", "死亡率", "--a0", "0,2"}, kExitFailure,
     "zandor-cli: --a0: “0,2”不是有效的数值"},
};

INSTANTIATE_TEST_SUITE_P(Cases, CliLifeTableExits, ::testing::ValuesIn(kExitCases),
                         [](const auto& info) { return info.param.name; });

// A bad a0 does not matter when another method is chosen, as in the dialog.
TEST_F(CliLifeTable, UniformValuesReadOnlyForTheUniformMethod)
{
    const auto run = runInProcess({"lifetable", path, "--rates", "死亡率", "--method", "chiang", "--a0", "x"});
    EXPECT_EQ(run.status, kExitOk) << run.err;
}

TEST_F(CliLifeTable, ProgramExitStatuses)
{
    const auto refused = runProgram({"lifetable", path, "--rates", "三组", "--width", "5"}, scratch);
    EXPECT_EQ(refused.status, kExitRefused);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "字段“三组”第 3 年龄组 (最后的开口组) 的死亡率为 0: 其 a 值 1/Mx 要求死亡率大于 0.\n");
    // "5 Years" on the sample's 101 single years is refused, saying why.
    const auto single = runProgram(
        {"lifetable", ZANDOR_SOURCE_DIR "/samples/single_region.DB", "--rates", "男性死亡率", "--width", "5"}, scratch);
    EXPECT_EQ(single.status, kExitRefused);
    EXPECT_EQ(single.out, "");
    EXPECT_NE(single.err.find("有 101 个记录 (多于 30 个, 是单岁数据)"), std::string::npos) << single.err;
    const auto missing = runProgram({"lifetable", scratch / "none.db", "--rates", "m"}, scratch);
    EXPECT_EQ(missing.status, kExitFailure);
    EXPECT_NE(missing.err.find("none.db"), std::string::npos) << missing.err;
    const auto ok = runProgram({"lifetable", path, "--rates", "死亡率", "--formatted"}, scratch);
    EXPECT_EQ(ok.status, kExitOk) << ok.err;
    EXPECT_TRUE(ok.out.ends_with("3,.5,1,.778801,.778801,1.557602,1.557602,2\n")) << ok.out;
}

}  // namespace
}  // namespace zandor::cli
