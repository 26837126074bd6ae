// zandor-cli project-batch: result files and summary, a failing run among others, shards that
// add up to the whole, and manifests refused before anything runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "../projection/projection_test_support.h"
#include "cli_test_support.h"
#include "tables/table_file.h"

namespace zandor::cli {
namespace {

using testing::readFile;
using testing::runInProcess;
using testing::ScratchDir;
using testing::writeFile;
namespace fs = std::filesystem;

const std::string kColumns = "name,table,male-pop,female-pop,male-rates,female-rates,fertility,base-year,end-year,urban-share\n";

void writeTable(const fs::path& path)
{
    const auto t = projection::testing::syntheticTable();
    using tables::FieldDef;
    using tables::FieldKind;
    auto created = tables::createTableFile(path.string(), tables::TableFormat::Paradox,
                                           {FieldDef{"男性人口", FieldKind::Float}, FieldDef{"女性人口", FieldKind::Float},
                                            FieldDef{"男性死亡率", FieldKind::Float}, FieldDef{"女性死亡率", FieldKind::Float},
                                            FieldDef{"年龄别生育率", FieldKind::Float}});
    for (std::size_t x = 0; x < t.malePopulation.size(); ++x)
        created.table->append({t.malePopulation[x], t.femalePopulation[x], t.maleRates[x], t.femaleRates[x], t.fertility[x]});
    created.table->flush();
}

std::string row(const std::string& name, int end, const std::string& urbanShare = "")
{
    return name + ",pop.db,男性人口,女性人口,男性死亡率,女性死亡率,年龄别生育率,2020," + std::to_string(end) + ","
           + urbanShare + "\n";
}

// Every file of a folder by name, with its bytes.
std::map<std::string, std::string> files(const fs::path& dir)
{
    std::map<std::string, std::string> all;
    for (const auto& entry : fs::directory_iterator(dir))
        all[entry.path().filename().string()] = readFile(entry.path());
    return all;
}

class CliProjectBatch : public ::testing::Test {
protected:
    ScratchDir scratch;
    void SetUp() override { writeTable(scratch / "pop.db"); }
    fs::path manifest(const std::string& rows)
    {
        writeFile(scratch / "runs.csv", kColumns + rows);
        return scratch / "runs.csv";
    }
    testing::CliRun batch(const fs::path& dir, std::vector<std::string> more = {})
    {
        std::vector<std::string> args{"project-batch", scratch / "runs.csv", "--out", dir.string()};
        args.insert(args.end(), more.begin(), more.end());
        return runInProcess(args);
    }
};

TEST_F(CliProjectBatch, FailingRunIsARowAndTheOthersStillRun)
{
    manifest(row("甲", 2022) + row("乙", 2022, "1.5") + row("丙", 2023));
    const auto run = batch(scratch / "out", {"--threads", "3"});
    EXPECT_EQ(run.status, kExitRefused) << run.err;
    EXPECT_EQ(run.out, "");
    const auto out = files(scratch / "out");
    ASSERT_EQ(out.size(), 3u);
    const auto single = runInProcess({"project", scratch / "pop.db", "--male-pop", "男性人口", "--female-pop",
                                      "女性人口", "--male-rates", "男性死亡率", "--female-rates", "女性死亡率",
                                      "--fertility", "年龄别生育率", "--base-year", "2020", "--end-year", "2023"});
    EXPECT_EQ(out.at("丙.csv"), single.out);
    const std::string summary = out.at("summary.csv");
    EXPECT_TRUE(summary.starts_with("name,status,message,total_first,total_last\n甲,ok,,")) << summary;
    EXPECT_NE(summary.find("\n乙,refused,起始年城镇人口比重必须在0到1之间，不能是1.5.,,\n丙,ok,,"), std::string::npos)
        << summary;
}

TEST_F(CliProjectBatch, ShardsAndThreadCountsGiveTheSameFiles)
{
    std::string rows;
    for (int i = 0; i < 5; ++i)
        rows += row("r" + std::to_string(i), 2021 + i, i == 3 ? "-1" : "");
    manifest(rows);
    batch(scratch / "whole", {"--threads", "2"});
    batch(scratch / "one", {"--threads", "1"});
    batch(scratch / "s0", {"--shard", "0/2", "--threads", "3"});
    batch(scratch / "s1", {"--shard", "1/2"});
    const auto whole = files(scratch / "whole");
    EXPECT_EQ(whole.size(), 5u);  // four results and the summary
    EXPECT_EQ(files(scratch / "one"), whole);
    auto shards = files(scratch / "s0");
    const auto s1 = files(scratch / "s1");
    EXPECT_TRUE(shards.contains("r0.csv") && shards.contains("r2.csv") && s1.contains("r1.csv"));
    // The summaries' rows, put back in manifest order (shard 0 holds rows 0, 2, 4).
    const auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
            out.push_back(text.substr(at, end - at + 1));
        return out;
    };
    const auto a = lines(shards.at("summary.csv"));
    const auto b = lines(s1.at("summary.csv"));
    ASSERT_EQ(a.size(), 4u);
    ASSERT_EQ(b.size(), 3u);
    shards.erase("summary.csv");
    for (const auto& [name, bytes] : s1)
        if (name != "summary.csv")
            shards[name] = bytes;
    shards["summary.csv"] = a[0] + a[1] + b[1] + a[2] + b[2] + a[3];
    EXPECT_EQ(shards, whole);
}

TEST_F(CliProjectBatch, ManifestRefusedBeforeAnythingRuns)
{
    for (const std::string& rows : {row("../甲", 2022), row("", 2022), row("..", 2022), row("甲", 2022) + row("甲", 2023),
                                    row("summary", 2022)}) {
        manifest(row("好", 2022) + rows);
        const auto run = batch(scratch / "out");
        EXPECT_EQ(run.status, kExitFailure) << rows;
        EXPECT_NE(run.err.find("runs.csv, line "), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(scratch / "out")) << rows;
    }
    writeFile(scratch / "runs.csv", "name,table,colour\n甲,pop.db,red\n");
    EXPECT_EQ(batch(scratch / "out").status, kExitFailure);
    manifest(row("甲", 2022));
    EXPECT_EQ(batch(scratch / "out", {"--shard", "2/2"}).status, kExitUsage);
}

}  // namespace
}  // namespace zandor::cli
