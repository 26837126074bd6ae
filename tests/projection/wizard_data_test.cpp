// The projection wizard's data steps: the files of "读取" and "保存", and what each
// "下一步" seeds, compared with the field handlers given the same series.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

#include "projection/messages.h"
#include "projection/wizard_data.h"
#include "projection_test_support.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection::wizard {
namespace {

using text::TextGrid;

std::string refusalOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Refusal& refusal) {
        return refusal.what();
    }
    return "(no refusal)";
}

class WizardFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const char* root = std::getenv("ZANDOR_TEST_TMP");
        dir_ = std::filesystem::path(root && *root ? root : std::filesystem::temp_directory_path().string()) /
               ("wizard-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string file(const std::string& name, const std::string& content) const {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    std::filesystem::path dir_;
};

std::vector<std::string> column(const TextGrid& grid, int c) {
    std::vector<std::string> cells;
    for (int r = 1; r < grid.rowCount(); ++r) cells.push_back(grid.cell(r, c));
    return cells;
}

TEST_F(WizardFiles, PlainTextFillsRowsInOrderAndSavesBack) {
    TextGrid grid = dataGrid({"年龄", "男性", "女性"}, 0, 5);
    // Blank lines are passed over, the rest of a line skipped; numbers in the general form.
    readValues(grid, 0, file("pop.txt", "5200 4800 ignored\n\n  1.50e3\t0.1000000000000000055\n7 8\r\n"));
    EXPECT_EQ(column(grid, 1), (std::vector<std::string>{"5200", "1500", "7", "0.0"}));
    EXPECT_EQ(column(grid, 2), (std::vector<std::string>{"4800", "0.1", "8", "0.0"}));

    const std::string saved = (dir_ / "saved.txt").string();
    writeValues(grid, 3, saved);
    TextGrid back = dataGrid({"年龄", "男性", "女性"}, 0, 5);
    readValues(back, 0, saved);
    EXPECT_EQ(back, grid);
}

TEST_F(WizardFiles, CsvPlacesValuesByAge) {
    // As zandor-cli dump writes a table: ages 0..80 of which the fertility grid holds 15..50.
    std::string csv = "\xEF\xBB\xBF年龄,\"生育率,‰\",其他\n";
    for (int age = 0; age <= 80; ++age)
        csv += std::to_string(age) + "," + (age == 16 ? "" : text::formatRoundTrip(0.001 * age + 1e-17)) + ",9\n";
    TextGrid grid = dataGrid({"年龄", "女性"}, kFertilityFirstAge, kFertilityStoredRows);
    readValues(grid, kFertilityFirstAge, file("asfr.csv", csv));
    EXPECT_EQ(grid.cell(1, 1), text::formatRoundTrip(0.015 + 1e-17));
    EXPECT_EQ(grid.cell(2, 1), "0");  // an empty value
    EXPECT_EQ(*text::parseNumber(grid.cell(36, 1)), 0.05 + 1e-17);
}

TEST_F(WizardFiles, RefusalsNameTheFileAndLineAndLeaveTheGrid) {
    const TextGrid fresh = dataGrid({"年龄", "男性", "女性"}, 0, 4);
    struct Case {
        std::string name, content, message;
    };
    const std::string missing = (dir_ / "missing.txt").string();
    const Case cases[] = {
        {"short.txt", "1 2\n3\n", "第2行应有2个数字: '3'"},
        {"word.txt", "1 2\n\n3 x\n", "第3行: 'x' is not a valid floating point value"},
        {"noheader.csv", "0,1,2\n", "第1行应是各列的名称"},
        {"age.csv", "年龄,男,女\n0,1,2\n1.5,3,4\n", "第3行的年龄不是非负整数: '1.5'"},
        {"quote.csv", "年龄,男,女\n0,\"1,2\n", "第2行: a quoted value is not closed"},
    };
    for (const Case& c : cases) {
        TextGrid grid = fresh;
        const std::string path = file(c.name, c.content);
        const std::string message = refusalOf([&] { readValues(grid, 0, path); });
        EXPECT_EQ(message.find("文件" + path), 0u) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_EQ(grid, fresh) << c.name;
    }
    TextGrid grid = fresh;
    EXPECT_NE(refusalOf([&] { readValues(grid, 0, missing); }).find(missing), std::string::npos);
}

// The three "下一步" seed exactly what the five field handlers seed from the same series.
TEST(WizardSteps, SeedWhatTheFieldHandlersSeed) {
    const auto table = testing::syntheticTable();
    const int ages = testing::kAges;
    SingleRegionInputs byFields;
    SingleRegionGrids fieldGrids = openScheduleGrids(0, 1990);
    testing::chooseAll(byFields, fieldGrids, table, 1990, 2000);

    auto typed = [&](const std::vector<double>& a, const std::vector<double>* b, int firstAge, int rows) {
        TextGrid grid = dataGrid(b ? std::vector<std::string>{"年龄", "男性", "女性"}
                                   : std::vector<std::string>{"年龄", "女性"}, firstAge, rows);
        for (int r = 1; r < rows; ++r) {
            grid.setCell(r, 1, text::formatRoundTrip(a[static_cast<std::size_t>(firstAge + r - 1)]));
            if (b) grid.setCell(r, 2, text::formatRoundTrip((*b)[static_cast<std::size_t>(firstAge + r - 1)]));
        }
        return grid;
    };
    SingleRegionInputs byWizard;
    SingleRegionGrids wizardGrids = openScheduleGrids(0, 1990);
    populationStep(byWizard, wizardGrids,
                   typed(table.malePopulation, &table.femalePopulation, 0, byAgeStoredRows(ages)), ages, 1990, 2000);
    deathRateStep(byWizard, wizardGrids, typed(table.maleRates, &table.femaleRates, 0, ages + 1), ages, 1990, 2000);
    fertilityStep(byWizard, wizardGrids, typed(table.fertility, nullptr, kFertilityFirstAge, kFertilityStoredRows),
                  ages, 1990, 2000);

    EXPECT_EQ(wizardGrids.sexRatio, fieldGrids.sexRatio);
    EXPECT_EQ(wizardGrids.lifeExpectancy, fieldGrids.lifeExpectancy);
    EXPECT_EQ(wizardGrids.tfr, fieldGrids.tfr);
    EXPECT_EQ(wizardGrids.pattern, fieldGrids.pattern);
    EXPECT_EQ(wizardGrids.migrants.cell(1, 10), "10000");
    EXPECT_EQ(wizardGrids.migrants.cell(3, 1), "0.003");
    const RunOptions options;
    const auto expected = projectSingleRegion(byFields, parseSchedules(byFields, fieldGrids, options), options);
    RunOptions wizardOptions;
    wizardOptions.wizardData = true;
    const auto got =
        projectSingleRegion(byWizard, parseSchedules(byWizard, wizardGrids, wizardOptions), wizardOptions);
    EXPECT_EQ(got.results.total, expected.results.total);
    EXPECT_EQ(got.endState.malePopulation, expected.endState.malePopulation);
}

TEST(WizardSteps, SexRatioAndAgeFifty) {
    SingleRegionInputs in;
    SingleRegionGrids grids = openScheduleGrids(0, 1990);
    TextGrid population = dataGrid({"年龄", "男性", "女性"}, 0, byAgeStoredRows(90));
    population.setCell(1, 1, "5200");
    population.setCell(1, 2, "4800");
    populationStep(in, grids, population, 90, 1990, 2000);
    EXPECT_EQ(grids.sexRatio.cell(1, 1), "108.3333");
    EXPECT_EQ(grids.sexRatio.cell(1, 10), "108.3333");
    EXPECT_EQ(grids.sexRatio.cell(0, 10), "2000");

    // Age 50 (the kept row) enters the TFR, not the pattern.
    TextGrid fertility = dataGrid({"年龄", "女性"}, kFertilityFirstAge, kFertilityStoredRows);
    fertility.setCell(10, 1, "0.5");  // age 24
    fertility.setCell(36, 1, "0.5");  // age 50
    fertilityStep(in, grids, fertility, 90, 1990, 2000);
    EXPECT_EQ(in.region.baseTfr, 1.0);
    EXPECT_EQ(grids.tfr.cell(1, 1), "1");
    EXPECT_EQ(grids.pattern.cell(10, 1), ".5");
    EXPECT_EQ(grids.pattern.cell(kPatternTotalRow, 1), ".5");
    EXPECT_EQ(fertilityRowsToSave(fertility), 36);
    fertility.setCell(36, 1, "0.0");
    EXPECT_EQ(fertilityRowsToSave(fertility), 35);
}

TEST(WizardSteps, Refusals) {
    SingleRegionInputs in;
    SingleRegionGrids grids = openScheduleGrids(0, 1990);
    TextGrid rates = dataGrid({"年龄", "男性", "女性"}, 0, 71);
    EXPECT_EQ(refusalOf([&] { deathRateStep(in, grids, rates, 70, 1990, 2000); }), message::tooFewAgeGroups(70));
    // More age groups than the rows kept: the empty cells are no numbers.
    TextGrid population = dataGrid({"年龄", "男性", "女性"}, 0, byAgeStoredRows(105));
    population.setCell(103, 1, "");
    EXPECT_EQ(refusalOf([&] { populationStep(in, grids, population, 105, 1990, 2000); }),
              "第103行男性列(年龄102): " + text::invalidNumberMessage(""));
    population.setCell(103, 1, "1");
    population.setCell(5, 2, "-1");
    EXPECT_EQ(refusalOf([&] { populationStep(in, grids, population, 105, 1990, 2000); }), message::kBadData);
    // Death rates of 0 (the cells as the step opens them) make no life table.
    EXPECT_EQ(refusalOf([&] { deathRateStep(in, grids, dataGrid({"年龄", "男性", "女性"}, 0, 72), 71, 1990, 2000); }),
              message::kBadData);
}

}  // namespace
}  // namespace zandor::projection::wizard
