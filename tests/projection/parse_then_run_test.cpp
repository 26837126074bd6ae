// The two steps of a run: the grids parsed first (every conversion message before any
// computing), then a run that leaves its inputs as they were and can be stopped.
#include <gtest/gtest.h>

#include <stop_token>

#include "projection/single_region_projection.h"
#include "projection_test_support.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {
namespace {

struct Prepared {
    testing::SyntheticTable table = testing::syntheticTable();
    SingleRegionInputs in;
    SingleRegionGrids grids = openScheduleGrids(0, 2020);
    RunOptions options;
    Prepared() { testing::chooseAll(in, grids, table, 2020, 2023); }
};

TEST(ParseSchedules, ReadsEveryRowAndMarksTheEditedOnes) {
    Prepared p;
    p.grids.lifeExpectancy.setCell(kFemaleRow, 2, "80.5");
    p.grids.pattern.setCell(16, 3, "0.25");
    p.grids.migrants.setCell(kNewMigrantsRow, 1, "300");
    p.options.urbanShareText = "0.4";
    const SingleRegionSchedules s = parseSchedules(p.in, p.grids, p.options);
    EXPECT_FALSE(s.region.tfrEdited);
    EXPECT_FALSE(s.region.maleE0Edited);
    EXPECT_TRUE(s.region.femaleE0Edited);
    EXPECT_EQ(s.region.femaleE0[1], 80.5);
    EXPECT_EQ(s.region.maleE0[1], text::toNumber(p.in.region.male.baseLifeExpectancyText));
    EXPECT_EQ(s.region.tfr, std::vector<double>(3, 1.6));  // the base text "1.6" in every year
    EXPECT_EQ(s.region.pattern(15, 2), 0.25);
    EXPECT_EQ(s.newMigrants, (std::vector<double>{300, 0, 0}));
    EXPECT_EQ(s.urbanShare, 0.4);
    EXPECT_EQ(s.migrantStock, 50000);
}

// The male target of 2021 cannot be reached, and a female cell of 2022 is no number: the
// parse step reads every cell before any target is fitted, so the cell is what is reported.
TEST(ParseSchedules, ConversionMessagesComeBeforeAnyFit) {
    Prepared p;
    p.grids.lifeExpectancy.setCell(kMaleRow, 1, "500");
    p.grids.lifeExpectancy.setCell(kFemaleRow, 2, "八十");
    try {
        parseSchedules(p.in, p.grids, p.options);
        FAIL() << "no error";
    } catch (const text::NumberFormatError& e) {
        EXPECT_STREQ(e.what(), "女性期望寿命 2022年: “八十”不是有效的数值");
    }
    p.grids.lifeExpectancy.setCell(kFemaleRow, 2, "80");
    const SingleRegionSchedules s = parseSchedules(p.in, p.grids, p.options);
    EXPECT_THROW(projectSingleRegion(p.in, s, p.options), Refusal);
}

TEST(ProjectionRun, LeavesItsInputsAsTheyWereAndHandsBackTheEndState) {
    Prepared p;
    p.grids.lifeExpectancy.setCell(kMaleRow, 3, "75");
    const SingleRegionInputs before = p.in;
    const ProjectionRun run = projectSingleRegion(p.in, parseSchedules(p.in, p.grids, p.options), p.options);
    EXPECT_EQ(p.in.region.malePopulation, before.region.malePopulation);
    EXPECT_EQ(p.in.region.male.Lx, before.region.male.Lx);
    EXPECT_EQ(run.endState.malePopulation, run.results.malePopulation);
    EXPECT_NE(run.endState.male.Lx, before.region.male.Lx);
}

// A stop requested while year 2021 is reported ends the run before 2022 begins.
TEST(ProjectionRun, AStopRequestEndsTheRunAtTheNextYear) {
    Prepared p;
    const SingleRegionSchedules s = parseSchedules(p.in, p.grids, p.options);
    std::stop_source stop;
    std::vector<std::string> reported;
    const Feedback feedback(stop.get_token(), [&](long long done, long long total, std::string_view status) {
        reported.push_back(std::to_string(done) + "/" + std::to_string(total) + " " + std::string(status));
        stop.request_stop();
    });
    EXPECT_THROW(projectSingleRegion(p.in, s, p.options, feedback), Stopped);
    EXPECT_EQ(reported, (std::vector<std::string>{"1/3 2021年"}));
}

}  // namespace
}  // namespace zandor::projection
