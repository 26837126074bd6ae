// The field handlers of the projection dialog, the seeding of the schedule grids, the year
// rebuild, the migrant option and the interpolation tool.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <filesystem>
#include <unistd.h>

#include "projection/base_life_table.h"
#include "projection/interpolation.h"
#include "projection/schedule_grids.h"
#include "projection/single_region_inputs.h"
#include "projection_test_support.h"
#include "tables/table.h"
#include "tables/table_file.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {
namespace {

using text::TextGrid;

std::vector<std::string> rowOf(const TextGrid& grid, int row) {
    std::vector<std::string> cells;
    for (int c = 0; c < grid.columnCount(); ++c) cells.push_back(grid.cell(row, c));
    return cells;
}

std::string refusalOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Refusal& refusal) {
        return refusal.what();
    }
    return "(no refusal)";
}

TEST(ScheduleGrids, OpenWithHeadersLabelsAndZeroTexts) {
    const SingleRegionGrids g = openScheduleGrids(3, 2000);
    using Row = std::vector<std::string>;
    EXPECT_EQ(rowOf(g.tfr, 0), (Row{"", "2001", "2002", "2003"}));
    EXPECT_EQ(rowOf(g.tfr, 1), (Row{"总和生育率", "0.0", "0.0", "0.0"}));
    EXPECT_EQ(rowOf(g.sexRatio, 1), (Row{"性别比", "0.0", "0.0", "0.0"}));
    EXPECT_EQ(rowOf(g.lifeExpectancy, 1), (Row{"男性", "0.0", "0.0", "0.0"}));
    EXPECT_EQ(rowOf(g.lifeExpectancy, 2), (Row{"女性", "0.0", "0.0", "0.0"}));
    EXPECT_EQ(rowOf(g.migrants, 1), (Row{"新增人口", "0.0", "0.0", "0.0"}));
    EXPECT_EQ(rowOf(g.migrants, 2), (Row{"出生率", "0.0", "0.0", "0.0"}));
    EXPECT_EQ(rowOf(g.migrants, 3), (Row{"死亡率", "0.0", "0.0", "0.0"}));
    ASSERT_EQ(g.pattern.rowCount(), 37);
    EXPECT_EQ(rowOf(g.pattern, 1), (Row{"15", "0.0", "0.0", "0.0"}));
    EXPECT_EQ(rowOf(g.pattern, 35), (Row{"49", "0.0", "0.0", "0.0"}));
    EXPECT_EQ(rowOf(g.pattern, 36), (Row{"合计", "0.0", "0.0", "0.0"}));
    // At the first opening of a session there are no years: only the label column.
    EXPECT_EQ(openScheduleGrids(0, 2000).tfr.columnCount(), 1);
}

// A 71-age table worked by hand: M0 = 300, F0 = 250 give a sex ratio of 120; fertility 0.5
// at ages 20 and 30 plus 4e-7 at age 15, so TFR = 1.0000004 ("1" as "#####.##"), the
// pattern is .4999998 (".5" with six decimals) at 20 and 30, and 4e-7 at 15, which shows as
// nothing with six decimals and is seeded "0.0" like the exact zeros.
struct HandTable {
    std::vector<double> male = std::vector<double>(71, 100.0);
    std::vector<double> female = std::vector<double>(71, 90.0);
    std::vector<double> maleRates = std::vector<double>(71, 0.1);
    std::vector<double> femaleRates = std::vector<double>(71, 0.1);
    std::vector<double> fertility = std::vector<double>(71, 0.0);
    HandTable() {
        male[0] = 300;
        female[0] = 250;
        fertility[15] = 4e-7;
        fertility[20] = 0.5;
        fertility[30] = 0.5;
    }
};

void chooseHand(SingleRegionInputs& in, SingleRegionGrids& g, const HandTable& t, int base, int end) {
    chooseFieldSeries(in, g, InputField::MalePopulation, "m", t.male, base, end);
    chooseFieldSeries(in, g, InputField::FemalePopulation, "f", t.female, base, end);
    chooseFieldSeries(in, g, InputField::MaleDeathRates, "mx", t.maleRates, base, end);
    chooseFieldSeries(in, g, InputField::FemaleDeathRates, "fx", t.femaleRates, base, end);
    chooseFieldSeries(in, g, InputField::Fertility, "asfr", t.fertility, base, end);
}

TEST(FieldHandlers, SeedTheGridsWithTheBaseYearTexts) {
    SingleRegionInputs in;
    SingleRegionGrids g = openScheduleGrids(0, 2000);
    chooseHand(in, g, HandTable{}, 2000, 2002);
    using Row = std::vector<std::string>;
    EXPECT_EQ(in.ageCount, 71);
    EXPECT_EQ(in.yearCount, 2);
    EXPECT_DOUBLE_EQ(in.region.baseSexRatio, 120);
    EXPECT_DOUBLE_EQ(in.region.maleBirthShare[0], 300.0 / 550);
    EXPECT_DOUBLE_EQ(in.region.femaleBirthShare[0], 250.0 / 550);
    EXPECT_EQ(rowOf(g.sexRatio, 0), (Row{"", "2001", "2002"}));
    EXPECT_EQ(rowOf(g.sexRatio, 1), (Row{"性别比", "120", "120"}));
    EXPECT_EQ(rowOf(g.migrants, 1), (Row{"新增人口", "0.0", "0.0"}));
    // Constant m = 0.1 over 71 ages: e0 = 9.937253651442017 (worked in the life-table test).
    EXPECT_EQ(in.region.male.baseLifeExpectancyText, "9.9373");
    EXPECT_EQ(rowOf(g.lifeExpectancy, 1), (Row{"男性", "9.9373", "9.9373"}));
    EXPECT_EQ(rowOf(g.lifeExpectancy, 2), (Row{"女性", in.region.female.baseLifeExpectancyText, in.region.female.baseLifeExpectancyText}));
    EXPECT_EQ(in.region.baseTfrText, "1");
    EXPECT_EQ(rowOf(g.tfr, 1), (Row{"总和生育率", "1", "1"}));
    ASSERT_EQ(in.region.tfrByYear.size(), 2u);
    for (double tfr : in.region.tfrByYear) EXPECT_DOUBLE_EQ(tfr, 1.0000004);
    EXPECT_EQ(rowOf(g.pattern, 1), (Row{"15", "0.0", "0.0"}));
    EXPECT_EQ(rowOf(g.pattern, 2), (Row{"16", "0.0", "0.0"}));
    EXPECT_EQ(rowOf(g.pattern, 6), (Row{"20", ".5", ".5"}));
    EXPECT_EQ(rowOf(g.pattern, 16), (Row{"30", ".5", ".5"}));
    EXPECT_EQ(rowOf(g.pattern, 36), (Row{"合计", "1", "1"}));
    EXPECT_DOUBLE_EQ(in.region.fertilityPattern(0, 0), 4e-7 / 1.0000004);
    // The base Lx stands in every year; lx only in column 0.
    const BaseLifeTable male = baseLifeTable(Sex::Male, HandTable{}.maleRates);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 71; ++x) EXPECT_EQ(in.region.male.Lx(x, y), male.Lx[x]) << x << " " << y;
    }
    for (int x = 0; x <= 71; ++x) EXPECT_EQ(in.region.male.lx(x, 0), male.lx[x]) << x;
}

TEST(FieldHandlers, ZeroInfantsOfOneSexLeaveTheSexRatioAtZero) {
    HandTable t;
    t.female[0] = 0;
    SingleRegionInputs in;
    SingleRegionGrids g = openScheduleGrids(0, 2000);
    chooseHand(in, g, t, 2000, 2002);
    EXPECT_EQ(in.region.baseSexRatio, 0);
    // Zero written with "#####.####" is the empty text.
    EXPECT_EQ(rowOf(g.sexRatio, 1), (std::vector<std::string>{"性别比", "", ""}));
}

struct HandlerRefusal {
    const char* name;
    InputField field;
    std::function<void(HandTable&)> spoil;
    int base = 2000;
    int end = 2002;
    std::string message = "数据格式不正确.";
};

class FieldHandlerRefusals : public ::testing::TestWithParam<HandlerRefusal> {};

std::vector<double>& seriesOf(HandTable& t, InputField field) {
    switch (field) {
    case InputField::MalePopulation: return t.male;
    case InputField::FemalePopulation: return t.female;
    case InputField::MaleDeathRates: return t.maleRates;
    case InputField::FemaleDeathRates: return t.femaleRates;
    case InputField::Fertility: return t.fertility;
    }
    return t.male;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldHandlerRefusals,
    ::testing::Values(
        HandlerRefusal{"NegativeMalePopulation", InputField::MalePopulation, [](HandTable& t) { t.male[40] = -1; }},
        HandlerRefusal{"NegativeFemalePopulation", InputField::FemalePopulation,
                       [](HandTable& t) { t.female[70] = -0.5; }},
        HandlerRefusal{"ZeroDeathRate", InputField::MaleDeathRates, [](HandTable& t) { t.maleRates[3] = 0; }},
        HandlerRefusal{"DeathRateAboveOne", InputField::FemaleDeathRates,
                       [](HandTable& t) { t.femaleRates[70] = 1.0001; }},
        HandlerRefusal{"ZeroTfr", InputField::Fertility,
                       [](HandTable& t) { std::fill(t.fertility.begin(), t.fertility.end(), 0.0); }},
        HandlerRefusal{"FertilityRateAboveOne", InputField::Fertility, [](HandTable& t) { t.fertility[25] = 1.5; }},
        HandlerRefusal{"NegativeFertilityRate", InputField::Fertility, [](HandTable& t) { t.fertility[60] = -0.1; }},
        HandlerRefusal{"SeventyAges", InputField::MalePopulation, [](HandTable& t) { t.male.resize(70); }, 2000, 2002,
                       "数据表只有70行，单区域人口预测至少需要71个年龄行（0至70岁）."},
        HandlerRefusal{"EndBeforeBase", InputField::Fertility, [](HandTable&) {}, 2000, 1999,
                       "预测终止年份1999早于基础数据年份2000."}),
    [](const auto& info) { return std::string(info.param.name); });

// A refused field is loaded (or, for the table size and the years, not even that) but
// derives nothing: the grids keep what the earlier choices put there.
TEST_P(FieldHandlerRefusals, RefuseWithTheMessageAndKeepTheGrids) {
    const HandlerRefusal& c = GetParam();
    SingleRegionInputs in;
    SingleRegionGrids g = openScheduleGrids(0, 2000);
    chooseHand(in, g, HandTable{}, 2000, 2002);
    const SingleRegionGrids before = g;
    const double tfrBefore = in.region.baseTfr;
    HandTable t;
    c.spoil(t);
    EXPECT_EQ(refusalOf([&] { chooseFieldSeries(in, g, c.field, "x", seriesOf(t, c.field), c.base, c.end); }),
              c.message);
    EXPECT_EQ(g.tfr, before.tfr);
    EXPECT_EQ(g.sexRatio, before.sexRatio);
    EXPECT_EQ(g.lifeExpectancy, before.lifeExpectancy);
    EXPECT_EQ(g.pattern, before.pattern);
    EXPECT_EQ(in.region.baseTfr, tfrBefore);
}

TEST(FieldHandlers, ARefusedSeriesIsStillLoaded) {
    SingleRegionInputs in;
    SingleRegionGrids g = openScheduleGrids(0, 2000);
    HandTable t;
    t.male[40] = -1;
    EXPECT_THROW(chooseFieldSeries(in, g, InputField::MalePopulation, "m", t.male, 2000, 2002), Refusal);
    EXPECT_EQ(in.region.malePopulation[40], -1);
    EXPECT_EQ(in.fields.malePopulation, "m");
}

TEST(FieldHandlers, AnEmptyListTextDoesNothingButIsRemembered) {
    SingleRegionInputs in;
    SingleRegionGrids g = openScheduleGrids(0, 2000);
    chooseHand(in, g, HandTable{}, 2000, 2002);
    const SingleRegionGrids before = g;
    chooseFieldSeries(in, g, InputField::Fertility, "", {}, 2000, 2009);
    EXPECT_EQ(in.fields.fertility, "");
    EXPECT_EQ(in.yearCount, 2);
    EXPECT_EQ(g.pattern, before.pattern);
}

// A scratch Paradox table of the hand-worked data, for the handlers that read the table.
class HandlersOnATable : public ::testing::Test {
protected:
    void SetUp() override {
        const char* root = std::getenv("ZANDOR_TEST_TMP");
        dir_ = std::filesystem::path(root && *root ? root : std::filesystem::temp_directory_path().string()) /
               ("projection-handlers-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string write(const HandTable& t, std::size_t rows) {
        const std::string path = (dir_ / ("hand" + std::to_string(rows) + ".db")).string();
        using tables::FieldDef;
        using tables::FieldKind;
        auto created = tables::createTableFile(
            path, tables::TableFormat::Paradox,
            {FieldDef{"年龄", FieldKind::Integer}, FieldDef{"男性人口", FieldKind::Float},
             FieldDef{"女性人口", FieldKind::Float}, FieldDef{"男性死亡率", FieldKind::Float},
             FieldDef{"女性死亡率", FieldKind::Float}, FieldDef{"年龄别生育率", FieldKind::Float}});
        for (std::size_t x = 0; x < rows; ++x) {
            created.table->append({std::int64_t(x), t.male[x], t.female[x], t.maleRates[x], t.femaleRates[x],
                                   t.fertility[x]});
        }
        created.table->flush();
        return path;
    }

    std::filesystem::path dir_;
};

TEST_F(HandlersOnATable, RebuildReloadsEveryChosenFieldForTheNewYears) {
    HandTable t;
    t.female[5] = -2;  // the female population handler refuses
    tables::Table table = tables::Table::open(write(t, 71), true);
    SingleRegionInputs in;
    SingleRegionGrids g = openScheduleGrids(0, 2000);
    chooseField(in, g, InputField::MalePopulation, "男性人口", table, 2000, 2002);
    EXPECT_THROW(chooseField(in, g, InputField::FemalePopulation, "女性人口", table, 2000, 2002), Refusal);
    chooseField(in, g, InputField::MaleDeathRates, "男性死亡率", table, 2000, 2002);
    chooseField(in, g, InputField::FemaleDeathRates, "女性死亡率", table, 2000, 2002);
    chooseField(in, g, InputField::Fertility, "年龄别生育率", table, 2000, 2002);

    bool yearsChanged = false;
    EXPECT_TRUE(rebuildYears(in, g, table, 2010, 2014, yearsChanged).empty());
    EXPECT_EQ(in.yearCount, 2);  // nothing to do while the years are unchanged
    EXPECT_EQ(g.tfr.columnCount(), 3);

    yearsChanged = true;
    EXPECT_EQ(rebuildYears(in, g, table, 2010, 2014, yearsChanged), (std::vector<std::string>{"数据格式不正确."}));
    EXPECT_FALSE(yearsChanged);
    EXPECT_EQ(in.yearCount, 4);
    EXPECT_EQ(in.baseYear, 2010);
    for (const TextGrid* grid : {&g.tfr, &g.sexRatio, &g.lifeExpectancy, &g.pattern, &g.migrants}) {
        EXPECT_EQ(rowOf(*grid, 0), (std::vector<std::string>{"", "2011", "2012", "2013", "2014"}));
    }
    EXPECT_EQ(rowOf(g.tfr, 1), (std::vector<std::string>{"总和生育率", "1", "1", "1", "1"}));
    EXPECT_EQ(g.lifeExpectancy.cell(1, 4), "9.9373");
    EXPECT_EQ(in.region.male.Lx.yearCount(), 4);
    EXPECT_EQ(in.region.male.Lx(70, 3), in.region.male.Lx(70, 0));

    // Years the other way round are refused once, and the grids wait for better years.
    yearsChanged = true;
    EXPECT_EQ(refusalOf([&] { rebuildYears(in, g, table, 2014, 2010, yearsChanged); }),
              "预测终止年份2010早于基础数据年份2014.");
    EXPECT_TRUE(yearsChanged);
    EXPECT_EQ(g.tfr.columnCount(), 5);
}

TEST_F(HandlersOnATable, ATableOfSeventyRowsIsRefusedBeforeReading) {
    tables::Table table = tables::Table::open(write(HandTable{}, 70), true);
    SingleRegionInputs in;
    SingleRegionGrids g = openScheduleGrids(0, 2000);
    EXPECT_EQ(refusalOf([&] { chooseField(in, g, InputField::MaleDeathRates, "男性死亡率", table, 2000, 2002); }),
              "数据表只有70行，单区域人口预测至少需要71个年龄行（0至70岁）.");
    EXPECT_TRUE(in.region.male.deathRates.empty());
}

TEST(MigrantOption, SeedsTheMigrantGridInZandorOnly) {
    SingleRegionInputs in;
    SingleRegionGrids g = openScheduleGrids(0, 2000);
    chooseHand(in, g, HandTable{}, 2000, 2002);
    chooseMigrantOption(in, g, true, 2000, Edition::Full);
    EXPECT_TRUE(in.includeMigrants);
    EXPECT_EQ(rowOf(g.migrants, 1), (std::vector<std::string>{"新增人口", "10000", "10000"}));
    EXPECT_EQ(rowOf(g.migrants, 2), (std::vector<std::string>{"出生率", "0.012", "0.012"}));
    EXPECT_EQ(rowOf(g.migrants, 3), (std::vector<std::string>{"死亡率", "0.003", "0.003"}));
    chooseMigrantOption(in, g, false, 2000, Edition::Full);
    EXPECT_FALSE(in.includeMigrants);
    EXPECT_EQ(rowOf(g.migrants, 2), (std::vector<std::string>{"出生率", "0.0", "0.0"}));

    const SingleRegionGrids before = g;
    chooseMigrantOption(in, g, true, 2000, Edition::Target);
    EXPECT_FALSE(in.includeMigrants);
    EXPECT_EQ(g.migrants, before.migrants);
}

// A TFR grid for base year 2000 with ten years.
TextGrid tenYears(std::vector<std::string> cells) {
    TextGrid g(2, 11);
    g.setCell(1, 0, "总和生育率");
    for (int c = 1; c <= 10; ++c) {
        g.setCell(0, c, std::to_string(2000 + c));
        g.setCell(1, c, cells[static_cast<std::size_t>(c - 1)]);
    }
    return g;
}

struct InterpolationCase {
    const char* name;
    InterpolationMethod method;
    int start;
    int end;
    std::vector<std::string> before;
    std::vector<std::string> after;
};

class Interpolation : public ::testing::TestWithParam<InterpolationCase> {};

INSTANTIATE_TEST_SUITE_P(
    Cases, Interpolation,
    ::testing::Values(
        // (Q - P) t / n + P from 1 to 10 over nine steps; the end column keeps its value.
        InterpolationCase{"LinearOverAllYears", InterpolationMethod::Linear, 2001, 2010,
                          {"1", "x", "x", "x", "x", "x", "x", "x", "x", "10"},
                          {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
        InterpolationCase{"LinearFalling", InterpolationMethod::Linear, 2002, 2006,
                          {"a", "2.5", "", "", "", "1.5", "b", "c", "d", "e"},
                          {"a", "2.5", "2.25", "2", "1.75", "1.5", "b", "c", "d", "e"}},
        // Copy writes P into the end column too.
        InterpolationCase{"CopyOverwritesTheEndColumn", InterpolationMethod::Copy, 2003, 2005,
                          {"1", "2", "1.8", "9", "7", "6", "7", "8", "9", "10"},
                          {"1", "2", "1.8", "1.8", "1.8", "6", "7", "8", "9", "10"}},
        // P exp(ln(Q/P) t/n): 1, 2, 4, 8 from 1 to 8 over three steps.
        InterpolationCase{"ExponentialDoubling", InterpolationMethod::Exponential, 2007, 2010,
                          {"1", "2", "3", "4", "5", "6", "1", "0", "0", "8"},
                          {"1", "2", "3", "4", "5", "6", "1", "2", "4", "8"}},
        InterpolationCase{"ExponentialOfNegatives", InterpolationMethod::Exponential, 2001, 2003,
                          {"-1", "0", "-4", "", "", "", "", "", "", ""},
                          {"-1", "-2", "-4", "", "", "", "", "", "", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(Interpolation, WritesTheColumnsBetweenStartAndEnd) {
    const InterpolationCase& c = GetParam();
    TextGrid g = tenYears(c.before);
    interpolateRow(g, 1, 2000, c.start, c.end, c.method);
    EXPECT_EQ(g, tenYears(c.after));
}

struct InterpolationRefusal {
    const char* name;
    InterpolationMethod method;
    int start;
    int end;
    std::string message;
};

class InterpolationRefusals : public ::testing::TestWithParam<InterpolationRefusal> {};

INSTANTIATE_TEST_SUITE_P(
    Cases, InterpolationRefusals,
    ::testing::Values(
        InterpolationRefusal{"StartAtTheBaseYear", InterpolationMethod::Linear, 2000, 2005, "插值设定错误！请重新设定。"},
        InterpolationRefusal{"StartAtTheEnd", InterpolationMethod::Copy, 2005, 2005, "插值设定错误！请重新设定。"},
        InterpolationRefusal{"StartAfterTheEnd", InterpolationMethod::Linear, 2006, 2004, "插值设定错误！请重新设定。"},
        InterpolationRefusal{"EndBeyondTheGrid", InterpolationMethod::Linear, 2001, 2011, "插值设定错误！请重新设定。"},
        InterpolationRefusal{"ExponentialFromZero", InterpolationMethod::Exponential, 2002, 2004,
                             "指数插值要求起始值不为零且终止值与起始值同号（总和生育率：起始值0，终止值3）."},
        InterpolationRefusal{"ExponentialAcrossZero", InterpolationMethod::Exponential, 2001, 2005,
                             "指数插值要求起始值不为零且终止值与起始值同号（总和生育率：起始值-1，终止值5）."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(InterpolationRefusals, WriteNoCell) {
    const InterpolationRefusal& c = GetParam();
    const TextGrid before = tenYears({"-1", "0", "2", "3", "5", "6", "7", "8", "9", "10"});
    TextGrid g = before;
    EXPECT_EQ(refusalOf([&] { interpolateRow(g, 1, 2000, c.start, c.end, c.method); }), c.message);
    EXPECT_EQ(g, before);
}

TEST(InterpolationCells, ACellThatIsNoNumberNamesTheRowAndYear) {
    TextGrid g = tenYears({"1", "2", "3", "abc", "5", "6", "7", "8", "9", "10"});
    try {
        interpolateRow(g, 1, 2000, 2002, 2004, InterpolationMethod::Linear);
        FAIL() << "no error";
    } catch (const text::NumberFormatError& e) {
        EXPECT_STREQ(e.what(), "总和生育率 2004年: “abc”不是有效的数值");
    }
    EXPECT_EQ(g.cell(1, 3), "3");
}

// Every age row moves from its 2001 value to its 2003 value; the totals row then holds the
// sum of each year column, also outside the interpolated years.
TEST(InterpolationCells, PatternGridRowsAndTheirTotals) {
    SingleRegionGrids grids = openScheduleGrids(4, 2000);
    TextGrid& g = grids.pattern;
    for (int row = 1; row <= 35; ++row) {
        g.setCell(row, 1, row == 6 ? "0.2" : "0.0");
        g.setCell(row, 3, row == 6 ? "0.4" : row == 16 ? "0.1" : "0.0");
        g.setCell(row, 4, row == 20 ? "0.7" : "0.0");
    }
    interpolatePattern(g, 2000, 2001, 2003, InterpolationMethod::Linear);
    EXPECT_EQ(rowOf(g, 6), (std::vector<std::string>{"20", "0.2", "0.3", "0.4", "0.0"}));
    EXPECT_EQ(rowOf(g, 16), (std::vector<std::string>{"30", "0", "0.05", "0.1", "0.0"}));
    EXPECT_EQ(rowOf(g, 36), (std::vector<std::string>{"合计", ".2", ".35", ".5", ".7"}));

    // A row that cannot be interpolated exponentially stops the whole grid.
    const TextGrid before = g;
    EXPECT_THROW(interpolatePattern(g, 2000, 2001, 2003, InterpolationMethod::Exponential), Refusal);
    EXPECT_EQ(g, before);
}

}  // namespace
}  // namespace zandor::projection
